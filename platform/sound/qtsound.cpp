#include "qtsound.h"

#include "items.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

namespace zorv {

namespace {
constexpr int kFallbackLimitMs = 10000;
constexpr int kMarginMs = 1500;
constexpr int kLongestLimitMs = 60000;

void later(std::function<void()> done)
{
    if (done)
        QTimer::singleShot(0, QCoreApplication::instance(), std::move(done));
}
} // namespace

// One request: finishes once, by the end of the sound, an error or the limit.
struct QtSound::Playing {
    std::function<void()> done;
    std::function<void()> finish;
    QTimer limit;
    QList<QMetaObject::Connection> connections;
    bool started = false;
};

QtSound::QtSound(QObject *parent) : QObject(parent) {}

QtSound::~QtSound()
{
    for (Playing *p : std::as_const(m_playing)) {
        for (const auto &c : std::as_const(p->connections))
            disconnect(c);
        delete p;
    }
}

int QtSound::limitMs(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return kFallbackLimitMs;
    const QByteArray head = f.read(44);
    if (head.size() < 44 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return kFallbackLimitMs;
    const quint32 byteRate = qFromLittleEndian<quint32>(head.constData() + 28);
    if (byteRate == 0)
        return kFallbackLimitMs;
    const qint64 ms = (f.size() - head.size()) * 1000 / byteRate + kMarginMs;
    return int(qBound(qint64(kMarginMs), ms, qint64(kLongestLimitMs)));
}

QSoundEffect *QtSound::effectFor(const QString &path)
{
    if (QSoundEffect *effect = m_effects.value(path))
        return effect;
    auto *effect = new QSoundEffect(this);
    effect->setSource(QUrl::fromLocalFile(path));
    m_effects.insert(path, effect);
    return effect;
}

void QtSound::play(const QString &file, std::function<void()> done)
{
    const QString logPath = qEnvironmentVariable("ZORV900_SOUND_LOG");
    if (!logPath.isEmpty()) {
        items::appendToFile(logPath, QFile::encodeName(QFileInfo(file).fileName()) + '\n');
        later(std::move(done));
        return;
    }
    const QFileInfo info(file);
    if (!info.isFile()) {
        later(std::move(done));
        return;
    }
    QSoundEffect *effect = effectFor(info.absoluteFilePath());
    // A new sound on a busy effect ends the earlier request first.
    if (Playing *earlier = m_playing.value(effect)) {
        earlier->finish();
    }

    auto *playing = new Playing;
    playing->done = std::move(done);
    m_playing.insert(effect, playing);

    auto finish = [this, effect, playing] {
        if (m_playing.value(effect) != playing)
            return;
        m_playing.remove(effect);
        for (const auto &c : std::as_const(playing->connections))
            disconnect(c);
        playing->limit.stop();
        effect->stop();
        auto done = std::move(playing->done);
        QTimer::singleShot(0, this, [playing] { delete playing; });
        later(std::move(done));
    };
    playing->finish = finish;

    playing->limit.setSingleShot(true);
    playing->connections.append(connect(&playing->limit, &QTimer::timeout, this, finish));
    playing->limit.start(limitMs(info.absoluteFilePath()));

    playing->connections.append(connect(effect, &QSoundEffect::playingChanged, this, [effect, playing, finish] {
        if (effect->isPlaying())
            playing->started = true;
        else if (playing->started)
            finish();
    }));
    playing->connections.append(connect(effect, &QSoundEffect::statusChanged, this, [this, effect, playing, finish] {
        if (effect->status() == QSoundEffect::Error)
            finish();
        else if (effect->status() == QSoundEffect::Ready && !playing->started)
            start(effect, playing);
    }));

    if (effect->status() == QSoundEffect::Error)
        finish();
    else if (effect->status() == QSoundEffect::Ready)
        start(effect, playing);
    // Still loading: statusChanged starts it.
}

void QtSound::start(QSoundEffect *effect, Playing *playing)
{
    if (playing->started)
        return;
    effect->play();
    if (effect->isPlaying())
        playing->started = true;
}

} // namespace zorv
