// The wedge station typing through real X keystrokes into a window that records them.

#include "plovekfixture.h"

#include "fakeportal.h"
#include "fakeserialport.h"
#include "portalkeystrokes.h"
#include "plovekini.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

using namespace zorv;
using namespace zorv::stations::plovek;

namespace {

// plovek.ini with port COM1 and the given delay, prefix and terminators.
QByteArray ini(int beep, int delayIndex, int prefix, int nPrefix, int term1, int nTerm1, int term2, int nTerm2)
{
    PlovekIni i;
    i.Check1 = beep;
    i.Combo6 = 1;
    i.Combo1 = delayIndex;
    i.Combo8 = prefix;
    i.Combo7 = nPrefix;
    i.Combo2 = term1;
    i.Combo4 = nTerm1;
    i.Combo3 = term2;
    i.Combo5 = nTerm2;
    return i.testo();
}

} // namespace

TEST_F(PlovekFixture, FreshStartWritesTheFreshSettings)
{
    start(false);
    EXPECT_EQ(readIni(), QByteArray("1\r\n0,0\r\n0,0\r\n0,0\r\n0,0\r\n"));
    EXPECT_TRUE(window->Check1->isChecked());
    EXPECT_EQ(window->Combo6->currentText(), "none");
    EXPECT_EQ(window->SalvaAttivo, 1);
    EXPECT_TRUE(boxes.shown.isEmpty());
    // The start comes 30 s later, once.
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_TRUE(window->Timer1->isSingleShot());
    EXPECT_EQ(window->Timer1->interval(), 30000);
    EXPECT_EQ(window->windowTitle(), "Zandorex RF Wedge");
    EXPECT_FALSE(window->loop()->attivo());
}

TEST_F(PlovekFixture, StartGoesIntoTheNotificationAreaAndKeepsWaitingForAPort)
{
    start();
    EXPECT_TRUE(window->isMinimized());
    EXPECT_TRUE(window->isHidden());
    ASSERT_TRUE(tray);
    EXPECT_TRUE(tray->isShown());
    EXPECT_EQ(tray->tip, "Plovek RF 3.0");
    EXPECT_FALSE(window->Timer1->isActive());
    EXPECT_FALSE(window->Label16->text().isEmpty());
    // Port "none": nothing is opened until a port is chosen.
    ASSERT_TRUE(line);
    EXPECT_EQ(line->opens, 0);
    EXPECT_EQ(line->settings().toLower(), "9600,n,8,1");
    window->Combo6->setCurrentIndex(1);
    EXPECT_TRUE(line->isOpen());
    EXPECT_EQ(line->commPort(), 1);
    EXPECT_EQ(readIni(), QByteArray("1\r\n1,0\r\n0,0\r\n0,0\r\n0,0\r\n"));
    // Back to "none": the port is let go.
    window->Combo6->setCurrentIndex(0);
    EXPECT_FALSE(line->isOpen());
    EXPECT_EQ(window->loop()->portaInUso(), 0);
}

TEST_F(PlovekFixture, PrefixLineAndTerminatorArriveInOrder)
{
    // Prefix {TAB} x2, terminator 1 {ENTER} x1, terminator 2 none.
    writeIni(ini(1, 0, 11, 2, 5, 1, 0, 0));
    start();
    EXPECT_EQ(window->Combo8->currentText(), "{TAB}");
    EXPECT_EQ(window->Combo2->currentText(), "{ENTER}");
    present("ABC\r");
    recorder.settle();
    EXPECT_EQ(recorder.names(), QStringList({"Tab", "Tab", "A", "B", "C", "Return"}));
    EXPECT_EQ(window->Label1->text(), "ABC");
    // The beep of the configuration folder, before the typing.
    EXPECT_EQ(sound.played, QStringList({home.path() + "/zorv900/beep1.wav"}));
}

TEST_F(PlovekFixture, KeysWithCountZeroOrNoneSendNothing)
{
    const struct {
        int prefix, nPrefix, term1, nTerm1, term2, nTerm2;
    } cases[] = {
        {11, 0, 0, 0, 0, 0}, // {TAB} with count 0
        {0, 2, 0, 0, 0, 0},  // count with none
        {0, 0, 5, 0, 0, 0},
        {0, 0, 0, 3, 0, 0},
        {0, 0, 0, 0, 6, 0},
        {0, 0, 0, 0, 0, 15},
    };
    for (const auto &c : cases) {
        writeIni(ini(0, 0, c.prefix, c.nPrefix, c.term1, c.nTerm1, c.term2, c.nTerm2));
        start();
        present("7\r");
        recorder.settle();
        EXPECT_EQ(recorder.names(), QStringList({"7"})) << c.prefix << " " << c.nPrefix << " " << c.term1 << " "
                                                      << c.nTerm1 << " " << c.term2 << " " << c.nTerm2;
        recorder.clear();
        window.reset();
    }
}

TEST_F(PlovekFixture, TerminatorTwoFollowsTerminatorOne)
{
    // Terminator 1 {F5} x2, terminator 2 the second {UP} x1, prefix {F1} x1.
    writeIni(ini(0, 0, 12, 1, 17, 2, 13, 1));
    start();
    present("9\r");
    recorder.settle();
    EXPECT_EQ(recorder.names(), QStringList({"F1", "9", "F5", "F5", "Up"}));
}

TEST_F(PlovekFixture, DelayFollowsEveryKeyPrefixAndTerminatorsIncluded)
{
    // 200 ms; prefix {TAB} x1, terminators {ENTER} x1 and {ESC} x1.
    writeIni(ini(0, 20, 11, 1, 5, 1, 6, 1));
    start();
    EXPECT_EQ(window->Combo1->currentText(), "200");
    QElapsedTimer elapsed;
    elapsed.start();
    present("AB\r");
    const qint64 took = elapsed.elapsed();
    recorder.settle();
    const auto &p = recorder.presses();
    ASSERT_EQ(recorder.names(), QStringList({"Tab", "A", "B", "Return", "Escape"}));
    for (int i = 1; i < p.size(); ++i)
        EXPECT_GE(p[i].timeMs - p[i - 1].timeMs, 199u) << "before key " << i;
    // The line ends one delay after its last key.
    EXPECT_GE(took, 5 * 200);
}

TEST_F(PlovekFixture, NextLineWaitsForTheDelayAfterTheLastKey)
{
    writeIni(ini(0, 15, 0, 0, 0, 0, 0, 0));
    start();
    present("A\rB\r", 2);
    recorder.settle();
    ASSERT_EQ(recorder.names(), QStringList({"A", "B"}));
    EXPECT_GE(recorder.presses()[1].timeMs - recorder.presses()[0].timeMs, 149u);
}

TEST_F(PlovekFixture, KeySyntaxCharactersArriveLiterally)
{
    writeIni(ini(0, 0, 0, 0, 0, 0, 0, 0));
    start();
    present("+^%~{}()\r");
    present("{TAB}{ENTER}~\r");
    recorder.settle();
    EXPECT_EQ(recorder.typed(), "+^%~{}(){TAB}{ENTER}~");
    EXPECT_FALSE(recorder.names().contains("Tab"));
    EXPECT_FALSE(recorder.names().contains("Return"));
}

TEST_F(PlovekFixture, ControlCharactersOfALinePressNoKey)
{
    writeIni(ini(0, 0, 0, 0, 0, 0, 0, 0));
    start();
    present("A\tB\x1b" "C\x08\n\r");
    recorder.settle();
    EXPECT_EQ(recorder.names(), QStringList({"A", "B", "C"}));
}

TEST_F(PlovekFixture, LineWhileOnScreenIsShownButNotTyped)
{
    writeIni(ini(1, 0, 0, 0, 5, 1, 0, 0));
    start();
    ASSERT_TRUE(tray);
    tray->click();
    ASSERT_TRUE(test::waitUntil([&] { return !window->isMinimized(); }));
    EXPECT_FALSE(tray->isShown());
    recorder.focus();
    present("SEEN\r");
    recorder.settle();
    EXPECT_EQ(window->Label1->text(), "SEEN");
    EXPECT_EQ(sound.played.size(), 1) << "the beep still sounds";
    EXPECT_TRUE(recorder.names().isEmpty());
    EXPECT_FALSE(ended.has_value());

    // Back into the notification area: typing resumes.
    window->setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(test::waitUntil([&] { return window->isHidden(); }));
    recorder.focus();
    present("TYPED\r");
    recorder.settle();
    EXPECT_EQ(recorder.typed(), "TYPED");
}

TEST_F(PlovekFixture, HiddenInTheNotificationAreaTypesWhateverStateTheWindowSystemReports)
{
    // GNOME's window manager, withdrawing the hidden window, may report it normal.
    writeIni(ini(0, 0, 0, 0, 5, 1, 0, 0));
    start();
    window->setWindowState(Qt::WindowNoState);
    ASSERT_TRUE(window->isHidden());
    recorder.focus();
    present("HID\r");
    recorder.settle();
    EXPECT_EQ(recorder.typed(), "HID");
}

TEST_F(PlovekFixture, TrayGoneLeavesAMinimisedWindowThatGoesOnTyping)
{
    writeIni(ini(0, 0, 0, 0, 5, 1, 0, 0));
    start();
    ASSERT_TRUE(tray);
    tray->loseArea();
    ASSERT_TRUE(test::waitUntil([&] { return window->isVisible(); }));
    EXPECT_TRUE(window->isMinimized());
    recorder.focus();
    present("STILL\r");
    recorder.settle();
    EXPECT_EQ(recorder.names(), QStringList({"S", "T", "I", "L", "L", "Return"}));
    EXPECT_FALSE(ended.has_value());
}

TEST_F(PlovekFixture, LineWhileMaximisedEndsTheStation)
{
    writeIni(ini(0, 0, 0, 0, 0, 0, 0, 0));
    start();
    window->setWindowState(Qt::WindowMaximized);
    window->show();
    present("X\r");
    EXPECT_EQ(ended, 0);
    recorder.settle();
    EXPECT_TRUE(recorder.names().isEmpty());
}

TEST_F(PlovekFixture, BeepOffPlaysNothing)
{
    writeIni(ini(0, 0, 0, 0, 0, 0, 0, 0));
    start();
    EXPECT_FALSE(window->Check1->isChecked());
    present("1\r");
    recorder.settle();
    EXPECT_TRUE(sound.played.isEmpty());
    EXPECT_EQ(recorder.typed(), "1");
    // Ticking it is saved at once and takes effect for the next line.
    window->Check1->setChecked(true);
    EXPECT_TRUE(readIni().startsWith("1\r\n"));
    present("2\r");
    EXPECT_EQ(sound.played.size(), 1);
}

TEST_F(PlovekFixture, EveryChangeOfASettingIsSavedAtOnce)
{
    writeIni(ini(1, 0, 0, 0, 0, 0, 0, 0));
    start(false);
    window->Combo1->setCurrentIndex(5);
    EXPECT_EQ(readIni(), QByteArray("1\r\n1,5\r\n0,0\r\n0,0\r\n0,0\r\n"));
    window->Combo8->setCurrentIndex(23);
    window->Combo7->setCurrentIndex(15);
    window->Combo2->setCurrentIndex(24);
    window->Combo4->setCurrentIndex(2);
    window->Combo3->setCurrentIndex(25);
    window->Combo5->setCurrentIndex(3);
    window->Check1->setChecked(false);
    EXPECT_EQ(readIni(), QByteArray("0\r\n1,5\r\n23,15\r\n24,2\r\n25,3\r\n"));
}

TEST_F(PlovekFixture, SettingsLoadIntoTheirLists)
{
    writeIni("0\r\n7,3\r\n12,4\r\n13,5\r\n14,6\r\n");
    start(false);
    EXPECT_FALSE(window->Check1->isChecked());
    EXPECT_EQ(window->Combo6->currentText(), "7");
    EXPECT_EQ(window->Combo1->currentText(), "30");
    EXPECT_EQ(window->Combo8->currentText(), "{F1}");
    EXPECT_EQ(window->Combo7->currentText(), "4");
    EXPECT_EQ(window->Combo2->currentText(), "{F1}");
    EXPECT_EQ(window->Combo4->currentText(), "5");
    EXPECT_EQ(window->Combo3->currentText(), "{F1}");
    EXPECT_EQ(window->Combo5->currentText(), "6");
    // Loading saves nothing.
    EXPECT_EQ(readIni(), QByteArray("0\r\n7,3\r\n12,4\r\n13,5\r\n14,6\r\n"));
    EXPECT_EQ(window->Combo6->count(), 256);
    EXPECT_EQ(window->Combo1->count(), 21);
    EXPECT_EQ(window->Combo8->count(), 24);
    EXPECT_EQ(window->Combo2->count(), 25);
    EXPECT_EQ(window->Combo3->count(), 26);
    for (QComboBox *c : {window->Combo4, window->Combo5, window->Combo7})
        EXPECT_EQ(c->count(), 16);
}

TEST_F(PlovekFixture, UnusableSettingsFileIsReportedAndKeptUntilASettingChanges)
{
    const QByteArray cases[] = {
        "1\r\n3,0\r\n0,0\r\n",             // fewer than nine items
        "1\r\n3,0\r\n0,0\r\n30,0\r\n0,0\r\n", // terminator 1 outside its list
    };
    for (const QByteArray &broken : cases) {
        boxes.shown.clear();
        writeIni(broken);
        start(false);
        ASSERT_EQ(boxes.shown.size(), 1);
        EXPECT_TRUE(boxes.last().text.contains("plovek.ini")) << boxes.last().text.toStdString();
        EXPECT_TRUE(boxes.last().text.contains("Fresh settings")) << boxes.last().text.toStdString();
        EXPECT_EQ(window->impostazioni(), PlovekIni());
        EXPECT_EQ(readIni(), broken);
        window->Combo1->setCurrentIndex(2);
        EXPECT_EQ(readIni(), QByteArray("1\r\n0,2\r\n0,0\r\n0,0\r\n0,0\r\n"));
        window.reset();
    }
}

TEST_F(PlovekFixture, SettingsThatCannotBeSavedStillApplyAndAreReportedOnce)
{
    writeIni(ini(0, 0, 0, 0, 0, 0, 0, 0));
    start();
    // A folder where the file should be: it cannot be replaced.
    QFile::remove(iniPath());
    ASSERT_TRUE(QDir().mkpath(iniPath() + "/x"));
    window->Combo2->setCurrentIndex(5);
    window->Combo4->setCurrentIndex(1);
    EXPECT_EQ(boxes.shown.size(), 1);
    present("Q\r");
    recorder.settle();
    EXPECT_EQ(recorder.names(), QStringList({"Q", "Return"}));
}

TEST_F(PlovekFixture, QuitAsksAndCloseBoxEnds)
{
    start(false);
    boxes.answerNext(answer::No);
    window->Command3->click();
    EXPECT_EQ(boxes.last().text, "Quit Vantrel Wedge ?");
    EXPECT_EQ(boxes.last().title, "(!)");
    EXPECT_EQ(boxes.last().style, style::YesNo);
    EXPECT_FALSE(ended.has_value());
    window->Command3->click();
    EXPECT_EQ(ended, 0);

    ended.reset();
    const int boxesBefore = int(boxes.shown.size());
    window->close();
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(boxes.shown.size(), boxesBefore) << "the close box asks nothing";
}

TEST_F(PlovekFixture, SharedControlsAsTheWedgeShowsThem)
{
    start(false);
    EXPECT_EQ(window->Command3->text(), "Quit");
    EXPECT_EQ(window->Check1->text(), "Beep");
    EXPECT_FALSE(window->Command1->isVisible());
    EXPECT_FALSE(window->Command2->isVisible());
    EXPECT_FALSE(window->Command4->isVisible());
    EXPECT_FALSE(window->Command5->isVisible());
    for (QLabel *hidden : {window->Label2, window->Label3, window->Label4, window->Label6, window->Label7, window->Label8})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    EXPECT_TRUE(window->Label1->isVisible());
    EXPECT_TRUE(window->Label5->isVisible());
    EXPECT_TRUE(window->Label5->text().isEmpty());
    EXPECT_TRUE(window->Combo6->isVisible());
}

TEST_F(PlovekFixture, PortThatCannotBeOpenedIsTriedAgain)
{
    writeIni(ini(0, 0, 0, 0, 0, 0, 0, 0));
    zorv::Maker<zorv::SerialPort> busyLines([this](QObject *parent) -> zorv::SerialPort * {
        auto *p = new zorv::FakeSerialPort(parent);
        p->openError = QStringLiteral("busy");
        line = p;
        return p;
    });
    const zorv::ScopedService<zorv::Maker<zorv::SerialPort>> installed(&busyLines);
    start();
    ASSERT_TRUE(line);
    EXPECT_FALSE(line->isOpen());
    const int first = line->opens;
    EXPECT_GE(first, 1);
    line->openError.clear();
    ASSERT_TRUE(test::waitUntil([&] { return line->isOpen(); }, 5000));
    EXPECT_GT(line->opens, first);
    present("OK\r");
    recorder.settle();
    EXPECT_EQ(recorder.typed(), "OK");
}

TEST_F(PlovekFixture, ReaderThatGoesAwayIsWaitedForAndItsCutLineDropped)
{
    writeIni(ini(0, 0, 0, 0, 0, 0, 0, 0));
    start();
    ASSERT_TRUE(line && line->isOpen());
    line->receive("123");
    ASSERT_TRUE(test::waitUntil([&] { return line->bytesWaiting() == 0; }));
    line->unplug();
    ASSERT_TRUE(test::waitUntil([&] { return line->isOpen(); }, 5000));
    present("ABC\r");
    recorder.settle();
    EXPECT_EQ(recorder.typed(), "ABC");
}

TEST_F(PlovekFixture, LinesThatArriveWhileOneIsTypedWaitTheirTurn)
{
    writeIni(ini(0, 5, 0, 0, 5, 1, 0, 0));
    start();
    present("12\r34\r56\r", 3);
    recorder.settle();
    EXPECT_EQ(recorder.names(), QStringList({"1", "2", "Return", "3", "4", "Return", "5", "6", "Return"}));
}

TEST_F(PlovekFixture, BytesWithoutCrAreNeverTypedAndTheLineAfterThemIs)
{
    writeIni(ini(0, 0, 0, 0, 5, 1, 0, 0));
    start();
    // Megabytes of letters without a CR: dropped as they come, the line after them typed.
    present(QByteArray(8 << 20, 'x') + "ABC\r");
    recorder.settle();
    EXPECT_EQ(recorder.names(), QStringList({"A", "B", "C", "Return"}));
    EXPECT_EQ(window->Label1->text(), "ABC");
    // What is left of a run starts the next line.
    recorder.clear();
    present(QByteArray(256 + 2, 'y') + "Z\r");
    recorder.settle();
    EXPECT_EQ(recorder.names(), QStringList({"y", "y", "Z", "Return"}));
}

TEST_F(PlovekFixture, SettingsFileThatCannotBeReadIsReportedAndFreshSettingsApply)
{
    // Something that is not a file stands where plovek.ini should be.
    ASSERT_TRUE(QDir().mkpath(iniPath() + "/x"));
    start();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.last().text.contains("Fresh settings")) << boxes.last().text.toStdString();
    EXPECT_EQ(window->impostazioni(), PlovekIni());
    EXPECT_TRUE(QFileInfo(iniPath()).isDir());
    window->Combo6->setCurrentIndex(1);
    EXPECT_EQ(boxes.shown.size(), 2) << "the failed save is told";
    present("OK\r");
    recorder.settle();
    EXPECT_EQ(recorder.typed(), "OK");
}

namespace {

// The station typing through the desktop portal's session (a portal in memory).
class PlovekPortalTest : public PlovekFixture {
protected:
    FakeRemoteDesktopPortal portal;
    zorv::PortalKeystrokes portalKeys{portal, home.path() + QStringLiteral("/zorv900/plovek-typing.token")};
    zorv::ScopedService<zorv::Keystrokes> portalInstalled{&portalKeys};
};

} // namespace

TEST_F(PlovekPortalTest, TheDesktopIsAskedAtTheSelfMinimiseAndARefusalIsToldInTheLogBox)
{
    writeIni(ini(0, 0, 0, 0, 5, 1, 0, 0));
    portal.holdStart = true;
    start();
    // As the program does.
    QObject::connect(&portalKeys, &zorv::PortalKeystrokes::notice, window.get(), &PlovekWindow::mostraAvviso);
    // Asked when typing starts, before any line.
    ASSERT_TRUE(test::waitUntil([&] { return portal.calls.size() == 3; }));
    EXPECT_EQ(portal.calls.last(), "Start /session/1");
    EXPECT_TRUE(window->Text1->isHidden()) << "nothing to tell yet";

    // A line while the dialog is up waits for it; refused, it is not typed and the
    // log box says why.
    line->receive("AB12\r");
    ASSERT_TRUE(test::waitUntil([&] { return window->loop()->digitatore().occupato(); }));
    portal.answerStart(RemoteDesktopPortal::Outcome::Refused);
    ASSERT_TRUE(test::waitUntil([&] { return !window->Text1->toPlainText().isEmpty(); }));
    EXPECT_FALSE(window->Text1->isHidden());
    const QString log = window->Text1->toPlainText();
    EXPECT_TRUE(log.contains("could not be typed")) << log.toStdString();
    EXPECT_TRUE(log.contains("not allowed")) << log.toStdString();
    EXPECT_TRUE(portal.keys.isEmpty());
    EXPECT_TRUE(boxes.shown.isEmpty()) << "no box to answer while in the notification area";

    // The next line asks again; allowed, it is typed, and the station reads on.
    portal.holdStart = false;
    present("CD34\r");
    EXPECT_EQ(portal.sessions, 2);
    EXPECT_EQ(portal.pressed(), QStringList({"ffe1", "43", "44", "33", "34", "ff0d"}));

    // The desktop ends the session: told in the log box; the next line opens another.
    portal.closeFromDesktop(QStringLiteral("/session/2"));
    EXPECT_TRUE(window->Text1->toPlainText().contains("ended the typing session"));
    present("E\r");
    EXPECT_EQ(portal.sessions, 3);
    EXPECT_EQ(portal.pressed().mid(6), QStringList({"ffe1", "45", "ff0d"}));
    EXPECT_FALSE(ended.has_value());
}

TEST_F(PlovekPortalTest, ALineWaitingForTheDesktopIsNotTypedIfTheWindowCameBackMeanwhile)
{
    writeIni(ini(0, 0, 0, 0, 5, 1, 0, 0));
    portal.holdStart = true;
    start();
    ASSERT_TRUE(test::waitUntil([&] { return portal.calls.size() == 3; }));
    line->receive("AB12\r");
    ASSERT_TRUE(test::waitUntil([&] { return window->loop()->digitatore().occupato(); }));
    ASSERT_TRUE(tray);
    tray->click();
    ASSERT_TRUE(test::waitUntil([&] { return !window->isMinimized() && window->isVisible(); }));
    portal.answerStart(RemoteDesktopPortal::Outcome::Ok);
    ASSERT_TRUE(test::waitUntil([&] { return !window->loop()->digitatore().occupato(); }));
    EXPECT_EQ(portal.pressed(), QStringList({"ffe1"})) << "only the session's own first key";
    EXPECT_EQ(window->Label1->text(), "AB12");

    // Back into the notification area: the open session types the next line.
    window->setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(test::waitUntil([&] { return window->isHidden(); }));
    present("CD\r");
    EXPECT_EQ(portal.pressed().mid(1), QStringList({"43", "44", "ff0d"}));
    EXPECT_FALSE(ended.has_value());
}
