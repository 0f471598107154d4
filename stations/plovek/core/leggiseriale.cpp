#include "leggiseriale.h"

#include "serialport.h"
#include "sound.h"
#include "stationport.h"

namespace zorv::stations::plovek {

LeggiSeriale::LeggiSeriale(StationPort &port, PlovekView &view, QObject *parent)
    : QObject(parent), m_port(port), m_view(view)
{
    m_riprova.setInterval(kRiprovaMs);
    connect(&m_riprova, &QTimer::timeout, this, &LeggiSeriale::riprova);
    connect(&m_port, &StationPort::bytesForLoop, this, &LeggiSeriale::drain);
    connect(&m_port, &StationPort::failed, this, &LeggiSeriale::portaPersa);
}

void LeggiSeriale::leggiseriale()
{
    if (m_running)
        return;
    m_running = true;
    apri();
}

void LeggiSeriale::portaCambiata()
{
    if (!m_running || m_view.impostazioni().Combo6 == m_porta)
        return;
    apri();
}

void LeggiSeriale::apri()
{
    SerialPort &comm = m_port.Comm1();
    const int scelta = m_view.impostazioni().Combo6;
    if (comm.isOpen()) {
        if (scelta == m_porta)
            return;
        comm.close();
    }
    if (scelta != m_porta) {
        // Part of a line from the port left behind is not the start of the next line.
        m_riga.azzera();
    }
    m_porta = scelta;
    if (m_porta == 0) {
        // "none": nothing to open until a port is chosen.
        m_riprova.stop();
        return;
    }
    comm.setCommPort(m_porta);
    if (!m_port.open()) {
        m_riprova.start();
        return;
    }
    m_riprova.stop();
    emit portaAperta(m_porta);
    QTimer::singleShot(0, this, &LeggiSeriale::drain);
}

void LeggiSeriale::riprova()
{
    if (m_port.isOpen() && m_view.impostazioni().Combo6 == m_porta) {
        m_riprova.stop();
        return;
    }
    apri();
}

void LeggiSeriale::portaPersa()
{
    // The reader went away: what came of its last line is dropped, and the port is
    // tried again until it is back.
    m_riga.azzera();
    if (m_running)
        m_riprova.start();
}

void LeggiSeriale::drain()
{
    if (!m_running || m_busy || m_draining)
        return;
    m_draining = true;
    while (!m_busy) {
        const QByteArrayView bytes = m_port.pending();
        if (bytes.isEmpty())
            break;
        // A run too long for any barcode is dropped as it comes, never typed.
        m_port.consume(m_riga.aggiungi(bytes));
        if (m_riga.completa())
            gestisciRiga(m_riga.prendi());
    }
    m_draining = false;
}

void LeggiSeriale::gestisciRiga(const QByteArray &line)
{
    m_busy = true;
    ++m_righe;
    m_view.mostraRiga(line);
    const QByteArray text = line.left(line.size() - 1);
    if (m_view.impostazioni().Check1 != 0) {
        sound().play(percorsoBeep(), [this, text] { inviadati(text); });
        return;
    }
    inviadati(text);
}

void LeggiSeriale::inviadati(const QByteArray &text)
{
    switch (m_view.stato()) {
    case PlovekView::Stato::Normale:
        fine();
        return;
    case PlovekView::Stato::Massimizzata:
        m_view.termina();
        fine();
        return;
    case PlovekView::Stato::Minimizzata:
        break;
    }
    const PlovekIni ini = m_view.impostazioni();
    // The desktop may first ask its user; a window brought back on screen meanwhile
    // takes the line as one read while on screen.
    const bool started = m_digitatore.digita(
        pianoRiga(ini, text), ini.ritardoMs(),
        [this](bool ok, const QString &why) {
            if (!ok)
                m_view.guastoDigitazione(why);
            fine();
        },
        [this] { return m_view.stato() == PlovekView::Stato::Minimizzata; });
    if (!started)
        fine();
}

void LeggiSeriale::fine()
{
    m_busy = false;
    emit rigaGestita();
    QTimer::singleShot(0, this, &LeggiSeriale::drain);
}

} // namespace zorv::stations::plovek
