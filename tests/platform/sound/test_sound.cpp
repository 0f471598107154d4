#include "pulsesound.h"
#include "wavefile.h"

#include "testsupport.h"
#include "wavefixture.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <optional>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace zorv;
using namespace zorv::test;

namespace {

// Every sound client of these tests goes to a socket in the test's folder, so no test
// reaches the machine's sound server: with nothing there, there is no server at all.
class Sound : public ::testing::Test {
protected:
    Sound()
    {
        qunsetenv("ZORV900_SOUND_LOG");
        folder.write(QStringLiteral("client.conf"), "autospawn = no\n");
        qputenv("PULSE_SERVER", "unix:" + socketPath().toLocal8Bit());
        qputenv("PULSE_CLIENTCONFIG", folder.file(QStringLiteral("client.conf")).toLocal8Bit());
        qputenv("PULSE_COOKIE", folder.file(QStringLiteral("cookie")).toLocal8Bit());
    }
    ~Sound() override
    {
        for (const char *name : {"ZORV900_SOUND_LOG", "PULSE_SERVER", "PULSE_CLIENTCONFIG", "PULSE_COOKIE"})
            qunsetenv(name);
    }
    QString socketPath() const { return folder.file(QStringLiteral("native")); }

    // Plays `file` and returns how long it held up its caller, or -1 when it never ended
    // within `waitMs`; `early` is set when `done` came from inside play().
    qint64 timed(PulseSound &player, const QString &file, int waitMs = 5000, bool *early = nullptr)
    {
        bool done = false;
        QElapsedTimer t;
        t.start();
        player.play(file, [&] { done = true; });
        if (early)
            *early = done;
        if (!waitUntil([&] { return done; }, waitMs))
            return -1;
        return t.elapsed();
    }

    TempFolder folder;
};

TEST_F(Sound, LogStandsInForPlaying)
{
    qputenv("ZORV900_SOUND_LOG", folder.file(QStringLiteral("sounds.log")).toLocal8Bit());
    PulseSound player;
    int done = 0;
    player.play(folder.file(QStringLiteral("auto.wav")), [&] { ++done; });
    player.play(folder.file(QStringLiteral("sco.wav")), [&] { ++done; });
    EXPECT_EQ(done, 0); // never from inside play()
    ASSERT_TRUE(waitUntil([&] { return done == 2; }));
    EXPECT_EQ(folder.read(QStringLiteral("sounds.log")), QByteArray("auto.wav\nsco.wav\n"));
}

TEST_F(Sound, MissingFilePlaysNothingAndFinishes)
{
    PulseSound player;
    bool early = true;
    const qint64 ms = timed(player, folder.file(QStringLiteral("none.wav")), 1000, &early);
    EXPECT_FALSE(early);
    EXPECT_GE(ms, 0);
}

// With no sound server a sound cannot play: it ends at once, sound after sound, so the
// station keeps its pace (four cards 50 ms apart once took seconds each).
TEST_F(Sound, WithoutAServerEachSoundEndsAtOnce)
{
    folder.write(QStringLiteral("long.wav"), toneFile(Wave::Sample::S16, 22050, 1, 2000));
    folder.write(QStringLiteral("short.wav"), toneFile(Wave::Sample::S16, 44100, 1, 300));
    PulseSound player;
    QElapsedTimer all;
    all.start();
    for (const char *name : {"long.wav", "short.wav", "long.wav", "short.wav"}) {
        bool early = true;
        const qint64 ms = timed(player, folder.file(QString::fromLatin1(name)), 5000, &early);
        EXPECT_FALSE(early) << name;
        ASSERT_GE(ms, 0) << name;
        EXPECT_LT(ms, 250) << name;
    }
    EXPECT_LT(all.elapsed(), 1000);
}

// A server that takes the connection and then says nothing, as a stuck one would: the
// sound ends at its limit, its length and a margin, and does not hold the caller longer.
TEST_F(Sound, AStuckServerHoldsASoundOnlyUntilItsLimit)
{
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray path = socketPath().toLocal8Bit();
    ASSERT_LT(size_t(path.size()), sizeof(addr.sun_path));
    memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)), 0);
    ASSERT_EQ(::listen(listener, 8), 0); // never accepted, never answered

    folder.write(QStringLiteral("short.wav"), toneFile(Wave::Sample::S16, 8000, 1, 200));
    PulseSound player;
    const qint64 ms = timed(player, folder.file(QStringLiteral("short.wav")), 6000);
    ::close(listener);
    ASSERT_GE(ms, 0) << "the sound never ended";
    EXPECT_GE(ms, PulseSound::limitMs(200) - 50);
    EXPECT_LT(ms, PulseSound::limitMs(200) + 1000);
}

TEST(SoundLimit, IsTheLengthAndAMarginWithinBounds)
{
    EXPECT_EQ(PulseSound::limitMs(200), 200 + 1500);
    EXPECT_EQ(PulseSound::limitMs(0), 1500);
    EXPECT_EQ(PulseSound::limitMs(70000), 60000);
}

struct WaveCase {
    const char *what;
    QByteArray bytes;
    std::optional<Wave::Sample> sample; // nothing: not playable
    int rate = 0;
    int channels = 0;
    int frameBytes = 0; // bytes of sound kept
};

QByteArray pcm(int bytes) { return QByteArray(bytes, '\x11'); }

TEST(ReadWave, TakesThePlayableFormatsAndRefusesTheRest)
{
    const WaveFormat s16{1, 1, 8000, 16, 2};
    WaveFormat ext24in32{0xFFFE, 2, 48000, 32, 8, 1};
    WaveFormat extBad = ext24in32;
    QByteArray badGuid = waveFile(extBad, pcm(16));
    badGuid[12 + 8 + 30] = 'x'; // inside the sub-format GUID
    const QByteArray list = chunk("LIST", QByteArray("INFOISFT\x03\0\0\0ab\0", 15)); // odd length, padded
    QByteArray random(4000, '\0');
    QRandomGenerator(900).fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / 4);
    const QByteArray truncatedFmt = riff(chunk("fmt ", QByteArray(10, '\x01'), 16));

    const WaveCase cases[] = {
        {"16-bit PCM", waveFile(s16, pcm(1600)), Wave::Sample::S16, 8000, 1, 1600},
        {"8-bit PCM stereo", waveFile({1, 2, 11025, 8, 2}, pcm(100)), Wave::Sample::U8, 11025, 2, 100},
        {"24-bit PCM", waveFile({1, 2, 44100, 24, 6}, pcm(600)), Wave::Sample::S24, 44100, 2, 600},
        {"32-bit PCM", waveFile({1, 1, 44100, 32, 4}, pcm(400)), Wave::Sample::S32, 44100, 1, 400},
        {"32-bit float", waveFile({3, 1, 44100, 32, 4}, pcm(400)), Wave::Sample::Float32, 44100, 1, 400},
        {"A-law", waveFile({6, 1, 8000, 8, 1}, pcm(80)), Wave::Sample::ALaw, 8000, 1, 80},
        {"mu-law", waveFile({7, 1, 8000, 8, 1}, pcm(80)), Wave::Sample::ULaw, 8000, 1, 80},
        {"extensible, 24 bits in 32", waveFile(ext24in32, pcm(800)), Wave::Sample::S32, 48000, 2, 800},
        {"block size left out", waveFile({1, 1, 8000, 16, 0}, pcm(20)), Wave::Sample::S16, 8000, 1, 20},
        {"chunk of odd length before the data", riff(fmtChunk(s16) + list + chunk("data", pcm(40))),
         Wave::Sample::S16, 8000, 1, 40},
        {"data longer than the file, cut to whole frames",
         riff(fmtChunk({1, 2, 8000, 16, 4}) + chunk("data", pcm(1602), 100000)), Wave::Sample::S16, 8000, 2, 1600},
        {"random bytes", random, std::nullopt},
        {"RIFF and garbage", "RIFF garbage that no decoder takes", std::nullopt},
        {"empty file", QByteArray(), std::nullopt},
        {"extensible with a foreign GUID", badGuid, std::nullopt},
        {"IMA ADPCM", waveFile({0x11, 1, 8000, 4, 256}, pcm(512)), std::nullopt},
        {"64-bit float", waveFile({3, 1, 8000, 64, 8}, pcm(80)), std::nullopt},
        {"no channels", waveFile({1, 0, 8000, 16, 2}, pcm(80)), std::nullopt},
        {"no data chunk", riff(fmtChunk(s16) + list), std::nullopt},
        {"data before the format", riff(chunk("data", pcm(40)) + fmtChunk(s16)), std::nullopt},
        {"no sound in the data", waveFile(s16, QByteArray()), std::nullopt},
        {"format chunk cut short", truncatedFmt, std::nullopt},
    };
    for (const WaveCase &c : cases) {
        const std::optional<Wave> w = readWave(c.bytes);
        ASSERT_EQ(w.has_value(), c.sample.has_value()) << c.what;
        if (!w)
            continue;
        EXPECT_EQ(w->sample, *c.sample) << c.what;
        EXPECT_EQ(w->rate, c.rate) << c.what;
        EXPECT_EQ(w->channels, c.channels) << c.what;
        EXPECT_EQ(w->frames.size(), c.frameBytes) << c.what;
    }
}

TEST(ReadWave, LengthComesFromTheFrames)
{
    EXPECT_EQ(readWave(toneFile(Wave::Sample::S16, 8000, 1, 1000))->durationMs(), 1000);
    EXPECT_EQ(readWave(toneFile(Wave::Sample::S24, 48000, 2, 300))->durationMs(), 300);
    EXPECT_EQ(readWave(toneFile(Wave::Sample::Float32, 22050, 1, 2000, true))->durationMs(), 2000);
}

} // namespace
