#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <functional>

#include <sys/resource.h>

namespace zorv::test {

// A fresh folder for one test, removed afterwards.
class TempFolder {
public:
    TempFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    void write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;

private:
    QTemporaryDir m_dir;
};

// Runs the event loop until `done` holds or `timeoutMs` passes; true when it held.
bool waitUntil(const std::function<bool()> &done, int timeoutMs = 5000);

// Runs `action` once the event loop is back, e.g. to answer a modal dialog that the
// test is about to open with exec().
void whenIdle(std::function<void()> action, int delayMs = 0);

// Files may not grow past `bytes` while it lives, as on a full disk (works as root too).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

} // namespace zorv::test
