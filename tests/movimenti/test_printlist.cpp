#include "printlist.h"
#include "fakeprinter.h"

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::movimenti;

TEST(PrintList, TitleDateThenEveryRowInBoldCourierFittedToARow)
{
    GridTable grid;
    grid.setTexts(0, {"Num.", "Cliente", "Nome", "Carta", "Porta", "Data", "Ora", "Esito"});
    grid.appendMovement(1, {"0012", "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567", "04A1B2C3D4E5", "1", "09/12/2026",
                            "10:11:12", "Autorizzato"});
    grid.appendMovement(2, {"######", "PERCH\xc8", "FFFFFFFFFFFF", "0", "09/12/2026", "10:11:12",
                            "Non autorizzato"});
    grid.publishAppended();

    FakePrinter printer;
    ASSERT_TRUE(printer.begin());
    printList(printer, grid, QDate(2026, 12, 9));
    // The caller ends the document.
    EXPECT_TRUE(printer.documents.isEmpty());
    ASSERT_TRUE(printer.end().isEmpty());

    const QList<FakePrinter::Page> &pages = printer.documents.last().pages;
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(printer.lastLines(),
              (QStringList{
                  QString(), QStringLiteral("Lista Movimenti"), QStringLiteral("Del 09/12/2026"), QString(), QString(),
                  QString(),
                  QStringLiteral("Num.    Cliente  Nome                           Carta         Porta  Data         "
                                 "Ora          Esito             "),
                  QStringLiteral("1       0012     ABCDEFGHIJKLMNOPQRSTUVWXYZ1234 04A1B2C3D4E5  1      09/12/2026   "
                                 "10:11:12     Autorizzato       "),
                  QStringLiteral("2       ######   PERCH\u00c8                         FFFFFFFFFFFF  0      09/12/2026   "
                                 "10:11:12     Non autorizzato   "),
              }));
    for (const FakePrinter::Line &line : pages.first()) {
        EXPECT_TRUE(line.bold) << line.text.toStdString();
        EXPECT_EQ(line.font, QStringLiteral("Courier new"));
        EXPECT_EQ(line.fitColumns, kPrintedRowWidth);
        EXPECT_EQ(line.fitLines, 0); // rows run on over as many pages as they need
    }
    for (const FakePrinter::Line &line : pages.first().mid(6))
        EXPECT_EQ(line.text.size(), kPrintedRowWidth);
}
