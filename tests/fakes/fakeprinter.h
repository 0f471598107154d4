#pragma once

#include "printer.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace zorv {

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
