// The console connected and idle while the line keeps sending: its memory stays bounded,
// and a command afterwards still works.
#include "consolewindowfixture.h"

#include "readeremulator.h"

using namespace zorv;
using namespace zorv::test;

TEST(ConsoleIdle, HundredMegabytesWhileIdleKeepMemoryBoundedAndTheNextCommandWorks)
{
    constexpr qint64 kFeed = 100LL * 1024 * 1024;
    // Without a bound the console kept every byte (over 100 MB here).
    constexpr qint64 kBoundKiB = 16 * 1024;

    ConsoleRig rig;
    rig.connectPort();
    ASSERT_TRUE(rig.window->isConnected());
    QTest::qWait(50);
    const qint64 before = emulator::residentKiB();
    ASSERT_GT(before, 0);

    // A late reply first, then garbage without end; nothing reads between commands.
    QByteArray chunk(64 * 1024, '\0');
    for (int i = 0; i < chunk.size(); ++i)
        chunk[i] = char('A' + i % 26);
    qint64 fed = rig.reader.sendRaw("LATE OK\r");
    qint64 peak = before;
    int rounds = 0;
    while (fed < kFeed) {
        const qint64 n = rig.reader.sendRaw(chunk.left(int(qMin<qint64>(chunk.size(), kFeed - fed))));
        fed += n;
        if (n < chunk.size())
            QCoreApplication::processEvents(); // the terminal is full: let the console take it
        if (++rounds % 64 == 0)
            peak = qMax(peak, emulator::residentKiB());
    }
    SerialPort *port = rig.window->Comm1;
    ASSERT_TRUE(waitUntil([&] { return port->bytesWaiting() + port->droppedBytes() >= fed; }, 20000));
    peak = qMax(peak, emulator::residentKiB());
    std::printf("fed %lld bytes; resident %lld KiB before, peak %lld KiB (+%lld KiB)\n", fed, before, peak,
                peak - before);
    EXPECT_LT(peak - before, kBoundKiB);
    // The bytes that came first are the ones kept, the late reply among them.
    EXPECT_EQ(port->bytesWaiting(), reader::ReadBufferLimit);
    EXPECT_EQ(port->bytesWaiting() + port->droppedBytes(), fed);

    // A command that flushes first sees only its own reply.
    rig.reader.setReply(QStringLiteral("INIT"), "INIT DONE");
    rig.boxes.shown.clear();
    ASSERT_TRUE(rig.clickAndWait(4, 2, 6000));
    EXPECT_EQ(rig.lastText(), "Zorv900 answered: INIT DONE");
}
