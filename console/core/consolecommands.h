#pragma once

#include "commandset.h"
#include "readerlink.h"

#include <QObject>

#include <functional>

namespace zorv::console {

class PortStatusReader;

// The console's commands, one per button, from the operator's question to the reply shown.
// The window supplies the connection lamp, the command frame and the `cards` window; the
// boxes come from zorv::messages(). Each command returns as soon as it has sent: the reply
// is handled from the event loop, and `finished()` follows.
class ConsoleCommands : public QObject {
    Q_OBJECT
public:
    explicit ConsoleCommands(reader::ReaderLink *link, QObject *parent = nullptr);

    // The lamp is not red.
    std::function<bool()> connected;
    // Enables or disables the command frame while a reply is awaited.
    std::function<void(bool)> setCommandsEnabled;
    // Shows `cards` modally with ElencoCarte.
    std::function<void()> showCards;

    // Shows "Connect Com port" and returns false when the lamp is red; otherwise ends the
    // tail of a "Read all Cards" still running, so the command pressed has the line.
    bool checkConnected();

    enum class Simple { Initialize, ManualMode, AutomaticMode, SetBluetooth, DeleteAllCards, DeleteConfig };
    // INIT, STMA, STAU, SETB, DEAR, ERAS: confirm, flush, send, show the reply.
    void simple(Simple which);
    // Relay 1 or 2: ask the seconds, send C0/B3 with the time byte, show the reply.
    void relay(int relay);
    void deleteCard();   // DECA
    void readCard();     // RDCA
    void readAllCards(); // RDAR
    void getConfig();    // GETC
    // After the CONFIG, store and PORTS dialogs (the lamp checked before them); an empty
    // result does nothing.
    void storeConfig(const QByteArray &comandoPorte); // STOR
    void storeCard(const QByteArray &comandoCarta);   // STOC
    void togglePorts(const QByteArray &comandoPorte); // the port frame itself
    // Drops what waits in the receive buffer (before and after the monitors).
    void svuotabuffer();

    // Keeps the command frame disabled until `reader` has dropped the rest of an answer
    // (the port monitor closed while the reader was still answering); takes it over.
    void holdWhileDiscarding(PortStatusReader *reader);
    bool isHeld() const { return m_held; }

    bool isRunning() const { return m_running; }
    // Ends a running wait at once and silently (Disconnect, Quit).
    void abandon();

    static QByteArray frameOf(Simple which);
    static QString questionOf(Simple which);

signals:
    void finished();

private:
    bool begin();
    void end();
    void show(const QString &text);
    void showReply(const reader::Reply &reply);
    bool confirmed(const QString &question);
    // Sends and shows the reply as "Zorv900 answered: " or the time-out.
    void runExchange(const QByteArray &frame, bool flush);
    // STOR, STOC, DECA: the exchange with a prompt, flushing before each phase.
    void runTwoPhase(const QByteArray &command, const QByteArray &prompt, const QByteArray &payload);
    // "Type Record": true with a slot to send; "Type Max Record 10" when out of range.
    bool askRecord(RecordInput *in);

    reader::ReaderLink *m_link;
    bool m_running = false;
    bool m_held = false;
    quint64 m_run = 0;
};

} // namespace zorv::console
