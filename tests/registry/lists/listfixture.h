#pragma once

#include "record.h"
#include "text.h"

#include "testsupport.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace zorv::test {

// One customer for a registry fixture; fields are given as typed.
struct Customer {
    QByteArray nome;
    QByteArray citta = "ROMA";
    QByteArray accessi = "10";
    QByteArray telefono = "06 1234";
    QByteArray carta = "CARD";
    QByteArray cap = "00100";
    QByteArray prov = "RM";
    QByteArray indirizzo = "VIA ROMA 1";
    QByteArray effettuati = "3";
    bool deleted = false;
};

inline registry::Record record(const Customer &c)
{
    if (c.deleted)
        return registry::Record::deleted();
    registry::CustomerInput in;
    in.nome = c.nome;
    in.citta = c.citta;
    in.accessi = c.accessi;
    in.telefono = c.telefono;
    in.numeroCarta = c.carta;
    in.cap = c.cap;
    in.prov = c.prov;
    in.indirizzo = c.indirizzo;
    in.accessiEffettuati = c.effettuati;
    in.relay = "1";
    return registry::Record::compose(in);
}

inline QByteArray registryBytes(const QList<Customer> &customers)
{
    QByteArray out;
    for (const Customer &c : customers)
        out += record(c).bytes();
    return out;
}

// Names whose accented letters must sort with their plain ones, numbered 1 to 6 in
// this order: ZETA SEI, ÉRIC DUPONT, NICOLOSI PAOLO, NICOLÒ ANNA, EMMA, ERIC DUPONT.
// Alphabetically they list as 5, 2, 6, 4, 3, 1 (the accent weighs less than the number
// at the end of the line).
inline QList<Customer> accentedNames()
{
    QList<Customer> out;
    for (const char *name : {"ZETA SEI", "\xc9RIC DUPONT", "NICOLOSI PAOLO", "NICOL\xd2 ANNA", "EMMA", "ERIC DUPONT"}) {
        Customer c;
        c.nome = name;
        out.append(c);
    }
    return out;
}
inline const QList<int> kAccentedAlphabetic{5, 2, 6, 4, 3, 1};

// n customers named CLIENTE 001 ... in number order.
inline QList<Customer> numbered(int n)
{
    QList<Customer> out;
    for (int i = 1; i <= n; ++i) {
        Customer c;
        c.nome = "CLIENTE " + text::zeroPadded(i, 3).toLatin1();
        c.carta = "C" + QByteArray::number(i);
        out.append(c);
    }
    return out;
}

} // namespace zorv::test
