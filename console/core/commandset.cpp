#include "commandset.h"

#include "frames.h"
#include "numbers.h"
#include "text.h"


namespace zorv::console {

QStringList ElencoCarte(10);

SecondsInput readSeconds(const QString &typed)
{
    const double value = numbers::leadingNumber(QStringView(typed));
    if (value == 0)
        return {};
    // A negative time cannot go in the time byte: refused like a value above 25.
    const auto time = reader::timeByte(value);
    if (!(value >= 0 && value <= 25) || !time)
        return {SecondsInput::TooMany, 0};
    return {SecondsInput::Send, *time};
}

RecordInput readRecord(const QString &typed)
{
    const double value = numbers::leadingNumber(QStringView(typed));
    if (value == 0)
        return {};
    // Only a whole record 1..10 names a slot; anything else would send a slot text the
    // reader has no slot for.
    const auto record = numbers::truncated(value, 1, 10);
    if (!record || value != double(*record))
        return {RecordInput::OutOfRange, 0, {}};
    return {RecordInput::Send, int(*record), QByteArray::number(*record - 1)};
}

QString answered(const QByteArray &reply)
{
    return msg::Answered + text::fromCp1252(reply);
}

QString readCardMessage(const QByteArray &reply, int record)
{
    if (reply == prompt::NoCard)
        return answered(reply) + QStringLiteral(" On record ") + QString::number(record);
    QString relay;
    if (!reply.isEmpty()) {
        const char last = reply.back();
        relay = last == '0' ? QStringLiteral("1") : last == '1' ? QStringLiteral("2") : text::fromCp1252(QByteArray(1, last));
    }
    return QStringLiteral("Card ") + QString::number(record) + QStringLiteral(": ") + text::fromCp1252(reply.left(12))
        + QStringLiteral("   on Relay ") + relay;
}

QString cardListEntry(int n, const QByteArray &line)
{
    QString entry = QStringLiteral("Card ") + QString::number(n) + QStringLiteral("= ") + text::fromCp1252(line.left(12));
    if (line != prompt::NoCard)
        entry += QStringLiteral("    on Relay ") + text::fromCp1252(line.right(1));
    return entry;
}

QString configMessage(const QByteArray &reply)
{
    auto place = [&](int i) -> QString {
        if (i >= reply.size() || uchar(reply.at(i)) == 255)
            return QStringLiteral("X");
        return text::fromCp1252(reply.mid(i, 1));
    };
    QString seconds = QStringLiteral("X");
    if (reply.size() > 2 && uchar(reply.at(2)) != 255)
        seconds = QString::fromLatin1(numbers::shortText(uchar(reply.at(2)) / 10.0));
    QString mode;
    if (reply.size() > 4) {
        const char m = reply.at(4);
        mode = m == 'M' ? QStringLiteral("Manual") : m == 'A' ? QStringLiteral("Automatic") : text::fromCp1252(QByteArray(1, m));
    }
    return msg::Answered + QStringLiteral("   Port ") + place(0) + QStringLiteral("   Pin ") + place(1)
        + QStringLiteral("   Sec. ") + seconds + QStringLiteral("   State ") + place(3) + QStringLiteral("   Mode ") + mode;
}

} // namespace zorv::console
