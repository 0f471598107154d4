#include "inputdfid.h"

#include "cartasconto.h"
#include "messages.h"
#include "record.h"
#include "text.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zorv::console {
namespace {

constexpr int kEnter = 13;

} // namespace

inputdfid::inputdfid(const QString &registryPath, QWidget *parent)
    : ConsoleDialog(parent),
      m_registryPath(registryPath.isEmpty() ? QDir::current().filePath(QStringLiteral("CLIENTI.DAT"))
                                            : registryPath)
{
    setObjectName(QStringLiteral("inputdfid"));
    setWindowTitle(QStringLiteral("Carta Sconto"));

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMaxLength(30);
    Text1->setStyleSheet(QStringLiteral("QLineEdit { background: black; color: #00ff00; font-weight: bold; }"));

    auto key = [this](const char *name, const QString &character, void (inputdfid::*handler)()) {
        QPushButton *b = button(name, character);
        b->setMinimumSize(48, 40);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    Command9 = key("Command9", QStringLiteral("1"), &inputdfid::Command9_Click);
    Command10 = key("Command10", QStringLiteral("2"), &inputdfid::Command10_Click);
    Command11 = key("Command11", QStringLiteral("3"), &inputdfid::Command11_Click);
    Command12 = key("Command12", QStringLiteral("4"), &inputdfid::Command12_Click);
    Command13 = key("Command13", QStringLiteral("5"), &inputdfid::Command13_Click);
    Command14 = key("Command14", QStringLiteral("6"), &inputdfid::Command14_Click);
    Command15 = key("Command15", QStringLiteral("7"), &inputdfid::Command15_Click);
    Command16 = key("Command16", QStringLiteral("8"), &inputdfid::Command16_Click);
    Command17 = key("Command17", QStringLiteral("9"), &inputdfid::Command17_Click);
    Command18 = key("Command18", QStringLiteral("0"), &inputdfid::Command18_Click);
    Command21 = key("Command21", QStringLiteral(","), &inputdfid::Command21_Click);
    Command19 = button("Command19", QStringLiteral("C"));
    Command19->setToolTip(QStringLiteral("Cancella"));
    Command19->setMinimumSize(48, 40);
    Command20 = button("Command20", QStringLiteral("Cerca"));
    Command20->setMinimumSize(48, 40);
    Command2 = button("Command2", QStringLiteral("Conferma"));
    Command3 = button("Command3", QStringLiteral("Annulla"));

    auto value = [this](const char *name) {
        QLabel *l = label(name, QString());
        l->setMinimumWidth(160);
        return l;
    };
    Label6 = value("Label6");
    Label4 = value("Label4");
    Label2 = value("Label2");
    Label1 = value("Label1");
    Label8 = value("Label8");

    auto *pad = new QGridLayout;
    QPushButton *digits[9] = {Command9, Command10, Command11, Command12, Command13,
                              Command14, Command15, Command16, Command17};
    for (int i = 0; i < 9; ++i)
        pad->addWidget(digits[i], 2 - i / 3, i % 3);
    pad->addWidget(Command18, 3, 0);
    pad->addWidget(Command21, 3, 1);
    pad->addWidget(Command19, 3, 2);
    pad->addWidget(Command20, 4, 0, 1, 3);

    auto *info = new QGridLayout;
    info->addWidget(label("Label3", QStringLiteral("Numero Carta:")), 0, 0);
    info->addWidget(Text1, 0, 1);
    info->addWidget(label("Label5", QStringLiteral("Num. Cli:")), 1, 0);
    info->addWidget(Label6, 1, 1);
    info->addWidget(label("Label7", QStringLiteral("Nome Cliente:")), 2, 0);
    info->addWidget(Label4, 2, 1);
    info->addWidget(label("Label10", QStringLiteral("Sconto %")), 3, 0);
    info->addWidget(Label2, 3, 1);
    info->addWidget(label("Label11", QStringLiteral("Listino")), 4, 0);
    info->addWidget(Label1, 4, 1);
    info->addWidget(label("Label12", QStringLiteral("Totale acquisti:")), 5, 0);
    info->addWidget(Label8, 5, 1);

    auto *top = new QHBoxLayout;
    top->addLayout(info, 1);
    top->addLayout(pad);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    setKeyPress(Text1, [this](int k) { return Text1_KeyPress(k); });
    connect(Command19, &QPushButton::clicked, this, &inputdfid::Command19_Click);
    connect(Command20, &QPushButton::clicked, this, &inputdfid::Command20_Click);
    connect(Command2, &QPushButton::clicked, this, &inputdfid::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &inputdfid::Command3_Click);
}

void inputdfid::keypad(const QString &character)
{
    Text1->setText(Text1->text() + character);
    Text1->setFocus();
}

void inputdfid::Command9_Click() { keypad(QStringLiteral("1")); }
void inputdfid::Command10_Click() { keypad(QStringLiteral("2")); }
void inputdfid::Command11_Click() { keypad(QStringLiteral("3")); }
void inputdfid::Command12_Click() { keypad(QStringLiteral("4")); }
void inputdfid::Command13_Click() { keypad(QStringLiteral("5")); }
void inputdfid::Command14_Click() { keypad(QStringLiteral("6")); }
void inputdfid::Command15_Click() { keypad(QStringLiteral("7")); }
void inputdfid::Command16_Click() { keypad(QStringLiteral("8")); }
void inputdfid::Command17_Click() { keypad(QStringLiteral("9")); }
void inputdfid::Command18_Click() { keypad(QStringLiteral("0")); }
void inputdfid::Command21_Click() { keypad(QStringLiteral(",")); }

int inputdfid::Text1_KeyPress(int keyAscii)
{
    if (keyAscii == kEnter)
        Command20_Click();
    if (keyAscii >= '0' && keyAscii <= '9')
        return keyAscii;
    if (keyAscii == ',')
        return keyAscii;
    return 0;
}

void inputdfid::Command20_Click()
{
    if (numeroDigitato(Text1->text()) == 0) {
        messages().msgBox(msg::CartaVuota, style::Ok, msg::CartaTitle);
        Text1->setFocus();
        return;
    }
    cercacarta();
}

void inputdfid::Command19_Click()
{
    for (QLabel *l : {Label6, Label4, Label2, Label1, Label8})
        l->clear();
    Text1->clear();
    Text1->setFocus();
}

void inputdfid::Command2_Click()
{
    // The booking belongs to a sales window that no program of the system has; only the
    // check of the typed number stands without it.
    if (numeroDigitato(Text1->text()) == 0) {
        Text1->setFocus();
        return;
    }
}

void inputdfid::Command3_Click()
{
    reject();
}

void inputdfid::cercacarta()
{
    const CartaSconto found = console::cercacarta(m_registryPath, Text1->text());
    switch (found.esito) {
    case CartaSconto::FileVuoto:
        messages().msgBox(msg::AnagraficheVuote, style::Ok, msg::CartaTitle);
        return;
    case CartaSconto::Errore:
        messages().msgBox(found.errore, style::Ok, msg::CartaTitle);
        return;
    case CartaSconto::NonPresente:
        messages().msgBox(msg::CartaNonPresente, style::Ok, msg::CartaTitle);
        return;
    case CartaSconto::Trovata:
        break;
    }
    Label4->setText(text::fromCp1252(found.nome));
    Label1->setText(text::fromCp1252(found.listino));
    Label6->setText(registry::numCliente(found.numero));
    Label8->setText(text::fromCp1252(found.totale));
    Label2->setText(text::fromCp1252(found.sconto));
}

} // namespace zorv::console
