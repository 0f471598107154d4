// Keystrokes through the X Test extension, as an X client receives them.

#include "digitatore.h"
#include "keyrecorder.h"
#include "keys.h"
#include "service.h"
#include "testsupport.h"
#include "x11keystrokes.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace zorv;

class X11KeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!recorder.isOpen() || !keys.isOpen())
            GTEST_SKIP() << "needs an X display";
    }

    // Types each character of `text` and returns what the recorder got.
    void typeAll(const QString &text)
    {
        for (char32_t c : text.toUcs4())
            ASSERT_TRUE(keys.typeChar(c)) << keys.lastError().toStdString();
        ASSERT_TRUE(recorder.waitForPresses(int(text.toUcs4().size()))) << recorder.typed().toStdString();
    }

    KeyRecorder recorder;
    X11Keystrokes keys;
    ScopedService<Keystrokes> installed{&keys};
};

TEST_F(X11KeysTest, EveryKeyStringProducesTheKeyItNames)
{
    const struct {
        const char *keyString;
        const char *xName;
    } cases[] = {
        {"{BS}", "BackSpace"}, {"{BREAK}", "Break"}, {"{DOWN}", "Down"},   {"{END}", "End"},
        {"{ENTER}", "Return"}, {"{ESC}", "Escape"},  {"{HOME}", "Home"},   {"{LEFT}", "Left"},
        {"{PGDN}", "Next"},    {"{RIGHT}", "Right"}, {"{TAB}", "Tab"},     {"{UP}", "Up"},
        {"{F1}", "F1"},        {"{F2}", "F2"},       {"{F3}", "F3"},       {"{F4}", "F4"},
        {"{F5}", "F5"},        {"{F6}", "F6"},       {"{F7}", "F7"},       {"{F8}", "F8"},
        {"{F9}", "F9"},        {"{F10}", "F10"},     {"{F11}", "F11"},     {"{F12}", "F12"},
    };
    QStringList expected;
    for (const auto &c : cases) {
        const auto key = keyFromName(QString::fromLatin1(c.keyString));
        ASSERT_TRUE(key.has_value()) << c.keyString;
        ASSERT_TRUE(keys.pressKey(*key)) << c.keyString << ": " << keys.lastError().toStdString();
        expected.append(QString::fromLatin1(c.xName));
    }
    ASSERT_TRUE(recorder.waitForPresses(int(expected.size())));
    recorder.settle();
    EXPECT_EQ(recorder.names(), expected);
}

TEST_F(X11KeysTest, PrintableAsciiArrivesAsTyped)
{
    QString all;
    for (char c = 0x20; c < 0x7F; ++c)
        all += QChar(c);
    typeAll(all);
    recorder.settle();
    EXPECT_EQ(recorder.typed(), all);
}

TEST_F(X11KeysTest, CharactersTheLayoutLacksArriveAndTheMappingComesBack)
{
    const QList<unsigned long> before = recorder.keyboardMapping();
    const QString text = QString::fromUtf8("\u00e9\u00df\u00c4\u00f1\u00a7\u00b0\u00e9");
    typeAll(text);
    recorder.settle();
    EXPECT_EQ(recorder.typed(), text);
    EXPECT_GT(keys.remappedCount(), 0);
    // Given back once typing pauses.
    ASSERT_TRUE(test::waitUntil([&] { return keys.remappedCount() == 0; }, X11Keystrokes::kRestoreMs + 3000));
    EXPECT_EQ(recorder.keyboardMapping(), before);
}

TEST_F(X11KeysTest, Windows1252CharactersBeyondLatin1ArriveAsTheirKeysyms)
{
    const QString text = QString::fromUtf8("\u20ac\u2026\u0160\u2122\u0153");
    for (char32_t c : text.toUcs4())
        ASSERT_TRUE(keys.typeChar(c)) << keys.lastError().toStdString();
    ASSERT_TRUE(recorder.waitForPresses(int(text.size())));
    recorder.settle();
    ASSERT_EQ(recorder.presses().size(), text.size());
    for (int i = 0; i < text.size(); ++i)
        EXPECT_TRUE(zorv::keysymsFor(text[i].unicode()).contains(recorder.presses()[i].keysym))
            << i << " got " << recorder.presses()[i].name.toStdString();
}

TEST_F(X11KeysTest, MoreDistinctMissingCharactersThanSpareKeycodesStillArrive)
{
    // Every accented letter of Latin-1, twice: far more than there are spare keycodes,
    // typed at full speed by the station's typist.
    QByteArray line;
    for (int c = 0xC0; c <= 0xFE; ++c) {
        if (c != 0xD7 && c != 0xF7)
            line += char(c);
    }
    line += line;
    stations::plovek::Digitatore typist;
    bool done = false, ok = false;
    typist.digita(stations::plovek::pianoRiga(stations::plovek::PlovekIni(), line), 0,
                  [&](bool r, const QString &) {
                      done = true;
                      ok = r;
                  });
    ASSERT_TRUE(test::waitUntil([&] { return done; }, 30000));
    EXPECT_TRUE(ok) << keys.lastError().toStdString();
    ASSERT_TRUE(recorder.waitForPresses(int(line.size())));
    recorder.settle();
    EXPECT_EQ(recorder.typed(), QString::fromLatin1(line));
}

TEST_F(X11KeysTest, CharactersArriveWhateverTheLayout)
{
    // A German layout swaps Y and Z and has "@" only with AltGr; a French one moves
    // letters and digits about.
    for (const char *layout : {"de", "fr"}) {
        if (QProcess::execute(QStringLiteral("setxkbmap"), {QStringLiteral("-layout"), QString::fromLatin1(layout)}) != 0)
            GTEST_SKIP() << "setxkbmap cannot switch the layout here";
        recorder.clear();
        const QString text = QStringLiteral("yzYZ@#1aqAQ{}[]|~\\");
        typeAll(text);
        recorder.settle();
        EXPECT_EQ(recorder.typed(), text) << layout;
        const auto key = keyFromName(u"{TAB}");
        ASSERT_TRUE(keys.pressKey(*key));
        ASSERT_TRUE(recorder.waitForPresses(int(text.size()) + 1));
        EXPECT_EQ(recorder.names().last(), "Tab") << layout;
    }
    QProcess::execute(QStringLiteral("setxkbmap"), {QStringLiteral("-layout"), QStringLiteral("us")});
}

TEST_F(X11KeysTest, CapsLockDoesNotChangeWhatIsTyped)
{
    if (QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Caps_Lock")}) != 0)
        GTEST_SKIP() << "xdotool cannot press Caps Lock";
    recorder.settle(200);
    recorder.clear();
    const QString text = QStringLiteral("aB1c");
    typeAll(text);
    recorder.settle();
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Caps_Lock")});
    EXPECT_EQ(recorder.typed(), text);
}

TEST(X11KeysymsFor, ClassicKeysymFirstThenUnicode)
{
    EXPECT_EQ(zorv::keysymsFor(U'A'), (QList<unsigned long>{0x41, 0x01000041}));
    EXPECT_EQ(zorv::keysymsFor(U'\u00e9'), (QList<unsigned long>{0xe9, 0x010000e9}));
    EXPECT_EQ(zorv::keysymsFor(U'\u20ac'), (QList<unsigned long>{0x20ac, 0x010020ac}));
    EXPECT_EQ(zorv::keysymsFor(U'\u02c6'), (QList<unsigned long>{0x010002c6}));
    for (char32_t c : {char32_t(0), char32_t(9), char32_t(13), char32_t(27), char32_t(0x7f), char32_t(0x81)})
        EXPECT_TRUE(zorv::keysymsFor(c).isEmpty());
}
