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

RisultatoControllo controllacarta(const QString &folder, const QByteArray &code, StatoStazione &stato)
{
    RisultatoControllo out;
    stato.PortaCliente.clear();
    stato.CodiceEsito.clear();

    const QString registryPath = QDir(folder).filePath(QStringLiteral("CLIENTI.DAT"));
    const QString movPath = QDir(folder).filePath(QStringLiteral("mov.txt"));

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

    auto appendLine = [&](const QByteArray &line) {
        out.riga = line;
        const QString error = items::appendToFile(movPath, line);
        if (!error.isEmpty())
            out.guasti.append(QStringLiteral("mov.txt non scritto (%1): movimento perso: %2")
                                  .arg(error, text::fromCp1252(text::trimSpaces(line.chopped(2)))));
    };

    // One pass in blocks of whole records, so a full registry needs no large buffer.
    // A trailing partial record is never read.
    constexpr int kBlockRecords = 256;
    QByteArray block(qsizetype(kBlockRecords) * kRecordSize, Qt::Uninitialized);
    const int count = int(file.size() / kRecordSize);
    int found = 0;
    QByteArray match;
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
    const char *record = match.constData();

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
    const QByteArray name = fieldAt(record, fields::Nome);
    const QByteArray credit = fieldAt(record, fields::Accessi);
    const QByteArray countText = fieldAt(record, fields::AccessiEffettuati);
    const QByteArray door = text::trimSpaces(QByteArrayView(record + fields::Relay.offset, 3));
    const double made = numbers::leadingNumber(countText);

    et.Label1 = name;
    et.Label2 = number;
    et.Label3 = code;
    et.Label6 = door;
    stato.PortaCliente = door;

    enum { Granted, Expired, Exhausted } decision;
    bool counted = false;
    double creditValue = 0;
    if (credit.startsWith('D')) {
        QDate expiry = kScadenzaIniziale;
        if (const auto d = dataScadenza(credit))
            expiry = *d;
        decision = expiry >= clock().now().date() ? Granted : Expired;
    } else {
        creditValue = numbers::leadingNumber(credit);
        if (creditValue > 0) {
            decision = Granted;
            counted = true;
        } else {
            decision = Exhausted;
        }
    }

    if (decision != Granted) {
        // A refusal logs its line and leaves the record as it was.
        const bool expired = decision == Expired;
        appendLine(rigaMovimento(number, name, code, door, clock().now(), expired ? "Carta Scaduta" : "Esaurito"));
        stato.CodiceEsito = expired ? esito::Scaduta : esito::Esaurito;
        et.Label8 = credit;
        et.Label4 = expired ? "Carta Scaduta" : "Credito Esaurito";
        et.Label7 = numberText(made);
        et.Label5 = colore::Giallo;
        out.etichette = et;
        return out;
    }

    // Granted: the record is rewritten first, in one write, with only the credit (when
    // counted) and the accesses made changed; a grant that cannot be counted is refused.
    registry::Record updated(QByteArrayView(record, kRecordSize));
    const QByteArray newCredit = counted ? numberText(creditValue - 1) : credit;
    const QByteArray newMade = numberText(made + 1);
    if (counted)
        updated.setRaw(fields::Accessi, text::padRight(newCredit, fields::Accessi.width));
    updated.setRaw(fields::AccessiEffettuati, text::padRight(newMade, fields::AccessiEffettuati.width));
    const QString writeError = registry::RegistryFile(registryPath).write(found, updated);
    if (!writeError.isEmpty()) {
        out.guasti.append(QStringLiteral("CLIENTI.DAT non aggiornato (%1): accesso negato al cliente %2")
                              .arg(writeError, QString::fromLatin1(number)));
        appendLine(rigaMovimento(number, name, code, door, clock().now(), "Non autorizzato"));
        stato.PortaCliente.clear();
        et.Label8 = credit;
        et.Label4 = "Non autorizzato";
        et.Label7 = numberText(made);
        et.Label5 = colore::Rosso;
        out.etichette = et;
        out.rifiutata = true;
        return out;
    }

    appendLine(rigaMovimento(number, name, code, door, clock().now(), "Autorizzato"));
    et.Label8 = newCredit;
    et.Label4 = "Autorizzato";
    et.Label7 = newMade;
    et.Label5 = colore::Verde;
    out.etichette = et;
    stato.CodiceEsito = esito::Autorizzato;
    stato.OraUltimoAccesso = clock().elapsedMs();
    stato.UltimaCarta = code;
    return out;
}

} // namespace zorv::stations
