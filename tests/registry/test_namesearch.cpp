#include "namesearch.h"
#include "record.h"
#include "registryfile.h"

#include "testsupport.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::registry;

namespace {

Record named(const QByteArray &nome)
{
    CustomerInput in;
    in.nome = nome;
    in.citta = "ROMA";
    return Record::compose(in);
}

QByteArray file(std::initializer_list<Record> records)
{
    QByteArray out;
    for (const Record &r : records)
        out += r.bytes();
    return out;
}

} // namespace

TEST(NameSearch, FirstLiveRecordWithTheSameTrimmedName)
{
    const QByteArray data =
        file({named("ROSSI"), Record::deleted(), named("ROSSI MARIO"), named("ROSSI MARIO"), named("BIANCHI")});
    EXPECT_EQ(findByName(data, "ROSSI MARIO"), 3);
    EXPECT_EQ(findByName(data, "  ROSSI MARIO  "), 3);
    EXPECT_EQ(findByName(data, "ROSSI"), 1);
    EXPECT_EQ(findByName(data, "ROSSI M"), 0);   // no prefix match
    EXPECT_EQ(findByName(data, "rossi mario"), 0); // the caller upper-cases
    EXPECT_EQ(findByName(data, QByteArray(40, '*')), 0); // a deleted record never matches
    EXPECT_EQ(findByName(QByteArrayView(), "ROSSI"), 0);
}

TEST(NameSearch, BrokenTailIsNeverAName)
{
    const QByteArray data = file({named("ROSSI")}) + "BIANCHI";
    EXPECT_EQ(findByName(data, "BIANCHI"), 0);
}

TEST(NameSearch, ReadsTheFileOnceAndCopesWithAMissingOne)
{
    test::TempFolder dir;
    const RegistryFile registry(dir.file("CLIENTI.DAT"));
    EXPECT_EQ(findByName(registry, "ROSSI"), 0);
    EXPECT_FALSE(QFile::exists(registry.path())); // the search creates nothing
    dir.write("CLIENTI.DAT", file({named("VERDI"), named("ROSSI")}));
    EXPECT_EQ(findByName(registry, "ROSSI"), 2);

    QString error;
    EXPECT_FALSE(findByName(RegistryFile(dir.path()), "ROSSI", &error).has_value()); // a folder, not a file
    EXPECT_FALSE(error.isEmpty());
}

TEST(RegistryFile, OpenCreatesAMissingFileAndReportsAMissingFolder)
{
    test::TempFolder dir;
    const RegistryFile registry(dir.file("CLIENTI.DAT"));
    EXPECT_TRUE(registry.open().isEmpty());
    EXPECT_TRUE(QFile::exists(registry.path()));
    EXPECT_EQ(registry.count(), 0);
    EXPECT_FALSE(RegistryFile(dir.file("manca/CLIENTI.DAT")).open().isEmpty());
}

TEST(RegistryFile, ReadOutOfRangeIsNotAnError)
{
    test::TempFolder dir;
    dir.write("CLIENTI.DAT", file({named("ROSSI")}));
    const RegistryFile registry(dir.file("CLIENTI.DAT"));
    QString error;
    EXPECT_FALSE(registry.read(2, &error).has_value());
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(registry.read(0, &error).has_value());
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(registry.read(1, &error)->trimmed(fields::Nome), QByteArray("ROSSI"));
}
