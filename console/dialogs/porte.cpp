#include "porte.h"

#include "monitorreaders.h"
#include "text.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace zorv::console {

PrintSurface::PrintSurface(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("surface"));
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setAutoFillBackground(true);
}

void PrintSurface::print(const QString &row)
{
    m_rows.append(row);
    update();
}

QSize PrintSurface::sizeHint() const
{
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(QLatin1Char('M')) * 48, fm.lineSpacing() * 12};
}

void PrintSurface::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(font());
    const QFontMetrics fm(font());
    int y = fm.ascent();
    for (const QString &row : m_rows) {
        if (y - fm.ascent() > height())
            break;
        painter.drawText(0, y, row);
        y += fm.lineSpacing();
    }
}

PORTE::PORTE(SerialPort *port, QWidget *parent) : ConsoleDialog(parent)
{
    setObjectName(QStringLiteral("PORTE"));
    setWindowTitle(QStringLiteral("MCU Ports status"));

    surface = new PrintSurface(this);
    Command3 = button("Command3", QStringLiteral("Quit"));
    reader = new PortStatusReader(port, this);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command3);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(surface, 1);
    layout->addLayout(buttons);

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setSingleShot(true);
    Timer1.setInterval(200);
    connect(&Timer1, &QTimer::timeout, this, &PORTE::Timer1_Timer);
    connect(Command3, &QPushButton::clicked, this, &PORTE::Command3_Click);
    connect(reader, &PortStatusReader::rowReady, this,
            [this](const QByteArray &row) { surface->print(text::fromCp1252(row)); });

    Form_Load();
}

PORTE::~PORTE()
{
    if (reader)
        reader->stop();
}

void PORTE::Form_Load()
{
    Timer1.start();
}

void PORTE::Timer1_Timer()
{
    Timer1.stop();
    leggiporte();
}

void PORTE::leggiporte()
{
    reader->start();
}

void PORTE::Command3_Click()
{
    reject();
}

bool PORTE::isReading() const
{
    return reader && reader->isRunning() && !reader->isDiscarding();
}

PortStatusReader *PORTE::takeDiscardingReader()
{
    if (!reader || !reader->isDiscarding())
        return nullptr;
    PortStatusReader *taken = reader;
    taken->setParent(nullptr);
    reader = nullptr;
    return taken;
}

void PORTE::done(int result)
{
    // Lines that still come after Quit are read and dropped until the answer would have
    // ended, so the next command does not take them for its reply.
    Timer1.stop();
    if (reader)
        reader->discardRest();
    ConsoleDialog::done(result);
}

} // namespace zorv::console
