#include "movfixture.h"

#include "articolo.h"

using namespace zorv;
using namespace zorv::movimenti;
using namespace zorv::movimenti::test;

TEST(RecordArticolo, FieldsLieAtTheirPlaces)
{
    struct Case {
        RecordArticolo::Field field;
        int firstByte; // 1-based
        int length;
    };
    const Case cases[] = {
        {RecordArticolo::DataArticolo, 1, 10}, {RecordArticolo::Barcode, 11, 20},  {RecordArticolo::Descrizione, 31, 50},
        {RecordArticolo::Giacenza, 81, 10},    {RecordArticolo::Campo5, 91, 8},    {RecordArticolo::Campo9, 159, 3},
        {RecordArticolo::Prezzo1, 162, 10},    {RecordArticolo::Prezzo2, 175, 10}, {RecordArticolo::Prezzo3, 188, 10},
        {RecordArticolo::Campo15, 198, 1},     {RecordArticolo::Campo16, 199, 1},  {RecordArticolo::Campo17, 200, 300},
        {RecordArticolo::Progressivo, 500, 10}, {RecordArticolo::Campo20, 520, 100}, {RecordArticolo::Campo21, 620, 20},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(RecordArticolo::start(c.field), c.firstByte - 1) << c.field;
        EXPECT_EQ(RecordArticolo::length(c.field), c.length) << c.field;
    }
}

TEST(RecordArticolo, SettingAFieldChangesOnlyItsBytes)
{
    RecordArticolo r = article("ABC", "10");
    const QByteArray before = r.bytes();
    r.setNumber(RecordArticolo::Giacenza, 0.5);
    EXPECT_EQ(r.field(RecordArticolo::Giacenza), QByteArrayView(".5        "));
    r.setField(RecordArticolo::Barcode, "123456789012345678901234");
    EXPECT_EQ(r.field(RecordArticolo::Barcode), QByteArrayView("12345678901234567890"));
    QByteArray expected = before;
    expected.replace(80, 10, ".5        ");
    expected.replace(10, 20, "12345678901234567890");
    EXPECT_EQ(r.bytes(), expected);
    EXPECT_EQ(r.bytes().size(), 639);
}

TEST(RecordArticolo, NumbersAreWrittenAsTheirShortestText)
{
    struct Case {
        double value;
        const char *field; // the 10 bytes of Giacenza
    };
    const Case cases[] = {
        {13, "13        "},         {0.5, ".5        "},        {-0.5, "-.5       "},
        {2.25, "2.25      "},       {0.1 + 0.2, ".3        "}, {-10, "-10       "},
        {0, "0         "},          {1234567890, "1234567890"}, {12345678.25, "12345678.2"},
    };
    for (const Case &c : cases) {
        RecordArticolo r = article("A", "999999");
        const QByteArray before = r.bytes();
        r.setNumber(RecordArticolo::Giacenza, c.value);
        EXPECT_EQ(r.field(RecordArticolo::Giacenza), QByteArrayView(c.field)) << c.value;
        QByteArray expected = before;
        expected.replace(80, 10, c.field);
        EXPECT_EQ(r.bytes(), expected) << "only the field changes";
    }
}

TEST(RecordArticolo, NumbersReadTheirLeadingNumber)
{
    RecordArticolo r;
    EXPECT_EQ(r.number(RecordArticolo::Giacenza), 0);
    r.setField(RecordArticolo::Giacenza, " 12pezzi");
    EXPECT_EQ(r.number(RecordArticolo::Giacenza), 12);
    r.setField(RecordArticolo::Giacenza, "-1 0.5");
    EXPECT_EQ(r.number(RecordArticolo::Giacenza), -10.5);
}

TEST(ArticleFile, CountsWholeRecordsAndCreatesAMissingFile)
{
    zorv::test::TempFolder folder;
    {
        ArticleFile f(folder.file(QStringLiteral("ART.MAG")));
        ASSERT_TRUE(f.open().isEmpty());
        EXPECT_EQ(f.count(), 0);
    }
    EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("ART.MAG"))));
    folder.write(QStringLiteral("ART.MAG"), artMag({article("A", "1"), article("B", "2")}) + "partial");
    ArticleFile f(folder.file(QStringLiteral("ART.MAG")));
    ASSERT_TRUE(f.open().isEmpty());
    EXPECT_EQ(f.count(), 2);
    ASSERT_TRUE(f.read(2).has_value());
    EXPECT_EQ(f.read(2)->trimmed(RecordArticolo::Barcode), QByteArray("B"));
    EXPECT_FALSE(f.read(3).has_value());
    EXPECT_FALSE(f.write(5, article("C", "3")).isEmpty()) << "no record past the end";
}

TEST(ArticleFile, AppendOnAFullDiskSaysSoAndLeavesNoHalfRecord)
{
    const QByteArray six = artMag({article("A", "1"), article("B", "2"), article("C", "3"), article("D", "4"),
                                   article("E", "5"), article("F", "6")});
    {
        // The stand-in: the file may not grow past its six records and a little.
        zorv::test::TempFolder folder;
        folder.write(QStringLiteral("ART.MAG"), six);
        ArticleFile f(folder.file(QStringLiteral("ART.MAG")));
        ASSERT_TRUE(f.open().isEmpty());
        const zorv::test::FileSizeLimit full(six.size() + 100);
        EXPECT_EQ(f.write(7, article("G", "7")).toStdString(), "File too large");
        f.close();
        EXPECT_EQ(folder.read(QStringLiteral("ART.MAG")), six);
    }
    zorv::test::SmallDisk disk;
    ZORV_NEED_SMALL_DISK(disk);
    // Six records end 262 bytes short of a block: the seventh only partly fits.
    ArticleFile f(disk.file(QStringLiteral("ART.MAG")));
    ASSERT_TRUE(f.open().isEmpty());
    for (int n = 1; n <= 6; ++n)
        ASSERT_TRUE(f.write(n, RecordArticolo(six.mid((n - 1) * RecordArticolo::Size, RecordArticolo::Size))).isEmpty());
    disk.fill();
    EXPECT_EQ(f.write(7, article("G", "7")).toStdString(), "No space left on device");
    EXPECT_EQ(f.count(), 6);
    f.close();
    QFile after(disk.file(QStringLiteral("ART.MAG")));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), six);
}

TEST(ArticleFile, NamesAreFoundWithCaseIgnored)
{
    zorv::test::TempFolder folder;
    const QString dir = folder.path() + u'/';
    EXPECT_EQ(findFile(dir, QStringLiteral("ART.MAG")), dir + QStringLiteral("ART.MAG"));
    folder.write(QStringLiteral("art.mag"), "x");
    EXPECT_EQ(findFile(dir, QStringLiteral("ART.MAG")), dir + QStringLiteral("art.mag"));
    EXPECT_EQ(findFile(dir, QStringLiteral("art.mag")), dir + QStringLiteral("art.mag"));
}
