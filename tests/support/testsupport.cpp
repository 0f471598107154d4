#include "testsupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <csignal>

namespace zorv::test {

TempFolder::TempFolder()
{
    EXPECT_TRUE(m_dir.isValid());
}

void TempFolder::write(const QString &name, const QByteArray &bytes) const
{
    QFile f(file(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << name.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray TempFolder::read(const QString &name) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qWait(5);
    }
    return true;
}

void whenIdle(std::function<void()> action, int delayMs)
{
    QTimer::singleShot(delayMs, qApp, std::move(action));
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &m_saved);
    m_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_saved;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_handler);
}

void pressTab(QWidget *widget, bool backwards)
{
    const Qt::Key key = backwards ? Qt::Key_Backtab : Qt::Key_Tab;
    const Qt::KeyboardModifiers modifiers = backwards ? Qt::ShiftModifier : Qt::NoModifier;
    QKeyEvent press(QEvent::KeyPress, key, modifiers, QStringLiteral("\t"));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, QStringLiteral("\t"));
    QApplication::sendEvent(widget, &release);
}

QStringList tabChain(QWidget *window, int presses, bool backwards)
{
    QStringList names;
    for (int i = 0; i < presses; ++i) {
        QWidget *focused = window->focusWidget();
        if (!focused)
            break;
        pressTab(focused, backwards);
        names.append(window->focusWidget() ? window->focusWidget()->objectName() : QString());
    }
    return names;
}

} // namespace zorv::test
