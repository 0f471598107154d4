#include "testsupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <csignal>
#include <cerrno>
#include <cstring>

#include <sys/mount.h>
#include <unistd.h>

namespace zorv::test {

TempFolder::TempFolder()
{
    EXPECT_TRUE(m_dir.isValid());
}

void TempFolder::write(const QString &name, const QByteArray &bytes) const
{
    QFile f(file(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << name.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray TempFolder::read(const QString &name) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qWait(5);
    }
    return true;
}

bool activate(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

void whenIdle(std::function<void()> action, int delayMs)
{
    QTimer::singleShot(delayMs, qApp, std::move(action));
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &m_saved);
    m_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_saved;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_handler);
}

void pressTab(QWidget *widget, bool backwards)
{
    const Qt::Key key = backwards ? Qt::Key_Backtab : Qt::Key_Tab;
    const Qt::KeyboardModifiers modifiers = backwards ? Qt::ShiftModifier : Qt::NoModifier;
    QKeyEvent press(QEvent::KeyPress, key, modifiers, QStringLiteral("\t"));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, QStringLiteral("\t"));
    QApplication::sendEvent(widget, &release);
}

QStringList tabChain(QWidget *window, int presses, bool backwards)
{
    QStringList names;
    for (int i = 0; i < presses; ++i) {
        QWidget *focused = window->focusWidget();
        if (!focused)
            break;
        pressTab(focused, backwards);
        names.append(window->focusWidget() ? window->focusWidget()->objectName() : QString());
    }
    return names;
}

OtherProgram::OtherProgram(const QStringList &arguments)
{
    m_process.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/sharedwriter"));
    m_process.setArguments(arguments);
    m_process.start();
}

OtherProgram::~OtherProgram()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool OtherProgram::waitReady(int timeoutMs)
{
    if (!m_process.waitForStarted(timeoutMs))
        return false;
    QDeadlineTimer deadline(timeoutMs);
    while (!m_process.canReadLine()) {
        if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime())))
            return m_process.canReadLine() && m_process.readLine() == "pronto\n";
    }
    return m_process.readLine() == "pronto\n";
}

void OtherProgram::go()
{
    m_process.write("via\n");
    m_process.waitForBytesWritten(5000);
}

bool OtherProgram::finishedWell(int timeoutMs)
{
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(timeoutMs))
        return false;
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

QString OtherProgram::errors()
{
    return QString::fromLocal8Bit(m_process.readAllStandardError());
}

SmallDisk::SmallDisk(int kilobytes)
{
    if (::geteuid() != 0) {
        m_whyNot = QStringLiteral("not running as root, so no tmpfs can be mounted");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
    if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                options.constData())
        != 0) {
        m_whyNot = QStringLiteral("mounting a tmpfs is not allowed: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    m_mounted = true;
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

void SmallDisk::fill() const
{
    QFile filler(file(QStringLiteral("riempitivo")));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    // What is left is less than a block: take it too.
    while (filler.write("x", 1) == 1) {
    }
}

} // namespace zorv::test
