#pragma once

#include "sound.h"

#include <QHash>
#include <QObject>

class QSoundEffect;

namespace zorv {

// Plays wave files with QSoundEffect: one long-lived effect per file, so a sound that
// repeats is loaded once. `done` comes when the sound has ended, when it cannot be
// played, or at the latest after a safety limit drawn from the file's length, so a
// broken file or a missing audio device never holds up the caller. A missing file
// plays nothing.
//
// When the environment variable ZORV900_SOUND_LOG names a file, nothing is played:
// the file name of each sound (without its folder) is appended there as one line.
class QtSound : public QObject, public Sound {
    Q_OBJECT
public:
    explicit QtSound(QObject *parent = nullptr);
    ~QtSound() override;

    void play(const QString &file, std::function<void()> done) override;

    // The longest a sound may hold up its caller: the length of a PCM wave file from
    // its header plus a margin; a fixed limit when the header tells nothing.
    static int limitMs(const QString &file);

private:
    struct Playing;
    QSoundEffect *effectFor(const QString &path);
    void start(QSoundEffect *effect, Playing *playing);

    QHash<QString, QSoundEffect *> m_effects;
    QHash<QSoundEffect *, Playing *> m_playing;
};

} // namespace zorv
