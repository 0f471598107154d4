#include "record.h"
#include "registryfile.h"

#include "testsupport.h"

#include <sys/resource.h>
#include <csignal>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::registry;

namespace {

// Files may not grow past `bytes` while it lives, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

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
        const FileSizeLimit full(3 * kRecordSize + 100);
        EXPECT_FALSE(registry.write(4, named("QUARTO")).isEmpty());
    }
    EXPECT_EQ(dir.read("CLIENTI.DAT"), before);
    EXPECT_EQ(registry.count(), 3);
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
