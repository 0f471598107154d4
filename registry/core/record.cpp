#include "record.h"

#include "text.h"

#include <QDate>
#include <QRegularExpression>

namespace zorv::registry {

Record::Record(QByteArrayView bytes) : m_bytes(text::padRight(bytes, kRecordSize)) {}

Record Record::deleted()
{
    return Record(QByteArray(kRecordSize, '*'));
}

bool Record::isDeleted() const
{
    for (char c : m_bytes) {
        if (c != '*')
            return false;
    }
    return true;
}

QByteArray Record::trimmed(FieldSpec spec) const
{
    return text::trimSpaces(QByteArrayView(m_bytes).sliced(spec.offset, spec.width));
}

void Record::setRaw(FieldSpec spec, QByteArrayView value)
{
    m_bytes.replace(spec.offset, spec.width, text::padRight(value, spec.width));
}

QByteArray Record::relay() const
{
    return text::trimSpaces(QByteArrayView(m_bytes).sliced(fields::Relay.offset, 3));
}

Record Record::compose(const CustomerInput &in)
{
    Record r;
    r.setRaw(fields::Nome, text::field(in.nome, fields::Nome.width));
    r.setRaw(fields::Indirizzo, text::field(in.indirizzo, fields::Indirizzo.width));
    r.setRaw(fields::Riservato, text::padRight(in.riservato, fields::Riservato.width, '\0'));
    r.setRaw(fields::Accessi, text::field(in.accessi, fields::Accessi.width));
    r.setRaw(fields::Telefono, text::field(in.telefono, fields::Telefono.width));
    QByteArray card = in.numeroCarta;
    card.replace(" ", "");
    r.setRaw(fields::NumeroCarta, text::field(card, fields::NumeroCarta.width));
    r.setRaw(fields::CAP, text::field(in.cap, fields::CAP.width));
    r.setRaw(fields::AccessiEffettuati, text::field(in.accessiEffettuati, fields::AccessiEffettuati.width));

    QByteArray provOrdini = text::padRight(text::trimSpaces(in.prov), 2);
    for (const QByteArray &part : in.ordini)
        provOrdini += text::padRight(text::trimSpaces(part), 2);
    r.setRaw({fields::Prov.offset, 14}, text::upper(provOrdini));

    QByteArray sepFatturato("<>");
    for (const QByteArray &part : in.fatturato)
        sepFatturato += text::padRight(text::trimSpaces(part), 2);
    r.setRaw({fields::Separatore.offset, 14}, text::upper(sepFatturato));

    r.setRaw(fields::Relay, text::field(in.relay, fields::Relay.width));
    r.setRaw(fields::Citta, text::field(in.citta, fields::Citta.width));
    return r;
}

bool creditAccepted(const QString &typed)
{
    if (!typed.startsWith(u'D') && !typed.startsWith(u'd'))
        return true;
    static const QRegularExpression form(
        QRegularExpression::anchoredPattern(QStringLiteral("([0-9]{2})-([0-9]{2})-([0-9]{4})")));
    const QRegularExpressionMatch m = form.match(typed.mid(1));
    if (!m.hasMatch())
        return false;
    return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt()).isValid();
}

QString numCliente(int number)
{
    return text::zeroPadded(number, 4);
}

} // namespace zorv::registry
