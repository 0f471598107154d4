#include "consolewindowfixture.h"

#include "dialogresults.h"
#include "fakemessageboxes.h"

#include <QDialog>
#include <QTimer>

using namespace zorv;
using namespace zorv::console;
using zorv::test::ConsoleRig;
using zorv::test::waitUntil;
using zorv::test::whenIdle;

namespace {
const QByteArray kCard("123456789012");
}

TEST(ConsoleWindow, OpensWithItsControlsAndTheRedLamp)
{
    ConsoleRig rig;
    EXPECT_EQ(rig.window->objectName(), "Zorv");
    EXPECT_EQ(rig.window->windowTitle(), "Zorv 900 Demo");
    auto *combo = rig.child<QComboBox>("Combo1");
    ASSERT_EQ(combo->count(), 256);
    EXPECT_EQ(combo->itemText(0), "Com1");
    EXPECT_EQ(combo->itemText(255), "Com256");
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(rig.window->lampColour(), 255);
    EXPECT_EQ(rig.child<QGroupBox>("Frame1")->title(), "Com Port");
    EXPECT_EQ(rig.child<QGroupBox>("Command")->title(), "Commands");
    const QMap<int, QString> captions{
        {1, "Connect"}, {2, "Disconnect"}, {3, "Quit"}, {4, "Initialize"}, {5, "Manual mode"},
        {6, "Automatic mode"}, {7, "Set BT Name+PIN"}, {8, "Delete all Cards"}, {9, "Switch Relay 1"},
        {10, "Switch Relay 2"}, {11, "Delete config"}, {12, "Set config"}, {13, "Store Card"},
        {14, "Delete Card"}, {15, "Read Card"}, {16, "Read all Cards"}, {17, "Get config"},
        {18, "Toggle MCU Ports"}, {19, "RX Data"}, {20, "Read MCU Ports"}, {21, "Sound"},
    };
    for (auto it = captions.begin(); it != captions.end(); ++it) {
        ASSERT_NE(rig.button(it.key()), nullptr) << it.key();
        EXPECT_EQ(rig.button(it.key())->text(), it.value());
    }
    const QStringList labels{"INIT + <13>", "STMA + <13>", "STAU + <13>", "SETB + <13>", "DEAR + <13>",
                             "C0<time>1 + <13>", "B3<time>1 + <13>", "ERAS + <13>", "STOR + <13>",
                             "STOC + <13>", "DECA + <13>", "RDCA + <13>", "RDAR + <13>", "GETC + <13>",
                             "XXXX + <13>", "GTAP + <13>", "BZXX + <13>"};
    for (int i = 0; i < labels.size(); ++i) {
        auto *label = rig.child<QLabel>(QStringLiteral("Label%1").arg(i + 2));
        ASSERT_NE(label, nullptr) << i + 2;
        EXPECT_EQ(label->text(), labels[i]);
    }
    for (int n = 1; n <= 21; ++n)
        EXPECT_TRUE(rig.button(n)->isEnabled()) << n;
}

TEST(ConsoleWindow, EveryCommandBeforeConnectAsksToConnectAndSendsNothing)
{
    ConsoleRig rig;
    for (int n : {4, 5, 6, 7, 8, 9, 10, 11, 14, 15, 16, 17}) {
        rig.boxes.shown.clear();
        QTest::mouseClick(rig.button(n), Qt::LeftButton);
        ASSERT_EQ(rig.boxes.shown.size(), 1) << n;
        EXPECT_EQ(rig.boxes.last().text, "Connect Com port");
        EXPECT_FALSE(rig.boxes.last().title.has_value()); // the program's title
    }
    // Enter (Return or the keypad's) on a focused command button clicks it.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        rig.boxes.shown.clear();
        rig.button(4)->setFocus();
        QTest::keyClick(rig.button(4), key);
        ASSERT_EQ(rig.boxes.shown.size(), 1) << key;
        EXPECT_EQ(rig.boxes.last().text, "Connect Com port");
    }
    // The dialog commands check first too, before any dialog.
    for (auto handler : {&Zorv::Command12_Click, &Zorv::Command13_Click, &Zorv::Command18_Click,
                         &Zorv::Command19_Click, &Zorv::Command20_Click, &Zorv::Command21_Click}) {
        rig.boxes.shown.clear();
        (rig.window.get()->*handler)();
        ASSERT_EQ(rig.boxes.shown.size(), 1);
        EXPECT_EQ(rig.boxes.last().text, "Connect Com port");
    }
    QTest::qWait(50);
    EXPECT_TRUE(rig.reader.received().isEmpty());
}

TEST(ConsoleWindow, ConnectOnAMissingPortFailsAndAGoodPortThenConnects)
{
    ConsoleRig rig(3);
    auto *combo = rig.child<QComboBox>("Combo1");
    ASSERT_TRUE(QFile::link(rig.home.path() + "/absent", rig.home.path() + "/zorv900/com2"));
    combo->setCurrentIndex(1);
    QTest::mouseClick(rig.button(1), Qt::LeftButton);
    ASSERT_EQ(rig.boxes.shown.size(), 1);
    EXPECT_EQ(rig.lastText(), "Com Port Error");
    EXPECT_EQ(rig.window->lampColour(), 255);
    EXPECT_TRUE(combo->isEnabled());
    EXPECT_TRUE(rig.button(1)->isEnabled());

    rig.connectPort();
    EXPECT_FALSE(combo->isEnabled());
    EXPECT_FALSE(rig.button(1)->isEnabled());
    EXPECT_EQ(rig.window->Comm1->commPort(), 3);
    EXPECT_EQ(rig.window->Comm1->settings(), "9600,n,8,1");

    // Busy: a second console on the same port cannot have it.
    console::Zorv other;
    other.findChild<QComboBox *>("Combo1")->setCurrentIndex(2);
    other.Command1_Click();
    EXPECT_EQ(rig.lastText(), "Com Port Error");
    EXPECT_EQ(other.lampColour(), 255);

    QTest::mouseClick(rig.button(2), Qt::LeftButton);
    EXPECT_EQ(rig.window->lampColour(), 255);
    EXPECT_TRUE(combo->isEnabled());
    // Disconnect when not connected: nothing reported.
    const qsizetype shown = rig.boxes.shown.size();
    QTest::mouseClick(rig.button(2), Qt::LeftButton);
    EXPECT_EQ(rig.boxes.shown.size(), shown);
}

TEST(ConsoleWindow, ConfirmedCommandsFlushSendTheirWordAndShowTheReply)
{
    ConsoleRig rig;
    rig.connectPort();
    struct Case { int button; QByteArray word; QString question; } cases[] = {
        {4, "INIT", "Are you sure to Initialize ?"},
        {5, "STMA", "Are you sure to set in Manual mode ?"},
        {6, "STAU", "Are you sure to set in Automatic mode ?"},
        {7, "SETB", "Are you sure to Initialize Bluetooth Name+PIN ?"},
        {8, "DEAR", "Are you sure to delete all Cards ?"},
        {11, "ERAS", "Are you sure to delete config Bytes ?"},
    };
    for (const auto &c : cases) {
        rig.reader.clearReceived();
        rig.reader.setReply(QString::fromLatin1(c.word), c.word + " DONE");
        // A leftover line is flushed before the send.
        rig.reader.presentLine("LEFTOVER");
        QTest::qWait(30);
        rig.boxes.shown.clear();
        ASSERT_TRUE(rig.clickAndWait(c.button, 2)) << c.word.constData();
        EXPECT_EQ(rig.boxes.shown[0].text, c.question);
        EXPECT_EQ(rig.boxes.shown[0].style, style::YesNo);
        EXPECT_EQ(rig.boxes.shown[0].title, BoxTitle(QString())); // a title of its own, empty
        EXPECT_EQ(rig.boxes.shown[1].text, "Zorv900 answered: " + QString::fromLatin1(c.word) + " DONE");
        EXPECT_EQ(rig.reader.received(), c.word + "\r");

        // No: nothing sent, nothing more shown.
        rig.reader.clearReceived();
        rig.boxes.shown.clear();
        rig.boxes.answerNext(answer::No);
        QTest::mouseClick(rig.button(c.button), Qt::LeftButton);
        QTest::qWait(30);
        EXPECT_EQ(rig.boxes.shown.size(), 1);
        EXPECT_TRUE(rig.reader.received().isEmpty());
    }
}

TEST(ConsoleWindow, RelayTimesTravelAsTenthsInOneByte)
{
    ConsoleRig rig;
    rig.connectPort();
    struct Case { int button; QString typed; QByteArray frame; QString message; } cases[] = {
        {9, "2.5", QByteArray("C0\x19" "1\r"), "Zorv900 answered: OK"},
        {9, "25", QByteArray("C0\xfa" "1\r"), "Zorv900 answered: OK"},
        {10, "1.3", QByteArray("B3\r1\r"), "Zorv900 answered: OK"},
        {10, "0.25", QByteArray("B3\x02" "1\r"), "Zorv900 answered: OK"},
        {9, "26", {}, "Type Max 25 Seconds"},
        {9, "-1", {}, "Type Max 25 Seconds"},
    };
    for (const auto &c : cases) {
        rig.reader.clearReceived();
        rig.boxes.shown.clear();
        rig.boxes.typeNext(c.typed);
        ASSERT_TRUE(rig.clickAndWait(c.button, 2)) << c.typed.toStdString();
        EXPECT_EQ(rig.boxes.shown[0].kind, FakeMessageBoxes::Shown::Input);
        EXPECT_EQ(rig.boxes.shown[0].text, "Type Seconds");
        EXPECT_EQ(rig.boxes.shown[1].text, c.message) << c.typed.toStdString();
        QTest::qWait(20);
        EXPECT_EQ(rig.reader.received(), c.frame) << c.typed.toStdString();
    }
    // Nothing typed, cancelled, 0 or no number: nothing at all.
    for (const QString typed : {"", "0", "abc"}) {
        rig.reader.clearReceived();
        rig.boxes.shown.clear();
        rig.boxes.typeNext(typed);
        QTest::mouseClick(rig.button(9), Qt::LeftButton);
        QTest::qWait(30);
        EXPECT_EQ(rig.boxes.shown.size(), 1);
        EXPECT_TRUE(rig.reader.received().isEmpty());
    }
}

TEST(ConsoleWindow, DeleteCardSendsTheSlotAfterThePrompt)
{
    ConsoleRig rig;
    rig.connectPort();
    rig.reader.setSlot(9, kCard, '1');
    rig.boxes.typeNext("10");
    ASSERT_TRUE(rig.clickAndWait(14, 2));
    EXPECT_EQ(rig.boxes.shown[0].text, "Type Record");
    EXPECT_EQ(rig.lastText(), "Zorv900 answered: OK");
    EXPECT_EQ(rig.reader.received(), QByteArray("DECA\r9\r"));
    EXPECT_TRUE(rig.reader.slot(9).code.isEmpty());

    for (const QString typed : {"11", "-2", "2.5"}) {
        rig.reader.clearReceived();
        rig.boxes.shown.clear();
        rig.boxes.typeNext(typed);
        ASSERT_TRUE(rig.clickAndWait(14, 2));
        EXPECT_EQ(rig.lastText(), "Type Max Record 10") << typed.toStdString();
        EXPECT_TRUE(rig.reader.received().isEmpty());
    }
    rig.boxes.shown.clear();
    QTest::mouseClick(rig.button(14), Qt::LeftButton); // cancelled
    QTest::qWait(30);
    EXPECT_EQ(rig.boxes.shown.size(), 1);
    EXPECT_TRUE(rig.reader.received().isEmpty());

    // A first reply that is not the prompt is shown, and nothing more is sent.
    rig.reader.setReply("DECA", "BUSY");
    rig.boxes.typeNext("1");
    ASSERT_TRUE(rig.clickAndWait(14, 2));
    EXPECT_EQ(rig.lastText(), "Zorv900 answered: BUSY");
    QTest::qWait(50);
    EXPECT_EQ(rig.reader.received(), QByteArray("DECA\r"));
}

TEST(ConsoleWindow, ReadCardShowsTheSlotOrNoCard)
{
    ConsoleRig rig;
    rig.connectPort();
    rig.reader.setSlot(0, kCard, '0');
    rig.reader.setSlot(1, "ABC DEF-1234", '1');
    struct Case { QString typed; QString message; QByteArray sent; } cases[] = {
        {"3", "Zorv900 answered: NO CARD On record 3", "RDCA\r2\r"},
        {"1", "Card 1: 123456789012   on Relay 1", "RDCA\r0\r"},
        {"2", "Card 2: ABC DEF-1234   on Relay 2", "RDCA\r1\r"},
    };
    for (const auto &c : cases) {
        rig.reader.clearReceived();
        rig.boxes.shown.clear();
        rig.boxes.typeNext(c.typed);
        ASSERT_TRUE(rig.clickAndWait(15, 2));
        EXPECT_EQ(rig.lastText(), c.message);
        EXPECT_EQ(rig.reader.received(), c.sent);
    }
    // No flush: a leftover line is taken as the first reply and read as a card line.
    rig.reader.clearReceived();
    rig.reader.presentLine("99998888777X");
    QTest::qWait(30);
    rig.boxes.typeNext("4");
    ASSERT_TRUE(rig.clickAndWait(15, 2));
    EXPECT_EQ(rig.lastText(), "Card 4: 99998888777X   on Relay X");
    QTest::qWait(50);
    EXPECT_EQ(rig.reader.received(), QByteArray("RDCA\r"));
    // That reader's own prompt is still waiting now; flush it off for the next test.
    rig.window->link()->svuotabuffer();
}

TEST(ConsoleWindow, ReadAllCardsListsTheTenSlotsInCards)
{
    ConsoleRig rig;
    rig.connectPort();
    rig.reader.setSlot(0, kCard, '0');
    rig.reader.setSlot(9, "000000000010", '1');
    QStringList printed;
    bool sawCaption = false;
    whenIdle([&] {
        // Poll for the modal list from the event loop the dialog runs.
        // Only copies run (from timers), so clearing *look ends the cycle that keeps it alive.
        auto look = std::make_shared<std::function<void()>>();
        *look = [&, look] {
            auto *list = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!list) {
                QTimer::singleShot(20, *look);
                return;
            }
            *look = nullptr;
            sawCaption = list->windowTitle() == "CARDS" && list->objectName() == "cards";
            printed = static_cast<cards *>(list)->printed();
            QTest::mouseClick(list->findChild<QPushButton *>("Command3"), Qt::LeftButton);
        };
        QTimer::singleShot(0, *look);
    });
    QTest::mouseClick(rig.button(16), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !printed.isEmpty(); }, 4000));
    EXPECT_TRUE(sawCaption);
    ASSERT_EQ(printed.size(), 12);
    EXPECT_EQ(printed[0], "");
    EXPECT_EQ(printed[1], "");
    EXPECT_EQ(printed[2], "    Card 1= 123456789012    on Relay 0");
    EXPECT_EQ(printed[3], "    Card 2= NO CARD");
    EXPECT_EQ(printed[10], "    Card 9= NO CARD");
    EXPECT_EQ(printed[11], "    Card 10= 000000000010    on Relay 1");
    EXPECT_EQ(rig.reader.received(), QByteArray("RDAR\r"));
    EXPECT_TRUE(rig.boxes.shown.isEmpty());
    EXPECT_TRUE(rig.child<QGroupBox>("Command")->isEnabled());
}

TEST(ConsoleWindow, ReadAllCardsFreesTheButtonsAtTheFirstLineAndACommandThenTakesOver)
{
    ConsoleRig rig;
    rig.connectPort();
    rig.reader.setDelay("RDARLINE", 1000);
    auto *frame = rig.child<QGroupBox>("Command");
    QTest::mouseClick(rig.button(16), Qt::LeftButton);
    EXPECT_FALSE(frame->isEnabled());
    ASSERT_TRUE(waitUntil([&] { return frame->isEnabled(); }, 1000));
    EXPECT_EQ(ElencoCarte.value(0), "Card 1= NO CARD");
    // INIT now: the remaining list lines are flushed, INIT's reply is shown, no list opens.
    ASSERT_TRUE(rig.clickAndWait(4, 2, 4000));
    EXPECT_EQ(rig.lastText(), "Zorv900 answered: OK");
    QTest::qWait(200);
    EXPECT_EQ(rig.boxes.shown.size(), 2);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(ConsoleWindow, GetConfigShowsTheFiveBytes)
{
    ConsoleRig rig;
    rig.connectPort();
    struct Case { QByteArray config; QString shown; } cases[] = {
        {QByteArray(4, char(255)) + 'M', "Zorv900 answered:    Port X   Pin X   Sec. X   State X   Mode Manual"},
        {QByteArray("C0\x32" "1M"), "Zorv900 answered:    Port C   Pin 0   Sec. 5   State 1   Mode Manual"},
        {QByteArray("A7\x19" "0A"), "Zorv900 answered:    Port A   Pin 7   Sec. 2.5   State 0   Mode Automatic"},
        {QByteArray("B1\x05" "1?"), "Zorv900 answered:    Port B   Pin 1   Sec. .5   State 1   Mode ?"},
    };
    for (const auto &c : cases) {
        rig.reader.setConfig(c.config);
        rig.boxes.shown.clear();
        ASSERT_TRUE(rig.clickAndWait(17, 1));
        EXPECT_EQ(rig.lastText(), c.shown);
    }
    // A reply too short: what came, X for the missing places, no mode.
    rig.reader.setReply("GETC", "C0");
    ASSERT_TRUE(rig.clickAndWait(17, 1));
    EXPECT_EQ(rig.lastText(), "Zorv900 answered:    Port C   Pin 0   Sec. X   State X   Mode ");
    rig.reader.setReply("GETC", "");
    ASSERT_TRUE(rig.clickAndWait(17, 1));
    EXPECT_EQ(rig.lastText(), "Zorv900 answered:    Port X   Pin X   Sec. X   State X   Mode ");

    // An erase followed by a read shows the erased configuration.
    rig.reader.clearReply("GETC");
    rig.reader.setConfig("C0\x32" "1M");
    ASSERT_TRUE(rig.clickAndWait(11, 2));
    ASSERT_TRUE(rig.clickAndWait(17, 1));
    EXPECT_EQ(rig.lastText(), "Zorv900 answered:    Port X   Pin X   Sec. X   State X   Mode Manual");
}

TEST(ConsoleWindow, FrameIsDisabledDuringAWaitAndDisconnectEndsItSilently)
{
    ConsoleRig rig;
    rig.connectPort();
    rig.reader.withhold("INIT");
    auto *frame = rig.child<QGroupBox>("Command");
    QTest::mouseClick(rig.button(4), Qt::LeftButton);
    ASSERT_EQ(rig.boxes.shown.size(), 1); // the question
    EXPECT_FALSE(frame->isEnabled());
    EXPECT_TRUE(rig.button(2)->isEnabled());
    EXPECT_TRUE(rig.button(3)->isEnabled());
    QTest::qWait(200);
    QTest::mouseClick(rig.button(2), Qt::LeftButton);
    EXPECT_EQ(rig.window->lampColour(), 255);
    ASSERT_TRUE(waitUntil([&] { return frame->isEnabled(); }, 500));
    QTest::qWait(100);
    EXPECT_EQ(rig.boxes.shown.size(), 1);

    // Connect again: the next command works.
    rig.reader.clearReply("INIT");
    rig.reader.withhold("INIT", false);
    rig.connectPort();
    ASSERT_TRUE(rig.clickAndWait(4, 2));
    EXPECT_EQ(rig.lastText(), "Zorv900 answered: OK");
}

TEST(ConsoleWindow, ReaderUnpluggedDuringAWaitReportsOnceAndTurnsTheLampRed)
{
    ConsoleRig rig;
    rig.connectPort();
    rig.reader.withhold("GETC");
    QTimer::singleShot(200, [&] { rig.reader.unplug(); });
    QTest::mouseClick(rig.button(17), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return rig.window->lampColour() == 255; }, 3000));
    QTest::qWait(300);
    ASSERT_EQ(rig.boxes.shown.size(), 1);
    EXPECT_EQ(rig.lastText(), "Com Port Error");
    EXPECT_TRUE(rig.child<QGroupBox>("Command")->isEnabled());
    EXPECT_TRUE(rig.button(1)->isEnabled());
    EXPECT_FALSE(rig.window->Comm1->isOpen());
    // Every button now asks to connect.
    QTest::mouseClick(rig.button(4), Qt::LeftButton);
    EXPECT_EQ(rig.lastText(), "Connect Com port");
}

// The dialog commands after their dialog: the result sent as payload or as the frame.
TEST(ConsoleCommandsAfterDialogs, StoreConfigStoreCardAndPortToggleOnTheWire)
{
    ConsoleRig rig;
    rig.connectPort();
    ConsoleCommands *commands = rig.window->commands();
    auto run = [&](auto call) {
        rig.reader.clearReceived();
        rig.boxes.shown.clear();
        call();
        return waitUntil([&] { return !rig.boxes.shown.isEmpty() && !commands->isRunning(); }, 3000);
    };
    ASSERT_TRUE(run([&] { commands->storeConfig(QByteArray("A3\x32" "1")); }));
    EXPECT_EQ(rig.reader.received(), QByteArray("STOR\rA3\x32" "1\r"));
    EXPECT_EQ(rig.lastText(), "Zorv900 answered: OK");
    EXPECT_EQ(rig.reader.config(), QByteArray("A3\x32" "1M"));

    ASSERT_TRUE(run([&] { commands->storeCard("0" + kCard + "1"); }));
    EXPECT_EQ(rig.reader.received(), "STOC\r0" + kCard + "1\r");
    EXPECT_EQ(rig.lastText(), "Zorv900 answered: OK");
    EXPECT_EQ(rig.reader.slot(0).code, kCard);

    ASSERT_TRUE(run([&] { commands->togglePorts(QByteArray("B5\x0a" "0")); }));
    EXPECT_EQ(rig.reader.received(), QByteArray("B5\n0\r"));
    EXPECT_EQ(rig.lastText(), "Zorv900 answered: OK");

    // STOR whose first reply is "WAIT CARD": shown, and the payload is not sent.
    rig.reader.setReply("STOR", "WAIT CARD");
    ASSERT_TRUE(run([&] { commands->storeConfig(QByteArray("A3\x32" "1")); }));
    EXPECT_EQ(rig.lastText(), "Zorv900 answered: WAIT CARD");
    QTest::qWait(50);
    EXPECT_EQ(rig.reader.received(), QByteArray("STOR\r"));
    rig.reader.setReply("STOC", "WAITING");
    ASSERT_TRUE(run([&] { commands->storeCard("0" + kCard + "1"); }));
    EXPECT_EQ(rig.lastText(), "Zorv900 answered: WAITING");
    QTest::qWait(50);
    EXPECT_EQ(rig.reader.received(), QByteArray("STOC\r"));

    // Cancelled dialogs send nothing.
    rig.reader.clearReceived();
    rig.boxes.shown.clear();
    commands->storeConfig({});
    commands->storeCard({});
    commands->togglePorts({});
    QTest::qWait(50);
    EXPECT_TRUE(rig.reader.received().isEmpty());
    EXPECT_TRUE(rig.boxes.shown.isEmpty());
}

TEST(ConsoleCommandsAfterDialogs, MonitorButtonsFlushBeforeTheirDialog)
{
    ConsoleRig rig;
    rig.connectPort();
    rig.reader.withhold("GTAP");
    rig.reader.presentLine("UNSOLICITED");
    ASSERT_TRUE(waitUntil([&] { return rig.window->Comm1->bytesWaiting() > 0; }, 1000));
    int waitingInDialog = -1;
    whenIdle([&] {
        waitingInDialog = rig.window->Comm1->bytesWaiting();
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    }, 50);
    rig.window->Command20_Click();
    EXPECT_EQ(waitingInDialog, 0);
    EXPECT_TRUE(rig.boxes.shown.isEmpty());
}
