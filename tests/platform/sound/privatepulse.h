#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace zorv::test {

// A PulseAudio server of the test's own: its own runtime folder, socket, home and state,
// no session bus, one null sink, nothing else loaded; never the machine's or the user's
// daemon. While it lives, this process's sound clients (PULSE_SERVER) go to its socket,
// whether the server runs or not, so a stopped server is a server that is not there.
// Stopped when it goes out of scope, and by the kernel if the test dies first.
class PrivatePulse {
public:
    PrivatePulse();
    ~PrivatePulse();
    PrivatePulse(const PrivatePulse &) = delete;
    PrivatePulse &operator=(const PrivatePulse &) = delete;

    // Empty when pulseaudio and parec are installed; else what is missing, for a skip.
    static QString missing();

    bool start();  // true once it takes connections
    void kill();   // gone at once, as when it crashes or is killed
    QString errors() const { return m_errors; }
    QString server() const;
    QString monitor() const { return QStringLiteral("zorvtest.monitor"); }
    QProcessEnvironment environment() const;

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_errors;
    QByteArray m_savedServer;
    bool m_hadServer = false;
};

// Records the private server's sink, as a listener at the speaker would hear it.
class MonitorRecording {
public:
    explicit MonitorRecording(const PrivatePulse &pulse);
    ~MonitorRecording();

    bool start(); // true once sound (silence too) comes in; takes a second or two

    // The stretches heard since the last call (or the start), in ms of recorded sound,
    // after a last `tailMs` so that what the server still holds comes in too.
    QList<int> heardSinceLast(int tailMs = 400);

    static constexpr int kRate = 16000;

private:
    QList<int> heard(qsizetype from) const;

    const PrivatePulse &m_pulse;
    QProcess m_parec;
    QByteArray m_pcm;
    qsizetype m_taken = 0;
};

} // namespace zorv::test
