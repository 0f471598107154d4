#include "schei.h"

#include "dbstate.h"
#include "registryfile.h"
#include "tastiera.h"
#include "visual.h"

#include "messages.h"

#include <QLineEdit>

namespace zorv::registry {

schei::schei(QWidget *parent) : PromptNumero("schei", parent) {}

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

bool schei::Testo1_KeyPress(int code)
{
    if (code == 8)
        return false;
    db().NumCliente = numeroNelTesto();
    if (code == 13) {
        if (db().NumCliente == 0) {
            close();
            return true;
        }
        controllanumero();
        if (db().NumCliente != 0) {
            m_apriScheda = true;
            accept();
        }
        return true;
    }
    return !cifra(code);
}

void schei::controllanumero()
{
    if (db().NumCliente == 0)
        return;
    const RegistryFile registry(db().FileClienti);
    const QString error = registry.open();
    if (!error.isEmpty()) {
        db().NumCliente = 0;
        Testo1->clear();
        messages().msgBox(error, style::Ok, QStringLiteral("ERRORE"));
        return;
    }
    const int count = registry.count();
    if (db().NumCliente > count) {
        db().NumCliente = 0;
        Testo1->clear();
        messages().msgBox(QStringLiteral(" %1 Clienti in archivio").arg(count), style::Ok, QStringLiteral("( Info )"));
    }
}

} // namespace zorv::registry
