// The console's processor time with its port open on a reader and nothing happening.
// The reader runs as its own process (zorv900-emulator), so only the console is measured:
// user + system time of this process from /proc/self/stat over the idle span.
// ZORV900_IDLE_SECONDS sets the span (10 s by default). The target is under 1% of one core.

#include "emulatorprocess.h"
#include "fakemessageboxes.h"
#include "qtserialport.h"
#include "service.h"
#include "zorv.h"

#include <QCoreApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

// utime + stime of this process in clock ticks.
long long cpuTicks()
{
    QFile f(QStringLiteral("/proc/self/stat"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = f.readAll();
    // The fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    // Fields 14 and 15 of the line are utime and stime: 12 and 13 after the name.
    return fields.value(11).toLongLong() + fields.value(12).toLongLong();
}

void BM_ConsoleIdleWithPortOpen(benchmark::State &state)
{
    QCoreApplication::setApplicationName(QStringLiteral("Zorv900V3"));
    const int seconds = qEnvironmentVariableIsSet("ZORV900_IDLE_SECONDS")
        ? qEnvironmentVariableIntValue("ZORV900_IDLE_SECONDS") : 10;
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    zorv::FakeMessageBoxes boxes;
    zorv::ScopedService<zorv::MessageBoxes> installed(&boxes);
    auto ports = zorv::Maker<zorv::SerialPort>::of<zorv::QtSerialPort>();
    zorv::ScopedService<zorv::Maker<zorv::SerialPort>> portsInstalled(&ports);
    zorv::emulator::EmulatorProcess reader;
    QString error;
    if (!reader.start(home.path(), 1, {}, &error)) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    zorv::console::Zorv window;
    window.show();
    window.Command1_Click();
    if (!window.isConnected()) {
        state.SkipWithError("the console did not connect");
        return;
    }
    const double tick = double(sysconf(_SC_CLK_TCK));
    double percent = 0;
    for (auto _ : state) {
        // Let start-up work settle, then measure.
        QEventLoop settle;
        QTimer::singleShot(500, &settle, &QEventLoop::quit);
        settle.exec();
        const long long before = cpuTicks();
        QEventLoop idle;
        QTimer::singleShot(seconds * 1000, &idle, &QEventLoop::quit);
        idle.exec();
        const long long used = cpuTicks() - before;
        percent = 100.0 * (used / tick) / seconds;
    }
    state.counters["cpu_percent_of_one_core"] = percent;
    state.counters["target_below_percent"] = 1.0;
    if (percent >= 1.0)
        state.SkipWithError("idle console used 1% of a core or more");
}

BENCHMARK(BM_ConsoleIdleWithPortOpen)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
