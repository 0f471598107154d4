#include "items.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace zorv;

TEST(Items, ReaderSplitsAtCommasAndLineEnds)
{
    struct Case { QByteArray data; QList<QByteArray> items; };
    const Case cases[] = {
        {"", {}},
        {"/srv/dati\r\n", {"/srv/dati"}},
        {"\"a, b\",  12 ,x\r\n\"c\"", {"a, b", "12", "x", "c"}},
        {"1,\"2\"\n3\r4", {"1", "2", "3", "4"}},
        {"\"unterminated", {"unterminated"}},
        {"\"q\" junk,next", {"q", "next"}},
        {"a,\r\nb", {"a", "b"}},
        {",", {""}},
        {"\"\"\r\n", {""}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(items::readAll(c.data), c.items) << c.data.constData();
}

TEST(Items, RecordThatRunsShortContinuesOnTheNextLine)
{
    items::Reader reader("\"0001\",\"ROSSI\"\r\n\"CARD\"\r\n");
    EXPECT_EQ(reader.next(), QByteArray("0001"));
    EXPECT_EQ(reader.next(), QByteArray("ROSSI"));
    EXPECT_EQ(reader.line(), 2);
    EXPECT_EQ(reader.next(), QByteArray("CARD"));
    EXPECT_TRUE(reader.atEnd());
    EXPECT_FALSE(reader.next().has_value());
}

TEST(Items, WriterQuotesTextAndKeepsLinesReadable)
{
    items::Writer w;
    w.text(QByteArrayView("0001")).text(QByteArrayView("O\"BRIEN\r\nX")).number(2.5).number(3).endLine();
    EXPECT_EQ(w.data(), QByteArray("\"0001\",\"O'BRIEN  X\",2.5,3\r\n"));
    EXPECT_EQ(items::readAll(w.data()), (QList<QByteArray>{"0001", "O'BRIEN  X", "2.5", "3"}));
}

TEST(Items, AtomicWriteKeepsTheOldFileOnFailure)
{
    test::TempFolder dir;
    dir.write("a.txt", "old");
    EXPECT_TRUE(items::writeFileAtomically(dir.file("a.txt"), "new").isEmpty());
    EXPECT_EQ(dir.read("a.txt"), QByteArray("new"));
    EXPECT_FALSE(items::writeFileAtomically(dir.file("missing/a.txt"), "x").isEmpty());
}

TEST(Items, AppendAddsWholeLines)
{
    test::TempFolder dir;
    EXPECT_TRUE(items::appendToFile(dir.file("mov.txt"), "a\r\n").isEmpty());
    EXPECT_TRUE(items::appendToFile(dir.file("mov.txt"), "b\r\n").isEmpty());
    EXPECT_EQ(dir.read("mov.txt"), QByteArray("a\r\nb\r\n"));
    EXPECT_FALSE(items::appendToFile(dir.file("no/such/mov.txt"), "a").isEmpty());
}

TEST(Items, AppendOnAFullDiskLeavesNoPartialLine)
{
    test::TempFolder dir;
    ASSERT_TRUE(items::appendToFile(dir.file("mov.txt"), "first\r\n").isEmpty());
    QString error;
    {
        // The second line only half fits, as on a full disk.
        const test::FileSizeLimit full(10);
        error = items::appendToFile(dir.file("mov.txt"), "second\r\n");
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(dir.read("mov.txt"), QByteArray("first\r\n"));
}

TEST(Items, AtomicWriteOnAFullDiskKeepsTheEarlierFileAndSaysWhy)
{
    // The stand-in: the new file may not grow past 10 bytes.
    {
        test::TempFolder dir;
        dir.write("plovek.ini", "1\r\n0,0\r\n");
        QString error;
        {
            const test::FileSizeLimit full(10);
            error = items::writeFileAtomically(dir.file("plovek.ini"), QByteArray(100, '1'));
        }
        EXPECT_EQ(error.toStdString(), "File too large");
        EXPECT_EQ(dir.read("plovek.ini"), QByteArray("1\r\n0,0\r\n"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"plovek.ini"});
    }
    // A real full disk, and a file small enough to sit in a write buffer.
    test::SmallDisk disk;
    ZORV_NEED_SMALL_DISK(disk);
    {
        QFile earlier(disk.file("anag.txt"));
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("Codice|Nome\r\n0001|ROSSI\r\n");
    }
    disk.fill();
    EXPECT_EQ(items::writeFileAtomically(disk.file("anag.txt"), "Codice|Nome\r\n0001|VERDI\r\n").toStdString(),
              "No space left on device");
    QFile after(disk.file("anag.txt"));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), QByteArray("Codice|Nome\r\n0001|ROSSI\r\n"));
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files), (QStringList{"anag.txt", "riempitivo"}));
}

TEST(Items, AppendOnARealFullDiskSaysSoAndLeavesTheFileAsItWas)
{
    test::SmallDisk disk;
    ZORV_NEED_SMALL_DISK(disk);
    // Whole lines up to a block's end: the next line needs a block the disk has not got.
    QByteArray lines;
    while (lines.size() < 4096)
        lines += "riga\r\n\r\n";
    ASSERT_TRUE(items::appendToFile(disk.file("mov.txt"), lines).isEmpty());
    disk.fill();
    EXPECT_EQ(items::appendToFile(disk.file("mov.txt"), "\"0001\",\"ROSSI\"\r\n").toStdString(),
              "No space left on device");
    QFile after(disk.file("mov.txt"));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), lines);
}
