// Listing a full registry: 9999 live customers read from CLIENTI.DAT on disk into a
// filled, sorted list model. Target: well under 200 ms for either order.
#include "listlines.h"
#include "record.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringListModel>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace zorv::registry;
using namespace zorv::registry::lists;

namespace {

QString writeRegistry(const QTemporaryDir &dir)
{
    static const char *const surnames[] = {"ROSSI", "RUSSO", "FERRARI", "ESPOSITO", "BIANCHI", "ROMANO",
                                           "COLOMBO", "RICCI", "MARINO", "GRECO", "BRUNO", "GALLO"};
    static const char *const names[] = {"MARIO", "LUCA", "GIULIA", "ANNA", "MARCO", "SARA", "PAOLO", "ELENA"};
    QRandomGenerator rng(900);
    QByteArray bytes;
    bytes.reserve(kMaxCustomers * kRecordSize);
    for (int i = 1; i <= kMaxCustomers; ++i) {
        CustomerInput in;
        in.nome = QByteArray(surnames[rng.bounded(12)]) + ' ' + names[rng.bounded(8)] + ' '
                  + QByteArray::number(rng.bounded(1000));
        in.accessi = QByteArray::number(rng.bounded(100));
        in.telefono = "06 " + QByteArray::number(rng.bounded(1000000));
        in.numeroCarta = QByteArray::number(rng.generate(), 16).toUpper();
        in.citta = "ROMA";
        in.relay = "1";
        bytes += Record::compose(in).bytes();
    }
    const QString path = dir.filePath(QStringLiteral("CLIENTI.DAT"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

void listFromDisk(benchmark::State &state, Layout layout)
{
    QTemporaryDir dir;
    const QString path = writeRegistry(dir);
    for (auto _ : state) {
        QStringListModel model;
        const Listing listing = listRegistry(path, layout);
        model.setStringList(listing.lines);
        if (model.rowCount() != kMaxCustomers || !listing.error.isEmpty())
            state.SkipWithError("listing incomplete");
        benchmark::DoNotOptimize(model.rowCount());
    }
}

} // namespace

BENCHMARK_CAPTURE(listFromDisk, alphabetic, Layout::Elenchi)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(listFromDisk, numeric, Layout::Elenco)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(listFromDisk, quick_alphabetic, Layout::Lista)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(listFromDisk, quick_numeric, Layout::Lista1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
