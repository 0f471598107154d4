#include "cartasconto.h"

#include "numbers.h"
#include "registryfile.h"
#include "text.h"

namespace zorv::console {

using namespace zorv::registry;

double numeroDigitato(const QString &typed)
{
    QString number = typed;
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    return numbers::leadingNumber(QStringView(number));
}

bool cartaCorrisponde(const QByteArray &cardField, const QByteArray &typed, QByteArray *sconto)
{
    // The card number must be the whole field or the part before the discount: a card
    // that only ends with, or holds, the typed number belongs to someone else.
    if (typed.isEmpty() || !cardField.startsWith(typed))
        return false;
    if (cardField.size() == typed.size()) {
        if (sconto)
            sconto->clear();
        return true;
    }
    if (cardField.at(typed.size()) != '-')
        return false;
    if (sconto)
        *sconto = cardField.mid(typed.size() + 1);
    return true;
}

CartaSconto cercacarta(const QString &path, const QString &typed)
{
    CartaSconto out;
    const RegistryFile file(path);
    if (file.count() < 1) {
        out.esito = CartaSconto::FileVuoto;
        return out;
    }
    const QByteArray wanted = text::toCp1252(typed);
    QString error;
    const bool read = file.forEachLive(
        [&](int number, const Record &record) {
            QByteArray sconto;
            if (!cartaCorrisponde(record.trimmed(fields::NumeroCarta), wanted, &sconto))
                return true;
            out.esito = CartaSconto::Trovata;
            out.numero = number;
            out.nome = record.trimmed(fields::Nome);
            out.listino = record.relay();
            out.totale = record.trimmed(fields::Accessi);
            out.sconto = sconto;
            return false;
        },
        &error);
    if (!read && out.esito != CartaSconto::Trovata) {
        out.esito = CartaSconto::Errore;
        out.errore = error;
    }
    return out;
}

} // namespace zorv::console
