#pragma once

#include "consolecommands.h"
#include "fakemessageboxes.h"
#include "qtserialport.h"
#include "readeremulator.h"
#include "readerlink.h"
#include "serialport.h"
#include "service.h"
#include "testsupport.h"
#include "zorv.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace zorv::test {

// The console window with fake boxes, and a reader emulator on COM `com` of a fresh
// configuration home.
struct ConsoleRig {
    explicit ConsoleRig(int com = 1) : com(com)
    {
        oldHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        EXPECT_TRUE(reader.start());
        EXPECT_TRUE(reader.linkComPort(home.path(), com));
        window = std::make_unique<console::Zorv>();
    }
    ~ConsoleRig()
    {
        window.reset();
        qputenv("XDG_CONFIG_HOME", oldHome);
    }

    template <class T = QWidget>
    T *child(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    QPushButton *button(int n) const { return child<QPushButton>(QStringLiteral("Command%1").arg(n)); }

    void connectPort()
    {
        child<QComboBox>(QStringLiteral("Combo1"))->setCurrentIndex(com - 1);
        QTest::mouseClick(button(1), Qt::LeftButton);
        EXPECT_EQ(window->lampColour(), console::Zorv::LampGreen);
    }

    // Clicks a command button and waits until it has shown `count` more boxes (or ms).
    bool clickAndWait(int n, int count = 1, int ms = 3000)
    {
        const qsizetype before = boxes.shown.size();
        QTest::mouseClick(button(n), Qt::LeftButton);
        return waitUntil([&] { return boxes.shown.size() >= before + count && !window->commands()->isRunning(); }, ms);
    }

    QString lastText() const { return boxes.shown.isEmpty() ? QString() : boxes.shown.last().text; }

    int com;
    QByteArray oldHome;
    TempFolder home;
    emulator::ReaderEmulator reader;
    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxesInstalled{&boxes};
    SystemClockInstalled clock;
    Maker<SerialPort> ports = Maker<SerialPort>::of<QtSerialPort>();
    ScopedService<Maker<SerialPort>> portsInstalled{&ports};
    std::unique_ptr<console::Zorv> window;
};

} // namespace zorv::test
