#include "windowkeys.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// A modal window left open longer than this fails the running test and is closed, so
// an unanswered box never hangs the run.
constexpr int kModalLimitMs = 10000;

class ModalGuard : public QObject {
public:
    ModalGuard()
    {
        m_timer.setInterval(200);
        connect(&m_timer, &QTimer::timeout, this, &ModalGuard::check);
        m_timer.start();
    }

private:
    void check()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal != m_seen) {
            m_seen = modal;
            m_since.start();
            return;
        }
        if (!modal || m_since.elapsed() < kModalLimitMs)
            return;
        ADD_FAILURE() << "modal window left unanswered: " << modal->metaObject()->className() << " \""
                      << modal->windowTitle().toStdString() << "\"";
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        m_seen = nullptr;
    }

    QTimer m_timer;
    QPointer<QWidget> m_seen;
    QElapsedTimer m_since;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // No test may print on the machine's printers: libcups (and the programs a test starts)
    // look for the print server at a socket that does not exist, so there is no printer.
    qputenv("CUPS_SERVER", ZORV_NO_PRINT_SERVER);
    // Nor play on the machine's sound server.
    qputenv("PULSE_SERVER", ZORV_NO_SOUND_SERVER);
    QApplication app(argc, argv);
    // The windows under test keep the key rules their programs install.
    zorv::windowkeys::install();
    ::testing::InitGoogleMock(&argc, argv);
    ModalGuard guard;
    return RUN_ALL_TESTS();
}
