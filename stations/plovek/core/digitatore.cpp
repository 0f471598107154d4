#include "digitatore.h"

#include "text.h"

#include <QPointer>

namespace zorv::stations::plovek {

namespace {

void aggiungiTasto(QList<Tasto> &out, const QStringList &voci, int indice, int volte)
{
    if (indice == 0 || volte == 0 || indice < 0 || indice >= voci.size())
        return;
    const auto key = keyFromName(voci[indice].trimmed());
    if (!key)
        return;
    for (int i = 0; i < volte; ++i)
        out.append(Tasto::tasto(*key));
}

bool carattereDiControllo(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

} // namespace

QList<Tasto> pianoRiga(const PlovekIni &ini, const QByteArray &line)
{
    QList<Tasto> out;
    aggiungiTasto(out, vociPrefisso(), ini.Combo8, ini.Combo7);
    const QString testo = text::fromCp1252(line);
    for (QChar c : testo) {
        if (!carattereDiControllo(c.unicode()))
            out.append(Tasto::carattere(c.unicode()));
    }
    aggiungiTasto(out, vociTerminatore1(), ini.Combo2, ini.Combo4);
    aggiungiTasto(out, vociTerminatore2(), ini.Combo3, ini.Combo5);
    return out;
}

Digitatore::Digitatore(QObject *parent) : QObject(parent)
{
    m_pausa.setSingleShot(true);
    m_pausa.setTimerType(Qt::PreciseTimer);
    connect(&m_pausa, &QTimer::timeout, this, &Digitatore::attendi);
}

bool Digitatore::digita(QList<Tasto> plan, int delayMs, Done done, std::function<bool()> stillWanted)
{
    if (m_busy)
        return false;
    m_busy = true;
    m_plan = std::move(plan);
    m_next = 0;
    m_delayMs = qMax(0, delayMs);
    m_done = std::move(done);
    m_stillWanted = std::move(stillWanted);
    m_dalTasto.invalidate();
    const int riga = ++m_riga;
    if (keystrokes().ready()) {
        m_pausa.start(0);
        return true;
    }
    keystrokes().prepare([guard = QPointer<Digitatore>(this), riga](bool ok) {
        if (!guard || guard->m_riga != riga || !guard->m_busy)
            return;
        // Answered from the event loop, never from within digita().
        QTimer::singleShot(0, guard, [guard, riga, ok] {
            if (!guard || guard->m_riga != riga || !guard->m_busy)
                return;
            if (ok && guard->m_stillWanted && !guard->m_stillWanted())
                guard->fine(true, {});
            else if (ok)
                guard->m_pausa.start(0);
            else
                guard->fine(false, keystrokes().lastError());
        });
    });
    return true;
}

void Digitatore::fine(bool ok, const QString &why)
{
    m_busy = false;
    m_plan.clear();
    m_stillWanted = nullptr;
    Done done = std::move(m_done);
    m_done = nullptr;
    if (done)
        done(ok, why);
}

void Digitatore::attendi()
{
    // The pause after a key is never cut short, even by a timer that fires early.
    if (m_dalTasto.isValid()) {
        const qint64 left = m_delayMs - m_dalTasto.elapsed();
        if (left > 0) {
            m_pausa.start(int(left));
            return;
        }
    }
    prossimo();
}

void Digitatore::prossimo()
{
    if (m_next >= m_plan.size()) {
        fine(true, {});
        return;
    }
    const Tasto t = m_plan[m_next];
    if (!t.isKey) {
        if (const int hold = keystrokes().holdMs(t.ch); hold > 0) {
            m_pausa.start(hold);
            return;
        }
    }
    ++m_next;
    const bool sent = t.isKey ? keystrokes().pressKey(t.key) : keystrokes().typeChar(t.ch);
    if (!sent) {
        fine(false, keystrokes().lastError());
        return;
    }
    m_dalTasto.start();
    m_pausa.start(m_delayMs);
}

} // namespace zorv::stations::plovek
