#include "demodata.h"

#include "record.h"
#include "registryfile.h"

#include <QDate>
#include <QFileInfo>

namespace zorv::demodata {

namespace {

registry::CustomerInput cliente(const char *nome, const char *indirizzo, const char *citta, const char *cap,
                                const char *prov, const QByteArray &accessi, const char *carta, const char *fatti,
                                const char *relay)
{
    registry::CustomerInput c;
    c.nome = nome;
    c.indirizzo = indirizzo;
    c.citta = citta;
    c.cap = cap;
    c.prov = prov;
    c.accessi = accessi;
    c.numeroCarta = carta;
    c.accessiEffettuati = fatti;
    c.relay = relay;
    c.telefono = "06 1234567";
    return c;
}

} // namespace

QString writeCustomers(const QDir &folder)
{
    const registry::RegistryFile file(folder.filePath(QStringLiteral("CLIENTI.DAT")));
    if (QFileInfo::exists(file.path()))
        return {};
    // A pass that is still running, whatever the day the demo is made.
    const QByteArray pass = "D" + QDate::currentDate().addYears(1).toString(QStringLiteral("dd-MM-yyyy")).toLatin1();
    const QList<registry::CustomerInput> clienti{
        cliente("Rossi Mario", "Via Roma 1", "Roma", "00100", "RM", "25", "0001A2B3C4D5", "3", "1"),
        cliente("Bianchi Anna", "Corso Italia 22", "Milano", "20100", "MI", pass, "0001A2B3C4D6", "12", "2"),
        cliente("Verdi Giuseppe", "Piazza Duomo 5", "Firenze", "50100", "FI", "D31-12-2015", "0001A2B3C4D7", "40", "1"),
        cliente("Esposito Lucia", "Via Toledo 80", "Napoli", "80100", "NA", "0", "0001A2B3C4D8", "10", "1"),
        cliente("Ferrari Luca", "Via Emilia 14", "Bologna", "40100", "BO", "100", "0001A2B3C4D9", "0", "2"),
        cliente("Colombo Sara", "Via Dante 3", "Milano", "20121", "MI", "5", "0001A2B3C4DA", "1", "1"),
    };
    int numero = 0;
    for (const auto &c : clienti) {
        const QString error = file.write(++numero, registry::Record::compose(c));
        if (!error.isEmpty())
            return error;
    }
    // One deleted customer: its number stays taken.
    const QString error = file.write(++numero, registry::Record::deleted());
    if (!error.isEmpty())
        return error;
    return file.write(++numero, registry::Record::compose(cliente("Gallo Paolo", "Via Garibaldi 9", "Torino",
                                                                      "10100", "TO", "8", "0001A2B3C4DB", "2", "2")));
}

} // namespace zorv::demodata
