#include "canci1.h"

#include "dbstate.h"
#include "registryfile.h"
#include "tastiera.h"

#include "messages.h"

#include <QLineEdit>

namespace zorv::registry {

canci1::canci1(QWidget *parent) : PromptNumero("canci1", parent) {}

bool canci1::Testo1_KeyPress(int code)
{
    if (code == 8)
        return false;
    db().NumCliente = numeroNelTesto();
    if (code == 13) {
        if (db().NumCliente == 0) {
            close();
            return true;
        }
        cancellacliente();
        if (db().NumCliente != 0)
            close();
        return true;
    }
    return !cifra(code);
}

void canci1::errore(const QString &text)
{
    db().NumCliente = 0;
    Testo1->clear();
    messages().msgBox(text, style::Ok, QStringLiteral("ERRORE"));
}

void canci1::cancellacliente()
{
    const int n = db().NumCliente;
    if (n == 0)
        return;
    const RegistryFile registry(db().FileClienti);
    QString error = registry.open();
    if (!error.isEmpty())
        return errore(error);
    const int count = registry.count();
    if (n > count) {
        db().NumCliente = 0;
        Testo1->clear();
        messages().msgBox(QStringLiteral(" %1 Clienti in archivio").arg(count), style::Ok, QStringLiteral("( Info )"));
        return;
    }
    messages().beep();
    if (messages().msgBox(QStringLiteral("Confermi la cancellazione del cliente N. %1 ?").arg(n), style::YesNo,
                          QStringLiteral("( ! )")) == answer::No) {
        Testo1->clear();
        return;
    }
    const auto record = registry.read(n, &error);
    if (!record)
        return errore(error.isEmpty() ? QStringLiteral("Cliente N. %1 non leggibile").arg(n) : error);
    if (record->isDeleted()) {
        messages().msgBox(QStringLiteral("Il Cliente N. %1 e' gia' cancellato").arg(n), style::Ok,
                          QStringLiteral("( Info )"));
        return;
    }
    error = registry.write(n, Record::deleted());
    if (!error.isEmpty())
        return errore(error);
}

} // namespace zorv::registry
