#include "controllowindow.h"

#include "messages.h"
#include "serialport.h"
#include "stationport.h"
#include "text.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>

#include "clock.h"

namespace zorv::stations {

StationOptions ControlloWindow::opzioni()
{
    StationOptions o;
    o.caption = QStringLiteral("Zorv900 Controllo Accessi");
    o.tip = o.caption;
    o.quitCaption = QStringLiteral("Uscita");
    o.quitQuestion = QStringLiteral("Lasciare il programma ?");
    o.audioCaption = QStringLiteral("Audio");
    o.startDelayMs = 200;
    return o;
}

ControlloWindow::ControlloWindow(QString folder, QWidget *parent)
    : StationWindow(opzioni(), parent), m_folder(std::move(folder))
{
    m_riprova.setInterval(kRiprovaMs);
    connect(&m_riprova, &QTimer::timeout, this, &ControlloWindow::riprova);
    connect(&port(), &StationPort::failed, this, &ControlloWindow::portaPersa);
}

bool ControlloWindow::Form_Load()
{
    if (!leggiconf())
        return false;
    m_loop = new LeggiTessere(port(), *this, m_folder, m_cfg, this);
    Timer1->start();
    return true;
}

bool ControlloWindow::leggiconf()
{
    QString error;
    const auto cfg = stations::leggiconf(m_folder, &error);
    if (!cfg) {
        messages().msgBox(error, style::Critical);
        endProgram(1);
        return false;
    }
    m_cfg = *cfg;
    if (!m_cfg.audio())
        Check1->setChecked(false);
    TempoRele = m_cfg.TempoRele;
    SerialPort &comm = port().Comm1();
    comm.setSettings(m_cfg.settings());
    comm.setCommPort(m_cfg.commPort());
    return true;
}

void ControlloWindow::Timer1_Timer()
{
    Timer1->stop();
    Label16->setText(clock().now().toString(QStringLiteral("dd-MM-yyyy")));
    QString error;
    if (!port().open(&error)) {
        messages().msgBox(QString::fromLatin1(kErrorePorta), style::Ok);
        endProgram(1);
        return;
    }
    m_loop->leggitessere();
}

void ControlloWindow::portaPersa(const QString &error)
{
    // A reader that goes away is waited for: the station opens the port again as soon
    // as it is back, and cards are read again from there.
    mostraGuasto(QStringLiteral("lettore scollegato (%1): nuovo tentativo ogni %2 secondi")
                     .arg(error)
                     .arg(kRiprovaMs / 1000));
    m_riprova.start();
}

void ControlloWindow::riprova()
{
    if (port().isOpen()) {
        m_riprova.stop();
        return;
    }
    if (!port().open())
        return;
    m_riprova.stop();
    m_loop->azzeraRiga();
    appendText1(QByteArrayLiteral("--- lettore ricollegato"));
    m_loop->leggitessere();
}

void ControlloWindow::mostraRiga(const QByteArray &line)
{
    appendText1(line);
}

void ControlloWindow::mostraEtichette(const Etichette &e)
{
    Label1->setText(text::fromCp1252(e.Label1));
    Label2->setText(text::fromCp1252(e.Label2));
    Label3->setText(text::fromCp1252(e.Label3));
    Label6->setText(text::fromCp1252(e.Label6));
    Label4->setText(text::fromCp1252(e.Label4));
    Label8->setText(text::fromCp1252(e.Label8));
    Label7->setText(text::fromCp1252(e.Label7));
    coloraLabel5(e.Label5);
}

bool ControlloWindow::audio() const
{
    return Check1->isChecked();
}

void ControlloWindow::inviarele(int relay, std::function<void()> done)
{
    if (relay == 2)
        inviarele2(std::move(done));
    else
        inviarele1(std::move(done));
}

void ControlloWindow::Form_QueryUnload(QCloseEvent *event)
{
    messages().beep();
    if (messages().msgBox(options().quitQuestion, style::YesNo, QStringLiteral("(!)")) == answer::No) {
        event->ignore();
        return;
    }
    event->accept();
    endProgram(0);
}

} // namespace zorv::stations
