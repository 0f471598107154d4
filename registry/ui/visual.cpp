#include "visual.h"

#include "dbstate.h"
#include "scheda.h"
#include "registryfile.h"

#include "clock.h"
#include "fonts.h"
#include "keypreview.h"
#include "messages.h"
#include "printer.h"
#include "text.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace zorv::registry {

namespace {

QLabel *valore(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    l->setFont(fonts::fixedsys());
    l->setFrameShape(QFrame::Box);
    l->setStyleSheet(QStringLiteral("QLabel { color: #000080; background-color: #c0ffff; }"));
    l->setMinimumHeight(l->fontMetrics().height() + 6);
    return l;
}

QLabel *didascalia(QWidget *parent, const char *name, const QString &caption)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    l->setFont(fonts::msSansSerif());
    l->setFrameShape(QFrame::Box);
    l->setStyleSheet(QStringLiteral("QLabel { color: #ff0000; background-color: #c0c0c0; }"));
    return l;
}

QPushButton *bottone(QWidget *parent, const char *name, const QString &caption, QStyle::StandardPixmap icon)
{
    auto *b = new QPushButton(parent->style()->standardIcon(icon), caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QString campo(const Record &r, int offset, int width)
{
    return text::fromCp1252(r.bytes().mid(offset, width));
}

// Plays label lines on the printer, all in bold "arial"; a line of size 0 keeps the font
// in use.
void stampaRighe(Printer &p, const QList<LabelLine> &lines, double &size, bool &fontSet)
{
    for (const LabelLine &line : lines) {
        if (line.size > 0) {
            if (!fontSet || line.size != size)
                p.setFontSize(line.size);
            if (!fontSet) {
                p.setFontName(QStringLiteral("arial"));
                p.setBold(true);
                fontSet = true;
            }
            size = line.size;
        }
        if (line.emphasis)
            p.setEmphasis(true);
        p.printLine(line.text);
        if (line.emphasis)
            p.setEmphasis(false);
    }
}

} // namespace

Visual::Visual(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Visual"));
    setWindowTitle(QStringLiteral(" Scheda Cliente "));
    setModal(true);

    Etichetta2 = valore(this, "Etichetta2");
    Etichetta3 = valore(this, "Etichetta3");
    Etichetta1 = valore(this, "Etichetta1");
    Etichetta4 = valore(this, "Etichetta4");
    Etichetta8 = valore(this, "Etichetta8");
    Etichetta11 = valore(this, "Etichetta11");
    Etichetta5 = valore(this, "Etichetta5");
    Etichetta6 = valore(this, "Etichetta6");
    Etichetta7 = valore(this, "Etichetta7");
    Etichetta9 = valore(this, "Etichetta9");
    Etichetta10 = valore(this, "Etichetta10");

    // Rows from the top; each caption above its value.
    auto *g = new QGridLayout;
    auto metti = [&](QLabel *caption, QLabel *value, int row, int col, int span) {
        g->addWidget(caption, row * 2, col, 1, span);
        g->addWidget(value, row * 2 + 1, col, 1, span);
    };
    metti(didascalia(this, "Didascalia2", QStringLiteral("Cliente")), Etichetta2, 0, 0, 1);
    metti(didascalia(this, "Didascalia3", QStringLiteral("Cognome e Nome")), Etichetta3, 0, 1, 5);
    metti(didascalia(this, "Didascalia1", QStringLiteral("Indirizzo")), Etichetta1, 1, 0, 6);
    metti(didascalia(this, "Didascalia4", QStringLiteral("Citta'")), Etichetta4, 2, 0, 3);
    metti(didascalia(this, "Didascalia8", QStringLiteral("CAP")), Etichetta8, 2, 3, 2);
    metti(didascalia(this, "Didascalia11", QStringLiteral("Pr.")), Etichetta11, 2, 5, 1);
    metti(didascalia(this, "Didascalia5", QStringLiteral("Accessi")), Etichetta5, 3, 0, 2);
    metti(didascalia(this, "Didascalia6", QStringLiteral("Telefono")), Etichetta6, 4, 0, 3);
    metti(didascalia(this, "Didascalia7", QStringLiteral("Numero carta")), Etichetta7, 4, 3, 3);
    metti(didascalia(this, "Didascalia9", QStringLiteral("Accessi Effettuati")), Etichetta9, 5, 0, 3);
    metti(didascalia(this, "Didascalia10", QStringLiteral("Relay")), Etichetta10, 5, 5, 1);

    // The yearly values: filled, never shown.
    auto *nascosti = new QWidget(this);
    nascosti->setObjectName(QStringLiteral("Nascosti"));
    auto *gn = new QGridLayout(nascosti);
    gn->addWidget(didascalia(nascosti, "Didascalia12", QStringLiteral(" Anno     :")), 0, 0);
    const char *anni[6] = {"98", "99", "00", "01", "02", "03"};
    for (int i = 0; i < 6; ++i) {
        gn->addWidget(didascalia(nascosti, qPrintable(QStringLiteral("Anno%1").arg(i)), QLatin1String(anni[i])), 0, 1 + i);
        ordini[i] = valore(nascosti, qPrintable(QStringLiteral("Etichetta%1").arg(12 + i)));
        fatturato[i] = valore(nascosti, qPrintable(QStringLiteral("Etichetta%1").arg(19 + i)));
        gn->addWidget(ordini[i], 1, 1 + i);
        gn->addWidget(fatturato[i], 2, 1 + i);
    }
    gn->addWidget(didascalia(nascosti, "Didascalia13", QStringLiteral("Ordini   :")), 1, 0);
    gn->addWidget(didascalia(nascosti, "Didascalia14", QStringLiteral("Fatturato:")), 2, 0);
    gn->addWidget(didascalia(nascosti, "Didascalia15", QStringLiteral("(x 10 M.)")), 2, 7);
    nascosti->hide();

    Comando1 = bottone(this, "Comando1", QStringLiteral(" Cambia Scheda "), QStyle::SP_FileDialogContentsView);
    Comando3 = bottone(this, "Comando3", QStringLiteral("Stampa Scheda "), QStyle::SP_DialogSaveButton);
    Comando4 = bottone(this, "Comando4", QStringLiteral("Etichetta"), QStyle::SP_FileIcon);
    Comando2 = bottone(this, "Comando2", QStringLiteral(" Uscita "), QStyle::SP_DialogCloseButton);
    Comando5 = bottone(this, "Comando5", QStringLiteral("Etichetta spedizione"), QStyle::SP_FileLinkIcon);
    // The shipping labels stay behind a button that is not shown.
    Comando5->setVisible(false);
    auto *bottoni = new QGridLayout;
    bottoni->addWidget(Comando1, 0, 0);
    bottoni->addWidget(Comando3, 0, 1);
    bottoni->addWidget(Comando4, 1, 0);
    bottoni->addWidget(Comando2, 1, 1);
    bottoni->addWidget(Comando5, 0, 2, 2, 1);
    setTabOrder(Comando1, Comando4);
    setTabOrder(Comando4, Comando3);
    setTabOrder(Comando3, Comando2);

    auto *main = new QVBoxLayout(this);
    main->addLayout(g);
    main->addWidget(nascosti);
    main->addLayout(bottoni);

    connect(Comando1, &QPushButton::clicked, this, &Visual::Comando1_Click);
    connect(Comando2, &QPushButton::clicked, this, &Visual::Comando2_Click);
    connect(Comando3, &QPushButton::clicked, this, &Visual::Comando3_Click);
    connect(Comando4, &QPushButton::clicked, this, &Visual::Comando4_Click);
    connect(Comando5, &QPushButton::clicked, this, &Visual::Comando5_Click);

    m_keys = KeyPreview::closeOnEscF9(this);
    Comando1->setFocus();
    Form_Load();
}

void Visual::mostra(QWidget *parent)
{
    Visual card(parent);
    if (card.aperta())
        card.exec();
}

QList<QLabel *> Visual::valueLabels() const
{
    QList<QLabel *> out{Etichetta2, Etichetta3, Etichetta1, Etichetta4, Etichetta8, Etichetta11,
                        Etichetta5, Etichetta6, Etichetta7, Etichetta9, Etichetta10};
    for (int i = 0; i < 6; ++i)
        out << ordini[i] << fatturato[i];
    return out;
}

void Visual::Form_Load()
{
    const RegistryFile registry(db().FileClienti);
    QString error = registry.open();
    if (error.isEmpty()) {
        const int count = registry.count();
        if (db().NumCliente < 1 || db().NumCliente > count) {
            // No opener hands over such a number; refuse it as the change of customer does.
            messages().msgBox(clientiInArchivio(count), style::Ok, QStringLiteral("( Info )"));
            m_aperta = false;
            return;
        }
        if (mostrascheda(&error))
            return;
    }
    messages().msgBox(error, style::Ok, QStringLiteral("ERRORE"));
    m_aperta = false;
}

bool Visual::mostrascheda(QString *error)
{
    const RegistryFile registry(db().FileClienti);
    const int n = db().NumCliente;
    QString readError;
    const auto record = registry.read(n, &readError);
    if (!record) {
        *error = readError.isEmpty() ? clientiInArchivio(registry.count()) : readError;
        return false;
    }
    if (record->isDeleted()) {
        messages().msgBox(QStringLiteral("Il Cliente N. %1 e' stato cancellato").arg(n), style::Ok,
                          QStringLiteral("( Info )"));
        return true;
    }
    const Record &r = *record;
    Etichetta2->setText(numCliente(n));
    Etichetta3->setText(campo(r, fields::Nome.offset, fields::Nome.width));
    Etichetta1->setText(campo(r, fields::Indirizzo.offset, fields::Indirizzo.width));
    Etichetta4->setText(text::fromCp1252(r.citta()));
    Etichetta8->setText(campo(r, fields::CAP.offset, fields::CAP.width));
    Etichetta11->setText(campo(r, fields::Prov.offset, fields::Prov.width));
    Etichetta5->setText(campo(r, fields::Accessi.offset, fields::Accessi.width));
    Etichetta6->setText(campo(r, fields::Telefono.offset, fields::Telefono.width));
    Etichetta7->setText(campo(r, fields::NumeroCarta.offset, fields::NumeroCarta.width));
    Etichetta9->setText(campo(r, fields::AccessiEffettuati.offset, fields::AccessiEffettuati.width));
    Etichetta10->setText(campo(r, fields::Relay.offset, 3));
    for (int i = 0; i < 6; ++i) {
        ordini[i]->setText(text::fromCp1252(r.ordine(i)));
        fatturato[i]->setText(text::fromCp1252(r.fatturato(i)));
    }
    return true;
}

void Visual::puliscischeda()
{
    for (QLabel *l : valueLabels())
        l->setText(QString());
}

CardFields Visual::valori() const
{
    CardFields c;
    c.numero = Etichetta2->text();
    c.nome = Etichetta3->text();
    c.indirizzo = Etichetta1->text();
    c.citta = Etichetta4->text();
    c.cap = Etichetta8->text();
    c.prov = Etichetta11->text();
    c.accessi = Etichetta5->text();
    c.telefono = Etichetta6->text();
    c.carta = Etichetta7->text();
    return c;
}

void Visual::Comando1_Click()
{
    {
        scheda prompt(this);
        prompt.exec();
    }
    if (db().NumCliente == 0)
        return;
    const RegistryFile registry(db().FileClienti);
    QString error = registry.open();
    if (error.isEmpty()) {
        const int count = registry.count();
        if (db().NumCliente > count) {
            messages().msgBox(clientiInArchivio(count), style::Ok, QStringLiteral("( Info )"));
            return;
        }
        puliscischeda();
        if (mostrascheda(&error))
            return;
    }
    messages().msgBox(error, style::Ok, QStringLiteral("ERRORE"));
}

void Visual::Comando2_Click()
{
    close();
}

bool Visual::mostraCliente() const
{
    return !text::trimSpaces(QString(Etichetta3->text() + Etichetta4->text() + Etichetta5->text())).isEmpty();
}

bool Visual::preparaStampa() const
{
    // A card without a customer prints nothing; a cancelled dialog ends the print silently.
    return mostraCliente() && printer().begin();
}

void Visual::Comando3_Click()
{
    if (!preparaStampa())
        return;
    printer().printImage(grab().toImage());
    concludiStampa();
}

void Visual::concludiStampa()
{
    const QString error = printer().end();
    if (!error.isEmpty()) {
        messages().beep();
        messages().msgBox(error, style::Ok, QStringLiteral("ERRORE"));
    }
}

void Visual::Comando4_Click()
{
    if (!preparaStampa())
        return;
    stampaindirizzo();
}

void Visual::Comando5_Click()
{
    if (!preparaStampa())
        return;
    stampaspedizione();
}

void Visual::stampaindirizzo()
{
    double size = 0;
    bool fontSet = false;
    stampaRighe(printer(), addressLabel(valori()), size, fontSet);
    // A label the printer refused is not taken as printed.
    concludiStampa();
}

void Visual::stampaspedizione()
{
    const QString ordine = messages().inputBox(QStringLiteral("Digita numero ordine"), QStringLiteral("Numero ordine"));
    if (ordine.isEmpty())
        return;
    const int copie = shippingCopies(
        messages().inputBox(QStringLiteral("Digita numero Copie"), QStringLiteral("Copie Etichetta")));
    if (copie < 1)
        return;
    // From here on a failing step is passed over: the labels print all the same.
    const Sender sender = readSender(db().Percorso);
    const CardFields card = valori();
    double size = 0;
    bool fontSet = false;
    for (int copia = 1; copia <= copie; ++copia) {
        stampaRighe(printer(), shippingLabel(card, sender, ordine, [] { return clock().now(); }), size, fontSet);
        printer().newPage();
    }
    printer().end();
}

} // namespace zorv::registry
