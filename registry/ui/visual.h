#pragma once

#include "cardlabels.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace zorv {
class KeyPreview;
}

namespace zorv::registry {

// The customer card: shows the record of customer NumCliente as it stands in the file,
// every field untrimmed; changes to another customer by number and prints the card, an
// address label and shipping labels. Never writes CLIENTI.DAT.
class Visual : public QDialog {
    Q_OBJECT
public:
    explicit Visual(QWidget *parent = nullptr);

    // Shows the card of NumCliente modally; returns when it closes (at once when the
    // customer cannot be read).
    static void mostra(QWidget *parent);

    // False when the card closed itself while opening (the error was shown).
    bool aperta() const { return m_aperta; }

    // The shown values.
    CardFields valori() const;

    QLabel *Etichetta2 = nullptr;  // Cliente
    QLabel *Etichetta3 = nullptr;  // Cognome e Nome
    QLabel *Etichetta1 = nullptr;  // Indirizzo
    QLabel *Etichetta4 = nullptr;  // Citta'
    QLabel *Etichetta8 = nullptr;  // CAP
    QLabel *Etichetta11 = nullptr; // Pr.
    QLabel *Etichetta5 = nullptr;  // Accessi
    QLabel *Etichetta6 = nullptr;  // Telefono
    QLabel *Etichetta7 = nullptr;  // Numero carta
    QLabel *Etichetta9 = nullptr;  // Accessi Effettuati
    QLabel *Etichetta10 = nullptr; // Relay
    QLabel *ordini[6] = {};        // Etichetta12..17, not visible
    QLabel *fatturato[6] = {};     // Etichetta19..24, not visible

    QPushButton *Comando1 = nullptr; // " Cambia Scheda "
    QPushButton *Comando3 = nullptr; // "Stampa Scheda "
    QPushButton *Comando4 = nullptr; // "Etichetta"
    QPushButton *Comando2 = nullptr; // " Uscita "
    QPushButton *Comando5 = nullptr; // "Etichetta spedizione", not visible

public slots:
    void Comando1_Click();
    void Comando2_Click();
    void Comando3_Click();
    void Comando4_Click();
    void Comando5_Click();

private:
    void Form_Load();
    // Shows record NumCliente; false when it could not be read (the error is in `error`).
    bool mostrascheda(QString *error);
    void puliscischeda();
    bool mostraCliente() const;
    // The steps every print button starts with: a customer on the card, then the dialog.
    bool preparaStampa() const;
    // Ends the document; a print the printer refused beeps and is reported under "ERRORE".
    void concludiStampa();
    void stampaindirizzo();
    void stampaspedizione();
    QList<QLabel *> valueLabels() const;

    KeyPreview *m_keys = nullptr;
    bool m_aperta = true;
};

} // namespace zorv::registry
