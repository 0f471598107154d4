#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

#include <sys/resource.h>

class QWidget;

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

// Tab (or Shift+Tab) on `widget` as a keyboard sends it, with the text "\t" of the key.
void pressTab(QWidget *widget, bool backwards = false);

// Presses Tab (or Shift+Tab) `presses` times in `window`, each on the control that has the
// focus then, and returns the names of the controls that the focus moved to, in order.
QStringList tabChain(QWidget *window, int presses, bool backwards = false);

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
