#pragma once

#include "clock.h"
#include "service.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

#include <sys/resource.h>

class QWidget;

namespace zorv::test {

// The system clock, installed for as long as it lives, as a program's main installs it:
// for tests that run on real time.
class SystemClockInstalled {
private:
    SystemClock m_clock;
    ScopedService<Clock> m_installed{&m_clock};
};

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

// Makes `window` the active window, as a click on it would; true once it is.
bool activate(QWidget *window);

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

// A second program on the same data folder: the test helper `sharedwriter` (built beside
// the tests), started with `arguments`. Stopped when it goes out of scope.
class OtherProgram {
public:
    explicit OtherProgram(const QStringList &arguments);
    ~OtherProgram();
    OtherProgram(const OtherProgram &) = delete;
    OtherProgram &operator=(const OtherProgram &) = delete;

    // True once it says it is ready (for "hold": holds the lock).
    bool waitReady(int timeoutMs = 10000);
    // Lets a ready program start its rounds.
    void go();
    // True when it ended by itself within the time, with exit code 0.
    bool finishedWell(int timeoutMs = 60000);
    QString errors(); // what it wrote to stderr

private:
    QProcess m_process;
};

// A real full disk: a small tmpfs mounted on a fresh folder for one test, unmounted
// afterwards. Mounting needs root; where it is not allowed, isMounted() is false and
// whyNot() says why, for the test's skip message.
class SmallDisk {
public:
    explicit SmallDisk(int kilobytes = 64);
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool isMounted() const { return m_mounted; }
    const QString &whyNot() const { return m_whyNot; }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    // Takes every free block with a filler file, so the next write that needs a new
    // block fails with "No space left on device".
    void fill() const;

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_whyNot;
};

#define ZORV_NEED_SMALL_DISK(disk)                                                                       \
    if (!(disk).isMounted())                                                                             \
    GTEST_SKIP() << "no real full disk here (" << (disk).whyNot().toStdString()                         \
                 << "); the file-size-limit stand-in tests still run"

} // namespace zorv::test
