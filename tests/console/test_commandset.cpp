#include "commandset.h"
#include "consolecommands.h"
#include "fakemessageboxes.h"
#include "fakeserialport.h"
#include "readerlink.h"
#include "service.h"
#include "testsupport.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::console;
using zorv::test::waitUntil;

TEST(OperatorNumbers, SecondsForTheRelay)
{
    struct Case { QString typed; SecondsInput::Outcome outcome; int timeByte; } cases[] = {
        {"", SecondsInput::Nothing, 0},       {"0", SecondsInput::Nothing, 0},
        {"abc", SecondsInput::Nothing, 0},    {"0.0", SecondsInput::Nothing, 0},
        {"2.5", SecondsInput::Send, 25},      {"25", SecondsInput::Send, 250},
        {"0.25", SecondsInput::Send, 2},      {"3 s", SecondsInput::Send, 30},
        {"25.01", SecondsInput::TooMany, 0},  {"26", SecondsInput::TooMany, 0},
        {"-1", SecondsInput::TooMany, 0},     {"-0.5", SecondsInput::TooMany, 0},
    };
    for (const auto &c : cases) {
        const SecondsInput in = readSeconds(c.typed);
        EXPECT_EQ(in.outcome, c.outcome) << c.typed.toStdString();
        EXPECT_EQ(in.timeByte, c.timeByte) << c.typed.toStdString();
    }
}

TEST(OperatorNumbers, RecordForTheSlotCommands)
{
    struct Case { QString typed; RecordInput::Outcome outcome; QByteArray slot; } cases[] = {
        {"", RecordInput::Nothing, {}},        {"0", RecordInput::Nothing, {}},
        {"x", RecordInput::Nothing, {}},       {"1", RecordInput::Send, "0"},
        {"10", RecordInput::Send, "9"},        {"03", RecordInput::Send, "2"},
        {"11", RecordInput::OutOfRange, {}},   {"-2", RecordInput::OutOfRange, {}},
        {"2.5", RecordInput::OutOfRange, {}},  {"0.5", RecordInput::OutOfRange, {}},
    };
    for (const auto &c : cases) {
        const RecordInput in = readRecord(c.typed);
        EXPECT_EQ(in.outcome, c.outcome) << c.typed.toStdString();
        EXPECT_EQ(in.slot, c.slot) << c.typed.toStdString();
    }
}

TEST(ReaderReplies, ReadCardMessage)
{
    struct Case { QByteArray reply; int record; QString shown; } cases[] = {
        {"NO CARD", 3, "Zorv900 answered: NO CARD On record 3"},
        {"1234567890120", 1, "Card 1: 123456789012   on Relay 1"},
        {"1234567890121", 10, "Card 10: 123456789012   on Relay 2"},
        {"WAIT ADDRESS", 2, "Card 2: WAIT ADDRESS   on Relay S"},
        {"NO CARD ", 4, "Card 4: NO CARD    on Relay  "},
        {"", 5, "Card 5:    on Relay "},
    };
    for (const auto &c : cases)
        EXPECT_EQ(readCardMessage(c.reply, c.record), c.shown) << c.reply.constData();
}

TEST(ReaderReplies, CardListEntries)
{
    struct Case { int n; QByteArray line; QString entry; } cases[] = {
        {1, "1234567890120", "Card 1= 123456789012    on Relay 0"},
        {2, "NO CARD", "Card 2= NO CARD"},
        {10, "0000000000101", "Card 10= 000000000010    on Relay 1"},
        // Only the exact "NO CARD" goes without a relay; an empty line shows an empty one.
        {3, "", "Card 3=     on Relay "},
        {4, "no card", "Card 4= no card    on Relay d"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(cardListEntry(c.n, c.line), c.entry) << c.line.constData();
}

TEST(ReaderReplies, ConfigMessage)
{
    const QString p = QStringLiteral("Zorv900 answered: ");
    struct Case { QByteArray reply; QString shown; } cases[] = {
        {QByteArray("C0\x32" "1M"), p + "   Port C   Pin 0   Sec. 5   State 1   Mode Manual"},
        {QByteArray("A7\x19" "0A"), p + "   Port A   Pin 7   Sec. 2.5   State 0   Mode Automatic"},
        {QByteArray(4, char(255)) + "A", p + "   Port X   Pin X   Sec. X   State X   Mode Automatic"},
        {QByteArray("B1\xff" "1"), p + "   Port B   Pin 1   Sec. X   State 1   Mode "},
        {QByteArray("C0\xfa" "1Mxyz"), p + "   Port C   Pin 0   Sec. 25   State 1   Mode Manual"},
        {QByteArray("C0\x00" "1m", 5), p + "   Port C   Pin 0   Sec. 0   State 1   Mode m"},
        {QByteArray("C"), p + "   Port C   Pin X   Sec. X   State X   Mode "},
    };
    for (const auto &c : cases)
        EXPECT_EQ(configMessage(c.reply), c.shown) << c.reply.toHex().constData();
}

// The commands on a port in memory, without the window.
class CommandsOnFakePort : public ::testing::Test {
protected:
    CommandsOnFakePort() : boxesService(&boxes), link(&port), commands(&link)
    {
        port.open();
        commands.connected = [this] { return lampGreen; };
        commands.setCommandsEnabled = [this](bool on) { frameEnabled = on; };
        commands.showCards = [this] { ++cardsShown; };
    }
    void answer(const QByteArray &bytes)
    {
        port.receive(bytes);
        QTest::qWait(20);
    }

    test::SystemClockInstalled clock;
    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxesService;
    FakeSerialPort port;
    reader::ReaderLink link;
    ConsoleCommands commands;
    bool lampGreen = true;
    bool frameEnabled = true;
    int cardsShown = 0;
};

TEST_F(CommandsOnFakePort, ACommandPressedDuringTheCardListTakesTheLine)
{
    for (int i = 0; i < 10; ++i)
        ElencoCarte[i] = QStringLiteral("old %1").arg(i + 1);
    commands.readAllCards();
    EXPECT_FALSE(frameEnabled);
    answer("NO CARD\r");
    EXPECT_TRUE(frameEnabled);
    EXPECT_EQ(ElencoCarte[0], "Card 1= NO CARD");
    ASSERT_TRUE(link.isBusy());

    // A dialog button checks the lamp first: the rest of the list is no longer read, so
    // it cannot open `cards` over the dialog or share the line with a monitor.
    EXPECT_TRUE(commands.checkConnected());
    EXPECT_FALSE(link.isBusy());
    for (int i = 0; i < 9; ++i)
        port.receive("NO CARD\r");
    QTest::qWait(50);
    EXPECT_EQ(cardsShown, 0);
    EXPECT_EQ(ElencoCarte[1], "old 2");
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_TRUE(frameEnabled);
    EXPECT_FALSE(commands.isRunning());
    EXPECT_EQ(port.bytesWaiting(), 9 * 8); // left for the next flush
}

TEST_F(CommandsOnFakePort, TheLampCheckComesBeforeEverythingAndStopsNothingWhenRed)
{
    commands.readAllCards();
    answer("NO CARD\r");
    ASSERT_TRUE(link.isBusy());
    lampGreen = false;
    EXPECT_FALSE(commands.checkConnected());
    EXPECT_EQ(boxes.texts(), QStringList{"Connect Com port"});
    EXPECT_FALSE(boxes.last().title.has_value()); // the program's title
    // The red lamp's answer touches nothing else.
    EXPECT_TRUE(link.isBusy());
}

TEST_F(CommandsOnFakePort, TwoPhaseCommandsShareTheirFlowAndTheirMessages)
{
    struct Case {
        const char *name;
        std::function<void()> run;
        QByteArray command, prompt, payload;
    } cases[] = {
        {"STOR", [this] { commands.storeConfig("A3\x32" "1"); }, "STOR", "WAITING", "A3\x32" "1"},
        {"STOC", [this] { commands.storeCard("0123456789012" "1"); }, "STOC", "WAIT CARD", "0123456789012" "1"},
        {"DECA", [this] { boxes.typeNext("4"); commands.deleteCard(); }, "DECA", "WAIT ADDRESS", "3"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        port.frames.clear();
        boxes.shown.clear();
        c.run();
        EXPECT_FALSE(frameEnabled);
        ASSERT_EQ(port.frames.size(), 1);
        EXPECT_EQ(port.frames[0], c.command + "\r");
        // The prompt opens phase 2: the payload follows.
        answer(c.prompt + "\r");
        ASSERT_TRUE(waitUntil([&] { return port.frames.size() == 2; }, 1000));
        EXPECT_EQ(port.frames[1], c.payload + "\r");
        EXPECT_FALSE(frameEnabled);
        answer("DONE\r");
        ASSERT_TRUE(waitUntil([&] { return !commands.isRunning(); }, 1000));
        EXPECT_TRUE(frameEnabled);
        EXPECT_EQ(boxes.last().text, "Zorv900 answered: DONE");
        EXPECT_FALSE(boxes.last().title.has_value()); // the program's title

        // Another phase-1 reply is shown and nothing more is sent.
        port.frames.clear();
        c.run();
        answer("BUSY\r");
        ASSERT_TRUE(waitUntil([&] { return !commands.isRunning(); }, 1000));
        EXPECT_EQ(boxes.last().text, "Zorv900 answered: BUSY");
        QTest::qWait(30);
        EXPECT_EQ(port.frames.size(), 1);
    }
}
