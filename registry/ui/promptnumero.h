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

// A prompt that checks the number against the registry before it takes it (the card's
// and the deletion's prompts of the main window). Backspace passes; any other character
// first sets NumCliente from the box as it was; Enter on an empty box closes the prompt,
// otherwise runs the check, and a number still standing after it is confirmed; other
// characters pass when they are digits.
class PromptVerificato : public PromptNumero {
    Q_OBJECT
public:
    using PromptNumero::PromptNumero;

protected:
    bool Testo1_KeyPress(int code) final;
    virtual void verifica() = 0; // may refuse the number: NumCliente 0
    virtual void conferma() = 0; // the number stands: close the prompt

    // A number beyond the count: NumCliente 0, box emptied, the count under "( Info )".
    void rifiutaOltre(int count);
    // A failure: NumCliente 0, box emptied, the error's own text under "ERRORE".
    void rifiutaErrore(const QString &error);
};

// " 25 Clienti in archivio": the answer to a number beyond the count.
QString clientiInArchivio(int count);

} // namespace zorv::registry
