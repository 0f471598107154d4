#include "dialogresults.h"
#include "fakeserialport.h"
#include "monitorreaders.h"
#include "porte.h"
#include "rx.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace zorv;
using namespace zorv::console;
using zorv::test::waitUntil;

namespace {

const QString kNine(9, QLatin1Char(' '));

} // namespace

TEST(PorteWindow, PrintsThreeRowsAndStopsOneSecondAfterTheThird)
{
    const zorv::test::SystemClockInstalled clock;
    FakeSerialPort port;
    port.open();
    port.onWrite = [&](const QByteArray &frame) {
        if (frame == "GTAP\r")
            port.receive("PA=00000001\rPB=10000000\rPC=01010101\r");
    };
    PORTE window(&port);
    window.show();
    EXPECT_EQ(window.windowTitle(), "MCU Ports status");
    EXPECT_EQ(window.Command3->text(), "Quit");
    EXPECT_TRUE(port.frames.isEmpty()); // the read starts from the timer

    ASSERT_TRUE(waitUntil([&] { return window.rows().size() == 3; }, 3000));
    QElapsedTimer sinceThird;
    sinceThird.start();
    EXPECT_EQ(port.frames, QByteArrayList{"GTAP\r"});
    EXPECT_EQ(window.rows(), (QStringList{kNine + "PA=00000001", kNine + "PB=10000000", kNine + "PC=01010101"}));
    EXPECT_TRUE(window.isReading());
    ASSERT_TRUE(waitUntil([&] { return !window.isReading(); }, 3000));
    EXPECT_GE(sinceThird.elapsed(), 900);
    EXPECT_LT(sinceThird.elapsed(), 1800);
    port.receive("LATE\r");
    QTest::qWait(30);
    EXPECT_EQ(window.rows().size(), 3);
    EXPECT_TRUE(window.isVisible()); // the rows stay until Quit
    QTest::mouseClick(window.Command3, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

TEST(PorteWindow, SilenceLeavesItBlank)
{
    const zorv::test::SystemClockInstalled clock;
    FakeSerialPort port;
    port.open();
    PORTE window(&port);
    window.show();
    ASSERT_TRUE(waitUntil([&] { return port.frames.size() == 1; }, 2000));
    ASSERT_TRUE(waitUntil([&] { return !window.isReading(); }, 3000));
    EXPECT_TRUE(window.rows().isEmpty());
    // Quit after the read has ended: nothing goes on reading.
    QTest::mouseClick(window.Command3, Qt::LeftButton);
    EXPECT_EQ(window.takeDiscardingReader(), nullptr);
    port.receive("LATE\r");
    QTest::qWait(30);
    EXPECT_EQ(port.bytesWaiting(), 5);
}

TEST(PorteWindow, LinesAfterQuitAreDroppedUntilTheAnswerWouldHaveEnded)
{
    const zorv::test::SystemClockInstalled clock;
    FakeSerialPort port;
    port.open();
    PORTE window(&port);
    window.show();
    ASSERT_TRUE(waitUntil([&] { return port.frames.size() == 1; }, 2000));
    port.receive("L1\r");
    ASSERT_TRUE(waitUntil([&] { return window.rows().size() == 1; }, 2000));
    QTest::mouseClick(window.Command3, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.isReading());
    // The rest of the answer is read and dropped, never shown...
    port.receive("L2\r");
    QTest::qWait(30);
    EXPECT_EQ(window.rows().size(), 1);
    EXPECT_EQ(port.bytesWaiting(), 0);
    // ...until a line fails to come within one second; what comes after that waits for
    // the next command.
    PortStatusReader *rest = window.takeDiscardingReader();
    ASSERT_NE(rest, nullptr);
    std::unique_ptr<PortStatusReader> owned(rest);
    QElapsedTimer sinceL2;
    sinceL2.start();
    ASSERT_TRUE(waitUntil([&] { return !rest->isRunning(); }, 3000));
    EXPECT_GE(sinceL2.elapsed(), 900);
    port.receive("NEXT\r");
    QTest::qWait(30);
    EXPECT_EQ(port.bytesWaiting(), 5);
    EXPECT_EQ(window.rows().size(), 1);
}

namespace {

class RxWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        port.open();
        results().FermaRx = 1;
        window = std::make_unique<RX>(&port);
        window->show();
        ASSERT_EQ(results().FermaRx, 0);
        ASSERT_TRUE(waitUntil([&] { return window->isReading(); }, 2000));
    }
    void arrive(const QByteArray &bytes)
    {
        port.receive(bytes);
        ASSERT_TRUE(waitUntil([&] { return port.bytesWaiting() == 0; }, 2000));
    }
    QString log() const { return window->Text1->toPlainText(); }

    FakeSerialPort port;
    std::unique_ptr<RX> window;
};

} // namespace

TEST_F(RxWindow, ShowsEachLineOnALineOfItsOwn)
{
    EXPECT_EQ(window->windowTitle(), "RX Data");
    EXPECT_EQ(window->clear->text(), "Clear");
    EXPECT_EQ(window->Command3->text(), "Quit");
    arrive("A");
    arrive("B");
    EXPECT_EQ(log(), "");
    arrive("\r");
    arrive("C\r");
    EXPECT_EQ(log(), "AB\nC\n");
}

TEST_F(RxWindow, ClearMidLineThenTheLineComesWhole)
{
    arrive("OLD\rHAL");
    window->clear_Click();
    EXPECT_EQ(log(), "");
    arrive("F\r");
    EXPECT_EQ(log(), "HALF\n");
}

TEST_F(RxWindow, QuitMidLineAddsNothingAndStops)
{
    arrive("ONE\rPART");
    QTest::mouseClick(window->Command3, Qt::LeftButton);
    EXPECT_EQ(results().FermaRx, 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->isReading());
    port.receive("IAL\rNEXT\r");
    QTest::qWait(30);
    EXPECT_EQ(log(), "ONE\n");
    EXPECT_EQ(port.bytesWaiting(), 9);
}

TEST_F(RxWindow, TitleBarCloseStopsToo)
{
    arrive("ONE\r");
    window->close();
    EXPECT_EQ(results().FermaRx, 1);
    EXPECT_FALSE(window->isReading());
    port.receive("TWO\r");
    QTest::qWait(30);
    EXPECT_EQ(log(), "ONE\n");
}

TEST_F(RxWindow, LinesThatCameBeforeTheStartAreShown)
{
    window.reset();
    port.receive("EARLY\r");
    window = std::make_unique<RX>(&port);
    window->show();
    ASSERT_TRUE(waitUntil([&] { return log() == "EARLY\n"; }, 2000));
}

TEST_F(RxWindow, TheLogKeepsTheMostRecentLines)
{
    window->setMaxLogLines(50);
    QByteArray burst;
    for (int i = 1; i <= 120; ++i)
        burst += "LINE" + QByteArray::number(i) + "\r";
    arrive(burst);
    const QStringList lines = log().split('\n');
    ASSERT_EQ(lines.size(), 51);
    EXPECT_EQ(lines.first(), "LINE71");
    EXPECT_EQ(lines.at(49), "LINE120");
    EXPECT_EQ(lines.last(), "");
    EXPECT_EQ(RX::kMaxLogLines, 5000);
}
