#pragma once

#include "listlines.h"

#include <QDialog>

#include <memory>

class QCloseEvent;
class QKeyEvent;
class QLabel;
class QListView;
class QPushButton;

namespace zorv {
class KeyPreview;
class Printer;
}

namespace zorv::registry::lists {

class CustomerListBox;
class LabelPrintJob;

// The customer list windows: every customer (" Totale "), those of one city (" Citta'")
// or of one credit (" Stato ", hidden), one line each in a sorted list; Enter or a double
// click opens the card; " Stampa " prints the listed customers by range and " Etichette "
// an address label for each. Elenchi and Elenco differ only in their line layout.
class ElencoWindow : public QDialog {
    Q_OBJECT
public:
    ~ElencoWindow() override;

    QListView *riepilogo1 = nullptr;
    QLabel *Etichetta1 = nullptr; // column header
    QLabel *Etichetta2 = nullptr; // what is listed
    QLabel *Etichetta3 = nullptr; // filter value and number of lines
    QPushButton *Comando1 = nullptr; // " Totale "
    QPushButton *Comando2 = nullptr; // " Stato " (not shown)
    QPushButton *Comando3 = nullptr; // " Citta'"
    QPushButton *Comando4 = nullptr; // " Stampa "
    QPushButton *Comando5 = nullptr; // " Etichette "
    QPushButton *Comando6 = nullptr; // " Uscita "

    Layout layout() const { return m_layout; }
    CustomerListBox *list() const { return m_list; }
    // True while labels print: the window takes no command and cannot be closed.
    bool busy() const { return m_busy; }
    // The pause after each label page (one second).
    void setLabelPauseMs(int ms) { m_labelPauseMs = ms; }

public slots:
    void Comando1_Click();
    void Comando2_Click();
    void Comando3_Click();
    void Comando4_Click();
    void Comando5_Click();
    void Comando6_Click();
    void reject() override;

protected:
    ElencoWindow(QWidget *parent, Layout layout, const char *name, const QString &caption);
    void closeEvent(QCloseEvent *event) override;

private:
    bool preparaelenco();
    // Prepares a listing and asks for its filter value; false when the prompt was cancelled.
    template <class Prompt> bool chiedifiltro(QString &variable);
    // The printer dialog, then the range of lines: the printer with its document begun,
    // or nullptr when the list is empty or either was cancelled.
    Printer *chiediintervallo(double *from, double *to);
    void elencatotale();
    void elencacitta();
    void elencastato();
    // A filtered listing; true when nobody passed the filter (labels emptied, a beep).
    bool elencafiltro(const Filter &filter);
    // Fills the list; false (after the error box) when the listing stopped on an error.
    bool riempi(const Filter &filter);
    bool Form_KeyDown(QKeyEvent *event);
    void errore(const QString &text);
    void setBusy(bool on);

    Layout m_layout;
    CustomerListBox *m_list = nullptr;
    KeyPreview *m_keys = nullptr;
    std::unique_ptr<LabelPrintJob> m_labels;
    int m_labelPauseMs = 1000;
    bool m_busy = false;
};

// " Elenco in Ordine Alfabetico": lines begin with the name.
class Elenchi : public ElencoWindow {
    Q_OBJECT
public:
    explicit Elenchi(QWidget *parent = nullptr);
};

// " Elenco in Ordine Numerico": lines begin with the customer number.
class Elenco : public ElencoWindow {
    Q_OBJECT
public:
    explicit Elenco(QWidget *parent = nullptr);
};

} // namespace zorv::registry::lists
