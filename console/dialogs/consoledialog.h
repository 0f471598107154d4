#pragma once

#include <QDialog>

#include <functional>

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
    // keep, 0 to drop the key. Keys without a character (arrows, Delete) never reach it.
    using KeyPress = std::function<int(int keyAscii)>;
    static void setKeyPress(QLineEdit *box, KeyPress handler);

protected:
    QPushButton *button(const char *name, const QString &caption);
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace zorv::console
