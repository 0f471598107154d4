#include "emulatorcontrol.h"
#include "emulatorprocess.h"
#include "qtserialport.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zorv;
using zorv::emulator::EmulatorProcess;
using zorv::test::TempFolder;
using zorv::test::waitUntil;

namespace {
// Whether the terminal carries an exclusive lock: 1 or 0 (-1 unknown). Root may open a
// locked terminal, so the lock is asked for; anyone else is refused while it holds.
int exclusiveLock(const QString &pty)
{
    const int fd = ::open(pty.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno == EBUSY ? 1 : -1;
    int locked = -1;
    ::ioctl(fd, TIOCGEXCL, &locked);
    ::close(fd);
    return locked;
}

QByteArray readLine(QtSerialPort &port, int ms = 2000)
{
    QByteArray got;
    waitUntil([&] {
        got += port.readAll();
        return got.endsWith('\r');
    }, ms);
    return got;
}
// The emulator program on COM n of a configuration folder of the test's own.
class EmulatorProgram : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit()); }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", oldHome); }
    void startReader(int com, const QStringList &args = {})
    {
        QString error;
        ASSERT_TRUE(reader.start(home.path(), com, args, &error)) << error.toStdString();
    }

    TempFolder home;
    const QByteArray oldHome = qgetenv("XDG_CONFIG_HOME");
    EmulatorProcess reader;
};
} // namespace

TEST(EmulatorControl, EscapesRoundTrip)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    EXPECT_EQ(emulator::unescape(EmulatorProcess::escape(all)), all);
    EXPECT_EQ(emulator::unescape("A\\rB\\x0d\\\\"), QByteArray("A\rB\r\\"));
}

TEST_F(EmulatorProgram, AnswersPresentsRecordsAndGoesAway)
{
    ASSERT_NO_FATAL_FAILURE(startReader(4, {QStringLiteral("--reply"), QStringLiteral("SETB=NAME SET")}));
    QString error;
    EXPECT_TRUE(reader.ptyPath().startsWith("/dev/pts/"));

    QtSerialPort port;
    ASSERT_TRUE(port.open(4, "9600,n,8,1", &error)) << error.toStdString();
    port.write("INIT\r");
    EXPECT_EQ(readLine(port), "OK\r");
    port.write("SETB\r");
    EXPECT_EQ(readLine(port), "NAME SET\r");

    ASSERT_TRUE(reader.setReply("INIT", "A\nB"));
    port.write("INIT\r");
    EXPECT_EQ(readLine(port), "A\nB\r");

    ASSERT_TRUE(reader.setSlot(2, "12345678 012", '1'));
    port.write("RDCA\r");
    EXPECT_EQ(readLine(port), "WAIT ADDRESS\r");
    port.write("1\r");
    EXPECT_EQ(readLine(port), "12345678 0121\r");

    ASSERT_TRUE(reader.setConfig(QByteArray("C0\x32" "1M")));
    port.write("GETC\r");
    EXPECT_EQ(readLine(port), QByteArray("C0\x32" "1M\r"));
    port.write("BZ|2\r");
    port.write("ERAS\r");
    EXPECT_EQ(readLine(port), "OK\r"); // nothing came for the buzzer
    port.write("GETC\r");
    EXPECT_EQ(readLine(port), QByteArray(4, char(255)) + "M\r");

    ASSERT_TRUE(reader.present("987654321098"));
    EXPECT_EQ(readLine(port), "987654321098\r");

    ASSERT_TRUE(reader.setDelay("STMA", 300));
    QElapsedTimer t;
    t.start();
    port.write("STMA\r");
    EXPECT_EQ(readLine(port), "OK\r");
    EXPECT_GE(t.elapsed(), 250);

    ASSERT_TRUE(reader.withhold("STAU"));
    port.write("STAU\r");
    EXPECT_EQ(readLine(port, 400), "");

    EXPECT_EQ(reader.received(), QByteArray("INIT\rSETB\rINIT\rRDCA\r1\rGETC\rBZ|2\rERAS\rGETC\rSTMA\rSTAU\r"));

    QSignalSpy failed(&port, &SerialPort::failed);
    reader.stop();
    ASSERT_TRUE(waitUntil([&] { return !port.isOpen(); }, 3000));
    QTest::qWait(200);
    EXPECT_EQ(failed.count(), 1);
}

TEST_F(EmulatorProgram, AClientKilledWhileHoldingThePortDoesNotLockOutTheNext)
{
    ASSERT_NO_FATAL_FAILURE(startReader(5));
    QString error;

    // A program that has the port open (and locked) and is killed.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QtSerialPort port;
        if (!port.open(5, "9600,n,8,1"))
            ::_exit(3);
        ::raise(SIGKILL);
        ::_exit(4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the client could not open the port: " << WEXITSTATUS(status);

    EXPECT_TRUE(waitUntil([&] { return exclusiveLock(reader.ptyPath()) == 0; }, 3000))
        << "the dead client's lock is still on the terminal";

    QtSerialPort port;
    ASSERT_TRUE(port.open(5, "9600,n,8,1", &error)) << error.toStdString();
    port.write("INIT\r");
    EXPECT_EQ(readLine(port), "OK\r");
    // A live client keeps its lock, however often others look at the terminal.
    QTest::qWait(100);
    EXPECT_EQ(exclusiveLock(reader.ptyPath()), 1);
    EXPECT_EQ(exclusiveLock(reader.ptyPath()), 1);

    port.close();
    EXPECT_TRUE(waitUntil([&] { return exclusiveLock(reader.ptyPath()) == 0; }, 3000));
}
