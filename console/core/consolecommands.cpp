#include "consolecommands.h"

#include "messages.h"
#include "monitorreaders.h"

namespace zorv::console {

using reader::Reply;
using reader::ReaderLink;
using reader::TwoPhaseResult;

ConsoleCommands::ConsoleCommands(ReaderLink *link, QObject *parent) : QObject(parent), m_link(link) {}

QByteArray ConsoleCommands::frameOf(Simple which)
{
    switch (which) {
    case Simple::Initialize: return "INIT";
    case Simple::ManualMode: return "STMA";
    case Simple::AutomaticMode: return "STAU";
    case Simple::SetBluetooth: return "SETB";
    case Simple::DeleteAllCards: return "DEAR";
    case Simple::DeleteConfig: return "ERAS";
    }
    return {};
}

QString ConsoleCommands::questionOf(Simple which)
{
    switch (which) {
    case Simple::Initialize: return msg::AskInit;
    case Simple::ManualMode: return msg::AskManual;
    case Simple::AutomaticMode: return msg::AskAutomatic;
    case Simple::SetBluetooth: return msg::AskBluetooth;
    case Simple::DeleteAllCards: return msg::AskDeleteAll;
    case Simple::DeleteConfig: return msg::AskDeleteConfig;
    }
    return {};
}

bool ConsoleCommands::checkConnected()
{
    if (!connected || !connected()) {
        show(msg::ConnectFirst);
        return false;
    }
    // Only "Read all Cards" leaves the frame enabled while its last lines are awaited. A
    // command pressed then takes over the line at once, before its question or dialog, so
    // the list read can neither open `cards` over that box nor share the line with a
    // monitor; it ends silently.
    abandon();
    return true;
}

void ConsoleCommands::show(const QString &text)
{
    messages().msgBox(text, style::Ok);
}

bool ConsoleCommands::confirmed(const QString &question)
{
    // A confirmation carries an empty title of its own.
    return messages().msgBox(question, style::YesNo, QString()) != answer::No;
}

bool ConsoleCommands::begin()
{
    abandon();
    m_running = true;
    ++m_run;
    if (setCommandsEnabled)
        setCommandsEnabled(false);
    return true;
}

void ConsoleCommands::end()
{
    m_running = false;
    if (setCommandsEnabled && !m_held)
        setCommandsEnabled(true);
    emit finished();
}

void ConsoleCommands::holdWhileDiscarding(PortStatusReader *reader)
{
    if (!reader)
        return;
    reader->setParent(this);
    if (!reader->isRunning()) {
        reader->deleteLater();
        return;
    }
    m_held = true;
    if (setCommandsEnabled)
        setCommandsEnabled(false);
    connect(reader, &PortStatusReader::finished, this, [this, reader] {
        reader->deleteLater();
        m_held = false;
        if (setCommandsEnabled && !m_running)
            setCommandsEnabled(true);
    });
}

void ConsoleCommands::abandon()
{
    if (m_link->isBusy())
        m_link->cancel();
}

void ConsoleCommands::showReply(const Reply &reply)
{
    switch (reply.status) {
    case Reply::Complete:
        show(answered(reply.text));
        break;
    case Reply::TimedOut:
        show(msg::Timeout);
        break;
    default:
        // Disconnect, Quit or a vanished device: the wait ends without a word here (the
        // window reports a failed port itself).
        break;
    }
}

void ConsoleCommands::svuotabuffer()
{
    m_link->svuotabuffer();
}

void ConsoleCommands::runExchange(const QByteArray &frame, bool flush)
{
    begin();
    const quint64 run = m_run;
    m_link->exchange(frame, flush, [this, run](const Reply &r) {
        if (run != m_run)
            return;
        end();
        showReply(r);
    });
}

void ConsoleCommands::runTwoPhase(const QByteArray &command, const QByteArray &prompt, const QByteArray &payload)
{
    begin();
    const quint64 run = m_run;
    m_link->twoPhase(command, prompt, payload, ReaderLink::TwoPhaseMode::Normal,
                     [this, run](const TwoPhaseResult &r) {
                         if (run != m_run)
                             return;
                         end();
                         showReply(r.reply);
                     });
}

bool ConsoleCommands::askRecord(RecordInput *in)
{
    *in = readRecord(messages().inputBox(msg::TypeRecord));
    if (in->outcome == RecordInput::OutOfRange)
        show(msg::MaxRecord);
    return in->outcome == RecordInput::Send;
}

void ConsoleCommands::simple(Simple which)
{
    if (!checkConnected() || !confirmed(questionOf(which)))
        return;
    runExchange(frameOf(which), true);
}

void ConsoleCommands::relay(int relay)
{
    if (!checkConnected())
        return;
    const SecondsInput in = readSeconds(messages().inputBox(msg::TypeSeconds));
    if (in.outcome == SecondsInput::Nothing)
        return;
    if (in.outcome == SecondsInput::TooMany) {
        show(msg::MaxSeconds);
        return;
    }
    runExchange(reader::relayFrameByte(relay, quint8(in.timeByte)), false);
}

void ConsoleCommands::deleteCard()
{
    RecordInput in;
    if (!checkConnected() || !askRecord(&in))
        return;
    runTwoPhase("DECA", prompt::WaitAddress, in.slot);
}

void ConsoleCommands::readCard()
{
    RecordInput in;
    if (!checkConnected() || !askRecord(&in))
        return;
    begin();
    const quint64 run = m_run;
    const int record = in.record;
    m_link->twoPhase("RDCA", prompt::WaitAddress, in.slot, ReaderLink::TwoPhaseMode::ReadCard,
                     [this, run, record](const TwoPhaseResult &r) {
                         if (run != m_run)
                             return;
                         end();
                         // A phase-1 reply other than the prompt is read as the card line.
                         if (r.reply.complete())
                             show(readCardMessage(r.reply.text, record));
                         else
                             showReply(r.reply);
                     });
}

void ConsoleCommands::readAllCards()
{
    if (!checkConnected())
        return;
    begin();
    const quint64 run = m_run;
    m_link->readLines(
        "RDAR", 10, true,
        [this, run](int n, const QByteArray &line) {
            if (run != m_run)
                return;
            if (n == 1 && setCommandsEnabled)
                setCommandsEnabled(true);
            if (ElencoCarte.size() < 10)
                ElencoCarte.resize(10);
            ElencoCarte[n - 1] = cardListEntry(n, line);
        },
        [this, run](const Reply &r) {
            if (run != m_run)
                return;
            end();
            if (r.complete()) {
                if (showCards)
                    showCards();
                return;
            }
            showReply(r);
        });
}

void ConsoleCommands::getConfig()
{
    if (!checkConnected())
        return;
    begin();
    const quint64 run = m_run;
    m_link->exchange("GETC", true, [this, run](const Reply &r) {
        if (run != m_run)
            return;
        end();
        if (r.complete())
            show(configMessage(r.text));
        else
            showReply(r);
    });
}

void ConsoleCommands::storeConfig(const QByteArray &comandoPorte)
{
    if (!comandoPorte.isEmpty())
        runTwoPhase("STOR", prompt::Waiting, comandoPorte);
}

void ConsoleCommands::storeCard(const QByteArray &comandoCarta)
{
    if (!comandoCarta.isEmpty())
        runTwoPhase("STOC", prompt::WaitCard, comandoCarta);
}

void ConsoleCommands::togglePorts(const QByteArray &comandoPorte)
{
    if (!comandoPorte.isEmpty())
        runExchange(comandoPorte, true);
}

} // namespace zorv::console
