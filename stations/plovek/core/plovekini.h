#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace zorv::stations::plovek {

// The entries of the settings lists. plovek.ini stores positions in these lists, so
// each is built exactly as it always was, quirks included.
QStringList vociPorta();          // Combo6: "none", "1" .. "255"
QStringList vociRitardo();        // Combo1: "0", "10" .. "200"
QStringList vociPrefisso();       // Combo8: 24 entries, no "{UP}"
QStringList vociTerminatore1();   // Combo2: 25 entries
QStringList vociTerminatore2();   // Combo3: 26 entries, "{UP}" twice
QStringList vociRipetizioni();    // Combo7, Combo4, Combo5: "0" .. "15"

// The nine settings: the "Beep" box and the positions chosen in the eight lists.
struct PlovekIni {
    int Check1 = 1; // 1 ticked
    int Combo6 = 0; // port
    int Combo1 = 0; // delay
    int Combo8 = 0; // prefix key
    int Combo7 = 0; // prefix count
    int Combo2 = 0; // terminator 1 key
    int Combo4 = 0; // its count
    int Combo3 = 0; // terminator 2 key
    int Combo5 = 0; // its count

    bool operator==(const PlovekIni &) const = default;

    // Five lines, CR LF each: 1 / port,delay / prefix,count / term1,count / term2,count.
    QByteArray testo() const;
    int ritardoMs() const { return Combo1 * 10; }
};

// Reads the text of plovek.ini. Nothing, with the reason in `why`, when it holds fewer
// than nine items or an item lies outside its list.
std::optional<PlovekIni> leggiIni(const QByteArray &data, QString *why = nullptr);

// The folder that stands in for the Windows folder (no final separator) and the two
// files the station keeps there.
QString GetWinPath();
QString percorsoIni();
QString percorsoBeep();
// Where the desktop's consent to typing is kept between runs (a token of its portal),
// beside plovek.ini.
QString percorsoPermesso();

} // namespace zorv::stations::plovek
