#include "numbers.h"

#include <QByteArray>
#include <QString>

#include <cfenv>
#include <cmath>
#include <limits>
#include <optional>

namespace zorv::numbers {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A well-formed number text that does not fit a double: +-infinity when its magnitude is
// large, 0 when it is tiny.
double outOfRange(const QByteArray &number)
{
    const bool negative = number.startsWith('-');
    const qsizetype e = number.indexOf('e');
    const QByteArray mantissa = number.left(e < 0 ? number.size() : e);
    // Far beyond a double's range either way, yet small enough that adding the mantissa's
    // magnitude (bounded by the text's length) cannot overflow.
    constexpr qint64 kFar = qint64(1) << 53;
    qint64 exponent = 0;
    if (e >= 0) {
        bool ok = false;
        exponent = number.mid(e + 1).toLongLong(&ok);
        if (!ok) // an exponent with more digits than fit: its sign decides
            exponent = number.at(e + 1) == '-' ? -kFar : kFar;
        exponent = qBound(-kFar, exponent, kFar);
    }
    // The position of the first significant digit relative to the decimal point.
    const qsizetype point = mantissa.contains('.') ? mantissa.indexOf('.') : mantissa.size();
    std::optional<qint64> magnitude;
    for (qsizetype i = 0; i < mantissa.size(); ++i) {
        if (mantissa.at(i) >= '1' && mantissa.at(i) <= '9') {
            magnitude = i < point ? point - i : point - i + 1;
            break;
        }
    }
    // Zero stays zero whatever its exponent.
    if (magnitude && *magnitude + exponent > 0)
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    return 0.0;
}

} // namespace

double leadingNumber(QByteArrayView text)
{
    // Gather the number's characters with the blanks dropped, then convert once.
    QByteArray digits;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };
    skipBlanks();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        digits.append(text[i++]);
    bool any = false;
    auto takeDigits = [&] {
        for (;;) {
            skipBlanks();
            if (i < n && isDigit(text[i])) {
                digits.append(text[i++]);
                any = true;
            } else {
                break;
            }
        }
    };
    takeDigits();
    if (i < n && text[i] == '.') {
        digits.append(text[i++]);
        takeDigits();
    }
    if (!any)
        return 0.0;
    skipBlanks();
    if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        QByteArray exponent("e");
        qsizetype j = i + 1;
        while (j < n && isBlank(text[j]))
            ++j;
        if (j < n && (text[j] == '+' || text[j] == '-'))
            exponent.append(text[j++]);
        bool expDigits = false;
        for (;;) {
            while (j < n && isBlank(text[j]))
                ++j;
            if (j < n && isDigit(text[j])) {
                exponent.append(text[j++]);
                expDigits = true;
            } else {
                break;
            }
        }
        if (expDigits)
            digits.append(exponent);
    }
    // QByteArray::toDouble ignores the locale, unlike strtod after setlocale().
    bool ok = false;
    const double v = digits.toDouble(&ok);
    if (ok)
        return v;
    // Out of a double's range: too large gives an infinity (which every checked
    // conversion refuses), too small gives 0.
    return outOfRange(digits);
}

double leadingNumber(QStringView text)
{
    return leadingNumber(QByteArrayView(text.toLatin1()));
}

namespace {

// `whole` is an integral double (or not a number / infinite).
std::optional<qint64> wholeInRange(double whole, qint64 lo, qint64 hi)
{
    // 2^63 is exact as a double; every integral double strictly inside +-2^63 converts.
    constexpr double kLimit = 9223372036854775808.0;
    if (!std::isfinite(whole) || whole >= kLimit || whole < -kLimit)
        return std::nullopt;
    const auto n = static_cast<qint64>(whole);
    if (n < lo || n > hi)
        return std::nullopt;
    return n;
}

} // namespace

std::optional<qint64> roundHalfEven(double value, qint64 lo, qint64 hi)
{
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(value);
    std::fesetround(previous);
    return wholeInRange(r, lo, hi);
}

std::optional<qint64> truncated(double value, qint64 lo, qint64 hi)
{
    return wholeInRange(std::trunc(value), lo, hi);
}

QByteArray shortText(double value)
{
    QByteArray out = QByteArray::number(value, 'g', 15).replace('e', 'E');
    if (out.startsWith("0."))
        out.remove(0, 1);
    else if (out.startsWith("-0."))
        out.remove(1, 1);
    return out;
}

} // namespace zorv::numbers
