#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The checks of the console's entry dialogs, in the order the operator meets their
// messages, and the frames they build. The boxes' key filters are here too, so that a
// text that reached a box by pasting is held to the same rule on OK.
namespace zorv::console {

namespace msg {
inline const QString PortEmpty = QStringLiteral("Port should be A or B or C");
inline const QString PinEmpty = QStringLiteral("PIN should be 0 to 7");
inline const QString TimingZero = QStringLiteral("Timing should be more than Zero");
// A port frame carries at most 25.5 s in its time byte; the box takes two digits.
inline const QString TimingRange = QStringLiteral("Timing should be 1 to 25");
inline const QString StatusEmpty = QStringLiteral("Staus should be 0 or 1");
inline const QString RecordRange = QStringLiteral("Rec must be between 1 and 10");
inline const QString CardLength = QStringLiteral("Card length must be 12 digits");
// A card code character that has no byte on the wire (or would cut the frame).
QString cardCharacter(char32_t c);
inline const QString RelayEmpty = QStringLiteral("Relay must be 1 or 2");
inline const QString FrequencyRange = QStringLiteral("Frequency must be between 1 and 255");
inline const QString TimeRange = QStringLiteral("Time must be between 1 and 255");
} // namespace msg

// The characters a box's key filter lets through (Backspace and Tab pass every filter).
namespace keys {
inline const QString Port = QStringLiteral("abcABC");
inline const QString Pin = QStringLiteral("01234567");
inline const QString Digits = QStringLiteral("0123456789");
inline const QString State = QStringLiteral("01");
inline const QString Relay = QStringLiteral("12");
} // namespace keys

// A key filter: the key's character code when it may pass, 0 when it is dropped.
int filterKey(int keyAscii, QStringView allowed);

// Every character of the text is one the filter lets through.
bool onlyAllowed(QStringView text, QStringView allowed);

// The outcome of an OK: the first failing check's message, or the result to hand back.
struct DialogCheck {
    QString message;
    QByteArray result;
    bool ok() const { return message.isEmpty(); }
};

// PORTS and CONFIG: port letter, pin, whole seconds, state -> the 4-byte port frame.
DialogCheck checkPortFrame(const QString &port, const QString &pin, const QString &seconds,
                           const QString &state);

// store: record 1..10, a 12-character card code, relay 1 or 2 -> the 14-byte card slot.
DialogCheck checkCardSlot(const QString &record, const QString &card, const QString &relay);

// SOUND: frequency and time 1..255 -> the buzzer frame with its CR.
DialogCheck checkSound(const QString &frequency, const QString &time);

} // namespace zorv::console
