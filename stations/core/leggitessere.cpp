#include "leggitessere.h"

#include "clock.h"
#include "messages.h"
#include "sound.h"
#include "stationport.h"

#include <QDir>

namespace zorv::stations {

LeggiTessere::LeggiTessere(StationPort &port, ControlloView &view, QString folder, PortaCfg cfg, QObject *parent)
    : QObject(parent), m_port(port), m_view(view), m_folder(std::move(folder)), m_cfg(std::move(cfg))
{
    connect(&m_port, &StationPort::bytesForLoop, this, &LeggiTessere::drain);
}

void LeggiTessere::leggitessere()
{
    m_running = true;
    drain();
}

void LeggiTessere::drain()
{
    if (!m_running || m_busy || m_draining)
        return;
    m_draining = true;
    while (!m_busy) {
        const QByteArrayView bytes = m_port.pending();
        if (bytes.isEmpty())
            break;
        m_port.consume(m_riga.aggiungi(bytes, [this](const QString &nota) { m_view.mostraGuasto(nota); }));
        if (!m_riga.completa())
            continue;
        const QByteArray line = m_riga.prendi();
        m_busy = true;
        gestisciRiga(line);
    }
    m_draining = false;
}

void LeggiTessere::fine()
{
    ++m_handled;
    m_busy = false;
    emit rigaGestita();
    // Whatever arrived meanwhile is next, in order.
    QTimer::singleShot(0, this, &LeggiTessere::drain);
}

void LeggiTessere::suona(const char *file, std::function<void()> then)
{
    if (!m_view.audio()) {
        then();
        return;
    }
    sound().play(QDir(m_folder).filePath(QString::fromLatin1(file)), std::move(then));
}

void LeggiTessere::gestisciRiga(const QByteArray &line)
{
    m_view.mostraRiga(line);
    if (!reader::formaCarta(line)) {
        fine();
        return;
    }
    const QByteArray code = line.left(12);

    // The same card again within the lock-out after its grant: only the buzzer.
    if (!m_stato.UltimaCarta.isEmpty() && code == m_stato.UltimaCarta && m_stato.OraUltimoAccesso
        && clock().elapsedMs() - *m_stato.OraUltimoAccesso < m_cfg.lockOutMs()) {
        QTimer::singleShot(kPausaMs, Qt::PreciseTimer, this, [this] {
            if (!m_port.send(frameBuzzer(124, 50)))
                m_view.mostraGuasto(QStringLiteral("Porta COM chiusa: segnale acustico non inviato"));
            fine();
        });
        return;
    }

    const RisultatoControllo result = controllacarta(m_folder, code, m_stato);
    if (result.registroVuoto) {
        messages().msgBox(QString::fromLatin1(kRegistroVuoto), style::DefaultButton2, QStringLiteral("Zorv 900"));
        fine();
        return;
    }
    if (result.etichette)
        m_view.mostraEtichette(*result.etichette);
    for (const QString &g : result.guasti)
        m_view.mostraGuasto(g);
    if (result.rifiutata) {
        suona("sco.wav", [this, result] { dopoControllo(result); });
        return;
    }
    dopoControllo(result);
}

void LeggiTessere::dopoControllo(const RisultatoControllo &)
{
    const QByteArray code = m_stato.CodiceEsito;
    if (code == esito::Scaduta) {
        suona("sca.wav", [this] { fine(); });
        return;
    }
    if (code == esito::Esaurito) {
        suona("esa.wav", [this] { fine(); });
        return;
    }
    if (code == esito::Autorizzato) {
        QTimer::singleShot(kPausaMs, Qt::PreciseTimer, this, [this] {
            auto thenSound = [this] { suona("auto.wav", [this] { fine(); }); };
            if (m_stato.PortaCliente == "1")
                m_view.inviarele(1, thenSound);
            else if (m_stato.PortaCliente == "2")
                m_view.inviarele(2, thenSound);
            else
                thenSound();
        });
        return;
    }
    fine();
}

} // namespace zorv::stations
