#include "windowfixture.h"

#ifdef ZORV_HAVE_QT_PRINTER
#include "qtprinter.h"
#endif

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

#ifdef ZORV_HAVE_QT_PRINTER
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
#endif
