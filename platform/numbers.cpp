#include "numbers.h"

#include <QByteArray>
#include <QString>

#include <cfenv>
#include <cmath>

namespace zorv::numbers {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

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
    return ok ? v : 0.0;
}

double leadingNumber(QStringView text)
{
    return leadingNumber(QByteArrayView(text.toLatin1()));
}

qint64 roundHalfEven(double value)
{
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(value);
    std::fesetround(previous);
    return static_cast<qint64>(r);
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
