#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// The card check of the access-control station and the movement log mov.txt.
namespace zorv::stations {

// Outcome codes of the card check.
namespace esito {
inline const QByteArray Autorizzato = "A";
inline const QByteArray Scaduta = "S";
inline const QByteArray Esaurito = "E";
} // namespace esito

// Colours of the outcome box, as 0x00BBGGRR values.
namespace colore {
constexpr unsigned Verde = 0xC000;
constexpr unsigned Giallo = 0xFFFF;
constexpr unsigned Rosso = 0xFF;
} // namespace colore

// What the station keeps between cards.
struct StatoStazione {
    QByteArray CodiceEsito;  // "A", "S", "E" or empty
    QByteArray PortaCliente; // the door of the customer just found, or empty
    QByteArray UltimaCarta;  // the card of the last granted access
    std::optional<qint64> OraUltimoAccesso; // its moment on the monotonic clock (ms)
};

// The station window's value labels after a check (Windows-1252 bytes).
struct Etichette {
    QByteArray Label1; // name
    QByteArray Label2; // customer number
    QByteArray Label3; // card
    QByteArray Label6; // door
    QByteArray Label4; // outcome text
    QByteArray Label8; // credit left
    QByteArray Label7; // accesses made
    unsigned Label5 = 0; // box colour
};

struct RisultatoControllo {
    // CLIENTI.DAT is empty or missing: the station shows its message, nothing else.
    bool registroVuoto = false;
    // The labels to show; nothing when the registry was empty or unreadable.
    std::optional<Etichette> etichette;
    // The card was refused at the door: unregistered, or a grant that could not be
    // counted. With audio on, sco.wav follows.
    bool rifiutata = false;
    // Failures the station must show (the card check itself goes on).
    QStringList guasti;
    // The line given to mov.txt, written or not.
    QByteArray riga;
};

inline constexpr char kRegistroVuoto[] = "File anagrafiche Vuoto o inesistente !";

// Looks `code` (the 12 characters read) up in `folder`/CLIENTI.DAT, counts a granted
// access in the customer's record, appends its line to `folder`/mov.txt and leaves the
// outcome and door in `stato`. A granted access is counted before it is logged: when
// the record cannot be rewritten the card is refused ("Non autorizzato") rather than
// let in without being counted.
RisultatoControllo controllacarta(const QString &folder, const QByteArray &code, StatoStazione &stato);

// One mov.txt line: seven quoted items, date DD/MM/YYYY, time HH:MM:SS, CR LF.
QByteArray rigaMovimento(const QByteArray &cliente, const QByteArray &nome, const QByteArray &carta,
                         const QByteArray &porta, const QDateTime &quando, const QByteArray &esito);

// The expiry of a "D" pass: the text after the "D" as day-month-year; nothing when it is
// not a date.
std::optional<QDate> dataScadenza(const QByteArray &credito);

} // namespace zorv::stations
