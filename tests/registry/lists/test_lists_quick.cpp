#include "uifixture.h"

#include "lista.h"

#include <QLabel>
#include <QPushButton>

using namespace zorv;
using namespace zorv::registry;
using namespace zorv::registry::lists;
using zorv::test::Customer;

namespace {

struct QuickLists : test::ListsUi, ::testing::WithParamInterface<Layout> {
    std::unique_ptr<QuickList> window;

    QuickList &open()
    {
        if (GetParam() == Layout::Lista)
            window = std::make_unique<Lista>();
        else
            window = std::make_unique<Lista1>();
        EXPECT_EQ(db().PrimaVolta, 1);
        window->show();
        EXPECT_TRUE(zorv::test::activate(window.get()));
        return *window;
    }
    QStringList shown() const { return lines(window->riepilogo1); }
    int rowOf(int number) const
    {
        const QStringList l = shown();
        for (int i = 0; i < l.size(); ++i) {
            if (numberOnLine(GetParam(), l[i]) == number)
                return i;
        }
        return -1;
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Both, QuickLists, ::testing::Values(Layout::Lista, Layout::Lista1),
                         [](const auto &info) { return info.param == Layout::Lista ? "lista" : "lista1"; });

TEST_P(QuickLists, FillsOnOpeningWithEveryLiveCustomer)
{
    QList<Customer> c = test::numbered(11);
    c[4].deleted = true;
    c[0].nome = "ZETA";
    writeRegistry(c);
    QuickList &w = open();
    EXPECT_EQ(w.objectName(), GetParam() == Layout::Lista ? "lista" : "lista1");
    EXPECT_EQ(w.windowTitle(), GetParam() == Layout::Lista ? QStringLiteral("Lista Clienti (Alfabetico)")
                                                           : QStringLiteral("Lista Clienti (Numerico)"));
    EXPECT_EQ(w.Etichetta1->text(), header(GetParam()));
    EXPECT_EQ(w.Command2->text(), QStringLiteral("Ok"));
    EXPECT_EQ(w.Command3->text(), QStringLiteral("Uscita"));
    EXPECT_EQ(db().PrimaVolta, 0);
    ASSERT_EQ(shown().size(), 10);
    EXPECT_EQ(rowOf(5), -1);
    EXPECT_TRUE(w.riepilogo1->hasFocus());
    if (GetParam() == Layout::Lista1) {
        EXPECT_EQ(shown()[7], QStringLiteral("0009 CLIENTE 009") + QString(14, QLatin1Char(' ')));
        EXPECT_TRUE(shown()[8].startsWith(QStringLiteral("0010")));
    } else {
        EXPECT_EQ(shown().last(), QStringLiteral("ZETA") + QString(22, QLatin1Char(' ')) + QStringLiteral("0001"));
    }
}

TEST_P(QuickLists, TabGoesFromTheListToOkAndUscitaAndTypesNothingInTheList)
{
    writeRegistry(test::numbered(3));
    QuickList &w = open();
    EXPECT_EQ(test::tabChain(&w, 3), (QStringList{"Command2", "Command3", "riepilogo1"}));
    EXPECT_EQ(test::tabChain(&w, 3, true), (QStringList{"Command3", "Command2", "riepilogo1"}));
    select(w.riepilogo1, 1);
    db().NumCliente = 0;
    test::pressTab(w.riepilogo1);
    EXPECT_EQ(db().NumCliente, 0);
    EXPECT_EQ(w.focusWidget(), w.Command2);
    EXPECT_TRUE(cards.isEmpty());
}

TEST_P(QuickLists, SameNamesComeInNumberOrder)
{
    QList<Customer> c = test::numbered(3);
    for (Customer &x : c)
        x.nome = "UGUALE NEI PRIMI VENTICINQUE CARATTERI";
    writeRegistry(c);
    open();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(numberOnLine(GetParam(), shown()[i]), i + 1);
}

TEST_P(QuickLists, EnterDoubleClickAndOkOpenTheCardOfTheSelectedCustomer)
{
    writeRegistry(test::numbered(12));
    QuickList &w = open();

    // Nothing selected: nothing opens.
    QTest::keyClick(w.riepilogo1, Qt::Key_Return);
    w.Command2->click();
    EXPECT_TRUE(cards.isEmpty());
    EXPECT_EQ(db().NumCliente, 0);

    select(w.riepilogo1, rowOf(10));
    QTest::keyClick(w.riepilogo1, Qt::Key_Return);
    select(w.riepilogo1, rowOf(9));
    w.Command2->click();
    doubleClickRow(w.riepilogo1, rowOf(12));
    EXPECT_EQ(cards, (QList<int>{10, 9, 12}));

    // Back from the card: the same lines and selection, not read again.
    writeRegistry(test::numbered(2));
    // Another window in front, then this one again.
    QWidget other;
    other.show();
    ASSERT_TRUE(zorv::test::activate(&other));
    ASSERT_TRUE(zorv::test::activate(&w));
    EXPECT_EQ(shown().size(), 12);
    EXPECT_EQ(w.riepilogo1->currentIndex().row(), rowOf(12));
    EXPECT_TRUE(w.isVisible());
}

TEST_P(QuickLists, ALetterTakesTheNumberWithoutOpeningTheCard)
{
    writeRegistry(test::numbered(3));
    QuickList &w = open();
    select(w.riepilogo1, rowOf(2));
    QTest::keyClick(w.riepilogo1, Qt::Key_C);
    EXPECT_EQ(db().NumCliente, 2);
    EXPECT_TRUE(cards.isEmpty());
}

TEST_P(QuickLists, AnEmptyRegistryGivesAnEmptyListThatOpensNothing)
{
    QuickList &w = open();
    EXPECT_TRUE(shown().isEmpty());
    db().NumCliente = 4;
    QTest::keyClick(w.riepilogo1, Qt::Key_Return);
    w.Command2->click();
    EXPECT_TRUE(cards.isEmpty());
    EXPECT_EQ(db().NumCliente, 4);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_P(QuickLists, EscAndF9CloseAndClearStampaDa)
{
    writeRegistry(test::numbered(2));
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_F9}) {
        for (bool onList : {true, false}) {
            QuickList &w = open();
            db().StampaDa = 3;
            QTest::keyClick(onList ? static_cast<QWidget *>(w.riepilogo1) : w.Command3, key);
            EXPECT_FALSE(w.isVisible());
            EXPECT_EQ(db().StampaDa, 0);
        }
    }
    QuickList &w = open();
    w.Command3->click();
    EXPECT_FALSE(w.isVisible());
}

TEST_P(QuickLists, FillErrorsShowUnderErroreWithTheLinesSoFar)
{
    Customer c{"X"};
    dir.write(QStringLiteral("CLIENTI.DAT"), test::record(c).bytes().repeated(10000));
    QuickList &w = open();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("ERRORE"));
    EXPECT_EQ(shown().size(), 9999);
    EXPECT_TRUE(w.isVisible());

    boxes.shown.clear();
    db().FileClienti = dir.file(QStringLiteral("none/CLIENTI.DAT"));
    open();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("ERRORE"));
    EXPECT_TRUE(shown().isEmpty());
}

TEST_P(QuickLists, AccentedNamesSortWithTheirPlainLetters)
{
    writeRegistry(test::accentedNames());
    open();
    QList<int> numbers;
    for (const QString &l : shown())
        numbers.append(numberOnLine(GetParam(), l));
    EXPECT_EQ(numbers, (GetParam() == Layout::Lista ? test::kAccentedAlphabetic : QList<int>{1, 2, 3, 4, 5, 6}));
}
