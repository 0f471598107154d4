#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Every data file holds single-byte Windows-1252 text. Core code keeps bytes; windows
// convert at their boundary with these helpers.
namespace zorv::text {

QString fromCp1252(QByteArrayView bytes);
// Characters without a Windows-1252 byte become '?', so the length never changes.
QByteArray toCp1252(QStringView text);

// Upper-cases each byte to its single Windows-1252 upper-case byte; a byte without one
// (ß, µ, digits ...) stays as it is, so the length never changes.
char upperByte(char c);
QByteArray upper(QByteArrayView bytes);
QString upper(QStringView text);

// Trims leading and trailing spaces only (tabs and other bytes are kept).
QByteArray trimSpaces(QByteArrayView bytes);
QString trimSpaces(QStringView text);

// Trimmed, upper-cased, left-aligned, padded with spaces or cut to width.
QByteArray field(QByteArrayView value, int width);
// Left-aligned, padded with spaces or cut to width, nothing else changed.
QByteArray padRight(QByteArrayView value, int width, char fill = ' ');

// Decimal digits left-padded with '0' to at least `digits` characters (7 -> "0007").
QString zeroPadded(qint64 number, int digits = 4);

} // namespace zorv::text
