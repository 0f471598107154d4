#include "sound.h"

#include "dialogchecks.h"
#include "messages.h"
#include "serialport.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zorv::console {

SOUND::SOUND(SerialPort *port, QWidget *parent) : ConsoleDialog(parent), m_port(port)
{
    setObjectName(QStringLiteral("SOUND"));
    setWindowTitle(QStringLiteral("Sound"));

    auto makeBox = [this](const char *name) {
        auto *b = new QLineEdit(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setMaxLength(3);
        b->setFixedWidth(56);
        return b;
    };
    auto makeLabel = [this](const char *name, const QString &caption) {
        auto *l = new QLabel(caption, this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    Text1 = makeBox("Text1");
    Text3 = makeBox("Text3");
    Label1 = makeLabel("Label1", QStringLiteral("Freq. 1/255"));
    Label3 = makeLabel("Label3", QStringLiteral("Time (1/255)"));
    Command13 = button("Command13", QStringLiteral("Go"));
    Command3 = button("Command3", QStringLiteral("Quit"));

    auto *grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(Label3, 1, 0);
    grid->addWidget(Text3, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command13);
    buttons->addWidget(Command3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

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
