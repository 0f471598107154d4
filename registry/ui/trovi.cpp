#include "trovi.h"

#include "dbstate.h"
#include "registryfile.h"
#include "tastiera.h"
#include "trova.h"
#include "visual.h"

#include "fonts.h"
#include "keypreview.h"
#include "messages.h"
#include "numbers.h"
#include "text.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

namespace zorv::registry {

namespace {

QLabel *etichetta(QWidget *parent, const char *name, const QString &caption)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    return l;
}

QPushButton *bottone(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

Trovi::Trovi(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Trovi"));
    setWindowTitle(QStringLiteral(" Trova "));
    setModal(true);

    Label1 = etichetta(this, "Label1", QStringLiteral("Trova"));
    Testo1 = new QLineEdit(this);
    Testo1->setObjectName(QStringLiteral("Testo1"));
    Testo1->setFont(fonts::fixedsys());
    Testo1->setMaxLength(40);
    Testo1->installEventFilter(this);
    Etichetta3 = etichetta(this, "Etichetta3", QStringLiteral("N. Cli."));
    Label3 = etichetta(this, "Label3", QStringLiteral("Cognome e Nome"));
    Etichetta2 = etichetta(this, "Etichetta2", QString());
    Etichetta2->setAlignment(Qt::AlignCenter);
    Etichetta2->setFont(fonts::fixedsys());
    Etichetta2->setFrameShape(QFrame::Panel);
    Etichetta2->setFrameShadow(QFrame::Sunken);
    Etichetta1 = etichetta(this, "Etichetta1", QString());
    Etichetta1->setFont(fonts::fixedsys());
    Etichetta1->setFrameShape(QFrame::Panel);
    Etichetta1->setFrameShadow(QFrame::Sunken);
    const int larghezza = Etichetta1->fontMetrics().horizontalAdvance(QString(40, u'W'));
    Etichetta1->setMinimumWidth(larghezza);
    Etichetta1->setMinimumHeight(Etichetta1->fontMetrics().height() + 6);

    Comando1 = bottone(this, "Comando1", QStringLiteral(" Trova "));
    Comando2 = bottone(this, "Comando2", QStringLiteral(" Prossimo "));
    Comando3 = bottone(this, "Comando3", QStringLiteral(" Scheda "));
    Comando4 = bottone(this, "Comando4", QStringLiteral(" Uscita "));

    auto *g = new QGridLayout;
    g->addWidget(Label1, 0, 0, 1, 2);
    g->addWidget(Testo1, 1, 0, 1, 2);
    g->addWidget(Etichetta3, 2, 0);
    g->addWidget(Label3, 2, 1);
    g->addWidget(Etichetta2, 3, 0);
    g->addWidget(Etichetta1, 3, 1);
    auto *bottoni = new QHBoxLayout;
    for (QPushButton *b : {Comando1, Comando2, Comando3, Comando4})
        bottoni->addWidget(b);
    auto *main = new QVBoxLayout(this);
    main->addLayout(g);
    main->addLayout(bottoni);

    setTabOrder(Testo1, Comando1);
    setTabOrder(Comando1, Comando2);
    setTabOrder(Comando2, Comando3);
    setTabOrder(Comando3, Comando4);

    connect(Comando1, &QPushButton::clicked, this, &Trovi::Comando1_Click);
    connect(Comando2, &QPushButton::clicked, this, &Trovi::Comando2_Click);
    connect(Comando3, &QPushButton::clicked, this, &Trovi::Comando3_Click);
    connect(Comando4, &QPushButton::clicked, this, &Trovi::Comando4_Click);
    connect(Testo1, &QLineEdit::textChanged, this, &Trovi::Testo1_Change);

    m_keys = KeyPreview::closeOnEscF9(this);
    // The box is first: the window opens reset, as when the box gets the focus.
    Testo1->setFocus();
    Testo1_GotFocus();
}

bool Trovi::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Testo1) {
        if (event->type() == QEvent::FocusIn) {
            // Only a move of the focus into the box, not the window becoming active again.
            const auto reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                Testo1_GotFocus();
        } else if (event->type() == QEvent::KeyPress
                   && codiceCarattere(static_cast<QKeyEvent *>(event)) == kEnter) {
            Comando1_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Trovi::Testo1_GotFocus()
{
    m_ultimo = 0;
    Testo1->clear();
    Etichetta1->clear();
    Etichetta2->clear();
    Comando1->setEnabled(true);
    Comando2->setEnabled(false);
}

void Trovi::Testo1_Change()
{
    if (Testo1->text().size() >= 41) {
        Testo1->setText(Testo1->text().left(40));
        Testo1->setCursorPosition(40);
    }
}

void Trovi::alTesto()
{
    Testo1->setFocus();
}

void Trovi::Comando1_Click()
{
    const QString typed = text::trimSpaces(Testo1->text());
    if (typed.isEmpty()) {
        alTesto();
        return;
    }
    m_chiave = text::upper(text::toCp1252(typed));
    trovaprimo();
}

void Trovi::trovaprimo()
{
    const RegistryFile registry(db().FileClienti);
    QString error = registry.open();
    if (error.isEmpty() && cerca(1, &error))
        return;
    m_ultimo = 0;
    messages().msgBox(error, style::Ok, QStringLiteral("ERRORE"));
}

void Trovi::Comando2_Click()
{
    trovaprossimo();
}

void Trovi::trovaprossimo()
{
    if (m_ultimo == 0)
        return;
    QString error;
    if (cerca(m_ultimo + 1, &error))
        return;
    // A file that cannot be read any more ends the search as the first one would.
    messages().msgBox(error, style::Ok, QStringLiteral("ERRORE"));
    alTesto();
    Testo1_GotFocus();
}

bool Trovi::cerca(int from, QString *error)
{
    const bool prossimo = from > 1;
    const auto hit = trovaNome(db().FileClienti, m_chiave, from, error);
    if (!hit)
        return false;
    if (*hit > 0) {
        const auto record = RegistryFile(db().FileClienti).read(*hit, error);
        if (!record)
            return false;
        mostra(*hit, record->trimmed(fields::Nome));
        return true;
    }
    m_ultimo = 0;
    messages().msgBox(QStringLiteral("Fine del file"), style::Ok, QStringLiteral("( Info )"));
    if (prossimo) {
        Comando1->setEnabled(false);
        Comando2->setEnabled(false);
        // The focus in the box resets the window.
        alTesto();
        Testo1_GotFocus();
    } else {
        Comando1->setEnabled(true);
        Comando2->setEnabled(false);
        Testo1->clear();
        alTesto();
    }
    return true;
}

void Trovi::mostra(int number, const QByteArray &nome)
{
    m_ultimo = number;
    Etichetta1->setText(text::fromCp1252(nome));
    Etichetta2->setText(numCliente(number));
    Comando2->setEnabled(true);
    Comando2->setFocus();
    Comando1->setEnabled(false);
}

void Trovi::Comando3_Click()
{
    const int number = int(numbers::truncated(numbers::leadingNumber(QStringView(Etichetta2->text())),
                                               std::numeric_limits<int>::min(), std::numeric_limits<int>::max())
                               .value_or(0));
    if (number == 0) {
        alTesto();
        return;
    }
    db().NumCliente = number;
    Visual::mostra(this);
    // The box gets the focus back only as this window becomes active again, which does not
    // reset the window by itself: closing the card does, however the focus returns.
    alTesto();
    Testo1_GotFocus();
}

void Trovi::Comando4_Click()
{
    close();
}

} // namespace zorv::registry
