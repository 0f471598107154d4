#include "frames.h"

#include "numbers.h"

namespace zorv::reader {

int timeByte(double seconds)
{
    return int(numbers::roundHalfEven(seconds * 10.0));
}

QByteArray configPortaByte(char port, char pin, quint8 time, char state)
{
    QByteArray frame;
    frame.append(port).append(pin).append(char(time)).append(state);
    return frame;
}

QByteArray configPorta(char port, char pin, double seconds, char state)
{
    return configPortaByte(port, pin, quint8(timeByte(seconds)), state);
}

QByteArray relayFrameByte(int relay, quint8 time)
{
    return relay == 2 ? configPortaByte('B', '3', time, '1') : configPortaByte('C', '0', time, '1');
}

QByteArray relayFrame(int relay, double seconds)
{
    return relayFrameByte(relay, quint8(timeByte(seconds)));
}

QByteArray buzzerFrame(quint8 frequency, quint8 time)
{
    QByteArray frame("BZ");
    frame.append(char(frequency)).append(char(time));
    return frame;
}

} // namespace zorv::reader
