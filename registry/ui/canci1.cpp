#include "canci1.h"

#include "dbstate.h"
#include "entrysave.h"
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
    const QString error = registry.open();
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
    const Deletion esito = deleteCustomer(registry, n);
    switch (esito.outcome) {
    case Deletion::Written:
        break;
    case Deletion::AlreadyDeleted:
        messages().msgBox(QStringLiteral("Il Cliente N. %1 e' gia' cancellato").arg(n), style::Ok,
                          QStringLiteral("( Info )"));
        break;
    case Deletion::Beyond:
        return rifiutaOltre(esito.count);
    case Deletion::Failed:
        return rifiutaErrore(esito.error);
    }
}

} // namespace zorv::registry
