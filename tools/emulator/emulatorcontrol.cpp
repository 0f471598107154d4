#include "emulatorcontrol.h"

#include "readeremulator.h"

#include <QList>

namespace zorv::emulator {

QByteArray unescape(const QByteArray &text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c != '\\' || i + 1 >= text.size()) {
            out.append(c);
            continue;
        }
        const char e = text.at(++i);
        switch (e) {
        case 'r': out.append('\r'); break;
        case 'n': out.append('\n'); break;
        case 't': out.append('\t'); break;
        case '\\': out.append('\\'); break;
        case 'x':
            if (i + 2 < text.size()) {
                bool ok = false;
                const int v = text.mid(i + 1, 2).toInt(&ok, 16);
                if (ok) {
                    out.append(char(v));
                    i += 2;
                    break;
                }
            }
            out.append("\\x");
            break;
        default:
            out.append('\\').append(e);
        }
    }
    return out;
}

namespace {
// The first word and the rest, split at the first space.
QPair<QByteArray, QByteArray> split(const QByteArray &text)
{
    const qsizetype sp = text.indexOf(' ');
    if (sp < 0)
        return {text, {}};
    return {text.left(sp), text.mid(sp + 1)};
}
} // namespace

QByteArray runControl(ReaderEmulator &emulator, const QByteArray &rawLine, bool *quit)
{
    QByteArray line = rawLine;
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (!line.startsWith(':')) {
        emulator.presentLine(unescape(line));
        return "OK";
    }
    auto [command, rest] = split(line.mid(1));
    auto [key, value] = split(rest);
    const QString k = QString::fromLatin1(key).toUpper();

    if (command == "present") {
        emulator.presentLine(unescape(rest));
    } else if (command == "reply") {
        if (k.isEmpty())
            return "ERROR reply needs a key";
        emulator.setReply(k, unescape(value));
    } else if (command == "default") {
        emulator.clearReply(k);
    } else if (command == "delay") {
        bool ok = false;
        const int ms = value.trimmed().toInt(&ok);
        if (k.isEmpty() || !ok)
            return "ERROR delay needs a key and milliseconds";
        emulator.setDelay(k, ms);
    } else if (command == "withhold") {
        emulator.withhold(k, true);
    } else if (command == "release") {
        emulator.withhold(k, false);
    } else if (command == "reset") {
        emulator.resetReplies();
    } else if (command == "slot") {
        const QList<QByteArray> parts = rest.split(' ');
        bool ok = false;
        const int n = parts.value(0).toInt(&ok);
        if (!ok || n < 1 || n > 10 || parts.size() < 3 || parts.last().size() != 1)
            return "ERROR slot N CODE RELAY";
        const QByteArray code = rest.mid(parts.at(0).size() + 1, rest.size() - parts.at(0).size() - 3);
        emulator.setSlot(n - 1, unescape(code), parts.last().at(0));
    } else if (command == "empty") {
        if (rest.trimmed() == "all") {
            emulator.clearSlots();
        } else {
            bool ok = false;
            const int n = rest.trimmed().toInt(&ok);
            if (!ok || n < 1 || n > 10)
                return "ERROR empty N";
            emulator.setSlot(n - 1, {}, '0');
        }
    } else if (command == "config") {
        const QByteArray bytes = QByteArray::fromHex(rest.trimmed());
        if (bytes.size() != 5)
            return "ERROR config needs 10 hex digits";
        emulator.setConfig(bytes);
    } else if (command == "gtap") {
        QList<QByteArray> lines;
        for (const QByteArray &l : rest.split('|'))
            lines.append(unescape(l));
        emulator.setGtapLines(lines);
    } else if (command == "raw") {
        emulator.sendRaw(unescape(rest));
    } else if (command == "received") {
        return "RECEIVED " + emulator.received().toHex();
    } else if (command == "clear") {
        emulator.clearReceived();
    } else if (command == "unplug") {
        emulator.unplug();
    } else if (command == "quit") {
        if (quit)
            *quit = true;
        return "BYE";
    } else {
        return "ERROR unknown command " + command;
    }
    return "OK";
}

} // namespace zorv::emulator
