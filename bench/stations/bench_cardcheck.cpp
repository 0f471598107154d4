// The card check on a full registry (9999 customers) whose match is the last record:
// one read of the file, the scan, the rewrite of the record and the movement line.
#include "cardcheck.h"
#include "record.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace zorv;
using namespace zorv::stations;

namespace {

registry::Record customer(const QByteArray &card, const QByteArray &credit)
{
    registry::CustomerInput in;
    in.nome = "CLIENTE DI PROVA";
    in.indirizzo = "VIA ROMA 1";
    in.accessi = credit;
    in.numeroCarta = card;
    in.accessiEffettuati = "0";
    in.relay = "1";
    in.citta = "ROMA";
    return registry::Record::compose(in);
}

void fill(const QString &path, const QByteArray &lastCredit)
{
    QByteArray all;
    for (int i = 1; i < registry::kMaxCustomers; ++i)
        all += customer(QByteArray::number(100000000000LL + i), "10").bytes();
    all += customer("999999999999", lastCredit).bytes();
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(all);
}

void BM_ControllacartaGrantLast(benchmark::State &state)
{
    QTemporaryDir dir;
    fill(dir.filePath(QStringLiteral("CLIENTI.DAT")), "99999999999");
    StatoStazione stato;
    for (auto _ : state) {
        auto r = controllacarta(dir.path(), "999999999999", stato);
        benchmark::DoNotOptimize(r);
        if (stato.CodiceEsito != "A")
            state.SkipWithError("not granted");
    }
}
BENCHMARK(BM_ControllacartaGrantLast)->Unit(benchmark::kMillisecond);

void BM_ControllacartaUnregistered(benchmark::State &state)
{
    QTemporaryDir dir;
    fill(dir.filePath(QStringLiteral("CLIENTI.DAT")), "10");
    StatoStazione stato;
    for (auto _ : state) {
        auto r = controllacarta(dir.path(), "000000000000", stato);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_ControllacartaUnregistered)->Unit(benchmark::kMillisecond);

} // namespace
