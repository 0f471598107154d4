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

QString runTool(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    EXPECT_TRUE(process.waitForFinished(20000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << QString::fromLocal8Bit(process.readAllStandardError()).toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

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

    const QString text = runTool("pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(text.contains("SHIP TO:"));
    EXPECT_TRUE(text.contains("Tel.:0212345"));
    EXPECT_TRUE(text.contains("Fax:AB12"));
    EXPECT_EQ(text.count('\f'), 2);           // pdftotext ends every page with a form feed

    const QString info = runTool("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+2\\n")));
    const QString images = runTool("pdfimages", {"-list", pdf});
    EXPECT_TRUE(images.contains(QRegularExpression("\\n\\s+2\\s+\\d+\\s+image\\s+200\\s+100")));
}
