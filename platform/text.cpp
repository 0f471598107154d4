#include "text.h"

#include <array>

namespace zorv::text {
namespace {

// Windows-1252 bytes 0x80-0x9F; 0 marks the five unassigned bytes (kept as U+0080 + n).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char16_t toUnicode(unsigned char b)
{
    if (b >= 0x80 && b <= 0x9F) {
        const char16_t u = kHigh[b - 0x80];
        return u ? u : char16_t(b);
    }
    return char16_t(b);
}

int toByte(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == u || (kHigh[i] == 0 && u == 0x80 + i))
            return 0x80 + i;
    }
    return -1;
}

} // namespace

QString fromCp1252(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(toUnicode(static_cast<unsigned char>(bytes[i])));
    return out;
}

QByteArray toCp1252(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = toByte(text[i].unicode());
        out[i] = b < 0 ? '?' : char(b);
    }
    return out;
}

char upperByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z')
        return char(b - 0x20);
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7)
        return char(b - 0x20);
    switch (b) {
    case 0x9A: return char(0x8A); // š
    case 0x9C: return char(0x8C); // œ
    case 0x9E: return char(0x8E); // ž
    case 0xFF: return char(0x9F); // ÿ
    default: return c;
    }
}

QByteArray upper(QByteArrayView bytes)
{
    QByteArray out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = upperByte(bytes[i]);
    return out;
}

QString upper(QStringView text)
{
    return fromCp1252(upper(toCp1252(text)));
}

QByteArray trimSpaces(QByteArrayView bytes)
{
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && bytes[begin] == ' ')
        ++begin;
    while (end > begin && bytes[end - 1] == ' ')
        --end;
    return bytes.sliced(begin, end - begin).toByteArray();
}

QString trimSpaces(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin).toString();
}

QByteArray padRight(QByteArrayView value, int width, char fill)
{
    QByteArray out = value.first(qMin<qsizetype>(width, value.size())).toByteArray();
    if (out.size() < width)
        out.append(width - out.size(), fill);
    return out;
}

QByteArray field(QByteArrayView value, int width)
{
    return padRight(upper(trimSpaces(value)), width);
}

QString zeroPadded(qint64 number, int digits)
{
    return QString::number(number).rightJustified(digits, u'0');
}

} // namespace zorv::text
