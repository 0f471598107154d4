#include "listsupport.h"

#include "dbstate.h"
#include "fonts.h"
#include "keycodes.h"
#include "listprint.h"
#include "messages.h"
#include "visual.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QStringListModel>

namespace zorv::registry::lists {

namespace {

CardOpener &cardOpener()
{
    static CardOpener opener;
    return opener;
}

QFont listFont()
{
    QFont f = fonts::fixedsys();
    f.setPointSize(9);
    return f;
}

} // namespace

void setCardOpener(CardOpener opener)
{
    cardOpener() = std::move(opener);
}

void openCard(QWidget *parent)
{
    if (cardOpener()) {
        cardOpener()(parent);
        return;
    }
    Visual::mostra(parent);
}

void rangeRefused()
{
    messages().msgBox(kRangeRefused, style::Ok, QStringLiteral("(!)"));
}

void styleListBox(QWidget *box)
{
    box->setFont(listFont());
    QPalette p = box->palette();
    p.setColor(QPalette::Base, QColor(0xC0, 0xFF, 0xFF));
    p.setColor(QPalette::Text, QColor(0x00, 0x00, 0x80));
    box->setPalette(p);
}

void styleHeader(QLabel *label, const QString &caption)
{
    label->setFont(listFont());
    label->setTextFormat(Qt::PlainText);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(p);
    label->setText(caption);
}

void styleInfo(QLabel *label)
{
    label->setFont(listFont());
    label->setTextFormat(Qt::PlainText);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(p);
}

CustomerListBox::CustomerListBox(QListView *view, Layout layout, QWidget *window)
    : QObject(view), m_view(view), m_model(new QStringListModel(view)), m_layout(layout), m_window(window)
{
    m_view->setModel(m_model);
    m_view->setUniformItemSizes(true);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    styleListBox(m_view);
    m_view->installEventFilter(this);
    QObject::connect(m_view, &QListView::doubleClicked, this, [this] { pick(true); });
}

void CustomerListBox::setLines(const QStringList &lines)
{
    m_model->setStringList(lines);
}

void CustomerListBox::clear()
{
    m_model->setStringList({});
}

int CustomerListBox::count() const
{
    return m_model->rowCount();
}

QStringList CustomerListBox::lines() const
{
    return m_model->stringList();
}

int CustomerListBox::selectedRow() const
{
    const QModelIndexList rows = m_view->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CustomerListBox::pick(bool open)
{
    if (count() == 0)
        return;
    const int row = selectedRow();
    db().NumCliente = row < 0 ? 0 : numberOnLine(m_layout, m_model->stringList().at(row));
    if (open && db().NumCliente != 0)
        openCard(m_window);
}

bool CustomerListBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_view || event->type() != QEvent::KeyPress || !m_view->isEnabled())
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Escape) {
        m_window->close();
        return true;
    }
    const bool enter = keycode::isEnter(key);
    if (keycode::typed(key) >= 0) {
        pick(enter);
        // Enter stays here, so it never reaches a default button of the window.
        return enter;
    }
    // The first step down from a list without a selection selects its first line.
    if (key->key() == Qt::Key_Down && selectedRow() < 0 && count() > 0) {
        m_view->setCurrentIndex(m_model->index(0));
        return true;
    }
    return false;
}

} // namespace zorv::registry::lists
