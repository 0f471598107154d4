#pragma once

// Printing a document on real paper sizes: the printer path of QtPrinter into a PDF file,
// read back with poppler's tools.

#include "qtprinter.h"

#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace zorv::test {

// The papers every document is printed on, portrait.
inline const QList<QPageSize::PageSizeId> kPapers{QPageSize::A4, QPageSize::Letter};

inline std::string paperName(QPageSize::PageSizeId paper)
{
    return QPageSize::key(paper).toStdString();
}

// The documents of `printer` go, in place of the print dialog's choice, through its
// printer path to a PDF file at `path` on `paper`.
inline void printToPdf(QtPrinter &printer, const QString &path, QPageSize::PageSizeId paper)
{
    printer.setChooser([path, paper](QPrinter &p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(path);
        p.setPageSize(QPageSize(paper));
        p.setPageOrientation(QPageLayout::Portrait);
        return true;
    });
}

inline QString pdfTool(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << QString::fromLocal8Bit(process.readAllStandardError()).toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

struct PdfWord {
    QString text;
    QRectF box; // in points, from the page's top left corner
};

struct PdfPage {
    QSizeF size; // in points
    QList<PdfWord> words;
    QStringList lines; // the words of each printed line, one space between them
};

// The pages of a PDF with the words on them as poppler reads them.
inline QList<PdfPage> readPdf(const QString &path)
{
    const QString html = pdfTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    static const QRegularExpression tag(QString::fromLatin1(
        R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.-]+)" yMin="([\d.-]+)" )re"
        R"re(xMax="([\d.-]+)" yMax="([\d.-]+)">([^<]*)</word>)re"));
    QList<PdfPage> pages;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (!m.captured(1).isEmpty()) {
            pages.append({QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()), {}, {}});
            continue;
        }
        if (pages.isEmpty())
            continue;
        QString word = m.captured(7);
        word.replace(QLatin1String("&lt;"), QLatin1String("<"))
            .replace(QLatin1String("&gt;"), QLatin1String(">"))
            .replace(QLatin1String("&quot;"), QLatin1String("\""))
            .replace(QLatin1String("&apos;"), QLatin1String("'"))
            .replace(QLatin1String("&#39;"), QLatin1String("'"))
            .replace(QLatin1String("&amp;"), QLatin1String("&"));
        const QRectF box(QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()),
                         QPointF(m.captured(5).toDouble(), m.captured(6).toDouble()));
        pages.last().words.append({word, box});
    }
    // Words come in poppler's reading order, which takes the columns of a fixed-pitch
    // list for text columns: lines are made by baseline, words by their left edge.
    for (PdfPage &page : pages) {
        QList<PdfWord> words = page.words;
        std::stable_sort(words.begin(), words.end(),
                         [](const PdfWord &a, const PdfWord &b) { return a.box.bottom() < b.box.bottom(); });
        QList<QList<PdfWord>> lines;
        double baseline = -1;
        for (const PdfWord &w : words) {
            if (lines.isEmpty() || w.box.bottom() - baseline > 0.5) {
                lines.append(QList<PdfWord>{});
                baseline = w.box.bottom();
            }
            lines.last().append(w);
        }
        for (auto &line : lines) {
            std::stable_sort(line.begin(), line.end(),
                             [](const PdfWord &a, const PdfWord &b) { return a.box.left() < b.box.left(); });
            QStringList texts;
            for (const PdfWord &w : line)
                texts.append(w.text);
            page.lines.append(texts.join(QLatin1Char(' ')));
        }
    }
    return pages;
}

// Printed lines as they read back from a PDF: words joined by one space, empty lines gone.
inline QStringList asRead(const QStringList &lines)
{
    QStringList out;
    for (const QString &line : lines) {
        const QString words = line.simplified();
        if (!words.isEmpty())
            out.append(words);
    }
    return out;
}

// Every word lies whole inside its page, clear of the edges.
inline void expectWholeOnPages(const QList<PdfPage> &pages, double clearPt = 10)
{
    for (qsizetype p = 0; p < pages.size(); ++p) {
        const QRectF inside = QRectF(QPointF(0, 0), pages[p].size).adjusted(clearPt, clearPt, -clearPt, -clearPt);
        for (const PdfWord &w : pages[p].words)
            EXPECT_TRUE(inside.contains(w.box)) << "page " << p + 1 << ": \"" << w.text.toStdString() << "\" at "
                                                << w.box.left() << "," << w.box.top() << " to " << w.box.right()
                                                << "," << w.box.bottom();
    }
}

// Splits printed lines at the form-feed lines the text output puts between pages.
inline QList<QStringList> textPages(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    QList<QStringList> pages{{}};
    if (text.isEmpty())
        return {};
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line == QLatin1String("\f"))
            pages.append(QStringList{});
        else
            pages.last().append(line);
    }
    return pages;
}

} // namespace zorv::test
