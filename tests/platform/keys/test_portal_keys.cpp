// Keystrokes through the desktop portal's remote-desktop session, on a portal in memory:
// the session's states, the consent kept by its token, refusals, a session the desktop
// ends, and a line that waits for the session.

#include "digitatore.h"
#include "fakeportal.h"
#include "plovekini.h"
#include "portalkeystrokes.h"
#include "service.h"
#include "testsupport.h"

#include <QDir>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <optional>

using namespace zorv;
using Outcome = RemoteDesktopPortal::Outcome;

namespace {

class PortalKeysTest : public ::testing::Test {
protected:
    QString tokenPath() const { return home.path() + QStringLiteral("/zorv900/plovek-typing.token"); }
    QByteArray storedToken() const { return home.read(QStringLiteral("zorv900/plovek-typing.token")); }

    // prepare() and its answer.
    std::optional<bool> open(PortalKeystrokes &keys)
    {
        std::optional<bool> result;
        keys.prepare([&](bool ok) { result = ok; });
        test::waitUntil([&] { return result.has_value(); });
        return result;
    }

    test::TempFolder home;
    FakeRemoteDesktopPortal portal;
};

} // namespace

TEST_F(PortalKeysTest, OpensOneKeyboardSessionAndSendsEachKeyAsItsKeysym)
{
    PortalKeystrokes keys(portal, tokenPath());
    EXPECT_FALSE(keys.ready());
    EXPECT_FALSE(keys.typeChar(U'A')) << "nothing is sent before the session is open";
    // Two asks while the first is under way make one session.
    int answers = 0;
    keys.prepare([&](bool ok) { answers += ok; });
    ASSERT_EQ(open(keys), true);
    EXPECT_EQ(answers, 1);
    EXPECT_EQ(portal.calls, QStringList({"CreateSession", "SelectDevices /session/1", "Start /session/1"}));
    EXPECT_EQ(portal.selectOptions, (QVariantMap{{"types", QVariant::fromValue(uint(1))}}))
        << "a version 1 portal gets no persist options";
    ASSERT_TRUE(keys.ready());

    EXPECT_TRUE(keys.typeChar(U'A'));
    EXPECT_TRUE(keys.typeChar(U'\u20ac'));
    EXPECT_TRUE(keys.typeChar(U'\u02c6'));
    EXPECT_TRUE(keys.pressKey(Key::Tab));
    EXPECT_TRUE(keys.pressKey(Key::F12));
    EXPECT_TRUE(keys.pressKey(Key::Enter));
    // Shift alone first: the compositor drops the first key of a session.
    EXPECT_EQ(portal.pressed(), QStringList({"ffe1", "41", "20ac", "10002c6", "ff09", "ffc9", "ff0d"}));
    // Each key is released right after it is pressed, on the session opened.
    ASSERT_EQ(portal.keys.size(), 14);
    for (int i = 0; i < portal.keys.size(); i += 2) {
        EXPECT_EQ(portal.keys[i + 1], QString(portal.keys[i]).replace(0, 1, '-')) << i;
        EXPECT_TRUE(portal.keys[i].endsWith(" /session/1"));
    }
    EXPECT_FALSE(keys.typeChar(U'\r')) << "a control character has no key";
    EXPECT_FALSE(QFile::exists(tokenPath())) << "a version 1 portal hands out no token";
    // Prepared again while open: answered at once, nothing asked of the portal.
    bool again = false;
    keys.prepare([&](bool ok) { again = ok; });
    EXPECT_TRUE(again);
    EXPECT_EQ(portal.sessions, 1);
}

TEST_F(PortalKeysTest, KeepsTheConsentWithEachNewTokenOnAVersion2Portal)
{
    portal.portalVersion = 2;
    PortalKeystrokes keys(portal, tokenPath());
    portal.nextToken = QStringLiteral("token-1");
    ASSERT_EQ(open(keys), true);
    EXPECT_EQ(portal.selectOptions,
              (QVariantMap{{"types", QVariant::fromValue(uint(1))}, {"persist_mode", QVariant::fromValue(uint(2))}}))
        << "no token yet";
    EXPECT_EQ(storedToken(), "token-1\n");

    // The desktop ends the session; the next one comes with the token, and the token
    // handed out then replaces it (a token serves once).
    portal.closeFromDesktop(QStringLiteral("/session/1"));
    portal.nextToken = QStringLiteral("token-2");
    ASSERT_EQ(open(keys), true);
    EXPECT_EQ(portal.selectOptions.value("restore_token").toString(), "token-1");
    EXPECT_EQ(storedToken(), "token-2\n");
    EXPECT_EQ(QDir(home.path() + "/zorv900").entryList(QDir::Files), QStringList({"plovek-typing.token"}))
        << "nothing left beside it";

    // A later run starts from the stored token.
    PortalKeystrokes nextRun(portal, tokenPath());
    portal.nextToken = QStringLiteral("token-3");
    ASSERT_EQ(open(nextRun), true);
    EXPECT_EQ(portal.selectOptions.value("restore_token").toString(), "token-2");
    EXPECT_EQ(storedToken(), "token-3\n");
}

TEST_F(PortalKeysTest, ARefusalOrFailureClosesTheSessionAndTheNextAskTriesAgain)
{
    struct Case {
        const char *name;
        Outcome create, start;
        const char *words;
        QStringList calls;
    };
    const Case cases[] = {
        {"dialog refused", Outcome::Ok, Outcome::Refused, "not allowed",
         {"CreateSession", "SelectDevices /session/1", "Start /session/1", "Close /session/1"}},
        {"start failed", Outcome::Ok, Outcome::Failed, "could not open a typing session",
         {"CreateSession", "SelectDevices /session/1", "Start /session/1", "Close /session/1"}},
        {"no session", Outcome::Failed, Outcome::Ok, "could not open a typing session", {"CreateSession"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeRemoteDesktopPortal p;
        PortalKeystrokes keys(p, tokenPath());
        QSignalSpy notices(&keys, &PortalKeystrokes::notice);
        p.createOutcome = c.create;
        p.startOutcome = c.start;
        std::optional<bool> result;
        keys.prepare([&](bool ok) { result = ok; });
        ASSERT_TRUE(test::waitUntil([&] { return result.has_value(); }));
        EXPECT_FALSE(*result);
        EXPECT_TRUE(notices.isEmpty()) << "the one who asked tells of it";
        EXPECT_EQ(keys.state(), PortalKeystrokes::State::Closed);
        EXPECT_TRUE(keys.lastError().contains(c.words)) << keys.lastError().toStdString();
        EXPECT_TRUE(keys.lastError().contains("next line")) << keys.lastError().toStdString();
        EXPECT_EQ(p.calls, c.calls);
        EXPECT_FALSE(keys.pressKey(Key::Enter));
        EXPECT_TRUE(p.keys.isEmpty());

        // Asked ahead of any line (the station's self-minimise): told as a notice.
        keys.prepare({});
        ASSERT_TRUE(test::waitUntil([&] { return !notices.isEmpty(); }));
        EXPECT_EQ(notices.size(), 1);
        EXPECT_EQ(notices[0][0].toString(), keys.lastError());

        p.createOutcome = p.startOutcome = Outcome::Ok;
        result.reset();
        keys.prepare([&](bool ok) { result = ok; });
        ASSERT_TRUE(test::waitUntil([&] { return result.has_value(); }));
        EXPECT_TRUE(*result) << "asked again";
        EXPECT_TRUE(keys.pressKey(Key::Enter));
    }
}

TEST_F(PortalKeysTest, ASessionTheDesktopEndsIsToldOnceAndOpenedAgainOnTheNextAsk)
{
    PortalKeystrokes keys(portal, tokenPath());
    QSignalSpy notices(&keys, &PortalKeystrokes::notice);
    ASSERT_EQ(open(keys), true);
    portal.closeFromDesktop(QStringLiteral("/session/other"));
    EXPECT_TRUE(keys.ready()) << "another session's end is not ours";

    portal.closeFromDesktop(QStringLiteral("/session/1"));
    EXPECT_FALSE(keys.ready());
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0][0].toString().contains("ended the typing session")) << notices[0][0].toString().toStdString();
    EXPECT_FALSE(keys.typeChar(U'x'));
    portal.closeFromDesktop(QString());
    EXPECT_EQ(notices.size(), 1) << "told once";

    ASSERT_EQ(open(keys), true);
    EXPECT_EQ(portal.sessions, 2);
    EXPECT_TRUE(keys.typeChar(U'x'));
    EXPECT_TRUE(portal.keys.last().endsWith("/session/2"));
}

TEST_F(PortalKeysTest, ThePortalGoingAwayWhileItsDialogIsUpEndsTheWaitAndALateAnswerIsIgnored)
{
    PortalKeystrokes keys(portal, tokenPath());
    portal.holdStart = true;
    std::optional<bool> result;
    keys.prepare([&](bool ok) { result = ok; });
    ASSERT_TRUE(test::waitUntil([&] { return portal.calls.size() == 3; }));
    EXPECT_EQ(keys.state(), PortalKeystrokes::State::Opening);
    portal.closeFromDesktop(QString());
    ASSERT_TRUE(result.has_value());
    EXPECT_FALSE(*result);
    portal.answerStart(Outcome::Ok);
    EXPECT_FALSE(keys.ready()) << "the answer of a session that has gone";
    EXPECT_TRUE(portal.keys.isEmpty());
}

namespace {

class PortalLineTest : public PortalKeysTest {
protected:
    PortalKeystrokes keys{portal, tokenPath()};
    ScopedService<Keystrokes> installed{&keys};
};

} // namespace

TEST_F(PortalLineTest, ALineWaitsWholeForTheConsentAndIsTypedOnceGiven)
{
    using namespace zorv::stations::plovek;
    PlovekIni ini;
    ini.Combo8 = 11; // {TAB}
    ini.Combo7 = 1;
    ini.Combo2 = 5; // {ENTER}
    ini.Combo4 = 1;
    portal.holdStart = true;
    Digitatore d;
    std::optional<bool> ok;
    ASSERT_TRUE(d.digita(pianoRiga(ini, "A1"), 0, [&](bool r, const QString &) { ok = r; }));
    ASSERT_TRUE(test::waitUntil([&] { return portal.calls.size() == 3; }));
    EXPECT_TRUE(d.occupato());
    EXPECT_FALSE(ok.has_value());
    portal.answerStart(Outcome::Ok);
    ASSERT_TRUE(test::waitUntil([&] { return ok.has_value(); }));
    EXPECT_TRUE(*ok);
    EXPECT_EQ(portal.pressed(), QStringList({"ffe1", "ff09", "41", "31", "ff0d"}));
}

TEST_F(PortalLineTest, ALineTheDesktopRefusesIsNotTypedAndTheNextLineAsksAgain)
{
    using namespace zorv::stations::plovek;
    portal.startOutcome = Outcome::Refused;
    Digitatore d;
    std::optional<bool> ok;
    QString why;
    d.digita(pianoRiga(PlovekIni(), "AB"), 0, [&](bool r, const QString &w) {
        ok = r;
        why = w;
    });
    ASSERT_TRUE(test::waitUntil([&] { return ok.has_value(); }));
    EXPECT_FALSE(*ok);
    EXPECT_TRUE(why.contains("not allowed")) << why.toStdString();
    EXPECT_FALSE(d.occupato());
    EXPECT_TRUE(portal.keys.isEmpty());

    portal.startOutcome = Outcome::Ok;
    ok.reset();
    d.digita(pianoRiga(PlovekIni(), "C"), 0, [&](bool r, const QString &) { ok = r; });
    ASSERT_TRUE(test::waitUntil([&] { return ok.has_value(); }));
    EXPECT_TRUE(*ok);
    EXPECT_EQ(portal.sessions, 2);
    EXPECT_EQ(portal.pressed(), QStringList({"ffe1", "43"}));
}
