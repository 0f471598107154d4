#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class QKeyEvent;

namespace zorv {

// Lets a window see key presses before its controls, whichever control has the focus.
// The handler returns true to swallow the key.
class KeyPreview : public QObject {
public:
    using Handler = std::function<bool(QKeyEvent *)>;
    KeyPreview(QWidget *window, Handler handler);
    ~KeyPreview() override;

    // The usual rule of the registry's windows: Esc and F9 close the window at once.
    static KeyPreview *closeOnEscF9(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    Handler m_handler;
    const QEvent *m_pending = nullptr;
};

} // namespace zorv
