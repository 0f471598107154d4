#include "fakeclock.h"
#include "fakeserialport.h"
#include "monitorreaders.h"
#include "testsupport.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::console;
using zorv::test::waitUntil;

namespace {

// A port and a clock that the test moves by hand.
class MonitorTest : public ::testing::Test {
protected:
    MonitorTest() : clockService(&fakeClock) { port.open(); }

    void arrive(const QByteArray &bytes)
    {
        port.receive(bytes);
        ASSERT_TRUE(waitUntil([&] { return port.bytesWaiting() == 0 || !taking(); }, 2000));
    }
    virtual bool taking() const = 0;

    FakeClock fakeClock;
    ScopedService<Clock> clockService;
    FakeSerialPort port;
};

class PortStatus : public MonitorTest {
protected:
    PortStatus()
    {
        QObject::connect(&reader, &PortStatusReader::rowReady, [this](const QByteArray &r) { rows.append(r); });
        QObject::connect(&reader, &PortStatusReader::finished, [this] { ++finished; });
    }
    bool taking() const override { return reader.isRunning(); }

    PortStatusReader reader{&port};
    QByteArrayList rows;
    int finished = 0;
};

} // namespace

TEST_F(PortStatus, SendsGtapOnceAndShowsEachLineAfterNineSpaces)
{
    reader.start();
    EXPECT_EQ(port.frames, QByteArrayList{"GTAP\r"});
    fakeClock.advanceMs(300);
    arrive("PORTA=01\r");
    fakeClock.advanceMs(999);
    arrive("PORTB=10");
    arrive("\rPORTC=11\r");
    EXPECT_EQ(rows, (QByteArrayList{"         PORTA=01", "         PORTB=10", "         PORTC=11"}));
    EXPECT_TRUE(reader.isRunning());

    // One second after the third row the read ends.
    fakeClock.advanceMs(999);
    reader.checkDeadline();
    EXPECT_TRUE(reader.isRunning());
    fakeClock.advanceMs(1);
    reader.checkDeadline();
    EXPECT_FALSE(reader.isRunning());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(port.frames.size(), 1);
}

TEST_F(PortStatus, NoAnswerEndsAfterOneSecondBlank)
{
    reader.start();
    fakeClock.advanceMs(1000);
    reader.checkDeadline();
    EXPECT_FALSE(reader.isRunning());
    EXPECT_TRUE(rows.isEmpty());
}

TEST_F(PortStatus, LateLineIsDroppedWithEverythingAfterIt)
{
    reader.start();
    arrive("L1\r");
    arrive("L2 half");
    fakeClock.advanceMs(1000); // the CR of L2 is late
    port.receive("\rL3\r");
    ASSERT_TRUE(waitUntil([&] { return !reader.isRunning(); }, 2000));
    EXPECT_EQ(rows, QByteArrayList{"         L1"});
    // What it did not take stays for the console's next flush.
    EXPECT_EQ(port.bytesWaiting(), 4);
    fakeClock.advanceMs(10);
    port.receive("L4\r");
    QTest::qWait(20);
    EXPECT_EQ(rows.size(), 1);
}

TEST_F(PortStatus, CharactersDoNotRenewTheLineWait)
{
    reader.start();
    for (int i = 0; i < 9; ++i) {
        fakeClock.advanceMs(100);
        arrive("x");
    }
    fakeClock.advanceMs(100);
    port.receive("\r");
    ASSERT_TRUE(waitUntil([&] { return !reader.isRunning(); }, 2000));
    EXPECT_TRUE(rows.isEmpty());
}

TEST_F(PortStatus, StopEndsTheReadAndShowsNothingMore)
{
    reader.start();
    arrive("L1\r");
    reader.stop();
    port.receive("L2\r");
    QTest::qWait(20);
    EXPECT_EQ(rows.size(), 1);
    EXPECT_EQ(port.bytesWaiting(), 3);
    EXPECT_EQ(finished, 1);
}

TEST_F(PortStatus, ClosedPortEndsTheRead)
{
    reader.start();
    port.close();
    EXPECT_FALSE(reader.isRunning());
}

namespace {

class Lines : public MonitorTest {
protected:
    Lines()
    {
        QObject::connect(&monitor, &LineMonitor::lineReady, [this](const QByteArray &l) {
            lines.append(l);
            if (onLine)
                onLine();
        });
        QObject::connect(&monitor, &LineMonitor::noiseDropped, [this](const QString &n) { notes.append(n); });
    }
    bool taking() const override { return monitor.isRunning(); }

    int stopFlag = 0;
    LineMonitor monitor{&port, stopFlag};
    QByteArrayList lines;
    QStringList notes;
    std::function<void()> onLine;
};

} // namespace

TEST_F(Lines, HandsOverEachLineWithItsCr)
{
    monitor.start();
    arrive("A");
    arrive("B");
    arrive("\r");
    arrive("C\r");
    EXPECT_EQ(lines, (QByteArrayList{"AB\r", "C\r"}));
}

TEST_F(Lines, BytesWaitingBeforeTheStartAreRead)
{
    port.receive("EARLY\r");
    QTest::qWait(10);
    monitor.start();
    ASSERT_TRUE(waitUntil([&] { return lines.size() == 1; }, 2000));
    EXPECT_EQ(lines.first(), "EARLY\r");
}

TEST_F(Lines, ManyLinesInOneBurstAreAllKept)
{
    monitor.start();
    QByteArray burst;
    QByteArrayList expected;
    for (int i = 0; i < 200; ++i) {
        const QByteArray l = "CARD" + QByteArray::number(i).rightJustified(8, '0') + "\r";
        burst += l;
        expected += l;
    }
    port.receive(burst.left(1001));
    port.receive(burst.mid(1001));
    ASSERT_TRUE(waitUntil([&] { return lines.size() == 200; }, 2000));
    EXPECT_EQ(lines, expected);
}

TEST_F(Lines, StopFlagDropsThePartialLine)
{
    monitor.start();
    arrive("HALF");
    stopFlag = 1;
    port.receive("LINE\r");
    ASSERT_TRUE(waitUntil([&] { return !monitor.isRunning(); }, 2000));
    EXPECT_TRUE(lines.isEmpty());
}

TEST_F(Lines, NoLineIsAddedOnceTheFlagIsSet)
{
    // The flag is set while the previous line is being shown; the next complete line in
    // the same burst is not added.
    onLine = [this] { stopFlag = 1; };
    monitor.start();
    port.receive("ONE\rTWO\r");
    ASSERT_TRUE(waitUntil([&] { return !monitor.isRunning(); }, 2000));
    EXPECT_EQ(lines, QByteArrayList{"ONE\r"});
}

TEST_F(Lines, ARunWithoutCrIsDroppedAndNotedAndTheNextLineShows)
{
    monitor.start();
    const QByteArray piece(10000, 'x');
    qsizetype longest = 0;
    for (int i = 0; i < 100; ++i) {
        arrive(piece);
        longest = qMax(longest, monitor.pending().size());
    }
    EXPECT_LT(longest, 256);
    EXPECT_EQ(notes, QStringList{"dati dal lettore senza fine riga (oltre 256 byte): scartati"});
    EXPECT_TRUE(lines.isEmpty());
    // 1 000 000 bytes: 3906 runs of 256 dropped, the last 64 begin the next line.
    arrive("\rNEXT\r");
    EXPECT_EQ(lines, (QByteArrayList{QByteArray(64, 'x') + "\r", "NEXT\r"}));
    EXPECT_EQ(notes.last(), "scartati in tutto 999936 byte senza fine riga");
}
