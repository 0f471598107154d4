#pragma once

#include "fakeserialport.h"
#include "qtserialport.h"
#include "readeremulator.h"
#include "readerlink.h"
#include "testsupport.h"

#include "clock.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace zorv::test {

// A reader emulator on a pseudo-terminal linked as COM 1 in a fresh configuration home,
// and the real serial port open on it.
class PtyReader : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        QString error;
        ASSERT_TRUE(reader.start(&error)) << error.toStdString();
        ASSERT_TRUE(reader.linkComPort(home.path(), 1, &error)) << error.toStdString();
    }
    void TearDown() override
    {
        port.close();
        qputenv("XDG_CONFIG_HOME", m_oldHome);
    }
    bool openPort()
    {
        QString error;
        const bool ok = port.open(1, QStringLiteral("9600,n,8,1"), &error);
        EXPECT_TRUE(ok) << error.toStdString();
        return ok;
    }

    SystemClockInstalled clock;
    TempFolder home;
    emulator::ReaderEmulator reader;
    QtSerialPort port;

private:
    QByteArray m_oldHome;
};

// Runs an asynchronous link call to its end and returns what it delivered.
template <class R>
struct Outcome {
    std::optional<R> value;
    QElapsedTimer since;
    qint64 elapsedMs = -1;
    Outcome() { since.start(); }
    auto sink()
    {
        return [this](const R &r) {
            value = r;
            elapsedMs = since.elapsed();
        };
    }
    bool wait(int ms = 8000)
    {
        return waitUntil([this] { return value.has_value(); }, ms);
    }
};

} // namespace zorv::test
