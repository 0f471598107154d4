#include "plovekwindow.h"

#include "clock.h"
#include "items.h"
#include "keys.h"
#include "messages.h"
#include "serialport.h"
#include "stationport.h"
#include "text.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace zorv::stations::plovek {

namespace {

QComboBox *lista(const char *name, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(false);
    c->setMaxVisibleItems(16);
    return c;
}

void riempi(QComboBox *c, const QStringList &voci)
{
    c->clear();
    c->addItems(voci);
    c->setCurrentIndex(0);
}

} // namespace

StationOptions PlovekWindow::opzioni()
{
    StationOptions o;
    o.caption = QStringLiteral("Zandorex RF Wedge");
    o.tip = QStringLiteral("Plovek RF 3.0");
    o.quitCaption = QStringLiteral("Quit");
    o.quitQuestion = QStringLiteral("Quit Vantrel Wedge ?");
    o.audioCaption = QStringLiteral("Beep");
    o.dateCaption = QStringLiteral("Date");
    o.timeCaption = QStringLiteral("Time");
    o.nameCaption = QStringLiteral("Last Barcode");
    o.programButtons = false;
    o.relayButtons = false;
    o.customerLabels = false;
    o.startDelayMs = kAvvioMs;
    return o;
}

PlovekWindow::PlovekWindow(QWidget *parent) : StationWindow(opzioni(), parent)
{
    // The log box stands outside the window as designed: the wedge only clears it,
    // until it has something to say about the typing.
    Text1->hide();

    Combo1 = lista("Combo1", this);
    Combo2 = lista("Combo2", this);
    Combo3 = lista("Combo3", this);
    Combo4 = lista("Combo4", this);
    Combo5 = lista("Combo5", this);
    Combo6 = lista("Combo6", this);
    Combo7 = lista("Combo7", this);
    Combo8 = lista("Combo8", this);

    auto *grid = new QGridLayout;
    auto caption = [this](const QString &text, const char *name) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    grid->addWidget(caption(QStringLiteral("Com Port"), "LabelPorta"), 0, 0);
    grid->addWidget(Combo6, 0, 1);
    grid->addWidget(caption(QStringLiteral("Intercharacter delay mSec."), "LabelRitardo"), 1, 0);
    grid->addWidget(Combo1, 1, 1);
    grid->addWidget(caption(QStringLiteral("Prefix"), "LabelPrefisso"), 2, 0);
    grid->addWidget(Combo8, 2, 1);
    grid->addWidget(caption(QStringLiteral("Repeated"), "LabelRipetiPrefisso"), 2, 2);
    grid->addWidget(Combo7, 2, 3);
    grid->addWidget(caption(QStringLiteral("Terminator 1"), "LabelTerminatore1"), 3, 0);
    grid->addWidget(Combo2, 3, 1);
    grid->addWidget(caption(QStringLiteral("Repeated"), "LabelRipetiTerminatore1"), 3, 2);
    grid->addWidget(Combo4, 3, 3);
    grid->addWidget(caption(QStringLiteral("Terminator 2"), "LabelTerminatore2"), 4, 0);
    grid->addWidget(Combo3, 4, 1);
    grid->addWidget(caption(QStringLiteral("Repeated"), "LabelRipetiTerminatore2"), 4, 2);
    grid->addWidget(Combo5, 4, 3);
    stationArea()->addLayout(grid);

    connect(Check1, &QCheckBox::toggled, this, &PlovekWindow::Check1_Click);
    connect(Combo1, &QComboBox::currentIndexChanged, this, &PlovekWindow::Combo1_Click);
    connect(Combo2, &QComboBox::currentIndexChanged, this, &PlovekWindow::Combo2_Click);
    connect(Combo3, &QComboBox::currentIndexChanged, this, &PlovekWindow::Combo3_Click);
    connect(Combo4, &QComboBox::currentIndexChanged, this, &PlovekWindow::Combo4_Click);
    connect(Combo5, &QComboBox::currentIndexChanged, this, &PlovekWindow::Combo5_Click);
    connect(Combo6, &QComboBox::currentIndexChanged, this, &PlovekWindow::Combo6_Click);
    connect(Combo7, &QComboBox::currentIndexChanged, this, &PlovekWindow::Combo7_Click);
    connect(Combo8, &QComboBox::currentIndexChanged, this, &PlovekWindow::Combo8_Click);

    m_loop = new LeggiSeriale(port(), *this, this);
}

void PlovekWindow::Form_Load()
{
    SalvaAttivo = 0;
    creacombo();
    caricaconf();
    SalvaAttivo = 1;
    Timer1->start();
}

void PlovekWindow::creacombo()
{
    riempi(Combo6, vociPorta());
    riempi(Combo1, vociRitardo());
    riempi(Combo8, vociPrefisso());
    riempi(Combo7, vociRipetizioni());
    riempi(Combo2, vociTerminatore1());
    riempi(Combo4, vociRipetizioni());
    riempi(Combo3, vociTerminatore2());
    riempi(Combo5, vociRipetizioni());
}

void PlovekWindow::caricaconf()
{
    const QString path = percorsoIni();
    if (!QFile::exists(path))
        salvaconf();
    QFile f(path);
    QString why;
    std::optional<PlovekIni> ini;
    if (!QFile::exists(path)) {
        // Fresh settings that could not be written: salvaconf has told the operator.
        ini = PlovekIni();
    } else if (f.open(QIODevice::ReadOnly)) {
        ini = leggiIni(f.readAll(), &why);
    } else {
        why = f.errorString();
    }
    if (ini) {
        applica(*ini);
    } else {
        // The file stays as it is until the operator changes a setting.
        applica(PlovekIni());
        messages().msgBox(QStringLiteral("The settings in %1 cannot be used: %2.\n"
                                         "Fresh settings are in use; the file is written again when a setting is changed.")
                              .arg(path, why),
                          style::Ok);
    }
    SerialPort &comm = port().Comm1();
    comm.setSettings(QStringLiteral("9600,n,8,1"));
}

void PlovekWindow::applica(const PlovekIni &ini)
{
    Check1->setChecked(ini.Check1 != 0);
    Combo6->setCurrentIndex(ini.Combo6);
    Combo1->setCurrentIndex(ini.Combo1);
    Combo8->setCurrentIndex(ini.Combo8);
    Combo7->setCurrentIndex(ini.Combo7);
    Combo2->setCurrentIndex(ini.Combo2);
    Combo4->setCurrentIndex(ini.Combo4);
    Combo3->setCurrentIndex(ini.Combo3);
    Combo5->setCurrentIndex(ini.Combo5);
}

void PlovekWindow::salvaconf()
{
    const QString error = items::writeFileAtomically(percorsoIni(), impostazioni().testo());
    if (error.isEmpty()) {
        m_salvataggioFallito = false;
        return;
    }
    // The settings still apply for this run; the operator hears of it once.
    if (m_salvataggioFallito)
        return;
    m_salvataggioFallito = true;
    messages().msgBox(QStringLiteral("The settings cannot be saved to %1: %2.\nThey apply until the program ends.")
                          .arg(percorsoIni(), error),
                      style::Ok);
}

PlovekIni PlovekWindow::impostazioni() const
{
    PlovekIni ini;
    ini.Check1 = Check1->isChecked() ? 1 : 0;
    ini.Combo6 = qMax(0, Combo6->currentIndex());
    ini.Combo1 = qMax(0, Combo1->currentIndex());
    ini.Combo8 = qMax(0, Combo8->currentIndex());
    ini.Combo7 = qMax(0, Combo7->currentIndex());
    ini.Combo2 = qMax(0, Combo2->currentIndex());
    ini.Combo4 = qMax(0, Combo4->currentIndex());
    ini.Combo3 = qMax(0, Combo3->currentIndex());
    ini.Combo5 = qMax(0, Combo5->currentIndex());
    return ini;
}

void PlovekWindow::salvaSeAttivo()
{
    if (SalvaAttivo != 0)
        salvaconf();
}

void PlovekWindow::Check1_Click() { salvaSeAttivo(); }
void PlovekWindow::Combo1_Click() { salvaSeAttivo(); }
void PlovekWindow::Combo2_Click() { salvaSeAttivo(); }
void PlovekWindow::Combo3_Click() { salvaSeAttivo(); }
void PlovekWindow::Combo4_Click() { salvaSeAttivo(); }
void PlovekWindow::Combo5_Click() { salvaSeAttivo(); }
void PlovekWindow::Combo7_Click() { salvaSeAttivo(); }
void PlovekWindow::Combo8_Click() { salvaSeAttivo(); }

void PlovekWindow::Combo6_Click()
{
    salvaSeAttivo();
    m_loop->portaCambiata();
}

void PlovekWindow::Timer1_Timer()
{
    Timer1->stop();
    setWindowState((windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen)) | Qt::WindowMinimized);
    Label16->setText(clock().now().toString(QStringLiteral("dd-MM-yyyy")));
    // Typing starts now: where the desktop must allow it, it is asked now, not at the
    // first line.
    keystrokes().prepare({});
    m_loop->leggiseriale();
}

void PlovekWindow::mostraRiga(const QByteArray &line)
{
    QByteArray shown = line;
    if (shown.endsWith('\r'))
        shown.chop(1);
    Label1->setText(text::fromCp1252(shown));
}

PlovekView::Stato PlovekWindow::stato() const
{
    const Qt::WindowStates s = windowState();
    // Hidden in the notification area is minimised, whatever the window system last
    // said of a window it no longer shows (GNOME's, withdrawing it, may say normal).
    if (isHidden() || (s & Qt::WindowMinimized))
        return Stato::Minimizzata;
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return Stato::Massimizzata;
    return Stato::Normale;
}

void PlovekWindow::termina()
{
    endProgram(0);
}

void PlovekWindow::guastoDigitazione(const QString &why)
{
    // In the log box, not a box to answer: the station is in the notification area and
    // the next line is tried all the same.
    mostraAvviso(QStringLiteral("A line from the reader could not be typed: %1").arg(why));
}

void PlovekWindow::mostraAvviso(const QString &text)
{
    Text1->show();
    mostraGuasto(text);
}

void PlovekWindow::Form_QueryUnload(QCloseEvent *event)
{
    // The close box asks nothing: the station ends.
    event->accept();
    endProgram(0);
}

} // namespace zorv::stations::plovek
