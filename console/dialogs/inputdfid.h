#pragma once

#include "consoledialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zorv::console {

// "Carta Sconto": a keypad for a sales desk; finds the customer of a discount card in
// CLIENTI.DAT and shows number, name, discount, price list and total of purchases.
class inputdfid : public ConsoleDialog {
    Q_OBJECT
public:
    // registryPath: CLIENTI.DAT; the current folder's when empty.
    explicit inputdfid(const QString &registryPath = QString(), QWidget *parent = nullptr);

    QLineEdit *Text1; // the card number
    QPushButton *Command9, *Command10, *Command11, *Command12, *Command13, *Command14, *Command15,
        *Command16, *Command17; // "1" .. "9"
    QPushButton *Command18; // "0"
    QPushButton *Command21; // ","
    QPushButton *Command19; // clear
    QPushButton *Command20; // search
    QPushButton *Command2;  // "Conferma"
    QPushButton *Command3;  // "Annulla"
    QLabel *Label6; // customer number
    QLabel *Label4; // name
    QLabel *Label2; // discount
    QLabel *Label1; // price list
    QLabel *Label8; // total of purchases

    // The keypad: each button appends its character.
    void keypad(const QString &character);
    void Command9_Click();
    void Command10_Click();
    void Command11_Click();
    void Command12_Click();
    void Command13_Click();
    void Command14_Click();
    void Command15_Click();
    void Command16_Click();
    void Command17_Click();
    void Command18_Click();
    void Command21_Click();
    int Text1_KeyPress(int keyAscii);
    void Command20_Click();
    void Command19_Click();
    void Command2_Click();
    void Command3_Click();
    void cercacarta();

private:
    QString m_registryPath;
};

} // namespace zorv::console
