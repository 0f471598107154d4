#include "heli.h"

#include "tastiera.h"

#include "fonts.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace zorv::registry {

namespace {

const char *const kRighe[13] = {
    "TASTO (ESC) : Permette l'uscita da ogni  pagina di programma",
    "              e il movimento indietro nei campi di inserim.",
    "TASTO (TAB) : Permette il movimento nei campi di inserimento",
    "              e sui bottoni di comando.",
    "TASTO(INVIO): (Return)  Conferma i dati immessi nei campi di",
    "              inserimento e salta al campo successivo.",
    "              Conferma la pressione dei bottoni di comando.",
    "              Visualizza la scheda cliente se premuto sulla",
    "              voce di elenco evidenziata.",
    "TASTO (SU)  : Permette lo scorrimento verso l'alto lungo gli",
    "              elenchi.",
    "TASTO (GIU) : Permette lo  scorrimento verso il basso  lungo ",
    "              gli elenchi.",
};

const int kNomi[13] = {1, 4, 2, 3, 5, 6, 7, 12, 13, 14, 15, 16, 17};

} // namespace

Heli::Heli(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Heli"));
    setWindowTitle(QStringLiteral(" Aiuto "));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    for (int i = 0; i < 13; ++i) {
        auto *l = new QLabel(QLatin1String(kRighe[i]), this);
        l->setObjectName(QStringLiteral("Etichetta%1").arg(kNomi[i]));
        l->setTextFormat(Qt::PlainText);
        l->setFont(fonts::fixedsys());
        l->setStyleSheet(QStringLiteral("QLabel { color: #000080; background-color: #c0c0c0; }"));
        layout->addWidget(l);
        righe[i] = l;
    }
    Comando1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral(" Ok "), this);
    Comando1->setObjectName(QStringLiteral("Comando1"));
    Comando1->installEventFilter(this);
    layout->addSpacing(8);
    layout->addWidget(Comando1, 0, Qt::AlignCenter);
    connect(Comando1, &QPushButton::clicked, this, &Heli::Comando1_Click);
    Comando1->setFocus();
}

void Heli::Comando1_Click()
{
    close();
}

bool Heli::eventFilter(QObject *watched, QEvent *event)
{
    // Comando1_KeyPress: Esc closes the help (no registry file is held open here).
    if (watched == Comando1 && event->type() == QEvent::KeyPress
        && codiceCarattere(static_cast<QKeyEvent *>(event)) == kEsc) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

iNFO::iNFO(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("iNFO"));
    setWindowTitle(QStringLiteral("Informazioni"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("DATABASE CLIENTI"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont grande = Label1->font();
    grande.setPointSizeF(grande.pointSizeF() * 1.6);
    grande.setBold(true);
    Label1->setFont(grande);
    Label2 = new QLabel(QStringLiteral("Zorv-900 Access Control"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    for (QLabel *l : {Label1, Label2}) {
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(Qt::AlignCenter);
        layout->addWidget(l);
    }
    Command1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    layout->addWidget(Command1);
    connect(Command1, &QPushButton::clicked, this, &iNFO::Command1_Click);
}

void iNFO::Command1_Click()
{
    close();
}

void iNFO::chiudiinfo()
{
    close();
}

void iNFO::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            m_attivata = true;
        else if (m_attivata)
            Form_Deactivate();
    }
    QDialog::changeEvent(event);
}

void iNFO::Form_Deactivate()
{
    close();
}

} // namespace zorv::registry
