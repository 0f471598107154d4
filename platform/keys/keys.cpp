#include "keys.h"

namespace zorv {

namespace {

struct Named {
    Key key;
    const char *name;
};

constexpr Named kNames[] = {
    {Key::Backspace, "{BS}"}, {Key::Break, "{BREAK}"}, {Key::Down, "{DOWN}"},  {Key::End, "{END}"},
    {Key::Enter, "{ENTER}"},  {Key::Escape, "{ESC}"},  {Key::Home, "{HOME}"},  {Key::Left, "{LEFT}"},
    {Key::PageDown, "{PGDN}"}, {Key::Right, "{RIGHT}"}, {Key::Tab, "{TAB}"},   {Key::Up, "{UP}"},
    {Key::F1, "{F1}"},        {Key::F2, "{F2}"},       {Key::F3, "{F3}"},      {Key::F4, "{F4}"},
    {Key::F5, "{F5}"},        {Key::F6, "{F6}"},       {Key::F7, "{F7}"},      {Key::F8, "{F8}"},
    {Key::F9, "{F9}"},        {Key::F10, "{F10}"},     {Key::F11, "{F11}"},    {Key::F12, "{F12}"},
};

// Classic keysyms of the Windows-1252 characters outside Latin-1.
struct Classic {
    char32_t ucs;
    unsigned long sym;
};
constexpr Classic kClassic[] = {
    {0x20AC, 0x20ac}, {0x201A, 0x0afd}, {0x0192, 0x08f6}, {0x201E, 0x0afe}, {0x2026, 0x0aae},
    {0x2020, 0x0af1}, {0x2021, 0x0af2}, {0x2030, 0x0ad5}, {0x0160, 0x01a9}, {0x0152, 0x13bc},
    {0x017D, 0x01ae}, {0x2018, 0x0ad0}, {0x2019, 0x0ad1}, {0x201C, 0x0ad2}, {0x201D, 0x0ad3},
    {0x2022, 0x0ae6}, {0x2013, 0x0aaa}, {0x2014, 0x0aa9}, {0x2122, 0x0ac9}, {0x0161, 0x01b9},
    {0x0153, 0x13bd}, {0x017E, 0x01be}, {0x0178, 0x13be},
};

// Keysym values as <X11/keysymdef.h> has them: the core library needs no X headers.
constexpr unsigned long kKeysymF1 = 0xffbe;

} // namespace

unsigned long keysymOf(Key key)
{
    switch (key) {
    case Key::Backspace: return 0xff08;
    case Key::Break: return 0xff6b;
    case Key::Down: return 0xff54;
    case Key::End: return 0xff57;
    case Key::Enter: return 0xff0d;
    case Key::Escape: return 0xff1b;
    case Key::Home: return 0xff50;
    case Key::Left: return 0xff51;
    case Key::PageDown: return 0xff56;
    case Key::Right: return 0xff53;
    case Key::Tab: return 0xff09;
    case Key::Up: return 0xff52;
    default: break;
    }
    return kKeysymF1 + (unsigned long)(int(key) - int(Key::F1));
}

QList<unsigned long> keysymsFor(char32_t ch)
{
    if (ch < 0x20 || (ch >= 0x7F && ch < 0xA0) || ch > 0x10FFFF)
        return {};
    if (ch <= 0xFF)
        return {ch, 0x01000000ul | ch};
    for (const Classic &c : kClassic) {
        if (c.ucs == ch)
            return {c.sym, 0x01000000ul | ch};
    }
    return {0x01000000ul | ch};
}

std::optional<Key> keyFromName(QStringView name)
{
    for (const Named &n : kNames) {
        if (name == QLatin1String(n.name))
            return n.key;
    }
    return std::nullopt;
}

QString keyName(Key key)
{
    for (const Named &n : kNames) {
        if (n.key == key)
            return QString::fromLatin1(n.name);
    }
    return {};
}

QList<Key> allKeys()
{
    QList<Key> out;
    for (const Named &n : kNames)
        out.append(n.key);
    return out;
}

} // namespace zorv
