// From the reader sending a card line to the relay frame arriving back at the reader:
// the emulator on a pseudo-terminal, the real serial port, the station's read loop and
// card check. The station waits 500 ms on purpose; the rest is the station's own time.
#include "leggitessere.h"
#include "record.h"
#include "stationport.h"

#include "fakemessageboxes.h"
#include "fakesound.h"
#include "qtserialport.h"
#include "readeremulator.h"
#include "serialport.h"
#include "service.h"
#include "sound.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

using namespace zorv;
using namespace zorv::stations;

namespace {

class View : public ControlloView {
public:
    explicit View(StationPort &port) : m_port(port) {}
    void mostraRiga(const QByteArray &) override {}
    void mostraEtichette(const Etichette &) override {}
    void mostraGuasto(const QString &) override {}
    bool audio() const override { return false; }
    void inviarele(int relay, std::function<void()> done) override
    {
        stations::inviarele(m_port, relay, "30", std::move(done));
    }

private:
    StationPort &m_port;
};

void BM_CardToRelayFrame(benchmark::State &state)
{
    QTemporaryDir home, dir;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    FakeSound sound;
    ScopedService<Sound> soundService(&sound);
    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxService(&boxes);
    auto ports = Maker<SerialPort>::of<QtSerialPort>();
    ScopedService<Maker<SerialPort>> portsService(&ports);

    QByteArray all;
    for (int i = 1; i <= 9999; ++i) {
        registry::CustomerInput in;
        in.nome = "CLIENTE";
        in.accessi = "99999999999";
        in.numeroCarta = QByteArray::number(100000000000LL + i);
        in.relay = "1";
        in.citta = "ROMA";
        all += registry::Record::compose(in).bytes();
    }
    QFile f(dir.filePath(QStringLiteral("CLIENTI.DAT")));
    f.open(QIODevice::WriteOnly);
    f.write(all);
    f.close();

    emulator::ReaderEmulator reader;
    reader.start();
    reader.linkComPort(home.path(), 1);
    StationPort port;
    port.Comm1().setSettings(QStringLiteral("9600,n,8,1"));
    port.Comm1().setCommPort(1);
    if (!port.open()) {
        state.SkipWithError("port");
        return;
    }
    View view(port);
    PortaCfg cfg;
    cfg.RitardoRipetizione = "0";
    cfg.TempoRele = "30";
    LeggiTessere loop(port, view, dir.path(), cfg);
    loop.leggitessere();

    double worstMs = 0;
    for (auto _ : state) {
        QEventLoop wait;
        QElapsedTimer t;
        auto c = QObject::connect(&reader, &emulator::ReaderEmulator::frameReceived, &wait, [&](const QByteArray &fr) {
            if (fr.startsWith("C0"))
                wait.quit();
        });
        QTimer::singleShot(3000, &wait, &QEventLoop::quit);
        t.start();
        reader.presentLine("100000009999"); // the last record
        wait.exec();
        const double ms = double(t.nsecsElapsed()) / 1e6;
        QObject::disconnect(c);
        state.SetIterationTime(ms / 1000.0);
        worstMs = std::max(worstMs, ms);
        // Let the relay answer and the loop settle before the next card.
        QEventLoop settle;
        QTimer::singleShot(50, &settle, &QEventLoop::quit);
        settle.exec();
    }
    state.counters["worst_ms"] = worstMs;
    state.counters["over_500ms_worst"] = worstMs - LeggiTessere::kPausaMs;
}
BENCHMARK(BM_CardToRelayFrame)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace
