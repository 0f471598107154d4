#include "consolecommands.h"
#include "dialogresults.h"
#include "fakemessageboxes.h"
#include "porte.h"
#include "portframedialog.h"
#include "readeremulator.h"
#include "rx.h"
#include "qtserialport.h"
#include "sounddialog.h"
#include "store.h"
#include "testsupport.h"
#include "zorv.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace zorv;
using namespace zorv::console;
using zorv::test::waitUntil;

namespace {

const QString kNine(9, QLatin1Char(' '));

// The console window connected to the reader emulator on COM 9 of a fresh config folder.
class ConsoleButtons : public ::testing::Test {
protected:
    static constexpr int kCom = 9;

    ConsoleButtons() : boxesService(&boxes) {}

    void SetUp() override
    {
        m_oldConfigHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        QString error;
        ASSERT_TRUE(reader.start(&error)) << error.toStdString();
        ASSERT_TRUE(reader.linkComPort(home.path(), kCom, &error)) << error.toStdString();
        window = std::make_unique<Zorv>();
        window->show();
    }
    void TearDown() override
    {
        window.reset();
        qputenv("XDG_CONFIG_HOME", m_oldConfigHome);
    }

    void connectPort()
    {
        window->findChild<QComboBox *>(QStringLiteral("Combo1"))->setCurrentIndex(kCom - 1);
        window->Command1_Click();
        ASSERT_TRUE(window->isConnected()) << boxes.texts().join('|').toStdString();
    }

    QPushButton *button(int n) const { return window->commandButton(n); }

    // Acts on the modal dialog of type D once it is open.
    template <class D>
    void onDialog(std::function<void(D *)> act)
    {
        auto tries = std::make_shared<int>(0);
        auto check = std::make_shared<std::function<void()>>();
        // Only copies run (from timers), so clearing *check ends the cycle that keeps it alive.
        *check = [act, tries, check] {
            if (auto *d = qobject_cast<D *>(QApplication::activeModalWidget())) {
                *check = nullptr;
                act(d);
                return;
            }
            if (++*tries > 200) {
                *check = nullptr;
                ADD_FAILURE() << "dialog did not open";
                return;
            }
            QTimer::singleShot(10, qApp, *check);
        };
        QTimer::singleShot(0, qApp, *check);
    }

    QByteArray receivedAtLeast(int count, int timeoutMs = 3000)
    {
        waitUntil([&] { return reader.received().size() >= count; }, timeoutMs);
        return reader.received();
    }
    bool replyShown(const QString &text, int timeoutMs = 6000)
    {
        return waitUntil([&] { return boxes.texts().contains(text); }, timeoutMs);
    }

    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxesService;
    test::SystemClockInstalled clock;
    Maker<SerialPort> ports = Maker<SerialPort>::of<QtSerialPort>();
    ScopedService<Maker<SerialPort>> portsService{&ports};
    test::TempFolder home;
    emulator::ReaderEmulator reader;
    std::unique_ptr<Zorv> window;

private:
    QByteArray m_oldConfigHome;
};

} // namespace

TEST_F(ConsoleButtons, TheSixDialogButtonsAskForTheConnectionFirst)
{
    for (int n : {12, 13, 18, 19, 20, 21}) {
        ASSERT_TRUE(button(n)->isEnabled()) << n;
        boxes.shown.clear();
        button(n)->click();
        EXPECT_EQ(boxes.texts(), QStringList{"Connect Com port"}) << n;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    EXPECT_TRUE(reader.received().isEmpty());
}

TEST_F(ConsoleButtons, ToggleMcuPortsSendsThePortFrame)
{
    connectPort();
    onDialog<PORTS>([](PORTS *d) {
        QTest::keyClicks(d->Text1, "a");
        QTest::keyClicks(d->Text2, "3");
        QTest::keyClicks(d->Text3, "5");
        QTest::keyClicks(d->Text4, "1");
        d->Command13->click();
    });
    button(18)->click();
    EXPECT_EQ(receivedAtLeast(5), QByteArray("A3\x32" "1\r"));
    EXPECT_TRUE(replyShown("Zorv900 answered: OK"));
}

TEST_F(ConsoleButtons, ToggleMcuPortsQuitSendsNothing)
{
    connectPort();
    onDialog<PORTS>([](PORTS *d) {
        QTest::keyClicks(d->Text1, "a");
        d->Command13->click(); // refused: no pin
        d->Command3->click();
    });
    button(18)->click();
    QTest::qWait(100);
    EXPECT_TRUE(reader.received().isEmpty());
    EXPECT_EQ(boxes.texts(), QStringList{"PIN should be 0 to 7"});
}

TEST_F(ConsoleButtons, SetConfigStoresThePortFrameAfterWaiting)
{
    connectPort();
    onDialog<CONFIG>([](CONFIG *d) {
        QTest::keyClicks(d->Text1, "c");
        QTest::keyClicks(d->Text2, "0");
        QTest::keyClicks(d->Text3, "25");
        QTest::keyClicks(d->Text4, "0");
        d->Command13->click();
    });
    button(12)->click();
    EXPECT_TRUE(replyShown("Zorv900 answered: OK"));
    EXPECT_EQ(reader.received(), QByteArray("STOR\r" "C0\xfa" "0\r"));
    EXPECT_EQ(reader.config().left(4), QByteArray("C0\xfa" "0"));
}

TEST_F(ConsoleButtons, StoreCardSendsTheSlotAfterWaitCard)
{
    connectPort();
    onDialog<store>([](store *d) {
        QTest::keyClicks(d->Text1, "1");
        QTest::keyClicks(d->Text2, "123456789012");
        QTest::keyClicks(d->Text3, "2");
        d->Command13->click();
    });
    button(13)->click();
    EXPECT_TRUE(replyShown("Zorv900 answered: OK"));
    EXPECT_EQ(reader.received(), QByteArray("STOC\r" "0123456789012" "1\r"));
    EXPECT_EQ(reader.slot(0).code, QByteArray("123456789012"));
    EXPECT_EQ(reader.slot(0).relay, '1');
}

TEST_F(ConsoleButtons, SoundFlushesFirstThenSendsAFramePerGo)
{
    connectPort();
    reader.sendRaw("LEFTOVER\r");
    ASSERT_TRUE(waitUntil([&] { return window->Comm1->bytesWaiting() == 9; }));
    int waitingInDialog = -1;
    onDialog<SOUND>([&](SOUND *d) {
        waitingInDialog = window->Comm1->bytesWaiting();
        QTest::keyClicks(d->Text1, "124");
        QTest::keyClicks(d->Text3, "50");
        for (int i = 0; i < 3; ++i)
            d->Command13->click();
        d->Command3->click();
    });
    button(21)->click();
    EXPECT_EQ(waitingInDialog, 0);
    EXPECT_EQ(receivedAtLeast(15), QByteArray("BZ\x7c\x32\r" "BZ\x7c\x32\r" "BZ\x7c\x32\r"));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(ConsoleButtons, ReadMcuPortsShowsTheGtapLines)
{
    connectPort();
    reader.setGtapLines({"PORT A 10000000", "PORT B 01000000", "PORT C 00100000"});
    reader.setDelay(QStringLiteral("GTAP"), 100);
    QStringList rows;
    qint64 endedAfterThird = -1;
    onDialog<PORTE>([&](PORTE *d) {
        auto *poll = new QTimer(d);
        auto since = std::make_shared<QElapsedTimer>();
        QObject::connect(poll, &QTimer::timeout, d, [&, d, poll, since] {
            if (d->rows().size() == 3 && !since->isValid())
                since->start();
            if (since->isValid() && !d->isReading()) {
                endedAfterThird = since->elapsed();
                rows = d->rows();
                poll->stop();
                d->Command3->click();
            }
        });
        poll->start(5);
    });
    button(20)->click();
    EXPECT_EQ(reader.received(), QByteArray("GTAP\r"));
    EXPECT_EQ(rows, (QStringList{kNine + "PORT A 10000000", kNine + "PORT B 01000000", kNine + "PORT C 00100000"}));
    EXPECT_GE(endedAfterThird, 900);
    EXPECT_LT(endedAfterThird, 1800);
}

// Quit while the GTAP answer is still coming: its remaining lines are read and dropped,
// the commands wait for that, and the next command that does not flush (a relay, Read
// Card) sees its own reply, not a port line.
TEST_F(ConsoleButtons, QuitReadMcuPortsMidAnswerThenTheNextCommandSeesItsOwnReply)
{
    connectPort();
    reader.setSlot(0, "123456789012", '0');
    auto *commands = window->findChild<QGroupBox *>(QStringLiteral("Command"));
    ASSERT_NE(commands, nullptr);
    struct Case { int button; QString typed; QString shown; } cases[] = {
        {9, "2", "Zorv900 answered: OK"},
        {15, "1", "Card 1: 123456789012   on Relay 1"},
    };
    for (const auto &c : cases) {
        reader.setGtapLines({"PA 1", "PB 2", "PC 3", "PD 4"});
        reader.setDelay(QStringLiteral("GTAP"), 250); // 250, 500, 750 and 1000 ms after the GTAP
        QStringList rows;
        onDialog<PORTE>([&](PORTE *d) {
            auto *poll = new QTimer(d);
            QObject::connect(poll, &QTimer::timeout, d, [&rows, d, poll] {
                if (d->rows().size() >= 1) {
                    rows = d->rows();
                    poll->stop();
                    d->Command3->click();
                }
            });
            poll->start(5);
        });
        button(20)->click();
        EXPECT_EQ(rows, QStringList{kNine + "PA 1"});
        // The rest of the answer is still coming: no command can start meanwhile.
        EXPECT_FALSE(commands->isEnabled());
        ASSERT_TRUE(waitUntil([&] { return commands->isEnabled(); }, 4000));
        EXPECT_EQ(window->Comm1->bytesWaiting(), 0);

        boxes.shown.clear();
        boxes.typeNext(c.typed);
        button(c.button)->click();
        ASSERT_TRUE(waitUntil([&] { return boxes.shown.size() >= 2 && !window->commands()->isRunning(); }, 6000));
        EXPECT_EQ(boxes.texts().last(), c.shown) << c.button;
    }
}

TEST_F(ConsoleButtons, RxDataShowsTheReadersLinesAndTheConsoleFlushesAfter)
{
    connectPort();
    QString shown;
    onDialog<RX>([&](RX *d) {
        reader.sendRaw("A");
        QTimer::singleShot(40, &reader, [&] { reader.sendRaw("B"); });
        QTimer::singleShot(80, &reader, [&] { reader.sendRaw("\r"); });
        QTimer::singleShot(120, &reader, [&] { reader.sendRaw("C\r"); });
        auto *poll = new QTimer(d);
        QObject::connect(poll, &QTimer::timeout, d, [&, d, poll] {
            if (d->Text1->toPlainText() == "AB\nC\n" || d->Text1->toPlainText().size() > 5) {
                shown = d->Text1->toPlainText();
                poll->stop();
                d->Command3->click();
            }
        });
        poll->start(5);
    });
    button(19)->click();
    EXPECT_EQ(shown, "AB\nC\n");
    EXPECT_EQ(results().FermaRx, 1);
    EXPECT_EQ(window->Comm1->bytesWaiting(), 0);
}
