#include "portframedialog.h"

#include "dialogchecks.h"
#include "dialogresults.h"
#include "messages.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zorv::console {
namespace {

QLineEdit *box(QWidget *parent, const char *name, int maxLength)
{
    auto *b = new QLineEdit(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setMaxLength(maxLength);
    b->setFixedWidth(48);
    return b;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

PortFrameDialog::PortFrameDialog(const char *name, const QString &caption, const QString &okCaption,
                                 QWidget *parent)
    : ConsoleDialog(parent)
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);

    Text1 = box(this, "Text1", 1);
    Text2 = box(this, "Text2", 1);
    Text3 = box(this, "Text3", 2);
    Text4 = box(this, "Text4", 1);
    Label1 = label(this, "Label1", QStringLiteral("Port (A/B/C)"));
    Label2 = label(this, "Label2", QStringLiteral("Pin 0 to 7"));
    Label3 = label(this, "Label3", QStringLiteral("Sec. 1 to 25"));
    Label4 = label(this, "Label4", QStringLiteral("Status 0 / 1"));
    Command13 = button("Command13", okCaption);
    Command3 = button("Command3", QStringLiteral("Quit"));

    auto *grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Text2, 1, 1);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(Text3, 2, 1);
    grid->addWidget(Label4, 3, 0);
    grid->addWidget(Text4, 3, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command13);
    buttons->addWidget(Command3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

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
