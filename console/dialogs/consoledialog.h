#pragma once

#include <QDialog>
#include <QList>
#include <QPair>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zorv::console {

// Base of the console's dialogs and monitors: modal, no keys of their own (Esc and
// Enter do nothing), closed only by their buttons or the title bar.
class ConsoleDialog : public QDialog {
    Q_OBJECT
public:
    explicit ConsoleDialog(QWidget *parent = nullptr);

    // A box's KeyPress handler: gets the key's character code and returns the code to
    // keep, 0 to drop the key. Keys without a character (arrows, Delete) and the focus
    // keys (Tab, Shift+Tab) never reach it.
    using KeyPress = std::function<int(int keyAscii)>;
    static void setKeyPress(QLineEdit *box, KeyPress handler);

protected:
    QPushButton *button(const char *name, const QString &caption);
    // A one-line text box of `width` pixels holding at most `maxLength` characters.
    QLineEdit *textBox(const char *name, int maxLength, int width);
    QLabel *label(const char *name, const QString &caption);
    // The entry dialogs' layout: each label beside its box, the buttons in a row below.
    void layOutForm(const QList<QPair<QLabel *, QLineEdit *>> &rows, const QList<QPushButton *> &buttons);
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace zorv::console
