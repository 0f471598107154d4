#pragma once

#include <QByteArray>

#include <optional>

namespace zorv::reader {

// Every frame ends with one CR; ReaderLink::send adds it, the builders below leave it off.
constexpr char CR = '\r';

// Tenths of a second, rounded to the nearest whole number with a half going to the even
// neighbour (0.25 s -> 2, 0.35 s -> 4, 2.5 s -> 25); nothing when that is outside the
// 0..255 a time byte holds.
std::optional<quint8> timeByte(double seconds);

// The reader's port frame: port letter, pin digit, time byte, state digit (4 bytes).
// The forms taking seconds give an empty frame when the time does not fit its byte.
QByteArray configPorta(char port, char pin, double seconds, char state);
QByteArray configPortaByte(char port, char pin, quint8 timeByte, char state);

// Relay frames: relay 1 "C0" & time & "1", relay 2 "B3" & time & "1".
// `relay` is 1 or 2; anything else is taken as 1.
QByteArray relayFrame(int relay, double seconds);
QByteArray relayFrameByte(int relay, quint8 timeByte);

// Buzzer frame "BZ" & frequency byte & time byte; the reader sends nothing back.
QByteArray buzzerFrame(quint8 frequency, quint8 time);

} // namespace zorv::reader
