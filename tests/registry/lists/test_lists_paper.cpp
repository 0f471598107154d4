// The list and the labels by range on paper: through the printer path to a PDF on each
// paper size, read back with poppler.
#include "uifixture.h"

#include "elenchi.h"
#include "fakeprinter.h"
#include "listprint.h"
#include "minmax.h"
#include "paperpdf.h"
#include "qtprinter.h"
#include "registryfile.h"

#include <QLabel>
#include <QPushButton>

using namespace zorv;
using namespace zorv::registry;
using namespace zorv::registry::lists;
using zorv::test::Customer;
using zorv::test::onModal;
using zorv::test::PdfPage;

namespace {

struct ListsOnPaper : test::ListsUi, ::testing::WithParamInterface<QPageSize::PageSizeId> {
    QString pdf = dir.file(QStringLiteral("stampa.pdf"));
    QtPrinter real;
    ScopedService<Printer> installed{&real};
    std::unique_ptr<Elenco> window;

    ListsOnPaper() { test::printToPdf(real, pdf, GetParam()); }

    // n customers with every printed field at its full width, so the lines are as long
    // as they get.
    static QList<Customer> widest(int n)
    {
        QList<Customer> out = test::numbered(n);
        for (Customer &c : out) {
            c.nome = c.nome.leftJustified(39, 'W') + 'N';
            c.indirizzo = QByteArray("VIA").leftJustified(44, 'W') + 'I';
            c.citta = QByteArray("REGGIO").leftJustified(23, 'W') + 'C';
            c.cap = QByteArray("00100").leftJustified(14, '9') + 'P';
            c.accessi = QByteArray("1").leftJustified(14, '2') + 'A';
            c.effettuati = QByteArray("3").leftJustified(29, '4') + 'E';
            c.telefono = QByteArray("06").leftJustified(14, '5') + 'T';
            c.carta = QByteArray("C").leftJustified(14, '6') + 'K';
        }
        return out;
    }

    Elenco &open()
    {
        window = std::make_unique<Elenco>();
        window->show();
        EXPECT_TRUE(zorv::test::activate(window.get()));
        window->Comando1->click(); // the whole registry
        return *window;
    }
    Record recordOf(int number) const { return *RegistryFile(db().FileClienti).read(number); }
};

} // namespace

TEST_P(ListsOnPaper, SeventeenCustomersPrintAsPagesOfEightEightAndOneUnderTheirHeaders)
{
    writeRegistry(widest(17));
    Elenco &w = open();
    onModal<Minmax>([](Minmax *m) { QTest::keyClick(m->Command1, Qt::Key_Return); });
    w.Comando4->click();
    EXPECT_TRUE(boxes.shown.isEmpty());

    const QList<PdfPage> pages = test::readPdf(pdf);
    ASSERT_EQ(pages.size(), 3);
    const QStringList header = pageHeader(w.Etichetta2->text(), w.Etichetta3->text(), 17);
    const int blocks[] = {8, 8, 1};
    int number = 1;
    for (int p = 0; p < 3; ++p) {
        QStringList expected = header;
        for (int b = 0; b < blocks[p]; ++b, ++number)
            expected += customerBlock(number, recordOf(number));
        EXPECT_EQ(pages[p].lines, test::asRead(expected)) << "page " << p + 1;
    }
    test::expectWholeOnPages(pages);
}

TEST_P(ListsOnPaper, LabelsByRangePrintOneWholeLabelAPage)
{
    writeRegistry(widest(3));
    Elenco &w = open();
    w.setLabelPauseMs(10);
    onModal<Minmax>([](Minmax *m) { m->Command1->click(); });
    w.Comando5->click();
    ASSERT_TRUE(test::waitUntil([&] { return !w.busy(); }, 5000));
    EXPECT_TRUE(boxes.shown.isEmpty());

    const QList<PdfPage> pages = test::readPdf(pdf);
    ASSERT_EQ(pages.size(), 3);
    for (int p = 0; p < 3; ++p) {
        FakePrinter label;
        label.begin();
        printLabel(label, recordOf(p + 1));
        label.end();
        EXPECT_EQ(pages[p].lines, test::asRead(label.lastLines())) << "label " << p + 1;
    }
    test::expectWholeOnPages(pages);
}

INSTANTIATE_TEST_SUITE_P(Papers, ListsOnPaper, ::testing::ValuesIn(test::kPapers),
                         [](const auto &info) { return test::paperName(info.param); });
