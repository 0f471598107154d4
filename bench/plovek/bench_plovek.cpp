// Typing at delay 0 through the X Test keystrokes into a recording window: the wedge
// must keep up with at least 300 characters a second and lose none. Needs an X server
// (xvfb-run -a bench/bench_plovek).

#include "digitatore.h"
#include "fakeserialport.h"
#include "fakesound.h"
#include "keyrecorder.h"
#include "leggiseriale.h"
#include "service.h"
#include "sound.h"
#include "stationport.h"
#include "x11keystrokes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>

#include <benchmark/benchmark.h>

using namespace zorv;
using namespace zorv::stations;
using namespace zorv::stations::plovek;

namespace {

constexpr double kMinimumRate = 300.0;

// Printable text with shifted and unshifted characters.
QByteArray sampleLine(int n, int seed)
{
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-*/.,;:!?#@_=()";
    QByteArray out;
    for (int i = 0; i < n; ++i)
        out += kChars[(i * 7 + seed * 13) % (sizeof kChars - 1)];
    return out;
}

bool ready(benchmark::State &state, KeyRecorder &recorder, X11Keystrokes &keys)
{
    if (!recorder.isOpen() || !keys.isOpen()) {
        state.SkipWithError("needs an X display (run under xvfb-run -a)");
        return false;
    }
    return true;
}

void check(benchmark::State &state, qint64 expected, qint64 received, double seconds)
{
    const double rate = seconds > 0 ? double(received) / seconds : 0;
    state.counters["chars_per_s"] = rate;
    state.counters["lost"] = double(expected - received);
    if (received != expected)
        state.SkipWithError("keys were lost");
    else if (rate < kMinimumRate)
        state.SkipWithError("slower than 300 characters a second");
}

// One long line typed by the typist alone.
void BM_TypistDelayZero(benchmark::State &state)
{
    KeyRecorder recorder;
    X11Keystrokes keys;
    ScopedService<Keystrokes> installed(&keys);
    if (!ready(state, recorder, keys))
        return;
    const QByteArray line = sampleLine(int(state.range(0)), 1);
    Digitatore typist;
    qint64 expected = 0, received = 0;
    double seconds = 0;
    for (auto _ : state) {
        recorder.clear();
        QElapsedTimer t;
        t.start();
        bool done = false;
        typist.digita(pianoRiga(PlovekIni(), line), 0, [&](bool, const QString &) { done = true; });
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        recorder.waitForPresses(int(line.size()), 30000);
        seconds += t.elapsed() / 1000.0;
        expected += line.size();
        received += recorder.presses().size();
        benchmark::DoNotOptimize(received);
    }
    check(state, expected, received, seconds);
}
BENCHMARK(BM_TypistDelayZero)->Arg(600)->Unit(benchmark::kMillisecond)->Iterations(3);

class TrayView : public PlovekView {
public:
    PlovekIni impostazioni() const override { return ini; }
    void mostraRiga(const QByteArray &) override {}
    Stato stato() const override { return Stato::Minimizzata; }
    void termina() override {}
    void guastoDigitazione(const QString &) override {}
    PlovekIni ini;
};

// Card lines of 12 characters with {ENTER} from the reader line through the whole read
// loop, as the station runs in the notification area.
void BM_StationDelayZero(benchmark::State &state)
{
    KeyRecorder recorder;
    X11Keystrokes keys;
    ScopedService<Keystrokes> keysInstalled(&keys);
    FakeSound sound;
    ScopedService<Sound> soundInstalled(&sound);
    if (!ready(state, recorder, keys))
        return;
    QPointer<FakeSerialPort> line;
    Maker<SerialPort> ports([&](QObject *parent) -> SerialPort * {
        auto *p = new FakeSerialPort(parent);
        line = p;
        return p;
    });
    const ScopedService<Maker<SerialPort>> portsInstalled(&ports);
    TrayView view;
    view.ini.Check1 = 0;
    view.ini.Combo6 = 1;
    view.ini.Combo2 = 5; // {ENTER}
    view.ini.Combo4 = 1;
    StationPort port;
    LeggiSeriale loop(port, view);
    int handled = 0;
    QObject::connect(&loop, &LeggiSeriale::rigaGestita, [&] { ++handled; });
    loop.leggiseriale();
    const int lines = int(state.range(0));
    qint64 expected = 0, received = 0;
    double seconds = 0;
    for (auto _ : state) {
        recorder.clear();
        handled = 0;
        QByteArray bytes;
        for (int i = 0; i < lines; ++i)
            bytes += sampleLine(12, i) + '\r';
        QElapsedTimer t;
        t.start();
        line->receive(bytes);
        while (handled < lines)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        recorder.waitForPresses(lines * 13, 30000);
        seconds += t.elapsed() / 1000.0;
        expected += lines * 13;
        received += recorder.presses().size();
    }
    check(state, expected, received, seconds);
}
BENCHMARK(BM_StationDelayZero)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
