#pragma once

#include <QDialog>

class QLineEdit;

namespace zorv {
class KeyPreview;
}

namespace zorv::registry {

// The small number prompts of the registry (caption " N. Cliente "): one box of at most
// 4 characters whose typed characters go through Testo1_KeyPress; Esc and F9 close the
// prompt whichever control has the focus.
class PromptNumero : public QDialog {
    Q_OBJECT
public:
    explicit PromptNumero(const char *name, QWidget *parent = nullptr);

    QLineEdit *Testo1 = nullptr;

protected:
    // The character typed in the box, by its code; true drops it.
    virtual bool Testo1_KeyPress(int code) = 0;
    // The number the box holds, trimmed (0 when it holds none).
    int numeroNelTesto() const;

    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    KeyPreview *m_keys = nullptr;
};

} // namespace zorv::registry
