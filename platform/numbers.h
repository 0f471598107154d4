#pragma once

#include <QByteArrayView>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace zorv::numbers {

// The leading number of a text: blanks (spaces, tabs, line feeds) are passed over, also
// inside the number; "." is the decimal point whatever the locale; an optional exponent
// (E or D); 0 when the text holds no number.
double leadingNumber(QByteArrayView text);
double leadingNumber(QStringView text);

// Checked conversions of a number to an integer: the integer when the value is a finite
// number that lands within [lo, hi]; nothing for a value that is not a number, infinite
// or out of range, so no conversion ever overflows.
// roundHalfEven rounds to the nearest integer, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4); truncated drops the fraction (-2.7 -> -2).
std::optional<qint64> roundHalfEven(double value, qint64 lo, qint64 hi);
std::optional<qint64> truncated(double value, qint64 lo, qint64 hi);

// Shortest decimal text of a number, as it is written into files and messages:
// 13 -> "13", 0.5 -> ".5", -0.5 -> "-.5", 2.25 -> "2.25".
QByteArray shortText(double value);

} // namespace zorv::numbers
