#include "dbase.h"

#include "dbstate.h"
#include "elenchi.h"
#include "inser.h"
#include "lista.h"
#include "registryfile.h"
#include "canci1.h"
#include "export.h"
#include "heli.h"
#include "schei.h"
#include "trovi.h"

#include "keypreview.h"
#include "launcher.h"
#include "messages.h"
#include "paths.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace zorv::registry {

namespace {

QAction *voce(QMenu *menu, const char *name, const QString &caption)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
}

QPushButton *bottone(QWidget *frame, QLayout *layout, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, frame);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    layout->addWidget(b);
    return b;
}

QGroupBox *cornice(QWidget *parent, const char *name, const QString &title)
{
    auto *g = new QGroupBox(title, parent);
    g->setObjectName(QLatin1String(name));
    new QVBoxLayout(g);
    return g;
}

} // namespace

Dbase::Dbase(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Dbase"));
    setWindowTitle(QStringLiteral(" DATA BASE CLI  V. 2.0"));

    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    inse = voce(file, "inse", QStringLiteral("&Nuovo"));
    file->addSeparator();
    Modi = voce(file, "Modi", QStringLiteral("&Modifica"));
    file->addSeparator();
    cance = voce(file, "cance", QStringLiteral("&Cancella"));
    file->addSeparator();
    Uscio = voce(file, "Uscio", QStringLiteral("&Uscita"));

    QMenu *trova = menuBar()->addMenu(QStringLiteral("&Trova"));
    sch = voce(trova, "sch", QStringLiteral("&Scheda"));
    trova->addSeparator();
    Tro = voce(trova, "Tro", QStringLiteral("&Rag. Sociale"));
    trova->addSeparator();
    listalf = voce(trova, "listalf", QStringLiteral("Lista &Alfabetica"));
    trova->addSeparator();
    lisnum = voce(trova, "lisnum", QStringLiteral("Lista &Numerica"));

    QMenu *servizio = menuBar()->addMenu(QStringLiteral("&Servizio"));
    el = voce(servizio, "el", QStringLiteral("Elenco &Alfabetico/Stampe/Schede"));
    servizio->addSeparator();
    elenum = voce(servizio, "elenum", QStringLiteral("Elenco &Numerico/Stampe/Schede"));

    Cale = menuBar()->addAction(QStringLiteral("&Calcola"));
    Cale->setObjectName(QStringLiteral("Cale"));

    QMenu *aiuto = menuBar()->addMenu(QStringLiteral("  &?  "));
    aiut = voce(aiuto, "aiut", QStringLiteral("&Aiuto"));
    QAction *info = voce(aiuto, "info", QStringLiteral("&Informazioni"));
    connect(info, &QAction::triggered, this, &Dbase::mostrainfo);

    auto *centro = new QWidget(this);
    auto *main = new QVBoxLayout(centro);
    auto *testa = new QHBoxLayout;
    Immagine1 = new QLabel(centro);
    Immagine1->setObjectName(QStringLiteral("Immagine1"));
    Immagine1->setPixmap(style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(48, 48));
    Etichetta1 = new QLabel(QStringLiteral("DATABASE CLIENTI"), centro);
    Etichetta1->setObjectName(QStringLiteral("Etichetta1"));
    QFont grande = Etichetta1->font();
    grande.setPointSize(grande.pointSize() * 2);
    grande.setBold(true);
    Etichetta1->setFont(grande);
    testa->addWidget(Immagine1);
    testa->addWidget(Etichetta1, 1, Qt::AlignCenter);
    main->addLayout(testa);

    auto *griglia = new QGridLayout;
    Frame1 = cornice(centro, "Frame1", QStringLiteral("Scheda"));
    Command8 = bottone(Frame1, Frame1->layout(), "Command8", QStringLiteral("Nuovo"));
    Command10 = bottone(Frame1, Frame1->layout(), "Command10", QStringLiteral("Modifica"));
    Command6 = bottone(Frame1, Frame1->layout(), "Command6", QStringLiteral("Elimina"));
    Command1 = bottone(Frame1, Frame1->layout(), "Command1", QStringLiteral("Esporta archivio"));

    Frame2 = cornice(centro, "Frame2", QStringLiteral("Trova"));
    Command11 = bottone(Frame2, Frame2->layout(), "Command11", QStringLiteral("Scheda"));
    Command5 = bottone(Frame2, Frame2->layout(), "Command5", QStringLiteral("Nome"));
    Command9 = bottone(Frame2, Frame2->layout(), "Command9", QStringLiteral("Lista alfanum."));
    Command7 = bottone(Frame2, Frame2->layout(), "Command7", QStringLiteral("Lista num."));

    Frame3 = cornice(centro, "Frame3", QStringLiteral("Elenchi"));
    Command16 = bottone(Frame3, Frame3->layout(), "Command16", QStringLiteral("Alfabetico"));
    Command14 = bottone(Frame3, Frame3->layout(), "Command14", QStringLiteral("Numerico"));

    Frame4 = cornice(centro, "Frame4", QString());
    Command12 = bottone(Frame4, Frame4->layout(), "Command12", QStringLiteral("Calcolatrice"));
    Command3 = bottone(Frame4, Frame4->layout(), "Command3", QStringLiteral("Uscita"));

    griglia->addWidget(Frame1, 0, 0);
    griglia->addWidget(Frame2, 0, 1);
    griglia->addWidget(Frame3, 1, 0);
    griglia->addWidget(Frame4, 1, 1);
    main->addLayout(griglia);
    setCentralWidget(centro);

    connect(inse, &QAction::triggered, this, &Dbase::inse_Click);
    connect(Modi, &QAction::triggered, this, &Dbase::Modi_Click);
    connect(cance, &QAction::triggered, this, &Dbase::cance_Click);
    connect(Uscio, &QAction::triggered, this, &Dbase::Uscio_Click);
    connect(sch, &QAction::triggered, this, &Dbase::sch_Click);
    connect(Tro, &QAction::triggered, this, &Dbase::Tro_Click);
    connect(listalf, &QAction::triggered, this, &Dbase::listalf_Click);
    connect(lisnum, &QAction::triggered, this, &Dbase::lisnum_Click);
    connect(el, &QAction::triggered, this, &Dbase::el_Click);
    connect(elenum, &QAction::triggered, this, &Dbase::elenum_Click);
    connect(Cale, &QAction::triggered, this, &Dbase::Cale_Click);
    connect(aiut, &QAction::triggered, this, &Dbase::aiut_Click);

    connect(Command8, &QPushButton::clicked, this, &Dbase::Command8_Click);
    connect(Command10, &QPushButton::clicked, this, &Dbase::Command10_Click);
    connect(Command6, &QPushButton::clicked, this, &Dbase::Command6_Click);
    connect(Command1, &QPushButton::clicked, this, &Dbase::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &Dbase::Command3_Click);
    connect(Command11, &QPushButton::clicked, this, &Dbase::Command11_Click);
    connect(Command5, &QPushButton::clicked, this, &Dbase::Command5_Click);
    connect(Command9, &QPushButton::clicked, this, &Dbase::Command9_Click);
    connect(Command7, &QPushButton::clicked, this, &Dbase::Command7_Click);
    connect(Command16, &QPushButton::clicked, this, &Dbase::Command16_Click);
    connect(Command14, &QPushButton::clicked, this, &Dbase::Command14_Click);
    connect(Command12, &QPushButton::clicked, this, &Dbase::Command12_Click);

    m_keys = new KeyPreview(this, [this](QKeyEvent *e) { return Form_KeyDown(e); });
    Form_Load();
}

void Dbase::Form_Load()
{
    leggipercorso();
    db().FileClienti = db().Percorso + QStringLiteral("CLIENTI.DAT");
}

void Dbase::leggipercorso()
{
    db().Percorso = paths::readPercorso(QDir::currentPath());
}

bool Dbase::Form_KeyDown(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_F2:
        listalf_Click();
        return true;
    case Qt::Key_F4:
        inse_Click();
        return true;
    case Qt::Key_F9:
        Uscio_Click();
        return true;
    default:
        return false;
    }
}

// --- File ---

void Dbase::inse_Click()
{
    Inser form(this);
    form.nucli->setEnabled(false);
    // Creates the file when missing; errors here are passed over.
    const RegistryFile registry(db().FileClienti);
    registry.open();
    form.nucli->setText(QString::number(registry.count() + 1));
    form.setWindowTitle(QStringLiteral("Aggiorna"));
    db().NuovoCliente = 1;
    form.exec();
}

void Dbase::Modi_Click()
{
    db().NuovoCliente = 0;
    Inser form(this);
    form.exec();
}

void Dbase::cance_Click()
{
    canci1 prompt(this);
    prompt.exec();
}

void Dbase::Uscio_Click()
{
    if (chiedifine(QStringLiteral("(!)")))
        close();
}

// --- Trova ---

void Dbase::sch_Click()
{
    schei::mostra(this);
}

void Dbase::Tro_Click()
{
    Trovi search(this);
    search.exec();
}

void Dbase::listalf_Click()
{
    lists::Lista window(this);
    window.exec();
}

void Dbase::lisnum_Click()
{
    lists::Lista1 window(this);
    window.exec();
}

// --- Servizio ---

void Dbase::el_Click()
{
    lists::Elenchi window(this);
    window.exec();
}

void Dbase::elenum_Click()
{
    lists::Elenco window(this);
    window.exec();
}

void Dbase::Cale_Click()
{
    if (!launcher().start(QStringLiteral("Calc")))
        messages().msgBox(QStringLiteral("Calcolatrice non trovata"), style::Ok, QStringLiteral("ERRORE"));
}

void Dbase::aiut_Click()
{
    Heli help(this);
    help.exec();
}

void Dbase::mostrainfo()
{
    iNFO about(this);
    about.exec();
}

// --- Buttons ---

void Dbase::Command8_Click() { inse_Click(); }
void Dbase::Command10_Click() { Modi_Click(); }
void Dbase::Command6_Click() { cance_Click(); }
void Dbase::Command3_Click() { Uscio_Click(); }
void Dbase::Command11_Click() { sch_Click(); }
void Dbase::Command5_Click() { Tro_Click(); }
void Dbase::Command9_Click() { listalf_Click(); }
void Dbase::Command7_Click() { lisnum_Click(); }
void Dbase::Command16_Click() { el_Click(); }
void Dbase::Command14_Click() { elenum_Click(); }
void Dbase::Command12_Click() { Cale_Click(); }

void Dbase::Command1_Click()
{
    const int risposta = messages().msgBox(QStringLiteral("Esportare l'Archivio clienti ?\r\n\r\n"), style::YesNo,
                                           QStringLiteral("Esportazione"));
    if (risposta == answer::No)
        return;
    esporta();
}

void Dbase::esporta()
{
    const QString here = QDir::currentPath();
    const ExportResult r = esportaarchivio(db().FileClienti, leggidestinazione(here), here);
    switch (r.outcome) {
    case ExportResult::Empty:
        messages().msgBox(QStringLiteral("File anagrafiche Vuoto o inesistente !"), 256, QStringLiteral("ESPORTA"));
        break;
    case ExportResult::Failed:
        // Never reported as done: the earlier anag.txt, if any, is left as it was.
        messages().beep();
        messages().msgBox(r.path.isEmpty() ? r.error
                                           : QStringLiteral("Impossibile scrivere il file %1 : %2").arg(r.path, r.error),
                          style::Ok, QStringLiteral("ESPORTA"));
        break;
    case ExportResult::Written:
        messages().beep();
        messages().msgBox(QStringLiteral("Creato file 'Anag.txt' !"), 128, QStringLiteral("ESPORTA"));
        break;
    }
}

// --- Exit ---

bool Dbase::chiedifine(const QString &title)
{
    messages().beep();
    if (messages().msgBox(QStringLiteral("Lasciare il programma ?"), style::YesNo, title) == answer::No)
        return false;
    // A missing menu program does not keep database open.
    launcher().start(QStringLiteral("menu"));
    m_finito = true;
    return true;
}

void Dbase::closeEvent(QCloseEvent *event)
{
    if (!m_finito && !Form_QueryUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    emit terminato();
}

bool Dbase::Form_QueryUnload()
{
    return chiedifine(QStringLiteral("(Database Clienti)"));
}

} // namespace zorv::registry
