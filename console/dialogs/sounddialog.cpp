#include "sounddialog.h"

#include "dialogchecks.h"
#include "messages.h"
#include "serialport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zorv::console {

SOUND::SOUND(SerialPort *port, QWidget *parent) : ConsoleDialog(parent), m_port(port)
{
    setObjectName(QStringLiteral("SOUND"));
    setWindowTitle(QStringLiteral("Sound"));

    Text1 = textBox("Text1", 3, 56);
    Text3 = textBox("Text3", 3, 56);
    Label1 = label("Label1", QStringLiteral("Freq. 1/255"));
    Label3 = label("Label3", QStringLiteral("Time (1/255)"));
    Command13 = button("Command13", QStringLiteral("Go"));
    Command3 = button("Command3", QStringLiteral("Quit"));
    layOutForm({{Label1, Text1}, {Label3, Text3}}, {Command13, Command3});

    setKeyPress(Text1, &SOUND::Text1_KeyPress);
    setKeyPress(Text3, &SOUND::Text3_KeyPress);
    connect(Command13, &QPushButton::clicked, this, &SOUND::Command13_Click);
    connect(Command3, &QPushButton::clicked, this, &SOUND::Command3_Click);
}

int SOUND::Text1_KeyPress(int keyAscii) { return filterKey(keyAscii, keys::Digits); }
int SOUND::Text3_KeyPress(int keyAscii) { return filterKey(keyAscii, keys::Digits); }

void SOUND::Command13_Click()
{
    const DialogCheck check = checkSound(Text1->text(), Text3->text());
    if (!check.ok()) {
        messages().msgBox(check.message, style::Ok);
        return;
    }
    // Nothing is awaited: whatever the reader sends stays for the console's next flush.
    if (m_port)
        m_port->write(check.result);
}

void SOUND::Command3_Click()
{
    reject();
}

} // namespace zorv::console
