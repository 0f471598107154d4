#pragma once

#include "digitatore.h"
#include "plovekini.h"
#include "rigalettore.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

namespace zorv::stations {
class StationPort;
}

namespace zorv::stations::plovek {

// What the wedge's read loop reads from and asks of its window.
class PlovekView {
public:
    enum class Stato {
        Normale,      // on screen
        Minimizzata,  // in the notification area
        Massimizzata,
    };
    virtual ~PlovekView() = default;
    // The settings as the window's controls show them now.
    virtual PlovekIni impostazioni() const = 0;
    // A line read, CR included ("Last Barcode").
    virtual void mostraRiga(const QByteArray &line) = 0;
    virtual Stato stato() const = 0;
    // The window is maximised when a line comes: the program ends.
    virtual void termina() = 0;
    // A line that could not be typed; the loop goes on with the next one.
    virtual void guastoDigitazione(const QString &why) = 0;
};

// The read loop of the keyboard wedge. It opens COM n for the port chosen in the
// window (none: waits for a choice), keeps trying every kRiprovaMs while the port
// cannot be opened or has gone, and moves to another port as soon as one is chosen.
// Bytes are collected into CR-ended lines (a run too long for any line is dropped as
// garbage); while a line is handled (the beep, the typing) no byte is taken, so what
// comes meanwhile waits in the port's buffer.
class LeggiSeriale : public QObject {
    Q_OBJECT
public:
    LeggiSeriale(StationPort &port, PlovekView &view, QObject *parent = nullptr);

    // Starts the loop; it runs for the life of the program.
    void leggiseriale();
    bool attivo() const { return m_running; }
    // The port chosen in the window has changed.
    void portaCambiata();

    // The COM number in use (0: none chosen).
    int portaInUso() const { return m_porta; }
    bool occupato() const { return m_busy; }
    int righeLette() const { return m_righe; }
    Digitatore &digitatore() { return m_digitatore; }

    static constexpr int kRiprovaMs = 1000;

signals:
    // A line has been handled to its end (shown, and typed where it is typed).
    void rigaGestita();
    // The port in use is open now.
    void portaAperta(int commPort);

private:
    void apri();
    void riprova();
    void portaPersa();
    void drain();
    void gestisciRiga(const QByteArray &line);
    void inviadati(const QByteArray &text);
    void fine();

    StationPort &m_port;
    PlovekView &m_view;
    Digitatore m_digitatore;
    QTimer m_riprova;
    reader::RigaLettore m_riga;
    int m_porta = 0;
    bool m_running = false;
    bool m_busy = false;
    bool m_draining = false;
    int m_righe = 0;
};

} // namespace zorv::stations::plovek
