#include "portframedialog.h"

#include "dialogchecks.h"
#include "dialogresults.h"
#include "messages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zorv::console {

PortFrameDialog::PortFrameDialog(const char *name, const QString &caption, const QString &okCaption,
                                 QWidget *parent)
    : ConsoleDialog(parent)
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);

    Text1 = textBox("Text1", 1, 48);
    Text2 = textBox("Text2", 1, 48);
    Text3 = textBox("Text3", 2, 48);
    Text4 = textBox("Text4", 1, 48);
    Label1 = label("Label1", QStringLiteral("Port (A/B/C)"));
    Label2 = label("Label2", QStringLiteral("Pin 0 to 7"));
    Label3 = label("Label3", QStringLiteral("Sec. 1 to 25"));
    Label4 = label("Label4", QStringLiteral("Status 0 / 1"));
    Command13 = button("Command13", okCaption);
    Command3 = button("Command3", QStringLiteral("Quit"));
    layOutForm({{Label1, Text1}, {Label2, Text2}, {Label3, Text3}, {Label4, Text4}}, {Command13, Command3});

    setKeyPress(Text1, &PortFrameDialog::Text1_KeyPress);
    setKeyPress(Text2, &PortFrameDialog::Text2_KeyPress);
    setKeyPress(Text3, &PortFrameDialog::Text3_KeyPress);
    setKeyPress(Text4, &PortFrameDialog::Text4_KeyPress);
    connect(Text1, &QLineEdit::textChanged, this, &PortFrameDialog::Text1_Change);
    connect(Command13, &QPushButton::clicked, this, &PortFrameDialog::Command13_Click);
    connect(Command3, &QPushButton::clicked, this, &PortFrameDialog::Command3_Click);

    Form_Load();
}

void PortFrameDialog::Form_Load()
{
    results().ComandoPorte.clear();
}

int PortFrameDialog::Text1_KeyPress(int keyAscii) { return filterKey(keyAscii, keys::Port); }
int PortFrameDialog::Text2_KeyPress(int keyAscii) { return filterKey(keyAscii, keys::Pin); }
int PortFrameDialog::Text3_KeyPress(int keyAscii) { return filterKey(keyAscii, keys::Digits); }
int PortFrameDialog::Text4_KeyPress(int keyAscii) { return filterKey(keyAscii, keys::State); }

void PortFrameDialog::Text1_Change()
{
    const QString upper = Text1->text().toUpper();
    if (upper != Text1->text())
        Text1->setText(upper);
}

void PortFrameDialog::Command13_Click()
{
    const DialogCheck check = checkPortFrame(Text1->text(), Text2->text(), Text3->text(), Text4->text());
    if (!check.ok()) {
        messages().msgBox(check.message, style::Ok);
        return;
    }
    results().ComandoPorte = check.result;
    accept();
}

void PortFrameDialog::Command3_Click()
{
    reject();
}

PORTS::PORTS(QWidget *parent)
    : PortFrameDialog("PORTS", QStringLiteral("Toggle Ports"), QStringLiteral("Go !"), parent)
{
}

CONFIG::CONFIG(QWidget *parent)
    : PortFrameDialog("CONFIG", QStringLiteral("Store Config"), QStringLiteral("Store config"), parent)
{
}

} // namespace zorv::console
