#include "consoledialog.h"

#include "keycodes.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zorv::console {
namespace {

class KeyPressFilter : public QObject {
public:
    KeyPressFilter(QLineEdit *box, ConsoleDialog::KeyPress handler)
        : QObject(box), m_handler(std::move(handler))
    {
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        // Keys that type nothing, and Tab and Shift+Tab, which move the focus, never
        // reach a box's handler.
        if (keycode::typed(key) < 0)
            return false;
        for (QChar c : key->text()) {
            if (m_handler(c.unicode()) == 0)
                return true;
        }
        return false;
    }

private:
    ConsoleDialog::KeyPress m_handler;
};

} // namespace

ConsoleDialog::ConsoleDialog(QWidget *parent) : QDialog(parent)
{
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void ConsoleDialog::setKeyPress(QLineEdit *box, KeyPress handler)
{
    new KeyPressFilter(box, std::move(handler));
}

QPushButton *ConsoleDialog::button(const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QLineEdit *ConsoleDialog::textBox(const char *name, int maxLength, int width)
{
    auto *b = new QLineEdit(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setMaxLength(maxLength);
    b->setFixedWidth(width);
    return b;
}

QLabel *ConsoleDialog::label(const char *name, const QString &caption)
{
    auto *l = new QLabel(caption, this);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

void ConsoleDialog::layOutForm(const QList<QPair<QLabel *, QLineEdit *>> &rows, const QList<QPushButton *> &buttons)
{
    auto *grid = new QGridLayout;
    for (int r = 0; r < rows.size(); ++r) {
        grid->addWidget(rows[r].first, r, 0);
        grid->addWidget(rows[r].second, r, 1, Qt::AlignLeft);
    }
    auto *row = new QHBoxLayout;
    for (QPushButton *b : buttons)
        row->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(row);
}

void ConsoleDialog::keyPressEvent(QKeyEvent *event)
{
    // QDialog would close on Esc and press a default button on Enter.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace zorv::console
