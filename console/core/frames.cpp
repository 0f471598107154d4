#include "frames.h"

#include "numbers.h"

namespace zorv::reader {

std::optional<quint8> timeByte(double seconds)
{
    const auto tenths = numbers::roundHalfEven(seconds * 10.0, 0, 255);
    if (!tenths)
        return std::nullopt;
    return quint8(*tenths);
}

QByteArray configPortaByte(char port, char pin, quint8 time, char state)
{
    QByteArray frame;
    frame.append(port).append(pin).append(char(time)).append(state);
    return frame;
}

QByteArray configPorta(char port, char pin, double seconds, char state)
{
    const auto time = timeByte(seconds);
    return time ? configPortaByte(port, pin, *time, state) : QByteArray();
}

QByteArray relayFrameByte(int relay, quint8 time)
{
    return relay == 2 ? configPortaByte('B', '3', time, '1') : configPortaByte('C', '0', time, '1');
}

QByteArray relayFrame(int relay, double seconds)
{
    const auto time = timeByte(seconds);
    return time ? relayFrameByte(relay, *time) : QByteArray();
}

QByteArray buzzerFrame(quint8 frequency, quint8 time)
{
    QByteArray frame("BZ");
    frame.append(char(frequency)).append(char(time));
    return frame;
}

} // namespace zorv::reader
