#include "canci1.h"

#include "dbstate.h"
#include "registryfile.h"

#include "messages.h"

#include <QLineEdit>

namespace zorv::registry {

canci1::canci1(QWidget *parent) : PromptVerificato("canci1", parent) {}

void canci1::cancellacliente()
{
    const int n = db().NumCliente;
    if (n == 0)
        return;
    const RegistryFile registry(db().FileClienti);
    QString error = registry.open();
    if (!error.isEmpty())
        return rifiutaErrore(error);
    const int count = registry.count();
    if (n > count)
        return rifiutaOltre(count);
    messages().beep();
    if (messages().msgBox(QStringLiteral("Confermi la cancellazione del cliente N. %1 ?").arg(n), style::YesNo,
                          QStringLiteral("( ! )")) == answer::No) {
        Testo1->clear();
        return;
    }
    const auto record = registry.read(n, &error);
    if (!record)
        return rifiutaErrore(error.isEmpty() ? QStringLiteral("Cliente N. %1 non leggibile").arg(n) : error);
    if (record->isDeleted()) {
        messages().msgBox(QStringLiteral("Il Cliente N. %1 e' gia' cancellato").arg(n), style::Ok,
                          QStringLiteral("( Info )"));
        return;
    }
    error = registry.write(n, Record::deleted());
    if (!error.isEmpty())
        return rifiutaErrore(error);
}

} // namespace zorv::registry
