#pragma once

#include "consoledialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zorv::console {

// Takes one of the reader's card slots (record 1..10, a 12-character card code, relay 1
// or 2) and hands it back in ComandoCarta for "Store Card".
class store : public ConsoleDialog {
    Q_OBJECT
public:
    explicit store(QWidget *parent = nullptr);

    QLineEdit *Text1; // record
    QLineEdit *Text2; // card code
    QLineEdit *Text3; // relay
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QPushButton *Command13; // OK
    QPushButton *Command3;  // Quit

    void Form_Load();
    void Command13_Click();
    void Command3_Click();
    static int Text1_KeyPress(int keyAscii);
    static int Text3_KeyPress(int keyAscii);
};

} // namespace zorv::console
