#include "serialport.h"

#include "paths.h"

#include <QFileInfo>
#include <QStringList>

namespace zorv {

qsizetype ReceiveBuffer::append(QByteArrayView bytes)
{
    qsizetype keep = bytes.size();
    if (m_limit > 0)
        keep = qBound<qsizetype>(0, m_limit - size(), keep);
    m_dropped += bytes.size() - keep;
    if (keep > 0) {
        // Taken bytes are removed in bulk, not one by one as they are read.
        if (m_head > 0 && m_head >= m_data.size() / 2) {
            m_data.remove(0, m_head);
            m_head = 0;
        }
        m_data.append(bytes.first(keep));
    }
    return keep;
}

QByteArray ReceiveBuffer::take(qsizetype max)
{
    const qsizetype n = qBound<qsizetype>(0, max, size());
    const QByteArray out = m_data.mid(m_head, n);
    m_head += n;
    if (m_head == m_data.size())
        clear();
    return out;
}

void ReceiveBuffer::clear()
{
    m_data.clear();
    m_head = 0;
}

QString SerialPort::devicePath(int commPort)
{
    const QString mapped = paths::configDir() + QStringLiteral("com%1").arg(commPort);
    // A mapping that points nowhere (a USB adapter pulled out) stays the port's device, so
    // opening fails instead of reaching some other serial port.
    const QFileInfo info(mapped);
    if (info.exists() || info.isSymLink())
        return mapped;
    return QStringLiteral("/dev/ttyS%1").arg(commPort - 1);
}

bool SerialPort::parseSettings(const QString &text, LineSettings *out)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return false;
    LineSettings s;
    bool ok = false;
    s.baud = parts[0].trimmed().toInt(&ok);
    if (!ok || s.baud <= 0)
        return false;
    const QString parity = parts[1].trimmed().toLower();
    if (parity.size() != 1 || !QStringLiteral("neoms").contains(parity))
        return false;
    s.parity = parity[0].toLatin1();
    s.dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || s.dataBits < 5 || s.dataBits > 8)
        return false;
    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1"))
        s.stopBits = 1;
    else if (stop == QLatin1String("2"))
        s.stopBits = 2;
    else
        return false;
    if (out)
        *out = s;
    return true;
}

} // namespace zorv
