#include "fixtures.h"
#include "leggitessere.h"
#include "stationport.h"

#include "fakeclock.h"
#include "fakemessageboxes.h"
#include "fakeserialport.h"
#include "fakesound.h"
#include "items.h"
#include "service.h"
#include "sound.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::stations;
using namespace zorv::test;

namespace {

const QByteArray kA = "AAAAAAAAAAAA";
const QByteArray kB = "BBBBBBBBBBBB";

class FakeView : public ControlloView {
public:
    void mostraRiga(const QByteArray &line) override { righe.append(line); }
    void mostraEtichette(const Etichette &e) override { etichette.append(e); }
    void mostraGuasto(const QString &text) override { guasti.append(text); }
    bool audio() const override { return audioOn; }
    void inviarele(int relay, std::function<void()> done) override
    {
        relays.append(relay);
        stations::inviarele(*port, relay, tempo, std::move(done), [this](const QString &t) { guasti.append(t); });
    }

    StationPort *port = nullptr;
    QByteArray tempo = "30";
    bool audioOn = true;
    QList<QByteArray> righe;
    QList<Etichette> etichette;
    QStringList guasti;
    QList<int> relays;
};

class Loop : public ::testing::Test {
protected:
    Loop() : clockService(&clock), soundService(&sound), boxService(&boxes)
    {
        clock.setNow(QDateTime(QDate(2026, 3, 7), QTime(9, 0, 0)));
        {
            Maker<SerialPort> ports([this](QObject *parent) -> SerialPort * {
                fake = new FakeSerialPort(parent);
                return fake;
            });
            const ScopedService<Maker<SerialPort>> installed(&ports);
            port = new StationPort;
            port->Comm1();
        }
        EXPECT_TRUE(port->open());
        // The reader answers every relay frame at once.
        fake->onWrite = [this](const QByteArray &frame) {
            if (answerRelays && (frame.startsWith("C0") || frame.startsWith("B3")))
                fake->receive("OK\r");
        };
        view.port = port;
        scriviRegistro(folder, {cliente("PORTA UNO", kA, "10", "0", "1"), cliente("PORTA DUE", kB, "10", "0", "2"),
                                cliente("PORTA TRE", "CCCCCCCCCCCC", "10", "0", "3"),
                                cliente("ESAURITO", "EEEEEEEEEEEE", "0", "4", "1"),
                                cliente("SCADUTO", "SSSSSSSSSSSS", "D01-01-2020", "4", "1")});
    }
    ~Loop() override
    {
        delete loop;
        delete port;
    }

    void start(const QByteArray &lockout = "5")
    {
        cfg.RitardoRipetizione = lockout;
        cfg.TempoRele = view.tempo;
        loop = new LeggiTessere(*port, view, folder.path(), cfg);
        loop->leggitessere();
    }
    // Presents lines and waits until `n` lines in all have been handled.
    bool present(const QByteArray &bytes, int n, int timeoutMs = 4000)
    {
        fake->receive(bytes);
        return waitUntil([&] { return loop->righeGestite() >= n; }, timeoutMs);
    }
    QList<QByteArray> movLines() const
    {
        QList<QByteArray> out = folder.read(QStringLiteral("mov.txt")).split('\n');
        out.removeAll(QByteArray());
        return out;
    }
    QList<QByteArray> framesOtherThanAnswers() const { return fake->frames; }

    FakeClock clock;
    ScopedService<Clock> clockService;
    FakeSound sound;
    ScopedService<Sound> soundService;
    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxService;
    TempFolder folder;
    FakeSerialPort *fake = nullptr;
    StationPort *port = nullptr;
    FakeView view;
    PortaCfg cfg;
    LeggiTessere *loop = nullptr;
    bool answerRelays = true;
};

QByteArray relay(const char *which, int t)
{
    return QByteArray(which) + char(t) + "1\r";
}

TEST_F(Loop, GrantSwitchesTheDoorAfterHalfASecondThenPlaysAuto)
{
    start();
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(present(kA + "\r", 1));
    EXPECT_GE(timer.elapsed(), LeggiTessere::kPausaMs);
    EXPECT_EQ(fake->frames, QList<QByteArray>{relay("C0", 30)});
    EXPECT_EQ(view.righe, QList<QByteArray>{kA + "\r"});
    ASSERT_EQ(view.etichette.size(), 1);
    EXPECT_EQ(view.etichette[0].Label4, "Autorizzato");
    ASSERT_EQ(sound.played.size(), 1);
    EXPECT_TRUE(sound.played[0].endsWith(QStringLiteral("/auto.wav")));
    EXPECT_EQ(movLines().size(), 1);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(Loop, DoorTwoAndTheTimeByteUnchanged)
{
    view.tempo = "255";
    start();
    ASSERT_TRUE(present(kB + "\r", 1));
    EXPECT_EQ(fake->frames, QList<QByteArray>{relay("B3", 255)});
}

TEST_F(Loop, DoorThreeGrantsWithoutRelayAndStillPlaysAuto)
{
    start();
    ASSERT_TRUE(present("CCCCCCCCCCCC\r", 1));
    EXPECT_TRUE(fake->frames.isEmpty());
    EXPECT_TRUE(view.relays.isEmpty());
    ASSERT_EQ(sound.played.size(), 1);
    EXPECT_TRUE(sound.played[0].endsWith(QStringLiteral("auto.wav")));
    EXPECT_TRUE(movLines()[0].endsWith("\"3\",\"07/03/2026\",\"09:00:00\",\"Autorizzato\"\r"));
}

TEST_F(Loop, RefusalSounds)
{
    struct {
        QByteArray card;
        const char *sound;
    } cases[] = {{"EEEEEEEEEEEE", "esa.wav"}, {"SSSSSSSSSSSS", "sca.wav"}, {"XXXXXXXXXXXX", "sco.wav"}};
    start();
    int n = 0;
    for (const auto &c : cases) {
        ASSERT_TRUE(present(c.card + "\r", ++n));
        ASSERT_EQ(sound.played.size(), n);
        EXPECT_TRUE(sound.played.last().endsWith(QString::fromLatin1(c.sound))) << c.sound;
    }
    EXPECT_TRUE(fake->frames.isEmpty());
    EXPECT_EQ(movLines().size(), 3);
}

TEST_F(Loop, NoSoundWithoutAudio)
{
    view.audioOn = false;
    start();
    ASSERT_TRUE(present("XXXXXXXXXXXX\rEEEEEEEEEEEE\r" + kA + "\r", 3));
    EXPECT_TRUE(sound.played.isEmpty());
    EXPECT_EQ(fake->frames.size(), 1);
}

TEST_F(Loop, LockOutAfterAGrantOnlyBuzzes)
{
    start("5");
    ASSERT_TRUE(present(kA + "\r", 1));
    clock.advanceMs(4999);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(present(kA + "\r", 2));
    EXPECT_GE(timer.elapsed(), LeggiTessere::kPausaMs);
    EXPECT_EQ(fake->frames, (QList<QByteArray>{relay("C0", 30), QByteArray("BZ") + char(124) + char(50) + "\r"}));
    EXPECT_EQ(movLines().size(), 1);
    EXPECT_EQ(view.etichette.size(), 1);
    EXPECT_EQ(sound.played.size(), 1);
    EXPECT_EQ(view.righe.size(), 2);
    // Exactly the lock-out later the card is checked again.
    clock.advanceMs(1);
    ASSERT_TRUE(present(kA + "\r", 3));
    EXPECT_EQ(movLines().size(), 2);
    EXPECT_EQ(fake->frames.last(), relay("C0", 30));
}

TEST_F(Loop, LockOutCountsElapsedTimeAcrossMidnight)
{
    clock.setNow(QDateTime(QDate(2026, 3, 7), QTime(23, 59, 58)));
    start("5");
    ASSERT_TRUE(present(kA + "\r", 1));
    clock.advanceMs(3000); // 00:00:01 of the next day
    ASSERT_TRUE(present(kA + "\r", 2));
    EXPECT_EQ(movLines().size(), 1);
    clock.advanceMs(2000);
    ASSERT_TRUE(present(kA + "\r", 3));
    ASSERT_EQ(movLines().size(), 2);
    EXPECT_TRUE(movLines()[1].contains("\"08/03/2026\",\"00:00:03\""));
}

TEST_F(Loop, NoLockOutAfterARefusal)
{
    start("5");
    ASSERT_TRUE(present("EEEEEEEEEEEE\r", 1));
    ASSERT_TRUE(present("EEEEEEEEEEEE\r", 2));
    EXPECT_EQ(movLines().size(), 2);
    EXPECT_TRUE(fake->frames.isEmpty());
}

TEST_F(Loop, LockOutFollowsTheLastGrantedCardOnly)
{
    start("5");
    ASSERT_TRUE(present(kA + "\r", 1));
    ASSERT_TRUE(present(kB + "\r", 2));
    ASSERT_TRUE(present(kA + "\r", 3));
    EXPECT_EQ(movLines().size(), 3);
    EXPECT_EQ(fake->frames, (QList<QByteArray>{relay("C0", 30), relay("B3", 30), relay("C0", 30)}));
}

TEST_F(Loop, NoLockOutWhenItsTimeIsZeroOrEmpty)
{
    for (const QByteArray &lockout : {QByteArray("0"), QByteArray()}) {
        delete loop;
        loop = nullptr;
        start(lockout);
        ASSERT_TRUE(present(kA + "\r" + kA + "\r", 2));
    }
    EXPECT_EQ(movLines().size(), 4);
    EXPECT_EQ(fake->frames.size(), 4);
}

TEST_F(Loop, LinesOfOtherLengthsAreOnlyShown)
{
    start();
    ASSERT_TRUE(present("AAAAAAAAAAA\r" "AAAAAAAAAAAAA\r\r", 3));
    EXPECT_EQ(view.righe, (QList<QByteArray>{"AAAAAAAAAAA\r", "AAAAAAAAAAAAA\r", "\r"}));
    EXPECT_TRUE(view.etichette.isEmpty());
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("mov.txt"))));
    EXPECT_TRUE(fake->frames.isEmpty());
    // Twelve characters without their CR are no card yet.
    fake->receive(kA);
    QTest::qWait(50);
    EXPECT_EQ(loop->righeGestite(), 3);
    ASSERT_TRUE(present("\r", 4));
    EXPECT_EQ(movLines().size(), 1);
}

TEST_F(Loop, CardsThatArriveTogetherAreHandledOnceInOrder)
{
    start();
    // The second and third cards arrive while the first waits its half second.
    ASSERT_TRUE(present(kA + "\rEEEEEEEEEEEE\r" + kB + "\r", 3, 6000));
    const auto lines = movLines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("\"0001\""));
    EXPECT_TRUE(lines[1].startsWith("\"0004\""));
    EXPECT_TRUE(lines[2].startsWith("\"0002\""));
    EXPECT_EQ(fake->frames, (QList<QByteArray>{relay("C0", 30), relay("B3", 30)}));
    EXPECT_EQ(view.righe.size(), 3);
}

TEST_F(Loop, CardDuringTheHalfSecondIsNotTakenForTheRelayAnswer)
{
    start();
    fake->receive(kA + "\r");
    QTest::qWait(150);
    fake->receive(kB + "\r");
    ASSERT_TRUE(waitUntil([&] { return loop->righeGestite() >= 2; }, 4000));
    EXPECT_EQ(movLines().size(), 2);
    EXPECT_EQ(fake->frames, (QList<QByteArray>{relay("C0", 30), relay("B3", 30)}));
    // The relay answers were taken by the waits, not shown as lines.
    EXPECT_EQ(view.righe, (QList<QByteArray>{kA + "\r", kB + "\r"}));
}

TEST_F(Loop, BytesArrivingOneByOneMakeOneCard)
{
    start();
    for (char c : kA + "\r") {
        fake->receive(QByteArray(1, c));
        QTest::qWait(2);
    }
    ASSERT_TRUE(waitUntil([&] { return loop->righeGestite() >= 1; }));
    EXPECT_EQ(view.righe, QList<QByteArray>{kA + "\r"});
}

TEST_F(Loop, RelayAnswerTimeOutShowsItsMessageThenAuto)
{
    answerRelays = false;
    start();
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(present(kA + "\r", 1, 9000));
    EXPECT_GE(timer.elapsed(), LeggiTessere::kPausaMs + StationPort::kReplyLimitMs);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Timeout No answer from Zorv900"));
    EXPECT_EQ(boxes.last().style, 0);
    EXPECT_FALSE(boxes.last().title.has_value()); // the program's title
    ASSERT_EQ(sound.played.size(), 1);
    EXPECT_TRUE(sound.played[0].endsWith(QStringLiteral("auto.wav")));
    // A late answer is shown as a line of its own; the next card still works.
    fake->receive("OK\r");
    answerRelays = true;
    clock.advanceMs(10000);
    ASSERT_TRUE(present(kA + "\r", 3));
    EXPECT_EQ(view.righe, (QList<QByteArray>{kA + "\r", "OK\r", kA + "\r"}));
}

// The station closing just after an answer: nothing of the wait may stay behind (the
// sanitizer build reports it as a leak).
TEST_F(Loop, PortGoneRightAfterAnAnswerLeavesNothingBehind)
{
    bool answered = false;
    port->sendAndWait(frameRele(1, 30), [&](bool ok, const QByteArray &) { answered = ok; });
    // Only the reader's bytes are delivered, not what the port queued for afterwards.
    QCoreApplication::sendPostedEvents(fake, QEvent::MetaCall);
    ASSERT_TRUE(answered);
    delete port;
    port = nullptr;
}

// What the reader sends after the relay frame of the first card, and what comes of it.
TEST_F(Loop, LinesDuringTheRelayAnswerWait)
{
    const QByteArray kE = "EEEEEEEEEEEE"; // credit exhausted: no relay of its own
    const QByteArray kS = "SSSSSSSSSSSS"; // expired
    const struct {
        const char *name;
        QList<std::pair<int, QByteArray>> afterFrame; // ms after the frame, bytes
        QList<QByteArray> mov;                         // customer of each mov.txt line
        QList<QByteArray> righe;                       // lines shown
        int timeOuts;
    } cases[] = {
        {"card before the answer", {{50, kE + "\r"}, {100, "OK\r"}}, {"0001", "0004"}, {kA + "\r", kE + "\r"}, 0},
        {"two cards before the answer keep their order",
         {{30, kE + "\r"}, {60, kS + "\r"}, {100, "OK\r"}}, {"0001", "0004", "0005"}, {kA + "\r", kE + "\r", kS + "\r"}, 0},
        {"card and no answer at all", {{50, kE + "\r"}}, {"0001", "0004"}, {kA + "\r", kE + "\r"}, 1},
        {"card cut by the time-out", {{100, "EEEEEE"}, {StationPort::kReplyLimitMs + 300, "EEEEEE\r"}},
         {"0001", "0004"}, {kA + "\r", kE + "\r"}, 1},
        {"any other line is the answer", {{50, "NO\r"}, {100, kE + "\r"}}, {"0001", "0004"}, {kA + "\r", kE + "\r"}, 0},
        {"garbage before the answer", {{30, QByteArray(4096, 'x')}, {60, "OK\r"}, {90, kE + "\r"}},
         {"0001", "0004"}, {kA + "\r", kE + "\r"}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        delete loop;
        loop = nullptr;
        QFile::remove(folder.file(QStringLiteral("mov.txt")));
        view.righe.clear();
        boxes.shown.clear();
        fake->frames.clear();
        fake->onWrite = [&](const QByteArray &frame) {
            if (!frame.startsWith("C0"))
                return;
            for (const auto &[ms, bytes] : c.afterFrame)
                QTimer::singleShot(ms, fake, [this, b = bytes] { fake->receive(b); });
        };
        start();
        ASSERT_TRUE(present(kA + "\r", int(c.righe.size()), 9000));
        QList<QByteArray> customers;
        for (const QByteArray &l : movLines())
            customers.append(l.mid(1, 4));
        EXPECT_EQ(customers, c.mov);
        EXPECT_EQ(view.righe, c.righe);
        EXPECT_EQ(fake->frames, QList<QByteArray>{relay("C0", 30)});
        EXPECT_EQ(boxes.shown.size(), c.timeOuts);
        clock.advanceMs(60000); // past the lock-out before the next case
    }
}

TEST_F(Loop, GarbageWithoutCrIsDroppedAndTheCardAfterItHandled)
{
    start();
    fake->receive(QByteArray(1 << 20, 'x'));
    ASSERT_TRUE(waitUntil([&] { return fake->bytesWaiting() == 0; }));
    QTest::qWait(20);
    EXPECT_EQ(loop->righeGestite(), 0);
    ASSERT_EQ(view.guasti.size(), 1);
    EXPECT_TRUE(view.guasti[0].contains(QStringLiteral("senza fine riga")));
    ASSERT_TRUE(present(kA + "\r", 1));
    EXPECT_EQ(view.righe, QList<QByteArray>{kA + "\r"});
    EXPECT_EQ(fake->frames, QList<QByteArray>{relay("C0", 30)});
    EXPECT_EQ(movLines().size(), 1);
    ASSERT_EQ(view.guasti.size(), 2);
    EXPECT_TRUE(view.guasti[1].contains(QStringLiteral("1048576")));
    // What is left of a run joins the next line, which is then no card.
    ASSERT_TRUE(present(QByteArray(300, 'x') + kB + "\r", 2));
    EXPECT_EQ(view.righe.last(), QByteArray(300 - 256, 'x') + kB + "\r");
    EXPECT_EQ(movLines().size(), 1);
}

TEST_F(Loop, EmptyRegistryGivesItsMessageForEachCard)
{
    folder.write(QStringLiteral("CLIENTI.DAT"), QByteArray());
    start();
    ASSERT_TRUE(present(kA + "\r" + kB + "\r", 2));
    ASSERT_EQ(boxes.shown.size(), 2);
    for (const auto &b : boxes.shown) {
        EXPECT_EQ(b.text, QStringLiteral("File anagrafiche Vuoto o inesistente !"));
        EXPECT_EQ(b.style, 256);
        EXPECT_EQ(b.title, QStringLiteral("Zorv 900"));
    }
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("mov.txt"))));
    EXPECT_TRUE(view.etichette.isEmpty());
    EXPECT_TRUE(fake->frames.isEmpty());
    EXPECT_TRUE(sound.played.isEmpty());
}

// The box runs an event loop of its own inside the port's data signal, and the port says
// nothing more until that signal has returned, as QSerialPort does: the card presented
// while the box is up is still handled as soon as it is answered, with no later card.
TEST_F(Loop, CardDuringTheEmptyRegistryBoxIsHandledRightAfterOk)
{
    folder.write(QStringLiteral("CLIENTI.DAT"), QByteArray());
    QList<int> shownWhileUp;
    boxes.onShown = [&](const FakeMessageBoxes::Shown &) {
        if (boxes.shown.size() > 1)
            return;
        fake->receive(kB + "\r");
        QEventLoop box;
        QTimer::singleShot(50, &box, &QEventLoop::quit);
        box.exec();
        shownWhileUp.append(int(view.righe.size()));
    };
    start();
    fake->receive(kA + "\r");
    ASSERT_TRUE(waitUntil([&] { return loop->righeGestite() >= 2; }, 3000));
    EXPECT_EQ(shownWhileUp, QList<int>{1});
    EXPECT_EQ(view.righe, (QList<QByteArray>{kA + "\r", kB + "\r"}));
    EXPECT_EQ(boxes.shown.size(), 2);
}

TEST_F(Loop, GrantThatCannotBeCountedKeepsTheDoorShut)
{
    QList<registry::Record> all;
    for (int i = 0; i < registry::kMaxCustomers; ++i)
        all.append(cliente("RIEMPITIVO", "000000000000", "5"));
    all.append(cliente("OLTRE", kA, "5", "0", "1"));
    scriviRegistro(folder, all);
    start();
    ASSERT_TRUE(present(kA + "\r", 1));
    EXPECT_TRUE(fake->frames.isEmpty());
    ASSERT_EQ(view.guasti.size(), 1);
    EXPECT_TRUE(view.guasti[0].contains(QStringLiteral("CLIENTI.DAT non aggiornato")));
    ASSERT_EQ(sound.played.size(), 1);
    EXPECT_TRUE(sound.played[0].endsWith(QStringLiteral("sco.wav")));
    // And it starts no lock-out: the next presentation is checked again.
    ASSERT_TRUE(present(kA + "\r", 2));
    EXPECT_EQ(movLines().size(), 2);
}

TEST_F(Loop, LineThatCannotBeWrittenIsShownAndReadingGoesOn)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("mov.txt")));
    start();
    ASSERT_TRUE(present(kA + "\r" + kB + "\r", 2));
    ASSERT_EQ(view.guasti.size(), 2);
    EXPECT_TRUE(view.guasti[0].contains(QStringLiteral("mov.txt non scritto")));
    EXPECT_EQ(fake->frames.size(), 2);
}

TEST_F(Loop, RelayTimeOutOfRangeSendsNothingAndSaysSo)
{
    view.tempo = "300";
    start();
    ASSERT_TRUE(present(kA + "\r", 1));
    EXPECT_TRUE(fake->frames.isEmpty());
    ASSERT_EQ(view.guasti.size(), 1);
    EXPECT_TRUE(view.guasti[0].contains(QStringLiteral("0-255")));
}

} // namespace
