#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace zorv::emulator {

// Runs zorv900-emulator as a separate process and drives it through its control lines;
// for tests. Each call waits for the emulator's answer (at most a few seconds), so a
// setting is in force when the call returns.
//
//   EmulatorProcess reader;
//   ASSERT_TRUE(reader.start(configHome, 3));  // COM3 in that config home
//   reader.setReply("INIT", "OK");
//   reader.present("123456789012");            // a card held to the reader
//   EXPECT_EQ(reader.received(), QByteArray("INIT\r"));
class EmulatorProcess {
public:
    EmulatorProcess() = default;
    ~EmulatorProcess();
    EmulatorProcess(const EmulatorProcess &) = delete;
    EmulatorProcess &operator=(const EmulatorProcess &) = delete;

    // Starts the emulator with COM `com` linked in `configHome`; false with the reason.
    bool start(const QString &configHome, int com, const QStringList &extraArgs = {}, QString *error = nullptr);
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    QString ptyPath() const { return m_pty; }

    // One control line (see emulatorcontrol.h); the answer line in *answer.
    bool control(const QByteArray &line, QByteArray *answer = nullptr);

    bool present(const QByteArray &line);
    bool sendRaw(const QByteArray &bytes);
    bool setReply(const QString &key, const QByteArray &text);
    bool clearReply(const QString &key);
    bool setDelay(const QString &key, int ms);
    bool withhold(const QString &key, bool on = true);
    bool reset();
    bool setSlot(int record, const QByteArray &code, char relay);
    bool emptySlot(int record);
    bool setConfig(const QByteArray &fiveBytes);
    bool setGtapLines(const QList<QByteArray> &lines);
    // Every byte the emulator has received so far.
    QByteArray received();
    bool clearReceived();
    // The terminal closes; the process keeps running.
    bool unplug();
    // Ends the process (the device vanishes with it).
    void stop();

    // The program: $ZORV900_BIN_DIR/zorv900-emulator when set, else the one built here.
    static QString program();
    // Text as a control argument: backslash, control and non-ASCII bytes escaped.
    static QByteArray escape(const QByteArray &bytes);

private:
    bool readLine(QByteArray *line, int timeoutMs);

    QProcess m_process;
    QByteArray m_out;
    QString m_pty;
};

} // namespace zorv::emulator
