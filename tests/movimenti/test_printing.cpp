#include "movimentiwindowfixture.h"

#include "paperpdf.h"
#include "printlist.h"
#include "text.h"
#include "qtprinter.h"

using namespace zorv;
using namespace zorv::movimenti;
using namespace zorv::movimenti::test;

namespace {

const QString kHeader = QStringLiteral(
    "Num.    Cliente  Nome                           Carta         Porta  Data         Ora          Esito             ");
const QString kLongName = QStringLiteral(
    "1       0012     ABCDEFGHIJKLMNOPQRSTUVWXYZ1234 04A1B2C3D4E5  1      09/12/2026   10:11:12     Autorizzato       ");
const QString kName28 = QStringLiteral(
    "2       ######   ABCDEFGHIJKLMNOPQRSTUVWXYZ12   FFFFFFFFFFFF  0      09/12/2026   10:11:12     Non autorizzato   ");

class Printing : public WindowFixture {
protected:
    void SetUp() override
    {
        writeLog(movLine("0012", "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567", "04A1B2C3D4E5", "1", "Autorizzato")
                 + movLine("######", "ABCDEFGHIJKLMNOPQRSTUVWXYZ12", "FFFFFFFFFFFF", "0", "Non autorizzato"));
    }
    QStringList titleLines() const
    {
        return {QString(), QStringLiteral("Lista Movimenti"), QStringLiteral("Del 09/12/2026"), QString(), QString(),
                QString()};
    }
};

} // namespace

TEST_F(Printing, ListHasTitleDateHeaderAndOneLinePerRow)
{
    open();
    click("Command2");
    ASSERT_EQ(printer.documents.size(), 1);
    EXPECT_EQ(printer.lastLines(), (titleLines() + QStringList{kHeader, kLongName, kName28}));
    for (const auto &line : printer.documents.last().pages.first()) {
        EXPECT_TRUE(line.bold);
        EXPECT_EQ(line.font, QStringLiteral("Courier new"));
        EXPECT_EQ(line.fitColumns, 113); // a whole row across the page
    }
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(grid().currentRow(), 2);
    EXPECT_EQ(grid().currentCol(), 7);
}

TEST_F(Printing, EmptyTableSaysSoAndPrintsNothing)
{
    writeLog("");
    open();
    text1()->setText(QStringLiteral("ABC"));
    text2()->setText(QStringLiteral("3"));
    click("Command2");
    EXPECT_EQ(printer.dialogs, 0);
    EXPECT_TRUE(printer.documents.isEmpty());
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Tabella Vuota !"));
    EXPECT_EQ(boxes.last().style, 256);
    EXPECT_EQ(boxes.last().title, QStringLiteral("STAMPA"));
    EXPECT_TRUE(text1()->text().isEmpty());
    EXPECT_TRUE(text2()->text().isEmpty());
}

TEST_F(Printing, CancelledDialogPrintsNothingAndSaysNothing)
{
    open();
    printer.cancel = true;
    click("Command2");
    EXPECT_EQ(printer.dialogs, 1);
    EXPECT_TRUE(printer.documents.isEmpty());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(Printing, PrinterFailureIsReported)
{
    open();
    printer.failWith = QStringLiteral("Stampante non in linea");
    click("Command2");
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Stampante non in linea"));
}

TEST_F(Printing, FilteredTablePrintsItsOwnRowsAndNumbers)
{
    open();
    grid().setCurrentCell(2, 7);
    ASSERT_TRUE(window->program().gridDblClick());
    window->program().loader().runToEnd();
    click("Command2");
    const QStringList lines = printer.lastLines();
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[7], QStringLiteral("1") + kName28.mid(1));
}

TEST_F(Printing, DocumentPrintsWithItsHeaders)
{
    open();
    click("Command6");
    window->program().registraarticolo(entry("ZZZ", "2", false, true));
    click("Command2");
    const QStringList lines = printer.lastLines();
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[6], QStringLiteral("ID Art. Barcode  Descrizione                    Quantit\u00e0      Qta Re "
                                       "Prezzo1      Prezzo2      Prezzo3           "));
    EXPECT_EQ(lines[7], QStringLiteral("#####   ZZZ      Articolo non Presente          2             0      0       "
                                       "     0            0                 "));
    for (const QString &line : lines.mid(6))
        EXPECT_EQ(line.size(), 113);
}

TEST_F(Printing, RealPrinterWritesTheLinesToTheTextSeam)
{
    const QString out = folder.file(QStringLiteral("stampa.txt"));
    qputenv("ZORV900_PRINT_TO", out.toLocal8Bit());
    QtPrinter real;
    ScopedService<Printer> installed(&real);
    open();
    click("Command2");
    qunsetenv("ZORV900_PRINT_TO");
    const QStringList lines = QString::fromUtf8(folder.read(QStringLiteral("stampa.txt"))).split(u'\n');
    ASSERT_GE(lines.size(), 9);
    EXPECT_EQ(lines.mid(0, 9), (titleLines() + QStringList{kHeader, kLongName, kName28}));
}

// --- on paper, through the printer path ---

namespace {

using zorv::test::PdfPage;

// 250 movements, outcomes alternating, so that the list runs over several pages.
QByteArray longLog()
{
    QByteArray log;
    for (int i = 1; i <= 250; ++i) {
        const QByteArray number = QByteArray::number(i).rightJustified(4, '0');
        log += movLine(number, "CLIENTE NUMERO " + number, "04A1B2C3" + number, QByteArray::number(i % 3),
                       i % 2 ? "Autorizzato" : "Non autorizzato", "09/12/2026",
                       "10:" + QByteArray::number(10 + i % 50) + ":12");
    }
    return log;
}

class PrintingOnPaper : public Printing, public ::testing::WithParamInterface<QPageSize::PageSizeId> {
protected:
    PrintingOnPaper() { zorv::test::printToPdf(real, pdf, GetParam()); }

    // The list as the window prints it: title, date, header and rows.
    QStringList expected()
    {
        QStringList lines = titleLines();
        for (int row = 0; row < grid().rowCount(); ++row)
            lines.append(text::fromCp1252(printedRow(grid(), row)));
        return zorv::test::asRead(lines);
    }
    static QStringList joined(const QList<PdfPage> &pages)
    {
        QStringList out;
        for (const PdfPage &page : pages)
            out += page.lines;
        return out;
    }

    QString pdf = folder.file(QStringLiteral("stampa.pdf"));
    QtPrinter real;
    ScopedService<Printer> installed{&real};
};

} // namespace

TEST_P(PrintingOnPaper, EveryRowIsWholeOnThePageOutcomeIncluded)
{
    writeLog(longLog());
    open();
    click("Command2");
    EXPECT_TRUE(boxes.shown.isEmpty());

    const QList<PdfPage> pages = zorv::test::readPdf(pdf);
    ASSERT_GE(pages.size(), 3);
    EXPECT_EQ(pages[0].lines.value(2), kHeader.simplified());
    EXPECT_EQ(joined(pages), expected());
    zorv::test::expectWholeOnPages(pages);
    int granted = 0;
    for (const PdfPage &page : pages)
        for (const auto &word : page.words)
            granted += word.text == QStringLiteral("Autorizzato");
    EXPECT_EQ(granted, 125);
}

TEST_P(PrintingOnPaper, TheArticleDocumentIsWholeOnThePage)
{
    open();
    click("Command6");
    window->program().registraarticolo(entry("ZZZ", "2", false, true));
    click("Command2");
    const QList<PdfPage> pages = zorv::test::readPdf(pdf);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].lines, expected());
    EXPECT_TRUE(pages[0].lines.last().startsWith(QStringLiteral("##### ZZZ Articolo non Presente 2")));
    zorv::test::expectWholeOnPages(pages);
}

INSTANTIATE_TEST_SUITE_P(Papers, PrintingOnPaper, ::testing::ValuesIn(zorv::test::kPapers),
                         [](const auto &info) { return zorv::test::paperName(info.param); });

TEST_F(Printing, TheTextSeamBreaksTheListsPagesWhereAnA4PrinterDoes)
{
    writeLog(longLog());
    open();
    QtPrinter real;
    ScopedService<Printer> installed(&real);
    zorv::test::printToPdf(real, folder.file(QStringLiteral("stampa.pdf")), QPageSize::A4);
    click("Command2");
    const QString out = folder.file(QStringLiteral("stampa.txt"));
    qputenv("ZORV900_PRINT_TO", out.toLocal8Bit());
    click("Command2");
    qunsetenv("ZORV900_PRINT_TO");

    const QList<QStringList> text = zorv::test::textPages(folder.read(QStringLiteral("stampa.txt")));
    const QList<PdfPage> paper = zorv::test::readPdf(folder.file(QStringLiteral("stampa.pdf")));
    ASSERT_GE(text.size(), 3);
    ASSERT_EQ(text.size(), paper.size());
    for (qsizetype p = 0; p < text.size(); ++p)
        EXPECT_EQ(zorv::test::asRead(text[p]), paper[p].lines) << "page " << p + 1;
}
