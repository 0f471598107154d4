#include "inser.h"

#include "dbstate.h"
#include "entrysave.h"
#include "registryfile.h"
#include "tastiera.h"

#include "fonts.h"
#include "keypreview.h"
#include "messages.h"
#include "numbers.h"
#include "text.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>


namespace zorv::registry {

namespace {

const char *const kLunghezza = "lunghezza"; // the box's design maximum length

QByteArray cp(const QLineEdit *box) { return text::toCp1252(box->text()); }

QLabel *etichetta(QWidget *parent, const char *name, const QString &caption)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

Inser::Inser(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Inser"));
    setWindowTitle(QStringLiteral("Modifica"));
    setModal(true);

    auto *griglia = new QGridLayout;
    int riga = 0;
    auto aggiungi = [&](const char *labelName, const QString &caption, QLineEdit *edit, int span = 3) {
        griglia->addWidget(etichetta(this, labelName, caption), riga, 0);
        griglia->addWidget(edit, riga, 1, 1, span);
        ++riga;
    };

    // Created in focus order, so Tab follows the Enter chain.
    nucli = box("nucli", 4);
    // The number is also set by the program (" 10000" is possible): the limit of four
    // digits holds for typing only, in the key filter.
    nucli->setMaxLength(32767);
    aggiungi("Etichetta1", QStringLiteral("Cliente"), nucli, 1);
    rsoc = box("rsoc", 40);
    aggiungi("Etichetta2", QStringLiteral("Cognome  e  Nome"), rsoc);
    indir = box("indir", 45);
    aggiungi("Etichetta3", QStringLiteral("Indirizzo"), indir);
    Citta = box("Citta", 24);
    aggiungi("Etichetta4", QStringLiteral("Citta'"), Citta);
    tlx = box("tlx", 15);
    c89 = box("c89", 2);
    griglia->addWidget(etichetta(this, "Etichetta5", QStringLiteral("CAP")), riga, 0);
    griglia->addWidget(tlx, riga, 1);
    griglia->addWidget(etichetta(this, "Etichetta6", QStringLiteral("Pr.")), riga, 2, Qt::AlignRight);
    griglia->addWidget(c89, riga, 3);
    ++riga;
    stato = box("stato", 11);
    aggiungi("Etichetta7", QStringLiteral("Accessi"), stato, 1);
    tel = box("tel", 15);
    aggiungi("Etichetta8", QStringLiteral("Telefono"), tel, 1);
    fax = box("fax", 15);
    aggiungi("Etichetta9", QStringLiteral("Numero carta"), fax, 1);
    contatto = box("contatto", 7);
    aggiungi("Etichetta10", QStringLiteral("Accessi Effettuati"), contatto, 1);
    fatturat = box("fatturat", 1);
    aggiungi("Etichetta11", QStringLiteral("Relay"), fatturat, 1);

    auto *bottoni = new QHBoxLayout;
    Comando1 = new QPushButton(QStringLiteral("Salva"), this);
    Comando1->setObjectName(QStringLiteral("Comando1"));
    Comando2 = new QPushButton(QStringLiteral(" Cancella "), this);
    Comando2->setObjectName(QStringLiteral("Comando2"));
    Comando3 = new QPushButton(QStringLiteral(" Uscita "), this);
    Comando3->setObjectName(QStringLiteral("Comando3"));
    for (QPushButton *b : {Comando1, Comando2, Comando3})
        bottoni->addWidget(b);

    // Below the visible part of the window: never seen nor edited, they carry Ordini
    // and Fatturato from loading to saving.
    auto *nascosti = new QWidget(this);
    nascosti->setObjectName(QStringLiteral("Nascosti"));
    auto *g2 = new QGridLayout(nascosti);
    g2->addWidget(etichetta(nascosti, "Etichetta12", QStringLiteral("Anno     :")), 0, 0);
    g2->addWidget(etichetta(nascosti, "Etichetta13", QStringLiteral(" 98   99   00   01   02   03")), 0, 1, 1, 6);
    g2->addWidget(etichetta(nascosti, "Etichetta14", QStringLiteral("Ordini   :")), 1, 0);
    g2->addWidget(etichetta(nascosti, "Etichetta15", QStringLiteral("Fatturato:")), 2, 0);
    g2->addWidget(etichetta(nascosti, "Etichetta16", QStringLiteral("(x 10 M.)")), 2, 7);
    for (int i = 0; i < 6; ++i) {
        c9x[i] = box(qPrintable(QStringLiteral("c9%1").arg(i)), 2);
        f9x[i] = box(qPrintable(QStringLiteral("f9%1").arg(i)), 2);
        c9x[i]->setParent(nascosti);
        f9x[i]->setParent(nascosti);
        g2->addWidget(c9x[i], 1, 1 + i);
        g2->addWidget(f9x[i], 2, 1 + i);
    }
    nascosti->hide();

    auto *main = new QVBoxLayout(this);
    main->addLayout(griglia);
    main->addLayout(bottoni);
    main->addWidget(nascosti);

    connect(Comando1, &QPushButton::clicked, this, &Inser::Comando1_Click);
    connect(Comando2, &QPushButton::clicked, this, &Inser::Comando2_Click);
    connect(Comando3, &QPushButton::clicked, this, &Inser::Comando3_Click);

    m_keys = new KeyPreview(this, [this](QKeyEvent *e) { return Form_KeyDown(e); });
    Form_Load();
}

QLineEdit *Inser::box(const char *name, int maxLength)
{
    auto *e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    e->setMaxLength(maxLength);
    e->setProperty(kLunghezza, maxLength);
    e->setFont(fonts::fixedsys());
    if (maxLength <= 4)
        e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QString(maxLength + 3, u'W')));
    e->installEventFilter(this);
    return e;
}

void Inser::Form_Load()
{
    NumRecord = 0;
}

bool Inser::Form_KeyDown(QKeyEvent *e)
{
    if (e->key() == Qt::Key_F9) {
        close();
        return true;
    }
    return false;
}

void Inser::keyPressEvent(QKeyEvent *e)
{
    // Esc and Enter belong to the boxes' own chain, never to the dialog's defaults.
    if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool Inser::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int c = codiceCarattere(static_cast<QKeyEvent *>(event));
    if (c < 0)
        return false;
    if (watched == nucli)
        return nucli_KeyPress(c);
    if (watched == fatturat)
        return fatturat_KeyPress(c);
    if (auto *edit = qobject_cast<QLineEdit *>(watched))
        return catena_KeyPress(edit, c);
    return false;
}

bool Inser::nucli_KeyPress(int c)
{
    if (c == kEnter) {
        caricacliente();
        return true;
    }
    if (c == kBackspace)
        return false;
    if (!cifra(c))
        return true;
    return nucli->text().size() - nucli->selectedText().size() >= nucli->property(kLunghezza).toInt();
}

bool Inser::fatturat_KeyPress(int c)
{
    if (c == '1' || c == '2' || c == kBackspace)
        return false;
    if (c < '1')
        Comando1->setFocus();
    else
        contatto->setFocus();
    return true;
}

bool Inser::catena_KeyPress(QLineEdit *edit, int c)
{
    struct Passo {
        QLineEdit *box;
        QLineEdit *enter;
        QLineEdit *esc; // nullptr: Esc is not handled
    };
    const Passo catena[] = {
        {rsoc, indir, nullptr}, {indir, Citta, rsoc},   {Citta, tlx, indir},  {tlx, c89, Citta},
        {c89, stato, tlx},      {stato, tel, c89},      {tel, fax, stato},    {fax, contatto, tel},
        {contatto, fatturat, fax},
    };
    for (const Passo &p : catena) {
        if (p.box != edit)
            continue;
        if (c == kEnter) {
            p.enter->setFocus();
            return true;
        }
        if (c == kEsc && p.esc) {
            p.esc->setFocus();
            return true;
        }
        if (edit == stato)
            return !(cifra(c) || c == 'D' || c == 'd' || c == '-' || c == kBackspace);
        if (edit == contatto)
            return !(cifra(c) || c == kBackspace);
        return false;
    }
    return false;
}

QList<QLineEdit *> Inser::campi() const
{
    QList<QLineEdit *> out{rsoc, indir, Citta, tlx, c89, stato, tel, fax, contatto, fatturat};
    for (QLineEdit *e : c9x)
        out.append(e);
    for (QLineEdit *e : f9x)
        out.append(e);
    return out;
}

int Inser::numeroBox() const
{
    const double v = numbers::leadingNumber(QStringView(nucli->text()));
    if (!(v > 0))
        return 0;
    if (v > 99999)
        return 99999; // above any count: refused like every number past the end
    return int(numbers::roundHalfEven(v, 0, 99999).value_or(0));
}

void Inser::puliscicampi()
{
    for (QLineEdit *e : campi()) {
        e->clear();
        e->setMaxLength(e->property(kLunghezza).toInt());
    }
}

void Inser::mostrarecord()
{
    auto mostra = [](QLineEdit *e, const QByteArray &bytes) {
        const QString v = text::fromCp1252(text::trimSpaces(bytes));
        // A stored value longer than the box allows is shown whole, never cut.
        e->setMaxLength(qMax(e->property(kLunghezza).toInt(), int(v.size())));
        e->setText(v);
    };
    mostra(rsoc, m_buffer.raw(fields::Nome));
    mostra(indir, m_buffer.raw(fields::Indirizzo));
    mostra(Citta, m_buffer.citta());
    mostra(stato, m_buffer.raw(fields::Accessi));
    mostra(tel, m_buffer.raw(fields::Telefono));
    mostra(fax, m_buffer.raw(fields::NumeroCarta));
    mostra(tlx, m_buffer.raw(fields::CAP));
    mostra(contatto, m_buffer.raw(fields::AccessiEffettuati));
    mostra(c89, m_buffer.raw(fields::Prov));
    for (int i = 0; i < 6; ++i) {
        mostra(c9x[i], m_buffer.ordine(i));
        mostra(f9x[i], m_buffer.fatturato(i));
    }
    mostra(fatturat, m_buffer.relay());
}

void Inser::caricacliente()
{
    puliscicampi();
    const RegistryFile registry(db().FileClienti);
    auto errore = [](const QString &text) {
        messages().beep();
        messages().msgBox(text, style::Ok, QStringLiteral("ERRORE"));
    };
    QString error = registry.open();
    if (!error.isEmpty()) {
        errore(error);
        return;
    }
    const int n = numeroBox();
    const int count = registry.count();
    if (n > count) {
        messages().beep();
        messages().msgBox(QStringLiteral("L'archivio contiene %1 Clienti").arg(count), style::Ok,
                          QStringLiteral("( Info )"));
        nucli->clear();
        nucli->setFocus();
        return;
    }
    if (n == 0) {
        nucli->clear();
        nucli->setFocus();
        return;
    }
    const auto record = registry.read(n, &error);
    if (!record) {
        errore(error.isEmpty() ? QStringLiteral("Lettura del cliente %1 non riuscita").arg(n) : error);
        return;
    }
    m_buffer = *record;
    const bool cancellato = m_buffer.isDeleted();
    if (cancellato) {
        const int risposta = messages().msgBox(
            QStringLiteral("Cliente cancellato. Assegnare il numero %1 ad un nuovo Cliente ?").arg(n), style::YesNo,
            QStringLiteral("( Info )"));
        if (risposta == answer::No) {
            nucli->clear();
            nucli->setFocus();
            return;
        }
        m_buffer = Record();
    }
    mostrarecord();
    m_caricato = recordModulo();
    m_riassegnato = cancellato;
    NumRecord = n;
    rsoc->setFocus();
}

void Inser::Comando1_Click()
{
    if (!creditAccepted(stato->text())) {
        messages().beep();
        messages().msgBox(QStringLiteral("Data Accessi non corretta"), style::Ok, QStringLiteral("( Info )"));
        stato->setFocus();
        return;
    }

    const bool nuovo = db().NuovoCliente == 1;
    const int n = numeroBox();
    if (nuovo)
        NumRecord = n;
    EntryForm modulo;
    modulo.mode = nuovo ? EntryMode::New : m_riassegnato ? EntryMode::Reassign : EntryMode::Change;
    modulo.typedNumber = n;
    modulo.loadedNumber = NumRecord;
    modulo.name = rsoc->text();
    modulo.city = Citta->text();

    switch (checkEntryNumber(modulo)) {
    case EntryCheck::RegistryFull:
        messages().beep();
        messages().msgBox(
            QStringLiteral("L'archivio e' pieno: non si possono inserire piu' di %1 Clienti").arg(kMaxCustomers),
            style::Ok, QStringLiteral("( Info )"));
        return;
    case EntryCheck::OtherNumber:
        caricacliente();
        return;
    case EntryCheck::NothingLoaded:
        // Nothing loaded: say so and keep what was typed.
        messages().msgBox(QStringLiteral("Nessun cliente caricato: digitare il numero del Cliente e premere Invio"),
                          style::Ok, QStringLiteral("( Info )"));
        nucli->setFocus();
        return;
    default:
        break;
    }

    for (QLineEdit *e : c9x)
        e->setText(text::fromCp1252(text::padRight(text::trimSpaces(cp(e)), 2)));
    for (QLineEdit *e : f9x)
        e->setText(text::fromCp1252(text::padRight(text::trimSpaces(cp(e)), 2)));

    switch (checkEntryFields(modulo)) {
    case EntryCheck::NameMissing:
        messages().msgBox(QStringLiteral("Inserire la Ragione Sociale"), style::Ok, QStringLiteral("( Info )"));
        rsoc->setFocus();
        return;
    case EntryCheck::CityMissing:
        messages().beep();
        messages().msgBox(QStringLiteral("Inserire la Citta'"), style::Ok, QStringLiteral("( Info )"));
        Citta->setFocus();
        return;
    default:
        break;
    }

    const Record record = recordModulo();
    const RegistryFile registry(db().FileClienti);

    auto errore = [this](const QString &text) {
        // Nothing was written: the form keeps everything typed, so the save can be retried.
        messages().beep();
        messages().msgBox(text, style::Ok, QStringLiteral("ERRORE"));
        Comando1->setFocus();
    };

    const NameCheck nome = checkName(registry, modulo.mode, record);
    switch (nome.outcome) {
    case NameCheck::Free:
        break;
    case NameCheck::OnFile:
        messages().beep();
        if (messages().msgBox(QStringLiteral("Il cliente %1 esiste, vuoi forzare ?").arg(text::fromCp1252(nome.name)),
                              style::YesNo, QStringLiteral("(!)"))
            == answer::No)
            return;
        break;
    case NameCheck::Failed:
        errore(nome.error);
        return;
    }

    const EntrySave esito = saveEntry(registry, NumRecord, modulo.mode, m_caricato, record);
    auto info = [this](const QString &text) {
        messages().beep();
        messages().msgBox(text, style::Ok, QStringLiteral("( Info )"));
        Comando1->setFocus();
    };
    switch (esito.outcome) {
    case EntrySave::Written:
        break;
    case EntrySave::NumberTaken:
        // Another operator on the same data folder appended a customer since the number
        // was given: the form moves on to the next free number and keeps what was typed.
        info(QStringLiteral("Il numero %1 e' stato assegnato nel frattempo: il nuovo Cliente avra' il numero %2")
                 .arg(NumRecord)
                 .arg(esito.freeNumber));
        nucli->setText(QString::number(esito.freeNumber));
        return;
    case EntrySave::NumberInUse:
        info(QStringLiteral("Il numero %1 e' stato assegnato nel frattempo ad un altro Cliente: nulla e' stato salvato")
                 .arg(NumRecord));
        return;
    case EntrySave::Deleted:
        info(QStringLiteral("Il Cliente N. %1 e' stato cancellato nel frattempo: nulla e' stato salvato").arg(NumRecord));
        return;
    case EntrySave::Failed:
        errore(esito.error);
        return;
    }
    NumRecord = 0;
    nucli->setText(QStringLiteral(" %1").arg(n + 1));
    Comando2_Click();
}

Record Inser::recordModulo() const
{
    CustomerInput in;
    in.nome = cp(rsoc);
    in.indirizzo = cp(indir);
    in.citta = cp(Citta);
    in.accessi = cp(stato);
    in.telefono = cp(tel);
    in.cap = cp(tlx);
    in.accessiEffettuati = cp(contatto);
    in.relay = cp(fatturat);
    in.numeroCarta = cp(fax);
    in.prov = cp(c89);
    for (int i = 0; i < 6; ++i) {
        in.ordini[i] = cp(c9x[i]);
        in.fatturato[i] = cp(f9x[i]);
    }
    return Record::compose(in);
}

void Inser::Comando2_Click()
{
    NumRecord = 0;
    if (nucli->isEnabled())
        nucli->clear();
    puliscicampi();
    if (nucli->isEnabled())
        nucli->setFocus();
    else
        rsoc->setFocus();
}

void Inser::Comando3_Click()
{
    close();
}

} // namespace zorv::registry
