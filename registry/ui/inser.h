#pragma once

#include "record.h"

#include <QDialog>

#include <array>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zorv {
class KeyPreview;
}

namespace zorv::registry {

// The customer entry form, the only window that writes customer data. New mode
// (NuovoCliente 1, number box disabled and preset) appends customers one after another;
// edit mode loads a customer by number, changes it and writes it back.
class Inser : public QDialog {
    Q_OBJECT
public:
    explicit Inser(QWidget *parent = nullptr);

    QLineEdit *nucli = nullptr;    // Cliente
    QLineEdit *rsoc = nullptr;     // Cognome  e  Nome
    QLineEdit *indir = nullptr;    // Indirizzo
    QLineEdit *Citta = nullptr;    // Citta'
    QLineEdit *tlx = nullptr;      // CAP
    QLineEdit *c89 = nullptr;      // Pr.
    QLineEdit *stato = nullptr;    // Accessi
    QLineEdit *tel = nullptr;      // Telefono
    QLineEdit *fax = nullptr;      // Numero carta
    QLineEdit *contatto = nullptr; // Accessi Effettuati
    QLineEdit *fatturat = nullptr; // Relay
    // Hidden: they carry Ordini and Fatturato from loading to saving.
    std::array<QLineEdit *, 6> c9x{}; // c90 .. c95
    std::array<QLineEdit *, 6> f9x{}; // f90 .. f95

    QPushButton *Comando1 = nullptr; // Salva
    QPushButton *Comando2 = nullptr; // Cancella
    QPushButton *Comando3 = nullptr; // Uscita

    int numRecord() const { return NumRecord; }

public slots:
    void Comando1_Click();
    void Comando2_Click();
    void Comando3_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_Load();
    bool Form_KeyDown(QKeyEvent *event);
    // Key filters of the boxes, by character code (Enter 13, Esc 27, Backspace 8).
    // True when the key is consumed.
    bool nucli_KeyPress(int keyAscii);
    bool fatturat_KeyPress(int keyAscii);
    bool catena_KeyPress(QLineEdit *box, int keyAscii);

    void caricacliente();
    void puliscicampi();
    void mostrarecord();
    int numeroBox() const; // the number in nucli, 0 when none
    QList<QLineEdit *> campi() const; // every box but nucli, the hidden ones too
    Record recordModulo() const; // the record the boxes give, by the writing rules

    QLineEdit *box(const char *name, int maxLength);

    KeyPreview *m_keys = nullptr;
    int NumRecord = 0; // the record the next "Salva" writes; 0 = none
    Record m_buffer; // the record last loaded
    Record m_caricato; // the boxes as loading filled them, by the writing rules
    bool m_riassegnato = false; // a deleted number given to a new customer
};

} // namespace zorv::registry
