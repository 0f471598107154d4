#pragma once

#include "record.h"
#include "testsupport.h"

#include <QByteArray>
#include <QList>

namespace zorv::test {

// A customer as the entry form would store it.
inline registry::Record cliente(const char *nome, const char *citta, const char *indirizzo = "",
                                const char *cap = "", const char *prov = "", const char *accessi = "10",
                                const char *effettuati = "3", const char *relay = "1")
{
    registry::CustomerInput in;
    in.nome = nome;
    in.citta = citta;
    in.indirizzo = indirizzo;
    in.cap = cap;
    in.prov = prov;
    in.accessi = accessi;
    in.accessiEffettuati = effettuati;
    in.relay = relay;
    in.telefono = "02 1234567";
    in.numeroCarta = "AB12CD34EF56";
    for (int i = 0; i < 6; ++i) {
        in.ordini[i] = QByteArray::number(10 + i);
        in.fatturato[i] = QByteArray::number(20 + i);
    }
    return registry::Record::compose(in);
}

inline QByteArray registro(const QList<registry::Record> &records)
{
    QByteArray out;
    for (const auto &r : records)
        out += r.bytes();
    return out;
}

} // namespace zorv::test
