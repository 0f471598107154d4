// Settings lists, plovek.ini, the keystrokes of a line and their pacing: no window, no X.

#include "clock.h"
#include "digitatore.h"
#include "fakekeystrokes.h"
#include "plovekini.h"
#include "service.h"
#include "testsupport.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::stations::plovek;

namespace {

QStringList keyStrings()
{
    QStringList out;
    for (Key k : allKeys())
        out.append(keyName(k));
    return out;
}

} // namespace

TEST(PlovekLists, PortAndDelayAndCountEntries)
{
    const QStringList porte = vociPorta();
    ASSERT_EQ(porte.size(), 256);
    EXPECT_EQ(porte[0], "none");
    EXPECT_EQ(porte[1], "1");
    EXPECT_EQ(porte[3], "3");
    EXPECT_EQ(porte[255], "255");

    const QStringList ritardi = vociRitardo();
    ASSERT_EQ(ritardi.size(), 21);
    for (int i = 0; i < ritardi.size(); ++i)
        EXPECT_EQ(ritardi[i], QString::number(i * 10));

    const QStringList volte = vociRipetizioni();
    ASSERT_EQ(volte.size(), 16);
    EXPECT_EQ(volte.first(), "0");
    EXPECT_EQ(volte.last(), "15");
}

TEST(PlovekLists, KeyListsKeepTheirPlaces)
{
    const QStringList t1 = vociTerminatore1();
    const QStringList t2 = vociTerminatore2();
    const QStringList pre = vociPrefisso();
    ASSERT_EQ(t1.size(), 25);
    ASSERT_EQ(t2.size(), 26);
    ASSERT_EQ(pre.size(), 24);

    const QStringList head = {"none",  "{BS}",   "{BREAK}", "{DOWN}", "{END}",   "{ENTER}",
                              "{ESC}", "{HOME}", "{LEFT}",  "{PGDN}", "{RIGHT}", "{TAB}"};
    EXPECT_EQ(t1.mid(0, 12), head);
    EXPECT_EQ(t2.mid(0, 12), head);
    EXPECT_EQ(pre.mid(0, 12), head);

    // Terminator 1: {UP} at 12, F1..F12 at 13..24.
    EXPECT_EQ(t1[12], "{UP}");
    EXPECT_EQ(t1[13], "{F1}");
    EXPECT_EQ(t1[24], "{F12}");
    // Terminator 2: {UP} twice, F1..F12 at 14..25.
    EXPECT_EQ(t2[12], "{UP}");
    EXPECT_EQ(t2[13], "{UP}");
    EXPECT_EQ(t2[14], "{F1}");
    EXPECT_EQ(t2[25], "{F12}");
    // Prefix: no {UP}, F1..F12 at 12..23.
    EXPECT_FALSE(pre.contains("{UP}"));
    EXPECT_EQ(pre[12], "{F1}");
    EXPECT_EQ(pre[23], "{F12}");
    for (int f = 1; f <= 12; ++f) {
        EXPECT_EQ(t1[12 + f], QStringLiteral("{F%1}").arg(f));
        EXPECT_EQ(t2[13 + f], QStringLiteral("{F%1}").arg(f));
        EXPECT_EQ(pre[11 + f], QStringLiteral("{F%1}").arg(f));
    }
}

TEST(PlovekLists, EveryEntryButNoneNamesAKey)
{
    for (const QStringList &list : {vociPrefisso(), vociTerminatore1(), vociTerminatore2()}) {
        for (int i = 1; i < list.size(); ++i)
            EXPECT_TRUE(keyFromName(list[i]).has_value()) << list[i].toStdString();
        EXPECT_FALSE(keyFromName(list[0]).has_value());
    }
}

TEST(KeyNames, NamesAndKeysMatchBothWays)
{
    const QStringList names = keyStrings();
    ASSERT_EQ(names.size(), 24);
    for (const QString &n : names) {
        const auto k = keyFromName(n);
        ASSERT_TRUE(k.has_value()) << n.toStdString();
        EXPECT_EQ(keyName(*k), n);
    }
    for (const char *bad : {"TAB", "{tab}", "{TAB", "{F13}", "{F0}", "{PGUP}", " {TAB}", "+", "^", "~", "{", ""})
        EXPECT_FALSE(keyFromName(QString::fromLatin1(bad)).has_value()) << bad;
}

TEST(PlovekIniFile, FreshSettingsAreOneThenFourPairsOfZero)
{
    EXPECT_EQ(PlovekIni().testo(), QByteArray("1\r\n0,0\r\n0,0\r\n0,0\r\n0,0\r\n"));
}

TEST(PlovekIniFile, WrittenSettingsReadBack)
{
    PlovekIni ini;
    ini.Check1 = 0;
    ini.Combo6 = 255;
    ini.Combo1 = 20;
    ini.Combo8 = 23;
    ini.Combo7 = 15;
    ini.Combo2 = 24;
    ini.Combo4 = 7;
    ini.Combo3 = 25;
    ini.Combo5 = 1;
    EXPECT_EQ(ini.testo(), QByteArray("0\r\n255,20\r\n23,15\r\n24,7\r\n25,1\r\n"));
    const auto back = leggiIni(ini.testo());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, ini);
    EXPECT_EQ(ini.ritardoMs(), 200);
}

TEST(PlovekIniFile, ItemsMayComeOnAnyLineAndExtraItemsAreIgnored)
{
    const auto ini = leggiIni("1,3,2,10,2,5,1,0,0,99\r\n");
    ASSERT_TRUE(ini.has_value());
    EXPECT_EQ(ini->Combo6, 3);
    EXPECT_EQ(ini->Combo1, 2);
    EXPECT_EQ(ini->Combo8, 10);
    EXPECT_EQ(ini->Combo7, 2);
    EXPECT_EQ(ini->Combo2, 5);
    EXPECT_EQ(ini->Combo4, 1);
}

TEST(PlovekIniFile, FileThatCannotBeLoadedIsRefusedWithItsReason)
{
    const struct {
        const char *data;
        const char *reason;
    } cases[] = {
        {"", "0 of its 9"},
        {"1\r\n0,0\r\n0,0\r\n0,0\r\n0\r\n", "8 of its 9"},
        {"2\r\n0,0\r\n0,0\r\n0,0\r\n0,0\r\n", "setting 1"},
        {"1\r\n256,0\r\n0,0\r\n0,0\r\n0,0\r\n", "setting 2"},
        {"1\r\n0,21\r\n0,0\r\n0,0\r\n0,0\r\n", "setting 3"},
        {"1\r\n0,0\r\n24,0\r\n0,0\r\n0,0\r\n", "setting 4"},
        {"1\r\n0,0\r\n0,16\r\n0,0\r\n0,0\r\n", "setting 5"},
        {"1\r\n0,0\r\n0,0\r\n25,0\r\n0,0\r\n", "setting 6"},
        {"1\r\n0,0\r\n0,0\r\n0,16\r\n0,0\r\n", "setting 7"},
        {"1\r\n0,0\r\n0,0\r\n0,0\r\n26,0\r\n", "setting 8"},
        {"1\r\n0,0\r\n0,0\r\n0,0\r\n0,-1\r\n", "setting 9"},
        // Numbers no index can hold.
        {"1e99\r\n0,0\r\n0,0\r\n0,0\r\n0,0\r\n", "setting 1"},
        {"1\r\n-1e99,0\r\n0,0\r\n0,0\r\n0,0\r\n", "setting 2"},
        {"1\r\n0,99999999999999999999\r\n0,0\r\n0,0\r\n0,0\r\n", "setting 3"},
        {"1\r\n0,0\r\n1e999,0\r\n0,0\r\n0,0\r\n", "setting 4"},
        {"1\r\n0,0\r\n0,-99999999999999999999\r\n0,0\r\n0,0\r\n", "setting 5"},
        {"1\r\n0,1e9223372036854775807\r\n0,0\r\n0,0\r\n0,0\r\n", "setting 3"},
    };
    for (const auto &c : cases) {
        QString why;
        EXPECT_FALSE(leggiIni(QByteArray(c.data), &why).has_value()) << c.data;
        EXPECT_TRUE(why.contains(QLatin1String(c.reason))) << why.toStdString();
    }
    // Texts that hold no number read as 0, like an empty item.
    EXPECT_TRUE(leggiIni("nan\r\ninf,0\r\n0,0\r\n0,0\r\n0,0\r\n").has_value());
    // A delay too small for any number reads as 0, however large its exponent.
    const auto tiny = leggiIni("1\r\n0,0.01e-9223372036854775808\r\n0,0\r\n0,0\r\n0,0\r\n");
    ASSERT_TRUE(tiny.has_value());
    EXPECT_EQ(tiny->Combo1, 0);
    // The last index of every list is still in range.
    EXPECT_TRUE(leggiIni("1\r\n255,20\r\n23,15\r\n24,15\r\n25,15\r\n").has_value());
}

TEST(PlovekIniFile, LivesInTheConfigurationFolder)
{
    test::TempFolder home;
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    EXPECT_EQ(percorsoIni(), home.path() + "/zorv900/plovek.ini");
    EXPECT_EQ(percorsoBeep(), home.path() + "/zorv900/beep1.wav");
    EXPECT_EQ(GetWinPath(), home.path() + "/zorv900");
    qputenv("XDG_CONFIG_HOME", old);
}

namespace {

PlovekIni conTasti(int prefisso, int nPrefisso, int term1, int nTerm1, int term2, int nTerm2)
{
    PlovekIni ini;
    ini.Combo8 = prefisso;
    ini.Combo7 = nPrefisso;
    ini.Combo2 = term1;
    ini.Combo4 = nTerm1;
    ini.Combo3 = term2;
    ini.Combo5 = nTerm2;
    return ini;
}

QStringList descrivi(const QList<Tasto> &plan)
{
    QStringList out;
    for (const Tasto &t : plan)
        out.append(t.isKey ? keyName(t.key) : QString::fromUcs4(&t.ch, 1));
    return out;
}

} // namespace

TEST(PianoRiga, PrefixLineAndTerminatorsInOrder)
{
    // Prefix {TAB} twice, terminator 1 {ENTER} once, terminator 2 none.
    EXPECT_EQ(descrivi(pianoRiga(conTasti(11, 2, 5, 1, 0, 0), "ABC")),
              QStringList({"{TAB}", "{TAB}", "A", "B", "C", "{ENTER}"}));
    // Terminator 2 after terminator 1; {F1} sits at different places in each list.
    EXPECT_EQ(descrivi(pianoRiga(conTasti(12, 1, 13, 1, 14, 3), "7")),
              QStringList({"{F1}", "7", "{F1}", "{F1}", "{F1}", "{F1}"}));
    // The doubled {UP} of terminator 2 is {UP} at both places.
    EXPECT_EQ(descrivi(pianoRiga(conTasti(0, 0, 12, 1, 13, 1), "")), QStringList({"{UP}", "{UP}"}));
    EXPECT_EQ(descrivi(pianoRiga(conTasti(0, 0, 0, 0, 12, 1), "")), QStringList({"{UP}"}));
}

TEST(PianoRiga, KeyWithCountZeroOrCountWithNoneSendsNothing)
{
    const struct {
        int p, np, t1, nt1, t2, nt2;
    } cases[] = {
        {11, 0, 0, 0, 0, 0}, {0, 3, 0, 0, 0, 0}, {0, 0, 5, 0, 0, 0},
        {0, 0, 0, 4, 0, 0},  {0, 0, 0, 0, 6, 0}, {0, 0, 0, 0, 0, 15},
    };
    for (const auto &c : cases)
        EXPECT_EQ(descrivi(pianoRiga(conTasti(c.p, c.np, c.t1, c.nt1, c.t2, c.nt2), "X")), QStringList({"X"}));
}

TEST(PianoRiga, EveryCharacterIsTypedAsItself)
{
    EXPECT_EQ(descrivi(pianoRiga(PlovekIni(), "+^%~{}()")),
              QStringList({"+", "^", "%", "~", "{", "}", "(", ")"}));
    EXPECT_EQ(descrivi(pianoRiga(PlovekIni(), "{TAB}")), QStringList({"{", "T", "A", "B", "}"}));
    // Windows-1252 bytes become their characters.
    EXPECT_EQ(descrivi(pianoRiga(PlovekIni(), "\x80\xe9\xdf")), QStringList({"\u20ac", "\u00e9", "\u00df"}));
}

TEST(PianoRiga, ControlCharactersPressNoKey)
{
    const QList<Tasto> plan = pianoRiga(PlovekIni(), QByteArray("A\tB\nC\x1b\x08\x7f\x81\x00", 10) + "D");
    EXPECT_EQ(descrivi(plan), QStringList({"A", "B", "C", "D"}));
    for (const Tasto &t : plan)
        EXPECT_FALSE(t.isKey);
}

class DigitatoreTest : public ::testing::Test {
protected:
    test::SystemClockInstalled clock;
    FakeKeystrokes keys;
    ScopedService<Keystrokes> installed{&keys};
};

TEST_F(DigitatoreTest, SendsEveryKeyInOrderThenReports)
{
    Digitatore d;
    bool done = false, ok = false;
    ASSERT_TRUE(d.digita(pianoRiga(conTasti(11, 2, 5, 1, 0, 0), "ABC"), 0, [&](bool r, const QString &) {
        done = true;
        ok = r;
    }));
    EXPECT_TRUE(keys.sent.isEmpty()) << "typing starts from the event loop";
    EXPECT_TRUE(d.occupato());
    EXPECT_FALSE(d.digita({}, 0, {})) << "one line at a time";
    ASSERT_TRUE(test::waitUntil([&] { return done; }));
    EXPECT_TRUE(ok);
    EXPECT_FALSE(d.occupato());
    EXPECT_EQ(keys.whats(), QStringList({"{TAB}", "{TAB}", "A", "B", "C", "{ENTER}"}));
}

TEST_F(DigitatoreTest, PausesTheDelayAfterEveryKeyTheLastOneIncluded)
{
    Digitatore d;
    qint64 doneAt = -1;
    QElapsedTimer since;
    since.start();
    ASSERT_TRUE(d.digita(pianoRiga(conTasti(11, 1, 5, 1, 0, 0), "AB"), 60,
                         [&](bool, const QString &) { doneAt = zorv::clock().elapsedMs(); }));
    ASSERT_TRUE(test::waitUntil([&] { return doneAt >= 0; }));
    ASSERT_EQ(keys.sent.size(), 4);
    for (int i = 1; i < keys.sent.size(); ++i)
        EXPECT_GE(keys.sent[i].atMs - keys.sent[i - 1].atMs, 60) << i;
    EXPECT_GE(doneAt - keys.sent.last().atMs, 60);
    EXPECT_GE(since.elapsed(), 4 * 60);
}

TEST_F(DigitatoreTest, AKeyThatCannotBeSentEndsTheLineWithItsReason)
{
    keys.failWith = QStringLiteral("no X display");
    Digitatore d;
    bool done = false, ok = true;
    QString why;
    d.digita(pianoRiga(PlovekIni(), "ABC"), 0, [&](bool r, const QString &w) {
        done = true;
        ok = r;
        why = w;
    });
    ASSERT_TRUE(test::waitUntil([&] { return done; }));
    EXPECT_FALSE(ok);
    EXPECT_EQ(why, "no X display");
    // The next line is typed once keys go through again.
    keys.failWith.clear();
    done = false;
    d.digita(pianoRiga(PlovekIni(), "D"), 0, [&](bool r, const QString &) {
        done = true;
        ok = r;
    });
    ASSERT_TRUE(test::waitUntil([&] { return done; }));
    EXPECT_TRUE(ok);
    EXPECT_EQ(keys.whats(), QStringList({"D"}));
}
