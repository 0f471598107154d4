// The real serial port on a pseudo-terminal whose far end the test holds: a device that
// goes away, in each of the ways a real one does, and a lock file left by a dead process.
#include "qtserialport.h"
#include "testsupport.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <cerrno>
#include <cstring>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zorv::test {
namespace {

// The master side of a fresh pseudo-terminal.
class Pty {
public:
    Pty()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master >= 0 && (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0))
            hangUp();
        if (m_master >= 0)
            m_slave = QString::fromLocal8Bit(::ptsname(m_master));
    }
    ~Pty() { hangUp(); }
    bool isValid() const { return m_master >= 0; }
    QString slave() const { return m_slave; }
    bool send(QByteArrayView bytes) { return ::write(m_master, bytes.data(), bytes.size()) == bytes.size(); }
    void hangUp()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    QString m_slave;
};

double cpuSeconds()
{
    rusage use{};
    ::getrusage(RUSAGE_SELF, &use);
    return double(use.ru_utime.tv_sec + use.ru_stime.tv_sec)
        + double(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

// A configuration home whose COM1 is `device`.
class SerialHome : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        ASSERT_TRUE(pty.isValid());
        ASSERT_TRUE(QDir().mkpath(home.file(QStringLiteral("zorv900"))));
    }
    void TearDown() override
    {
        port.close();
        qputenv("XDG_CONFIG_HOME", m_oldHome);
    }
    void linkCom1(const QString &device)
    {
        ASSERT_TRUE(QFile::link(device, home.file(QStringLiteral("zorv900/com1"))));
    }
    bool openPort()
    {
        QString error;
        const bool ok = port.open(1, QStringLiteral("9600,n,8,1"), &error);
        EXPECT_TRUE(ok) << error.toStdString();
        return ok;
    }
    // The port fails once and closes; then the process stays idle.
    void expectOneFailureAndNoSpin(QSignalSpy &failed, QSignalSpy &closed)
    {
        ASSERT_TRUE(waitUntil([&] { return !port.isOpen(); }, 3000));
        const double before = cpuSeconds();
        QTest::qWait(1000);
        EXPECT_LT(cpuSeconds() - before, 0.5) << "the event loop spins after the device went away";
        EXPECT_EQ(failed.count(), 1);
        EXPECT_EQ(closed.count(), 1);
        EXPECT_FALSE(port.write("INIT\r"));
    }

    TempFolder home;
    Pty pty;
    QtSerialPort port;

private:
    QByteArray m_oldHome;
};

TEST_F(SerialHome, FarEndHangingUpIsReportedOnceWithoutSpinning)
{
    linkCom1(pty.slave());
    ASSERT_TRUE(openPort());
    QSignalSpy failed(&port, &SerialPort::failed);
    QSignalSpy closed(&port, &SerialPort::closed);
    ASSERT_TRUE(pty.send("0001A2B3C4D5\r"));
    ASSERT_TRUE(waitUntil([&] { return port.bytesWaiting() == 13; }));
    pty.hangUp();
    expectOneFailureAndNoSpin(failed, closed);
    EXPECT_FALSE(failed.value(0).value(0).toString().isEmpty());
}

TEST_F(SerialHome, BytesKeepArrivingWhileTheFarEndStays)
{
    linkCom1(pty.slave());
    ASSERT_TRUE(openPort());
    QSignalSpy failed(&port, &SerialPort::failed);
    QByteArray got;
    QObject::connect(&port, &SerialPort::readyRead, &port, [&] { got += port.readAll(); });
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(pty.send(QByteArray::number(i) + '\r'));
        QTest::qWait(2);
    }
    ASSERT_TRUE(waitUntil([&] { return got.endsWith("49\r"); }));
    EXPECT_EQ(got.count('\r'), 50);
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(failed.count(), 0);
}

TEST_F(SerialHome, DeviceNodeThatIsRemovedIsReportedOnceWithoutSpinning)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "putting a device under a name of the test's needs root (a bind mount)";
    // The terminal under a name of the test's own, which can be taken away while the
    // terminal itself stays.
    const QString node = home.file(QStringLiteral("ttyZ0"));
    home.write(QStringLiteral("ttyZ0"), {});
    const QByteArray nodePath = QFile::encodeName(node);
    ASSERT_EQ(::mount(pty.slave().toLocal8Bit().constData(), nodePath.constData(), nullptr, MS_BIND, nullptr), 0)
        << std::strerror(errno);
    linkCom1(node);
    ASSERT_TRUE(openPort());
    QSignalSpy failed(&port, &SerialPort::failed);
    QSignalSpy closed(&port, &SerialPort::closed);
    // Other files coming and going beside it are not its going away.
    home.write(QStringLiteral("other"), "x");
    ASSERT_TRUE(QFile::remove(home.file(QStringLiteral("other"))));
    QTest::qWait(200);
    EXPECT_TRUE(port.isOpen());
    ASSERT_EQ(::umount2(nodePath.constData(), MNT_DETACH), 0);
    ASSERT_TRUE(QFile::remove(node));
    expectOneFailureAndNoSpin(failed, closed);
}

// A process id that was in use a moment ago and is free now.
qint64 deadProcessId()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// A lock file of root's that an ordinary user may not remove.
class RootsLockFile {
public:
    RootsLockFile(const QString &device, qint64 pid)
        : m_path(QStringLiteral("/var/lock/LCK..") + QString(device).mid(5).replace(QLatin1Char('/'), QLatin1Char('_')))
    {
        QFile file(m_path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            m_written = file.write(QByteArray::number(pid) + "\nkilled\n" + QSysInfo::machineHostName().toUtf8() + '\n') > 0;
    }
    ~RootsLockFile() { QFile::remove(m_path); }
    bool written() const { return m_written; }
    QString path() const { return m_path; }

private:
    QString m_path;
    bool m_written = false;
};

struct LockCase {
    const char *name;
    bool ownerAlive;
    const char *expected; // what the station's user gets
};

class StaleLock : public SerialHome, public ::testing::WithParamInterface<LockCase> {};

TEST_P(StaleLock, OrdinaryUserOpensPastADeadOwnersLockOnly)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a lock file of another user needs root to make";
    // The ordinary user reaches the terminal and the configuration home, as a member of
    // dialout would.
    ASSERT_EQ(::chmod(pty.slave().toLocal8Bit().constData(), 0666), 0);
    ASSERT_TRUE(QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                       | QFile::ReadOther | QFile::ExeOther));
    linkCom1(pty.slave());
    RootsLockFile lock(pty.slave(), GetParam().ownerAlive ? 1 : deadProcessId());
    ASSERT_TRUE(lock.written()) << lock.path().toStdString();

    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    env.insert(QStringLiteral("TMPDIR"), QStringLiteral("/tmp"));
    probe.setProcessEnvironment(env);
    probe.start(QStringLiteral("setpriv"),
                {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                 QStringLiteral("--"), QCoreApplication::applicationDirPath() + QStringLiteral("/zorv-serial-probe")});
    ASSERT_TRUE(probe.waitForFinished(20000)) << probe.errorString().toStdString();
    const QString said = QString::fromLocal8Bit(probe.readAllStandardOutput() + probe.readAllStandardError());
    EXPECT_TRUE(said.startsWith(QLatin1String(GetParam().expected))) << said.toStdString();
    // The lock in the way stays where it was: it is not ours to remove.
    EXPECT_TRUE(QFile::exists(lock.path()));
}

INSTANTIATE_TEST_SUITE_P(Owners, StaleLock,
                         ::testing::Values(LockCase{"OwnerGone", false, "opened"},
                                           LockCase{"OwnerAlive", true, "refused"}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace zorv::test
