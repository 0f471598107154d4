#pragma once

#include "record.h"

#include <QByteArray>

namespace zorv::test {

// A registry record as the discount-card search reads it: name, card field (card number,
// optionally "-" and the discount), price list in the relay field, total of purchases in
// the access credit field.
inline registry::Record discountCustomer(const QByteArray &name, const QByteArray &card,
                                         const QByteArray &listino = "1", const QByteArray &totale = "0")
{
    registry::CustomerInput in;
    in.nome = name;
    in.numeroCarta = card;
    in.relay = listino;
    in.accessi = totale;
    return registry::Record::compose(in);
}

} // namespace zorv::test
