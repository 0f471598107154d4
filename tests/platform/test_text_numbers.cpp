#include "numbers.h"
#include "text.h"

#include <gtest/gtest.h>

using namespace zorv;

TEST(Text, Cp1252RoundTripsEveryByte)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString decoded = text::fromCp1252(all);
    EXPECT_EQ(decoded.size(), 256);
    EXPECT_EQ(text::toCp1252(decoded), all);
    EXPECT_EQ(decoded[0x80], QChar(0x20AC)); // euro sign
    EXPECT_EQ(text::toCp1252(QStringLiteral("\u20ACx\u4E2D")), QByteArray("\x80x?"));
}

TEST(Text, UpperKeepsLengthAndMapsWindows1252Letters)
{
    struct Case { QByteArray in, out; };
    const Case cases[] = {
        {"rossi mario", "ROSSI MARIO"},
        {"\xe0\xe8\xec\xf2\xf9", "\xc0\xc8\xcc\xd2\xd9"}, // àèìòù
        {"\x9a\x9c\x9e\xff", "\x8a\x8c\x8e\x9f"},          // š œ ž ÿ
        {"\xdf\xb5\xf7 12", "\xdf\xb5\xf7 12"},            // ß µ ÷ have no single upper case
    };
    for (const auto &c : cases)
        EXPECT_EQ(text::upper(c.in), c.out) << c.in.toHex().constData();
}

TEST(Text, FieldTrimsUppersPadsAndCuts)
{
    EXPECT_EQ(text::field("  rossi mario ", 40), QByteArray("ROSSI MARIO") + QByteArray(29, ' '));
    EXPECT_EQ(text::field("abcdef", 4), QByteArray("ABCD"));
    EXPECT_EQ(text::field("", 3), QByteArray("   "));
    EXPECT_EQ(text::zeroPadded(42), QStringLiteral("0042"));
    EXPECT_EQ(text::zeroPadded(12345), QStringLiteral("12345"));
}

TEST(Numbers, LeadingNumber)
{
    struct Case { const char *in; double out; };
    const Case cases[] = {
        {"", 0},        {"abc", 0},     {"12", 12},      {"  12abc", 12}, {"1 2 3", 123},
        {"-5", -5},     {"2.5", 2.5},   {"2,5", 2},      {".5", 0.5},     {"1e3", 1000},
        {"1D2", 100},   {"D31-12-2015", 0}, {"12-3", 12}, {"\t7\n", 7},   {"+ 4", 4},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(numbers::leadingNumber(QByteArrayView(c.in)), c.out) << c.in;
    EXPECT_DOUBLE_EQ(numbers::leadingNumber(QStringView(u"3.25 kg")), 3.25);
}

TEST(Numbers, LeadingNumberIgnoresTheLocale)
{
    const char *previous = setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (setlocale(LC_NUMERIC, "it_IT.UTF-8") || setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        EXPECT_DOUBLE_EQ(numbers::leadingNumber(QByteArrayView("2.5")), 2.5);
    }
    setlocale(LC_NUMERIC, saved.c_str());
}

TEST(Numbers, RoundHalfEven)
{
    struct Case { double in; qint64 out; };
    const Case cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.4, 2}, {2.6, 3}, {25.0, 25}, {250.0, 250}};
    for (const auto &c : cases)
        EXPECT_EQ(numbers::roundHalfEven(c.in), c.out) << c.in;
}

TEST(Numbers, ShortText)
{
    EXPECT_EQ(numbers::shortText(13), QByteArray("13"));
    EXPECT_EQ(numbers::shortText(0.5), QByteArray(".5"));
    EXPECT_EQ(numbers::shortText(-0.5), QByteArray("-.5"));
    EXPECT_EQ(numbers::shortText(2.25), QByteArray("2.25"));
    EXPECT_EQ(numbers::shortText(0), QByteArray("0"));
    EXPECT_EQ(numbers::shortText(1e15), QByteArray("1E+15"));
}
