// A reader line that sends bytes without a CR (noise, a reader at the wrong speed) and
// then a card: from the card's line entering the pseudo-terminal to its relay frame
// arriving back at the reader. The access-control window itself runs (log box included),
// on the real serial port; the reader is the emulator, fed from a thread of its own. The
// station waits 500 ms on purpose; the target is that plus at most 20 ms, whatever came
// before. Also: memory taken while the noise came in, and the log box's cost per line.
#include "controllowindow.h"
#include "leggitessere.h"
#include "stationport.h"

#include "fakemessageboxes.h"
#include "fakesound.h"
#include "faketrayicon.h"
#include "qtserialport.h"
#include "readeremulator.h"
#include "record.h"
#include "serialport.h"
#include "service.h"
#include "sound.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

using namespace zorv;
using namespace zorv::stations;

namespace {

const QByteArray kCarta = "123456789012";

// What the station window makes here: real serial ports, and no notification area.
struct StationParts {
    Maker<SerialPort> ports = Maker<SerialPort>::of<QtSerialPort>();
    ScopedService<Maker<SerialPort>> portsInstalled{&ports};
    Maker<TrayIcon> icons = noNotificationArea();
    ScopedService<Maker<TrayIcon>> iconsInstalled{&icons};
};


bool waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void BM_CardAfterNoiseToRelayFrame(benchmark::State &state)
{
    const qsizetype noiseBytes = state.range(0);
    QTemporaryDir home, dir;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    FakeSound sound;
    ScopedService<Sound> soundService(&sound);
    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxService(&boxes);
    const StationParts parts;

    registry::CustomerInput in;
    in.nome = "CLIENTE";
    in.accessi = "99999999999";
    in.numeroCarta = kCarta;
    in.relay = "1";
    QFile f(QDir(dir.path()).filePath(QStringLiteral("CLIENTI.DAT")));
    f.open(QIODevice::WriteOnly);
    f.write(registry::Record::compose(in).bytes());
    f.close();
    QFile cfg(QDir(dir.path()).filePath(QStringLiteral("porta.cfg")));
    cfg.open(QIODevice::WriteOnly);
    cfg.write("1,9600\r\n0,30,\"N\"\r\n");
    cfg.close();

    emulator::ReaderEmulator reader;
    reader.start();
    reader.linkComPort(home.path(), 1);
    ControlloWindow window(dir.path());
    if (!window.Form_Load() || !waitFor([&] { return window.port().isOpen(); }, 3000)) {
        state.SkipWithError("the station did not open its port");
        return;
    }
    window.show();

    const QByteArray noise = emulator::noiseWithoutCr(noiseBytes);

    QElapsedTimer since;
    since.start();
    qint64 frameAtNs = -1;
    QObject::connect(&reader, &emulator::ReaderEmulator::frameReceived, &reader, [&](const QByteArray &frame) {
        if (frame.startsWith("C0"))
            frameAtNs = since.nsecsElapsed();
    });
    double worstMs = 0;
    qint64 worstGrowth = 0;
    for (auto _ : state) {
        frameAtNs = -1;
        std::atomic<qint64> lineAtNs {-1};
        const qint64 before = emulator::residentKiB();
        qint64 peak = before;
        QTimer sample;
        QObject::connect(&sample, &QTimer::timeout, [&] { peak = std::max(peak, emulator::residentKiB()); });
        sample.start(5);
        std::thread feeder([&] {
            if (reader.feed(noise, 20000) && reader.feed(kCarta + "\r"))
                lineAtNs = since.nsecsElapsed();
        });
        const bool opened = waitFor([&] { return frameAtNs >= 0; }, 120000);
        feeder.join();
        sample.stop();
        if (!opened || lineAtNs < 0) {
            state.SkipWithError("no relay frame");
            return;
        }
        const double ms = double(frameAtNs - lineAtNs) / 1e6;
        state.SetIterationTime(ms / 1000.0);
        worstMs = std::max(worstMs, ms);
        worstGrowth = std::max(worstGrowth, peak - before);
        // The relay answer and the end of the card before the next round.
        waitFor([&] { return !window.loop()->occupato(); }, 3000);
    }
    state.counters["worst_ms"] = worstMs;
    state.counters["over_500ms_worst"] = worstMs - LeggiTessere::kPausaMs;
    state.counters["rss_growth_KiB_worst"] = double(worstGrowth);
}
BENCHMARK(BM_CardAfterNoiseToRelayFrame)
    ->Arg(64 << 10)->Arg(1 << 20)->Arg(8 << 20)
    ->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// The log box at its fullest with the longest lines the loop lets through, then card
// lines: the time one more line costs.
void BM_LogBoxLineWhenFull(benchmark::State &state)
{
    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxService(&boxes);
    const StationParts parts;
    QTemporaryDir dir;
    ControlloWindow window(dir.path());
    window.show();
    const QByteArray longest = QByteArray(state.range(0), 'x') + '\r';
    for (int i = 0; i < StationWindow::kMaxRighe; ++i)
        window.appendText1(longest);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.appendText1(kCarta + "\r");
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_LogBoxLineWhenFull)->Arg(12)->Arg(255)->Iterations(3000)->Unit(benchmark::kMicrosecond);

} // namespace
