#include "promptnumero.h"

#include "dbstate.h"
#include "tastiera.h"

#include "fonts.h"
#include "keypreview.h"
#include "messages.h"
#include "numbers.h"
#include "text.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zorv::registry {

PromptNumero::PromptNumero(const char *name, QWidget *parent) : QDialog(parent)
{
    setObjectName(QLatin1String(name));
    setWindowTitle(QStringLiteral(" N. Cliente "));
    setModal(true);
    Testo1 = new QLineEdit(this);
    Testo1->setObjectName(QStringLiteral("Testo1"));
    Testo1->setFont(fonts::fixedsys());
    Testo1->setMaxLength(4);
    // Pasting would pass round the key filter.
    Testo1->setContextMenuPolicy(Qt::NoContextMenu);
    Testo1->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Testo1);
    m_keys = KeyPreview::closeOnEscF9(this);
    Testo1->setFocus();
}

int PromptNumero::numeroNelTesto() const
{
    const double value = numbers::leadingNumber(QStringView(text::trimSpaces(Testo1->text())));
    return int(numbers::truncated(value, 1, 999999999).value_or(0));
}

bool PromptNumero::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Testo1 && event->type() == QEvent::KeyPress) {
        const int code = codiceCarattere(static_cast<QKeyEvent *>(event));
        if (code < 0)
            return false;
        return Testo1_KeyPress(code);
    }
    return QDialog::eventFilter(watched, event);
}

void PromptNumero::keyPressEvent(QKeyEvent *e)
{
    // Enter belongs to the box's own handler, never to a default button.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool PromptVerificato::Testo1_KeyPress(int code)
{
    if (code == kBackspace)
        return false;
    db().NumCliente = numeroNelTesto();
    if (code == kEnter) {
        if (db().NumCliente == 0) {
            close();
            return true;
        }
        verifica();
        if (db().NumCliente != 0)
            conferma();
        return true;
    }
    return !cifra(code);
}

void PromptVerificato::rifiutaOltre(int count)
{
    db().NumCliente = 0;
    Testo1->clear();
    messages().msgBox(clientiInArchivio(count), style::Ok, QStringLiteral("( Info )"));
}

void PromptVerificato::rifiutaErrore(const QString &error)
{
    db().NumCliente = 0;
    Testo1->clear();
    messages().msgBox(error, style::Ok, QStringLiteral("ERRORE"));
}

QString clientiInArchivio(int count)
{
    return QStringLiteral(" %1 Clienti in archivio").arg(count);
}

} // namespace zorv::registry
