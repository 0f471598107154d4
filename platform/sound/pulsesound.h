#pragma once

#include "sound.h"

#include <QHash>
#include <QObject>

#include <memory>

class QTimer;

namespace zorv {

// The real player: plays wave files on the sound server (PulseAudio, or PipeWire's
// PulseAudio service) and reports on the Qt event loop. Each sound is a stream of its own,
// written whole and drained, so `done` comes once the server has played it to its end. A
// sound that cannot play (no server, a server gone, a missing file or one that is not a
// playable wave) plays nothing and is done at once; a server that comes back is used again
// by the next sound. A safety limit drawn from the sound's length ends a sound that a stuck
// device holds up.
//
// When the environment variable ZORV900_SOUND_LOG names a file, nothing is played:
// the file name of each sound (without its folder) is appended there as one line.
class PulseSound : public QObject, public Sound {
    Q_OBJECT
public:
    explicit PulseSound(QObject *parent = nullptr);
    ~PulseSound() override;

    void play(const QString &file, std::function<void()> done) override;

    // The longest a sound of `soundMs` may hold up its caller.
    static int limitMs(qint64 soundMs);

    struct Server; // the sound server's side, run on the client library's own thread

private:
    struct Request {
        std::function<void()> done;
        QTimer *limit = nullptr;
    };
    void ended(quint64 id);
    void timedOut(quint64 id);

    std::unique_ptr<Server> m_server;
    QHash<quint64, Request> m_requests;
    quint64 m_lastId = 0;

    friend struct Server;
};

} // namespace zorv
