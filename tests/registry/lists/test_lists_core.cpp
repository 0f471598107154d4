#include "listfixture.h"
#include "listlines.h"

#include <gtest/gtest.h>

using namespace zorv;
using namespace Qt::StringLiterals;
using namespace zorv::registry;
using namespace zorv::registry::lists;
using zorv::test::Customer;

namespace {

Record sampleRecord()
{
    Customer c;
    c.nome = "ROSSI MARIO ALBERTO DI CASTELNUOVO";
    c.accessi = "D31-12-2015";
    c.telefono = "06 5551234";
    c.carta = "AB12CD34EF56";
    return test::record(c);
}

QList<int> numbersOf(const Listing &l, Layout layout)
{
    QList<int> out;
    for (const QString &s : l.lines)
        out.append(numberOnLine(layout, s));
    return out;
}

} // namespace

TEST(ListLines, FullListLayoutsPutEachFieldInItsColumns)
{
    const Record r = sampleRecord();
    const QString alpha = line(Layout::Elenchi, 42, r);
    ASSERT_EQ(alpha.size(), 74);
    EXPECT_EQ(alpha.mid(0, 25), QStringLiteral("ROSSI MARIO ALBERTO DI CA"));
    EXPECT_EQ(alpha.mid(26, 11), QStringLiteral("D31-12-2015"));
    EXPECT_EQ(alpha.mid(38, 15), QStringLiteral("06 5551234     "));
    EXPECT_EQ(alpha.mid(54, 15), QStringLiteral("AB12CD34EF56   "));
    EXPECT_EQ(alpha.right(4), QStringLiteral("0042"));
    for (int col : {26, 38, 54, 70})
        EXPECT_EQ(alpha[col - 1], QLatin1Char(' ')) << col;

    const QString num = line(Layout::Elenco, 42, r);
    ASSERT_EQ(num.size(), 74);
    EXPECT_EQ(num.left(4), QStringLiteral("0042"));
    EXPECT_EQ(num.mid(5, 25), QStringLiteral("ROSSI MARIO ALBERTO DI CA"));
    EXPECT_EQ(num.mid(31, 11), QStringLiteral("D31-12-2015"));
    EXPECT_EQ(num.mid(43, 15), QStringLiteral("06 5551234     "));
    EXPECT_EQ(num.mid(59, 15), QStringLiteral("AB12CD34EF56   "));
    for (int col : {5, 31, 43, 59})
        EXPECT_EQ(num[col - 1], QLatin1Char(' ')) << col;
}

TEST(ListLines, QuickListLayouts)
{
    Customer c;
    c.nome = "BIANCHI";
    const Record r = test::record(c);
    EXPECT_EQ(line(Layout::Lista1, 7, r), QStringLiteral("0007 BIANCHI                  "));
    EXPECT_EQ(line(Layout::Lista, 7, r), QStringLiteral("BIANCHI                   0007"));
    EXPECT_EQ(line(Layout::Lista, 7, sampleRecord()).left(25), QStringLiteral("ROSSI MARIO ALBERTO DI CA"));
}

TEST(ListLines, HeadersStandOverTheirColumns)
{
    const QString alpha = header(Layout::Elenchi);
    EXPECT_EQ(alpha, QStringLiteral("Cognome e Nome            Accessi     Telefono        N Carta         N.Cl"));
    EXPECT_EQ(alpha.indexOf(QStringLiteral("Accessi")) + 1, 27);
    EXPECT_EQ(alpha.indexOf(QStringLiteral("Telefono")) + 1, 39);
    EXPECT_EQ(alpha.indexOf(QStringLiteral("N Carta")) + 1, 55);
    EXPECT_EQ(alpha.indexOf(QStringLiteral("N.Cl")) + 1, 71);
    const QString num = header(Layout::Elenco);
    EXPECT_EQ(num, QStringLiteral("N.Cl Cognome e Nome            Accessi     Telefono        N Carta     "));
    EXPECT_EQ(num.indexOf(QStringLiteral("Cognome")) + 1, 6);
    EXPECT_EQ(num.indexOf(QStringLiteral("Accessi")) + 1, 32);
    EXPECT_EQ(num.indexOf(QStringLiteral("Telefono")) + 1, 44);
    EXPECT_EQ(num.indexOf(QStringLiteral("N Carta")) + 1, 60);
    EXPECT_EQ(header(Layout::Lista).indexOf(QStringLiteral("N.cli")) + 1, 27);
    EXPECT_EQ(header(Layout::Lista1), QStringLiteral("N.cli  Cognome e Nome "));
}

TEST(ListLines, NumberIsReadBackFromItsEndOfTheLine)
{
    const Record r = sampleRecord();
    for (Layout l : {Layout::Elenchi, Layout::Elenco, Layout::Lista, Layout::Lista1}) {
        EXPECT_EQ(numberOnLine(l, line(l, 9999, r)), 9999);
        EXPECT_EQ(numberOnLine(l, line(l, 10, r)), 10);
    }
    EXPECT_EQ(numberOnLine(Layout::Elenco, QStringLiteral("")), 0);
    EXPECT_TRUE(line(Layout::Elenco, 10000, r).isEmpty());
}

TEST(ListOrder, SortedCaseInsensitiveAndStable)
{
    QStringList lines{QStringLiteral("b"), QStringLiteral("A2"), QStringLiteral("a1"), QStringLiteral("B"),
                      QStringLiteral("a1")};
    sortLines(lines);
    EXPECT_EQ(lines, (QStringList{"a1", "a1", "A2", "b", "B"}));

    QStringList equal{QStringLiteral("Rossi"), QStringLiteral("ROSSI"), QStringLiteral("rossi")};
    sortLines(equal);
    EXPECT_EQ(equal, (QStringList{"Rossi", "ROSSI", "rossi"})); // as added
}

TEST(ListOrder, AccentedNamesSortWithTheirPlainLettersInEveryLayout)
{
    QList<Record> records;
    for (const Customer &c : test::accentedNames())
        records.append(test::record(c));
    for (Layout l : {Layout::Elenchi, Layout::Lista})
        EXPECT_EQ(numbersOf(buildListing(records, l), l), test::kAccentedAlphabetic) << int(l);
    for (Layout l : {Layout::Elenco, Layout::Lista1})
        EXPECT_EQ(numbersOf(buildListing(records, l), l), (QList<int>{1, 2, 3, 4, 5, 6})) << int(l);
    const QStringList lines = buildListing(records, Layout::Lista).lines;
    EXPECT_TRUE(lines[1].startsWith(u"\u00c9RIC DUPONT "_s)) << qPrintable(lines[1]);
    EXPECT_TRUE(lines[3].startsWith(u"NICOL\u00d2 ANNA "_s)) << qPrintable(lines[3]);
}

TEST(ListOrder, NumericListOrdersByNumberAndAlphabeticByTheFollowingColumns)
{
    QList<Record> records;
    for (int i = 1; i <= 12; ++i) {
        Customer c;
        c.nome = i % 2 ? "ZETA" : "ALFA";
        c.accessi = QByteArray::number(20 - i);
        records.append(test::record(c));
    }
    const Listing numeric = buildListing(records, Layout::Elenco);
    ASSERT_EQ(numeric.lines.size(), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(numberOnLine(Layout::Elenco, numeric.lines[i]), i + 1);
    EXPECT_TRUE(numeric.lines[8].startsWith(QStringLiteral("0009")));
    EXPECT_TRUE(numeric.lines[9].startsWith(QStringLiteral("0010")));

    // Same names: ordered by Accessi as text ("10" < "12" < ... < "8"), then the rest.
    EXPECT_EQ(numbersOf(buildListing(records, Layout::Elenchi), Layout::Elenchi),
              (QList<int>{10, 8, 6, 4, 2, 12, 9, 7, 5, 3, 1, 11}));

    // Quick alphabetic list: same names in number order.
    EXPECT_EQ(numbersOf(buildListing(records, Layout::Lista), Layout::Lista),
              (QList<int>{2, 4, 6, 8, 10, 12, 1, 3, 5, 7, 9, 11}));
}

TEST(Listing, FiltersCompareTheTrimmedFieldExactlyAndSkipDeleted)
{
    Customer roma{"A"};
    Customer romagna{"B", "ROMAGNA"};
    Customer milano{"C", "MILANO", "D31-12-2030"};
    Customer lower{"D", "roma"}; // stored upper-cased by the entry rules
    const QList<Record> records{test::record(roma), Record::deleted(), test::record(romagna), test::record(milano),
                                test::record(lower)};
    const Layout l = Layout::Elenco;
    EXPECT_EQ(numbersOf(buildListing(records, l), l), (QList<int>{1, 3, 4, 5}));
    EXPECT_EQ(numbersOf(buildListing(records, l, {Filter::City, "ROMA"}), l), (QList<int>{1, 5}));
    EXPECT_TRUE(buildListing(records, l, {Filter::City, "ROM"}).lines.isEmpty());
    EXPECT_TRUE(buildListing(records, l, {Filter::City, "roma"}).lines.isEmpty());
    EXPECT_EQ(numbersOf(buildListing(records, l, {Filter::Stato, "D31-12-2030"}), l), (QList<int>{4}));
    EXPECT_EQ(numbersOf(buildListing(records, l, {Filter::Stato, "10"}), l), (QList<int>{1, 3, 5}));
    // A deleted record is all '*': even a filter of stars never lists it.
    EXPECT_TRUE(buildListing(records, l, {Filter::City, QString(24, QLatin1Char('*'))}).lines.isEmpty());
}

TEST(Listing, AFileOfMoreThan9999RecordsStopsOnRecord10000KeepingTheLinesBefore)
{
    Customer c{"X"};
    QList<Record> records(10002, test::record(c));
    records[5] = Record::deleted();
    const Listing l = buildListing(records, Layout::Elenco);
    EXPECT_TRUE(l.error.contains(QStringLiteral("10000")));
    ASSERT_EQ(l.lines.size(), 9998);
    EXPECT_TRUE(l.lines.last().startsWith(QStringLiteral("9999")));

    records.resize(9999);
    EXPECT_TRUE(buildListing(records, Layout::Elenco).error.isEmpty());
}

TEST(Listing, ReadsWholeRecordsFromDiskAndReportsAMissingFolder)
{
    test::TempFolder dir;
    const QString file = dir.file(QStringLiteral("CLIENTI.DAT"));
    // Missing file: an empty registry, no error.
    Listing l = listRegistry(file, Layout::Elenchi);
    EXPECT_TRUE(l.error.isEmpty());
    EXPECT_TRUE(l.lines.isEmpty());

    dir.write(QStringLiteral("CLIENTI.DAT"), test::registryBytes(test::numbered(3)) + QByteArray(100, 'Z'));
    l = listRegistry(file, Layout::Elenco);
    EXPECT_TRUE(l.error.isEmpty());
    EXPECT_EQ(l.lines.size(), 3); // the broken tail is not a customer

    const QString nowhere = dir.file(QStringLiteral("nowhere/CLIENTI.DAT"));
    l = listRegistry(nowhere, Layout::Elenco);
    EXPECT_FALSE(l.error.isEmpty());
    EXPECT_FALSE(registryOpenError(nowhere).isEmpty());
    EXPECT_TRUE(registryOpenError(file).isEmpty());
}

TEST(Listing, Captions)
{
    EXPECT_EQ(totalCaption(12), QStringLiteral("Records: 12"));
    EXPECT_EQ(totalCaption(0), QStringLiteral("Records: 0"));
    EXPECT_EQ(filteredCaption(QStringLiteral("ROMA"), 3), QStringLiteral("ROMA Records 3"));
}
