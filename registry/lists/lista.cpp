#include "lista.h"

#include "dbstate.h"
#include "keypreview.h"
#include "listsupport.h"
#include "messages.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace zorv::registry::lists {

QuickList::QuickList(QWidget *parent, Layout layout, const char *name, const QString &caption) : QDialog(parent)
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Etichetta1 = new QLabel(this);
    Etichetta1->setObjectName(QStringLiteral("Etichetta1"));
    styleHeader(Etichetta1, header(layout));
    riepilogo1 = new QListView(this);
    riepilogo1->setObjectName(QStringLiteral("riepilogo1"));
    m_list = new CustomerListBox(riepilogo1, layout, this);
    const QFontMetrics metrics(riepilogo1->font());
    riepilogo1->setFixedSize(metrics.horizontalAdvance(QString(34, QLatin1Char('W'))), metrics.lineSpacing() * 18);

    Command2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("Ok"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command3 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Uscita"), this);
    Command3->setObjectName(QStringLiteral("Command3"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    auto *main = new QVBoxLayout(this);
    main->addWidget(Etichetta1);
    main->addWidget(riepilogo1);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(riepilogo1, Command2);
    setTabOrder(Command2, Command3);
    riepilogo1->setFocus();

    connect(Command2, &QPushButton::clicked, this, &QuickList::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &QuickList::Command3_Click);
    m_keys = new KeyPreview(this, [this](QKeyEvent *e) { return Form_KeyDown(e); });
    Form_Load();
}

void QuickList::Form_Load()
{
    db().PrimaVolta = 1;
}

void QuickList::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

bool QuickList::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QDialog::event(event);
}

void QuickList::Form_Activate()
{
    if (db().PrimaVolta != 1)
        return;
    db().PrimaVolta = 0;
    ricarica();
}

bool QuickList::Form_KeyDown(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape && event->key() != Qt::Key_F9)
        return false;
    db().StampaDa = 0;
    close();
    return true;
}

void QuickList::ricarica()
{
    m_list->clear();
    caricalista();
}

void QuickList::caricalista()
{
    const Listing listing = listRegistry(db().FileClienti, m_list->layout());
    m_list->setLines(listing.lines);
    if (!listing.error.isEmpty()) {
        messages().msgBox(listing.error, style::Ok, QStringLiteral("ERRORE"));
        return;
    }
    if (m_list->count() > 0)
        riepilogo1->setFocus();
}

void QuickList::Command2_Click()
{
    m_list->pick(true);
}

void QuickList::Command3_Click()
{
    close();
}

Lista::Lista(QWidget *parent) : QuickList(parent, Layout::Lista, "lista", QStringLiteral("Lista Clienti (Alfabetico)"))
{
}

Lista1::Lista1(QWidget *parent)
    : QuickList(parent, Layout::Lista1, "lista1", QStringLiteral("Lista Clienti (Numerico)"))
{
}

} // namespace zorv::registry::lists
