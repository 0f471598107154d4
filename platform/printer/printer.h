#pragma once

#include "service.h"

#include <QImage>
#include <QString>
#include <QStringList>

namespace zorv {

// The printer as the windows use it: choose a printer, set fonts, print lines of text
// items one below the other from the left margin, new page, end of document, and the
// image of a window. A new page is started only when something is printed on it, so a
// new page right before the end never prints an empty page.
class Printer {
public:
    virtual ~Printer() = default;

    // Shows the print dialog (no page range, no print to file) and starts a document on
    // the chosen printer. False when the operator cancels: print nothing, say nothing.
    virtual bool begin() = 0;

    virtual void setFontName(const QString &name) = 0;   // "arial", "Courier new", ...
    virtual void setFontSize(double points) = 0;
    virtual void setBold(bool on) = 0;
    virtual void setEmphasis(bool on) = 0;               // the further emphasis (italic)

    // Makes the font in use smaller where it must be, never larger, so that `columns`
    // characters fit the printable width of the page and `lines` lines its printable
    // height (0: no bound that way). Meant for fixed-pitch fonts; call after begin().
    virtual void fitFontSize(int columns, int lines) = 0;

    // The items one after another with no separator, then a line end. No items prints an
    // empty line.
    virtual void printLine(const QStringList &items = {}) = 0;
    void printLine(const QString &item) { printLine(QStringList{item}); }
    virtual void printImage(const QImage &image) = 0;
    virtual void newPage() = 0;

    // Ends the document and sends it to the printer. Empty on success, otherwise the
    // error's text (nothing is reported as printed that was not).
    virtual QString end() = 0;
};

inline Printer &printer() { return Service<Printer>::get(); }

} // namespace zorv
