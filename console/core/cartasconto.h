#pragma once

#include <QByteArray>
#include <QString>

// The discount-card search: the customer whose card field is the typed card number,
// alone or followed by "-" and the discount in percent.
namespace zorv::console {

namespace msg {
inline const QString CartaTitle = QStringLiteral("Carta Sconto");
inline const QString CartaVuota = QStringLiteral("Impostare un numero di Carta");
inline const QString AnagraficheVuote = QStringLiteral("File anagrafiche Vuoto o inesistente !");
inline const QString CartaNonPresente = QStringLiteral("Carta non Presente");
} // namespace msg

struct CartaSconto {
    enum Outcome { Trovata, NonPresente, FileVuoto, Errore } esito = NonPresente;
    QString errore;     // the file's error text when it could not be read
    int numero = 0;     // record number = customer number
    QByteArray nome;    // trimmed
    QByteArray listino; // the price list, kept in the relay field
    QByteArray totale;  // the total of purchases, kept in the access credit field
    QByteArray sconto;  // after the "-", empty when the card field has none
};

// The typed number with "," read as the decimal point; 0 means nothing was typed.
double numeroDigitato(const QString &typed);

// True when the card field (trimmed) is the typed number, alone or followed by "-"; the
// discount is then what follows that "-".
bool cartaCorrisponde(const QByteArray &cardField, const QByteArray &typed, QByteArray *sconto = nullptr);

// Scans the registry at `path` from record 1; the first live match wins.
CartaSconto cercacarta(const QString &path, const QString &typed);

} // namespace zorv::console
