#include "qtprinter.h"

#include "items.h"

#include <QApplication>
#include <QBuffer>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

namespace zorv {

namespace {

constexpr double kMarginMm = 15.0;
constexpr int kLayoutDpi = 1200;
const char *const kPrintToVariable = "ZORV900_PRINT_TO";

QString printToFile()
{
    return qEnvironmentVariable(kPrintToVariable);
}

QPageLayout a4Layout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
}

// Sets a PDF writer up as the documents are laid out (A4 with its margins, at the layout
// resolution) and returns the paintable area of its pages.
QSizeF setUpA4(QPdfWriter &writer)
{
    writer.setResolution(kLayoutDpi);
    writer.setPageLayout(a4Layout());
    return writer.pageLayout().paintRectPixels(kLayoutDpi).size();
}

// One item placed on a page, in device units of the page's paintable area.
struct Placed {
    const QtPrinter::Item *item = nullptr;
    double top = 0;
    QRectF imageRect;
};
using Page = QList<Placed>;

// Splits the items into pages of the given paintable size: each line one line height of
// its font below the previous; a line or picture that does not fit goes on a new page; a
// page break only counts when something follows it.
QList<Page> layOut(const QList<QtPrinter::Item> &items, QPaintDevice *device, const QSizeF &area)
{
    QList<Page> pages;
    bool pageOpen = false;
    double y = 0;
    auto openPage = [&] {
        pages.append(Page{});
        pageOpen = true;
        y = 0;
    };
    for (const auto &item : items) {
        if (item.kind == QtPrinter::Item::PageBreak) {
            pageOpen = false;
            continue;
        }
        if (item.kind == QtPrinter::Item::Text) {
            const double height = QFontMetricsF(item.font, device).lineSpacing();
            if (!pageOpen || (y + height > area.height() && !pages.last().isEmpty()))
                openPage();
            pages.last().append({&item, y, {}});
            y += height;
            continue;
        }
        // A picture of a window: its size on screen (96 pixels an inch), made smaller
        // when it is wider or taller than the page.
        const QImage &image = item.image;
        const double dpr = image.devicePixelRatio() > 0 ? image.devicePixelRatio() : 1.0;
        const double scale = device->logicalDpiX() / 96.0;
        QSizeF size(image.width() / dpr * scale, image.height() / dpr * device->logicalDpiY() / 96.0);
        if (size.width() > area.width())
            size *= area.width() / size.width();
        if (size.height() > area.height())
            size *= area.height() / size.height();
        if (!pageOpen || (y + size.height() > area.height() && !pages.last().isEmpty()))
            openPage();
        pages.last().append({&item, y, QRectF(QPointF(0, y), size)});
        y += size.height();
    }
    return pages;
}

QString paint(const QList<QtPrinter::Item> &items, QPagedPaintDevice *device, const QSizeF &area,
              const std::function<bool()> &nextPage)
{
    const QList<Page> pages = layOut(items, device, area);
    if (pages.isEmpty())
        return {};
    QPainter painter;
    if (!painter.begin(device))
        return QObject::tr("Stampante non disponibile");
    for (int p = 0; p < pages.size(); ++p) {
        if (p > 0 && !nextPage()) {
            painter.end();
            return QObject::tr("Errore della stampante: impossibile iniziare una nuova pagina");
        }
        for (const auto &placed : pages[p]) {
            if (placed.item->kind == QtPrinter::Item::Text) {
                painter.setFont(placed.item->font);
                const QFontMetricsF metrics(placed.item->font, device);
                painter.drawText(QPointF(0, placed.top + metrics.ascent()), placed.item->text);
            } else {
                painter.drawImage(placed.imageRect, placed.item->image);
            }
        }
    }
    if (!painter.end())
        return QObject::tr("Errore della stampante");
    return {};
}

} // namespace

QtPrinter::QtPrinter()
{
    const QFont font = defaultFont();
    m_fontName = font.family();
    m_size = font.pointSizeF();
}

QtPrinter::~QtPrinter() = default;

QFont QtPrinter::defaultFont()
{
    return printFont(QStringLiteral("arial"), 10, false, false);
}

QFont QtPrinter::printFont(const QString &name, double points, bool bold, bool emphasis)
{
    QFont font(name);
    if (name.contains(QLatin1String("courier"), Qt::CaseInsensitive))
        font.setStyleHint(QFont::TypeWriter);
    else
        font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points > 0 ? points : 10);
    font.setBold(bold);
    font.setItalic(emphasis);
    return font;
}

bool QtPrinter::begin()
{
    m_items.clear();
    const QFont font = defaultFont();
    m_fontName = font.family();
    m_size = font.pointSizeF();
    m_bold = false;
    m_emphasis = false;
    m_active = false;
    if (printToFile().isEmpty()) {
        if (!m_printer)
            m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        QPrintDialog dialog(m_printer.get(), QApplication::activeWindow());
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        if (dialog.exec() != QDialog::Accepted)
            return false;
    }
    m_active = true;
    return true;
}

void QtPrinter::setFontName(const QString &name) { m_fontName = name; }
void QtPrinter::setFontSize(double points) { m_size = points; }
void QtPrinter::setBold(bool on) { m_bold = on; }
void QtPrinter::setEmphasis(bool on) { m_emphasis = on; }

void QtPrinter::printLine(const QStringList &items)
{
    Item item;
    item.kind = Item::Text;
    item.text = items.join(QString());
    item.font = printFont(m_fontName, m_size, m_bold, m_emphasis);
    m_items.append(item);
}

void QtPrinter::printImage(const QImage &image)
{
    Item item;
    item.kind = Item::Image;
    item.image = image;
    m_items.append(item);
}

void QtPrinter::newPage()
{
    Item item;
    item.kind = Item::PageBreak;
    m_items.append(item);
}

QString QtPrinter::end()
{
    if (!m_active)
        return QObject::tr("Nessun documento da stampare");
    m_active = false;
    QString error;
    const QString target = printToFile();
    if (!target.isEmpty()) {
        error = target.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) ? writePdf(target)
                                                                             : writeText(target);
    } else if (m_printer) {
        error = printOn(*m_printer);
    } else {
        error = QObject::tr("Nessuna stampante scelta");
    }
    m_items.clear();
    return error;
}

QString QtPrinter::writeText(const QString &path) const
{
    // Pages as an A4 page would break them.
    QBuffer scratch;
    scratch.open(QIODevice::WriteOnly);
    QPdfWriter measure(&scratch);
    const QList<Page> pages = layOut(m_items, &measure, setUpA4(measure));

    QByteArray out;
    for (int p = 0; p < pages.size(); ++p) {
        if (p > 0)
            out += "\f\n";
        for (const auto &placed : pages[p]) {
            if (placed.item->kind == Item::Text)
                out += placed.item->text.toUtf8() + '\n';
        }
    }
    return items::writeFileAtomically(path, out);
}

QString QtPrinter::writePdf(const QString &path) const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Zorv900"));
        const QSizeF area = setUpA4(writer);
        const QString error = paint(m_items, &writer, area, [&] { return writer.newPage(); });
        if (!error.isEmpty())
            return error;
        if (layOut(m_items, &writer, area).isEmpty()) {
            // Nothing printed: an empty document still makes a valid file of one page.
            QPainter blank(&writer);
        }
    }
    return items::writeFileAtomically(path, buffer.data());
}

QString QtPrinter::printOn(QPrinter &printer) const
{
    printer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
    const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    QString error = paint(m_items, &printer, area.size(), [&] { return printer.newPage(); });
    if (error.isEmpty() && printer.printerState() == QPrinter::Error)
        error = QObject::tr("Errore della stampante %1").arg(printer.printerName());
    if (!error.isEmpty() && !printer.printerName().isEmpty() && !error.contains(printer.printerName()))
        error += QStringLiteral(" (%1)").arg(printer.printerName());
    return error;
}

void installQtPrinter()
{
    // Lives as long as the program: the chosen printer is kept from one print to the next.
    static QtPrinter *printer = new QtPrinter;
    Service<Printer>::set(printer);
}

} // namespace zorv
