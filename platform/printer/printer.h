#pragma once

#include "service.h"

#include <QImage>
#include <QList>
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

// Records every document in memory; for tests.
class FakePrinter : public Printer {
public:
    using Printer::printLine;
    struct Line {
        QString text;
        QString font;
        double size = 0;
        bool bold = false;
        bool emphasis = false;
        int fitColumns = 0;   // the fit asked for the font in use
        int fitLines = 0;
    };
    using Page = QList<Line>;
    struct Document {
        QList<Page> pages;
        QList<QImage> images;
    };

    bool begin() override
    {
        ++dialogs;
        if (cancel)
            return false;
        m_current = Document{};
        m_pageOpen = false;
        m_active = true;
        m_fitColumns = m_fitLines = 0;
        return true;
    }
    void setFontName(const QString &name) override { m_font = name; }
    void setFontSize(double points) override
    {
        m_size = points;
        m_fitColumns = m_fitLines = 0;
    }
    void fitFontSize(int columns, int lines) override
    {
        m_fitColumns = columns;
        m_fitLines = lines;
    }
    void setBold(bool on) override { m_bold = on; }
    void setEmphasis(bool on) override { m_emphasis = on; }
    void printLine(const QStringList &items) override
    {
        openPage();
        m_current.pages.last().append(
            {items.join(QString()), m_font, m_size, m_bold, m_emphasis, m_fitColumns, m_fitLines});
    }
    void printImage(const QImage &image) override
    {
        openPage();
        m_current.images.append(image);
    }
    void newPage() override { m_pageOpen = false; }
    QString end() override
    {
        m_active = false;
        if (!failWith.isEmpty())
            return failWith;
        documents.append(m_current);
        return {};
    }

    // Every line of the last document, pages joined, a "\f" line between pages.
    QStringList lastLines() const
    {
        QStringList out;
        if (documents.isEmpty())
            return out;
        const auto &pages = documents.last().pages;
        for (int p = 0; p < pages.size(); ++p) {
            if (p > 0)
                out.append(QStringLiteral("\f"));
            for (const auto &line : pages[p])
                out.append(line.text);
        }
        return out;
    }

    bool cancel = false;     // the operator cancels the dialog
    QString failWith;        // end() fails with this text
    int dialogs = 0;
    QList<Document> documents;

private:
    void openPage()
    {
        if (!m_pageOpen) {
            m_current.pages.append(Page{});
            m_pageOpen = true;
        }
    }

    Document m_current;
    bool m_pageOpen = false;
    bool m_active = false;
    QString m_font;
    double m_size = 0;
    bool m_bold = false;
    bool m_emphasis = false;
    int m_fitColumns = 0;
    int m_fitLines = 0;
};

} // namespace zorv
