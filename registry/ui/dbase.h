#pragma once

#include <QMainWindow>

class QAction;
class QCloseEvent;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QPushButton;

namespace zorv {
class KeyPreview;
}

namespace zorv::registry {

// The main window of database: finds the data folder, sets FileClienti and opens every
// registry window modally from its menus, buttons and keys. Closing asks first, then
// starts the menu program and ends database.
class Dbase : public QMainWindow {
    Q_OBJECT
public:
    explicit Dbase(QWidget *parent = nullptr);

    // Menu items.
    QAction *inse = nullptr;    // &File > &Nuovo
    QAction *Modi = nullptr;    // &File > &Modifica
    QAction *cance = nullptr;   // &File > &Cancella
    QAction *Uscio = nullptr;   // &File > &Uscita
    QAction *sch = nullptr;     // &Trova > &Scheda
    QAction *Tro = nullptr;     // &Trova > &Rag. Sociale
    QAction *listalf = nullptr; // &Trova > Lista &Alfabetica
    QAction *lisnum = nullptr;  // &Trova > Lista &Numerica
    QAction *el = nullptr;      // &Servizio > Elenco &Alfabetico/Stampe/Schede
    QAction *elenum = nullptr;  // &Servizio > Elenco &Numerico/Stampe/Schede
    QAction *Cale = nullptr;    // &Calcola (menu-bar item without sub-items)
    QAction *aiut = nullptr;    // "  &?  " > &Aiuto

    // Frame "Scheda".
    QPushButton *Command8 = nullptr;  // Nuovo
    QPushButton *Command10 = nullptr; // Modifica
    QPushButton *Command6 = nullptr;  // Elimina
    QPushButton *Command1 = nullptr;  // Esporta archivio
    // Frame "Trova".
    QPushButton *Command11 = nullptr; // Scheda
    QPushButton *Command5 = nullptr;  // Nome
    QPushButton *Command9 = nullptr;  // Lista alfanum.
    QPushButton *Command7 = nullptr;  // Lista num.
    // Frame "Elenchi".
    QPushButton *Command16 = nullptr; // Alfabetico
    QPushButton *Command14 = nullptr; // Numerico
    // Untitled frame.
    QPushButton *Command3 = nullptr;  // Uscita
    QPushButton *Command12 = nullptr; // Calcolatrice

    QGroupBox *Frame1 = nullptr; // "Scheda"
    QGroupBox *Frame2 = nullptr; // "Trova"
    QGroupBox *Frame3 = nullptr; // "Elenchi"
    QGroupBox *Frame4 = nullptr; // untitled
    QLabel *Immagine1 = nullptr;
    QLabel *Etichetta1 = nullptr; // "DATABASE CLIENTI"

    // The print dialog that the card and the lists use is the program's printer service:
    // its begin() shows the dialog before every print (printer.h).

signals:
    // database ends: every window goes (main() quits the application on it).
    void terminato();

public slots:
    // One handler per command; each button calls its menu item's handler.
    void inse_Click();
    void Modi_Click();
    void cance_Click();
    void Uscio_Click();
    void sch_Click();
    void Tro_Click();
    void listalf_Click();
    void lisnum_Click();
    void el_Click();
    void elenum_Click();
    void Cale_Click();
    void aiut_Click();

    void Command8_Click();
    void Command10_Click();
    void Command6_Click();
    void Command1_Click();
    void Command3_Click();
    void Command11_Click();
    void Command5_Click();
    void Command9_Click();
    void Command7_Click();
    void Command16_Click();
    void Command14_Click();
    void Command12_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    bool Form_KeyDown(QKeyEvent *event);
    bool Form_QueryUnload(); // true: the window may close
    void leggipercorso();
    void esporta();    // the registry export, after its confirmation
    void mostrainfo(); // the about box; nothing calls it
    // Asks the exit question under `title`; on Yes starts the menu program and lets
    // the window go.
    bool chiedifine(const QString &title);

    KeyPreview *m_keys = nullptr;
    bool m_finito = false;
};

} // namespace zorv::registry
