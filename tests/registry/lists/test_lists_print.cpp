#include "listfixture.h"
#include "listprint.h"
#include "fakeprinter.h"

#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::registry;
using namespace zorv::registry::lists;
using zorv::test::Customer;

namespace {

struct PrintFixture : ::testing::Test {
    test::TempFolder dir;
    QString file = dir.file(QStringLiteral("CLIENTI.DAT"));
    FakePrinter printer;

    QStringList linesOf(const QList<Customer> &customers, Layout layout)
    {
        dir.write(QStringLiteral("CLIENTI.DAT"), test::registryBytes(customers));
        return listRegistry(file, layout).lines;
    }

    ListPrint job(const QStringList &lines, Layout layout, double from, double to)
    {
        ListPrint j;
        j.listed = QStringLiteral(" Totale");
        j.filter = totalCaption(int(lines.size()));
        j.lines = lines;
        j.layout = layout;
        j.from = from;
        j.to = to;
        j.fileClienti = file;
        return j;
    }

    PrintResult run(const ListPrint &j, QString *error = nullptr)
    {
        EXPECT_TRUE(printer.begin());
        const PrintResult r = printList(printer, j, error);
        EXPECT_TRUE(printer.end().isEmpty());
        return r;
    }

    const QList<FakePrinter::Page> &pages() { return printer.documents.last().pages; }
};

QStringList texts(const FakePrinter::Page &page)
{
    QStringList out;
    for (const auto &l : page)
        out.append(l.text);
    return out;
}

} // namespace

TEST(ListPrintRange, ChecksAgainstTheLineCount)
{
    struct Case {
        double from, to;
        int n;
        bool ok;
    };
    const Case cases[] = {
        {1, 17, 17, true}, {5, 5, 17, true},  {1, 18, 17, false}, {18, 17, 17, false},
        {1, 0, 17, false}, {5, 3, 17, false}, {1, 2.5, 2, false}, {1, 1.5, 2, true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(rangeAccepted(c.from, c.to, c.n), c.ok) << c.from << ".." << c.to << " of " << c.n;
}

TEST_F(PrintFixture, SeventeenCustomersGivePagesOfEightEightAndOneUnderTheirHeaders)
{
    const QStringList lines = linesOf(test::numbered(17), Layout::Elenco);
    ASSERT_EQ(lines.size(), 17);
    ASSERT_EQ(run(job(lines, Layout::Elenco, 1, 17)), PrintResult::Printed);

    ASSERT_EQ(pages().size(), 3); // no empty fourth page
    const QStringList header{"Archivio Clienti", "", " Totale Records: 17  17 Rec.", "", ""};
    const int blocks[] = {8, 8, 1};
    int number = 1;
    for (int p = 0; p < 3; ++p) {
        const QStringList page = texts(pages()[p]);
        ASSERT_EQ(page.size(), 5 + 8 * blocks[p]) << "page " << p + 1;
        EXPECT_EQ(page.mid(0, 5), header);
        for (int b = 0; b < blocks[p]; ++b, ++number)
            EXPECT_TRUE(page[5 + 8 * b].startsWith(text::zeroPadded(number, 4) + QStringLiteral("  CLIENTE ")))
                << page[5 + 8 * b].toStdString();
    }
    // A fixed-pitch font for the columns, small enough for a full page to fit.
    EXPECT_EQ(pages()[0][0].font, QStringLiteral("Courier new"));
    EXPECT_FALSE(pages()[0][0].bold);
    EXPECT_EQ(pages()[0][0].fitLines, 69);
    EXPECT_EQ(pages()[0][0].fitColumns, 64);
}

TEST_F(PrintFixture, CustomerBlockLineByLine)
{
    Customer c;
    c.nome = "ROSSI MARIO";
    c.indirizzo = "VIA APPIA 12";
    c.cap = " 00179 ";
    c.citta = "ROMA";
    c.prov = "RM";
    c.accessi = "25";
    c.effettuati = "7";
    c.telefono = "06 5551234";
    c.carta = "AB12";
    const QStringList lines = linesOf({c}, Layout::Elenchi);
    ASSERT_EQ(run(job(lines, Layout::Elenchi, 1, 1)), PrintResult::Printed);
    ASSERT_EQ(pages().size(), 1);
    const QStringList expected{
        "Archivio Clienti",
        "",
        " Totale Records: 1  1 Rec.",
        "",
        "",
        "0001  ROSSI MARIO" + QString(29, ' '),
        "VIA APPIA 12" + QString(33, ' ') + "  ",
        "00179 - ROMA (RM)  25" + QString(13, ' '),
        "Accessi Effettuati: 7" + QString(29, ' '),
        "Tel: 06 5551234     " "  Carta: AB12" + QString(11, ' '),
        "Accessi: 25" + QString(13, ' '),
        "",
        "",
    };
    EXPECT_EQ(texts(pages()[0]), expected);
}

TEST_F(PrintFixture, RangeFollowsTheListOrderAndReadsTheRecordAfresh)
{
    QList<Customer> customers = test::numbered(3);
    customers[0].nome = "ZORRO";
    customers[1].nome = "ALBA";
    customers[2].nome = "MARE";
    const QStringList lines = linesOf(customers, Layout::Elenchi);
    // The credit changes after the list was filled.
    customers[2].accessi = "99";
    dir.write(QStringLiteral("CLIENTI.DAT"), test::registryBytes(customers));

    ASSERT_EQ(run(job(lines, Layout::Elenchi, 1, 2)), PrintResult::Printed);
    const QStringList page = texts(pages()[0]);
    ASSERT_EQ(page.size(), 5 + 16);
    EXPECT_TRUE(page[5].startsWith(QStringLiteral("0002  ALBA")));
    EXPECT_TRUE(page[13].startsWith(QStringLiteral("0003  MARE")));
    EXPECT_EQ(page[18], QStringLiteral("Accessi: 99") + QString(13, QLatin1Char(' ')));
}

TEST_F(PrintFixture, ARefusedRangeLeavesTheHeaderPageAlone)
{
    const QStringList lines = linesOf(test::numbered(4), Layout::Elenco);
    for (auto range : {std::pair{1.0, 5.0}, std::pair{6.0, 6.0}, std::pair{3.0, 2.0}}) {
        ASSERT_EQ(run(job(lines, Layout::Elenco, range.first, range.second)), PrintResult::Refused);
        ASSERT_EQ(pages().size(), 1);
        EXPECT_EQ(texts(pages()[0]), (QStringList{"Archivio Clienti", "", " Totale Records: 4  4 Rec.", "", ""}));
    }
}

TEST_F(PrintFixture, AFilteredListingShowsItsCaptionsInTheHeader)
{
    const QStringList lines = linesOf(test::numbered(2), Layout::Elenco);
    ListPrint j = job(lines, Layout::Elenco, 1, 2);
    j.listed = QStringLiteral(" Citta' :");
    j.filter = filteredCaption(QStringLiteral("ROMA"), 2);
    run(j);
    EXPECT_EQ(texts(pages()[0])[2], QStringLiteral(" Citta' : ROMA Records 2  2 Rec."));
}

TEST_F(PrintFixture, ACustomerMissingFromTheFileStopsThePrintWithAnError)
{
    const QStringList lines = linesOf(test::numbered(3), Layout::Elenco);
    dir.write(QStringLiteral("CLIENTI.DAT"), test::registryBytes(test::numbered(2)));
    QString error;
    ASSERT_EQ(run(job(lines, Layout::Elenco, 1, 3), &error), PrintResult::Failed);
    EXPECT_TRUE(error.contains(QStringLiteral("3")));
    EXPECT_EQ(pages()[0].size(), 5 + 16); // what was printed so far comes out
}

TEST_F(PrintFixture, LabelHasFourteenLinesWithTheProvinceAtCharacter44)
{
    Customer c;
    c.nome = "ROSSI MARIO";
    c.citta = "MODENA";
    c.prov = "MO";
    c.cap = "41100";
    c.effettuati = "";
    ASSERT_TRUE(printer.begin());
    printLabel(printer, test::record(c));
    printer.end();
    ASSERT_EQ(pages().size(), 1);
    const auto &label = pages()[0];
    ASSERT_EQ(label.size(), 14);
    const QStringList t = texts(label);
    EXPECT_EQ(t[3], QStringLiteral("ROSSI MARIO") + QString(29, QLatin1Char(' ')));
    EXPECT_EQ(t[6], QStringLiteral("VIA ROMA 1") + QString(35, QLatin1Char(' ')));
    EXPECT_EQ(t[8], QStringLiteral("41100") + QString(10, ' ') + "  MODENA" + QString(18, ' ') + "  MO");
    EXPECT_EQ(t[8].lastIndexOf(QStringLiteral("MO")) + 1, 44);
    EXPECT_EQ(t[13], QString(30, QLatin1Char(' '))); // accesses made, blank as stored
    for (int i : {0, 1, 2, 4, 5, 7, 9, 10, 11, 12})
        EXPECT_TRUE(t[i].isEmpty()) << i;
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(label[i].font, QStringLiteral("arial"));
        EXPECT_TRUE(label[i].bold);
        EXPECT_EQ(label[i].size, i < 6 ? 13 : 10) << i;
    }
}

TEST_F(PrintFixture, LabelsPrintOneAPageInOrderWithAOneSecondPauseAfterEach)
{
    dir.write(QStringLiteral("CLIENTI.DAT"), test::registryBytes(test::numbered(3)));
    ASSERT_TRUE(printer.begin());
    QElapsedTimer clock;
    clock.start();
    QString result = QStringLiteral("pending");
    LabelPrintJob job(printer, {3, 1}, file);
    job.start([&](const QString &error) { result = error; });
    EXPECT_TRUE(job.running());
    ASSERT_TRUE(test::waitUntil([&] { return !job.running(); }, 5000));
    const qint64 elapsed = clock.elapsed();
    EXPECT_TRUE(result.isEmpty());
    EXPECT_GE(elapsed, 1900); // a pause after each of the two labels
    EXPECT_LT(elapsed, 4000);
    printer.end();
    ASSERT_EQ(pages().size(), 2);
    EXPECT_TRUE(pages()[0][3].text.startsWith(QStringLiteral("CLIENTE 003")));
    EXPECT_TRUE(pages()[1][3].text.startsWith(QStringLiteral("CLIENTE 001")));
}

TEST_F(PrintFixture, TheFirstLabelPrintsAtOnceAndTheNextWaitsForThePause)
{
    dir.write(QStringLiteral("CLIENTI.DAT"), test::registryBytes(test::numbered(2)));
    ASSERT_TRUE(printer.begin());
    bool done = false;
    LabelPrintJob job(printer, {1, 2}, file, 300);
    job.start([&](const QString &) { done = true; });
    QTest::qWait(100);
    EXPECT_FALSE(done);
    ASSERT_TRUE(test::waitUntil([&] { return done; }, 3000));
    printer.end();
    EXPECT_EQ(pages().size(), 2);
}

TEST_F(PrintFixture, ALabelForACustomerThatCannotBeReadStopsWithTheLabelsSoFar)
{
    dir.write(QStringLiteral("CLIENTI.DAT"), test::registryBytes(test::numbered(2)));
    ASSERT_TRUE(printer.begin());
    QString result;
    bool done = false;
    LabelPrintJob job(printer, {1, 7, 2}, file, 10);
    job.start([&](const QString &error) {
        result = error;
        done = true;
    });
    ASSERT_TRUE(test::waitUntil([&] { return done; }, 3000));
    EXPECT_TRUE(result.contains(QStringLiteral("7")));
    printer.end();
    EXPECT_EQ(pages().size(), 1);
}
