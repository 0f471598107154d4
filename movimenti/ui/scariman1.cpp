#include "scariman1.h"

#include "clock.h"
#include "keycodes.h"
#include "launcher.h"
#include "messages.h"
#include "numbers.h"
#include "printer/printer.h"
#include "printlist.h"
#include "text.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace zorv::movimenti {
namespace {

QString cssColour(quint32 bgr)
{
    return QStringLiteral("#%1%2%3")
        .arg(bgr & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((bgr >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((bgr >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

QLabel *colouredLabel(const QString &name, const QString &caption, quint32 back, quint32 fore, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    QString css = QStringLiteral("background-color: %1;").arg(cssColour(back));
    if (fore != colour::Default)
        css += QStringLiteral(" color: %1;").arg(cssColour(fore));
    label->setStyleSheet(css);
    label->setMargin(2);
    return label;
}

QPushButton *button(const QString &name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// Keys that type a character (Enter, Backspace and printable text included), and Tab,
// which the entry boxes handle themselves; moving and deleting keys and Shift+Tab are
// not among them.
bool typesCharacter(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Tab || keycode::typed(event) >= 0;
}

} // namespace

Scariman1::Scariman1(const QString &percorso, QWidget *parent) : QWidget(parent), m_program(percorso)
{
    setObjectName(QStringLiteral("scariman1"));
    setWindowTitle(QStringLiteral("Movimenti"));

    m_grid = new GridView(m_program.grid(), this);

    auto *command12 = button(QStringLiteral("Command12"), QStringLiteral("Tutti i Movimenti"), this);
    auto *sortFrame = new QGroupBox(QStringLiteral("Ordina per:"), this);
    auto *sortLayout = new QVBoxLayout(sortFrame);
    struct SortButton {
        const char *name;
        const char *caption;
        void (Scariman1::*handler)();
    };
    static const SortButton sorts[] = {
        {"Command10", "Data/Ora", &Scariman1::Command10_Click},
        {"Command9", "Numero Cliente", &Scariman1::Command9_Click},
        {"Command8", "Nome", &Scariman1::Command8_Click},
        {"Command7", "Numero Carta", &Scariman1::Command7_Click},
        {"Command11", "Porta", &Scariman1::Command11_Click},
    };
    for (const SortButton &s : sorts) {
        auto *b = button(QString::fromLatin1(s.name), QString::fromLatin1(s.caption), sortFrame);
        sortLayout->addWidget(b);
        connect(b, &QPushButton::clicked, this, s.handler);
    }
    auto *command2 = button(QStringLiteral("Command2"), QStringLiteral("Stampa Lista"), this);
    auto *command3 = button(QStringLiteral("Command3"), QStringLiteral("Data Base Utenti"), this);
    auto *command6 = button(QStringLiteral("Command6"), QStringLiteral("Elimina Tabella"), this);
    auto *command1 = button(QStringLiteral("Command1"), QStringLiteral("Uscita"), this);

    auto *side = new QVBoxLayout;
    side->addWidget(command12);
    side->addWidget(sortFrame);
    side->addWidget(command2);
    side->addWidget(command3);
    side->addWidget(command6);
    side->addStretch(1);
    side->addWidget(command1);

    auto *top = new QHBoxLayout;
    top->addWidget(m_grid, 1);
    top->addLayout(side);

    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setMaxLength(30);
    m_text2 = new QLineEdit(this);
    m_text2->setObjectName(QStringLiteral("Text2"));
    m_text2->setMaxLength(10);
    m_text1->installEventFilter(this);
    m_text2->installEventFilter(this);
    auto *quantityLabel = new QLabel(QStringLiteral("Quantit\u00e0"), this);
    auto *entry = new QGridLayout;
    entry->addWidget(m_text1, 0, 0, 1, 2);
    entry->addWidget(quantityLabel, 1, 0);
    entry->addWidget(m_text2, 1, 1);

    auto *options = new QGroupBox(QStringLiteral("Opzioni"), this);
    auto *optionsLayout = new QVBoxLayout(options);
    m_check1 = new QCheckBox(QStringLiteral("Non avvertire per \"QTA negative\""), options);
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_check2 = new QCheckBox(QStringLiteral("Non avvertire per \"Codice Inesistente\""), options);
    m_check2->setObjectName(QStringLiteral("Check2"));
    m_check3 = new QCheckBox(QStringLiteral("Crea record per \"Articoli non presenti\""), options);
    m_check3->setObjectName(QStringLiteral("Check3"));
    optionsLayout->addWidget(m_check1);
    optionsLayout->addWidget(m_check2);
    optionsLayout->addWidget(m_check3);
    connect(m_check1, &QCheckBox::clicked, this, &Scariman1::Check1_Click);
    connect(m_check2, &QCheckBox::clicked, this, &Scariman1::Check2_Click);

    m_label7 = colouredLabel(QStringLiteral("Label7"), QString(), colour::Navy, colour::Yellow, this);
    m_label4 = colouredLabel(QStringLiteral("Label4"), QString(), colour::Navy, colour::Yellow, this);
    m_label6 = colouredLabel(QStringLiteral("Label6"), QString(), colour::Navy, colour::Yellow, this);
    for (QLabel *l : {m_label7, m_label4, m_label6})
        l->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00-00-0000")) + 8);
    auto *label1 = new QLabel(QStringLiteral("File Movimenti = MOV.TXT"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    auto *info = new QGridLayout;
    info->addWidget(new QLabel(QStringLiteral("Righe:"), this), 0, 0);
    info->addWidget(m_label7, 0, 1);
    info->addWidget(new QLabel(QStringLiteral("Data:"), this), 1, 0);
    info->addWidget(m_label4, 1, 1);
    info->addWidget(new QLabel(QStringLiteral("Ora:"), this), 2, 0);
    info->addWidget(m_label6, 2, 1);
    info->addWidget(label1, 3, 0, 1, 2);

    auto *legend = new QVBoxLayout;
    legend->addWidget(colouredLabel(QStringLiteral("Label11"), QStringLiteral("Transazione corretta"), colour::Green,
                                    colour::White, this));
    legend->addWidget(colouredLabel(QStringLiteral("Label10"), QStringLiteral("Movimento sconosciuto"), colour::Red,
                                    colour::White, this));
    legend->addWidget(colouredLabel(QStringLiteral("Label9"), QStringLiteral("Transazione non conforme"),
                                    colour::Yellow, colour::Default, this));
    legend->addStretch(1);

    auto *bottom = new QHBoxLayout;
    bottom->addLayout(entry, 1);
    bottom->addWidget(options);
    bottom->addLayout(info);
    bottom->addLayout(legend);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("Caricamento"));
    m_progress->setRange(0, 100);
    m_progress->setFormat(QStringLiteral("Caricamento movimenti %p%"));
    m_progress->hide();

    auto *main = new QVBoxLayout(this);
    main->addLayout(top, 1);
    main->addWidget(m_progress);
    main->addLayout(bottom);

    connect(command12, &QPushButton::clicked, this, &Scariman1::Command12_Click);
    connect(command2, &QPushButton::clicked, this, &Scariman1::Command2_Click);
    connect(command3, &QPushButton::clicked, this, &Scariman1::Command3_Click);
    connect(command6, &QPushButton::clicked, this, &Scariman1::Command6_Click);
    connect(command1, &QPushButton::clicked, this, &Scariman1::Command1_Click);
    connect(m_grid, &GridView::gridDoubleClicked, this, &Scariman1::GridCtrl1_DblClick);
    connect(&m_program, &Movimenti::righeChanged, m_label7, &QLabel::setText);
    connect(&m_program.loader(), &LogLoader::progressChanged, this, &Scariman1::showProgress);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, &Scariman1::Timer1_Timer);

    resize(1000, 640);
    Form_Load();
}

void Scariman1::Form_Load()
{
    m_program.formLoad();
    m_label7->setText(m_program.righe());
    m_timer1->start();
    // Codes are scanned into the code box.
    m_text1->setFocus();
}

void Scariman1::showProgress(int percent)
{
    m_progress->setValue(percent);
    m_progress->setVisible(m_program.loader().isRunning() && percent < 100);
}

void Scariman1::Timer1_Timer()
{
    const QDateTime now = clock().now();
    m_label4->setText(now.date().toString(QStringLiteral("dd-MM-yyyy")));
    m_label6->setText(now.time().toString(QStringLiteral("HH:mm:ss")));
}

void Scariman1::Command12_Click()
{
    m_program.tuttiIMovimenti();
}

// The sort buttons: the key column and the grid's sort kind of each.
void Scariman1::Command10_Click()
{
    m_program.sortBy(0, SortKind::Numeric); // "Num.": the order of the file
}

void Scariman1::Command9_Click()
{
    m_program.sortBy(1, SortKind::TextNoCase);
}

void Scariman1::Command8_Click()
{
    m_program.sortBy(2, SortKind::TextNoCase);
}

void Scariman1::Command7_Click()
{
    m_program.sortBy(3, SortKind::TextNoCase);
}

void Scariman1::Command11_Click()
{
    m_program.sortBy(4, SortKind::Numeric);
}

void Scariman1::GridCtrl1_DblClick()
{
    m_program.gridDblClick();
}

void Scariman1::Command3_Click()
{
    // A registry program that cannot be started leaves this one as it is.
    launcher().start(QStringLiteral("database"));
}

void Scariman1::emptyEntry()
{
    m_text1->clear();
    m_text2->clear();
}

void Scariman1::Command2_Click()
{
    GridTable &grid = m_program.grid();
    grid.setCurrentCell(1, 0);
    if (grid.rowCount() == 1 || text::trimSpaces(grid.text(1, 0)).isEmpty()) {
        messages().msgBox(QStringLiteral("Tabella Vuota !"), style::DefaultButton2, QStringLiteral("STAMPA"));
        emptyEntry();
        m_text1->setFocus();
        return;
    }
    Printer &out = printer();
    if (!out.begin())
        return;
    printList(out, grid, clock().now().date());
    grid.setCurrentCell(grid.rowCount() - 1, GridTable::Columns - 1);
    const QString error = out.end();
    if (!error.isEmpty())
        messages().msgBox(error, style::Critical, QStringLiteral("STAMPA"));
}

void Scariman1::Command6_Click()
{
    const Movimenti::Reset result = m_program.eliminaTabella();
    if (result == Movimenti::Reset::Nothing)
        return;
    emptyEntry();
    m_text1->setFocus();
}

void Scariman1::aggiornagiacenze()
{
    m_program.aggiornagiacenze(m_check3->isChecked());
}

void Scariman1::Check1_Click()
{
    m_text1->setFocus();
}

void Scariman1::Check2_Click()
{
    m_text1->setFocus();
}

bool Scariman1::Text1_KeyPress(QKeyEvent *event)
{
    if (keycode::isEnter(event)) {
        m_text2->setFocus();
        m_text2->setText(QStringLiteral("1"));
        m_text2->setSelection(0, 1);
        return true;
    }
    if (event->key() == Qt::Key_Tab) {
        m_text2->clear();
        m_text2->setFocus();
        return true;
    }
    return false;
}

bool Scariman1::Text2_KeyPress(QKeyEvent *event)
{
    const double value = numbers::leadingNumber(QStringView(m_text2->text()));
    if (value == 0) {
        // Nothing worth booking yet: the key starts the box afresh, and the focus stays.
        m_text2->clear();
        return event->key() == Qt::Key_Tab;
    }
    if (event->key() == Qt::Key_Tab || keycode::isEnter(event)) {
        m_text1->setFocus();
        registraarticolo();
        return true;
    }
    if (event->key() == Qt::Key_Backspace)
        return false;
    const QString typed = event->text();
    if (typed.size() == 1 && (typed[0] == u'.' || (typed[0] >= u'0' && typed[0] <= u'9')))
        return false;
    return true;
}

void Scariman1::registraarticolo()
{
    BookingEntry entry;
    entry.code = text::toCp1252(m_text1->text());
    entry.quantity = text::toCp1252(m_text2->text());
    entry.noStockWarning = m_check1->isChecked();
    entry.noMissingWarning = m_check2->isChecked();
    const Booking booking = m_program.registraarticolo(entry);
    switch (booking.outcome) {
    case Booking::Booked:
    case Booking::Discarded:
        emptyEntry();
        m_text1->setFocus();
        break;
    case Booking::Nothing:
    case Booking::Failed:
        // A failed booking keeps what was typed, to try again.
        break;
    }
}

bool Scariman1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == m_text1 || watched == m_text2)) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (typesCharacter(key))
            return watched == m_text1 ? Text1_KeyPress(key) : Text2_KeyPress(key);
    }
    return QWidget::eventFilter(watched, event);
}

bool Scariman1::Form_QueryUnload()
{
    messages().beep();
    return messages().msgBox(QStringLiteral("Lasciare il programma ?"), style::YesNo, QStringLiteral("MOVIMENTI"))
           != answer::No;
}

void Scariman1::Command1_Click()
{
    if (!Form_QueryUnload())
        return;
    m_leaving = true;
    emit quitRequested();
    close();
}

void Scariman1::closeEvent(QCloseEvent *event)
{
    if (m_leaving) {
        event->accept();
        return;
    }
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    m_leaving = true;
    event->accept();
    emit quitRequested();
}

} // namespace zorv::movimenti
