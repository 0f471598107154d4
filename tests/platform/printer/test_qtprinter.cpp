#include "paperpdf.h"
#include "qtprinter.h"
#include "testsupport.h"

#include <QFontInfo>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace zorv;
using zorv::test::TempFolder;

namespace {

// Points the printer at a file for the length of a test.
class PrintTo {
public:
    explicit PrintTo(const QString &path) { qputenv("ZORV900_PRINT_TO", path.toUtf8()); }
    ~PrintTo() { qunsetenv("ZORV900_PRINT_TO"); }
};

QStringList textLines(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes);
    EXPECT_TRUE(text.isEmpty() || text.endsWith('\n'));
    if (text.endsWith('\n'))
        text.chop(1);
    return text.isEmpty() ? QStringList{} : text.split('\n');
}

using zorv::test::pdfTool;

} // namespace

TEST(QtPrinterText, LinesAsPrintedWithFormFeedBetweenPagesAndNoEmptyLastPage)
{
    TempFolder dir;
    PrintTo to(dir.file("out.txt"));
    QtPrinter printer;
    ASSERT_TRUE(printer.begin());
    printer.printLine();                                  // before any font: default font
    printer.setFontName("arial");
    printer.setFontSize(13);
    printer.setBold(true);
    printer.printLine(QStringList{"ROSSI MARIO", "   "});
    printer.printLine(QStringList{});
    printer.newPage();
    printer.newPage();                                    // two in a row make one page break
    printer.setFontName("Courier new");
    printer.printLine("Num. 0012-01-18-2015");
    printer.newPage();                                    // right before the end: no empty page
    EXPECT_EQ(printer.end(), QString());

    EXPECT_EQ(textLines(dir.read("out.txt")),
              (QStringList{"", "ROSSI MARIO   ", "", "\f", "Num. 0012-01-18-2015"}));
}

TEST(QtPrinterText, EachDocumentReplacesTheFile)
{
    TempFolder dir;
    PrintTo to(dir.file("out.txt"));
    QtPrinter printer;
    ASSERT_TRUE(printer.begin());
    for (int i = 0; i < 5; ++i)
        printer.printLine(QString("first %1").arg(i));
    ASSERT_EQ(printer.end(), QString());
    ASSERT_TRUE(printer.begin());
    printer.printLine("second");
    ASSERT_EQ(printer.end(), QString());
    EXPECT_EQ(dir.read("out.txt"), QByteArray("second\n"));
}

TEST(QtPrinterText, FontSettingsStartAfreshWithEachDocument)
{
    TempFolder dir;
    PrintTo to(dir.file("out.txt"));
    QtPrinter printer;
    ASSERT_TRUE(printer.begin());
    printer.setFontSize(18);
    printer.printLine("big");
    ASSERT_EQ(printer.end(), QString());
    // 70 lines in the default font fit one page, but not in 18 pt.
    ASSERT_TRUE(printer.begin());
    for (int i = 0; i < 60; ++i)
        printer.printLine(QString::number(i));
    ASSERT_EQ(printer.end(), QString());
    EXPECT_FALSE(dir.read("out.txt").contains('\f'));
}

TEST(QtPrinterText, AFullPageGoesOnOnTheNextWithoutLosingALine)
{
    TempFolder dir;
    PrintTo to(dir.file("out.txt"));
    QtPrinter printer;
    ASSERT_TRUE(printer.begin());
    printer.setFontName("Courier new");
    printer.setFontSize(10);
    for (int i = 1; i <= 200; ++i)
        printer.printLine(QString("line %1").arg(i));
    ASSERT_EQ(printer.end(), QString());

    const QStringList lines = textLines(dir.read("out.txt"));
    QStringList printed = lines;
    printed.removeAll("\f");
    ASSERT_EQ(printed.size(), 200);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(printed[i], QString("line %1").arg(i + 1));
    const auto breaks = lines.count("\f");
    EXPECT_GE(breaks, 2);   // about 65 lines of 10 pt to an A4 page
    EXPECT_LE(breaks, 4);
    EXPECT_NE(lines.last(), "\f");
}

TEST(QtPrinterText, AnEmptyDocumentWritesAnEmptyFile)
{
    TempFolder dir;
    dir.write("out.txt", "earlier");
    PrintTo to(dir.file("out.txt"));
    QtPrinter printer;
    ASSERT_TRUE(printer.begin());
    printer.newPage();
    ASSERT_EQ(printer.end(), QString());
    EXPECT_EQ(dir.read("out.txt"), QByteArray());
}

TEST(QtPrinterText, AFileThatCannotBeWrittenIsReportedByEnd)
{
    TempFolder dir;
    PrintTo to(dir.file("missing/out.txt"));
    QtPrinter printer;
    ASSERT_TRUE(printer.begin());
    printer.printLine("x");
    EXPECT_NE(printer.end(), QString());
}

TEST(QtPrinterText, EndWithoutBeginIsAnError)
{
    QtPrinter printer;
    EXPECT_NE(printer.end(), QString());
}

TEST(QtPrinterFonts, ArialAndCourierNewResolveToMetricCompatibleFonts)
{
    const QFontInfo arial(QtPrinter::printFont("arial", 10, true, false));
    EXPECT_EQ(arial.family(), "Liberation Sans");
    EXPECT_TRUE(arial.bold());
    const QFontInfo courier(QtPrinter::printFont("Courier new", 10, false, true));
    EXPECT_EQ(courier.family(), "Liberation Mono");
    EXPECT_TRUE(courier.fixedPitch());
    EXPECT_TRUE(courier.italic());
}

TEST(QtPrinterPdf, PdfHoldsTheLinesAndPagesAndThePicture)
{
    TempFolder dir;
    const QString pdf = dir.file("out.pdf");
    PrintTo to(pdf);
    QtPrinter printer;
    ASSERT_TRUE(printer.begin());
    printer.setFontName("arial");
    printer.setFontSize(13);
    printer.setBold(true);
    printer.printLine("SHIP TO:");
    printer.setFontSize(10);
    printer.printLine(QStringList{"Tel.:", "0212345", "   Fax:", "AB12"});
    printer.newPage();
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::cyan);
    printer.printImage(image);
    printer.newPage();
    ASSERT_EQ(printer.end(), QString());

    const QString text = pdfTool("pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(text.contains("SHIP TO:"));
    EXPECT_TRUE(text.contains("Tel.:0212345"));
    EXPECT_TRUE(text.contains("Fax:AB12"));
    EXPECT_EQ(text.count('\f'), 2);           // pdftotext ends every page with a form feed

    const QString info = pdfTool("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+2\\n")));
    const QString images = pdfTool("pdfimages", {"-list", pdf});
    EXPECT_TRUE(images.contains(QRegularExpression("\\n\\s+2\\s+\\d+\\s+image\\s+200\\s+100")));
}

// --- on paper: the printer path to a PDF on each paper size ---

namespace {

using zorv::test::kPapers;
using zorv::test::PdfPage;

class OnPaper : public ::testing::TestWithParam<QPageSize::PageSizeId> {
protected:
    OnPaper() { zorv::test::printToPdf(printer, pdf, GetParam()); }
    QList<PdfPage> pages() const { return zorv::test::readPdf(pdf); }

    TempFolder dir;
    QString pdf = dir.file("out.pdf");
    QtPrinter printer;
};

QString numberedLine(int i, int width)
{
    return QString("%1 ").arg(i, 4, 10, QChar('0')).leftJustified(width - 1, 'x') + 'E';
}

} // namespace

TEST_P(OnPaper, AFontFittedToAWidthPrintsWholeRowsOfThatManyCharacters)
{
    ASSERT_TRUE(printer.begin());
    printer.setBold(true);
    printer.setFontName("Courier new");
    printer.fitFontSize(113, 0);
    QStringList lines;
    for (int i = 1; i <= 150; ++i) {
        lines.append(numberedLine(i, 113));
        printer.printLine(lines.last());
    }
    ASSERT_EQ(printer.end(), QString());

    const QList<PdfPage> read = pages();
    ASSERT_GE(read.size(), 2); // a full page goes on on the next
    QStringList printed;
    for (const PdfPage &page : read) {
        EXPECT_EQ(page.size.toSize(), QPageSize(GetParam()).sizePoints());
        printed += page.lines;
    }
    EXPECT_EQ(printed, lines);
    zorv::test::expectWholeOnPages(read);
}

TEST_P(OnPaper, AFontFittedToALineCountPrintsThatManyLinesAPage)
{
    ASSERT_TRUE(printer.begin());
    printer.setFontName("Courier new");
    printer.setFontSize(10);
    printer.fitFontSize(64, 69);
    for (int page = 0; page < 3; ++page) {
        for (int i = 1; i <= 69; ++i)
            printer.printLine(numberedLine(i, 64));
        printer.newPage();
    }
    ASSERT_EQ(printer.end(), QString());

    const QList<PdfPage> read = pages();
    ASSERT_EQ(read.size(), 3);
    for (const PdfPage &page : read) {
        ASSERT_EQ(page.lines.size(), 69);
        EXPECT_EQ(page.lines.first(), numberedLine(1, 64));
        EXPECT_EQ(page.lines.last(), numberedLine(69, 64));
    }
    zorv::test::expectWholeOnPages(read);
}

TEST_P(OnPaper, AFontThatFitsAlreadyKeepsItsSize)
{
    ASSERT_TRUE(printer.begin());
    printer.setFontName("Courier new");
    printer.setFontSize(10);
    printer.fitFontSize(40, 20);
    printer.printLine("Size");
    ASSERT_EQ(printer.end(), QString());
    const QList<PdfPage> read = pages();
    ASSERT_EQ(read.size(), 1);
    ASSERT_EQ(read[0].words.size(), 1);
    // Liberation Mono at 10 pt: 6 pt a character.
    EXPECT_NEAR(read[0].words[0].box.width(), 24.0, 0.2);
}

INSTANTIATE_TEST_SUITE_P(Papers, OnPaper, ::testing::ValuesIn(kPapers),
                         [](const auto &info) { return zorv::test::paperName(info.param); });

TEST(QtPrinterLayout, TheTextOutputBreaksPagesWhereTheA4PrinterDoes)
{
    TempFolder dir;
    const auto print = [](QtPrinter &printer) {
        ASSERT_TRUE(printer.begin());
        printer.setFontName("arial");
        for (int i = 1; i <= 300; ++i) {
            printer.setFontSize(8 + i % 11);     // mixed line heights
            printer.printLine(QString("line %1").arg(i));
            if (i % 97 == 0)
                printer.newPage();
        }
        ASSERT_EQ(printer.end(), QString());
    };
    {
        PrintTo to(dir.file("out.txt"));
        QtPrinter text;
        print(text);
    }
    QtPrinter paper;
    zorv::test::printToPdf(paper, dir.file("out.pdf"), QPageSize::A4);
    print(paper);

    const QList<QStringList> textPages = zorv::test::textPages(dir.read("out.txt"));
    const QList<PdfPage> pdfPages = zorv::test::readPdf(dir.file("out.pdf"));
    ASSERT_GE(textPages.size(), 6);
    ASSERT_EQ(textPages.size(), pdfPages.size());
    for (qsizetype p = 0; p < textPages.size(); ++p)
        EXPECT_EQ(textPages[p], pdfPages[p].lines) << "page " << p + 1;
}

// --- a print that cannot go out is reported, never taken as printed ---

TEST(QtPrinterFailure, NoPrinterInstalledIsReportedOnceSomethingIsPrinted)
{
    // The tests keep the print system out of reach, so Qt finds no printer and leaves what
    // the dialog leaves then: a PDF output without a file. Anything else is never printed on.
    QtPrinter printer;
    printer.setChooser([](QPrinter &p) {
        return p.outputFormat() == QPrinter::PdfFormat && p.outputFileName().isEmpty();
    });
    ASSERT_TRUE(printer.begin()) << "a printer is in reach (CUPS_SERVER=" << qgetenv("CUPS_SERVER").toStdString()
                                 << ")";
    printer.newPage();
    EXPECT_EQ(printer.end(), QString());   // nothing to print, nothing to say

    ASSERT_TRUE(printer.begin());
    printer.printLine("x");
    EXPECT_EQ(printer.end(), "Nessuna stampante installata");
}

TEST(QtPrinterFailure, AnOutputFileThatCannotBeWritten)
{
    TempFolder dir;
    QtPrinter printer;
    zorv::test::printToPdf(printer, dir.file("missing/out.pdf"), QPageSize::A4);
    ASSERT_TRUE(printer.begin());
    printer.printLine("x");
    printer.newPage();
    printer.printLine("y");
    EXPECT_EQ(printer.end(), "Stampante non disponibile");
    EXPECT_FALSE(QFile::exists(dir.file("missing/out.pdf")));
}

TEST(QtPrinterFailure, ACancelledChoicePrintsNothing)
{
    TempFolder dir;
    QtPrinter printer;
    printer.setChooser([](QPrinter &) { return false; });
    EXPECT_FALSE(printer.begin());
    printer.printLine("x");
    EXPECT_NE(printer.end(), QString());
}

TEST(QtPrinterFailure, AFullDiskKeepsTheEarlierFileAndSaysSo)
{
    // Small enough to stay in the file's write buffer until the end, and large enough
    // for either output not to fit under the limit.
    for (const char *name : {"out.txt", "out.pdf"}) {
        TempFolder dir;
        dir.write(name, "earlier");
        PrintTo to(dir.file(name));
        QtPrinter printer;
        ASSERT_TRUE(printer.begin());
        for (int i = 0; i < 60; ++i)
            printer.printLine(QString("line %1 ").arg(i).leftJustified(60, '-'));
        QString error;
        {
            zorv::test::FileSizeLimit full(1000);
            error = printer.end();
        }
        EXPECT_NE(error, QString()) << name;
        EXPECT_EQ(dir.read(name), QByteArray("earlier")) << name;
    }
}
