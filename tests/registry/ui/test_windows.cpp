#include "canci1.h"
#include "dbstate.h"
#include "fixture.h"
#include "heli.h"
#include "scheda.h"
#include "schei.h"
#include "trovi.h"
#include "visual.h"

#include "fakeclock.h"
#include "fakemessageboxes.h"
#include "fakeprinter.h"
#include "paperpdf.h"
#include "qtprinter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::registry;
using zorv::test::cliente;
using zorv::test::registro;
using zorv::test::TempFolder;
using zorv::test::whenIdle;

namespace {

const QString kInfo = QStringLiteral("( Info )");

// A registry of 25 customers in a fresh data folder, fake boxes and printer.
class Windows : public ::testing::Test {
protected:
    void SetUp() override
    {
        QList<Record> records;
        for (int i = 1; i <= 25; ++i)
            records.append(cliente(qPrintable(QString("cliente %1").arg(i)), "roma"));
        records[6] = cliente("rossi mario", "milano", "via roma 1", "20100", "mi", "10", "42", "2");
        records[11] = cliente("derossi anna", "bari", "", "70100", "ba", "D31-12-2015", "7", "1");
        records[3] = Record::deleted();
        dir.write("CLIENTI.DAT", registro(records));
        db().Percorso = dir.path() + '/';
        db().FileClienti = dir.file("CLIENTI.DAT");
        db().NumCliente = 0;
    }

    QByteArray file() const { return dir.read("CLIENTI.DAT"); }

    TempFolder dir;
    test::SystemClockInstalled systemClock;
    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxService{&boxes};
    FakePrinter fakePrinter;
    ScopedService<Printer> printerService{&fakePrinter};
};

// A key press as the window system delivers it: each with a time stamp of its own.
void press(QWidget *widget, Qt::Key key)
{
    static ulong stamp = 1000;
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    event.setTimestamp(++stamp);
    QApplication::sendEvent(widget, &event);
}

// Answers the prompt that the card opens modally with `keys` typed into its box.
void typeIntoPrompt(const QString &keys, Qt::Key last = Qt::Key_Return)
{
    whenIdle([keys, last] {
        auto *prompt = qobject_cast<PromptNumero *>(QApplication::activeModalWidget());
        ASSERT_NE(prompt, nullptr);
        QTest::keyClicks(prompt->Testo1, keys);
        press(prompt->Testo1, last);
    });
}


} // namespace

// --- the card ---

TEST_F(Windows, CardShowsEveryFieldUntrimmed)
{
    db().NumCliente = 7;
    Visual card;
    ASSERT_TRUE(card.aperta());
    EXPECT_EQ(card.windowTitle(), " Scheda Cliente ");
    EXPECT_EQ(card.Etichetta2->text(), "0007");
    EXPECT_EQ(card.Etichetta3->text(), "ROSSI MARIO" + QString(29, ' '));
    EXPECT_EQ(card.Etichetta1->text(), QString("VIA ROMA 1").leftJustified(45));
    EXPECT_EQ(card.Etichetta4->text(), QString("MILANO").leftJustified(24));
    EXPECT_EQ(card.Etichetta8->text(), QString("20100").leftJustified(15));
    EXPECT_EQ(card.Etichetta11->text(), "MI");
    EXPECT_EQ(card.Etichetta5->text(), QString("10").leftJustified(15));
    EXPECT_EQ(card.Etichetta6->text(), QString("02 1234567").leftJustified(15));
    EXPECT_EQ(card.Etichetta7->text(), QString("AB12CD34EF56").leftJustified(15));
    EXPECT_EQ(card.Etichetta9->text(), QString("42").leftJustified(30));
    EXPECT_EQ(card.Etichetta10->text(), "2  ");
    EXPECT_EQ(card.ordini[0]->text(), "10");
    EXPECT_EQ(card.fatturato[5]->text(), "25");
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_FALSE(card.Comando5->isVisibleTo(&card));
    EXPECT_EQ(card.Comando1->text(), " Cambia Scheda ");
    EXPECT_EQ(card.Comando3->text(), "Stampa Scheda ");
    EXPECT_EQ(card.Comando4->text(), "Etichetta");
    EXPECT_EQ(card.Comando2->text(), " Uscita ");
}

TEST_F(Windows, CardOfADeletedCustomerSaysSoAndStaysEmpty)
{
    db().NumCliente = 4;
    Visual card;
    EXPECT_TRUE(card.aperta());
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, "Il Cliente N. 4 e' stato cancellato");
    EXPECT_EQ(boxes.last().title, kInfo);
    EXPECT_EQ(card.Etichetta3->text(), QString());
    EXPECT_EQ(card.Etichetta2->text(), QString());

    // With no customer on the card the print buttons do nothing, not even the dialog.
    card.Comando3_Click();
    card.Comando4_Click();
    card.Comando5_Click();
    EXPECT_EQ(fakePrinter.dialogs, 0);
    EXPECT_EQ(boxes.shown.size(), 1);
}

TEST_F(Windows, CardOnANumberOutsideTheRegistryIsRefusedAndCloses)
{
    for (int n : {26, 0}) {
        boxes.shown.clear();
        db().NumCliente = n;
        Visual card;
        EXPECT_FALSE(card.aperta());
        ASSERT_EQ(boxes.shown.size(), 1);
        EXPECT_EQ(boxes.last().text, " 25 Clienti in archivio");
        EXPECT_EQ(boxes.last().title, kInfo);
    }
}

TEST_F(Windows, CardThatCannotOpenTheFileReportsTheErrorAndCloses)
{
    db().FileClienti = dir.file("missing/CLIENTI.DAT");
    db().NumCliente = 1;
    Visual card;
    EXPECT_FALSE(card.aperta());
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().title, "ERRORE");
    EXPECT_FALSE(boxes.last().text.isEmpty());
}

TEST_F(Windows, ChangeCustomerShowsTheNewOneReadAfresh)
{
    db().NumCliente = 7;
    Visual card;
    typeIntoPrompt("12");
    card.Comando1_Click();
    EXPECT_EQ(db().NumCliente, 12);
    EXPECT_EQ(card.Etichetta2->text(), "0012");
    EXPECT_EQ(card.Etichetta3->text(), QString("DEROSSI ANNA").leftJustified(40));
    EXPECT_EQ(card.Etichetta5->text(), QString("D31-12-2015").leftJustified(15));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(Windows, ChangeCustomerBeyondTheCountKeepsTheCard)
{
    db().NumCliente = 7;
    Visual card;
    typeIntoPrompt("30");
    card.Comando1_Click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, " 25 Clienti in archivio");
    EXPECT_EQ(boxes.last().title, kInfo);
    EXPECT_EQ(db().NumCliente, 30);
    EXPECT_EQ(card.Etichetta2->text(), "0007");
}

TEST_F(Windows, ChangeCustomerWithAnEmptyPromptLeavesTheCard)
{
    db().NumCliente = 7;
    Visual card;
    typeIntoPrompt("");
    card.Comando1_Click();
    EXPECT_EQ(db().NumCliente, 0);
    EXPECT_EQ(card.Etichetta2->text(), "0007");
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(Windows, ChangeCustomerToADeletedOneClearsTheCard)
{
    db().NumCliente = 7;
    Visual card;
    typeIntoPrompt("4");
    card.Comando1_Click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, "Il Cliente N. 4 e' stato cancellato");
    EXPECT_EQ(card.Etichetta3->text(), QString());
}

TEST_F(Windows, EscInThePromptShowsTheSameCustomerAgainFromTheFile)
{
    db().NumCliente = 7;
    Visual card;
    // Meanwhile a station counts an access in the record.
    QByteArray bytes = file();
    bytes.replace(6 * 246 + 160, 2, "43");
    dir.write("CLIENTI.DAT", bytes);
    typeIntoPrompt("9", Qt::Key_Escape);
    card.Comando1_Click();
    EXPECT_EQ(db().NumCliente, 7);
    EXPECT_EQ(card.Etichetta9->text(), QString("43").leftJustified(30));
}

TEST_F(Windows, EscAndF9CloseTheCardWhicheverControlHasTheFocus)
{
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_F9}) {
        db().NumCliente = 7;
        Visual card;
        card.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&card));
        QTest::keyClick(card.Comando4, key);
        EXPECT_FALSE(card.isVisible());
    }
    db().NumCliente = 7;
    Visual card;
    card.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&card));
    EXPECT_EQ(QApplication::focusWidget(), card.Comando1);
    QWidget *order[] = {card.Comando1, card.Comando4, card.Comando3, card.Comando2};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(order[i]->nextInFocusChain(), order[i + 1]);
    card.Comando2->click();
    EXPECT_FALSE(card.isVisible());
}

TEST_F(Windows, CardFileStaysUnchanged)
{
    const QByteArray before = file();
    db().NumCliente = 7;
    Visual card;
    typeIntoPrompt("12");
    card.Comando1_Click();
    EXPECT_EQ(file(), before);
}

// --- printing from the card ---

TEST_F(Windows, CardPrintIsTheWindowsImage)
{
    db().NumCliente = 7;
    Visual card;
    card.resize(600, 400);
    card.Comando3_Click();
    ASSERT_EQ(fakePrinter.documents.size(), 1);
    ASSERT_EQ(fakePrinter.documents[0].images.size(), 1);
    EXPECT_FALSE(fakePrinter.documents[0].images[0].isNull());
    EXPECT_GE(fakePrinter.documents[0].images[0].width(), 600);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

// The card and its address label: a print the printer refused is not taken as printed.
TEST_F(Windows, CardAndLabelPrintFailuresBeepAndShowTheError)
{
    db().NumCliente = 7;
    Visual card;
    fakePrinter.failWith = "Stampante non pronta";
    for (QPushButton *button : {card.Comando3, card.Comando4}) {
        boxes.shown.clear();
        boxes.beeps = 0;
        button->click();
        EXPECT_EQ(boxes.beeps, 1) << button->objectName().toStdString();
        ASSERT_EQ(boxes.shown.size(), 1) << button->objectName().toStdString();
        EXPECT_EQ(boxes.last().text, "Stampante non pronta");
        EXPECT_EQ(boxes.last().title, "ERRORE");
    }
    EXPECT_TRUE(fakePrinter.documents.isEmpty());
}

TEST_F(Windows, ShippingLabelFailuresEndSilently)
{
    db().NumCliente = 7;
    Visual card;
    fakePrinter.failWith = "Stampante non pronta";
    boxes.typeNext("55");
    boxes.typeNext("1");
    card.Comando5_Click();
    EXPECT_EQ(boxes.beeps, 0);
    EXPECT_EQ(boxes.texts(), (QStringList{"Digita numero ordine", "Digita numero Copie"}));
}

TEST_F(Windows, ACancelledDialogPrintsNothingAndSaysNothing)
{
    db().NumCliente = 7;
    Visual card;
    fakePrinter.cancel = true;
    card.Comando3_Click();
    card.Comando4_Click();
    card.Comando5_Click();
    EXPECT_EQ(fakePrinter.dialogs, 3);
    EXPECT_TRUE(fakePrinter.documents.isEmpty());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(Windows, AddressLabelFontsAndLines)
{
    db().NumCliente = 7;
    Visual card;
    card.Comando4_Click();
    ASSERT_EQ(fakePrinter.documents.size(), 1);
    ASSERT_EQ(fakePrinter.documents[0].pages.size(), 1);
    const auto &page = fakePrinter.documents[0].pages[0];
    ASSERT_EQ(page.size(), 14);
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(page[i].font, "arial");
        EXPECT_TRUE(page[i].bold);
        EXPECT_EQ(page[i].size, i < 6 ? 13 : 10) << i + 1;
    }
    EXPECT_EQ(page[3].text, "ROSSI MARIO" + QString(29, ' '));
}

TEST_F(Windows, ShippingLabelAnswersThatPrintNothing)
{
    db().NumCliente = 7;
    Visual card;
    struct Case {
        const char *ordine;
        const char *copie;
    } cases[] = {{"", "3"}, {"12", "0"}, {"12", "-2"}, {"12", "tre"}, {"12", ""}};
    for (const auto &c : cases) {
        boxes.typeNext(c.ordine);
        boxes.typeNext(c.copie);
        card.Comando5_Click();
        EXPECT_TRUE(fakePrinter.documents.isEmpty()) << c.ordine << "/" << c.copie;
        // An empty order number ends before the copies are asked.
        if (QByteArray(c.ordine).isEmpty()) {
            EXPECT_EQ(boxes.last().title, "Numero ordine");
            boxes.inputBox(QString(), QString(), QString()); // drop the unused answer
        } else {
            EXPECT_EQ(boxes.last().title, "Copie Etichetta");
        }
    }
    EXPECT_TRUE(fakePrinter.documents.isEmpty());
}

TEST_F(Windows, ShippingLabelPagesPerCopyAndEmphasisOnTheSenderLine)
{
    db().NumCliente = 7;
    Visual card;
    boxes.typeNext("A1");
    boxes.typeNext("2.5");
    card.Comando5_Click();
    ASSERT_EQ(fakePrinter.documents.size(), 1);
    const auto &pages = fakePrinter.documents[0].pages;
    ASSERT_EQ(pages.size(), 2);
    for (const auto &page : pages) {
        ASSERT_EQ(page.size(), 32);
        for (int i = 0; i < 32; ++i)
            EXPECT_EQ(page[i].emphasis, i == 3) << i + 1;
        EXPECT_EQ(page[9].text, "SHIP TO:");
        EXPECT_EQ(page[9].size, 13);
        EXPECT_EQ(page[30].text, "Ordine N. A1");
    }
    // The first line of the first page comes before any font is set; on the next page it
    // keeps the font of the line before.
    EXPECT_EQ(pages[0][0].font, QString());
    EXPECT_EQ(pages[1][0].font, "arial");
    EXPECT_EQ(pages[1][0].size, 10);
}

// --- printed documents through the file seam ---

namespace {

class PrintTo {
public:
    explicit PrintTo(const QString &path) { qputenv("ZORV900_PRINT_TO", path.toUtf8()); }
    ~PrintTo() { qunsetenv("ZORV900_PRINT_TO"); }
};

QStringList linesOf(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (text.endsWith('\n'))
        text.chop(1);
    return text.split('\n');
}

} // namespace

TEST_F(Windows, PrintedAddressLabelLineNineKeepsThePadding)
{
    PrintTo to(dir.file("stampa.txt"));
    QtPrinter real;
    ScopedService<Printer> use(&real);
    db().NumCliente = 7;
    Visual card;
    card.Comando4_Click();
    const QStringList lines = linesOf(dir.read("stampa.txt"));
    ASSERT_EQ(lines.size(), 14);
    EXPECT_EQ(lines[3], "ROSSI MARIO" + QString(29, ' '));
    EXPECT_EQ(lines[6], QString("VIA ROMA 1").leftJustified(45));
    EXPECT_EQ(lines[8], "20100" + QString(10, ' ') + "  " + "MILANO" + QString(18, ' ') + "  " + "MI");
    EXPECT_FALSE(lines.contains("\f"));
}

TEST_F(Windows, PrintedShippingLabelsThreeCopiesThreePages)
{
    PrintTo to(dir.file("stampa.txt"));
    QtPrinter real;
    ScopedService<Printer> use(&real);
    FakeClock clock;
    clock.setNow(QDateTime(QDate(2015, 1, 18), QTime(17, 30, 5)));
    ScopedService<Clock> useClock(&clock);
    dir.write("indirizzo.txt", "\"ZORV, SRL\"\r\nVia Verdi 2\r\n00100 Roma\r\n");
    db().NumCliente = 12;
    Visual card;
    boxes.typeNext("778");
    boxes.typeNext("3");
    card.Comando5_Click();

    const QStringList lines = linesOf(dir.read("stampa.txt"));
    ASSERT_EQ(lines.size(), 3 * 32 + 2);
    EXPECT_EQ(lines.count("\f"), 2);
    for (int copy = 0; copy < 3; ++copy) {
        const QStringList page = lines.mid(copy * 33, 32);
        EXPECT_EQ(page[0], QString());
        EXPECT_EQ(page[1], QString(42, '_'));
        EXPECT_EQ(page[2], "SENDER:");
        EXPECT_EQ(page[3], "ZORV, SRL");
        EXPECT_EQ(page[4], "Via Verdi 2");
        EXPECT_EQ(page[5], "00100 Roma");
        EXPECT_EQ(page[6], QString());     // a short file leaves the last item empty
        EXPECT_EQ(page[13], QString("DEROSSI ANNA").leftJustified(40));
        EXPECT_EQ(page[17], "70100" + QString(10, ' ') + "  " + QString("BARI").leftJustified(24) + "  BA");
        EXPECT_EQ(page[20], "Tel.:" + QString("02 1234567").leftJustified(15) + "   Fax:"
                                + QString("AB12CD34EF56").leftJustified(15));
        EXPECT_EQ(page[27], "Data/Ora: 01-18-2015 / 17:30:05");
        EXPECT_EQ(page[28], "Num. 0012-01-18-2015");
        EXPECT_EQ(page[30], "Ordine N. 778");
        EXPECT_EQ(page[31], QString(42, '_'));
        if (copy < 2) {
            EXPECT_EQ(lines[copy * 33 + 32], "\f");
        }
    }
}

TEST_F(Windows, PrintedShippingLabelWithoutIndirizzoTxtHasEmptySenderLines)
{
    PrintTo to(dir.file("stampa.txt"));
    QtPrinter real;
    ScopedService<Printer> use(&real);
    db().NumCliente = 7;
    Visual card;
    boxes.typeNext("1");
    boxes.typeNext("1");
    card.Comando5_Click();
    const QStringList lines = linesOf(dir.read("stampa.txt"));
    ASSERT_EQ(lines.size(), 32);
    for (int i = 3; i <= 6; ++i)
        EXPECT_EQ(lines[i], QString()) << i + 1;
    EXPECT_EQ(lines[9], "SHIP TO:");
}

TEST_F(Windows, PrintedShippingLabelAsPdf)
{
    const QString pdf = dir.file("stampa.pdf");
    PrintTo to(pdf);
    QtPrinter real;
    ScopedService<Printer> use(&real);
    FakeClock clock;
    clock.setNow(QDateTime(QDate(2015, 1, 18), QTime(8, 0, 0)));
    ScopedService<Clock> useClock(&clock);
    db().NumCliente = 12;
    Visual card;
    boxes.typeNext("778");
    boxes.typeNext("2");
    card.Comando5_Click();

    QProcess tool;
    tool.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(tool.waitForFinished(20000));
    ASSERT_EQ(tool.exitCode(), 0);
    const QString text = QString::fromUtf8(tool.readAllStandardOutput());
    EXPECT_EQ(text.count("SHIP TO:"), 2);
    EXPECT_EQ(text.count("Num. 0012-01-18-2015"), 2);
    EXPECT_TRUE(text.contains("DEROSSI ANNA"));
    EXPECT_TRUE(text.contains("Ordine N. 778"));
    EXPECT_EQ(text.count('\f'), 2);
}

// --- the card's documents on paper, through the printer path ---

namespace {

using zorv::test::PdfPage;

class CardOnPaper : public Windows, public ::testing::WithParamInterface<QPageSize::PageSizeId> {
protected:
    CardOnPaper() { zorv::test::printToPdf(real, pdf, GetParam()); }
    void SetUp() override
    {
        Windows::SetUp();
        clock.setNow(QDateTime(QDate(2015, 1, 18), QTime(17, 30, 5)));
        dir.write("indirizzo.txt", "\"ZORV ACCESS CONTROL SYSTEMS, SRL\"\r\nVia Giuseppe Verdi 2\r\n"
                                   "00100 Roma\r\nTel. 06 1234567\r\n");
    }
    // The lines of the document that `print` makes, as the fake printer records them.
    QList<QStringList> expectedPages(const std::function<void()> &print)
    {
        ScopedService<Printer> fake(&fakePrinter);
        print();
        QList<QStringList> pages{{}};
        for (const QString &line : fakePrinter.lastLines()) {
            if (line == "\f")
                pages.append(QStringList{});
            else
                pages.last().append(line);
        }
        return pages;
    }
    void expectOnPaper(const QList<QStringList> &expected)
    {
        const QList<PdfPage> pages = zorv::test::readPdf(pdf);
        ASSERT_EQ(pages.size(), expected.size());
        for (qsizetype p = 0; p < pages.size(); ++p)
            EXPECT_EQ(pages[p].lines, zorv::test::asRead(expected[p])) << "page " << p + 1;
        zorv::test::expectWholeOnPages(pages);
    }

    QString pdf = dir.file("stampa.pdf");
    QtPrinter real;
    ScopedService<Printer> use{&real};
    FakeClock clock;
    ScopedService<Clock> useClock{&clock};
};

} // namespace

TEST_P(CardOnPaper, TheCardImageIsWholeOnOnePage)
{
    db().NumCliente = 7;
    Visual card;
    card.resize(900, 700);
    card.Comando3_Click();
    EXPECT_TRUE(boxes.shown.isEmpty());
    ASSERT_EQ(zorv::test::readPdf(pdf).size(), 1);

    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi ...
    const QStringList rows = zorv::test::pdfTool("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 3);
    const QStringList image = rows[2].split(' ', Qt::SkipEmptyParts);
    const QSizeF printable = QPageSize(GetParam()).sizePoints() - QSizeF(2 * 42.5, 2 * 42.5);
    const double widthPt = image[3].toDouble() / image[12].toDouble() * 72;
    const double heightPt = image[4].toDouble() / image[13].toDouble() * 72;
    EXPECT_GE(image[3].toInt(), 900);
    EXPECT_LE(widthPt, printable.width() + 0.5);
    EXPECT_LE(heightPt, printable.height() + 0.5);
    EXPECT_GT(widthPt, printable.width() - 1); // made smaller to the page's width, no smaller
}

TEST_P(CardOnPaper, TheAddressLabelIsWholeOnOnePage)
{
    db().NumCliente = 7;
    Visual card;
    const auto expected = expectedPages([&] { card.Comando4_Click(); });
    ASSERT_EQ(expected.size(), 1);
    ASSERT_EQ(expected[0].size(), 14);
    card.Comando4_Click();
    expectOnPaper(expected);
}

TEST_P(CardOnPaper, ShippingLabelsAreWholeOneCopyAPage)
{
    db().NumCliente = 12;
    Visual card;
    const auto print = [&] {
        boxes.typeNext("778");
        boxes.typeNext("2");
        card.Comando5_Click();
    };
    const auto expected = expectedPages(print);
    ASSERT_EQ(expected.size(), 2);
    ASSERT_EQ(expected[0].size(), 32);
    print();
    expectOnPaper(expected);
}

INSTANTIATE_TEST_SUITE_P(Papers, CardOnPaper, ::testing::ValuesIn(zorv::test::kPapers),
                         [](const auto &info) { return zorv::test::paperName(info.param); });

// --- number prompts ---

TEST_F(Windows, ScheiAcceptsANumberInTheRegistryAndOpensTheCard)
{
    schei prompt;
    prompt.show();
    EXPECT_EQ(prompt.windowTitle(), " N. Cliente ");
    QTest::keyClicks(prompt.Testo1, "1a-2.");
    EXPECT_EQ(prompt.Testo1->text(), "12");
    QTest::keyClick(prompt.Testo1, Qt::Key_Return);
    EXPECT_EQ(db().NumCliente, 12);
    EXPECT_TRUE(prompt.apriScheda());
    EXPECT_FALSE(prompt.isVisible());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(Windows, ScheiRefusesANumberBeyondTheCountAndStaysOpen)
{
    schei prompt;
    prompt.show();
    QTest::keyClicks(prompt.Testo1, "30");
    QTest::keyClick(prompt.Testo1, Qt::Key_Return);
    EXPECT_EQ(db().NumCliente, 0);
    EXPECT_EQ(prompt.Testo1->text(), QString());
    EXPECT_TRUE(prompt.isVisible());
    EXPECT_FALSE(prompt.apriScheda());
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, " 25 Clienti in archivio");
    EXPECT_EQ(boxes.last().title, kInfo);
}

TEST_F(Windows, ScheiLetsADeletedNumberThroughAndTheCardReportsIt)
{
    db().NumCliente = 0;
    typeIntoPrompt("4");
    // The card opens after the prompt: answer it by closing it once it is up.
    QTimer::singleShot(100, [] {
        if (auto *card = qobject_cast<Visual *>(QApplication::activeModalWidget()))
            card->close();
    });
    schei::mostra(nullptr);
    EXPECT_EQ(db().NumCliente, 4);
    EXPECT_TRUE(boxes.texts().contains("Il Cliente N. 4 e' stato cancellato"));
}

TEST_F(Windows, ScheiEmptyEnterAndEscCloseWithoutACard)
{
    {
        schei prompt;
        prompt.show();
        QTest::keyClick(prompt.Testo1, Qt::Key_Return);
        EXPECT_FALSE(prompt.isVisible());
        EXPECT_FALSE(prompt.apriScheda());
    }
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_F9}) {
        db().NumCliente = 9;
        schei prompt;
        prompt.show();
        press(prompt.Testo1, key);
        EXPECT_FALSE(prompt.isVisible());
        EXPECT_FALSE(prompt.apriScheda());
        EXPECT_EQ(db().NumCliente, 9);
    }
    {
        // Each typed character first takes the number typed before it.
        schei prompt;
        prompt.show();
        QTest::keyClicks(prompt.Testo1, "34");
        press(prompt.Testo1, Qt::Key_Escape);
        EXPECT_FALSE(prompt.isVisible());
        EXPECT_EQ(db().NumCliente, 3);
    }
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(Windows, SchedaHandsBackTheNumberWithoutChecking)
{
    struct Case {
        const char *typed;
        int number;
    } cases[] = {{"12", 12}, {"", 0}, {"99x99", 9999}, {"1234", 1234}};
    for (const auto &c : cases) {
        scheda prompt;
        prompt.show();
        QTest::keyClicks(prompt.Testo1, c.typed);
        QTest::keyClick(prompt.Testo1, Qt::Key_Return);
        EXPECT_EQ(db().NumCliente, c.number) << c.typed;
        EXPECT_FALSE(prompt.isVisible());
    }
    scheda prompt;
    prompt.Testo1->setText("123456");
    EXPECT_EQ(prompt.Testo1->text().size(), 4);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

// --- deletion ---

TEST_F(Windows, DeletionConfirmedOverwritesTheRecordOnly)
{
    const QByteArray before = file();
    canci1 prompt;
    prompt.show();
    QTest::keyClicks(prompt.Testo1, "12");
    QTest::keyClick(prompt.Testo1, Qt::Key_Return);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, "Confermi la cancellazione del cliente N. 12 ?");
    EXPECT_EQ(boxes.last().title, "( ! )");
    EXPECT_EQ(boxes.last().style, style::YesNo);
    EXPECT_EQ(boxes.beeps, 1);
    EXPECT_FALSE(prompt.isVisible());
    const QByteArray after = file();
    ASSERT_EQ(after.size(), 25 * 246);
    EXPECT_EQ(after.mid(11 * 246, 246), QByteArray(246, '*'));
    EXPECT_EQ(after.left(11 * 246), before.left(11 * 246));
    EXPECT_EQ(after.mid(12 * 246), before.mid(12 * 246));
}

TEST_F(Windows, DeletionRefusedWritesNothing)
{
    const QByteArray before = file();
    boxes.answerNext(answer::No);
    canci1 prompt;
    prompt.show();
    QTest::keyClicks(prompt.Testo1, "12");
    QTest::keyClick(prompt.Testo1, Qt::Key_Return);
    EXPECT_EQ(file(), before);
    EXPECT_FALSE(prompt.isVisible());
    EXPECT_EQ(boxes.shown.size(), 1);
}

TEST_F(Windows, DeletionOfADeletedCustomerSaysSoAndWritesNothing)
{
    const QByteArray before = file();
    canci1 prompt;
    prompt.show();
    QTest::keyClicks(prompt.Testo1, "4");
    QTest::keyClick(prompt.Testo1, Qt::Key_Return);
    EXPECT_EQ(boxes.texts(), (QStringList{"Confermi la cancellazione del cliente N. 4 ?",
                                          "Il Cliente N. 4 e' gia' cancellato"}));
    EXPECT_EQ(boxes.last().title, kInfo);
    EXPECT_EQ(file(), before);
    EXPECT_FALSE(prompt.isVisible());
}

TEST_F(Windows, DeletionOfTheLastCustomerKeepsTheFileLength)
{
    canci1 prompt;
    prompt.show();
    QTest::keyClicks(prompt.Testo1, "25");
    QTest::keyClick(prompt.Testo1, Qt::Key_Return);
    EXPECT_EQ(file().size(), 25 * 246);
    EXPECT_EQ(file().right(246), QByteArray(246, '*'));
}

TEST_F(Windows, DeletionBeyondTheCountAsksForAnotherNumber)
{
    const QByteArray before = file();
    canci1 prompt;
    prompt.show();
    QTest::keyClicks(prompt.Testo1, "30");
    QTest::keyClick(prompt.Testo1, Qt::Key_Return);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, " 25 Clienti in archivio");
    EXPECT_EQ(boxes.last().title, kInfo);
    EXPECT_TRUE(prompt.isVisible());
    EXPECT_EQ(prompt.Testo1->text(), QString());
    EXPECT_EQ(db().NumCliente, 0);
    EXPECT_EQ(file(), before);
}

TEST_F(Windows, DeletionEmptyEnterEscAndF9CloseWithoutAsking)
{
    const QByteArray before = file();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_F9}) {
        canci1 prompt;
        prompt.show();
        if (key != Qt::Key_Return)
            QTest::keyClicks(prompt.Testo1, "12");
        press(prompt.Testo1, key);
        EXPECT_FALSE(prompt.isVisible());
    }
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(file(), before);
}

TEST_F(Windows, DeletionHoldsNoLockWhileItAsksAndFailsWhenAnotherProgramHoldsIt)
{
    const QByteArray before = file();
    // While the question waits for the operator, another program can take the lock.
    bool otherGotIt = false;
    boxes.onShown = [&](const FakeMessageBoxes::Shown &) {
        test::OtherProgram other({"hold", db().FileClienti});
        otherGotIt = other.waitReady() && other.finishedWell();
    };
    {
        canci1 prompt;
        prompt.show();
        QTest::keyClicks(prompt.Testo1, "12");
        QTest::keyClick(prompt.Testo1, Qt::Key_Return);
        EXPECT_TRUE(otherGotIt);
        EXPECT_EQ(file().mid(11 * 246, 246), QByteArray(246, '*'));
    }
    boxes.onShown = nullptr;

    // Held past the wait: the deletion fails as a file error does, and writes nothing.
    const QByteArray deleted = file();
    test::OtherProgram holder({"hold", db().FileClienti});
    ASSERT_TRUE(holder.waitReady());
    canci1 prompt;
    prompt.show();
    QTest::keyClicks(prompt.Testo1, "13");
    QTest::keyClick(prompt.Testo1, Qt::Key_Return);
    ASSERT_EQ(boxes.shown.size(), 3);
    EXPECT_EQ(boxes.last().title, "ERRORE");
    EXPECT_EQ(boxes.last().text, "CLIENTI.DAT e' in uso da un altro programma (oltre 3 secondi di attesa)");
    EXPECT_TRUE(prompt.isVisible());
    EXPECT_EQ(file(), deleted);
    EXPECT_NE(file(), before);
}

TEST_F(Windows, DeletionFileErrorIsReportedAndThePromptStays)
{
    db().FileClienti = dir.file("missing/CLIENTI.DAT");
    canci1 prompt;
    prompt.show();
    QTest::keyClicks(prompt.Testo1, "2");
    QTest::keyClick(prompt.Testo1, Qt::Key_Return);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().title, "ERRORE");
    EXPECT_TRUE(prompt.isVisible());
    EXPECT_EQ(prompt.Testo1->text(), QString());
}

// --- search by name ---

TEST_F(Windows, SearchFindsHitsInRecordOrderUntilTheEndOfTheFile)
{
    Trovi search;
    search.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&search));
    EXPECT_EQ(search.windowTitle(), " Trova ");
    QTest::keyClicks(search.Testo1, "  rossi ");
    QTest::keyClick(search.Testo1, Qt::Key_Return);
    EXPECT_EQ(search.Etichetta2->text(), "0007");
    EXPECT_EQ(search.Etichetta1->text(), "ROSSI MARIO");
    EXPECT_FALSE(search.Comando1->isEnabled());
    EXPECT_TRUE(search.Comando2->isEnabled());
    EXPECT_TRUE(search.Comando2->hasFocus());

    search.Comando2->click();
    EXPECT_EQ(search.Etichetta2->text(), "0012");
    EXPECT_EQ(search.Etichetta1->text(), "DEROSSI ANNA");
    EXPECT_TRUE(boxes.shown.isEmpty());

    search.Comando2->click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, "Fine del file");
    EXPECT_EQ(boxes.last().title, kInfo);
    // Back to an empty box with " Trova " on.
    EXPECT_TRUE(search.Testo1->hasFocus());
    EXPECT_EQ(search.Testo1->text(), QString());
    EXPECT_EQ(search.Etichetta1->text(), QString());
    EXPECT_EQ(search.Etichetta2->text(), QString());
    EXPECT_TRUE(search.Comando1->isEnabled());
    EXPECT_FALSE(search.Comando2->isEnabled());
}

TEST_F(Windows, SearchKeysThatFindNothing)
{
    for (const char *key : {"*", "BIANCHI", "ROSSIMARIO"}) {
        boxes.shown.clear();
        Trovi search;
        search.show();
        QTest::keyClicks(search.Testo1, key);
        search.Comando1->click();
        ASSERT_EQ(boxes.shown.size(), 1) << key;
        EXPECT_EQ(boxes.last().text, "Fine del file");
        EXPECT_EQ(search.Testo1->text(), QString());
        EXPECT_TRUE(search.Comando1->isEnabled());
        EXPECT_FALSE(search.Comando2->isEnabled());
    }
}

TEST_F(Windows, SearchWithAnInnerSpaceAndOnAnEmptyRegistry)
{
    {
        Trovi search;
        search.show();
        QTest::keyClicks(search.Testo1, "rossi m");
        search.Comando1->click();
        EXPECT_EQ(search.Etichetta2->text(), "0007");
    }
    dir.write("CLIENTI.DAT", QByteArray());
    Trovi search;
    search.show();
    QTest::keyClicks(search.Testo1, "rossi");
    search.Comando1->click();
    EXPECT_EQ(boxes.texts().last(), "Fine del file");
}

TEST_F(Windows, SearchWithAnEmptyTextSearchesNothing)
{
    Trovi search;
    search.show();
    QTest::keyClicks(search.Testo1, "   ");
    search.Comando1->click();
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_TRUE(search.Comando1->isEnabled());
}

TEST_F(Windows, ClickingIntoTheBoxAfterAHitClearsIt)
{
    Trovi search;
    search.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&search));
    QTest::keyClicks(search.Testo1, "rossi");
    QTest::keyClick(search.Testo1, Qt::Key_Return);
    ASSERT_EQ(search.Etichetta2->text(), "0007");
    QTest::mouseClick(search.Testo1, Qt::LeftButton);
    EXPECT_TRUE(search.Testo1->hasFocus());
    EXPECT_EQ(search.Etichetta2->text(), QString());
    EXPECT_EQ(search.Etichetta1->text(), QString());
    EXPECT_TRUE(search.Comando1->isEnabled());
    EXPECT_FALSE(search.Comando2->isEnabled());
}

TEST_F(Windows, SearchOpensTheCardOfTheCustomerFound)
{
    Trovi search;
    search.show();
    QTest::keyClicks(search.Testo1, "derossi");
    search.Comando1->click();
    QString shown;
    whenIdle([&shown] {
        auto *card = qobject_cast<Visual *>(QApplication::activeModalWidget());
        ASSERT_NE(card, nullptr);
        shown = card->Etichetta3->text();
        card->close();
    });
    search.Comando3->click();
    EXPECT_EQ(db().NumCliente, 12);
    EXPECT_EQ(shown, QString("DEROSSI ANNA").leftJustified(40));
    EXPECT_EQ(search.Etichetta2->text(), QString());
    EXPECT_EQ(search.Testo1->text(), QString());
}

TEST_F(Windows, SearchIsIdleAgainWhenTheCardClosesHoweverTheFocusComesBack)
{
    // The card opened by keys from " Scheda ", closed by Esc; the focus comes back as the
    // search window becomes active again.
    Trovi search;
    search.show();
    search.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&search));
    QTest::keyClicks(search.Testo1, "rossi");
    QTest::keyClick(search.Testo1, Qt::Key_Return);
    ASSERT_EQ(search.Etichetta2->text(), "0007");
    ASSERT_TRUE(search.Comando2->hasFocus());
    test::pressTab(search.Comando2);
    ASSERT_TRUE(search.Comando3->hasFocus());
    whenIdle([] {
        auto *card = qobject_cast<Visual *>(QApplication::activeModalWidget());
        ASSERT_NE(card, nullptr);
        press(card->Comando1, Qt::Key_Escape);
    });
    QTest::keyClick(search.Comando3, Qt::Key_Return);
    EXPECT_EQ(db().NumCliente, 7);
    // Made active again, as a window manager does.
    search.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&search));
    EXPECT_TRUE(search.Testo1->hasFocus());
    EXPECT_EQ(search.Testo1->text(), QString());
    EXPECT_EQ(search.Etichetta1->text(), QString());
    EXPECT_EQ(search.Etichetta2->text(), QString());
    EXPECT_TRUE(search.Comando1->isEnabled());
    EXPECT_FALSE(search.Comando2->isEnabled());
    // The old key is gone: " Prossimo " finds nothing more to show.
    search.Comando2_Click();
    EXPECT_EQ(search.Etichetta2->text(), QString());
    EXPECT_TRUE(boxes.shown.isEmpty());
    // A new search starts from the first record.
    QTest::keyClicks(search.Testo1, "rossi");
    QTest::keyClick(search.Testo1, Qt::Key_Return);
    EXPECT_EQ(search.Etichetta2->text(), "0007");
}

TEST_F(Windows, SearchTextHeldToFortyAndEscClosesIt)
{
    Trovi search;
    search.show();
    search.Testo1->setText(QString(45, 'A'));
    EXPECT_EQ(search.Testo1->text().size(), 40);
    press(search.Comando4, Qt::Key_F9);
    EXPECT_FALSE(search.isVisible());
    Trovi again;
    again.show();
    QTest::keyClicks(again.Testo1, "ab");
    press(again.Testo1, Qt::Key_Escape);
    EXPECT_FALSE(again.isVisible());
}

// --- key help and about box ---

TEST_F(Windows, KeyHelpLinesAndEsc)
{
    Heli help;
    help.show();
    EXPECT_EQ(help.windowTitle(), " Aiuto ");
    EXPECT_EQ(help.righe[0]->text(), "TASTO (ESC) : Permette l'uscita da ogni  pagina di programma");
    EXPECT_EQ(help.righe[0]->objectName(), "Etichetta1");
    EXPECT_EQ(help.righe[1]->objectName(), "Etichetta4");
    EXPECT_EQ(help.righe[11]->text(), "TASTO (GIU) : Permette lo  scorrimento verso il basso  lungo ");
    EXPECT_EQ(help.righe[12]->text(), "              gli elenchi.");
    EXPECT_EQ(help.righe[12]->objectName(), "Etichetta17");
    EXPECT_EQ(help.Comando1->text(), " Ok ");
    QTest::keyClick(help.Comando1, Qt::Key_Escape);
    EXPECT_FALSE(help.isVisible());

    Heli again;
    again.show();
    again.Comando1->click();
    EXPECT_FALSE(again.isVisible());
}

TEST_F(Windows, AboutBoxClosesOnOk)
{
    iNFO info;
    info.show();
    EXPECT_EQ(info.windowTitle(), "Informazioni");
    EXPECT_EQ(info.Label1->text(), "DATABASE CLIENTI");
    EXPECT_EQ(info.Label2->text(), "Zorv-900 Access Control");
    info.Command1->click();
    EXPECT_FALSE(info.isVisible());
}

TEST_F(Windows, AboutBoxClosesWhenAnotherWindowBecomesActive)
{
    iNFO info;
    info.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&info));
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(zorv::test::waitUntil([&] { return !info.isVisible(); }, 2000));
}
