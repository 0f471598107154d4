#include "stationwindow.h"

#include "clock.h"
#include "launcher.h"
#include "messages.h"
#include "service.h"
#include "stationport.h"
#include "text.h"
#include "trayicon.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace zorv::stations {

namespace {

QLabel *valueLabel(const QString &name, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(220);
    l->setTextFormat(Qt::PlainText);
    return l;
}

} // namespace

QIcon iconaStazione()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0, 0x80, 0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(1, 1, 30, 30);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(20);
    p.setFont(f);
    p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("Z"));
    p.end();
    return QIcon(pm);
}

StationWindow::StationWindow(const StationOptions &options, QWidget *parent)
    : QWidget(parent), m_options(options)
{
    setObjectName(QStringLiteral("RX"));
    setWindowTitle(options.caption);
    setWindowIcon(iconaStazione());

    auto *root = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    root->addLayout(left, 0);

    auto *values = new QGridLayout;
    left->addLayout(values);
    Label1 = valueLabel(QStringLiteral("Label1"), this);
    Label2 = valueLabel(QStringLiteral("Label2"), this);
    Label3 = valueLabel(QStringLiteral("Label3"), this);
    Label4 = valueLabel(QStringLiteral("Label4"), this);
    Label6 = valueLabel(QStringLiteral("Label6"), this);
    Label7 = valueLabel(QStringLiteral("Label7"), this);
    Label8 = valueLabel(QStringLiteral("Label8"), this);
    const struct {
        QLabel *value;
        QString caption;
        const char *name;
    } rows[] = {
        {Label1, options.nameCaption, "Didascalia1"},
        {Label2, QStringLiteral("Numero Cliente"), "Didascalia2"},
        {Label6, QStringLiteral("Porta"), "Didascalia6"},
        {Label3, QStringLiteral("Carta"), "Didascalia3"},
        {Label4, QStringLiteral("Autorizzazione"), "Didascalia4"},
        {Label8, QStringLiteral("Accessi Rimanenti"), "Didascalia8"},
        {Label7, QStringLiteral("Accessi Effettuati"), "Didascalia7"},
    };
    int row = 0;
    for (const auto &r : rows) {
        auto *caption = new QLabel(r.caption, this);
        caption->setObjectName(QString::fromLatin1(r.name));
        values->addWidget(caption, row, 0);
        values->addWidget(r.value, row, 1);
        if (r.value != Label1 && !options.customerLabels) {
            caption->hide();
            r.value->hide();
        }
        ++row;
    }

    Label5 = new QLabel(this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setMinimumHeight(40);
    Label5->setAutoFillBackground(true);
    Label5->setFrameShape(QFrame::Panel);
    // The outcome box stays in sight in both stations; only the access-control one fills it.
    left->addWidget(Label5);

    auto *clock = new QHBoxLayout;
    auto *dateCaption = new QLabel(options.dateCaption, this);
    dateCaption->setObjectName(QStringLiteral("DidascaliaData"));
    Label16 = new QLabel(this);
    Label16->setObjectName(QStringLiteral("Label16"));
    auto *timeCaption = new QLabel(options.timeCaption, this);
    timeCaption->setObjectName(QStringLiteral("DidascaliaOra"));
    Label17 = new QLabel(this);
    Label17->setObjectName(QStringLiteral("Label17"));
    clock->addWidget(dateCaption);
    clock->addWidget(Label16);
    clock->addSpacing(12);
    clock->addWidget(timeCaption);
    clock->addWidget(Label17);
    clock->addStretch();
    left->addLayout(clock);

    m_stationArea = new QVBoxLayout;
    left->addLayout(m_stationArea);

    auto *buttons = new QHBoxLayout;
    Check1 = new QCheckBox(options.audioCaption, this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setChecked(true);
    Command4 = new QPushButton(QStringLiteral("1"), this);
    Command4->setObjectName(QStringLiteral("Command4"));
    Command5 = new QPushButton(QStringLiteral("2"), this);
    Command5->setObjectName(QStringLiteral("Command5"));
    Command1 = new QPushButton(QStringLiteral("Utenti"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Movimenti"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command3 = new QPushButton(options.quitCaption, this);
    Command3->setObjectName(QStringLiteral("Command3"));
    clear = new QPushButton(QStringLiteral("Clear"), this);
    clear->setObjectName(QStringLiteral("clear"));
    clear->hide();
    for (QPushButton *b : {Command4, Command5})
        b->setMaximumWidth(40);
    buttons->addWidget(Check1);
    buttons->addWidget(Command4);
    buttons->addWidget(Command5);
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    left->addLayout(buttons);
    left->addStretch();
    Command1->setVisible(options.programButtons);
    Command2->setVisible(options.programButtons);
    Command4->setVisible(options.relayButtons);
    Command5->setVisible(options.relayButtons);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setMaximumBlockCount(kMaxRighe);
    Text1->setMinimumWidth(260);
    Text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    root->addWidget(Text1, 1);

    connect(clear, &QPushButton::clicked, this, &StationWindow::clear_Click);
    connect(Command1, &QPushButton::clicked, this, &StationWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &StationWindow::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &StationWindow::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &StationWindow::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &StationWindow::Command5_Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(options.startDelayMs);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
    connect(Timer2, &QTimer::timeout, this, &StationWindow::Timer2_Timer);
    Timer2->start();

    m_tray = TrayIcon::create(this);
    connect(m_tray, &TrayIcon::clicked, this, &StationWindow::restoreFromTray);
    connect(m_tray, &TrayIcon::lost, this, &StationWindow::trayLost);
}

StationWindow::~StationWindow()
{
    if (m_tray)
        m_tray->remove();
}

StationPort &StationWindow::port()
{
    if (!m_port)
        m_port = new StationPort(this);
    return *m_port;
}

void StationWindow::inviarele1(std::function<void()> done)
{
    inviarele(port(), 1, TempoRele, std::move(done), [this](const QString &t) { mostraGuasto(t); });
}

void StationWindow::inviarele2(std::function<void()> done)
{
    inviarele(port(), 2, TempoRele, std::move(done), [this](const QString &t) { mostraGuasto(t); });
}

void StationWindow::appendText1(const QByteArray &line)
{
    QByteArray shown = line;
    while (shown.endsWith('\r') || shown.endsWith('\n'))
        shown.chop(1);
    aggiungiAText1(text::fromCp1252(shown));
}

void StationWindow::mostraGuasto(const QString &text)
{
    aggiungiAText1(QStringLiteral("*** ERRORE %1: %2")
                       .arg(clock().now().toString(QStringLiteral("dd-MM-yyyy HH:mm:ss")), text));
}

void StationWindow::aggiungiAText1(QString text)
{
    // A long line costs the log box time on every later line; its start is enough.
    if (text.size() > kMaxCaratteri) {
        text.truncate(kMaxCaratteri - 1);
        text.append(QChar(0x2026));
    }
    Text1->appendPlainText(text);
}

void StationWindow::coloraLabel5(unsigned bgr)
{
    const QColor c(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
    QPalette pal = Label5->palette();
    pal.setColor(QPalette::Window, c);
    Label5->setPalette(pal);
}

void StationWindow::restoreFromTray()
{
    if (isHidden()) {
        m_tray->beforeShow(windowHandle(), false);
        m_restoring = true;
        if (QWindow *w = windowHandle())
            w->installEventFilter(this);
    }
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    if (isMinimized() || isHidden())
        showNormal();
    raise();
    activateWindow();
    m_tray->remove();
}

void StationWindow::trayLost()
{
    // Hidden with nowhere to click: an ordinary minimised window, as where there never
    // was a notification area (the wedge goes on typing, it is still minimised).
    if (!isHidden())
        return;
    m_tray->beforeShow(windowHandle(), true);
    showMinimized();
}

void StationWindow::endProgram(int code)
{
    Service<ProgramEnd>::get().end(code);
}

void StationWindow::clear_Click()
{
    Text1->clear();
}

void StationWindow::Command1_Click()
{
    launcher().start(QStringLiteral("database"));
}

void StationWindow::Command2_Click()
{
    launcher().start(QStringLiteral("movimenti"));
}

void StationWindow::Command3_Click()
{
    messages().beep();
    if (messages().msgBox(m_options.quitQuestion, style::YesNo, QStringLiteral("(!)")) == answer::No)
        return;
    endProgram(0);
}

void StationWindow::Command4_Click()
{
    inviarele1();
}

void StationWindow::Command5_Click()
{
    inviarele2();
}

void StationWindow::Timer2_Timer()
{
    const QDateTime now = clock().now();
    Label16->setText(now.toString(QStringLiteral("dd-MM-yyyy")));
    Label17->setText(now.toString(QStringLiteral("HH:mm:ss")));
}

void StationWindow::Form_QueryUnload(QCloseEvent *event)
{
    event->accept();
}

void StationWindow::Form_Resize()
{
    if (!isMinimized() || !m_tray->isAvailable())
        return;
    hide();
    m_tray->add(windowIcon(), m_options.tip);
    // The area went away in between: no icon to come back by.
    if (!m_tray->isShown())
        trayLost();
}

void StationWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        // Until a restored window is on screen the window manager may still report the
        // minimised state it was hidden in (it took the window in as it was): the
        // restore stands.
        if (event->spontaneous() && m_restoring) {
            QTimer::singleShot(0, this, [this] {
                setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
            });
            return;
        }
        // Hidden once the state change is over, not in the middle of it.
        QTimer::singleShot(0, this, [this] { Form_Resize(); });
    }
}

bool StationWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (m_restoring && watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        m_restoring = false;
        watched->removeEventFilter(this); // back on screen: nothing more to watch for
    }
    return QWidget::eventFilter(watched, event);
}

void StationWindow::closeEvent(QCloseEvent *event)
{
    Form_QueryUnload(event);
}

} // namespace zorv::stations
