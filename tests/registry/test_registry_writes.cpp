#include "record.h"
#include "registryfile.h"

#include "testsupport.h"


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

} // namespace

TEST(RegistryFile, AppendOnAFullDiskLeavesTheFileAsItWas)
{
    test::TempFolder dir;
    const RegistryFile registry(dir.file("CLIENTI.DAT"));
    for (int n = 1; n <= 3; ++n)
        ASSERT_TRUE(registry.write(n, named("CLIENTE " + QByteArray::number(n))).isEmpty());
    const QByteArray before = dir.read("CLIENTI.DAT");
    {
        const test::FileSizeLimit full(3 * kRecordSize + 100);
        EXPECT_FALSE(registry.write(4, named("QUARTO")).isEmpty());
    }
    EXPECT_EQ(dir.read("CLIENTI.DAT"), before);
    EXPECT_EQ(registry.count(), 3);
}

TEST(RegistryFile, AppendOnARealFullDiskSaysSoAndLeavesNoHalfRecord)
{
    test::SmallDisk disk;
    ZORV_NEED_SMALL_DISK(disk);
    const RegistryFile registry(disk.file("CLIENTI.DAT"));
    // Sixteen records end 160 bytes short of a block: the seventeenth only partly fits.
    for (int n = 1; n <= 16; ++n)
        ASSERT_TRUE(registry.write(n, named("CLIENTE " + QByteArray::number(n))).isEmpty());
    const QByteArray before = *registry.readBytes();
    disk.fill();
    EXPECT_EQ(registry.write(17, named("DICIASSETTE")).toStdString(), "No space left on device");
    EXPECT_EQ(*registry.readBytes(), before);
    EXPECT_EQ(registry.count(), 16);
}

TEST(RegistryFile, RewriteOfALiveRecordTouchesNoOther)
{
    test::TempFolder dir;
    const RegistryFile registry(dir.file("CLIENTI.DAT"));
    for (int n = 1; n <= 3; ++n)
        ASSERT_TRUE(registry.write(n, named("CLIENTE " + QByteArray::number(n))).isEmpty());
    const QByteArray before = dir.read("CLIENTI.DAT");
    ASSERT_TRUE(registry.write(2, named("SECONDO")).isEmpty());
    const QByteArray after = dir.read("CLIENTI.DAT");
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.left(kRecordSize), before.left(kRecordSize));
    EXPECT_EQ(after.mid(kRecordSize, kRecordSize), named("SECONDO").bytes());
    EXPECT_EQ(after.mid(2 * kRecordSize), before.mid(2 * kRecordSize));
}
