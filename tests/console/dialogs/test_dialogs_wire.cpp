#include "dialogresults.h"
#include "fakemessageboxes.h"
#include "monitorreaders.h"
#include "porte.h"
#include "rx.h"
#include "sounddialog.h"
#include "wirefixture.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <thread>

using namespace zorv;
using namespace zorv::console;
using zorv::test::waitUntil;

namespace {

const QString kNine(9, QLatin1Char(' '));

class DialogsOnTheWire : public WireTest {
protected:
    DialogsOnTheWire() : boxesService(&boxes) {}
    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxesService;
};

} // namespace

TEST_F(DialogsOnTheWire, SoundSendsOneBuzzerFramePerGo)
{
    SOUND dialog(port.get());
    dialog.show();
    QTest::keyClicks(dialog.Text1, "124");
    QTest::keyClicks(dialog.Text3, "50");
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(dialog.Command13, Qt::LeftButton);
    const QByteArray frame("BZ\x7c\x32\r");
    EXPECT_EQ(receivedAtLeast(3 * frame.size()), frame + frame + frame);
    EXPECT_EQ(reader.frames(), QList<QByteArray>(3, QByteArray("BZ\x7c\x32")));
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(DialogsOnTheWire, PorteShowsTheGtapLinesAndStopsOneSecondAfterTheThird)
{
    reader.setGtapLines({"PORT A 00000001", "PORT B 00000010", "PORT C 00000100"});
    reader.setDelay(QStringLiteral("GTAP"), 150); // 150, 300 and 450 ms after the GTAP
    PORTE window(port.get());
    window.show();
    ASSERT_TRUE(waitUntil([&] { return window.rows().size() == 3; }, 4000));
    QElapsedTimer sinceThird;
    sinceThird.start();
    EXPECT_EQ(reader.received(), QByteArray("GTAP\r"));
    EXPECT_EQ(window.rows(),
              (QStringList{kNine + "PORT A 00000001", kNine + "PORT B 00000010", kNine + "PORT C 00000100"}));
    ASSERT_TRUE(waitUntil([&] { return !window.isReading(); }, 3000));
    EXPECT_GE(sinceThird.elapsed(), 900);
    EXPECT_LT(sinceThird.elapsed(), 1800);
    EXPECT_EQ(window.rows().size(), 3);
}

TEST_F(DialogsOnTheWire, PorteDropsALateLineAndEverythingAfterIt)
{
    reader.withhold(QStringLiteral("GTAP"));
    QObject::connect(&reader, &emulator::ReaderEmulator::frameReceived, &reader, [this](const QByteArray &f) {
        if (f != "GTAP")
            return;
        sendLater(100, "FIRST\r");
        sendLater(300, "SECOND WITHOUT");
        sendLater(1500, " ITS CR IN TIME\rTHIRD\r");
    });
    PORTE window(port.get());
    window.show();
    ASSERT_TRUE(waitUntil([&] { return reader.received() == "GTAP\r"; }, 2000));
    ASSERT_TRUE(waitUntil([&] { return !window.isReading(); }, 3000));
    QTest::qWait(400); // the rest arrives after the read has ended
    EXPECT_EQ(window.rows(), QStringList{kNine + "FIRST"});
    EXPECT_TRUE(port->bytesWaiting() > 0); // left for the console's flush
}

TEST_F(DialogsOnTheWire, RxShowsLinesAsTheReaderSendsThem)
{
    RX window(port.get());
    window.show();
    ASSERT_TRUE(waitUntil([&] { return window.isReading(); }, 2000));
    reader.sendRaw("A");
    QTest::qWait(50);
    reader.sendRaw("B");
    QTest::qWait(50);
    reader.sendRaw("\r");
    QTest::qWait(50);
    reader.sendRaw("C\r");
    ASSERT_TRUE(waitUntil([&] { return window.Text1->toPlainText() == "AB\nC\n"; }, 2000))
        << window.Text1->toPlainText().toStdString();
    reader.sendRaw("PART");
    QTest::qWait(50);
    QTest::mouseClick(window.Command3, Qt::LeftButton);
    EXPECT_EQ(results().FermaRx, 1);
    reader.sendRaw("IAL\r");
    QTest::qWait(100);
    EXPECT_EQ(window.Text1->toPlainText(), "AB\nC\n");
}

// A reader at the wrong speed, or a device that is not the reader: a line that never
// ends. The window keeps at most a line's worth of it, notes what was dropped, and shows
// the next proper line.
TEST_F(DialogsOnTheWire, RxDropsTenMegabytesWithoutCrAndShowsTheNextLine)
{
    constexpr qsizetype kNoise = 10 << 20;
    RX window(port.get());
    window.show();
    ASSERT_TRUE(waitUntil([&] { return window.isReading(); }, 2000));
    const QByteArray noise = zorv::emulator::noiseWithoutCr(kNoise);
    const qint64 before = zorv::emulator::residentKiB();
    qint64 peak = before;
    qsizetype longest = 0;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        peak = qMax(peak, zorv::emulator::residentKiB());
        longest = qMax(longest, window.monitor->pending().size());
    });
    sample.start(5);
    std::atomic<bool> fed{false};
    std::thread feeder([&] { fed = reader.feed(noise, 20000) && reader.feed("NEXT\r"); });
    const bool shown = waitUntil([&] { return fed && window.Text1->toPlainText().endsWith("NEXT\n"); }, 60000);
    feeder.join();
    sample.stop();
    peak = qMax(peak, zorv::emulator::residentKiB());
    std::printf("RX open, %lld bytes without CR: resident %lld KiB before, peak %lld KiB (+%lld KiB)\n",
                qint64(kNoise), before, peak, peak - before);
    ASSERT_TRUE(fed);
    ASSERT_TRUE(shown) << window.Text1->toPlainText().left(300).toStdString();
    EXPECT_LT(longest, 256);
    EXPECT_LT(peak - before, 4 * 1024) << "KiB more while 10 MiB came in";
    EXPECT_EQ(window.Text1->toPlainText(), "dati dal lettore senza fine riga (oltre 256 byte): scartati\n"
                                           "scartati in tutto 10485760 byte senza fine riga\n"
                                           "NEXT\n");
    EXPECT_TRUE(window.isReading());
}
