#pragma once

#include "printer.h"

#include <QFont>
#include <functional>
#include <memory>

class QPrinter;

namespace zorv {

// The real printer: the print dialog (no page range, no print to file), then the document
// is laid out on the chosen printer's page, 15 mm inside each edge. Lines start at the left
// margin, each one line height of its font below the previous one; a page that is full
// goes on on the next page. A page is only started when something is printed on it. Pages
// go out one by one as they fill, so a long document is never held whole in memory.
//
// With the environment variable ZORV900_PRINT_TO naming a file no dialog is shown (taken
// as OK), and each ended document replaces that file: a PDF when the name ends in ".pdf",
// otherwise plain UTF-8 text, one line per printed line exactly as printed (trailing spaces
// kept), each ended by "\n", and a line holding only a form feed ("\f") between pages. Both
// are laid out on an A4 page exactly as the printer would lay them out, so they break
// pages at the same places.
class QtPrinter : public Printer {
public:
    QtPrinter();
    ~QtPrinter() override;

    bool begin() override;
    void setFontName(const QString &name) override;
    void setFontSize(double points) override;
    void setBold(bool on) override;
    void setEmphasis(bool on) override;
    void fitFontSize(int columns, int lines) override;
    void printLine(const QStringList &items = {}) override;
    using Printer::printLine;
    void printImage(const QImage &image) override;
    void newPage() override;
    QString end() override;

    // Chooses the printer in place of the print dialog, on the printer the documents go
    // to; false counts as a cancel. Lets a test print through the printer path to a PDF
    // file on the paper it picks.
    using Chooser = std::function<bool(QPrinter &)>;
    void setChooser(Chooser choose);

    // The font used before any font is set.
    static QFont defaultFont();
    // A font of the printed documents, resolved through the system's font matching
    // ("arial" and "Courier new" go to their metric-compatible fonts).
    static QFont printFont(const QString &name, double points, bool bold, bool emphasis);

    class Output;

private:
    const QFont &currentFont();
    void resetFont();

    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<Output> m_out;
    Chooser m_choose;
    QString m_fontName;
    double m_size = 0;
    bool m_bold = false;
    bool m_emphasis = false;
    QFont m_font;
    bool m_fontValid = false;
};

} // namespace zorv
