#include "record.h"
#include "registryfile.h"

#include "testsupport.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::registry;

namespace {

CustomerInput sample(const QByteArray &name = "rossi mario")
{
    CustomerInput in;
    in.nome = " " + name + "  ";
    in.indirizzo = "via roma 1";
    in.accessi = "10";
    in.numeroCarta = "12 34 ab";
    in.prov = "rm";
    in.ordini = {"1", "2", "", "", "", "x"};
    in.fatturato = {"a", "", "", "", "", "9"};
    in.relay = "2";
    in.citta = "roma";
    return in;
}

} // namespace

TEST(Record, ComposeAppliesTheWritingRules)
{
    const Record r = Record::compose(sample());
    ASSERT_EQ(r.bytes().size(), kRecordSize);
    EXPECT_EQ(r.raw(fields::Nome), QByteArray("ROSSI MARIO") + QByteArray(29, ' '));
    EXPECT_EQ(r.raw(fields::Riservato), QByteArray(15, '\0'));
    EXPECT_EQ(r.raw(fields::NumeroCarta), QByteArray("1234AB") + QByteArray(9, ' '));
    EXPECT_EQ(r.raw({fields::Prov.offset, 14}), QByteArray("RM1 2       X "));
    EXPECT_EQ(r.raw({fields::Separatore.offset, 14}), QByteArray("<>A         9 "));
    EXPECT_EQ(r.raw(fields::Relay), QByteArray("2   "));
    EXPECT_EQ(r.relay(), QByteArray("2"));
    EXPECT_EQ(r.citta(), QByteArray("ROMA") + QByteArray(20, ' '));
    EXPECT_EQ(r.bytes().right(24), r.raw(fields::Citta));
    EXPECT_FALSE(r.isDeleted());
    EXPECT_TRUE(Record::deleted().isDeleted());
    EXPECT_EQ(numCliente(42), QStringLiteral("0042"));
}

TEST(Record, CreditIsACountOrAStrictPassDate)
{
    struct Case {
        const char *typed;
        bool accepted;
    };
    const Case cases[] = {
        {"25", true},           {"", true},              {"0", true},            {" D1-1-2015", true}, // not a pass
        {"D31-12-2015", true},  {"d31-12-2015", true},   {"D29-02-2024", true},  {"D01-01-0001", true},
        {"D", false},           {"d", false},            {"D31/12/2015", false}, {"D31.12.2015", false},
        {"D1-1-2015", false},   {"D1-01-2015", false},   {"D32-13-2015", false}, {"D29-02-2023", false},
        {"D31-04-2020", false}, {"D00-01-2020", false},  {"D01-00-2020", false}, {"D01-01-0000", false},
        {"D-1-01-2020", false}, {"D1-01-20201", false},  {"D31-12-201-", false}, {"DD1-12-2015", false},
        {"D31-12-2015 ", false}, {"D 31-12-2015", false}, {"D31-12-2015\n", false}, {"D2015-12-31", false},
        {"D\u0663\u0661-12-2015", false}, // digits of another script
    };
    for (const Case &c : cases)
        EXPECT_EQ(creditAccepted(QString::fromUtf8(c.typed)), c.accepted) << c.typed;
}

TEST(RegistryFile, MissingFileCountsZeroAndFirstCustomerIsOne)
{
    test::TempFolder dir;
    RegistryFile file(dir.file("CLIENTI.DAT"));
    EXPECT_EQ(file.count(), 0);
    EXPECT_EQ(file.nextNumber(), 1);
    EXPECT_FALSE(file.read(1).has_value());
    EXPECT_TRUE(file.write(1, Record::compose(sample())).isEmpty());
    EXPECT_EQ(QFile(file.path()).size(), kRecordSize);
    EXPECT_EQ(file.read(1)->raw(fields::Nome).trimmed(), QByteArray("ROSSI MARIO"));
}

TEST(RegistryFile, DeletedRecordsKeepTheirNumbers)
{
    test::TempFolder dir;
    RegistryFile file(dir.file("CLIENTI.DAT"));
    for (int n = 1; n <= 10; ++n)
        ASSERT_TRUE(file.write(n, Record::compose(sample("cliente " + QByteArray::number(n)))).isEmpty());
    ASSERT_TRUE(file.write(4, Record::deleted()).isEmpty());
    EXPECT_EQ(file.count(), 10);
    EXPECT_EQ(file.nextNumber(), 11);
    QList<int> live;
    EXPECT_TRUE(file.forEachLive([&](int n, const Record &) { live.append(n); return true; }));
    EXPECT_EQ(live, (QList<int>{1, 2, 3, 5, 6, 7, 8, 9, 10}));
}

TEST(RegistryFile, WritesNeverGoBeyondCountPlusOneOrNumber9999)
{
    test::TempFolder dir;
    RegistryFile file(dir.file("CLIENTI.DAT"));
    EXPECT_FALSE(file.write(2, Record()).isEmpty());
    EXPECT_FALSE(file.write(0, Record()).isEmpty());
    EXPECT_FALSE(file.write(10000, Record()).isEmpty());
    EXPECT_EQ(file.count(), 0);
}

TEST(RegistryFile, BrokenTailIsNeverACustomerAndIsOverwrittenByTheNext)
{
    test::TempFolder dir;
    RegistryFile file(dir.file("CLIENTI.DAT"));
    ASSERT_TRUE(file.write(1, Record::compose(sample())).isEmpty());
    const QByteArray first = dir.read("CLIENTI.DAT");
    dir.write("CLIENTI.DAT", first + "BROKEN TAIL");
    EXPECT_EQ(file.count(), 1);
    EXPECT_FALSE(file.read(2).has_value());
    EXPECT_EQ(file.readAll()->size(), 1);
    ASSERT_TRUE(file.write(2, Record::compose(sample("bianchi"))).isEmpty());
    const QByteArray after = dir.read("CLIENTI.DAT");
    EXPECT_EQ(after.size(), 2 * kRecordSize);
    EXPECT_EQ(after.left(kRecordSize), first);
}

TEST(RegistryFile, WriteFailureIsReported)
{
    test::TempFolder dir;
    RegistryFile file(dir.file("no/such/folder/CLIENTI.DAT"));
    EXPECT_FALSE(file.write(1, Record()).isEmpty());
}
