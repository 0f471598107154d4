// zorv900-emulator: a Zorv900 card reader played on a pseudo-terminal.
//
//   zorv900-emulator [--com N] [--config-home DIR] [--record FILE] [--no-stdin]
//                    [--reply KEY=TEXT]... [--delay KEY=MS]... [--withhold KEY]...
//                    [--slot N=CODE,RELAY]... [--verbose]
//
// It opens a pseudo-terminal, prints "PTY <device>" and, with --com N, makes
// <config home>/zorv900/com<N> a link to it (config home: --config-home, else
// $XDG_CONFIG_HOME, else ~/.config), so the programs find the reader on COM N. Then it
// prints "READY" and answers every reader command: INIT, STMA, STAU, SETB, DEAR, ERAS
// ("OK"), STOR/STOC/DECA/RDCA with their prompts "WAITING", "WAIT CARD", "WAIT ADDRESS"
// and second phase, RDAR (ten slot lines), GETC (five configuration bytes, 255 when
// erased), GTAP (port lines), the relay frames C0/B3 ("OK"), and nothing after BZ.
//
// Each line typed on stdin is presented as a card line (text & CR), so a person can type
// card codes by hand. Lines starting with ':' control the emulator (":reply INIT FAIL",
// ":delay RDCA 2000", ":withhold GETC", ":slot 1 123456789012 0", ":unplug", ":quit",
// ...; the full list is in emulatorcontrol.h); each is answered with one line on stdout.
// The emulator ends at the end of stdin, unless --no-stdin (then it runs until killed).
// --record FILE appends every byte received to FILE; --verbose logs each frame on stderr.
//
// Example: zorv900-emulator --com 1 --verbose, then start Zorv900V3, pick Com1, Connect.

#include "emulatorcontrol.h"
#include "readeremulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

using namespace zorv::emulator;

namespace {

void say(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QByteArray printable(const QByteArray &frame)
{
    QByteArray out;
    for (char c : frame) {
        const auto u = uchar(c);
        if (u >= 32 && u < 127 && c != '<')
            out.append(c);
        else
            out.append('<').append(QByteArray::number(u)).append('>');
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zorv900-emulator"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A Zorv900 card reader on a pseudo-terminal."));
    parser.addHelpOption();
    const QCommandLineOption comOpt(QStringLiteral("com"), QStringLiteral("Link COM <n> to the reader."), QStringLiteral("n"));
    const QCommandLineOption homeOpt(QStringLiteral("config-home"), QStringLiteral("Configuration home of the link."), QStringLiteral("dir"));
    const QCommandLineOption recordOpt(QStringLiteral("record"), QStringLiteral("Append every byte received to <file>."), QStringLiteral("file"));
    const QCommandLineOption replyOpt(QStringLiteral("reply"), QStringLiteral("Reply <KEY=TEXT>."), QStringLiteral("KEY=TEXT"));
    const QCommandLineOption delayOpt(QStringLiteral("delay"), QStringLiteral("Delay <KEY=MS>."), QStringLiteral("KEY=MS"));
    const QCommandLineOption withholdOpt(QStringLiteral("withhold"), QStringLiteral("Never answer <KEY>."), QStringLiteral("KEY"));
    const QCommandLineOption slotOpt(QStringLiteral("slot"), QStringLiteral("Fill slot <N=CODE,RELAY>."), QStringLiteral("N=CODE,RELAY"));
    const QCommandLineOption noStdinOpt(QStringLiteral("no-stdin"), QStringLiteral("Ignore stdin; run until killed."));
    const QCommandLineOption verboseOpt(QStringLiteral("verbose"), QStringLiteral("Log every frame on stderr."));
    parser.addOptions({comOpt, homeOpt, recordOpt, replyOpt, delayOpt, withholdOpt, slotOpt, noStdinOpt, verboseOpt});
    parser.process(app);

    ReaderEmulator emulator;
    QString error;
    if (!emulator.start(&error)) {
        std::fprintf(stderr, "zorv900-emulator: no pseudo-terminal: %s\n", qPrintable(error));
        return 1;
    }
    if (parser.isSet(recordOpt) && !emulator.recordTo(parser.value(recordOpt), &error)) {
        std::fprintf(stderr, "zorv900-emulator: %s: %s\n", qPrintable(parser.value(recordOpt)), qPrintable(error));
        return 1;
    }
    for (const QString &r : parser.values(replyOpt)) {
        const qsizetype eq = r.indexOf(u'=');
        if (eq > 0)
            emulator.setReply(r.left(eq).toUpper(), unescape(r.mid(eq + 1).toLatin1()));
    }
    for (const QString &d : parser.values(delayOpt)) {
        const qsizetype eq = d.indexOf(u'=');
        if (eq > 0)
            emulator.setDelay(d.left(eq).toUpper(), d.mid(eq + 1).toInt());
    }
    for (const QString &w : parser.values(withholdOpt))
        emulator.withhold(w.toUpper());
    for (const QString &s : parser.values(slotOpt)) {
        const qsizetype eq = s.indexOf(u'=');
        const qsizetype comma = s.lastIndexOf(u',');
        if (eq > 0 && comma > eq && comma + 1 < s.size())
            emulator.setSlot(s.left(eq).toInt() - 1, s.mid(eq + 1, comma - eq - 1).toLatin1(), s.at(comma + 1).toLatin1());
    }

    say("PTY " + emulator.slavePath().toLocal8Bit());
    if (parser.isSet(comOpt)) {
        QString home = parser.value(homeOpt);
        if (home.isEmpty())
            home = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (home.isEmpty())
            home = QDir::homePath() + QStringLiteral("/.config");
        if (!emulator.linkComPort(home, parser.value(comOpt).toInt(), &error)) {
            std::fprintf(stderr, "zorv900-emulator: %s\n", qPrintable(error));
            return 1;
        }
        say("COM " + parser.value(comOpt).toLocal8Bit());
    }
    if (parser.isSet(verboseOpt)) {
        QObject::connect(&emulator, &ReaderEmulator::frameReceived, [](const QByteArray &frame) {
            std::fprintf(stderr, "<< %s\n", printable(frame).constData());
        });
    }

    std::unique_ptr<QSocketNotifier> input;
    QByteArray typed;
    if (!parser.isSet(noStdinOpt)) {
        input = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(input.get(), &QSocketNotifier::activated, [&] {
            char buf[1024];
            const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
            if (n <= 0) {
                input->setEnabled(false);
                QCoreApplication::quit();
                return;
            }
            typed.append(buf, int(n));
            qsizetype nl;
            while ((nl = typed.indexOf('\n')) >= 0) {
                const QByteArray line = typed.left(nl);
                typed.remove(0, nl + 1);
                bool quit = false;
                say(runControl(emulator, line, &quit));
                if (quit) {
                    input->setEnabled(false);
                    QCoreApplication::quit();
                    return;
                }
            }
        });
    }
    say("READY");
    return app.exec();
}
