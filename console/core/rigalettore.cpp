#include "rigalettore.h"

namespace zorv::reader {

qsizetype RigaLettore::aggiungi(QByteArrayView data)
{
    if (m_completa)
        return 0;
    qsizetype taken = 0;
    while (taken < data.size()) {
        const qsizetype room = kLunghezzaMassima - m_riga.size();
        const QByteArrayView span = data.sliced(taken, qMin(room, data.size() - taken));
        const qsizetype cr = span.indexOf('\r');
        if (cr >= 0) {
            m_riga.append(span.first(cr + 1));
            m_completa = true;
            return taken + cr + 1;
        }
        m_riga.append(span);
        taken += span.size();
        if (m_riga.size() == kLunghezzaMassima) {
            m_scartati += m_riga.size();
            m_riga.clear();
        }
    }
    return taken;
}

qsizetype RigaLettore::aggiungi(QByteArrayView data, const std::function<void(const QString &)> &nota)
{
    const qint64 before = m_scartati;
    const qsizetype taken = aggiungi(data);
    if (before == 0 && m_scartati > 0)
        nota(QStringLiteral("dati dal lettore senza fine riga (oltre %1 byte): scartati").arg(kLunghezzaMassima));
    if (taken > 0 && m_completa && m_scartati > 0)
        nota(QStringLiteral("scartati in tutto %1 byte senza fine riga").arg(m_scartati));
    return taken;
}

QByteArray RigaLettore::prendi()
{
    QByteArray line;
    if (!m_completa)
        return line;
    line.swap(m_riga);
    m_riga.reserve(kLunghezzaMassima);
    m_completa = false;
    m_scartati = 0;
    return line;
}

void RigaLettore::azzera()
{
    m_riga.clear();
    m_completa = false;
    m_scartati = 0;
}

} // namespace zorv::reader
