#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <functional>

namespace zorv::registry {

// The customer as the card shows it: every field exactly as stored, trailing spaces kept.
struct CardFields {
    QString numero;    // four-digit customer number
    QString nome;
    QString indirizzo;
    QString citta;
    QString cap;
    QString prov;
    QString accessi;
    QString telefono;
    QString carta;
};

// One printed line of a label, all in bold "arial". Size 0 keeps the font in use (on a
// document's first line that is the printer's own default font, before any is set).
struct LabelLine {
    double size = 0;
    bool emphasis = false;
    QString text;
};

// The 14 lines of the address label.
QList<LabelLine> addressLabel(const CardFields &card);

// The sender's block of the shipping label: the four items of indirizzo.txt.
using Sender = std::array<QString, 4>;
// Reads indirizzo.txt in the data folder; a missing or short file leaves items empty.
// Items are kept as written (a postal code keeps its leading zeros).
Sender readSender(const QString &percorso);

// The number of shipping-label copies an answer asks for: its leading number, whole
// copies only (2.5 gives 2); 0 when below 1 or without a number.
int shippingCopies(const QString &answer);

// The 32 lines of one shipping label; `now` is read as each dated line is built.
QList<LabelLine> shippingLabel(const CardFields &card, const Sender &sender, const QString &ordine,
                               const std::function<QDateTime()> &now);

// Dates and times on the shipping label: mm-dd-yyyy and hh:mm:ss (24 hours).
QString labelDate(const QDateTime &when);
QString labelTime(const QDateTime &when);

} // namespace zorv::registry
