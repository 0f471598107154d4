#pragma once

#include <QByteArray>
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zorv {
class KeyPreview;
}

namespace zorv::registry {

// The search by name: finds the customers whose name holds a piece of text, one hit at a
// time in record order, and opens the card of the customer found.
class Trovi : public QDialog {
    Q_OBJECT
public:
    explicit Trovi(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;      // "Trova"
    QLineEdit *Testo1 = nullptr;   // the search text
    QLabel *Etichetta3 = nullptr;  // "N. Cli."
    QLabel *Label3 = nullptr;      // "Cognome e Nome"
    QLabel *Etichetta2 = nullptr;  // number found
    QLabel *Etichetta1 = nullptr;  // name found
    QPushButton *Comando1 = nullptr; // " Trova "
    QPushButton *Comando2 = nullptr; // " Prossimo "
    QPushButton *Comando3 = nullptr; // " Scheda "
    QPushButton *Comando4 = nullptr; // " Uscita "

public slots:
    void Comando1_Click();
    void Comando2_Click();
    void Comando3_Click();
    void Comando4_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Testo1_GotFocus();
    void Testo1_Change();
    void trovaprimo();
    void trovaprossimo();
    // Tests the records from `from` on; false when the file could not be read.
    bool cerca(int from, QString *error);
    void mostra(int number, const QByteArray &nome);
    void alTesto();

    KeyPreview *m_keys = nullptr;
    QByteArray m_chiave;
    int m_ultimo = 0; // the record of the last hit; 0 when no search stands
};

} // namespace zorv::registry
