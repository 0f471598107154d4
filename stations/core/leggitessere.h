#pragma once

#include "cardcheck.h"
#include "portacfg.h"
#include "rigalettore.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace zorv::stations {

class StationPort;

// What the access-control read loop shows and asks of its window.
class ControlloView {
public:
    virtual ~ControlloView() = default;
    // A line read from the reader, CR included (the log box).
    virtual void mostraRiga(const QByteArray &line) = 0;
    virtual void mostraEtichette(const Etichette &labels) = 0;
    // A failure the operator must see; the station goes on.
    virtual void mostraGuasto(const QString &text) = 0;
    // The "Audio" switch.
    virtual bool audio() const = 0;
    // Relay 1 or 2 with its answer wait; done() afterwards.
    virtual void inviarele(int relay, std::function<void()> done) = 0;
};

// The read loop of the access-control station. It runs on the port's data: bytes are
// collected into CR-ended lines (a run too long for any line is dropped as garbage, with
// a word in the log box); while a card is handled (the check, the 500 ms waits, the
// relay answer, the sounds) no byte is taken, so the next card waits in its place and
// is handled afterwards.
class LeggiTessere : public QObject {
    Q_OBJECT
public:
    LeggiTessere(StationPort &port, ControlloView &view, QString folder, PortaCfg cfg, QObject *parent = nullptr);

    // Starts taking bytes (the port is already open).
    void leggitessere();
    // Drops a line cut short (the reader went away in the middle of it).
    void azzeraRiga() { m_riga.azzera(); }

    StatoStazione &stato() { return m_stato; }
    const StatoStazione &stato() const { return m_stato; }
    // True while a line is being handled.
    bool occupato() const { return m_busy; }
    // Lines handled so far (for tests and the benchmark).
    int righeGestite() const { return m_handled; }

    static constexpr int kPausaMs = 500;

signals:
    // A line has been handled to its end.
    void rigaGestita();

private:
    void drain();
    void gestisciRiga(const QByteArray &line);
    void dopoControllo(const RisultatoControllo &result);
    void fine();
    void suona(const char *file, std::function<void()> then);

    StationPort &m_port;
    ControlloView &m_view;
    QString m_folder;
    PortaCfg m_cfg;
    StatoStazione m_stato;
    reader::RigaLettore m_riga;
    bool m_running = false;
    bool m_busy = false;
    bool m_draining = false;
    int m_handled = 0;
};

} // namespace zorv::stations
