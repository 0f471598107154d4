#include "rx.h"

#include "dialogresults.h"
#include "monitorreaders.h"
#include "text.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

namespace zorv::console {

RX::RX(SerialPort *port, QWidget *parent) : ConsoleDialog(parent)
{
    setObjectName(QStringLiteral("RX"));
    setWindowTitle(QStringLiteral("RX Data"));

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setStyleSheet(QStringLiteral("QPlainTextEdit { background: white; color: black; }"));
    Text1->setMinimumSize(360, 240);
    clear = button("clear", QStringLiteral("Clear"));
    Command3 = button("Command3", QStringLiteral("Quit"));
    monitor = new LineMonitor(port, results().FermaRx, this);
    setMaxLogLines(kMaxLogLines);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(clear);
    buttons->addStretch();
    buttons->addWidget(Command3);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Text1, 1);
    layout->addLayout(buttons);

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setSingleShot(true);
    Timer1.setInterval(200);
    connect(&Timer1, &QTimer::timeout, this, &RX::Timer1_Timer);
    connect(clear, &QPushButton::clicked, this, &RX::clear_Click);
    connect(Command3, &QPushButton::clicked, this, &RX::Command3_Click);
    connect(monitor, &LineMonitor::lineReady, this, &RX::addLine);
    // Dropped garbage is noted in the log, as the stations note it.
    connect(monitor, &LineMonitor::noiseDropped, this, &RX::addText);

    Form_Load();
}

RX::~RX()
{
    monitor->stop();
}

void RX::Form_Load()
{
    Timer1.start();
    results().FermaRx = 0;
}

void RX::Timer1_Timer()
{
    Timer1.stop();
    leggirx();
}

void RX::leggirx()
{
    monitor->start();
}

void RX::clear_Click()
{
    Text1->clear();
}

void RX::Command3_Click()
{
    results().FermaRx = 1;
    reject();
}

void RX::Form_QueryUnload()
{
    results().FermaRx = 1;
    Timer1.stop();
    monitor->stop();
}

bool RX::isReading() const
{
    return monitor->isRunning();
}

void RX::setMaxLogLines(int lines)
{
    // The log ends with a line break, so one empty block follows the last line.
    Text1->setMaximumBlockCount(lines + 1);
}

void RX::done(int result)
{
    Form_QueryUnload();
    ConsoleDialog::done(result);
}

void RX::addLine(const QByteArray &lineWithCr)
{
    QByteArray line = lineWithCr;
    if (line.endsWith('\r'))
        line.chop(1);
    addText(text::fromCp1252(line));
}

void RX::addText(const QString &line)
{
    QScrollBar *bar = Text1->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(Text1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(line + QLatin1Char('\n'));
    if (atEnd)
        bar->setValue(bar->maximum());
}

} // namespace zorv::console
