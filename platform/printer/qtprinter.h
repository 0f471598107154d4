#pragma once

#include "printer.h"

#include <QFont>
#include <QList>
#include <memory>

class QPrinter;
class QPagedPaintDevice;
class QWidget;

namespace zorv {

// The real printer: the print dialog (no page range, no print to file), then the document
// is laid out on the chosen printer. Lines start at the left margin, each one line height
// of its font below the previous one; a page that is full goes on on the next page. A page
// is only started when something is printed on it.
//
// With the environment variable ZORV900_PRINT_TO naming a file no dialog is shown (taken
// as OK), and each ended document replaces that file: a PDF when the name ends in ".pdf",
// otherwise plain UTF-8 text, one line per printed line exactly as printed (trailing spaces
// kept), each ended by "\n", and a line holding only a form feed ("\f") between pages. Both
// break full pages at the same places as an A4 page would.
class QtPrinter : public Printer {
public:
    QtPrinter();
    ~QtPrinter() override;

    bool begin() override;
    void setFontName(const QString &name) override;
    void setFontSize(double points) override;
    void setBold(bool on) override;
    void setEmphasis(bool on) override;
    void printLine(const QStringList &items = {}) override;
    using Printer::printLine;
    void printImage(const QImage &image) override;
    void newPage() override;
    QString end() override;

    // The font used before any font is set.
    static QFont defaultFont();
    // A font of the printed documents, resolved through the system's font matching
    // ("arial" and "Courier new" go to their metric-compatible fonts).
    static QFont printFont(const QString &name, double points, bool bold, bool emphasis);

    struct Item {
        enum Kind { Text, Image, PageBreak } kind = Text;
        QString text;
        QFont font;
        QImage image;
    };

private:
    QString writeText(const QString &path) const;
    QString writePdf(const QString &path) const;
    QString printOn(QPrinter &printer) const;

    std::unique_ptr<QPrinter> m_printer;
    QList<Item> m_items;
    QString m_fontName;
    double m_size = 0;
    bool m_bold = false;
    bool m_emphasis = false;
    bool m_fontSet = false;
    bool m_active = false;
};

// Installs the real printer as the program's printer.
void installQtPrinter();

} // namespace zorv
