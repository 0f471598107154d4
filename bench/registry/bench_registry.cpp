// CLIENTI.DAT at its largest (9999 customers): count, read by number, the whole read and
// the duplicate-name scan of a new customer (which must stay well under 10 ms).
#include "namesearch.h"
#include "record.h"
#include "registryfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace zorv::registry;

namespace {

struct FullRegistry {
    QTemporaryDir dir;
    QString path;

    FullRegistry()
    {
        path = dir.filePath(QStringLiteral("CLIENTI.DAT"));
        QByteArray data;
        data.reserve(qsizetype(kMaxCustomers) * kRecordSize);
        for (int n = 1; n <= kMaxCustomers; ++n) {
            if (n % 50 == 0) {
                data += Record::deleted().bytes();
                continue;
            }
            CustomerInput in;
            in.nome = "CLIENTE NUMERO " + QByteArray::number(n);
            in.indirizzo = "VIA ROMA " + QByteArray::number(n);
            in.citta = "ROMA";
            in.accessi = "10";
            in.numeroCarta = QByteArray::number(100000000 + n);
            in.relay = "1";
            data += Record::compose(in).bytes();
        }
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
            std::abort();
    }
};

FullRegistry &registry()
{
    static FullRegistry r;
    return r;
}

void BM_Count(benchmark::State &state)
{
    const RegistryFile file(registry().path);
    for (auto _ : state)
        benchmark::DoNotOptimize(file.count());
}
BENCHMARK(BM_Count);

void BM_ReadOne(benchmark::State &state)
{
    const RegistryFile file(registry().path);
    int n = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(file.read(n));
        n = n % kMaxCustomers + 97; // spread over the file
        if (n > kMaxCustomers)
            n -= kMaxCustomers;
    }
}
BENCHMARK(BM_ReadOne);

void BM_ReadAll(benchmark::State &state)
{
    const RegistryFile file(registry().path);
    for (auto _ : state)
        benchmark::DoNotOptimize(file.readAll());
}
BENCHMARK(BM_ReadAll)->Unit(benchmark::kMillisecond);

// A name that is not on file: every record is looked at.
void BM_DuplicateNameScan(benchmark::State &state)
{
    const RegistryFile file(registry().path);
    for (auto _ : state) {
        const auto found = findByName(file, QByteArrayView("ROSSI MARIO"));
        if (!found || *found != 0)
            state.SkipWithError("unexpected match");
    }
}
BENCHMARK(BM_DuplicateNameScan)->Unit(benchmark::kMillisecond);

// The name of the last customer: found at the very end.
void BM_DuplicateNameScanLast(benchmark::State &state)
{
    const RegistryFile file(registry().path);
    for (auto _ : state) {
        const auto found = findByName(file, QByteArrayView("CLIENTE NUMERO 9999"));
        if (!found || *found != kMaxCustomers)
            state.SkipWithError("last customer not found");
    }
}
BENCHMARK(BM_DuplicateNameScanLast)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
