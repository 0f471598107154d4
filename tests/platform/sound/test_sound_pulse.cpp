// The real player against a real sound server: a private PulseAudio with a null sink,
// whose monitor is recorded to hear what a listener at the speaker would hear.
#include "pulsesound.h"

#include "privatepulse.h"
#include "testsupport.h"
#include "wavefixture.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::test;

namespace {

// A sound loses nothing of its end when it is heard this close to its length: on the null
// sink's monitor even paplay's sounds come out 5 to 20 ms short, and the cut ends that
// this catches were 75 ms and more.
constexpr int kHeardToleranceMs = 40;

class PulseSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString missing = PrivatePulse::missing();
        if (!missing.isEmpty())
            GTEST_SKIP() << missing.toStdString() << " not installed: no private sound server to play on";
        qunsetenv("ZORV900_SOUND_LOG");
        pulse = std::make_unique<PrivatePulse>();
    }

    void startServer() { ASSERT_TRUE(pulse->start()) << pulse->errors().toStdString(); }

    struct Played {
        qint64 ms = -1;      // how long the caller was held; -1: never ended
        QList<int> heard;    // the stretches heard on the sink
    };

    // Plays `file` while `rec` records the sink.
    Played playAndListen(zorv::PulseSound &player, MonitorRecording &rec, const QString &file, int waitMs)
    {
        Played p;
        p.ms = timed(player, file, waitMs);
        p.heard = rec.heardSinceLast();
        return p;
    }

    qint64 timed(zorv::PulseSound &player, const QString &file, int waitMs)
    {
        bool done = false;
        QElapsedTimer t;
        t.start();
        player.play(file, [&] { done = true; });
        EXPECT_FALSE(done) << "done came from inside play()";
        if (!waitUntil([&] { return done; }, waitMs))
            return -1;
        return t.elapsed();
    }

    void expectHeardInFull(const Played &p, int lengthMs, const char *what)
    {
        ASSERT_GE(p.ms, 0) << what << ": never ended";
        ASSERT_EQ(p.heard.size(), 1) << what << ": heard " << ::testing::PrintToString(p.heard);
        EXPECT_GE(p.heard[0], lengthMs - kHeardToleranceMs) << what;
        EXPECT_LE(p.heard[0], lengthMs + kHeardToleranceMs) << what;
        // The caller waits for the sound, and not much longer.
        EXPECT_GE(p.ms, lengthMs - 20) << what;
        EXPECT_LE(p.ms, lengthMs + 1000) << what;
    }

    TempFolder folder;
    std::unique_ptr<PrivatePulse> pulse;
};

TEST_F(PulseSound, EachSoundIsHeardToItsEnd)
{
    startServer();
    struct Case {
        const char *what;
        Wave::Sample sample;
        quint32 rate;
        quint16 channels;
        int ms;
        bool extensible;
    };
    const Case cases[] = {
        {"0.3 s, 16-bit 44.1 kHz", Wave::Sample::S16, 44100, 1, 300, false},
        {"2 s, 16-bit 22.05 kHz", Wave::Sample::S16, 22050, 1, 2000, false},
        {"0.3 s, 8-bit 11.025 kHz", Wave::Sample::U8, 11025, 1, 300, false},
        {"0.3 s, 24-bit 48 kHz stereo", Wave::Sample::S24, 48000, 2, 300, false},
        {"0.3 s, float extensible", Wave::Sample::Float32, 44100, 2, 300, true},
    };
    zorv::PulseSound player;
    MonitorRecording rec(*pulse);
    ASSERT_TRUE(rec.start());
    for (const Case &c : cases) {
        const QString file = folder.file(QStringLiteral("tone.wav"));
        folder.write(QStringLiteral("tone.wav"), toneFile(c.sample, c.rate, c.channels, c.ms, c.extensible));
        expectHeardInFull(playAndListen(player, rec, file, c.ms + 4000), c.ms, c.what);
    }
}

// A server killed while a sound plays ends that sound then, not at its length or limit.
TEST_F(PulseSound, AServerKilledMidSoundEndsItAtOnce)
{
    startServer();
    folder.write(QStringLiteral("long.wav"), toneFile(Wave::Sample::S16, 22050, 1, 2000));
    zorv::PulseSound player;
    bool done = false;
    QElapsedTimer t;
    t.start();
    player.play(folder.file(QStringLiteral("long.wav")), [&] { done = true; });
    QTest::qWait(300);
    ASSERT_FALSE(done);
    pulse->kill();
    ASSERT_TRUE(waitUntil([&] { return done; }, 5000));
    EXPECT_LT(t.elapsed(), 300 + 700);
}

// One player for the life of the station: with no server it costs nothing, and once a
// server is there (first started, or started again after being killed) it plays again.
TEST_F(PulseSound, SoundsComeBackWhenTheServerDoes)
{
    folder.write(QStringLiteral("long.wav"), toneFile(Wave::Sample::S16, 22050, 1, 2000));
    folder.write(QStringLiteral("short.wav"), toneFile(Wave::Sample::S16, 44100, 1, 300));
    const QString longFile = folder.file(QStringLiteral("long.wav"));
    const QString shortFile = folder.file(QStringLiteral("short.wav"));
    zorv::PulseSound player;

    qint64 ms = timed(player, longFile, 5000);
    ASSERT_GE(ms, 0);
    EXPECT_LT(ms, 500) << "no server yet";

    startServer();
    {
        MonitorRecording rec(*pulse);
        ASSERT_TRUE(rec.start());
        expectHeardInFull(playAndListen(player, rec, shortFile, 5000), 300, "server started after the player");
    }

    pulse->kill();
    ms = timed(player, longFile, 5000);
    ASSERT_GE(ms, 0);
    EXPECT_LT(ms, 500) << "server killed";

    startServer();
    MonitorRecording rec(*pulse);
    ASSERT_TRUE(rec.start());
    expectHeardInFull(playAndListen(player, rec, shortFile, 5000), 300, "server started again");
}

// A file that cannot be decoded plays nothing, costs no wait, and the next sound, another
// file, plays in full right after it.
TEST_F(PulseSound, AnUndecodableFileCostsNothingAndSparesTheNextSound)
{
    startServer();
    QByteArray random(8192, '\0');
    QRandomGenerator(3).fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / 4);
    const struct {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"random bytes", random},
        {"RIFF and garbage", "RIFF\x10\0\0\0WAVEfmt garbage"},
        {"ADPCM", waveFile({0x11, 1, 8000, 4, 256}, random)},
    };
    folder.write(QStringLiteral("sco.wav"), toneFile(Wave::Sample::S16, 44100, 1, 300));
    MonitorRecording rec(*pulse);
    ASSERT_TRUE(rec.start());
    for (const auto &c : cases) {
        folder.write(QStringLiteral("auto.wav"), c.bytes);
        zorv::PulseSound player; // fresh, as a station just started
        QElapsedTimer t;
        t.start();
        qint64 brokenMs = -1;
        bool done = false;
        player.play(folder.file(QStringLiteral("auto.wav")), [&] {
            brokenMs = t.elapsed();
            player.play(folder.file(QStringLiteral("sco.wav")), [&] { done = true; });
        });
        ASSERT_TRUE(waitUntil([&] { return done; }, 5000)) << c.what;
        const qint64 allMs = t.elapsed();
        EXPECT_LT(brokenMs, 100) << c.what;
        Played next{allMs - brokenMs, rec.heardSinceLast()};
        expectHeardInFull(next, 300, c.what);
    }
}

} // namespace
