#include "linkfixture.h"

#include "fakeserialport.h"
#include "frames.h"

#include <QEventLoop>
#include <QSignalSpy>

using namespace zorv;
using namespace zorv::reader;
using zorv::test::Outcome;
using zorv::test::PtyReader;
using zorv::test::waitUntil;

TEST(Frames, TimeByteRoundsHalfToEven)
{
    struct Case { double seconds; int byte; } cases[] = {
        {2.5, 25}, {25, 250}, {0.25, 2}, {0.35, 4}, {0.05, 0}, {0.15, 2}, {1, 10}, {25.5, 255}, {0.04, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(timeByte(c.seconds), c.byte) << c.seconds;
}

TEST(Frames, RelayConfigAndBuzzerBytes)
{
    EXPECT_EQ(relayFrame(1, 2.5), QByteArray("C0\x19" "1"));
    EXPECT_EQ(relayFrame(2, 25), QByteArray("B3\xfa" "1"));
    EXPECT_EQ(relayFrameByte(1, 13), QByteArray("C0\r1"));
    EXPECT_EQ(configPorta('A', '3', 5, '1'), QByteArray("A32" "1"));
    EXPECT_EQ(buzzerFrame(124, 50), QByteArray("BZ|2"));
}

TEST_F(PtyReader, EveryByteValueTravelsUnchangedBothWays)
{
    ASSERT_TRUE(openPort());
    reader.withhold("UNKNOWN"); // the bytes are no command
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    ASSERT_TRUE(port.write(all));
    ASSERT_TRUE(waitUntil([&] { return reader.received().size() >= 256; }));
    EXPECT_EQ(reader.received(), all);

    reader.sendRaw(all);
    QByteArray got;
    ASSERT_TRUE(waitUntil([&] {
        got += port.readAll();
        return got.size() >= 256;
    }));
    EXPECT_EQ(got, all);
}

TEST_F(PtyReader, MissingAndBusyPortsFailToOpenAndAGoodOneOpensAfter)
{
    QString error;
    QtSerialPort missing;
    // A mapping that points nowhere is that port's device: it does not open.
    ASSERT_TRUE(QFile::link(home.path() + "/nowhere", home.path() + "/zorv900/com7"));
    EXPECT_FALSE(missing.open(7, "9600,n,8,1", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(missing.isOpen());

    ASSERT_TRUE(openPort());
    QtSerialPort second;
    EXPECT_FALSE(second.open(1, "9600,n,8,1", &error));
    EXPECT_FALSE(second.isOpen());

    port.close();
    EXPECT_TRUE(second.open(1, "9600,n,8,1", &error)) << error.toStdString();
    second.close();
    EXPECT_FALSE(missing.open(1, "fast,n,8,1", &error));
}

TEST_F(PtyReader, DeviceThatGoesAwayIsReportedOnceAndThePortCloses)
{
    ASSERT_TRUE(openPort());
    QSignalSpy failed(&port, &SerialPort::failed);
    QSignalSpy closed(&port, &SerialPort::closed);
    reader.unplug();
    ASSERT_TRUE(waitUntil([&] { return !port.isOpen(); }, 3000));
    // Let any further error notifications arrive, then count.
    QTest::qWait(300);
    EXPECT_EQ(failed.count(), 1);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(port.write("INIT\r"));
    EXPECT_EQ(port.bytesWaiting(), 0);
}

TEST_F(PtyReader, ReplyEndsAtCrKeepsLfAndLeavesTheRestWaiting)
{
    ASSERT_TRUE(openPort());
    ReaderLink link(&port);
    struct Case { QByteArray reply; QByteArray text; } cases[] = {
        {"OK", "OK"}, {"", ""}, {"A\nB", "A\nB"},
    };
    for (const auto &c : cases) {
        reader.setReply("INIT", c.reply);
        Outcome<Reply> got;
        ASSERT_TRUE(link.exchange("INIT", true, got.sink()));
        ASSERT_TRUE(got.wait());
        EXPECT_EQ(got.value->status, Reply::Complete);
        EXPECT_EQ(got.value->text, c.text);
    }
    // What follows the CR stays for the next reader.
    reader.setReply("INIT", "FIRST\rSECOND");
    Outcome<Reply> first;
    link.exchange("INIT", true, first.sink());
    ASSERT_TRUE(first.wait());
    EXPECT_EQ(first.value->text, "FIRST");
    Outcome<Reply> second;
    link.awaitReply(zorv::clock().elapsedMs() + 2000, second.sink());
    ASSERT_TRUE(second.wait());
    EXPECT_EQ(second.value->text, "SECOND");
    EXPECT_EQ(reader.received(), QByteArray("INIT\rINIT\rINIT\rINIT\r"));
}

TEST_F(PtyReader, OnlyOneOperationAtATimeAndDoneNeverRunsInsideTheCall)
{
    ASSERT_TRUE(openPort());
    ReaderLink link(&port);
    bool called = false;
    port.close();
    ASSERT_TRUE(link.exchange("INIT", false, [&](const Reply &r) {
        called = true;
        EXPECT_EQ(r.status, Reply::NotSent);
    }));
    EXPECT_FALSE(called);
    ASSERT_TRUE(waitUntil([&] { return called; }));

    ASSERT_TRUE(openPort());
    reader.setDelay("INIT", 300);
    Outcome<Reply> got;
    ASSERT_TRUE(link.exchange("INIT", false, got.sink()));
    EXPECT_TRUE(link.isBusy());
    EXPECT_FALSE(link.exchange("STMA", false, [](const Reply &) { FAIL(); }));
    ASSERT_TRUE(got.wait());
    EXPECT_EQ(got.value->text, "OK");
    EXPECT_FALSE(link.isBusy());
}

TEST_F(PtyReader, TwoPhaseSendsThePayloadOnlyAfterTheExactPrompt)
{
    ASSERT_TRUE(openPort());
    ReaderLink link(&port);
    Outcome<TwoPhaseResult> ok;
    link.twoPhase("DECA", "WAIT ADDRESS", "9", ReaderLink::TwoPhaseMode::Normal, ok.sink());
    ASSERT_TRUE(ok.wait());
    EXPECT_TRUE(ok.value->promptMatched);
    EXPECT_EQ(ok.value->reply.text, "OK");
    EXPECT_EQ(reader.received(), QByteArray("DECA\r9\r"));

    reader.clearReceived();
    reader.setReply("STOR", "WAIT CARD");
    Outcome<TwoPhaseResult> wrong;
    link.twoPhase("STOR", "WAITING", "A3\x32" "1", ReaderLink::TwoPhaseMode::Normal, wrong.sink());
    ASSERT_TRUE(wrong.wait());
    EXPECT_FALSE(wrong.value->promptMatched);
    EXPECT_EQ(wrong.value->reply.text, "WAIT CARD");
    QTest::qWait(100);
    EXPECT_EQ(reader.received(), QByteArray("STOR\r"));

    // Case counts.
    reader.setReply("DECA", "wait address");
    Outcome<TwoPhaseResult> lower;
    link.twoPhase("DECA", "WAIT ADDRESS", "0", ReaderLink::TwoPhaseMode::Normal, lower.sink());
    ASSERT_TRUE(lower.wait());
    EXPECT_FALSE(lower.value->promptMatched);
}

TEST_F(PtyReader, ReadLinesGathersTenLinesInOneWindow)
{
    ASSERT_TRUE(openPort());
    ReaderLink link(&port);
    reader.setSlot(0, "123456789012", '0');
    QList<QByteArray> lines;
    Outcome<Reply> done;
    link.readLines("RDAR", 10, true, [&](int n, const QByteArray &line) {
        EXPECT_EQ(n, lines.size() + 1);
        lines.append(line);
    }, done.sink());
    ASSERT_TRUE(done.wait());
    EXPECT_EQ(done.value->status, Reply::Complete);
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[0], "1234567890120");
    EXPECT_EQ(lines[9], "NO CARD");
}

TEST_F(PtyReader, CancelAndCloseEndAWaitAtOnce)
{
    ASSERT_TRUE(openPort());
    ReaderLink link(&port);
    reader.withhold("INIT");
    Outcome<Reply> cancelled;
    link.exchange("INIT", false, cancelled.sink());
    QTimer::singleShot(100, [&] { link.cancel(); });
    ASSERT_TRUE(cancelled.wait(2000));
    EXPECT_EQ(cancelled.value->status, Reply::Cancelled);
    EXPECT_LT(cancelled.elapsedMs, 1000);

    Outcome<Reply> closed;
    link.exchange("INIT", false, closed.sink());
    QTimer::singleShot(100, [&] { port.close(); });
    ASSERT_TRUE(closed.wait(2000));
    EXPECT_EQ(closed.value->status, Reply::Closed);
}

TEST_F(PtyReader, UnpluggedDuringAWaitEndsItAsFailed)
{
    ASSERT_TRUE(openPort());
    ReaderLink link(&port);
    reader.withhold("GETC");
    Outcome<Reply> got;
    link.exchange("GETC", true, got.sink());
    QTimer::singleShot(100, [&] { reader.unplug(); });
    ASSERT_TRUE(got.wait(3000));
    EXPECT_EQ(got.value->status, Reply::Failed);
    EXPECT_LT(got.elapsedMs, 2000);
    EXPECT_FALSE(port.isOpen());
}

TEST(FakePort, FlushDropsWhatIsWaitingAndDataSignalDrivesTheWait)
{
    const zorv::test::SystemClockInstalled clock;
    FakeSerialPort port;
    ASSERT_TRUE(port.open(1, "9600,n,8,1"));
    ReaderLink link(&port);
    port.receive("OLD\r");
    QTest::qWait(10);
    link.svuotabuffer();
    EXPECT_EQ(port.bytesWaiting(), 0);
    port.onWrite = [&](const QByteArray &frame) {
        if (frame == "INIT\r")
            QTimer::singleShot(20, [&] { port.receive("OK\r"); });
    };
    Outcome<Reply> got;
    link.exchange("INIT", true, got.sink());
    ASSERT_TRUE(got.wait(2000));
    EXPECT_EQ(got.value->text, "OK");
    EXPECT_EQ(port.frames, QList<QByteArray>{"INIT\r"});
}

// A slot of the port's data signal that holds an event loop open, as a message box does:
// bytes that arrive meanwhile are still signalled, and readable, before it returns.
TEST_F(PtyReader, BytesArrivingWhileASlotRunsAnEventLoopAreSignalledAndReadable)
{
    ASSERT_TRUE(openPort());
    int signalled = 0;
    QByteArray readInside;
    bool inside = false;
    QObject::connect(&port, &SerialPort::readyRead, [&] {
        ++signalled;
        if (inside || !readInside.isEmpty())
            return;
        inside = true;
        reader.sendRaw("TWO\r");
        QEventLoop box;
        QObject::connect(&port, &SerialPort::readyRead, &box, &QEventLoop::quit);
        QTimer::singleShot(3000, &box, &QEventLoop::quit);
        box.exec();
        readInside = port.readAll();
        inside = false;
    });
    reader.sendRaw("ONE\r");
    ASSERT_TRUE(waitUntil([&] { return !readInside.isEmpty(); }, 6000));
    EXPECT_EQ(signalled, 2);
    EXPECT_EQ(readInside, "ONE\rTWO\r");
}

// The fake is as strict as QSerialPort: no data signal while an earlier one is still being
// handled; what came meanwhile waits, and is told only with the next arrival.
TEST(FakePort, NoDataSignalWhileAnEarlierOneIsStillBeingHandled)
{
    const zorv::test::SystemClockInstalled clock;
    FakeSerialPort port;
    ASSERT_TRUE(port.open(1, "9600,n,8,1"));
    int signalled = 0;
    int signalledInside = -1;
    QObject::connect(&port, &SerialPort::readyRead, [&] {
        if (++signalled > 1)
            return;
        port.receive("TWO\r");
        QEventLoop box;
        QTimer::singleShot(50, &box, &QEventLoop::quit);
        box.exec();
        signalledInside = signalled;
    });
    port.receive("ONE\r");
    ASSERT_TRUE(waitUntil([&] { return signalledInside >= 0; }, 2000));
    EXPECT_EQ(signalledInside, 1);
    QTest::qWait(50);
    EXPECT_EQ(signalled, 1);
    EXPECT_EQ(port.bytesWaiting(), 8);
    port.receive("3\r");
    ASSERT_TRUE(waitUntil([&] { return signalled == 2; }, 2000));
    EXPECT_EQ(port.readAll(), "ONE\rTWO\r3\r");
}

TEST(ReceiveBufferLimit, KeepsTheFirstBytesUpToTheLimitAndCountsTheRest)
{
    ReceiveBuffer buffer;
    buffer.setLimit(8);
    EXPECT_EQ(buffer.append("LATE\r"), 5);
    EXPECT_EQ(buffer.append("GARBAGE"), 3);
    EXPECT_EQ(buffer.append("MORE"), 0);
    EXPECT_EQ(buffer.size(), 8);
    EXPECT_EQ(buffer.dropped(), 8);
    EXPECT_EQ(buffer.take(1), "L");
    EXPECT_EQ(buffer.append("XY"), 1); // room for one byte again
    EXPECT_EQ(buffer.take(100), "ATE\rGARX");
    EXPECT_EQ(buffer.size(), 0);
    buffer.setLimit(0); // no limit
    EXPECT_EQ(buffer.append(QByteArray(100000, 'z')), 100000);
    EXPECT_EQ(buffer.dropped(), 9);
}

TEST(FakePort, ReadBufferLimitHoldsOnlyTheFirstBytes)
{
    const zorv::test::SystemClockInstalled clock;
    FakeSerialPort port;
    ASSERT_TRUE(port.open(1, "9600,n,8,1"));
    port.setReadBufferLimit(4);
    port.receive("OK\rGARBAGE");
    EXPECT_EQ(port.bytesWaiting(), 4);
    EXPECT_EQ(port.droppedBytes(), 6);
    EXPECT_EQ(port.readAll(), "OK\rG");
}

// Between commands nothing reads the line: what the reader keeps sending is held only up
// to the link's limit, and a late reply that came first still starts the next reply of a
// command that does not flush.
TEST_F(PtyReader, IdleLineKeepsAtMostTheLimitWithTheLateReplyFirst)
{
    ASSERT_TRUE(openPort());
    ReaderLink link(&port);
    EXPECT_EQ(port.readBufferLimit(), ReadBufferLimit);
    qint64 fed = reader.sendRaw("LATE\r");
    const QByteArray chunk(4096, 'x');
    while (fed < 4 * ReadBufferLimit) {
        const qint64 n = reader.sendRaw(chunk);
        fed += n;
        if (n < chunk.size())
            QCoreApplication::processEvents();
    }
    ASSERT_TRUE(waitUntil([&] { return port.bytesWaiting() + port.droppedBytes() >= fed; }, 5000));
    EXPECT_EQ(port.bytesWaiting(), ReadBufferLimit);
    EXPECT_EQ(port.droppedBytes(), fed - ReadBufferLimit);

    reader.setReply("INIT", "FRESH");
    Outcome<Reply> late;
    ASSERT_TRUE(link.exchange("INIT", false, late.sink()));
    ASSERT_TRUE(late.wait());
    EXPECT_EQ(late.value->text, "LATE");
    Outcome<Reply> fresh;
    ASSERT_TRUE(link.exchange("INIT", true, fresh.sink()));
    ASSERT_TRUE(fresh.wait());
    EXPECT_EQ(fresh.value->text, "FRESH");
}
