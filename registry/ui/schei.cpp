#include "schei.h"

#include "dbstate.h"
#include "registryfile.h"
#include "visual.h"

namespace zorv::registry {

schei::schei(QWidget *parent) : PromptVerificato("schei", parent) {}

void schei::mostra(QWidget *parent)
{
    bool card = false;
    {
        schei prompt(parent);
        prompt.exec();
        card = prompt.apriScheda();
    }
    if (card)
        Visual::mostra(parent);
}

void schei::conferma()
{
    m_apriScheda = true;
    accept();
}

void schei::controllanumero()
{
    if (db().NumCliente == 0)
        return;
    const RegistryFile registry(db().FileClienti);
    const QString error = registry.open();
    if (!error.isEmpty())
        return rifiutaErrore(error);
    const int count = registry.count();
    if (db().NumCliente > count)
        rifiutaOltre(count);
}

} // namespace zorv::registry
