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
    int commPort() const;
    qint64 lockOutMs() const;
    bool audio() const { return FlagAudio == "A"; }
};

// Reads `folder`/porta.cfg. Nothing, with the message to show, when the file is
// missing, holds fewer than five items, or names no port, no speed or a relay time
// outside 0-255 (those would fail only later, at the first card).
std::optional<PortaCfg> leggiconf(const QString &folder, QString *error);

// The relay time byte: the number in the text rounded, 0 when empty; nothing outside 0-255.
std::optional<int> byteTempo(const QByteArray &tempoRele);

} // namespace zorv::stations
