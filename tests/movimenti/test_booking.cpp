#include "movfixture.h"

#include "program.h"

using namespace zorv;
using namespace zorv::movimenti;
using namespace zorv::movimenti::test;

namespace {

class Booking_ : public MovFixture {
protected:
    void SetUp() override
    {
        folder.write(QStringLiteral("mov.txt"), "");
        m = std::make_unique<Movimenti>(percorso());
        m->formLoad();
        m->loader().runToEnd();
    }
    void writeArticles(const QList<RecordArticolo> &records) { folder.write(QStringLiteral("ART.MAG"), artMag(records)); }
    Booking book(const QByteArray &code, const QByteArray &quantity, bool check1 = false, bool check2 = false)
    {
        return m->registraarticolo(entry(code, quantity, check1, check2));
    }
    QList<QByteArray> row(int r) const
    {
        QList<QByteArray> out;
        for (int c = 0; c < 8; ++c)
            out.append(m->grid().textCopy(r, c));
        return out;
    }
    std::unique_ptr<Movimenti> m;
};

// An ART.MAG whose record writes fail, as on a full or locked disk.
class FailingWrites : public ArticleFile {
public:
    using ArticleFile::ArticleFile;
    QString write(qint64, const RecordArticolo &) override { return QStringLiteral("Disco pieno"); }
};

} // namespace

TEST_F(Booking_, KnownCodeRaisesTheStockAndAddsItsRow)
{
    const RecordArticolo first = article("111", "0");
    const RecordArticolo vite = article("8001234567890", "10");
    writeArticles({first, vite});
    const Booking b = book("8001234567890", "3");
    EXPECT_EQ(b.outcome, Booking::Booked);
    EXPECT_TRUE(b.rowAdded);
    EXPECT_TRUE(boxes.shown.isEmpty());

    QByteArray expected = vite.bytes();
    expected.replace(80, 10, "13        ");
    expected.replace(499, 10, "103       ");
    EXPECT_EQ(record(QStringLiteral("ART.MAG"), 2), expected);
    EXPECT_EQ(record(QStringLiteral("ART.MAG"), 1), first.bytes());
    EXPECT_EQ(folder.read(QStringLiteral("ART.MAG")).size(), 2 * 639);

    EXPECT_EQ(row(1), (QList<QByteArray>{"000002", "8001234567890", "VITE", "3", "13", "3.5", "0", "12"}));
    EXPECT_EQ(m->grid().colours(1, 5), (CellColours{colour::Navy, colour::LightCyan}));
    EXPECT_EQ(m->grid().colours(1, 4), CellColours{});
    EXPECT_EQ(m->righe(), QStringLiteral("1"));
    EXPECT_EQ(m->grid().currentRow(), 1);
    EXPECT_EQ(m->grid().currentCol(), 0);
    EXPECT_EQ(m->grid().selectionColEnd(), 7);

    const Booking again = book("8001234567890", "2");
    EXPECT_EQ(again.outcome, Booking::Booked);
    EXPECT_FALSE(again.rowAdded);
    EXPECT_EQ(m->grid().rowCount(), 2);
    EXPECT_EQ(row(1)[3], QByteArray(" 5"));
    EXPECT_EQ(row(1)[4], QByteArray("15"));
    EXPECT_EQ(m->grid().colours(1, 4), (CellColours{colour::Navy, colour::LightCyan}));
    expected.replace(80, 10, "15        ");
    expected.replace(499, 10, "105       ");
    EXPECT_EQ(record(QStringLiteral("ART.MAG"), 2), expected);
}

TEST_F(Booking_, HalvesAreWrittenWithoutLeadingZero)
{
    writeArticles({article("A1", "-1", "X", "", "")});
    ASSERT_EQ(book("A1", "1.5", true).outcome, Booking::Booked);
    EXPECT_EQ(record(QStringLiteral("ART.MAG"), 1).mid(80, 10), QByteArray(".5        "));
    EXPECT_EQ(record(QStringLiteral("ART.MAG"), 1).mid(499, 10), QByteArray("1.5       "));
    EXPECT_EQ(row(1)[4], QByteArray(".5"));
    EXPECT_EQ(row(1)[5], QByteArray("0")) << "a blank price shows 0";
    ASSERT_EQ(book("A1", "1", true).outcome, Booking::Booked);
    EXPECT_EQ(row(1)[3], QByteArray(" 2.5"));
}

TEST_F(Booking_, QuantityAboveTheStockAsksFirst)
{
    writeArticles({article("A1", "2")});
    const QByteArray before = folder.read(QStringLiteral("ART.MAG"));
    boxes.answerNext(answer::No);
    EXPECT_EQ(book("A1", "5").outcome, Booking::Discarded);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Quantita maggiore di quella presente\r\nin magazzino ! Vuoi forzare ?"));
    EXPECT_EQ(boxes.last().style, 276);
    EXPECT_EQ(boxes.last().title, QStringLiteral("INVENTARIO"));
    EXPECT_EQ(boxes.beeps, 1);
    EXPECT_EQ(folder.read(QStringLiteral("ART.MAG")), before);
    EXPECT_EQ(m->grid().rowCount(), 1);

    boxes.answerNext(answer::Yes);
    EXPECT_EQ(book("A1", "5").outcome, Booking::Booked);
    EXPECT_EQ(record(QStringLiteral("ART.MAG"), 1).mid(80, 10), QByteArray("7         "));
    EXPECT_EQ(row(1)[4], QByteArray("7"));
}

TEST_F(Booking_, TickedOptionAsksNothingAboutTheStock)
{
    writeArticles({article("A1", "2")});
    EXPECT_EQ(book("A1", "5", true).outcome, Booking::Booked);
    EXPECT_TRUE(boxes.shown.isEmpty());
    book("A1", "2"); // equal to the stock: no question either
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(Booking_, NegativeStockStaysRed)
{
    writeArticles({article("A1", "-10")});
    boxes.answerNext(answer::Yes);
    ASSERT_EQ(book("A1", "3").outcome, Booking::Booked);
    EXPECT_EQ(boxes.shown.size(), 1) << "any positive quantity exceeds a negative stock";
    EXPECT_EQ(row(1)[4], QByteArray("-7"));
    EXPECT_EQ(m->grid().colours(1, 4), (CellColours{colour::Red, colour::White}));
    boxes.answerNext(answer::Yes);
    book("A1", "2");
    EXPECT_EQ(row(1)[4], QByteArray("-5"));
    EXPECT_EQ(m->grid().colours(1, 4), (CellColours{colour::Red, colour::White}));
}

TEST_F(Booking_, DuplicateCodesBookAgainstTheFirstRecord)
{
    writeArticles({article("X", "1"), article(" DUP ", "4"), article("DUP", "50")});
    ASSERT_EQ(book("DUP", "1").outcome, Booking::Booked);
    EXPECT_EQ(row(1)[0], QByteArray("000002"));
    EXPECT_EQ(record(QStringLiteral("ART.MAG"), 2).mid(80, 10), QByteArray("5         "));
    EXPECT_EQ(record(QStringLiteral("ART.MAG"), 3).mid(80, 10), QByteArray("50        "));
}

TEST_F(Booking_, UnknownCodeAsksThenSumsOneRowAndLeavesTheFile)
{
    writeArticles({article("A1", "2")});
    const QByteArray before = folder.read(QStringLiteral("ART.MAG"));
    boxes.answerNext(answer::No);
    EXPECT_EQ(book("ZZZ", "1").outcome, Booking::Discarded);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Articolo non Presente vuoi forzare ?"));
    EXPECT_EQ(boxes.last().style, 276);
    EXPECT_EQ(boxes.last().title, QStringLiteral("INVENTARIO"));
    EXPECT_EQ(m->grid().rowCount(), 1);

    EXPECT_EQ(book("ZZZ", "1").outcome, Booking::Booked);
    EXPECT_EQ(row(1), (QList<QByteArray>{"#####", "ZZZ", "Articolo non Presente", "1", "0", "0", "0", "0"}));
    EXPECT_EQ(m->grid().colours(1, 2), (CellColours{colour::Red, colour::White}));
    EXPECT_EQ(m->grid().colours(1, 3), (CellColours{colour::Navy, colour::LightCyan}));
    EXPECT_EQ(book("ZZZ", "2.5").outcome, Booking::Booked);
    EXPECT_EQ(m->grid().rowCount(), 2);
    EXPECT_EQ(row(1)[3], QByteArray(" 3.5"));
    EXPECT_EQ(m->righe(), QStringLiteral("1"));
    EXPECT_EQ(folder.read(QStringLiteral("ART.MAG")), before);
}

TEST_F(Booking_, UnknownCodeWithATrailingBlankAddsARowEachTime)
{
    book("ZZZ ", "1", false, true);
    book("ZZZ ", "1", false, true);
    EXPECT_EQ(m->grid().rowCount(), 3);
    EXPECT_EQ(row(2)[1], QByteArray("ZZZ"));
    EXPECT_EQ(m->righe(), QStringLiteral("2"));
}

TEST_F(Booking_, CodeLongerThanTheFieldIsNeverFound)
{
    writeArticles({article("12345678901234567890", "5")});
    const QByteArray before = folder.read(QStringLiteral("ART.MAG"));
    EXPECT_EQ(book("123456789012345678901", "1", false, true).outcome, Booking::Booked);
    EXPECT_EQ(row(1)[0], QByteArray("#####"));
    EXPECT_EQ(folder.read(QStringLiteral("ART.MAG")), before);
    EXPECT_EQ(book("12345678901234567890", "1").outcome, Booking::Booked);
    EXPECT_EQ(row(2)[0], QByteArray("000001"));
}

TEST_F(Booking_, EmptyCodeDoesNothing)
{
    EXPECT_EQ(book("   ", "3").outcome, Booking::Nothing);
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("ART.MAG"))));
}

TEST_F(Booking_, MissingFileIsCreatedEmpty)
{
    EXPECT_EQ(book("A1", "1", false, true).outcome, Booking::Booked);
    EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("ART.MAG"))));
    EXPECT_EQ(folder.read(QStringLiteral("ART.MAG")).size(), 0);
}

TEST_F(Booking_, LowerCaseFileNameIsTheSameFile)
{
    folder.write(QStringLiteral("art.mag"), artMag({article("A1", "1")}));
    EXPECT_EQ(book("A1", "1").outcome, Booking::Booked);
    EXPECT_EQ(record(QStringLiteral("art.mag"), 1).mid(80, 10), QByteArray("2         "));
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("ART.MAG"))));
}

TEST_F(Booking_, FailedWriteIsShownAndNotBooked)
{
    writeArticles({article("A1", "10")});
    const QByteArray before = folder.read(QStringLiteral("ART.MAG"));
    m->setArticleFiles([](const QString &path) { return std::make_unique<FailingWrites>(path); });
    const Booking b = book("A1", "3");
    EXPECT_EQ(b.outcome, Booking::Failed);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("ERRORE"));
    EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("Disco pieno")));
    EXPECT_EQ(m->grid().rowCount(), 1);
    EXPECT_EQ(m->righe(), QStringLiteral("0"));
    EXPECT_EQ(folder.read(QStringLiteral("ART.MAG")), before);

    // A row booked before keeps its old quantity when the next write fails.
    m->setArticleFiles(realArticleFiles());
    ASSERT_EQ(book("A1", "3").outcome, Booking::Booked);
    m->setArticleFiles([](const QString &path) { return std::make_unique<FailingWrites>(path); });
    EXPECT_EQ(book("A1", "4").outcome, Booking::Failed);
    EXPECT_EQ(row(1)[3], QByteArray("3"));
    EXPECT_EQ(row(1)[4], QByteArray("13"));
}

TEST_F(Booking_, MovementRowWithTheCodeIsTakenAsItsRow)
{
    folder.write(QStringLiteral("mov.txt"), movLine("0012", "ROSSI", "C", "1", "Autorizzato"));
    m->tuttiIMovimenti();
    m->loader().runToEnd();
    writeArticles({article("0012", "1")});
    ASSERT_EQ(book("0012", "2", true).outcome, Booking::Booked);
    EXPECT_EQ(m->grid().rowCount(), 2);
    EXPECT_EQ(row(1)[3], QByteArray(" 2")) << "the card code reads as 0";
    EXPECT_EQ(row(1)[4], QByteArray("3"));
}
