// The one main of the benchmarks: those that open windows get an offscreen QApplication,
// the others a QCoreApplication, so timers and signals work in both; all run on the
// system clock, as the programs do.
#include "clock.h"
#include "service.h"

#include <QCoreApplication>
#ifdef ZORV_BENCH_WIDGETS
#include <QApplication>
#endif

#include <benchmark/benchmark.h>

int main(int argc, char **argv)
{
#ifdef ZORV_BENCH_WIDGETS
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    zorv::SystemClock clock;
    const zorv::ScopedService<zorv::Clock> clockInstalled(&clock);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
