#include "collation.h"
#include "gridtable.h"
#include "text.h"

#include <QRandomGenerator>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

using namespace zorv;
using namespace zorv::movimenti;

namespace {

void addRow(GridTable &t, const QByteArray &c1, const QByteArray &c2 = {}, const QByteArray &c4 = {},
            const QByteArray &c7 = "Autorizzato")
{
    t.appendMovement(t.rowCount(), {c1, c2, "CARD", c4, "01/01/2026", "10:00:00", c7});
}

QList<QByteArray> column(const GridTable &t, int col)
{
    QList<QByteArray> out;
    for (int r = 1; r < t.rowCount(); ++r)
        out.append(t.textCopy(r, col));
    return out;
}

} // namespace

TEST(GridTable, AppendedRowsReachViewsOnlyWhenPublished)
{
    GridTable t;
    QSignalSpy appended(&t, &GridTable::rowsAppended);
    addRow(t, "0001", "ROSSI");
    addRow(t, "0002", "BIANCHI");
    EXPECT_EQ(t.rowCount(), 3);
    EXPECT_EQ(appended.count(), 0);
    t.publishAppended();
    ASSERT_EQ(appended.count(), 1);
    EXPECT_EQ(appended.at(0).at(0).toInt(), 1);
    EXPECT_EQ(appended.at(0).at(1).toInt(), 2);
    EXPECT_EQ(t.text(1, 0), QByteArrayView("1"));
    EXPECT_EQ(t.text(2, 2), QByteArrayView("BIANCHI"));
    EXPECT_EQ(t.text(2, 7), QByteArrayView("Autorizzato"));
}

TEST(GridTable, SetTextKeepsTheOtherCellsAndColours)
{
    GridTable t;
    addRow(t, "0001", "ROSSI", "1", "Non autorizzato");
    t.setColours(1, 3, colour::Navy, colour::LightCyan);
    t.setText(1, 2, "VERDI");
    t.setText(1, 4, t.text(1, 1)); // a cell's own bytes as the new text
    EXPECT_EQ(t.text(1, 1), QByteArrayView("0001"));
    EXPECT_EQ(t.text(1, 2), QByteArrayView("VERDI"));
    EXPECT_EQ(t.text(1, 4), QByteArrayView("0001"));
    EXPECT_EQ(t.text(1, 7), QByteArrayView("Non autorizzato"));
    EXPECT_EQ(t.colours(1, 3), (CellColours{colour::Navy, colour::LightCyan}));
    EXPECT_EQ(t.colours(1, 7), (CellColours{colour::Red, colour::White}));
}

TEST(GridTable, ClearEmptiesTextsColoursAndHeaders)
{
    GridTable t;
    t.setText(0, 1, "Cliente");
    addRow(t, "0001");
    t.setColours(1, 2, colour::Red, colour::White);
    t.clear();
    EXPECT_EQ(t.rowCount(), 1);
    EXPECT_TRUE(t.text(0, 1).isEmpty());
    const int row = t.addRow();
    EXPECT_EQ(row, 1);
    EXPECT_EQ(t.colours(1, 2), CellColours{});
    EXPECT_EQ(t.colours(1, 7), CellColours{});
}

TEST(GridTable, CutToHeaderKeepsTheHeaders)
{
    GridTable t;
    t.setText(0, 1, "Cliente");
    addRow(t, "0001");
    addRow(t, "0002");
    t.setCurrentCell(2, 3);
    t.cutToHeader();
    EXPECT_EQ(t.rowCount(), 1);
    EXPECT_EQ(t.text(0, 1), QByteArrayView("Cliente"));
    EXPECT_EQ(t.currentRow(), 0);
}

TEST(GridTable, OutcomeColoursCompareTheExactText)
{
    struct Case {
        QByteArray outcome;
        CellColours expected;
    };
    const Case cases[] = {
        {"Autorizzato", {colour::DarkGreen, colour::White}},
        {"Non autorizzato", {colour::Red, colour::White}},
        {"autorizzato", {colour::Yellow, colour::ButtonText}},
        {"Autorizzato ", {colour::Yellow, colour::ButtonText}},
        {"Carta Scaduta", {colour::Yellow, colour::ButtonText}},
        {"Esaurito", {colour::Yellow, colour::ButtonText}},
        {"", {colour::Yellow, colour::ButtonText}},
    };
    for (const Case &c : cases) {
        GridTable t;
        addRow(t, "0001", "X", "1", c.outcome);
        EXPECT_EQ(t.colours(1, 7), c.expected) << c.outcome.constData();
        EXPECT_EQ(t.colours(1, 6), CellColours{}) << "only the outcome cell is coloured";
    }
}

TEST(GridTableSort, NumberColumnRestoresFileOrderAfterAnotherSort)
{
    GridTable t;
    const QList<QByteArray> names = {"ZETA", "alfa", "Mario", "BETA", "beta", "Alfa"};
    for (const auto &n : names)
        addRow(t, "0001", n);
    for (int i = 0; i < 9; ++i) // numbers past 9 must not sort as text
        addRow(t, "0001", "X");
    t.sort(2, SortKind::TextNoCase);
    t.sort(0, SortKind::Numeric);
    QList<QByteArray> numbers = column(t, 0);
    for (int i = 0; i < numbers.size(); ++i)
        EXPECT_EQ(numbers[i], QByteArray::number(i + 1));
    EXPECT_EQ(column(t, 2).mid(0, 6), names);
}

TEST(GridTableSort, NameIgnoresCaseAndKeepsTheOrderOfEqualNames)
{
    GridTable t;
    for (const QByteArray n : {"b", "A", "a", "B", "\xe0" "b", "\xc0" "a"})
        addRow(t, "0001", n);
    t.sort(2, SortKind::TextNoCase);
    EXPECT_EQ(column(t, 2), (QList<QByteArray>{"A", "a", "\xc0" "a", "\xe0" "b", "b", "B"}));
    EXPECT_EQ(column(t, 0), (QList<QByteArray>{"2", "3", "6", "5", "1", "4"}));
}

TEST(GridTableSort, AccentedNamesSortWithTheirPlainLetters)
{
    GridTable t;
    // Verdi, Àngelo, angelo, NICOLOSI PAOLO, NICOLÒ ANNA, ÉRIC, Zeta, Eric
    for (const QByteArray n : {"Verdi", "\xc0ngelo", "angelo", "NICOLOSI PAOLO", "NICOL\xd2 ANNA", "\xc9RIC", "Zeta", "Eric"})
        addRow(t, "0001", n);
    t.sort(2, SortKind::TextNoCase);
    EXPECT_EQ(column(t, 0), (QList<QByteArray>{"3", "2", "8", "6", "5", "4", "1", "7"}));
}

TEST(GridTableSort, CustomerNumbersCompareAsTextWithUnknownCardsFirst)
{
    GridTable t;
    for (const QByteArray n : {"0100", "######", "0012", "9", "10", "######"})
        addRow(t, n);
    t.sort(1, SortKind::TextNoCase);
    EXPECT_EQ(column(t, 1), (QList<QByteArray>{"######", "######", "0012", "0100", "10", "9"}));
    EXPECT_EQ(column(t, 0), (QList<QByteArray>{"2", "6", "3", "1", "5", "4"}));
}

TEST(GridTableSort, DoorSortsByNumber)
{
    GridTable t;
    for (const QByteArray d : {"2", "1e9223372036854775807", "10", "0", "1", "x", "9", "1e-9223372036854775808",
                               "-1e9223372036854775807"})
        addRow(t, "0001", "N", d);
    t.sort(4, SortKind::Numeric);
    // "x" reads as 0 and keeps its place after the real 0; exponents past a double's range
    // read as infinities or 0.
    EXPECT_EQ(column(t, 4), (QList<QByteArray>{"-1e9223372036854775807", "0", "x", "1e-9223372036854775808", "1",
                                                "2", "9", "10", "1e9223372036854775807"}));
}

TEST(GridTableSort, ColoursAndTextsMoveWithTheirRows)
{
    GridTable t;
    addRow(t, "0002", "B", "1", "Non autorizzato");
    addRow(t, "0001", "A", "1", "Autorizzato");
    t.setColours(1, 3, colour::Navy, colour::LightCyan);
    t.sort(1, SortKind::TextNoCase);
    EXPECT_EQ(t.text(1, 2), QByteArrayView("A"));
    EXPECT_EQ(t.colours(1, 7), (CellColours{colour::DarkGreen, colour::White}));
    EXPECT_EQ(t.colours(2, 7), (CellColours{colour::Red, colour::White}));
    EXPECT_EQ(t.colours(2, 3), (CellColours{colour::Navy, colour::LightCyan}));
}

// Long shared beginnings, different lengths, case and accents: the order must equal a
// plain stable sort with the system's collation.
TEST(GridTableSort, TextOrderMatchesAPlainStableSort)
{
    QRandomGenerator rng(4101);
    const QList<QByteArray> stems = {"ROSSI MARIO", "rossi mario ", "ROSSI MARIO AB", "Rossi Mariolina", "ROSSI M",
                                     "", "ROSSI MARIO\x01", "BIANCHI ANNA MARIA GRAZIA", "NICOL\xd2",
                                     "BIANCHI ANNA MARIA GRAZIA DA PONTE", "Bianchi Anna Maria Grazia da Ponte Alto"};
    GridTable t;
    QList<QByteArray> input;
    for (int i = 0; i < 3000; ++i) {
        QByteArray name = stems[rng.bounded(stems.size())];
        const int extra = rng.bounded(4);
        for (int k = 0; k < extra; ++k)
            name.append("aAbB Zz\xe0\xc8"[rng.bounded(9)]);
        if (rng.bounded(2))
            name = text::upper(name);
        input.append(name);
        addRow(t, "0001", name);
    }
    const text::Collation &collation = text::Collation::system();
    QList<int> order(input.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return collation.compare(text::fromCp1252(input[a]), text::fromCp1252(input[b])) < 0;
    });
    t.sort(2, SortKind::TextNoCase);
    for (int i = 0; i < order.size(); ++i) {
        ASSERT_EQ(t.textCopy(i + 1, 0), QByteArray::number(order[i] + 1)) << "at row " << i + 1;
    }
}

TEST(GridTable, CurrentCellAndWholeRowSelection)
{
    GridTable t;
    addRow(t, "0001");
    addRow(t, "0002");
    t.setCurrentCell(2, 3);
    EXPECT_EQ(t.currentRow(), 2);
    EXPECT_EQ(t.currentCol(), 3);
    EXPECT_EQ(t.selectionColEnd(), 3);
    t.selectWholeRow(1);
    EXPECT_EQ(t.currentRow(), 1);
    EXPECT_EQ(t.currentCol(), 0);
    EXPECT_EQ(t.selectionRowEnd(), 1);
    EXPECT_EQ(t.selectionColEnd(), 7);
    t.setCurrentCell(5, 0); // no such row: nothing changes
    EXPECT_EQ(t.currentRow(), 1);
}
