#include "pulsesound.h"

#include "items.h"
#include "wavefile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QTimer>

#include <pulse/pulseaudio.h>

namespace zorv {

namespace {
constexpr int kMarginMs = 1500;
constexpr int kLongestLimitMs = 60000;
constexpr qint64 kLargestFile = 64 * 1024 * 1024;
// How far the server runs ahead of the speaker: small, so the drain that ends a sound
// comes soon after its last sample is heard.
constexpr pa_usec_t kAheadUsec = 100 * 1000;

void later(std::function<void()> done)
{
    if (done)
        QTimer::singleShot(0, QCoreApplication::instance(), std::move(done));
}

pa_sample_format_t formatOf(Wave::Sample sample)
{
    switch (sample) {
    case Wave::Sample::U8: return PA_SAMPLE_U8;
    case Wave::Sample::S16: return PA_SAMPLE_S16LE;
    case Wave::Sample::S24: return PA_SAMPLE_S24LE;
    case Wave::Sample::S32: return PA_SAMPLE_S32LE;
    case Wave::Sample::Float32: return PA_SAMPLE_FLOAT32LE;
    case Wave::Sample::ALaw: return PA_SAMPLE_ALAW;
    case Wave::Sample::ULaw: return PA_SAMPLE_ULAW;
    }
    return PA_SAMPLE_INVALID;
}

// One sound on its way to the server.
struct Stream {
    PulseSound::Server *server = nullptr;
    quint64 id = 0;
    QByteArray path;
    QByteArray name;
    Wave wave;
    qsizetype written = 0;
    pa_stream *pa = nullptr;
    pa_operation *drain = nullptr;
};
} // namespace

// Everything here runs with the main loop's lock held: in the library's callbacks (its
// thread holds the lock while it dispatches) or between lock() and unlock() on the Qt side.
// An ended sound is handed to the Qt side as a queued call.
struct PulseSound::Server {
    explicit Server(PulseSound *owner) : owner(owner) {}

    PulseSound *const owner;
    pa_threaded_mainloop *loop = nullptr;
    pa_context *context = nullptr;
    QList<Stream *> streams;

    bool start()
    {
        if (loop)
            return true;
        loop = pa_threaded_mainloop_new();
        if (!loop)
            return false;
        if (pa_threaded_mainloop_start(loop) < 0) {
            pa_threaded_mainloop_free(loop);
            loop = nullptr;
            return false;
        }
        return true;
    }

    void stop()
    {
        if (!loop)
            return;
        pa_threaded_mainloop_lock(loop);
        while (!streams.isEmpty())
            drop(streams.first());
        dropContext();
        pa_threaded_mainloop_unlock(loop);
        pa_threaded_mainloop_stop(loop);
        pa_threaded_mainloop_free(loop);
        loop = nullptr;
    }

    void lock() { pa_threaded_mainloop_lock(loop); }
    void unlock() { pa_threaded_mainloop_unlock(loop); }

    void report(quint64 id)
    {
        PulseSound *o = owner;
        QMetaObject::invokeMethod(o, [o, id] { o->ended(id); }, Qt::QueuedConnection);
    }

    void add(Stream *s)
    {
        ensureContext();
        if (!context) {
            report(s->id);
            delete s;
            return;
        }
        streams.append(s);
        if (pa_context_get_state(context) == PA_CONTEXT_READY)
            connect(s);
        // Otherwise the context's readiness connects it.
    }

    void cancel(quint64 id)
    {
        for (Stream *s : std::as_const(streams)) {
            if (s->id == id) {
                drop(s);
                return;
            }
        }
    }

    // A connection to a server that has gone (killed, restarted) is not good any more:
    // the next sound opens a new one.
    void ensureContext()
    {
        if (context && PA_CONTEXT_IS_GOOD(pa_context_get_state(context)))
            return;
        dropContext();
        QByteArray app = QCoreApplication::applicationName().toUtf8();
        if (app.isEmpty())
            app = "zorv900";
        pa_proplist *props = pa_proplist_new();
        pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, app.constData());
        context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop), app.constData(), props);
        pa_proplist_free(props);
        if (!context)
            return;
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0) {
            dropContext();
            return;
        }
        pa_context_set_state_callback(context, &Server::onContextState, this);
    }

    void dropContext()
    {
        while (!streams.isEmpty())
            finish(streams.first());
        if (!context)
            return;
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
        context = nullptr;
    }

    void connect(Stream *s)
    {
        const pa_sample_spec spec{formatOf(s->wave.sample), uint32_t(s->wave.rate), uint8_t(s->wave.channels)};
        if (!pa_sample_spec_valid(&spec)) {
            finish(s);
            return;
        }
        pa_channel_map map;
        pa_channel_map_init_extend(&map, spec.channels, PA_CHANNEL_MAP_WAVEEX);
        pa_proplist *props = pa_proplist_new();
        pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "event");
        pa_proplist_sets(props, PA_PROP_MEDIA_FILENAME, s->path.constData());
        s->pa = pa_stream_new_with_proplist(context, s->name.constData(), &spec, &map, props);
        pa_proplist_free(props);
        if (!s->pa) {
            finish(s);
            return;
        }
        pa_buffer_attr attr;
        attr.maxlength = uint32_t(-1);
        attr.tlength = uint32_t(pa_usec_to_bytes(kAheadUsec, &spec));
        attr.prebuf = uint32_t(-1);
        attr.minreq = uint32_t(-1);
        attr.fragsize = uint32_t(-1);
        pa_stream_set_write_callback(s->pa, &Server::onWrite, s);
        if (pa_stream_connect_playback(s->pa, nullptr, &attr, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0) {
            finish(s);
            return;
        }
        pa_stream_set_state_callback(s->pa, &Server::onStreamState, s);
    }

    void finish(Stream *s)
    {
        report(s->id);
        drop(s);
    }

    void drop(Stream *s)
    {
        streams.removeOne(s);
        if (s->drain) {
            pa_operation_cancel(s->drain);
            pa_operation_unref(s->drain);
        }
        if (s->pa) {
            pa_stream_set_state_callback(s->pa, nullptr, nullptr);
            pa_stream_set_write_callback(s->pa, nullptr, nullptr);
            // Also one still being set up: unreferenced only, the context would keep it.
            if (PA_STREAM_IS_GOOD(pa_stream_get_state(s->pa)) && context
                && pa_context_get_state(context) == PA_CONTEXT_READY)
                pa_stream_disconnect(s->pa);
            pa_stream_unref(s->pa);
        }
        delete s;
    }

    static void onContextState(pa_context *c, void *data)
    {
        auto *self = static_cast<Server *>(data);
        if (c != self->context)
            return;
        switch (pa_context_get_state(c)) {
        case PA_CONTEXT_READY:
            for (Stream *s : QList<Stream *>(self->streams)) {
                if (!s->pa)
                    self->connect(s);
            }
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            self->dropContext(); // its sounds end now, not at their limit
            break;
        default:
            break;
        }
    }

    static void onStreamState(pa_stream *p, void *data)
    {
        auto *s = static_cast<Stream *>(data);
        const pa_stream_state_t state = pa_stream_get_state(p);
        if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED)
            s->server->finish(s);
    }

    // The whole sound goes to the server as it asks for it; the drain that follows ends
    // once the server has played it out, so nothing of its end is cut.
    static void onWrite(pa_stream *p, size_t bytes, void *data)
    {
        auto *s = static_cast<Stream *>(data);
        const qsizetype left = s->wave.frames.size() - s->written;
        const qsizetype n = qMin(qsizetype(bytes), left);
        if (n > 0) {
            const char *from = s->wave.frames.constData() + s->written;
            if (pa_stream_write(p, from, size_t(n), nullptr, 0, PA_SEEK_RELATIVE) < 0) {
                s->server->finish(s);
                return;
            }
            s->written += n;
        }
        if (s->written == s->wave.frames.size() && !s->drain) {
            s->drain = pa_stream_drain(p, &Server::onDrained, s);
            if (!s->drain)
                s->server->finish(s);
        }
    }

    static void onDrained(pa_stream *, int, void *data)
    {
        auto *s = static_cast<Stream *>(data);
        pa_operation_unref(s->drain);
        s->drain = nullptr;
        s->server->finish(s);
    }
};

PulseSound::PulseSound(QObject *parent) : QObject(parent), m_server(std::make_unique<Server>(this)) {}

PulseSound::~PulseSound()
{
    // No callback of the library's thread comes after this.
    m_server->stop();
}

int PulseSound::limitMs(qint64 soundMs)
{
    return int(qBound(qint64(kMarginMs), soundMs + kMarginMs, qint64(kLongestLimitMs)));
}

void PulseSound::play(const QString &file, std::function<void()> done)
{
    const QString logPath = qEnvironmentVariable("ZORV900_SOUND_LOG");
    if (!logPath.isEmpty()) {
        items::appendToFile(logPath, QFile::encodeName(QFileInfo(file).fileName()) + '\n');
        later(std::move(done));
        return;
    }
    const QFileInfo info(file);
    QFile f(info.absoluteFilePath());
    if (!info.isFile() || info.size() > kLargestFile || !f.open(QIODevice::ReadOnly)) {
        later(std::move(done));
        return;
    }
    std::optional<Wave> wave = readWave(f.readAll());
    f.close();
    if (!wave || !m_server->start()) {
        later(std::move(done));
        return;
    }

    const quint64 id = ++m_lastId;
    auto *limit = new QTimer(this);
    limit->setSingleShot(true);
    QObject::connect(limit, &QTimer::timeout, this, [this, id] { timedOut(id); });
    limit->start(limitMs(wave->durationMs()));
    m_requests.insert(id, Request{std::move(done), limit});

    auto *s = new Stream;
    s->server = m_server.get();
    s->id = id;
    s->path = QFile::encodeName(info.absoluteFilePath());
    s->name = info.fileName().toUtf8();
    s->wave = std::move(*wave);
    m_server->lock();
    m_server->add(s);
    m_server->unlock();
}

void PulseSound::timedOut(quint64 id)
{
    m_server->lock();
    m_server->cancel(id);
    m_server->unlock();
    ended(id);
}

void PulseSound::ended(quint64 id)
{
    const auto it = m_requests.find(id);
    if (it == m_requests.end())
        return;
    std::function<void()> done = std::move(it->done);
    it->limit->stop();
    it->limit->deleteLater();
    m_requests.erase(it);
    if (done)
        done();
}

} // namespace zorv
