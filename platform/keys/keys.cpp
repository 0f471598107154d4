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

} // namespace

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
