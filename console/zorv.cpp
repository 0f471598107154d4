#include "zorv.h"

#include "consolecommands.h"
#include "dialogresults.h"
#include "messages.h"
#include "readerlink.h"
#include "serialport.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace zorv::console {

namespace {

struct ButtonInfo {
    int number;
    const char *caption;
    const char *label; // empty: no label beside it
};

const ButtonInfo kButtons[] = {
    {4, "Initialize", "INIT + <13>"},
    {5, "Manual mode", "STMA + <13>"},
    {6, "Automatic mode", "STAU + <13>"},
    {7, "Set BT Name+PIN", "SETB + <13>"},
    {8, "Delete all Cards", "DEAR + <13>"},
    {9, "Switch Relay 1", "C0<time>1 + <13>"},
    {10, "Switch Relay 2", "B3<time>1 + <13>"},
    {11, "Delete config", "ERAS + <13>"},
    {12, "Set config", "STOR + <13>"},
    {13, "Store Card", "STOC + <13>"},
    {14, "Delete Card", "DECA + <13>"},
    {15, "Read Card", "RDCA + <13>"},
    {16, "Read all Cards", "RDAR + <13>"},
    {17, "Get config", "GETC + <13>"},
    {18, "Toggle MCU Ports", "XXXX + <13>"},
    {19, "RX Data", ""},
    {20, "Read MCU Ports", "GTAP + <13>"},
    {21, "Sound", "BZXX + <13>"},
};

QColor fromBgr(int bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

} // namespace

Zorv::Zorv(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Zorv"));
    setWindowTitle(QStringLiteral("Zorv 900 Demo"));

    Comm1 = SerialPort::create(this);
    Comm1->setObjectName(QStringLiteral("Comm1"));
    m_link = new reader::ReaderLink(Comm1, this);
    m_commands = new ConsoleCommands(m_link, this);
    m_commands->connected = [this] { return isConnected(); };
    m_commands->setCommandsEnabled = [this](bool on) { Command->setEnabled(on); };
    m_commands->showCards = [this] { showCards(); };
    connect(Comm1, &SerialPort::failed, this, &Zorv::portFailed);

    Frame1 = new QGroupBox(QStringLiteral("Com Port"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Command1 = new QPushButton(QStringLiteral("Connect"), Frame1);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Disconnect"), Frame1);
    Command2->setObjectName(QStringLiteral("Command2"));
    Label1 = new QLabel(Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAutoFillBackground(true);
    Label1->setMinimumSize(24, 24);
    auto *portRow = new QHBoxLayout(Frame1);
    portRow->addWidget(Combo1);
    portRow->addWidget(Command1);
    portRow->addWidget(Command2);
    portRow->addWidget(Label1);

    Command = new QGroupBox(QStringLiteral("Commands"), this);
    Command->setObjectName(QStringLiteral("Command"));
    auto *grid = new QGridLayout(Command);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    int labelNumber = 2;
    int row = 0;
    for (const ButtonInfo &b : kButtons) {
        auto *button = new QPushButton(QString::fromLatin1(b.caption), Command);
        button->setObjectName(QStringLiteral("Command%1").arg(b.number));
        m_buttons.append(button);
        const int r = row % 9;
        const int c = (row / 9) * 2;
        grid->addWidget(button, r, c);
        if (*b.label) {
            auto *label = new QLabel(QString::fromLatin1(b.label), Command);
            label->setObjectName(QStringLiteral("Label%1").arg(labelNumber++));
            label->setFont(fixed);
            m_labels.append(label);
            grid->addWidget(label, r, c + 1);
        }
        ++row;
    }

    Command3 = new QPushButton(QStringLiteral("Quit"), this);
    Command3->setObjectName(QStringLiteral("Command3"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(Command);
    layout->addWidget(Command3, 0, Qt::AlignRight);

    connect(Command1, &QPushButton::clicked, this, &Zorv::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Zorv::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Zorv::Command3_Click);
    void (Zorv::*handlers[])() = {
        &Zorv::Command4_Click, &Zorv::Command5_Click, &Zorv::Command6_Click, &Zorv::Command7_Click,
        &Zorv::Command8_Click, &Zorv::Command9_Click, &Zorv::Command10_Click, &Zorv::Command11_Click,
        &Zorv::Command12_Click, &Zorv::Command13_Click, &Zorv::Command14_Click, &Zorv::Command15_Click,
        &Zorv::Command16_Click, &Zorv::Command17_Click, &Zorv::Command18_Click, &Zorv::Command19_Click,
        &Zorv::Command20_Click, &Zorv::Command21_Click,
    };
    for (int i = 0; i < m_buttons.size(); ++i)
        connect(m_buttons[i], &QPushButton::clicked, this, handlers[i]);
    for (int n : {12, 13, 18, 19, 20, 21})
        commandButton(n)->setEnabled(dialogReady(n));

    Form_Load();
}

Zorv::~Zorv() = default;

QPushButton *Zorv::commandButton(int n) const
{
    const int i = n - 4;
    return i >= 0 && i < m_buttons.size() ? m_buttons[i] : nullptr;
}

void Zorv::setLamp(int colour)
{
    m_lamp = colour;
    QPalette p = Label1->palette();
    p.setColor(QPalette::Window, fromBgr(colour));
    Label1->setPalette(p);
}

void Zorv::Form_Load()
{
    Combo1->clear();
    for (int n = 1; n <= 256; ++n)
        Combo1->addItem(QStringLiteral("Com%1").arg(n));
    Combo1->setCurrentIndex(0);
    setLamp(LampRed);
}

void Zorv::Command1_Click()
{
    Comm1->setSettings(QStringLiteral("9600,n,8,1"));
    Comm1->setCommPort(Combo1->currentIndex() + 1);
    QString error;
    if (!Comm1->open(&error)) {
        Combo1->setEnabled(true);
        Command1->setEnabled(true);
        setLamp(LampRed);
        messages().msgBox(msg::PortError, style::Ok);
        return;
    }
    setLamp(LampGreen);
    Combo1->setEnabled(false);
    Command1->setEnabled(false);
}

void Zorv::Command2_Click()
{
    // A reply being awaited is given up silently.
    m_commands->abandon();
    Comm1->close();
    setLamp(LampRed);
    Combo1->setEnabled(true);
    Command1->setEnabled(true);
}

void Zorv::portFailed()
{
    // The device went away: one report, and the window is back to not connected.
    const bool wasConnected = isConnected();
    setLamp(LampRed);
    Combo1->setEnabled(true);
    Command1->setEnabled(true);
    if (wasConnected)
        messages().msgBox(msg::PortError, style::Ok);
}

void Zorv::Command3_Click()
{
    m_commands->abandon();
    Comm1->close();
    emit quitRequested();
    QCoreApplication::exit(0);
}

void Zorv::closeEvent(QCloseEvent *event)
{
    m_commands->abandon();
    Comm1->close();
    QWidget::closeEvent(event);
}

void Zorv::Command4_Click() { m_commands->simple(ConsoleCommands::Simple::Initialize); }
void Zorv::Command5_Click() { m_commands->simple(ConsoleCommands::Simple::ManualMode); }
void Zorv::Command6_Click() { m_commands->simple(ConsoleCommands::Simple::AutomaticMode); }
void Zorv::Command7_Click() { m_commands->simple(ConsoleCommands::Simple::SetBluetooth); }
void Zorv::Command8_Click() { m_commands->simple(ConsoleCommands::Simple::DeleteAllCards); }
void Zorv::Command9_Click() { m_commands->relay(1); }
void Zorv::Command10_Click() { m_commands->relay(2); }
void Zorv::Command11_Click() { m_commands->simple(ConsoleCommands::Simple::DeleteConfig); }

void Zorv::Command12_Click()
{
    if (!m_commands->checkConnected())
        return;
    results().ComandoPorte.clear();
    showCONFIG();
    m_commands->storeConfig(results().ComandoPorte);
}

void Zorv::Command13_Click()
{
    if (!m_commands->checkConnected())
        return;
    results().ComandoCarta.clear();
    showStore();
    m_commands->storeCard(results().ComandoCarta);
}

void Zorv::Command14_Click() { m_commands->deleteCard(); }
void Zorv::Command15_Click() { m_commands->readCard(); }
void Zorv::Command16_Click() { m_commands->readAllCards(); }
void Zorv::Command17_Click() { m_commands->getConfig(); }

void Zorv::Command18_Click()
{
    if (!m_commands->checkConnected())
        return;
    results().ComandoPorte.clear();
    showPORTS();
    m_commands->togglePorts(results().ComandoPorte);
}

void Zorv::Command19_Click()
{
    if (!m_commands->checkConnected())
        return;
    m_commands->svuotabuffer();
    showRX();
    m_commands->svuotabuffer();
}

void Zorv::Command20_Click()
{
    if (!m_commands->checkConnected())
        return;
    m_commands->svuotabuffer();
    showPORTE();
}

void Zorv::Command21_Click()
{
    if (!m_commands->checkConnected())
        return;
    m_commands->svuotabuffer();
    showSOUND();
}

void Zorv::showCards()
{
    cards window(this);
    window.exec();
}

cards::cards(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("cards"));
    setWindowTitle(QStringLiteral("CARDS"));
    Command3 = new QPushButton(QStringLiteral("Quit"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    connect(Command3, &QPushButton::clicked, this, &cards::Command3_Click);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics fm(font());
    resize(fm.horizontalAdvance(QString(44, u'M')), fm.lineSpacing() * 15 + 40);
    Command3->move(width() - Command3->sizeHint().width() - 10, height() - Command3->sizeHint().height() - 10);
}

void cards::Form_Activate()
{
    m_printed = {QString(), QString()};
    for (int i = 0; i < 10; ++i)
        m_printed.append(QStringLiteral("    ") + ElencoCarte.value(i));
    update();
}

void cards::Command3_Click()
{
    accept();
}

bool cards::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    return QDialog::event(e);
}

void cards::showEvent(QShowEvent *e)
{
    Form_Activate();
    QDialog::showEvent(e);
}

void cards::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QFontMetrics fm(font());
    int y = fm.ascent();
    for (const QString &line : m_printed) {
        p.drawText(0, y, line);
        y += fm.lineSpacing();
    }
}

} // namespace zorv::console
