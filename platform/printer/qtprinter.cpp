#include "qtprinter.h"

#include "cupsqueue.h"
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
#include <QPrinterInfo>
#include <QSaveFile>

#include <cmath>
#include <optional>

namespace zorv {

namespace {

constexpr double kMarginMm = 15.0;
constexpr int kLayoutDpi = 1200;
const char *const kPrintToVariable = "ZORV900_PRINT_TO";

QString printToFile()
{
    return qEnvironmentVariable(kPrintToVariable);
}

QMarginsF margins()
{
    return QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm);
}

// Sets a PDF writer up as the file seam lays documents out (A4 with its margins, at the
// layout resolution) and returns the paintable area of its pages.
QSizeF setUpA4(QPdfWriter &writer)
{
    writer.setResolution(kLayoutDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, margins(),
                                     QPageLayout::Millimeter));
    return writer.pageLayout().paintRectPixels(kLayoutDpi).size();
}

} // namespace

// Where the lines and pictures of a document go: each line one line height of its font
// below the previous one, on a new page when it does not fit or after a page break (which
// only counts when something follows it). Paper, PDF and text file all follow it, so all
// break pages at the same places. Everything is handed on as it is placed; nothing of the
// document is kept. The first failure stops the output and is what finish() reports.
class QtPrinter::Output {
public:
    virtual ~Output() = default;

    void line(const QFont &font, const QString &text)
    {
        if (font != m_font || !m_fontKnown) {
            const QFontMetricsF metrics(font, m_metrics);
            m_font = font;
            m_fontKnown = true;
            m_lineHeight = metrics.lineSpacing();
            m_ascent = metrics.ascent();
        }
        if (!place(m_lineHeight))
            return;
        drawText(QPointF(0, m_y + m_ascent), font, text);
        m_y += m_lineHeight;
    }

    void image(const QImage &image)
    {
        // A picture of a window: its size on screen (96 pixels an inch), made smaller
        // when it is wider or taller than the page.
        const double dpr = image.devicePixelRatio() > 0 ? image.devicePixelRatio() : 1.0;
        QSizeF size(image.width() / dpr * m_metrics->logicalDpiX() / 96.0,
                    image.height() / dpr * m_metrics->logicalDpiY() / 96.0);
        if (size.width() > m_area.width())
            size *= m_area.width() / size.width();
        if (size.height() > m_area.height())
            size *= m_area.height() / size.height();
        if (!place(size.height()))
            return;
        drawImage(QRectF(QPointF(0, m_y), size), image);
        m_y += size.height();
    }

    void pageBreak() { m_pageOpen = false; }

    // The largest size, in tenths of a point and up to the font's own, at which `columns`
    // characters fit the width and `lines` lines the height of the page.
    double fittingSize(QFont font, int columns, int lines) const
    {
        const auto fits = [&](int tenths) {
            font.setPointSizeF(tenths / 10.0);
            const QFontMetricsF metrics(font, m_metrics);
            if (columns > 0 && metrics.horizontalAdvance(QString(columns, QLatin1Char('M'))) > m_area.width())
                return false;
            return lines <= 0 || fitsHeight(lines * metrics.lineSpacing());
        };
        int high = int(std::floor(font.pointSizeF() * 10 + 1e-6));
        if (fits(high))
            return font.pointSizeF();
        int low = 10; // a point: the smallest size given out
        while (high - low > 1) {
            const int mid = (low + high) / 2;
            (fits(mid) ? low : high) = mid;
        }
        return low / 10.0;
    }

    QString finish()
    {
        const QString closing = close(m_pages > 0 && m_error.isEmpty());
        if (m_error.isEmpty())
            m_error = closing;
        return m_error;
    }

protected:
    Output(const QPaintDevice *metrics, QSizeF area) : m_metrics(metrics), m_area(area) {}

    void fail(const QString &why)
    {
        if (m_error.isEmpty())
            m_error = why.isEmpty() ? QObject::tr("Errore della stampante") : why;
    }
    bool failed() const { return !m_error.isEmpty(); }

    // Starts page `index` (0 for the first); false when it cannot, after fail().
    virtual bool startPage(int index) = 0;
    virtual void drawText(const QPointF &baseline, const QFont &font, const QString &text) = 0;
    virtual void drawImage(const QRectF &rect, const QImage &image) = 0;
    // Ends the document; `printed` when pages went out. Empty, or the error.
    virtual QString close(bool printed) = 0;

private:
    // A sliver of a device pixel, so that rounding in the sum of many line heights never
    // pushes the last line that fits onto the next page.
    bool fitsHeight(double bottom) const { return bottom <= m_area.height() + 1e-3; }

    // Opens a new page when none is open or the height does not fit below what the page
    // holds; false once the output has failed.
    bool place(double height)
    {
        if (failed())
            return false;
        // An open page always holds something, so a line taller than a page still goes on one.
        if (!m_pageOpen || !fitsHeight(m_y + height)) {
            if (!startPage(m_pages))
                return false;
            ++m_pages;
            m_pageOpen = true;
            m_y = 0;
        }
        return true;
    }

    const QPaintDevice *m_metrics;
    QSizeF m_area;
    QString m_error;
    int m_pages = 0;
    bool m_pageOpen = false;
    double m_y = 0;
    QFont m_font;
    bool m_fontKnown = false;
    double m_lineHeight = 0;
    double m_ascent = 0;
};

namespace {

// Pages painted on a printer or a PDF writer, each sent on as the next one starts.
class PaintOutput : public QtPrinter::Output {
public:
    // `problem` tells, before the first page, why the device cannot print (empty: it can).
    PaintOutput(QPagedPaintDevice *device, QSizeF area, std::function<QString()> problem = {})
        : Output(device, area), m_device(device), m_problem(std::move(problem))
    {
    }
    ~PaintOutput() override { stopPainting(); }

protected:
    bool startPage(int index) override
    {
        if (index == 0) {
            const QString problem = m_problem ? m_problem() : QString();
            if (!problem.isEmpty()) {
                fail(problem);
                return false;
            }
            if (!m_painter.begin(m_device)) {
                fail(QObject::tr("Stampante non disponibile"));
                return false;
            }
            return true;
        }
        if (!m_device->newPage()) {
            fail(QObject::tr("Errore della stampante: impossibile iniziare una nuova pagina"));
            return false;
        }
        return true;
    }
    void drawText(const QPointF &baseline, const QFont &font, const QString &text) override
    {
        if (m_painter.font() != font)
            m_painter.setFont(font);
        m_painter.drawText(baseline, text);
    }
    void drawImage(const QRectF &rect, const QImage &image) override { m_painter.drawImage(rect, image); }
    QString close(bool) override
    {
        // Also after a failure: what was printed so far comes out.
        if (m_painter.isActive() && !m_painter.end())
            return QObject::tr("Errore della stampante");
        return {};
    }

    // A document dropped unended: what was painted still goes out.
    void stopPainting()
    {
        if (m_painter.isActive())
            m_painter.end();
    }

private:
    QPagedPaintDevice *m_device;
    std::function<QString()> m_problem;
    QPainter m_painter;
};

// Why a printer chosen in the dialog cannot print: none installed (Qt then falls back to
// a PDF without a file), gone, its queue stopped, or rejecting jobs.
QString printerProblem(const QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return printer.outputFileName().isEmpty() ? QObject::tr("Nessuna stampante installata") : QString();
    const QPrinterInfo info(printer);
    if (info.isNull())
        return QObject::tr("Stampante %1 non trovata").arg(printer.printerName());
    if (info.state() == QPrinter::Error)
        return QObject::tr("La stampante %1 e' ferma o in errore").arg(printer.printerName());
    return cups::refusal(printer.printerName());
}

// The chosen printer.
class PrinterOutput : public PaintOutput {
public:
    explicit PrinterOutput(QPrinter &printer)
        : PaintOutput(&printer, printer.pageLayout().paintRectPixels(printer.resolution()).size(),
                      [&printer] { return printerProblem(printer); }),
          m_printer(printer)
    {
    }

protected:
    QString close(bool printed) override
    {
        // Qt sends the job as the painter ends and drops the print system's answer to it.
        std::optional<cups::SentJob> sent;
        if (printed && m_printer.outputFormat() == QPrinter::NativeFormat)
            sent.emplace(m_printer.printerName());
        QString error = PaintOutput::close(printed);
        if (error.isEmpty() && sent)
            error = sent->refusal();
        if (error.isEmpty() && printed && m_printer.printerState() == QPrinter::Error)
            error = QObject::tr("Errore della stampante");
        if (!error.isEmpty() && !m_printer.printerName().isEmpty() && !error.contains(m_printer.printerName()))
            error += QStringLiteral(" (%1)").arg(m_printer.printerName());
        return error;
    }

private:
    QPrinter &m_printer;
};

// The file seam's PDF, written into a file that replaces the earlier one when it ends.
class PdfFileOutput : public PaintOutput {
public:
    static std::unique_ptr<QtPrinter::Output> create(const QString &path)
    {
        auto file = std::make_unique<QSaveFile>(path);
        const bool open = file->open(QIODevice::WriteOnly);
        auto writer = std::make_unique<QPdfWriter>(file.get());
        writer->setCreator(QStringLiteral("Zorv900"));
        const QSizeF area = setUpA4(*writer);
        return std::unique_ptr<QtPrinter::Output>(
            new PdfFileOutput(std::move(file), std::move(writer), area, open));
    }
    // The painter ends before the writer and the file go.
    ~PdfFileOutput() override { stopPainting(); }

protected:
    QString close(bool printed) override
    {
        QString error = PaintOutput::close(printed);
        if (!error.isEmpty() || !m_file->isOpen())
            return error.isEmpty() ? m_file->errorString() : error;
        if (!printed) {
            // Nothing printed: an empty document still makes a valid file of one page.
            QPainter blank(m_writer.get());
        }
        return items::commitSaveFile(*m_file);
    }

private:
    PdfFileOutput(std::unique_ptr<QSaveFile> file, std::unique_ptr<QPdfWriter> writer, QSizeF area, bool open)
        : PaintOutput(writer.get(), area), m_file(std::move(file)), m_writer(std::move(writer))
    {
        if (!open)
            fail(m_file->errorString());
    }

    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<QPdfWriter> m_writer;
};

// The file seam's text: the lines as printed, a form-feed line between pages, laid out on
// an A4 page of a PDF writer that is only measured, never painted on.
class TextOutput : public QtPrinter::Output {
public:
    static std::unique_ptr<QtPrinter::Output> create(const QString &path)
    {
        auto scratch = std::make_unique<QBuffer>();
        scratch->open(QIODevice::WriteOnly);
        auto measure = std::make_unique<QPdfWriter>(scratch.get());
        const QSizeF area = setUpA4(*measure);
        return std::unique_ptr<QtPrinter::Output>(new TextOutput(path, std::move(scratch), std::move(measure), area));
    }

protected:
    bool startPage(int index) override { return index == 0 || write("\f\n"); }
    void drawText(const QPointF &, const QFont &, const QString &text) override
    {
        write(text.toUtf8().append('\n'));
    }
    void drawImage(const QRectF &, const QImage &) override {}
    QString close(bool) override
    {
        if (!m_file.isOpen())
            return m_file.errorString();
        return items::commitSaveFile(m_file);
    }

private:
    TextOutput(const QString &path, std::unique_ptr<QBuffer> scratch, std::unique_ptr<QPdfWriter> measure,
               QSizeF area)
        : Output(measure.get(), area), m_file(path), m_scratch(std::move(scratch)), m_measure(std::move(measure))
    {
        if (!m_file.open(QIODevice::WriteOnly))
            fail(m_file.errorString());
    }

    bool write(const QByteArray &bytes)
    {
        if (m_file.write(bytes) == bytes.size())
            return true;
        fail(m_file.errorString());
        return false;
    }

    QSaveFile m_file;
    std::unique_ptr<QBuffer> m_scratch;
    std::unique_ptr<QPdfWriter> m_measure;
};

} // namespace

QtPrinter::QtPrinter()
{
    resetFont();
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

void QtPrinter::resetFont()
{
    const QFont font = defaultFont();
    m_fontName = font.family();
    m_size = font.pointSizeF();
    m_bold = false;
    m_emphasis = false;
    m_fontValid = false;
}

const QFont &QtPrinter::currentFont()
{
    if (!m_fontValid) {
        m_font = printFont(m_fontName, m_size, m_bold, m_emphasis);
        m_fontValid = true;
    }
    return m_font;
}

void QtPrinter::setChooser(Chooser choose)
{
    m_choose = std::move(choose);
}

bool QtPrinter::begin()
{
    // A document left unended is dropped.
    m_out.reset();
    resetFont();
    const QString target = printToFile();
    if (!target.isEmpty()) {
        m_out = target.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) ? PdfFileOutput::create(target)
                                                                             : TextOutput::create(target);
        return true;
    }
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (m_choose) {
        if (!m_choose(*m_printer))
            return false;
    } else {
        QPrintDialog dialog(m_printer.get(), QApplication::activeWindow());
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        if (dialog.exec() != QDialog::Accepted)
            return false;
    }
    m_printer->setPageMargins(margins(), QPageLayout::Millimeter);
    m_out = std::make_unique<PrinterOutput>(*m_printer);
    return true;
}

void QtPrinter::setFontName(const QString &name)
{
    m_fontName = name;
    m_fontValid = false;
}

void QtPrinter::setFontSize(double points)
{
    m_size = points;
    m_fontValid = false;
}

void QtPrinter::setBold(bool on)
{
    m_bold = on;
    m_fontValid = false;
}

void QtPrinter::setEmphasis(bool on)
{
    m_emphasis = on;
    m_fontValid = false;
}

void QtPrinter::fitFontSize(int columns, int lines)
{
    if (!m_out)
        return;
    setFontSize(m_out->fittingSize(currentFont(), columns, lines));
}

void QtPrinter::printLine(const QStringList &items)
{
    if (m_out)
        m_out->line(currentFont(), items.join(QString()));
}

void QtPrinter::printImage(const QImage &image)
{
    if (m_out)
        m_out->image(image);
}

void QtPrinter::newPage()
{
    if (m_out)
        m_out->pageBreak();
}

QString QtPrinter::end()
{
    if (!m_out)
        return QObject::tr("Nessun documento da stampare");
    const QString error = m_out->finish();
    m_out.reset();
    return error;
}

} // namespace zorv
