#include "elenchi.h"

#include "dbstate.h"
#include "filterprompt.h"
#include "keypreview.h"
#include "listprint.h"
#include "listsupport.h"
#include "messages.h"
#include "minmax.h"
#include "printer.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace zorv::registry::lists {

namespace {

const QString kErrore = QStringLiteral("ERRORE");

} // namespace

ElencoWindow::ElencoWindow(QWidget *parent, Layout layout, const char *name, const QString &caption)
    : QDialog(parent), m_layout(layout)
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
    setModal(true);

    Etichetta2 = new QLabel(this);
    Etichetta2->setObjectName(QStringLiteral("Etichetta2"));
    styleInfo(Etichetta2);
    Etichetta3 = new QLabel(this);
    Etichetta3->setObjectName(QStringLiteral("Etichetta3"));
    styleInfo(Etichetta3);
    Etichetta1 = new QLabel(this);
    Etichetta1->setObjectName(QStringLiteral("Etichetta1"));
    styleHeader(Etichetta1, header(layout));

    riepilogo1 = new QListView(this);
    riepilogo1->setObjectName(QStringLiteral("riepilogo1"));
    m_list = new CustomerListBox(riepilogo1, layout, this);
    riepilogo1->setMinimumWidth(QFontMetrics(riepilogo1->font()).horizontalAdvance(QString(78, QLatin1Char('W'))));
    riepilogo1->setMinimumHeight(QFontMetrics(riepilogo1->font()).lineSpacing() * 20);

    const auto button = [this](const char *objectName, const QString &text, QStyle::StandardPixmap icon) {
        auto *b = new QPushButton(style()->standardIcon(icon), text, this);
        b->setObjectName(QString::fromLatin1(objectName));
        return b;
    };
    Comando1 = button("Comando1", QStringLiteral(" Totale "), QStyle::SP_FileDialogListView);
    Comando2 = button("Comando2", QStringLiteral(" Stato "), QStyle::SP_FileDialogDetailedView);
    Comando3 = button("Comando3", QStringLiteral(" Citta'"), QStyle::SP_DirHomeIcon);
    Comando4 = button("Comando4", QStringLiteral(" Stampa "), QStyle::SP_FileIcon);
    Comando5 = button("Comando5", QStringLiteral(" Etichette "), QStyle::SP_FileDialogContentsView);
    Comando6 = button("Comando6", QStringLiteral(" Uscita "), QStyle::SP_DialogCloseButton);
    Comando2->setVisible(false);

    auto *info = new QHBoxLayout;
    info->addWidget(Etichetta2);
    info->addWidget(Etichetta3, 1);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {Comando1, Comando2, Comando3, Comando4, Comando5, Comando6})
        buttons->addWidget(b);
    auto *main = new QVBoxLayout(this);
    main->addLayout(info);
    main->addWidget(Etichetta1);
    main->addWidget(riepilogo1, 1);
    main->addLayout(buttons);

    setTabOrder(Comando1, Comando2);
    setTabOrder(Comando2, Comando3);
    setTabOrder(Comando3, Comando4);
    setTabOrder(Comando4, Comando5);
    setTabOrder(Comando5, Comando6);
    setTabOrder(Comando6, riepilogo1);
    Comando1->setFocus();

    connect(Comando1, &QPushButton::clicked, this, &ElencoWindow::Comando1_Click);
    connect(Comando2, &QPushButton::clicked, this, &ElencoWindow::Comando2_Click);
    connect(Comando3, &QPushButton::clicked, this, &ElencoWindow::Comando3_Click);
    connect(Comando4, &QPushButton::clicked, this, &ElencoWindow::Comando4_Click);
    connect(Comando5, &QPushButton::clicked, this, &ElencoWindow::Comando5_Click);
    connect(Comando6, &QPushButton::clicked, this, &ElencoWindow::Comando6_Click);
    m_keys = new KeyPreview(this, [this](QKeyEvent *e) { return Form_KeyDown(e); });
}

ElencoWindow::~ElencoWindow() = default;

bool ElencoWindow::Form_KeyDown(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape && event->key() != Qt::Key_F9)
        return false;
    close();
    return true;
}

void ElencoWindow::reject()
{
    if (m_busy)
        return;
    QDialog::reject();
}

void ElencoWindow::closeEvent(QCloseEvent *event)
{
    // The labels being printed finish first.
    if (m_busy) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ElencoWindow::errore(const QString &text)
{
    messages().msgBox(text, style::Ok, kErrore);
}

bool ElencoWindow::preparaelenco()
{
    Etichetta2->clear();
    Etichetta3->clear();
    m_list->clear();
    const QString why = registryOpenError(db().FileClienti);
    if (!why.isEmpty()) {
        errore(why);
        return false;
    }
    return true;
}

bool ElencoWindow::riempi(const Filter &filter)
{
    const Listing listing = listRegistry(db().FileClienti, m_layout, filter);
    m_list->setLines(listing.lines);
    if (!listing.error.isEmpty()) {
        errore(listing.error);
        return false;
    }
    return true;
}

void ElencoWindow::elencatotale()
{
    Etichetta2->setText(QStringLiteral(" Totale"));
    if (!riempi({}))
        return;
    Etichetta3->setText(totalCaption(m_list->count()));
    if (m_list->count() > 0)
        riepilogo1->setFocus();
}

bool ElencoWindow::elencafiltro(const Filter &filter)
{
    Etichetta3->setText(filter.value);
    if (!riempi(filter))
        return false;
    Etichetta3->setText(filteredCaption(filter.value, m_list->count()));
    if (m_list->count() > 0) {
        riepilogo1->setFocus();
        return false;
    }
    Etichetta2->clear();
    Etichetta3->clear();
    messages().beep();
    return true;
}

void ElencoWindow::elencacitta()
{
    const QString city = db().CittaScelta;
    Etichetta2->setText(QStringLiteral(" Citta' :"));
    if (elencafiltro({Filter::City, city}))
        messages().msgBox(QStringLiteral("Citta': ") + city + QStringLiteral(" non presente in archivio"), style::Ok,
                          QStringLiteral("( Info )"));
}

void ElencoWindow::elencastato()
{
    elencafiltro({Filter::Stato, db().StatoScelto});
}

void ElencoWindow::Comando1_Click()
{
    if (m_busy || !preparaelenco())
        return;
    elencatotale();
}

template <class Prompt>
bool ElencoWindow::chiedifiltro(QString &variable)
{
    if (m_busy || !preparaelenco())
        return false;
    variable.clear();
    Prompt prompt(this);
    prompt.exec();
    return !variable.isEmpty();
}

void ElencoWindow::Comando2_Click()
{
    if (chiedifiltro<Statin>(db().StatoScelto))
        elencastato();
}

void ElencoWindow::Comando3_Click()
{
    if (chiedifiltro<City>(db().CittaScelta))
        elencacitta();
}

Printer *ElencoWindow::chiediintervallo(double *from, double *to)
{
    if (m_busy || m_list->count() == 0)
        return nullptr;
    Printer &out = printer();
    if (!out.begin())
        return nullptr;
    Minmax range(this);
    range.preset(m_list->count());
    range.exec();
    if (range.from() == 0) {
        // Nothing was printed: ending the document sends no page.
        out.end();
        return nullptr;
    }
    *from = range.from();
    *to = range.to();
    return &out;
}

void ElencoWindow::Comando4_Click()
{
    double from = 0;
    double to = 0;
    Printer *device = chiediintervallo(&from, &to);
    if (!device)
        return;
    Printer &out = *device;
    ListPrint job;
    job.listed = Etichetta2->text();
    job.filter = Etichetta3->text();
    job.lines = m_list->lines();
    job.layout = m_layout;
    job.from = from;
    job.to = to;
    job.fileClienti = db().FileClienti;
    QString why;
    switch (printList(out, job, &why)) {
    case PrintResult::Printed:
        break;
    case PrintResult::Refused:
        rangeRefused();
        break;
    case PrintResult::Failed:
        errore(why);
        break;
    }
    const QString ended = out.end();
    if (!ended.isEmpty())
        errore(ended);
}

void ElencoWindow::Comando5_Click()
{
    double from = 0;
    double to = 0;
    Printer *device = chiediintervallo(&from, &to);
    if (!device)
        return;
    Printer &out = *device;
    const QString why = registryOpenError(db().FileClienti);
    if (!why.isEmpty()) {
        errore(why);
        out.end();
        return;
    }
    const QStringList lines = m_list->lines();
    if (!rangeAccepted(from, to, int(lines.size()))) {
        rangeRefused();
        out.end();
        return;
    }
    m_labels = std::make_unique<LabelPrintJob>(out, numbersInRange(lines, m_layout, from, to),
                                               db().FileClienti, m_labelPauseMs);
    setBusy(true);
    m_labels->start([this, device](const QString &error) {
        if (!error.isEmpty())
            errore(error);
        const QString ended = device->end();
        if (!ended.isEmpty())
            errore(ended);
        setBusy(false);
    });
}

void ElencoWindow::Comando6_Click()
{
    close();
}

void ElencoWindow::setBusy(bool on)
{
    m_busy = on;
    for (QPushButton *b : {Comando1, Comando2, Comando3, Comando4, Comando5, Comando6})
        b->setEnabled(!on);
    // The list too: the card opened from it prints on the same printer.
    riepilogo1->setEnabled(!on);
    if (on) {
        setCursor(Qt::BusyCursor);
    } else {
        unsetCursor();
        riepilogo1->setFocus();
    }
}

Elenchi::Elenchi(QWidget *parent)
    : ElencoWindow(parent, Layout::Elenchi, "Elenchi", QStringLiteral(" Elenco in Ordine Alfabetico"))
{
}

Elenco::Elenco(QWidget *parent)
    : ElencoWindow(parent, Layout::Elenco, "Elenco", QStringLiteral(" Elenco in Ordine Numerico"))
{
}

} // namespace zorv::registry::lists
