#include "filterprompt.h"

#include "dbstate.h"
#include "keypreview.h"
#include "listsupport.h"
#include "text.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace zorv::registry::lists {

FilterPrompt::FilterPrompt(QWidget *parent, const char *name, const QString &caption, int boxLimit, int limit,
                           QString *variable)
    : QDialog(parent), m_limit(limit), m_variable(variable)
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose, false);

    Testo1 = new QLineEdit(this);
    Testo1->setObjectName(QStringLiteral("Testo1"));
    Testo1->setMaxLength(boxLimit);
    styleListBox(Testo1);
    Testo1->setFixedWidth(QFontMetrics(Testo1->font()).horizontalAdvance(QString(boxLimit + 1, QLatin1Char('W'))));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Testo1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Testo1->installEventFilter(this);
    connect(Testo1, &QLineEdit::textChanged, this, &FilterPrompt::Testo1_Change);
    m_keys = new KeyPreview(this, [this](QKeyEvent *e) { return Form_KeyDown(e); });
    Testo1->setFocus();
}

bool FilterPrompt::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Testo1 && event->type() == QEvent::KeyPress)
        return Testo1_KeyPress(static_cast<QKeyEvent *>(event));
    return QDialog::eventFilter(watched, event);
}

bool FilterPrompt::Testo1_KeyPress(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        *m_variable = text::upper(text::trimSpaces(Testo1->text()));
        accept();
        return true;
    }
    if (event->key() == Qt::Key_Escape) {
        m_variable->clear();
        reject();
        return true;
    }
    return false;
}

bool FilterPrompt::Form_KeyDown(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F9) {
        reject();
        return true;
    }
    return false;
}

void FilterPrompt::Testo1_Change()
{
    const QSignalBlocker block(Testo1);
    while (Testo1->cursorPosition() == m_limit + 1 || Testo1->text().size() > m_limit) {
        Testo1->setText(Testo1->text().left(m_limit));
        Testo1->setCursorPosition(m_limit);
    }
}

City::City(QWidget *parent) : FilterPrompt(parent, "city", QStringLiteral(" Citta'"), 24, 24, &db().CittaScelta) {}

Statin::Statin(QWidget *parent)
    : FilterPrompt(parent, "Statin", QStringLiteral(" Stato "), 20, 15, &db().StatoScelto)
{
}

} // namespace zorv::registry::lists
