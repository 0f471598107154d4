#include "privatepulse.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>
#include <QtEndian>

#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>

namespace zorv::test {

namespace {
// The client settings of this process: only the private server, never a spawned one.
const char *const kClientVariables[] = {"PULSE_SERVER", "PULSE_COOKIE", "PULSE_CLIENTCONFIG"};

void diesWithTheTest(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}
} // namespace

PrivatePulse::PrivatePulse()
{
    for (const char *sub : {"run", "home", "state"})
        QDir(m_dir.path()).mkpath(QString::fromLatin1(sub));
    QFile conf(m_dir.filePath(QStringLiteral("client.conf")));
    if (conf.open(QIODevice::WriteOnly))
        conf.write("autospawn = no\n");
    conf.close();
    m_hadServer = qEnvironmentVariableIsSet("PULSE_SERVER");
    m_savedServer = qgetenv("PULSE_SERVER");
    const QProcessEnvironment env = environment();
    for (const char *name : kClientVariables)
        qputenv(name, env.value(QString::fromLatin1(name)).toLocal8Bit());
}

PrivatePulse::~PrivatePulse()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000))
            kill();
    }
    qunsetenv("PULSE_COOKIE");
    qunsetenv("PULSE_CLIENTCONFIG");
    if (m_hadServer)
        qputenv("PULSE_SERVER", m_savedServer);
    else
        qunsetenv("PULSE_SERVER");
}

QString PrivatePulse::missing()
{
    QStringList absent;
    for (const char *program : {"pulseaudio", "parec"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty())
            absent << QString::fromLatin1(program);
    }
    return absent.join(QStringLiteral(" and "));
}

QString PrivatePulse::server() const
{
    return QStringLiteral("unix:") + m_dir.filePath(QStringLiteral("native"));
}

QProcessEnvironment PrivatePulse::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CONFIG_DIRS"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QStringLiteral("unix:path=") + m_dir.filePath(QStringLiteral("no-bus")));
    env.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("home/.config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("run")));
    env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), m_dir.filePath(QStringLiteral("run")));
    env.insert(QStringLiteral("PULSE_STATE_PATH"), m_dir.filePath(QStringLiteral("state")));
    env.insert(QStringLiteral("PULSE_SERVER"), server());
    env.insert(QStringLiteral("PULSE_COOKIE"), m_dir.filePath(QStringLiteral("cookie")));
    env.insert(QStringLiteral("PULSE_CLIENTCONFIG"), m_dir.filePath(QStringLiteral("client.conf")));
    return env;
}

bool PrivatePulse::start()
{
    const QString socket = m_dir.filePath(QStringLiteral("native"));
    QFile::remove(socket); // left behind by a killed server
    m_daemon.setProcessEnvironment(environment());
    m_daemon.setWorkingDirectory(m_dir.path());
    diesWithTheTest(m_daemon);
    // Runs as root too (it only warns) because it is started by hand, not as a system daemon.
    m_daemon.start(QStringLiteral("pulseaudio"),
                   {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--system=no"),
                    QStringLiteral("--use-pid-file=no"), QStringLiteral("--exit-idle-time=-1"),
                    QStringLiteral("--realtime=no"), QStringLiteral("--high-priority=no"),
                    QStringLiteral("--disable-shm=yes"), QStringLiteral("--log-target=stderr"),
                    QStringLiteral("--load=module-null-sink sink_name=zorvtest"),
                    QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + socket});
    if (!m_daemon.waitForStarted(5000)) {
        m_errors = m_daemon.errorString();
        return false;
    }
    const auto listening = [&] { return QFileInfo::exists(socket) || m_daemon.state() == QProcess::NotRunning; };
    const bool up = waitUntil(listening, 10000) && m_daemon.state() == QProcess::Running;
    if (!up) {
        m_errors = QString::fromLocal8Bit(m_daemon.readAllStandardError());
        kill();
    }
    return up;
}

void PrivatePulse::kill()
{
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    m_daemon.kill();
    m_daemon.waitForFinished(5000);
}

MonitorRecording::MonitorRecording(const PrivatePulse &pulse) : m_pulse(pulse)
{
    QObject::connect(&m_parec, &QProcess::readyReadStandardOutput, &m_parec,
                     [this] { m_pcm += m_parec.readAllStandardOutput(); });
}

MonitorRecording::~MonitorRecording()
{
    if (m_parec.state() != QProcess::NotRunning) {
        m_parec.kill();
        m_parec.waitForFinished(3000);
    }
}

bool MonitorRecording::start()
{
    m_parec.setProcessEnvironment(m_pulse.environment());
    diesWithTheTest(m_parec);
    // A listener asking for a short latency keeps the null sink's rendering close to real
    // time, as a sound card's would be.
    m_parec.start(QStringLiteral("parec"),
                  {QStringLiteral("--device=") + m_pulse.monitor(), QStringLiteral("--latency-msec=20"),
                   QStringLiteral("--format=s16le"), QStringLiteral("--rate=%1").arg(kRate),
                   QStringLiteral("--channels=1"), QStringLiteral("--raw")});
    return m_parec.waitForStarted(5000) && waitUntil([&] { return m_pcm.size() >= 2 * kRate / 100; }, 5000);
}

QList<int> MonitorRecording::heardSinceLast(int tailMs)
{
    QTest::qWait(tailMs);
    m_pcm += m_parec.readAllStandardOutput();
    const QList<int> found = heard(m_taken);
    m_taken = m_pcm.size() - m_pcm.size() % 2;
    return found;
}

QList<int> MonitorRecording::heard(qsizetype from) const
{
    constexpr int kLoud = 1000;         // the tones are at half of full scale (16384)
    constexpr int kGap = kRate * 30 / 1000; // a pause this long starts a new stretch
    QList<int> found;
    const auto *s = reinterpret_cast<const uchar *>(m_pcm.constData() + from);
    const qsizetype n = (m_pcm.size() - from) / 2;
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < n; ++i) {
        if (std::abs(qFromLittleEndian<qint16>(s + 2 * i)) < kLoud)
            continue;
        if (first >= 0 && i - last > kGap) {
            found << int((last - first + 1) * 1000 / kRate);
            first = -1;
        }
        if (first < 0)
            first = i;
        last = i;
    }
    if (first >= 0)
        found << int((last - first + 1) * 1000 / kRate);
    return found;
}

} // namespace zorv::test
