#include "store.h"

#include "dialogchecks.h"
#include "dialogresults.h"
#include "messages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zorv::console {

store::store(QWidget *parent) : ConsoleDialog(parent)
{
    setObjectName(QStringLiteral("store"));
    setWindowTitle(QStringLiteral("Store Card"));

    Text1 = textBox("Text1", 2, 48);
    Text2 = textBox("Text2", 12, 150);
    Text3 = textBox("Text3", 1, 48);
    Label1 = label("Label1", QStringLiteral("Record"));
    Label2 = label("Label2", QStringLiteral("Card N.  (12 digits)"));
    Label3 = label("Label3", QStringLiteral("Relay"));
    Command13 = button("Command13", QStringLiteral("Store Card"));
    Command3 = button("Command3", QStringLiteral("Quit"));
    layOutForm({{Label1, Text1}, {Label2, Text2}, {Label3, Text3}}, {Command13, Command3});

    setKeyPress(Text1, &store::Text1_KeyPress);
    setKeyPress(Text3, &store::Text3_KeyPress);
    connect(Command13, &QPushButton::clicked, this, &store::Command13_Click);
    connect(Command3, &QPushButton::clicked, this, &store::Command3_Click);

    Form_Load();
}

void store::Form_Load()
{
    results().ComandoCarta.clear();
}

int store::Text1_KeyPress(int keyAscii) { return filterKey(keyAscii, keys::Digits); }
int store::Text3_KeyPress(int keyAscii) { return filterKey(keyAscii, keys::Relay); }

void store::Command13_Click()
{
    const DialogCheck check = checkCardSlot(Text1->text(), Text2->text(), Text3->text());
    if (!check.ok()) {
        messages().msgBox(check.message, style::Ok);
        return;
    }
    results().ComandoCarta = check.result;
    accept();
}

void store::Command3_Click()
{
    reject();
}

} // namespace zorv::console
