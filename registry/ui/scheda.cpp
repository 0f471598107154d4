#include "scheda.h"

#include "dbstate.h"
#include "tastiera.h"

#include <QLineEdit>

namespace zorv::registry {

scheda::scheda(QWidget *parent) : PromptNumero("scheda", parent)
{
    connect(Testo1, &QLineEdit::textChanged, this, &scheda::Testo1_Change);
}

bool scheda::Testo1_KeyPress(int code)
{
    if (code == kBackspace)
        return false;
    if (code == kEnter) {
        db().NumCliente = numeroNelTesto();
        accept();
        return true;
    }
    return !cifra(code);
}

void scheda::Testo1_Change()
{
    if (Testo1->text().size() >= 5) {
        Testo1->setText(Testo1->text().left(4));
        Testo1->setCursorPosition(4);
    }
}

} // namespace zorv::registry
