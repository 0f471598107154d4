#include "qtsound.h"

#include "testsupport.h"

#include <QElapsedTimer>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::test;

namespace {

// A PCM wave file of `ms` milliseconds of silence, 8000 Hz, mono, 16 bits.
QByteArray wave(int ms)
{
    const quint32 rate = 8000, byteRate = rate * 2;
    const quint32 data = byteRate * quint32(ms) / 1000;
    QByteArray h(44, '\0');
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, h.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, h.data() + at); };
    h.replace(0, 4, "RIFF");
    put32(4, 36 + data);
    h.replace(8, 8, "WAVEfmt ");
    put32(16, 16);
    put16(20, 1);
    put16(22, 1);
    put32(24, rate);
    put32(28, byteRate);
    put16(32, 2);
    put16(34, 16);
    h.replace(36, 4, "data");
    put32(40, data);
    return h + QByteArray(int(data), '\0');
}

class Sound : public ::testing::Test {
protected:
    Sound() { qunsetenv("ZORV900_SOUND_LOG"); }
    ~Sound() override { qunsetenv("ZORV900_SOUND_LOG"); }
    TempFolder folder;
};

TEST_F(Sound, LogStandsInForPlaying)
{
    qputenv("ZORV900_SOUND_LOG", folder.file(QStringLiteral("sounds.log")).toLocal8Bit());
    QtSound player;
    int done = 0;
    player.play(folder.file(QStringLiteral("auto.wav")), [&] { ++done; });
    player.play(folder.file(QStringLiteral("sco.wav")), [&] { ++done; });
    EXPECT_EQ(done, 0); // never from inside play()
    ASSERT_TRUE(waitUntil([&] { return done == 2; }));
    EXPECT_EQ(folder.read(QStringLiteral("sounds.log")), QByteArray("auto.wav\nsco.wav\n"));
}

TEST_F(Sound, MissingFilePlaysNothingAndFinishes)
{
    QtSound player;
    bool done = false;
    player.play(folder.file(QStringLiteral("none.wav")), [&] { done = true; });
    EXPECT_FALSE(done);
    EXPECT_TRUE(waitUntil([&] { return done; }, 1000));
}

TEST_F(Sound, LimitComesFromTheWaveHeader)
{
    folder.write(QStringLiteral("short.wav"), wave(200));
    folder.write(QStringLiteral("broken.wav"), "not a wave file at all");
    EXPECT_EQ(QtSound::limitMs(folder.file(QStringLiteral("short.wav"))), 200 + 1500);
    EXPECT_EQ(QtSound::limitMs(folder.file(QStringLiteral("broken.wav"))), 10000);
    folder.write(QStringLiteral("long.wav"), wave(70000));
    EXPECT_EQ(QtSound::limitMs(folder.file(QStringLiteral("long.wav"))), 60000);
}

TEST_F(Sound, ShortSoundEndsWithinItsLimitAndCanRepeat)
{
    folder.write(QStringLiteral("short.wav"), wave(200));
    QtSound player;
    for (int i = 0; i < 2; ++i) {
        bool done = false;
        QElapsedTimer t;
        t.start();
        player.play(folder.file(QStringLiteral("short.wav")), [&] { done = true; });
        ASSERT_TRUE(waitUntil([&] { return done; }, 4000)) << i;
        EXPECT_LE(t.elapsed(), 200 + 1500 + 500);
    }
}

TEST_F(Sound, BrokenFileNeverHoldsUpTheCaller)
{
    folder.write(QStringLiteral("broken.wav"), "RIFF garbage that no decoder takes");
    QtSound player;
    bool done = false;
    player.play(folder.file(QStringLiteral("broken.wav")), [&] { done = true; });
    EXPECT_TRUE(waitUntil([&] { return done; }, 11000));
}

} // namespace
