#pragma once

#include "record.h"
#include "testsupport.h"

#include <QByteArray>
#include <QList>

namespace zorv::test {

// A customer record as the entry form writes it.
inline registry::Record cliente(const QByteArray &nome, const QByteArray &carta, const QByteArray &accessi,
                                const QByteArray &effettuati = "", const QByteArray &relay = "1")
{
    registry::CustomerInput in;
    in.nome = nome;
    in.indirizzo = "VIA ROMA 1";
    in.accessi = accessi;
    in.telefono = "06 1234567";
    in.numeroCarta = carta;
    in.cap = "00100";
    in.accessiEffettuati = effettuati;
    in.prov = "RM";
    in.ordini = {"1", "2", "3", "4", "5", "6"};
    in.fatturato = {"A", "B", "C", "D", "E", "F"};
    in.relay = relay;
    in.citta = "ROMA";
    return registry::Record::compose(in);
}

inline QByteArray registro(const QList<registry::Record> &records)
{
    QByteArray all;
    for (const auto &r : records)
        all += r.bytes();
    return all;
}

inline void scriviRegistro(const TempFolder &folder, const QList<registry::Record> &records)
{
    folder.write(QStringLiteral("CLIENTI.DAT"), registro(records));
}

// The record n (1-based) of the folder's CLIENTI.DAT.
inline QByteArray recordDi(const TempFolder &folder, int n)
{
    return folder.read(QStringLiteral("CLIENTI.DAT")).mid((n - 1) * registry::kRecordSize, registry::kRecordSize);
}

inline QByteArray portaCfg(const QByteArray &lockout = "5", const QByteArray &tempo = "30", const QByteArray &audio = "A",
                           const QByteArray &com = "1")
{
    return com + ",9600\r\n" + lockout + "," + tempo + ",\"" + audio + "\"\r\n";
}

} // namespace zorv::test
