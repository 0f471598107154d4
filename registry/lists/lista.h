#pragma once

#include "listlines.h"

#include <QDialog>

class QEvent;
class QKeyEvent;
class QLabel;
class QListView;
class QPushButton;

namespace zorv {
class KeyPreview;
}

namespace zorv::registry::lists {

class CustomerListBox;

// The quick pick lists: every live customer as number and name, filled when the window
// first shows; Enter, a double click or "Ok" opens the card of the selected customer.
// Lista and Lista1 differ only in their line layout.
class QuickList : public QDialog {
    Q_OBJECT
public:
    QListView *riepilogo1 = nullptr;
    QLabel *Etichetta1 = nullptr;    // column header
    QPushButton *Command2 = nullptr; // "Ok"
    QPushButton *Command3 = nullptr; // "Uscita"

    CustomerListBox *list() const { return m_list; }

public slots:
    void Command2_Click();
    void Command3_Click();

protected:
    QuickList(QWidget *parent, Layout layout, const char *name, const QString &caption);
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();
    void Form_Activate();
    bool Form_KeyDown(QKeyEvent *event);
    void ricarica();
    void caricalista();

    CustomerListBox *m_list = nullptr;
    KeyPreview *m_keys = nullptr;
};

// "Lista Clienti (Alfabetico)": lines begin with the name.
class Lista : public QuickList {
    Q_OBJECT
public:
    explicit Lista(QWidget *parent = nullptr);
};

// "Lista Clienti (Numerico)": lines begin with the customer number.
class Lista1 : public QuickList {
    Q_OBJECT
public:
    explicit Lista1(QWidget *parent = nullptr);
};

} // namespace zorv::registry::lists
