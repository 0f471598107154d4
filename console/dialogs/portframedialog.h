#pragma once

#include "consoledialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zorv::console {

// The two twin dialogs that take one port frame (port letter, pin, seconds, state) and
// hand it back in ComandoPorte: PORTS for "Toggle MCU Ports", CONFIG for "Set config".
class PortFrameDialog : public ConsoleDialog {
    Q_OBJECT
public:
    QLineEdit *Text1; // port letter
    QLineEdit *Text2; // pin
    QLineEdit *Text3; // whole seconds
    QLineEdit *Text4; // state
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QPushButton *Command13; // OK
    QPushButton *Command3;  // Quit

    void Form_Load();
    void Command13_Click();
    void Command3_Click();
    void Text1_Change();
    static int Text1_KeyPress(int keyAscii);
    static int Text2_KeyPress(int keyAscii);
    static int Text3_KeyPress(int keyAscii);
    static int Text4_KeyPress(int keyAscii);

protected:
    PortFrameDialog(const char *name, const QString &caption, const QString &okCaption, QWidget *parent);
};

class PORTS : public PortFrameDialog {
    Q_OBJECT
public:
    explicit PORTS(QWidget *parent = nullptr);
};

class CONFIG : public PortFrameDialog {
    Q_OBJECT
public:
    explicit CONFIG(QWidget *parent = nullptr);
};

} // namespace zorv::console
