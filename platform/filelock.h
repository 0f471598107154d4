#pragma once

#include <QString>

namespace zorv {

// An exclusive lock on a shared data file (CLIENTI.DAT, ART.MAG), held by every program
// from the read of a record to its rewrite, so two programs on one data folder never
// lose each other's change. It is a flock() lock, owned by this lock's own opening of the
// file: Qt opening and closing other descriptors of the same file never drops it.
// Lock only files that are written in place: a file replaced by rename would leave the
// lock on the old one.
class FileLock {
public:
    static constexpr int kTimeoutMs = 3000;

    // Waits at most `timeoutMs` for the lock, sleeping between tries. A missing file is
    // created empty, as the opening of a data file does.
    explicit FileLock(const QString &path, int timeoutMs = kTimeoutMs);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    bool isLocked() const { return m_fd >= 0; }
    explicit operator bool() const { return isLocked(); }
    // Why the lock is not held: the file cannot be opened, or another program kept it
    // locked past the timeout. Empty while locked.
    const QString &error() const { return m_error; }

private:
    int m_fd = -1;
    QString m_error;
};

} // namespace zorv
