#include "emulatorprocess.h"

#include <QDeadlineTimer>
#include <QFileInfo>

namespace zorv::emulator {

namespace {
constexpr int kAnswerMs = 5000;
}

EmulatorProcess::~EmulatorProcess()
{
    stop();
}

QString EmulatorProcess::program()
{
    const QString dir = qEnvironmentVariable("ZORV900_BIN_DIR");
    if (!dir.isEmpty() && QFileInfo::exists(dir + QStringLiteral("/zorv900-emulator")))
        return dir + QStringLiteral("/zorv900-emulator");
    return QStringLiteral(ZORV900_EMULATOR_PATH);
}

QByteArray EmulatorProcess::escape(const QByteArray &bytes)
{
    QByteArray out;
    for (char c : bytes) {
        const auto u = uchar(c);
        if (c == '\\')
            out.append("\\\\");
        else if (u < 32 || u > 126)
            out.append("\\x").append(QByteArray::number(u, 16).rightJustified(2, '0'));
        else
            out.append(c);
    }
    return out;
}

bool EmulatorProcess::readLine(QByteArray *line, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const qsizetype nl = m_out.indexOf('\n');
        if (nl >= 0) {
            *line = m_out.left(nl);
            m_out.remove(0, nl + 1);
            return true;
        }
        if (m_process.state() != QProcess::Running || deadline.hasExpired())
            return false;
        if (m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            m_out += m_process.readAllStandardOutput();
    }
}

bool EmulatorProcess::start(const QString &configHome, int com, const QStringList &extraArgs, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        stop();
        return false;
    };
    QStringList args{QStringLiteral("--com"), QString::number(com), QStringLiteral("--config-home"), configHome};
    args += extraArgs;
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setReadChannel(QProcess::StandardOutput);
    m_process.start(program(), args);
    if (!m_process.waitForStarted(kAnswerMs))
        return fail(QStringLiteral("cannot start %1: %2").arg(program(), m_process.errorString()));
    QByteArray line;
    while (readLine(&line, kAnswerMs)) {
        if (line.startsWith("PTY "))
            m_pty = QString::fromLocal8Bit(line.mid(4));
        if (line == "READY")
            return true;
    }
    return fail(QStringLiteral("emulator did not get ready: %1").arg(QString::fromLocal8Bit(m_process.readAllStandardError())));
}

bool EmulatorProcess::control(const QByteArray &line, QByteArray *answer)
{
    if (!isRunning())
        return false;
    m_process.write(line + '\n');
    m_process.waitForBytesWritten(kAnswerMs);
    QByteArray reply;
    if (!readLine(&reply, kAnswerMs))
        return false;
    if (answer)
        *answer = reply;
    return reply == "OK" || reply == "BYE" || reply.startsWith("RECEIVED");
}

bool EmulatorProcess::present(const QByteArray &line) { return control(":present " + escape(line)); }
bool EmulatorProcess::sendRaw(const QByteArray &bytes) { return control(":raw " + escape(bytes)); }
bool EmulatorProcess::setReply(const QString &key, const QByteArray &text)
{
    return control(":reply " + key.toLatin1() + ' ' + escape(text));
}
bool EmulatorProcess::clearReply(const QString &key) { return control(":default " + key.toLatin1()); }
bool EmulatorProcess::setDelay(const QString &key, int ms)
{
    return control(":delay " + key.toLatin1() + ' ' + QByteArray::number(ms));
}
bool EmulatorProcess::withhold(const QString &key, bool on)
{
    return control((on ? ":withhold " : ":release ") + key.toLatin1());
}
bool EmulatorProcess::reset() { return control(":reset"); }
bool EmulatorProcess::setSlot(int record, const QByteArray &code, char relay)
{
    return control(":slot " + QByteArray::number(record) + ' ' + escape(code) + ' ' + relay);
}
bool EmulatorProcess::emptySlot(int record) { return control(":empty " + QByteArray::number(record)); }
bool EmulatorProcess::setConfig(const QByteArray &fiveBytes) { return control(":config " + fiveBytes.toHex()); }
bool EmulatorProcess::setGtapLines(const QList<QByteArray> &lines)
{
    QByteArray joined;
    for (const QByteArray &l : lines) {
        if (!joined.isEmpty())
            joined.append('|');
        joined.append(escape(l));
    }
    return control(":gtap " + joined);
}

QByteArray EmulatorProcess::received()
{
    QByteArray answer;
    if (!control(":received", &answer))
        return {};
    return QByteArray::fromHex(answer.mid(9));
}

bool EmulatorProcess::clearReceived() { return control(":clear"); }
bool EmulatorProcess::unplug() { return control(":unplug"); }

void EmulatorProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel(); // the emulator ends at the end of its stdin
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

} // namespace zorv::emulator
