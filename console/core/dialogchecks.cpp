#include "dialogchecks.h"

#include "frames.h"
#include "numbers.h"
#include "text.h"

#include <QList>

#include <optional>

namespace zorv::console {
namespace {

constexpr int kBackspace = 8;
constexpr int kTab = 9;

// The number in a box of digits; an empty box counts as 0, and a number too long for any
// check counts as one past every limit.
qint64 numberIn(const QString &digits)
{
    constexpr qint64 kPastEveryLimit = 1000000;
    return numbers::truncated(numbers::leadingNumber(QStringView(digits)), 0, kPastEveryLimit)
        .value_or(kPastEveryLimit);
}

DialogCheck fail(const QString &message) { return {message, {}}; }

// The first character of the text that has no byte of its own on the wire, or is a
// control character that would cut the frame; nothing when every one can be sent.
std::optional<char32_t> unsendable(QStringView text)
{
    for (char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        if (c < 0x20 || c == 0x7F || text::fromCp1252(text::toCp1252(one)) != one)
            return c;
    }
    return std::nullopt;
}

} // namespace

namespace msg {
QString cardCharacter(char32_t c)
{
    if (c < 0x20 || c == 0x7F)
        return QStringLiteral("Character code %1 cannot be sent to the reader").arg(uint(c));
    return QStringLiteral("Character \"%1\" cannot be sent to the reader").arg(QString::fromUcs4(&c, 1));
}
} // namespace msg

int filterKey(int keyAscii, QStringView allowed)
{
    if (keyAscii == kBackspace || keyAscii == kTab)
        return keyAscii;
    if (keyAscii > 0 && keyAscii < 0x10000 && allowed.contains(QChar(char16_t(keyAscii))))
        return keyAscii;
    return 0;
}

bool onlyAllowed(QStringView text, QStringView allowed)
{
    for (QChar c : text) {
        if (!allowed.contains(c))
            return false;
    }
    return true;
}

DialogCheck checkPortFrame(const QString &port, const QString &pin, const QString &seconds,
                           const QString &state)
{
    const QString letter = port.toUpper();
    if (letter.size() != 1 || !onlyAllowed(letter, keys::Port))
        return fail(msg::PortEmpty);
    if (pin.size() != 1 || !onlyAllowed(pin, keys::Pin))
        return fail(msg::PinEmpty);
    if (!onlyAllowed(seconds, keys::Digits))
        return fail(msg::TimingRange);
    const qint64 value = numberIn(seconds);
    if (value < 1)
        return fail(msg::TimingZero);
    if (value > 25)
        return fail(msg::TimingRange);
    if (state.size() != 1 || !onlyAllowed(state, keys::State))
        return fail(msg::StatusEmpty);

    const char port0 = char(letter.at(0).unicode());
    const char pin0 = char(pin.at(0).unicode());
    const char state0 = char(state.at(0).unicode());
    return {{}, reader::configPortaByte(port0, pin0, quint8(value * 10), state0)};
}

DialogCheck checkCardSlot(const QString &record, const QString &card, const QString &relay)
{
    if (!onlyAllowed(record, keys::Digits))
        return fail(msg::RecordRange);
    const qint64 number = numberIn(record);
    if (number == 0 || number > 10)
        return fail(msg::RecordRange);
    const QString code = text::trimSpaces(QStringView(card));
    if (code != card)
        return fail(msg::CardLength);
    // Counted in characters as typed, so a character without a byte is named, not
    // taken for a wrong length.
    if (code.toUcs4().size() != 12)
        return fail(msg::CardLength);
    if (const auto c = unsendable(code))
        return fail(msg::cardCharacter(*c));
    if (relay != QLatin1String("1") && relay != QLatin1String("2"))
        return fail(msg::RelayEmpty);

    QByteArray slot = QByteArray::number(number - 1);
    slot += text::toCp1252(code);
    slot += relay == QLatin1String("1") ? '0' : '1';
    return {{}, slot};
}

DialogCheck checkSound(const QString &frequency, const QString &time)
{
    const qint64 f = numberIn(frequency);
    if (!onlyAllowed(frequency, keys::Digits) || f == 0 || f > 255)
        return fail(msg::FrequencyRange);
    const qint64 t = numberIn(time);
    if (!onlyAllowed(time, keys::Digits) || t == 0 || t > 255)
        return fail(msg::TimeRange);

    return {{}, reader::buzzerFrame(quint8(f), quint8(t)) + reader::CR};
}

} // namespace zorv::console
