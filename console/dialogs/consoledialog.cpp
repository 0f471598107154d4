#include "consoledialog.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

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
        const QString text = key->text();
        if (text.isEmpty())
            return false;
        for (QChar c : text) {
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
