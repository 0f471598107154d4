#pragma once

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QSocketNotifier>
#include <QString>
#include <QStringList>

#include <memory>

namespace zorv::emulator {

// A Zorv900 reader played on a pseudo-terminal, in this process. The program side opens
// the terminal's slave device (slavePath(), or COM n after linkComPort()), the emulator
// answers on the master side from the event loop.
//
// Reply keys (setReply, setDelay, withhold):
//   INIT STMA STAU SETB DEAR ERAS  the one-line replies (default "OK")
//   STOR STOC DECA RDCA            the phase-1 prompts ("WAITING", "WAIT CARD",
//                                  "WAIT ADDRESS", "WAIT ADDRESS")
//   STOR2 STOC2 DECA2              the phase-2 replies (default "OK")
//   RDCA2                          the slot read back (default: the slot's content)
//   GETC                           the five configuration bytes (default: the stored ones)
//   RDAR                           each of the ten slot lines; the delay is before the first
//   RDARLINE                       delay only: between two slot lines
//   GTAP                           the port status lines (setGtapLines); delay before each
//   RELAY                          the reply to a relay frame "C0"/"B3" (default "OK")
//   PORT                           the reply to any other bare port frame (default "OK")
//   UNKNOWN                        the reply to anything else (default "ERROR")
// A set reply replaces the computed one; a delay (ms) holds the reply back; a withheld
// key is never answered. The buzzer frame "BZ" is never answered.
class ReaderEmulator : public QObject {
    Q_OBJECT
public:
    struct Slot {
        QByteArray code; // 12 characters; empty = no card
        char relay = '0';
    };

    explicit ReaderEmulator(QObject *parent = nullptr);
    ~ReaderEmulator() override;

    // Opens the pseudo-terminal; false with the reason when that fails.
    bool start(QString *error = nullptr);
    bool isRunning() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }

    // Makes <configHome>/zorv900/com<n> a link to the terminal (replacing an old one).
    bool linkComPort(const QString &configHome, int n, QString *error = nullptr);

    // Every byte received, in order; optionally also appended to a file as it comes.
    QByteArray received() const { return m_received; }
    void clearReceived() { m_received.clear(); }
    bool recordTo(const QString &file, QString *error = nullptr);
    // The frames received so far, each without its CR.
    QList<QByteArray> frames() const { return m_frames; }

    void setReply(const QString &key, const QByteArray &reply);
    void clearReply(const QString &key);
    void setDelay(const QString &key, int ms);
    void withhold(const QString &key, bool on = true);
    void resetReplies();

    // The reader's memory.
    Slot slot(int index) const { return m_slots.value(index); }
    void setSlot(int index, const QByteArray &code, char relay);
    void clearSlots();
    QByteArray config() const { return m_config; }
    void setConfig(const QByteArray &fiveBytes);
    void setGtapLines(const QList<QByteArray> &lines) { m_gtap = lines; }

    // Sends a line on its own, as a card presented at the reader: text & CR.
    void presentLine(const QByteArray &text);
    // Sends raw bytes as they are; returns how many went out (the rest are lost when the
    // terminal is full, as on a line nobody reads).
    qint64 sendRaw(const QByteArray &bytes);
    // Sends raw bytes, waiting while the terminal is full until the program side has read
    // enough (sendRaw drops what does not fit). For large amounts: call it from a thread
    // of the test's own while the program's event loop reads. False when the terminal
    // stayed full for `stallMs` or is gone.
    bool feed(const QByteArray &bytes, int stallMs = 5000) const;

    // The device goes away: the terminal is closed; the program side sees a hang-up.
    void unplug();

signals:
    // A whole frame came in (without its CR).
    void frameReceived(const QByteArray &frame);
    void bytesReceived(const QByteArray &bytes);

private:
    enum class Expect { Command, StorPayload, StocPayload, DecaPayload, RdcaPayload };

    void onReadable();
    void onClientsChanged();
    void parse();
    void handle(const QByteArray &frame);
    void answer(const QString &key, const QByteArray &computed, int extraDelayMs = 0);
    QByteArray replyFor(const QString &key, const QByteArray &computed) const;
    QByteArray slotLine(int index) const;
    qint64 writeOut(const QByteArray &bytes);

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    std::unique_ptr<QSocketNotifier> m_notifier;
    // Opens and closes of the terminal by others, so a lock left by a client that died
    // can be lifted (the terminal outlives its clients here, a serial device does not).
    int m_watch = -1;
    std::unique_ptr<QSocketNotifier> m_watchNotifier;
    int m_clients = 0;
    std::unique_ptr<QFile> m_record;

    QByteArray m_received;
    QByteArray m_pending;
    QList<QByteArray> m_frames;
    Expect m_expect = Expect::Command;

    QHash<QString, QByteArray> m_replies;
    QHash<QString, int> m_delays;
    QSet<QString> m_withheld;

    QList<Slot> m_slots;
    QByteArray m_config;
    QList<QByteArray> m_gtap;
    quint64 m_generation = 0; // bumped by unplug, so pending replies are dropped
};

// Bytes of a noisy line: every byte value but CR in turn, `size` of them.
QByteArray noiseWithoutCr(qsizetype size);
// Resident memory of this process in KiB (-1 when unknown): what feeding a program costs it.
// Under AddressSanitizer, the heap in use.
qint64 residentKiB();

} // namespace zorv::emulator
