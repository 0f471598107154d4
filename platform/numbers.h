#pragma once

#include <QByteArrayView>
#include <QStringView>
#include <QtGlobal>

namespace zorv::numbers {

// The leading number of a text: blanks (spaces, tabs, line feeds) are passed over, also
// inside the number; "." is the decimal point whatever the locale; an optional exponent
// (E or D); 0 when the text holds no number.
double leadingNumber(QByteArrayView text);
double leadingNumber(QStringView text);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
qint64 roundHalfEven(double value);

// Shortest decimal text of a number, as it is written into files and messages:
// 13 -> "13", 0.5 -> ".5", -0.5 -> "-.5", 2.25 -> "2.25".
QByteArray shortText(double value);

} // namespace zorv::numbers
