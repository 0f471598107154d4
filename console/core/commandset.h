#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The reader's command words, the console's messages, and how the console reads the
// operator's numbers and the reader's replies.
namespace zorv::console {

namespace msg {
inline const QString Answered = QStringLiteral("Zorv900 answered: ");
inline const QString Timeout = QStringLiteral("Timeout No answer from Zorv900");
inline const QString ConnectFirst = QStringLiteral("Connect Com port");
inline const QString PortError = QStringLiteral("Com Port Error");
inline const QString TypeSeconds = QStringLiteral("Type Seconds");
inline const QString MaxSeconds = QStringLiteral("Type Max 25 Seconds");
inline const QString TypeRecord = QStringLiteral("Type Record");
inline const QString MaxRecord = QStringLiteral("Type Max Record 10");
inline const QString AskInit = QStringLiteral("Are you sure to Initialize ?");
inline const QString AskManual = QStringLiteral("Are you sure to set in Manual mode ?");
inline const QString AskAutomatic = QStringLiteral("Are you sure to set in Automatic mode ?");
inline const QString AskBluetooth = QStringLiteral("Are you sure to Initialize Bluetooth Name+PIN ?");
inline const QString AskDeleteAll = QStringLiteral("Are you sure to delete all Cards ?");
inline const QString AskDeleteConfig = QStringLiteral("Are you sure to delete config Bytes ?");
} // namespace msg

namespace prompt {
inline const QByteArray Waiting("WAITING");
inline const QByteArray WaitCard("WAIT CARD");
inline const QByteArray WaitAddress("WAIT ADDRESS");
inline const QByteArray NoCard("NO CARD");
} // namespace prompt

// The ten lines of "Read all Cards" (index 0 is entry 1). They keep their text until the
// next read overwrites them.
extern QStringList ElencoCarte;

// The operator's number for the relay seconds.
struct SecondsInput {
    enum Outcome { Nothing, TooMany, Send } outcome = Nothing;
    int timeByte = 0;
};
// 0, no number or cancel: nothing; above 25 or below 0: refused; else the time byte.
SecondsInput readSeconds(const QString &typed);

// The operator's record number 1..10 for the slot commands.
struct RecordInput {
    enum Outcome { Nothing, OutOfRange, Send } outcome = Nothing;
    int record = 0;
    QByteArray slot; // "0".."9"
};
// 0, no number or cancel: nothing; above 10, below 0 or not whole: refused.
RecordInput readRecord(const QString &typed);

// "Zorv900 answered: " & reply.
QString answered(const QByteArray &reply);

// The message of "Read Card" for the slot of `record` (1..10).
QString readCardMessage(const QByteArray &reply, int record);

// Entry n (1..10) of "Read all Cards" from the slot line read back.
QString cardListEntry(int n, const QByteArray &line);

// The message of "Get config": port, pin, seconds, state and mode from the five bytes.
// A byte 255 shows "X"; a reply too short shows "X" for the first four places it lacks
// and nothing for a missing mode.
QString configMessage(const QByteArray &reply);

} // namespace zorv::console
