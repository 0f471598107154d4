#pragma once

#include <QDialog>

class QKeyEvent;
class QLineEdit;

namespace zorv {
class KeyPreview;
}

namespace zorv::registry::lists {

// A one-box prompt for the value of a list filter. Enter leaves the typed text, trimmed
// and upper-cased, in the caller's variable and closes; Esc and F9 close without
// touching it (the caller emptied it before). The box never keeps more than `limit`
// characters.
class FilterPrompt : public QDialog {
    Q_OBJECT
public:
    QLineEdit *Testo1 = nullptr;

    int limit() const { return m_limit; }

protected:
    FilterPrompt(QWidget *parent, const char *name, const QString &caption, int boxLimit, int limit,
                 QString *variable);

private:
    bool Testo1_KeyPress(QKeyEvent *event);
    void Testo1_Change();
    bool Form_KeyDown(QKeyEvent *event);
    bool eventFilter(QObject *watched, QEvent *event) override;

    int m_limit;
    QString *m_variable;
    KeyPreview *m_keys = nullptr;
};

// The city for the " Citta'" listing, into CittaScelta.
class City : public FilterPrompt {
    Q_OBJECT
public:
    explicit City(QWidget *parent = nullptr);
};

// The credit ("Accessi") for the " Stato " listing, into StatoScelto.
class Statin : public FilterPrompt {
    Q_OBJECT
public:
    explicit Statin(QWidget *parent = nullptr);
};

} // namespace zorv::registry::lists
