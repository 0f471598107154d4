#pragma once

#include "qtserialport.h"
#include "readeremulator.h"
#include "testsupport.h"

#include <QByteArray>
#include <QList>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

// A reader emulator on a pseudo-terminal mapped to COM 7 in a fresh config folder, and
// the real serial port opened on it, as the console opens it.
class WireTest : public ::testing::Test {
protected:
    static constexpr int kCom = 7;

    void SetUp() override
    {
        m_oldConfigHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        QString error;
        ASSERT_TRUE(reader.start(&error)) << error.toStdString();
        ASSERT_TRUE(reader.linkComPort(home.path(), kCom, &error)) << error.toStdString();
        port = std::make_unique<zorv::QtSerialPort>();
        ASSERT_TRUE(port->open(kCom, QStringLiteral("9600,n,8,1"), &error)) << error.toStdString();
    }
    void TearDown() override
    {
        if (port)
            port->close();
        qputenv("XDG_CONFIG_HOME", m_oldConfigHome);
    }

    // The bytes the reader has received, once `count` bytes have come.
    QByteArray receivedAtLeast(int count, int timeoutMs = 3000)
    {
        zorv::test::waitUntil([&] { return reader.received().size() >= count; }, timeoutMs);
        return reader.received();
    }

    // Sends `bytes` from the reader `ms` after now.
    void sendLater(int ms, const QByteArray &bytes)
    {
        QTimer::singleShot(ms, Qt::PreciseTimer, &reader, [this, bytes] { reader.sendRaw(bytes); });
    }

    zorv::test::SystemClockInstalled clock;
    zorv::test::TempFolder home;
    zorv::emulator::ReaderEmulator reader;
    std::unique_ptr<zorv::SerialPort> port;

private:
    QByteArray m_oldConfigHome;
};
