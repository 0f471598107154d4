#include "uifixture.h"

#include "elenchi.h"
#include "filterprompt.h"
#include "minmax.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace zorv;
using namespace zorv::registry;
using namespace zorv::registry::lists;
using zorv::test::Customer;
using zorv::test::onModal;

namespace {

struct ListWindows : test::ListsUi, ::testing::WithParamInterface<Layout> {
    std::unique_ptr<ElencoWindow> window;

    ElencoWindow &open()
    {
        if (GetParam() == Layout::Elenchi)
            window = std::make_unique<Elenchi>();
        else
            window = std::make_unique<Elenco>();
        window->show();
        EXPECT_TRUE(zorv::test::activate(window.get()));
        return *window;
    }
    QStringList shown() const { return lines(window->riepilogo1); }
    QList<int> numbers() const
    {
        QList<int> out;
        for (const QString &l : shown())
            out.append(numberOnLine(GetParam(), l));
        return out;
    }
    // Lists by city, typing `typed` and ending with `key` in the prompt.
    void listCity(const QString &typed, Qt::Key key = Qt::Key_Return)
    {
        onModal<City>([typed, key](City *p) {
            QTest::keyClicks(p->Testo1, typed);
            QTest::keyClick(p->Testo1, key);
        });
        window->Comando3->click();
    }
    // 10 customers, three of them in MILANO, number 4 deleted.
    void writeMixed()
    {
        QList<Customer> c = test::numbered(10);
        for (int i : {0, 2, 7})
            c[i].citta = "MILANO";
        c[3].deleted = true;
        writeRegistry(c);
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Both, ListWindows, ::testing::Values(Layout::Elenchi, Layout::Elenco),
                         [](const auto &info) { return info.param == Layout::Elenchi ? "Elenchi" : "Elenco"; });

TEST_P(ListWindows, OpensEmptyWithItsCaptionHeaderAndButtons)
{
    ElencoWindow &w = open();
    EXPECT_EQ(w.objectName(), GetParam() == Layout::Elenchi ? "Elenchi" : "Elenco");
    EXPECT_EQ(w.windowTitle(), GetParam() == Layout::Elenchi ? QStringLiteral(" Elenco in Ordine Alfabetico")
                                                             : QStringLiteral(" Elenco in Ordine Numerico"));
    EXPECT_EQ(w.Etichetta1->text(), header(GetParam()));
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_TRUE(w.Etichetta2->text().isEmpty());
    EXPECT_TRUE(w.Etichetta3->text().isEmpty());
    EXPECT_EQ(w.Comando1->text(), QStringLiteral(" Totale "));
    EXPECT_EQ(w.Comando2->text(), QStringLiteral(" Stato "));
    EXPECT_EQ(w.Comando3->text(), QStringLiteral(" Citta'"));
    EXPECT_EQ(w.Comando4->text(), QStringLiteral(" Stampa "));
    EXPECT_EQ(w.Comando5->text(), QStringLiteral(" Etichette "));
    EXPECT_EQ(w.Comando6->text(), QStringLiteral(" Uscita "));
    EXPECT_FALSE(w.Comando2->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), w.Comando1);
}

TEST_P(ListWindows, TabGoesThroughTheButtonsThenTheListAndTypesNothingThere)
{
    writeMixed();
    ElencoWindow &w = open();
    const QStringList forward{"Comando3", "Comando4", "Comando5", "Comando6", "riepilogo1", "Comando1"};
    EXPECT_EQ(test::tabChain(&w, 6), forward);
    EXPECT_EQ(test::tabChain(&w, 6, true),
              (QStringList{"riepilogo1", "Comando6", "Comando5", "Comando4", "Comando3", "Comando1"}));
    w.Comando1->click();
    select(w.riepilogo1, 2);
    db().NumCliente = 0;
    test::pressTab(w.riepilogo1);
    EXPECT_EQ(db().NumCliente, 0); // Tab is no character of the list's
    EXPECT_EQ(w.focusWidget(), w.Comando1);
}

TEST_P(ListWindows, TotaleListsEveryLiveCustomer)
{
    writeMixed();
    ElencoWindow &w = open();
    w.Comando1->click();
    EXPECT_EQ(numbers(), (QList<int>{1, 2, 3, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(w.Etichetta2->text(), QStringLiteral(" Totale"));
    EXPECT_EQ(w.Etichetta3->text(), QStringLiteral("Records: 9"));
    EXPECT_TRUE(w.riepilogo1->hasFocus());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_P(ListWindows, TotaleOnAnEmptyRegistryListsNothingSilently)
{
    ElencoWindow &w = open();
    w.Comando1->click();
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(w.Etichetta2->text(), QStringLiteral(" Totale"));
    EXPECT_EQ(w.Etichetta3->text(), QStringLiteral("Records: 0"));
    EXPECT_EQ(boxes.beeps, 0);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_P(ListWindows, CittaListsTheCustomersOfTheTypedCity)
{
    writeMixed();
    ElencoWindow &w = open();
    listCity(QStringLiteral("  milano "));
    EXPECT_EQ(db().CittaScelta, QStringLiteral("MILANO"));
    EXPECT_EQ(numbers(), (QList<int>{1, 3, 8}));
    EXPECT_EQ(w.Etichetta2->text(), QStringLiteral(" Citta' :"));
    EXPECT_EQ(w.Etichetta3->text(), QStringLiteral("MILANO Records 3"));
    EXPECT_EQ(w.focusWidget(), w.riepilogo1);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_P(ListWindows, CittaOfNoLiveCustomerBeepsAndSaysSo)
{
    QList<Customer> c = test::numbered(3);
    c[1].citta = "NAPOLI";
    writeRegistry(c);
    ElencoWindow &w = open();
    // NAPOLI is there while customer 2 lives ...
    listCity(QStringLiteral("napoli"));
    EXPECT_EQ(numbers(), (QList<int>{2}));
    // ... and gone once it is deleted; a prefix never matches.
    c[1].deleted = true;
    writeRegistry(c);
    for (const QString &city : {QStringLiteral("NAPOLI"), QStringLiteral("ROM")}) {
        boxes.shown.clear();
        boxes.beeps = 0;
        listCity(city);
        EXPECT_TRUE(shown().isEmpty());
        EXPECT_TRUE(w.Etichetta2->text().isEmpty());
        EXPECT_TRUE(w.Etichetta3->text().isEmpty());
        EXPECT_EQ(boxes.beeps, 1);
        ASSERT_EQ(boxes.shown.size(), 1);
        EXPECT_EQ(boxes.last().text, QStringLiteral("Citta': ") + city + QStringLiteral(" non presente in archivio"));
        EXPECT_EQ(boxes.last().title, QStringLiteral("( Info )"));
        EXPECT_EQ(boxes.last().style, style::Ok);
    }
}

TEST_P(ListWindows, CancellingTheCityPromptLeavesTheListEmpty)
{
    writeMixed();
    ElencoWindow &w = open();
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_F9, Qt::Key_Return}) {
        w.Comando1->click();
        ASSERT_FALSE(shown().isEmpty());
        listCity(key == Qt::Key_Return ? QStringLiteral("   ") : QStringLiteral("MILANO"), key);
        EXPECT_TRUE(shown().isEmpty()) << key;
        EXPECT_TRUE(w.Etichetta2->text().isEmpty());
        EXPECT_TRUE(w.Etichetta3->text().isEmpty());
        EXPECT_TRUE(db().CittaScelta.isEmpty());
        EXPECT_TRUE(w.isVisible()); // the prompt's Esc closes the prompt only
    }
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(boxes.beeps, 0);
}

TEST_P(ListWindows, EnterAndDoubleClickOpenTheCardOfTheSelectedLine)
{
    QList<Customer> c = test::numbered(12);
    c[9].nome = "AAA PRIMO"; // customer 10 first in the alphabetic list
    writeRegistry(c);
    ElencoWindow &w = open();
    w.Comando1->click();
    const int row = GetParam() == Layout::Elenchi ? 0 : 9;
    ASSERT_EQ(numberOnLine(GetParam(), shown()[row]), 10);

    // No line selected yet: Enter opens nothing and leaves 0.
    db().NumCliente = 5;
    QTest::keyClick(w.riepilogo1, Qt::Key_Return);
    EXPECT_TRUE(cards.isEmpty());
    EXPECT_EQ(db().NumCliente, 0);

    select(w.riepilogo1, row);
    QTest::keyClick(w.riepilogo1, Qt::Key_Return);
    EXPECT_EQ(cards, (QList<int>{10}));
    EXPECT_EQ(w.riepilogo1->currentIndex().row(), row); // the list as it was
    EXPECT_EQ(shown().size(), 12);

    const int third = GetParam() == Layout::Elenchi ? 3 : 2; // customer 3 either way
    doubleClickRow(w.riepilogo1, third);
    EXPECT_EQ(cards, (QList<int>{10, 3}));
    EXPECT_TRUE(w.isVisible());
}

TEST_P(ListWindows, AnyOtherCharacterTakesTheNumberWithoutOpeningTheCard)
{
    writeRegistry(test::numbered(3));
    ElencoWindow &w = open();
    w.Comando1->click();
    select(w.riepilogo1, 1);
    QTest::keyClick(w.riepilogo1, Qt::Key_X);
    EXPECT_EQ(db().NumCliente, 2);
    EXPECT_TRUE(cards.isEmpty());
}

TEST_P(ListWindows, TheFirstStepDownSelectsTheFirstLine)
{
    writeRegistry(test::numbered(3));
    ElencoWindow &w = open();
    w.Comando1->click();
    QTest::keyClick(w.riepilogo1, Qt::Key_Down);
    QTest::keyClick(w.riepilogo1, Qt::Key_Return);
    EXPECT_EQ(cards, (QList<int>{1}));
    QTest::keyClick(w.riepilogo1, Qt::Key_Down);
    QTest::keyClick(w.riepilogo1, Qt::Key_Return);
    EXPECT_EQ(cards, (QList<int>{1, 2}));
}

TEST_P(ListWindows, EnterOnAnEmptyListDoesNothing)
{
    ElencoWindow &w = open();
    db().NumCliente = 7;
    QTest::keyClick(w.riepilogo1, Qt::Key_Return);
    EXPECT_EQ(db().NumCliente, 7);
    EXPECT_TRUE(cards.isEmpty());
    EXPECT_TRUE(w.isVisible());
}

TEST_P(ListWindows, EscOnAnyControlOrF9ClosesTheWindow)
{
    writeRegistry(test::numbered(2));
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_F9}) {
        for (int i = 0; i < 6; ++i) {
            open();
            window->Comando1->click();
            QWidget *target = QList<QWidget *>{window->Comando1, window->Comando3, window->Comando4,
                                               window->Comando5, window->Comando6, window->riepilogo1}[i];
            QTest::keyClick(target, key);
            EXPECT_FALSE(window->isVisible()) << key << " on " << target->objectName().toStdString();
        }
    }
    // Other keys leave it open; " Uscita " closes it.
    open();
    QTest::keyClick(window->Comando1, Qt::Key_F2);
    EXPECT_TRUE(window->isVisible());
    window->Comando6->click();
    EXPECT_FALSE(window->isVisible());
}

TEST_P(ListWindows, ListingErrorsShowUnderErroreAndTheWindowGoesOn)
{
    ElencoWindow &w = open();
    db().FileClienti = dir.file(QStringLiteral("missing/CLIENTI.DAT"));
    w.Comando1->click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("ERRORE"));
    EXPECT_EQ(boxes.last().style, style::Ok);
    EXPECT_TRUE(shown().isEmpty());
    // The city prompt is not shown when the registry cannot be opened.
    w.Comando3->click();
    EXPECT_EQ(boxes.shown.size(), 2);
    EXPECT_TRUE(w.isVisible());
}

TEST_P(ListWindows, MoreThan9999RecordsEndTheListingOnRecord10000)
{
    Customer c{"SEMPRE LO STESSO"};
    dir.write(QStringLiteral("CLIENTI.DAT"), test::record(c).bytes().repeated(10001));
    ElencoWindow &w = open();
    w.Comando1->click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("ERRORE"));
    EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("10000")));
    EXPECT_EQ(shown().size(), 9999);
    EXPECT_EQ(w.Etichetta2->text(), QStringLiteral(" Totale"));
    EXPECT_TRUE(w.Etichetta3->text().isEmpty());
    EXPECT_FALSE(w.riepilogo1->hasFocus());
    EXPECT_TRUE(w.isVisible());
}

TEST_P(ListWindows, NumericOrderAndNamesCutTo25)
{
    QList<Customer> c = test::numbered(11);
    c[8].nome = "ZZZ A NAME LONGER THAN TWENTY-FIVE";
    writeRegistry(c);
    ElencoWindow &w = open();
    w.Comando1->click();
    if (GetParam() == Layout::Elenco) {
        EXPECT_TRUE(shown()[8].startsWith(QStringLiteral("0009 ZZZ A NAME LONGER THAN TW ")));
        EXPECT_TRUE(shown()[9].startsWith(QStringLiteral("0010 ")));
    } else {
        EXPECT_TRUE(shown().last().startsWith(QStringLiteral("ZZZ A NAME LONGER THAN TW ")));
        EXPECT_TRUE(shown().last().endsWith(QStringLiteral("0009")));
    }
}

TEST_P(ListWindows, HiddenStatoButtonListsOneCredit)
{
    QList<Customer> c = test::numbered(5);
    c[1].accessi = "D31-12-2030";
    c[3].accessi = "d31-12-2030";
    writeRegistry(c);
    ElencoWindow &w = open();
    onModal<Statin>([](Statin *p) {
        QTest::keyClicks(p->Testo1, QStringLiteral(" d31-12-2030"));
        QTest::keyClick(p->Testo1, Qt::Key_Return);
    });
    w.Comando2->click();
    EXPECT_EQ(db().StatoScelto, QStringLiteral("D31-12-2030"));
    EXPECT_EQ(numbers(), (QList<int>{2, 4}));
    EXPECT_TRUE(w.Etichetta2->text().isEmpty());
    EXPECT_EQ(w.Etichetta3->text(), QStringLiteral("D31-12-2030 Records 2"));

    // None with that credit: beep, no message, labels emptied.
    onModal<Statin>([](Statin *p) {
        QTest::keyClicks(p->Testo1, QStringLiteral("77"));
        QTest::keyClick(p->Testo1, Qt::Key_Return);
    });
    w.Comando2->click();
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_TRUE(w.Etichetta3->text().isEmpty());
    EXPECT_EQ(boxes.beeps, 1);
    EXPECT_TRUE(boxes.shown.isEmpty());

    // Cancelled: the list stays empty.
    w.Comando1->click();
    onModal<Statin>([](Statin *p) { QTest::keyClick(p->Testo1, Qt::Key_Escape); });
    w.Comando2->click();
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_TRUE(db().StatoScelto.isEmpty());
}

// Printing by range.

TEST_P(ListWindows, StampaAndEtichetteOnAnEmptyListShowNoDialog)
{
    ElencoWindow &w = open();
    w.Comando4->click();
    w.Comando5->click();
    EXPECT_EQ(printer.dialogs, 0);
    EXPECT_TRUE(printer.documents.isEmpty());
}

TEST_P(ListWindows, StampaCancelledInTheDialogOrThePromptPrintsNothing)
{
    writeRegistry(test::numbered(3));
    ElencoWindow &w = open();
    w.Comando1->click();
    printer.cancel = true;
    w.Comando4->click();
    EXPECT_EQ(printer.dialogs, 1);
    EXPECT_TRUE(printer.documents.isEmpty());

    printer.cancel = false;
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_F9}) {
        onModal<Minmax>([key](Minmax *m) { QTest::keyClick(m->Command1, key); });
        w.Comando4->click();
        ASSERT_FALSE(printer.documents.isEmpty());
        EXPECT_TRUE(printer.documents.last().pages.isEmpty());
        EXPECT_EQ(db().StampaDa, 0);
    }
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_TRUE(w.isVisible());
}

TEST_P(ListWindows, StampaWithEnterAtOncePrintsTheWholeList)
{
    writeRegistry(test::numbered(17));
    ElencoWindow &w = open();
    w.Comando1->click();
    onModal<Minmax>([](Minmax *m) {
        EXPECT_EQ(m->Text1->text(), QStringLiteral("1"));
        EXPECT_EQ(m->Text2->text(), QStringLiteral("17"));
        QTest::keyClick(m->Command1, Qt::Key_Return);
    });
    w.Comando4->click();
    ASSERT_EQ(printer.documents.size(), 1);
    const auto &pages = printer.documents.last().pages;
    ASSERT_EQ(pages.size(), 3);
    EXPECT_EQ(pages[0].size(), 5 + 64);
    EXPECT_EQ(pages[1].size(), 5 + 64);
    EXPECT_EQ(pages[2].size(), 5 + 8);
    for (const auto &page : pages)
        EXPECT_EQ(page[2].text, QStringLiteral(" Totale Records: 17  17 Rec."));
    EXPECT_TRUE(pages[2][5].text.startsWith(QStringLiteral("0017  CLIENTE 017")));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_P(ListWindows, StampaOfARangeAboveTheLineCountPrintsTheHeaderPageAlone)
{
    writeRegistry(test::numbered(3));
    ElencoWindow &w = open();
    w.Comando1->click();
    onModal<Minmax>([](Minmax *m) {
        m->Text2->setText(QStringLiteral("4"));
        m->Command1->click();
    });
    w.Comando4->click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Intervallo di stampa errato"));
    EXPECT_EQ(boxes.last().title, QStringLiteral("(!)"));
    ASSERT_EQ(printer.documents.size(), 1);
    ASSERT_EQ(printer.documents.last().pages.size(), 1);
    EXPECT_EQ(printer.lastLines(), (QStringList{"Archivio Clienti", "", " Totale Records: 3  3 Rec.", "", ""}));
}

TEST_P(ListWindows, StampaAfterACittaListingNamesTheCityInTheHeader)
{
    writeMixed();
    ElencoWindow &w = open();
    listCity(QStringLiteral("MILANO"));
    onModal<Minmax>([](Minmax *m) { m->Command1->click(); });
    w.Comando4->click();
    EXPECT_EQ(printer.lastLines().value(2), QStringLiteral(" Citta' : MILANO Records 3  3 Rec."));
}

TEST_P(ListWindows, EtichettePrintsOneLabelAPageAndIsBusyMeanwhile)
{
    QList<Customer> c = test::numbered(3);
    c[1].citta = "MODENA";
    writeRegistry(c);
    ElencoWindow &w = open();
    w.setLabelPauseMs(200);
    w.Comando1->click();
    onModal<Minmax>([](Minmax *m) { m->Command1->click(); });
    w.Comando5->click();

    // Busy: no second print, no other command, no closing.
    EXPECT_TRUE(w.busy());
    EXPECT_FALSE(w.Comando5->isEnabled());
    EXPECT_FALSE(w.Comando4->isEnabled());
    EXPECT_FALSE(w.Comando1->isEnabled());
    EXPECT_EQ(w.cursor().shape(), Qt::BusyCursor);
    const int dialogs = printer.dialogs;
    w.Comando5_Click();
    EXPECT_EQ(printer.dialogs, dialogs);
    QTest::keyClick(w.riepilogo1, Qt::Key_Escape);
    QTest::keyClick(w.riepilogo1, Qt::Key_F9);
    w.close();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(printer.documents.isEmpty()); // the document is still open
    // Nor a card from the list: it prints on the same printer.
    select(w.riepilogo1, 1);
    QTest::keyClick(w.riepilogo1, Qt::Key_Return);
    doubleClickRow(w.riepilogo1, 1);
    EXPECT_TRUE(cards.isEmpty());

    ASSERT_TRUE(test::waitUntil([&] { return !w.busy(); }, 5000));
    EXPECT_TRUE(w.Comando5->isEnabled());
    EXPECT_TRUE(w.riepilogo1->isEnabled());
    QTest::keyClick(w.riepilogo1, Qt::Key_Return);
    EXPECT_EQ(cards, QList<int>{2});
    ASSERT_EQ(printer.documents.size(), 1);
    const auto &pages = printer.documents.last().pages;
    ASSERT_EQ(pages.size(), 3); // no empty fourth page
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pages[i].size(), 14);
        EXPECT_TRUE(pages[i][3].text.startsWith(QStringLiteral("CLIENTE 00") + QString::number(i + 1)));
    }
    EXPECT_EQ(pages[1][8].text.lastIndexOf(QStringLiteral("RM")) + 1, 44);
    EXPECT_TRUE(boxes.shown.isEmpty());
    w.Comando6->click();
    EXPECT_FALSE(w.isVisible());
}

TEST_P(ListWindows, EtichetteOfARangeAboveTheLineCountPrintsNothing)
{
    writeRegistry(test::numbered(3));
    ElencoWindow &w = open();
    w.Comando1->click();
    onModal<Minmax>([](Minmax *m) {
        m->Text2->setText(QStringLiteral("9"));
        m->Command1->click();
    });
    w.Comando5->click();
    EXPECT_FALSE(w.busy());
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Intervallo di stampa errato"));
    EXPECT_EQ(boxes.last().title, QStringLiteral("(!)"));
    ASSERT_EQ(printer.documents.size(), 1);
    EXPECT_TRUE(printer.documents.last().pages.isEmpty());

    // Cancelled prompt: nothing either.
    onModal<Minmax>([](Minmax *m) { QTest::keyClick(m->Text1, Qt::Key_Escape); });
    w.Comando5->click();
    EXPECT_TRUE(printer.documents.last().pages.isEmpty());
    EXPECT_EQ(boxes.shown.size(), 1);
}

TEST_P(ListWindows, EtichetteRangeFollowsTheListOrder)
{
    QList<Customer> c = test::numbered(3);
    c[0].nome = "ZORRO";
    writeRegistry(c);
    ElencoWindow &w = open();
    w.setLabelPauseMs(0);
    w.Comando1->click();
    onModal<Minmax>([](Minmax *m) {
        m->Text2->setText(QStringLiteral("1"));
        m->Command1->click();
    });
    w.Comando5->click();
    ASSERT_TRUE(test::waitUntil([&] { return !w.busy(); }, 5000));
    ASSERT_EQ(printer.documents.last().pages.size(), 1);
    EXPECT_TRUE(printer.documents.last().pages[0][3].text.startsWith(
        GetParam() == Layout::Elenchi ? QStringLiteral("CLIENTE 002") : QStringLiteral("ZORRO")));
}

TEST_P(ListWindows, PrinterErrorsShowUnderErrore)
{
    writeRegistry(test::numbered(3));
    ElencoWindow &w = open();
    w.setLabelPauseMs(0);
    w.Comando1->click();
    printer.failWith = QStringLiteral("Stampante non pronta");
    for (QPushButton *command : {w.Comando4, w.Comando5}) {
        boxes.shown.clear();
        onModal<Minmax>([](Minmax *m) { m->Command1->click(); });
        command->click();
        ASSERT_TRUE(test::waitUntil([&] { return !w.busy(); }, 5000));
        ASSERT_EQ(boxes.shown.size(), 1) << command->objectName().toStdString();
        EXPECT_EQ(boxes.last().text, QStringLiteral("Stampante non pronta"));
        EXPECT_EQ(boxes.last().title, QStringLiteral("ERRORE"));
    }
    EXPECT_TRUE(w.Comando5->isEnabled());
}

TEST_P(ListWindows, ALabelCustomerGoneFromTheFileStopsTheLabelsWithAnError)
{
    writeRegistry(test::numbered(3));
    ElencoWindow &w = open();
    w.setLabelPauseMs(0);
    w.Comando1->click();
    writeRegistry(test::numbered(1)); // customers 2 and 3 gone meanwhile
    onModal<Minmax>([](Minmax *m) { m->Command1->click(); });
    w.Comando5->click();
    ASSERT_TRUE(test::waitUntil([&] { return !w.busy(); }, 5000));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("ERRORE"));
    ASSERT_EQ(printer.documents.size(), 1);
    EXPECT_EQ(printer.documents.last().pages.size(), 1); // the labels so far come out
}

TEST_P(ListWindows, TotaleSortsAccentedNamesWithTheirPlainLetters)
{
    writeRegistry(test::accentedNames());
    open().Comando1->click();
    EXPECT_EQ(numbers(), (GetParam() == Layout::Elenchi ? test::kAccentedAlphabetic : QList<int>{1, 2, 3, 4, 5, 6}));
}
