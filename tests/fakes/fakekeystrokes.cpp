#include "fakekeystrokes.h"

#include "clock.h"

namespace zorv {

bool FakeKeystrokes::pressKey(Key key)
{
    if (!failWith.isEmpty())
        return false;
    sent.append({keyName(key), true, clock().elapsedMs()});
    return true;
}

bool FakeKeystrokes::typeChar(char32_t ch)
{
    if (!failWith.isEmpty())
        return false;
    sent.append({QString::fromUcs4(&ch, 1), false, clock().elapsedMs()});
    return true;
}

QStringList FakeKeystrokes::whats() const
{
    QStringList out;
    for (const Sent &s : sent)
        out.append(s.what);
    return out;
}

} // namespace zorv
