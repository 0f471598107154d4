#include "numbers.h"
#include "text.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

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
        EXPECT_EQ(numbers::roundHalfEven(c.in, -1000, 1000), c.out) << c.in;
}

// Settings files and prompts hold any text: whatever number it reads as, a conversion to
// an integer either lands in the caller's range or gives nothing.
TEST(Numbers, CheckedConversionsRefuseWhatDoesNotFit)
{
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char *text;       // as read from a file or a box
        double read;            // leadingNumber of it
        qint64 lo, hi;
        std::optional<qint64> rounded, truncated;
    };
    const Case cases[] = {
        {"1e99", 1e99, 0, 255, {}, {}},
        {"-1e99", -1e99, 0, 255, {}, {}},
        {"1e99", 1e99, kMin, kMax, {}, {}},
        {"-1e99", -1e99, kMin, kMax, {}, {}},
        {"99999999999999999999", 1e20, kMin, kMax, {}, {}},
        {"-99999999999999999999", -1e20, kMin, kMax, {}, {}},
        {"9223372036854775807", 9223372036854775808.0, kMin, kMax, {}, {}}, // 2^63 as a double
        {"-9223372036854775808", -9223372036854775808.0, kMin, kMax, kMin, kMin},
        {"1e999", inf, kMin, kMax, {}, {}},
        {"-1e999", -inf, kMin, kMax, {}, {}},
        {"1e-999", 0, kMin, kMax, 0, 0},
        {"-0.000000000000000000001e-999", 0, kMin, kMax, 0, 0},
        // Exponents at and past the limits of a 64-bit integer read as any number too
        // large or too small for a double does.
        {"1e9223372036854775807", inf, 0, kMax, {}, {}},
        {"12e9223372036854775807", inf, 0, kMax, {}, {}},
        {"-1e+9223372036854775807", -inf, kMin, kMax, {}, {}},
        {"0.001e9223372036854775807", inf, 0, kMax, {}, {}},
        {"1e 9223372036854775807", inf, 0, kMax, {}, {}},
        {"1e99999999999999999999999", inf, 0, kMax, {}, {}},
        {"0.01e-9223372036854775808", 0, 0, kMax, 0, 0},
        {"1e-9223372036854775808", 0, 0, kMax, 0, 0},
        {"99e-9223372036854775807", 0, 0, kMax, 0, 0},
        {"-5e-99999999999999999999999", 0, kMin, kMax, 0, 0},
        {"0e9223372036854775807", 0, 0, kMax, 0, 0},
        {"0.000e99999999999999999999999", 0, 0, kMax, 0, 0},
        {"nan", 0, 0, 255, 0, 0},
        {"inf", 0, 0, 255, 0, 0},
        {"-inf", 0, 0, 255, 0, 0},
        {"255.4", 255.4, 0, 255, 255, 255},
        {"255.5", 255.5, 0, 255, {}, 255},
        {"256", 256, 0, 255, {}, {}},
        {"-0.4", -0.4, 0, 255, 0, 0},
        {"-0.6", -0.6, 0, 255, {}, 0},
        {"-1", -1, 0, 255, {}, {}},
        {"1e15", 1e15, 0, kMax, 1000000000000000, 1000000000000000},
    };
    for (const auto &c : cases) {
        const double read = numbers::leadingNumber(QByteArrayView(c.text));
        EXPECT_EQ(read, c.read) << c.text;
        EXPECT_EQ(numbers::roundHalfEven(read, c.lo, c.hi), c.rounded) << c.text;
        EXPECT_EQ(numbers::truncated(read, c.lo, c.hi), c.truncated) << c.text;
    }
    for (double v : {nan, inf, -inf}) {
        EXPECT_FALSE(numbers::roundHalfEven(v, kMin, kMax)) << v;
        EXPECT_FALSE(numbers::truncated(v, kMin, kMax)) << v;
    }
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
