#include "windowkeys.h"

#include "keycodes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

namespace zorv::windowkeys {
namespace {

class Rules : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *button = qobject_cast<QPushButton *>(watched);
        if (!button || !appliesTo(button->window()))
            return false;
        switch (event->type()) {
        case QEvent::Polish:
            // A default button would take the Enter of every box that has no use for it.
            button->setAutoDefault(false);
            button->setDefault(false);
            return false;
        case QEvent::KeyPress:
            if (keycode::isEnter(static_cast<QKeyEvent *>(event)) && button->isEnabled()) {
                button->click();
                return true;
            }
            return false;
        default:
            return false;
        }
    }
};

} // namespace

void install()
{
    static QPointer<Rules> rules;
    if (rules)
        return;
    rules = new Rules(qApp);
    qApp->installEventFilter(rules);
}

bool appliesTo(const QWidget *window)
{
    // The suite's windows are its own classes; the system's boxes are Qt's.
    return window && QLatin1String(window->metaObject()->className()).startsWith(QLatin1String("zorv::"));
}

} // namespace zorv::windowkeys
