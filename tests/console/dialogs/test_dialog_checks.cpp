#include "dialogchecks.h"

#include <gtest/gtest.h>

using namespace zorv::console;

namespace {

QByteArray portFrame(char port, char pin, int code, char state)
{
    QByteArray f;
    f += port;
    f += pin;
    f += char(code);
    f += state;
    return f;
}

} // namespace

TEST(DialogKeyFilters, LetThroughTheirCharactersBackspaceAndTabOnly)
{
    struct Case {
        QString allowed;
        QString pass;
        QString drop;
    };
    const Case cases[] = {
        {keys::Port, "abcABC", "dD1 \r\x1b"},
        {keys::Pin, "01234567", "89a-\r"},
        {keys::Digits, "0123456789", "a.,-+ \r"},
        {keys::State, "01", "23a\r"},
        {keys::Relay, "12", "03a\r"},
    };
    for (const Case &c : cases) {
        for (QChar ch : c.pass)
            EXPECT_EQ(filterKey(ch.unicode(), c.allowed), ch.unicode()) << ch.toLatin1();
        for (QChar ch : c.drop)
            EXPECT_EQ(filterKey(ch.unicode(), c.allowed), 0) << int(ch.unicode());
        EXPECT_EQ(filterKey(8, c.allowed), 8);
        EXPECT_EQ(filterKey(9, c.allowed), 9);
        EXPECT_EQ(filterKey(22, c.allowed), 0); // Ctrl+V
    }
}

TEST(PortFrameCheck, BuildsTheFrameWithSecondsInTenths)
{
    struct Case {
        const char *port, *pin, *seconds, *state;
        QByteArray frame;
    } cases[] = {
        {"a", "3", "5", "1", portFrame('A', '3', 50, '1')},
        {"A", "0", "1", "0", portFrame('A', '0', 10, '0')},
        {"b", "7", "25", "1", portFrame('B', '7', 250, '1')},
        {"C", "3", "05", "0", portFrame('C', '3', 50, '0')},
    };
    for (const auto &c : cases) {
        const DialogCheck r = checkPortFrame(c.port, c.pin, c.seconds, c.state);
        EXPECT_TRUE(r.ok()) << r.message.toStdString();
        EXPECT_EQ(r.result, c.frame) << c.port << c.pin << c.seconds << c.state;
    }
    EXPECT_EQ(checkPortFrame("a", "3", "5", "1").result, QByteArray("A3\x32" "1"));
}

TEST(PortFrameCheck, FirstFailingCheckInOrder)
{
    struct Case {
        const char *port, *pin, *seconds, *state;
        QString message;
    } cases[] = {
        {"", "", "", "", msg::PortEmpty},
        {"", "3", "5", "1", msg::PortEmpty},
        {"a", "", "", "", msg::PinEmpty},
        {"a", "", "5", "1", msg::PinEmpty},
        {"a", "3", "", "", msg::TimingZero},
        {"a", "3", "0", "1", msg::TimingZero},
        {"a", "3", "00", "1", msg::TimingZero},
        {"a", "3", "5", "", msg::StatusEmpty},
        // The frame cannot carry more than 25.5 s: refused before anything is built.
        {"a", "3", "26", "1", msg::TimingRange},
        {"a", "3", "99", "", msg::TimingRange},
        // Text pasted past the key filters is held to the same rules.
        {"d", "3", "5", "1", msg::PortEmpty},
        {"1", "3", "5", "1", msg::PortEmpty},
        {"a", "8", "5", "1", msg::PinEmpty},
        {"a", "x", "5", "1", msg::PinEmpty},
        {"a", "3", "5x", "1", msg::TimingRange},
        {"a", "3", "-5", "1", msg::TimingRange},
        {"a", "3", " 5", "1", msg::TimingRange},
        {"a", "3", "5", "2", msg::StatusEmpty},
    };
    for (const auto &c : cases) {
        const DialogCheck r = checkPortFrame(c.port, c.pin, c.seconds, c.state);
        EXPECT_EQ(r.message, c.message) << c.port << "|" << c.pin << "|" << c.seconds << "|" << c.state;
        EXPECT_TRUE(r.result.isEmpty());
    }
    EXPECT_EQ(msg::StatusEmpty, QStringLiteral("Staus should be 0 or 1"));
}

TEST(CardSlotCheck, BuildsSlotDigitCodeAndRelayDigit)
{
    struct Case {
        const char *record;
        QString card;
        const char *relay;
        QByteArray slot;
    } cases[] = {
        {"1", "123456789012", "2", "01234567890121"},
        {"1", "123456789012", "1", "01234567890120"},
        {"10", "ABCDEFGHIJKL", "1", "9ABCDEFGHIJKL0"},
        {"01", "000000000001", "2", "00000000000011"},
        // Only the length is tested: letters, signs and an inner space pass as typed.
        {"5", "AB-12 34/x+Z", "2", "4AB-12 34/x+Z1"},
    };
    for (const auto &c : cases) {
        const DialogCheck r = checkCardSlot(c.record, c.card, c.relay);
        EXPECT_TRUE(r.ok()) << r.message.toStdString();
        EXPECT_EQ(r.result, c.slot);
        EXPECT_EQ(r.result.size(), 14);
    }
}

TEST(CardSlotCheck, FirstFailingCheckInOrder)
{
    struct Case {
        const char *record;
        QString card;
        const char *relay;
        QString message;
    } cases[] = {
        {"", "", "", msg::RecordRange},
        {"0", "123456789012", "1", msg::RecordRange},
        {"00", "123456789012", "1", msg::RecordRange},
        {"11", "123456789012", "1", msg::RecordRange},
        {"99", "123456789012", "1", msg::RecordRange},
        {"1x", "123456789012", "1", msg::RecordRange}, // pasted
        {"1", "", "", msg::CardLength},
        {"1", "12345678901", "1", msg::CardLength},
        {"1", " 12345678901", "1", msg::CardLength},
        {"1", "12345678901 ", "1", msg::CardLength},
        {"99999999999999999999", "123456789012", "1", msg::RecordRange}, // pasted
        // A character that cannot go on the wire is named, not taken for a wrong length.
        {"1", "12345678901\r", "1", "Character code 13 cannot be sent to the reader"}, // would cut the frame
        {"1", QString::fromUtf8("12345678901\u4e2d"), "1", QString::fromUtf8("Character \"\u4e2d\" cannot be sent to the reader")},
        {"1", QString::fromUtf8("Ω12345678901"), "", QString::fromUtf8("Character \"Ω\" cannot be sent to the reader")},
        {"1", QString::fromUtf8("1234567890\U0001F600"), "1", msg::CardLength}, // eleven characters
        {"1", QString::fromUtf8("1234567890Ω"), "1", msg::CardLength},
        {"1", "123456789012", "", msg::RelayEmpty},
        {"1", "123456789012", "3", msg::RelayEmpty},
    };
    for (const auto &c : cases) {
        const DialogCheck r = checkCardSlot(c.record, c.card, c.relay);
        EXPECT_EQ(r.message, c.message) << c.record << "|" << c.card.toStdString() << "|" << c.relay;
        EXPECT_TRUE(r.result.isEmpty());
    }
}

TEST(CardSlotCheck, CodeWithCp1252CharacterGoesAsItsByte)
{
    const DialogCheck r = checkCardSlot("2", QString::fromUtf8("ÀBC€12345678"), "1");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.result, QByteArray("1\xC0" "BC\x80" "123456780"));
}

TEST(SoundCheck, BuildsTheBuzzerFrame)
{
    EXPECT_EQ(checkSound("124", "50").result, QByteArray("BZ\x7c\x32\r"));
    const DialogCheck edges = checkSound("1", "255");
    ASSERT_TRUE(edges.ok());
    EXPECT_EQ(edges.result, QByteArray("BZ\x01\xff\r"));
    EXPECT_EQ(checkSound("007", "010").result, QByteArray("BZ\x07\x0a\r"));
}

TEST(SoundCheck, RefusesOutOfRangeValuesFrequencyFirst)
{
    struct Case {
        const char *frequency, *time;
        QString message;
    } cases[] = {
        {"", "", msg::FrequencyRange},
        {"0", "50", msg::FrequencyRange},
        {"000", "50", msg::FrequencyRange},
        {"256", "50", msg::FrequencyRange},
        {"999", "50", msg::FrequencyRange},
        {"12a", "50", msg::FrequencyRange}, // pasted
        {"124", "", msg::TimeRange},
        {"124", "0", msg::TimeRange},
        {"124", "256", msg::TimeRange},
        {"124", "5 ", msg::TimeRange},
    };
    for (const auto &c : cases) {
        const DialogCheck r = checkSound(c.frequency, c.time);
        EXPECT_EQ(r.message, c.message) << c.frequency << "|" << c.time;
        EXPECT_TRUE(r.result.isEmpty());
    }
}
