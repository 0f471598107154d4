#include "minmax.h"

#include "dbstate.h"
#include "keycodes.h"
#include "keypreview.h"
#include "listprint.h"
#include "listsupport.h"
#include "messages.h"
#include "numbers.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace zorv::registry::lists {

namespace {

int stored(double value)
{
    return int(std::clamp(value, -1e9, 1e9));
}

} // namespace

Minmax::Minmax(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("minmax"));
    setWindowTitle(QStringLiteral("Da....  A...."));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Label1 = new QFrame(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFrameShape(QFrame::Box);
    Text1 = new QLineEdit(Label1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text2 = new QLineEdit(Label1);
    Text2->setObjectName(QStringLiteral("Text2"));
    for (QLineEdit *box : {Text1, Text2}) {
        box->setMaxLength(4);
        styleListBox(box);
        box->setFixedWidth(QFontMetrics(box->font()).horizontalAdvance(QStringLiteral("00000")) + 8);
    }
    auto *boxes = new QHBoxLayout(Label1);
    boxes->addWidget(Text1);
    boxes->addWidget(Text2);

    Command1 = new QPushButton(QStringLiteral("Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Command1, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(Command1, Text1);
    setTabOrder(Text1, Text2);
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &Minmax::Command1_Click);
    Text1->installEventFilter(this);
    Text2->installEventFilter(this);
    m_keys = new KeyPreview(this, [this](QKeyEvent *e) { return Form_KeyDown(e); });
}

void Minmax::preset(int lineCount)
{
    Text1->setText(QStringLiteral("1"));
    Text2->setText(QString::number(lineCount));
}

bool Minmax::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (watched == Text1)
            return Text1_KeyPress(key);
        // Enter in the last box does nothing (it must not reach the "Ok" button).
        if (watched == Text2 && keycode::isEnter(key))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool Minmax::Text1_KeyPress(QKeyEvent *event)
{
    const int c = keycode::typed(event);
    if (c == keycode::Enter) {
        Command1_Click();
        return true;
    }
    // Caret and focus keys are not characters: they pass.
    if (c < 0 || c == keycode::Backspace || (c >= '0' && c <= '9'))
        return false;
    return true;
}

bool Minmax::Form_KeyDown(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F9) {
        reject();
        return true;
    }
    return false;
}

void Minmax::Command1_Click()
{
    m_from = numbers::leadingNumber(Text1->text());
    m_to = numbers::leadingNumber(Text2->text());
    db().StampaDa = stored(m_from);
    db().StampaA = stored(m_to);
    if (m_from == 0 || m_to == 0) {
        rangeRefused();
        Text1->clear();
        Text1->setFocus();
        return;
    }
    if (m_from > m_to) {
        rangeRefused();
        Text2->clear();
        Text2->setFocus();
        return;
    }
    accept();
}

void Minmax::reject()
{
    // Esc, F9 and the window's close button all cancel.
    m_from = 0;
    db().StampaDa = 0;
    QDialog::reject();
}

} // namespace zorv::registry::lists
