#include "store.h"

#include "dialogchecks.h"
#include "dialogresults.h"
#include "messages.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zorv::console {

store::store(QWidget *parent) : ConsoleDialog(parent)
{
    setObjectName(QStringLiteral("store"));
    setWindowTitle(QStringLiteral("Store Card"));

    auto makeBox = [this](const char *name, int maxLength, int width) {
        auto *b = new QLineEdit(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setMaxLength(maxLength);
        b->setMinimumWidth(width);
        return b;
    };
    auto makeLabel = [this](const char *name, const QString &caption) {
        auto *l = new QLabel(caption, this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    Text1 = makeBox("Text1", 2, 48);
    Text2 = makeBox("Text2", 12, 150);
    Text3 = makeBox("Text3", 1, 48);
    Label1 = makeLabel("Label1", QStringLiteral("Record"));
    Label2 = makeLabel("Label2", QStringLiteral("Card N.  (12 digits)"));
    Label3 = makeLabel("Label3", QStringLiteral("Relay"));
    Command13 = button("Command13", QStringLiteral("Store Card"));
    Command3 = button("Command3", QStringLiteral("Quit"));

    auto *grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1, Qt::AlignLeft);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Text2, 1, 1);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(Text3, 2, 1, Qt::AlignLeft);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command13);
    buttons->addWidget(Command3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

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
