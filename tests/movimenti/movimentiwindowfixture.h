#pragma once

#include "movfixture.h"

#include "fakelauncher.h"
#include "fakeprinter.h"
#include "printer/printer.h"
#include "scariman1.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace zorv::movimenti::test {

// The window over a data folder, with fake boxes, printer, program starts and clock.
class WindowFixture : public MovFixture {
protected:
    WindowFixture() : m_launcher(&launcher), m_printer(&printer)
    {
        clock.setNow(QDateTime(QDate(2026, 12, 9), QTime(7, 8, 9)));
        writeLog("");
    }
    ~WindowFixture() override
    {
        if (window) {
            boxes.answerNext(answer::Yes);
            window->close();
        }
    }

    void writeLog(const QByteArray &data) { folder.write(QStringLiteral("mov.txt"), data); }
    // Opens the window and lets its start-up load finish.
    void open()
    {
        window = std::make_unique<Scariman1>(percorso());
        window->program().loader().runToEnd();
        window->show();
        EXPECT_TRUE(zorv::test::activate(window.get()));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    template <class T = QWidget>
    T *control(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    void click(const char *name)
    {
        auto *b = control<QPushButton>(name);
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QLineEdit *text1() const { return control<QLineEdit>("Text1"); }
    QLineEdit *text2() const { return control<QLineEdit>("Text2"); }
    GridTable &grid() { return window->program().grid(); }

    FakeLauncher launcher;
    FakePrinter printer;
    std::unique_ptr<Scariman1> window;

private:
    ScopedService<ProgramLauncher> m_launcher;
    ScopedService<Printer> m_printer;
};

} // namespace zorv::movimenti::test
