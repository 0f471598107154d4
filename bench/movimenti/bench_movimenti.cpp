// A million-line movement log: loading, each sort button, a filter, and the memory used.
#include "fakemessageboxes.h"
#include "gridmodel.h"
#include "gridtable.h"
#include "movementlog.h"
#include "qtprinter.h"
#include "scariman1.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

using namespace zorv;
using namespace zorv::movimenti;

namespace {

constexpr int kLines = 1000000;

QString logPath()
{
    static QTemporaryDir dir;
    static QString path;
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("mov.txt"));
        QByteArray data;
        data.reserve(qsizetype(kLines) * 96);
        QRandomGenerator rng(900);
        static const char *surnames[] = {"ROSSI", "Bianchi", "VERDI", "esposito", "Romano", "COLOMBO", "RICCI",
                                         "Marino", "GRECO", "bruno", "GALLO", "Conti", "DE LUCA", "Mancini"};
        static const char *outcomes[] = {"Autorizzato", "Non autorizzato", "Carta Scaduta", "Esaurito"};
        for (int i = 0; i < kLines; ++i) {
            const bool unknown = rng.bounded(10) == 0;
            const int customer = int(rng.bounded(1, 9999));
            QByteArray number = unknown ? QByteArray("######") : QByteArray::number(customer).rightJustified(4, '0');
            QByteArray name = unknown ? QByteArray("Sconosciuto")
                                      : QByteArray(surnames[rng.bounded(14)]) + " NOME " + QByteArray::number(customer);
            QByteArray card = QByteArray::number(rng.generate64() % 1000000000000ULL).rightJustified(12, '0');
            const char *door = unknown ? "0" : (rng.bounded(2) ? "1" : "2");
            QByteArray date = QByteArray::number(rng.bounded(1, 29)).rightJustified(2, '0') + "/"
                              + QByteArray::number(rng.bounded(1, 13)).rightJustified(2, '0') + "/2026";
            QByteArray time = QByteArray::number(rng.bounded(24)).rightJustified(2, '0') + ":"
                              + QByteArray::number(rng.bounded(60)).rightJustified(2, '0') + ":"
                              + QByteArray::number(rng.bounded(60)).rightJustified(2, '0');
            const char *outcome = unknown ? outcomes[1] : outcomes[rng.bounded(4) == 0 ? 2 + rng.bounded(2) : 0];
            data += '"' + number + "\",\"" + name.leftJustified(28, ' ') + "\",\"" + card + "\",\"" + door + "\",\""
                    + date + "\",\"" + time + "\",\"" + outcome + "\"\r\n";
        }
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
            qFatal("cannot write the benchmark log");
    }
    return path;
}

// Boxes nobody answers.
struct Services {
    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxesInstalled{&boxes};
};

void loadInto(GridTable &table)
{
    LogLoader loader(table);
    table.clear();
    setMovementHeaders(table);
    loader.load(logPath());
    loader.runToEnd();
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void BM_Load(benchmark::State &state)
{
    const Services services;
    logPath();
    for (auto _ : state) {
        GridTable table;
        loadInto(table);
        if (table.rowCount() != kLines + 1)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(table.rowCount());
    }
    state.counters["peak_MB"] = peakMegabytes();
    state.counters["file_MB"] = double(QFile(logPath()).size()) / 1e6;
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same load into the Qt model the view reads.
void BM_LoadIntoModel(benchmark::State &state)
{
    const Services services;
    logPath();
    for (auto _ : state) {
        GridTable table;
        GridModel model(table);
        loadInto(table);
        if (model.rowCount() != kLines)
            state.SkipWithError("wrong model row count");
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_LoadIntoModel)->Unit(benchmark::kMillisecond)->Iterations(2);

// The window's start-up load from the event loop, chunk by chunk, with the grid shown;
// `longest_tick_ms` is the longest the window went without handling its events.
void BM_WindowLoad(benchmark::State &state)
{
    const Services services;
    const QString log = logPath();
    const QString folder = log.left(log.size() - QStringLiteral("mov.txt").size());
    double longest = 0;
    for (auto _ : state) {
        Scariman1 window(folder);
        window.show();
        QElapsedTimer sinceTick;
        sinceTick.start();
        QTimer probe;
        probe.setInterval(0);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            longest = std::max(longest, double(sinceTick.elapsed()));
            sinceTick.restart();
        });
        probe.start();
        QEventLoop loop;
        QObject::connect(&window.program().loader(), &LogLoader::finished, &loop, &QEventLoop::quit);
        if (window.program().loader().isRunning())
            loop.exec();
        if (window.grid().gridModel().rowCount() != kLines)
            state.SkipWithError("wrong window row count");
        state.PauseTiming();
        window.hide();
        state.ResumeTiming();
    }
    state.counters["longest_tick_ms"] = longest;
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_WindowLoad)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_Filter(benchmark::State &state)
{
    const Services services;
    logPath();
    for (auto _ : state) {
        GridTable table;
        LogLoader loader(table);
        loader.filter(logPath(), "Esito", "Autorizzato");
        loader.runToEnd();
        benchmark::DoNotOptimize(table.rowCount());
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_Filter)->Unit(benchmark::kMillisecond)->Iterations(3);

// Each sort button's column and kind, from a table first shuffled by another sort.
void BM_Sort(benchmark::State &state)
{
    const Services services;
    static GridTable table;
    if (table.rowCount() == 1)
        loadInto(table);
    const int col = int(state.range(0));
    const SortKind kind = (col == 0 || col == 4) ? SortKind::Numeric : SortKind::TextNoCase;
    for (auto _ : state) {
        state.PauseTiming();
        table.sort(6, SortKind::TextNoCase);
        state.ResumeTiming();
        table.sort(col, kind);
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_Sort)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(3);

// "Stampa Lista" of the whole table to the text seam, run on its own
// (--benchmark_filter=PrintList) so that `peak_MB` is the loaded window plus the print;
// `loaded_MB` is the peak before the print.
void BM_PrintListToTextSeam(benchmark::State &state)
{
    const Services services;
    const QString log = logPath();
    const QString folder = log.left(log.size() - QStringLiteral("mov.txt").size());
    const QString out = folder + QStringLiteral("stampa.txt");
    qputenv("ZORV900_PRINT_TO", out.toLocal8Bit());
    QtPrinter real;
    const ScopedService<Printer> printerInstalled(&real);
    Scariman1 window(folder);
    QEventLoop loop;
    QObject::connect(&window.program().loader(), &LogLoader::finished, &loop, &QEventLoop::quit);
    if (window.program().loader().isRunning())
        loop.exec();
    state.counters["loaded_MB"] = peakMegabytes();
    auto *print = window.findChild<QPushButton *>(QStringLiteral("Command2"));
    for (auto _ : state)
        print->click();
    state.counters["peak_MB"] = peakMegabytes();
    state.counters["printed_MB"] = double(QFile(out).size()) / 1e6;
    if (QFile(out).size() < qint64(kLines) * 114)
        state.SkipWithError("the printout is short");
    QFile::remove(out);
    qunsetenv("ZORV900_PRINT_TO");
}
BENCHMARK(BM_PrintListToTextSeam)->Unit(benchmark::kMillisecond)->Iterations(1);

// The name sort when a fifth of the names carry accented letters, which go through the
// collator rather than the fast path of plain ASCII names.
void BM_SortAccentedNames(benchmark::State &state)
{
    static GridTable table;
    if (table.rowCount() == 1) {
        static const char *surnames[] = {"ROSSI", "Bianchi", "VERDI", "esposito", "Romano", "COLOMBO", "RICCI",
                                         "Marino", "GRECO", "bruno", "NICOL\xd2", "\xc9RIC", "D'\xc0NGELO",
                                         "Cant\xf9"};
        QRandomGenerator rng(905);
        for (int i = 0; i < kLines; ++i) {
            const int customer = int(rng.bounded(1, 9999));
            const QByteArray number = QByteArray::number(customer).rightJustified(4, '0');
            const QByteArray name = (QByteArray(surnames[rng.bounded(14)]) + " NOME " + QByteArray::number(customer))
                                        .leftJustified(28, ' ');
            table.appendMovement(i + 1, {number, name, "000000000000", "1", "01/01/2026", "10:00:00", "Autorizzato"});
        }
        table.publishAppended();
    }
    for (auto _ : state) {
        state.PauseTiming();
        table.sort(0, SortKind::Numeric);
        state.ResumeTiming();
        table.sort(2, SortKind::TextNoCase);
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_SortAccentedNames)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
