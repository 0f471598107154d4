#include "filelock.h"

#include "testsupport.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace zorv;

TEST(FileLock, OneHolderAtATimeAndFreeAgainOnceReleased)
{
    test::TempFolder dir;
    const QString path = dir.file("CLIENTI.DAT");
    {
        const FileLock first(path);
        ASSERT_TRUE(first.isLocked()) << first.error().toStdString();
        EXPECT_TRUE(first.error().isEmpty());
        // Another opening of the file (another program, or this one) waits and gives up.
        const FileLock second(path, 50);
        EXPECT_FALSE(second.isLocked());
        EXPECT_EQ(second.error(), QStringLiteral("CLIENTI.DAT e' in uso da un altro programma (oltre 0.05 secondi di attesa)"));
    }
    const FileLock again(path, 50);
    EXPECT_TRUE(again.isLocked());
}

TEST(FileLock, SurvivesOtherDescriptorsOfTheFileBeingClosed)
{
    test::TempFolder dir;
    const QString path = dir.file("ART.MAG");
    const FileLock held(path);
    ASSERT_TRUE(held.isLocked());
    {
        // What every read and write of the record does meanwhile.
        QFile other(path);
        ASSERT_TRUE(other.open(QIODevice::ReadWrite));
        other.write("x");
        other.close();
    }
    EXPECT_FALSE(FileLock(path, 50).isLocked());
}

TEST(FileLock, MissingFileIsCreatedAndAMissingFolderIsAnError)
{
    test::TempFolder dir;
    {
        const FileLock lock(dir.file("CLIENTI.DAT"));
        EXPECT_TRUE(lock.isLocked());
    }
    EXPECT_TRUE(QFile::exists(dir.file("CLIENTI.DAT")));
    EXPECT_EQ(QFile(dir.file("CLIENTI.DAT")).size(), 0);

    const FileLock nowhere(dir.file("manca/CLIENTI.DAT"));
    EXPECT_FALSE(nowhere.isLocked());
    EXPECT_EQ(nowhere.error(), QStringLiteral("No such file or directory"));
}
