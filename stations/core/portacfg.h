#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace zorv::stations {

// porta.cfg of the access-control station: five items, usually on two lines (port and
// speed, then lock-out seconds, relay time and the audio flag).
struct PortaCfg {
    QByteArray NumeroPorta;        // COM port number
    QByteArray Velocita;           // line speed, as text
    QByteArray RitardoRipetizione; // lock-out seconds (fractions count; empty or 0 = none)
    QByteArray TempoRele;          // relay time byte, tenths of a second, 0-255
    QByteArray FlagAudio;          // "A" = sounds allowed

    // "Velocita,n,8,1".
    QString settings() const;
    // 0 (no port, no lock-out) when the item is out of range; leggiconf refuses such files.
    int commPort() const;
    qint64 lockOutMs() const;
    bool audio() const { return FlagAudio == "A"; }
};

// Reads `folder`/porta.cfg. Nothing, with the message to show, when the file is
// missing, holds fewer than five items, or holds a value the station cannot use: a port
// outside 1-256, a speed the serial line does not take, a lock-out that is negative or too
// long to count, a relay time outside 0-255 (those would fail only later, at the first card).
std::optional<PortaCfg> leggiconf(const QString &folder, QString *error);

// Each item's value; nothing when it is out of range.
// The COM port: the number in the text without its fraction, 1-256.
std::optional<int> numeroPorta(const QByteArray &text);
// The lock-out in milliseconds: the seconds in the text (fractions count), 0 when empty.
std::optional<qint64> ritardoMs(const QByteArray &ritardoRipetizione);
// The relay time byte: the number in the text rounded, 0 when empty; nothing outside 0-255.
std::optional<int> byteTempo(const QByteArray &tempoRele);

} // namespace zorv::stations
