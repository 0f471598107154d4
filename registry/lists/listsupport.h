#pragma once

#include "listlines.h"

#include <QObject>

#include <functional>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QListView;
class QStringListModel;
class QWidget;

namespace zorv::registry::lists {

// Opens the customer card for DbState::NumCliente, modally over `parent`. Tests put a
// stand-in in its place; nullptr restores the card.
using CardOpener = std::function<void(QWidget *parent)>;
void setCardOpener(CardOpener opener);
void openCard(QWidget *parent);

// "Intervallo di stampa errato" under "(!)": a range of lines the print refuses.
void rangeRefused();

// Looks shared by the lists and prompts: Fixedsys 9 pt, dark blue on light cyan.
void styleListBox(QWidget *box);
void styleHeader(QLabel *label, const QString &caption); // Fixedsys 9 pt, red
void styleInfo(QLabel *label);                           // Fixedsys 9 pt, blue

// The sorted list box riepilogo1 of the list windows: a view on a string model, one
// line per customer. The customer number on a line is read by the window's layout.
class CustomerListBox : public QObject {
public:
    CustomerListBox(QListView *view, Layout layout, QWidget *window);

    QListView *view() const { return m_view; }
    QStringListModel *model() const { return m_model; }
    Layout layout() const { return m_layout; }

    void setLines(const QStringList &lines);
    void clear();
    int count() const;
    QStringList lines() const;
    int selectedRow() const; // -1 when no line is selected

    // NumCliente = the number on the selected line (0 when none is selected), then the
    // card for it when it is not 0. Nothing on an empty list.
    void pick(bool open);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListView *m_view;
    QStringListModel *m_model;
    Layout m_layout;
    QWidget *m_window;
};

} // namespace zorv::registry::lists
