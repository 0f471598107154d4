#include "readeremulator.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define ZORV_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZORV_ADDRESS_SANITIZER 1
#endif
#endif
#if ZORV_ADDRESS_SANITIZER
#include <sanitizer/allocator_interface.h>
#endif

namespace zorv::emulator {

namespace {
constexpr char CR = '\r';

bool isPortLetter(char c) { return c == 'A' || c == 'B' || c == 'C'; }
bool isPin(char c) { return c >= '0' && c <= '7'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

const QByteArray kWaiting("WAITING");
const QByteArray kWaitCard("WAIT CARD");
const QByteArray kWaitAddress("WAIT ADDRESS");
const QByteArray kNoCard("NO CARD");
} // namespace

ReaderEmulator::ReaderEmulator(QObject *parent) : QObject(parent)
{
    clearSlots();
    m_config = QByteArray(4, char(255)) + 'M';
    m_gtap = {"PORT A 00000000", "PORT B 00000000", "PORT C 00000000"};
}

ReaderEmulator::~ReaderEmulator()
{
    unplug();
}

bool ReaderEmulator::start(QString *error)
{
    if (m_master >= 0)
        return true;
    char name[256] = {};
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    // Raw line in both directions: no echo, no CR/LF translation, every byte as it is.
    termios tio {};
    ::tcgetattr(slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slave, TCSANOW, &tio);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    m_master = master;
    // The slave stays open here too, so the master never sees a hang-up while the program
    // side has its port closed.
    m_slave = slave;
    m_slavePath = QString::fromLocal8Bit(name);
    m_notifier = std::make_unique<QSocketNotifier>(master, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &ReaderEmulator::onReadable);

    // A client's exclusive lock (TIOCEXCL) stays on a pseudo-terminal as long as any side
    // is open, so a client killed while holding it would lock the next one out. A serial
    // device drops it at its last close; so does the emulator, by watching the closes.
    m_clients = 0;
    m_watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch >= 0 && ::inotify_add_watch(m_watch, name, IN_OPEN | IN_CLOSE) >= 0) {
        m_watchNotifier = std::make_unique<QSocketNotifier>(m_watch, QSocketNotifier::Read);
        connect(m_watchNotifier.get(), &QSocketNotifier::activated, this, &ReaderEmulator::onClientsChanged);
    } else if (m_watch >= 0) {
        ::close(m_watch);
        m_watch = -1;
    }
    return true;
}

void ReaderEmulator::onClientsChanged()
{
    alignas(inotify_event) char buf[4096];
    bool closed = false;
    for (;;) {
        const ssize_t n = ::read(m_watch, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        for (ssize_t off = 0; off < n;) {
            const auto *e = reinterpret_cast<const inotify_event *>(buf + off);
            if (e->mask & IN_OPEN)
                ++m_clients;
            if (e->mask & IN_CLOSE) {
                --m_clients;
                closed = true;
            }
            if (e->mask & IN_Q_OVERFLOW) {
                // Count lost: the next close lifts the lock.
                m_clients = 0;
            }
            off += ssize_t(sizeof(inotify_event)) + e->len;
        }
    }
    if (closed && m_clients <= 0) {
        m_clients = 0;
        if (m_slave >= 0)
            ::ioctl(m_slave, TIOCNXCL);
    }
}

bool ReaderEmulator::linkComPort(const QString &configHome, int n, QString *error)
{
    const QString dir = configHome + QStringLiteral("/zorv900");
    QDir().mkpath(dir);
    const QString link = dir + QStringLiteral("/com%1").arg(n);
    if (QFileInfo(link).isSymLink() || QFileInfo::exists(link))
        QFile::remove(link);
    if (!QFile::link(m_slavePath, link)) {
        if (error)
            *error = QStringLiteral("cannot link %1 to %2").arg(link, m_slavePath);
        return false;
    }
    return true;
}

bool ReaderEmulator::recordTo(const QString &file, QString *error)
{
    auto f = std::make_unique<QFile>(file);
    if (!f->open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error)
            *error = f->errorString();
        return false;
    }
    m_record = std::move(f);
    return true;
}

void ReaderEmulator::setReply(const QString &key, const QByteArray &reply) { m_replies.insert(key, reply); }
void ReaderEmulator::clearReply(const QString &key) { m_replies.remove(key); }
void ReaderEmulator::setDelay(const QString &key, int ms) { m_delays.insert(key, ms); }

void ReaderEmulator::withhold(const QString &key, bool on)
{
    if (on)
        m_withheld.insert(key);
    else
        m_withheld.remove(key);
}

void ReaderEmulator::resetReplies()
{
    m_replies.clear();
    m_delays.clear();
    m_withheld.clear();
}

void ReaderEmulator::setSlot(int index, const QByteArray &code, char relay)
{
    if (index < 0 || index >= m_slots.size())
        return;
    m_slots[index] = {code, relay};
}

void ReaderEmulator::clearSlots()
{
    m_slots = QList<Slot>(10);
}

void ReaderEmulator::setConfig(const QByteArray &fiveBytes)
{
    m_config = fiveBytes.left(5);
    while (m_config.size() < 5)
        m_config.append(char(255));
}

void ReaderEmulator::presentLine(const QByteArray &text)
{
    writeOut(text + CR);
}

qint64 ReaderEmulator::sendRaw(const QByteArray &bytes)
{
    return writeOut(bytes);
}

bool ReaderEmulator::feed(const QByteArray &bytes, int stallMs) const
{
    const int fd = m_master;
    qsizetype done = 0;
    while (done < bytes.size()) {
        if (fd < 0)
            return false;
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        pollfd p {fd, POLLOUT, 0};
        if (::poll(&p, 1, stallMs) <= 0)
            return false;
    }
    return true;
}

void ReaderEmulator::unplug()
{
    ++m_generation;
    m_notifier.reset();
    m_watchNotifier.reset();
    if (m_watch >= 0)
        ::close(m_watch);
    m_watch = -1;
    m_clients = 0;
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = -1;
    m_slave = -1;
}

qint64 ReaderEmulator::writeOut(const QByteArray &bytes)
{
    if (m_master < 0)
        return 0;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // terminal full or gone: the bytes are lost, as on a line nobody reads
        done += n;
    }
    return done;
}

void ReaderEmulator::onReadable()
{
    char buf[512];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            const QByteArray bytes(buf, int(n));
            m_received += bytes;
            if (m_record) {
                m_record->write(bytes);
                m_record->flush();
            }
            m_pending += bytes;
            emit bytesReceived(bytes);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // End of the terminal: stop listening rather than wake up for ever.
        m_notifier.reset();
        break;
    }
    parse();
}

void ReaderEmulator::parse()
{
    while (!m_pending.isEmpty() && m_master >= 0) {
        const char first = m_pending.at(0);
        qsizetype used = 0;
        QByteArray frame;
        const bool portShape = isPortLetter(first) && m_pending.size() >= 2 && isPin(m_pending.at(1));
        const bool buzzer = m_pending.startsWith("BZ");
        if (m_pending.size() == 1 && isPortLetter(first))
            return; // a port frame or the buzzer: wait for the next byte
        if (portShape || buzzer) {
            // Fixed length: the raw byte inside may be 13 itself.
            if (m_pending.size() < 5)
                return;
            frame = m_pending.left(4);
            used = 5;
            if (m_pending.at(4) != CR) {
                const qsizetype cr = m_pending.indexOf(CR, 4);
                if (cr < 0)
                    return;
                frame = m_pending.left(cr);
                used = cr + 1;
            }
        } else {
            const qsizetype cr = m_pending.indexOf(CR);
            if (cr < 0)
                return;
            frame = m_pending.left(cr);
            used = cr + 1;
        }
        m_pending.remove(0, used);
        m_frames.append(frame);
        emit frameReceived(frame);
        handle(frame);
    }
}

QByteArray ReaderEmulator::slotLine(int index) const
{
    const Slot s = m_slots.value(index);
    if (s.code.isEmpty())
        return kNoCard;
    return s.code + s.relay;
}

QByteArray ReaderEmulator::replyFor(const QString &key, const QByteArray &computed) const
{
    return m_replies.contains(key) ? m_replies.value(key) : computed;
}

void ReaderEmulator::answer(const QString &key, const QByteArray &computed, int extraDelayMs)
{
    if (m_withheld.contains(key))
        return;
    const QByteArray line = replyFor(key, computed) + CR;
    const int delay = m_delays.value(key, 0) + extraDelayMs;
    if (delay <= 0) {
        writeOut(line);
        return;
    }
    const quint64 generation = m_generation;
    QTimer::singleShot(delay, Qt::PreciseTimer, this, [this, line, generation] {
        if (generation == m_generation)
            writeOut(line);
    });
}

void ReaderEmulator::handle(const QByteArray &frame)
{
    // The second phase of a command takes its payload when the payload has its shape;
    // anything else is read as a new command.
    const Expect expect = m_expect;
    m_expect = Expect::Command;
    switch (expect) {
    case Expect::StorPayload:
        if (frame.size() == 4 && isPortLetter(frame.at(0)) && isPin(frame.at(1))) {
            m_config.replace(0, 4, frame);
            answer(QStringLiteral("STOR2"), "OK");
            return;
        }
        break;
    case Expect::StocPayload:
        if (frame.size() == 14 && isDigit(frame.at(0))) {
            setSlot(frame.at(0) - '0', frame.mid(1, 12), frame.at(13));
            answer(QStringLiteral("STOC2"), "OK");
            return;
        }
        break;
    case Expect::DecaPayload:
        if (frame.size() == 1 && isDigit(frame.at(0))) {
            setSlot(frame.at(0) - '0', {}, '0');
            answer(QStringLiteral("DECA2"), "OK");
            return;
        }
        break;
    case Expect::RdcaPayload:
        if (frame.size() == 1 && isDigit(frame.at(0))) {
            answer(QStringLiteral("RDCA2"), slotLine(frame.at(0) - '0'));
            return;
        }
        break;
    case Expect::Command:
        break;
    }

    auto prompt = [&](const QString &key, const QByteArray &text, Expect next) {
        answer(key, text);
        // Only the real prompt opens the second phase.
        if (!m_withheld.contains(key) && replyFor(key, text) == text)
            m_expect = next;
    };

    if (frame == "INIT") {
        answer(QStringLiteral("INIT"), "OK");
    } else if (frame == "STMA") {
        m_config[4] = 'M';
        answer(QStringLiteral("STMA"), "OK");
    } else if (frame == "STAU") {
        m_config[4] = 'A';
        answer(QStringLiteral("STAU"), "OK");
    } else if (frame == "SETB") {
        answer(QStringLiteral("SETB"), "OK");
    } else if (frame == "DEAR") {
        clearSlots();
        answer(QStringLiteral("DEAR"), "OK");
    } else if (frame == "ERAS") {
        m_config.replace(0, 4, QByteArray(4, char(255)));
        answer(QStringLiteral("ERAS"), "OK");
    } else if (frame == "STOR") {
        prompt(QStringLiteral("STOR"), kWaiting, Expect::StorPayload);
    } else if (frame == "STOC") {
        prompt(QStringLiteral("STOC"), kWaitCard, Expect::StocPayload);
    } else if (frame == "DECA") {
        prompt(QStringLiteral("DECA"), kWaitAddress, Expect::DecaPayload);
    } else if (frame == "RDCA") {
        prompt(QStringLiteral("RDCA"), kWaitAddress, Expect::RdcaPayload);
    } else if (frame == "RDAR") {
        if (m_withheld.contains(QStringLiteral("RDAR")))
            return;
        const int first = m_delays.value(QStringLiteral("RDAR"), 0);
        const int between = m_delays.value(QStringLiteral("RDARLINE"), 0);
        for (int i = 0; i < 10; ++i) {
            const QString key = QStringLiteral("RDAR");
            const QByteArray line = replyFor(key, slotLine(i)) + CR;
            const int delay = first + i * between;
            const quint64 generation = m_generation;
            if (delay <= 0) {
                writeOut(line);
                continue;
            }
            QTimer::singleShot(delay, Qt::PreciseTimer, this, [this, line, generation] {
                if (generation == m_generation)
                    writeOut(line);
            });
        }
    } else if (frame == "GETC") {
        answer(QStringLiteral("GETC"), m_config);
    } else if (frame == "GTAP") {
        if (m_withheld.contains(QStringLiteral("GTAP")))
            return;
        const int delay = m_delays.value(QStringLiteral("GTAP"), 0);
        for (int i = 0; i < m_gtap.size(); ++i) {
            const QByteArray line = m_gtap.at(i) + CR;
            const quint64 generation = m_generation;
            if (delay <= 0) {
                writeOut(line);
                continue;
            }
            QTimer::singleShot(delay * (i + 1), Qt::PreciseTimer, this, [this, line, generation] {
                if (generation == m_generation)
                    writeOut(line);
            });
        }
    } else if (frame.startsWith("BZ")) {
        // The buzzer never answers.
    } else if (frame.size() == 4 && isPortLetter(frame.at(0)) && isPin(frame.at(1))) {
        const bool relay = (frame.startsWith("C0") || frame.startsWith("B3")) && frame.at(3) == '1';
        answer(relay ? QStringLiteral("RELAY") : QStringLiteral("PORT"), "OK");
    } else {
        answer(QStringLiteral("UNKNOWN"), "ERROR");
    }
}

QByteArray noiseWithoutCr(qsizetype size)
{
    QByteArray noise;
    noise.reserve(size);
    for (int i = 0; noise.size() < size; ++i) {
        if (char(i) != CR)
            noise.append(char(i));
    }
    return noise;
}

qint64 residentKiB()
{
#if ZORV_ADDRESS_SANITIZER
    // Freed blocks are held back on purpose there, so resident memory says nothing about
    // what the program keeps; the heap in use does.
    return qint64(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
#endif
}

} // namespace zorv::emulator
