#include "filelock.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace zorv {

FileLock::FileLock(const QString &path, int timeoutMs)
{
    const QByteArray native = QFile::encodeName(path);
    int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int why = errno;
        // A file that may only be read can still be locked; its write then fails on its own.
        if (why == EACCES || why == EROFS || why == EPERM)
            fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            m_error = QString::fromLocal8Bit(std::strerror(why));
            return;
        }
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    // Short sleeps first: the other holder only rewrites a record.
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            m_fd = fd;
            return;
        }
        const int why = errno;
        if (why == EINTR)
            continue;
        if (why != EWOULDBLOCK) {
            m_error = QString::fromLocal8Bit(std::strerror(why));
            break;
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            m_error = QStringLiteral("%1 e' in uso da un altro programma (oltre %2 secondi di attesa)")
                          .arg(QFileInfo(path).fileName())
                          .arg(timeoutMs / 1000.0);
            break;
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
    ::close(fd);
}

FileLock::~FileLock()
{
    // Closing the only descriptor of this opening releases the lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace zorv
