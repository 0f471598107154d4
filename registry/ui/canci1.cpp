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
    // Read and overwritten under the registry's lock, after the question: a station's
    // rewrite of the customer cannot fall in between.
    bool giaCancellato = false;
    bool mancante = false; // the file got shorter meanwhile
    error = registry.update(n, [&](const std::optional<Record> &current) -> std::optional<Record> {
        if (!current) {
            mancante = true;
            return std::nullopt;
        }
        if (current->isDeleted()) {
            giaCancellato = true;
            return std::nullopt;
        }
        return Record::deleted();
    });
    if (!error.isEmpty())
        return rifiutaErrore(error);
    if (mancante)
        return rifiutaOltre(registry.count());
    if (giaCancellato)
        messages().msgBox(QStringLiteral("Il Cliente N. %1 e' gia' cancellato").arg(n), style::Ok,
                          QStringLiteral("( Info )"));
}

} // namespace zorv::registry
