#include "cardcheck.h"

#include "clock.h"
#include "items.h"
#include "numbers.h"
#include "record.h"
#include "registryfile.h"
#include "text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace zorv::stations {

using registry::kRecordSize;
namespace fields = registry::fields;

namespace {

// A pass whose text is not a date keeps this expiry, so it counts as expired.
const QDate kScadenzaIniziale(2014, 12, 16);

QByteArray fieldAt(const char *record, registry::FieldSpec spec)
{
    return text::trimSpaces(QByteArrayView(record + spec.offset, spec.width));
}

// The field trimmed of spaces, without a copy.
QByteArrayView fieldView(const char *record, registry::FieldSpec spec)
{
    const char *b = record + spec.offset;
    const char *e = b + spec.width;
    while (b < e && *b == ' ')
        ++b;
    while (e > b && e[-1] == ' ')
        --e;
    return QByteArrayView(b, e - b);
}

bool isDeleted(const char *record)
{
    for (int i = 0; i < kRecordSize; ++i)
        if (record[i] != '*')
            return false;
    return true;
}

QByteArray numberText(double value)
{
    return numbers::shortText(value);
}

} // namespace

QByteArray rigaMovimento(const QByteArray &cliente, const QByteArray &nome, const QByteArray &carta,
                         const QByteArray &porta, const QDateTime &quando, const QByteArray &esito)
{
    const QByteArray data = quando.date().toString(QStringLiteral("dd/MM/yyyy")).toLatin1();
    const QByteArray ora = quando.time().toString(QStringLiteral("HH:mm:ss")).toLatin1();
    items::Writer w;
    for (const QByteArray *item : {&cliente, &nome, &carta, &porta, &data, &ora, &esito})
        w.text(QByteArrayView(*item));
    w.endLine();
    return w.data();
}

std::optional<QDate> dataScadenza(const QByteArray &credito)
{
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{1,2})[-/.](\\d{1,2})[-/.](\\d{4})\\s*$"));
    const auto m = form.match(QString::fromLatin1(credito.mid(1)));
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

namespace {

// The outcome of a found customer's record, and the record to write for a grant.
struct Decisione {
    enum { Granted, Expired, Exhausted } kind = Exhausted;
    QByteArray name, credit, door, newCredit, newMade;
    double made = 0;
    registry::Record updated;
};

Decisione decidi(const char *record)
{
    Decisione d;
    d.name = fieldAt(record, fields::Nome);
    d.credit = fieldAt(record, fields::Accessi);
    d.door = text::trimSpaces(QByteArrayView(record + fields::Relay.offset, 3));
    d.made = numbers::leadingNumber(fieldAt(record, fields::AccessiEffettuati));
    bool counted = false;
    double creditValue = 0;
    if (d.credit.startsWith('D')) {
        QDate expiry = kScadenzaIniziale;
        if (const auto date = dataScadenza(d.credit))
            expiry = *date;
        d.kind = expiry >= clock().now().date() ? Decisione::Granted : Decisione::Expired;
    } else {
        creditValue = numbers::leadingNumber(d.credit);
        d.kind = creditValue > 0 ? Decisione::Granted : Decisione::Exhausted;
        counted = creditValue > 0;
    }
    if (d.kind != Decisione::Granted)
        return d;
    // Only the credit (when counted) and the accesses made change.
    d.updated = registry::Record(QByteArrayView(record, kRecordSize));
    d.newCredit = counted ? numberText(creditValue - 1) : d.credit;
    d.newMade = numberText(d.made + 1);
    if (counted)
        d.updated.setRaw(fields::Accessi, text::padRight(d.newCredit, fields::Accessi.width));
    d.updated.setRaw(fields::AccessiEffettuati, text::padRight(d.newMade, fields::AccessiEffettuati.width));
    return d;
}

} // namespace

RisultatoControllo controllacarta(const QString &folder, const QByteArray &code, StatoStazione &stato)
{
    RisultatoControllo out;
    stato.PortaCliente.clear();
    stato.CodiceEsito.clear();

    const QString registryPath = QDir(folder).filePath(QStringLiteral("CLIENTI.DAT"));
    const QString movPath = QDir(folder).filePath(QStringLiteral("mov.txt"));

    auto appendLine = [&](const QByteArray &line) {
        out.riga = line;
        const QString error = items::appendToFile(movPath, line);
        if (!error.isEmpty())
            out.guasti.append(QStringLiteral("mov.txt non scritto (%1): movimento perso: %2")
                                  .arg(error, text::fromCp1252(text::trimSpaces(line.chopped(2)))));
    };

    int found = 0;
    QByteArray match;
    Decisione d;
    QString writeError;
    // The scan takes no lock; the found record is read again and rewritten under the
    // registry's lock. Should it no longer hold the card by then, the scan starts over.
    constexpr int kAttempts = 3;
    for (int attempt = 1;; ++attempt) {
        QFile file(registryPath);
        if (!file.exists()) {
            // A missing registry is created empty, as every program does.
            if (file.open(QIODevice::WriteOnly | QIODevice::Append))
                file.close();
            out.registroVuoto = true;
            return out;
        }
        if (!file.open(QIODevice::ReadOnly)) {
            out.guasti.append(QStringLiteral("CLIENTI.DAT non leggibile (%1): carta non controllata").arg(file.errorString()));
            return out;
        }
        if (file.size() < kRecordSize) {
            out.registroVuoto = true;
            return out;
        }

        // One pass in blocks of whole records, so a full registry needs no large buffer.
        // A trailing partial record is never read.
        constexpr int kBlockRecords = 256;
        QByteArray block(qsizetype(kBlockRecords) * kRecordSize, Qt::Uninitialized);
        const int count = int(file.size() / kRecordSize);
        found = 0;
        for (int first = 1; first <= count && !found; first += kBlockRecords) {
            const int n = std::min(kBlockRecords, count - first + 1);
            const qint64 want = qint64(n) * kRecordSize;
            if (file.read(block.data(), want) != want) {
                out.guasti.append(QStringLiteral("CLIENTI.DAT non leggibile (%1): carta non controllata").arg(file.errorString()));
                return out;
            }
            for (int k = 0; k < n; ++k) {
                const char *r = block.constData() + qsizetype(k) * kRecordSize;
                if (r[0] == '*' && isDeleted(r))
                    continue;
                // The card field trimmed equals the code exactly.
                if (fieldView(r, fields::NumeroCarta) != QByteArrayView(code))
                    continue;
                found = first + k;
                match = QByteArray(r, kRecordSize);
                break;
            }
        }
        file.close();
        if (!found)
            break;

        bool seen = false;  // the record was read under the lock
        bool moved = false; // ... and no longer holds the card
        writeError = registry::RegistryFile(registryPath)
                         .update(found, [&](const std::optional<registry::Record> &current)
                                            -> std::optional<registry::Record> {
                             seen = true;
                             if (!current || current->isDeleted()
                                 || fieldView(current->bytes().constData(), fields::NumeroCarta) != QByteArrayView(code)) {
                                 moved = true;
                                 return std::nullopt;
                             }
                             match = current->bytes();
                             d = decidi(match.constData());
                             if (d.kind != Decisione::Granted)
                                 return std::nullopt;
                             return d.updated;
                         });
        // No lock (or the record unreadable): a refusal needs no write and stands on
        // the scan; a grant cannot be counted (writeError says why).
        if (!seen)
            d = decidi(match.constData());
        if (!moved)
            break;
        if (attempt == kAttempts) {
            d = decidi(match.constData());
            if (d.kind == Decisione::Granted)
                writeError = QStringLiteral("il cliente cambia mentre lo si legge");
            break;
        }
    }

    Etichette et;
    if (!found) {
        appendLine(rigaMovimento("######", "Sconosciuto", code, "0", clock().now(), "Non autorizzato"));
        et.Label1 = "Sconosciuto";
        et.Label3 = code;
        et.Label4 = "Non autorizzato";
        et.Label5 = colore::Rosso;
        out.etichette = et;
        out.rifiutata = true;
        return out;
    }

    const QByteArray number = text::zeroPadded(found).toLatin1();
    et.Label1 = d.name;
    et.Label2 = number;
    et.Label3 = code;
    et.Label6 = d.door;
    stato.PortaCliente = d.door;

    if (d.kind != Decisione::Granted) {
        // A refusal logs its line and leaves the record as it was.
        const bool expired = d.kind == Decisione::Expired;
        appendLine(rigaMovimento(number, d.name, code, d.door, clock().now(), expired ? "Carta Scaduta" : "Esaurito"));
        stato.CodiceEsito = expired ? esito::Scaduta : esito::Esaurito;
        et.Label8 = d.credit;
        et.Label4 = expired ? "Carta Scaduta" : "Credito Esaurito";
        et.Label7 = numberText(d.made);
        et.Label5 = colore::Giallo;
        out.etichette = et;
        return out;
    }

    // Granted: the record was rewritten first, in one write; a grant that cannot be
    // counted is refused.
    if (!writeError.isEmpty()) {
        out.guasti.append(QStringLiteral("CLIENTI.DAT non aggiornato (%1): accesso negato al cliente %2")
                              .arg(writeError, QString::fromLatin1(number)));
        appendLine(rigaMovimento(number, d.name, code, d.door, clock().now(), "Non autorizzato"));
        stato.PortaCliente.clear();
        et.Label8 = d.credit;
        et.Label4 = "Non autorizzato";
        et.Label7 = numberText(d.made);
        et.Label5 = colore::Rosso;
        out.etichette = et;
        out.rifiutata = true;
        return out;
    }

    appendLine(rigaMovimento(number, d.name, code, d.door, clock().now(), "Autorizzato"));
    et.Label8 = d.newCredit;
    et.Label4 = "Autorizzato";
    et.Label7 = d.newMade;
    et.Label5 = colore::Verde;
    out.etichette = et;
    stato.CodiceEsito = esito::Autorizzato;
    stato.OraUltimoAccesso = clock().elapsedMs();
    stato.UltimaCarta = code;
    return out;
}

} // namespace zorv::stations
