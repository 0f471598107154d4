#pragma once

#include "consoledialog.h"

#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zorv {
class SerialPort;
}

namespace zorv::console {

// Sounds the reader's buzzer with a chosen frequency and time, as often as Go is
// pressed; it writes the frame to the console's port itself and reads nothing back.
class SOUND : public ConsoleDialog {
    Q_OBJECT
public:
    explicit SOUND(SerialPort *port, QWidget *parent = nullptr);

    QLineEdit *Text1; // frequency
    QLineEdit *Text3; // time
    QLabel *Label1;
    QLabel *Label3;
    QPushButton *Command13; // Go
    QPushButton *Command3;  // Quit

    void Command13_Click();
    void Command3_Click();
    static int Text1_KeyPress(int keyAscii);
    static int Text3_KeyPress(int keyAscii);

private:
    QPointer<SerialPort> m_port;
};

} // namespace zorv::console
