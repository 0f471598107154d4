#include "controllowindow.h"
#include "fixtures.h"
#include "stationport.h"

#include "fakeclock.h"
#include "fakelauncher.h"
#include "fakemessageboxes.h"
#include "fakeserialport.h"
#include "fakesound.h"
#include "faketrayicon.h"
#include "service.h"
#include "sound.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::stations;
using namespace zorv::test;

namespace {

const QByteArray kA = "AAAAAAAAAAAA";

class Window : public ::testing::Test {
protected:
    Window()
        : clockService(&clock), soundService(&sound), boxService(&boxes), launcherService(&launcher)
    {
        clock.setNow(QDateTime(QDate(2026, 3, 7), QTime(9, 0, 0)));
        folder.write(QStringLiteral("porta.cfg"), portaCfg("5", "30", "A", "4"));
        scriviRegistro(folder, {cliente("ROSSI MARIO", kA, "10", "2", "1")});
    }
    ~Window() override
    {
        delete window;
    }
    ControlloWindow &make()
    {
        window = new ControlloWindow(folder.path());
        return *window;
    }
    // Loads and waits for the start timer to open the port.
    ControlloWindow &started()
    {
        make();
        EXPECT_TRUE(window->Form_Load());
        EXPECT_TRUE(waitUntil([&] { return fake->isOpen(); }, 2000));
        return *window;
    }

    FakeClock clock;
    ScopedService<Clock> clockService;
    FakeSound sound;
    ScopedService<Sound> soundService;
    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxService;
    FakeLauncher launcher;
    ScopedService<ProgramLauncher> launcherService;
    Maker<SerialPort> ports{[this](QObject *parent) -> SerialPort * {
        fake = new FakeSerialPort(parent);
        fake->onWrite = [this](const QByteArray &frame) {
            if (frame.startsWith("C0") || frame.startsWith("B3"))
                fake->receive("OK\r");
        };
        return fake;
    }};
    ScopedService<Maker<SerialPort>> portsService{&ports};
    Maker<TrayIcon> icons{[this](QObject *parent) -> TrayIcon * {
        tray = new FakeTrayIcon(parent);
        tray->available = trayAvailable;
        return tray;
    }};
    ScopedService<Maker<TrayIcon>> iconsService{&icons};
    TempFolder folder;
    FakeSerialPort *fake = nullptr;
    FakeTrayIcon *tray = nullptr;
    bool trayAvailable = true;
    QList<int> ended;
    ProgramEnd end{[this](int code) { ended.append(code); }};
    ScopedService<ProgramEnd> endService{&end};
    ControlloWindow *window = nullptr;
};

TEST_F(Window, ControlsAndCaptions)
{
    auto &w = make();
    EXPECT_EQ(w.objectName(), QStringLiteral("RX"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Zorv900 Controllo Accessi"));
    w.show();
    const struct {
        const char *name;
        const char *caption;
    } buttons[] = {{"Command1", "Utenti"}, {"Command2", "Movimenti"}, {"Command3", "Uscita"}, {"Command4", "1"},
                   {"Command5", "2"}};
    for (const auto &b : buttons) {
        auto *button = w.findChild<QPushButton *>(QString::fromLatin1(b.name));
        ASSERT_TRUE(button) << b.name;
        EXPECT_EQ(button->text(), QString::fromLatin1(b.caption));
        EXPECT_TRUE(button->isVisible()) << b.name;
    }
    auto *clear = w.findChild<QPushButton *>(QStringLiteral("clear"));
    ASSERT_TRUE(clear);
    EXPECT_FALSE(clear->isVisible());
    auto *check = w.findChild<QCheckBox *>(QStringLiteral("Check1"));
    ASSERT_TRUE(check);
    EXPECT_EQ(check->text(), QStringLiteral("Audio"));
    EXPECT_TRUE(check->isChecked());
    for (const char *name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7", "Label8", "Label16",
                             "Label17"})
        EXPECT_TRUE(w.findChild<QLabel *>(QString::fromLatin1(name))) << name;
    EXPECT_TRUE(w.findChild<QPlainTextEdit *>(QStringLiteral("Text1")));
    QStringList captions;
    for (auto *l : w.findChildren<QLabel *>())
        captions.append(l->text());
    for (const char *c : {"Nome", "Numero Cliente", "Porta", "Carta", "Autorizzazione", "Accessi Rimanenti",
                          "Accessi Effettuati", "Data:", "Ora:"})
        EXPECT_TRUE(captions.contains(QString::fromLatin1(c))) << c;
}

TEST_F(Window, StartOpensThePortFromPortaCfgAfterItsTimer)
{
    auto &w = make();
    ASSERT_TRUE(w.Form_Load());
    EXPECT_FALSE(fake->isOpen());
    EXPECT_EQ(fake->settings(), QStringLiteral("9600,n,8,1"));
    EXPECT_EQ(fake->commPort(), 4);
    ASSERT_TRUE(waitUntil([&] { return fake->isOpen(); }, 2000));
    EXPECT_EQ(w.Label16->text(), QStringLiteral("07-03-2026"));
    EXPECT_TRUE(ended.isEmpty());
}

TEST_F(Window, LowerCaseAudioFlagUnticksAudio)
{
    folder.write(QStringLiteral("porta.cfg"), portaCfg("5", "30", "a"));
    auto &w = make();
    ASSERT_TRUE(w.Form_Load());
    EXPECT_FALSE(w.Check1->isChecked());
}

TEST_F(Window, MissingShortOrOutOfRangePortaCfgEndsTheStation)
{
    // A lock-out of 1e16 s once overflowed into none at all.
    for (const QByteArray &content : {QByteArray("1,9600\r\n5,30\r\n"), QByteArray(),
                                      QByteArray("1,9600\r\n1e16,30,\"A\"\r\n"),
                                      QByteArray("1e99,9600\r\n5,30,\"A\"\r\n"),
                                      QByteArray("1,9600\r\n1e9223372036854775807,30,\"A\"\r\n")}) {
        if (content.isEmpty())
            QFile::remove(folder.file(QStringLiteral("porta.cfg")));
        else
            folder.write(QStringLiteral("porta.cfg"), content);
        delete window;
        ended.clear();
        boxes.shown.clear();
        auto &w = make();
        EXPECT_FALSE(w.Form_Load());
        ASSERT_EQ(boxes.shown.size(), 1);
        EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("porta.cfg")));
        EXPECT_TRUE(boxes.last().text.contains(QStringLiteral("cinque voci")));
        EXPECT_EQ(ended, QList<int>{1});
        EXPECT_FALSE(w.Timer1->isActive());
    }
}

TEST_F(Window, PortThatCannotBeOpenedEndsTheStation)
{
    auto &w = make();
    w.port().Comm1();
    fake->openError = QStringLiteral("no such device");
    ASSERT_TRUE(w.Form_Load());
    ASSERT_TRUE(waitUntil([&] { return !ended.isEmpty(); }, 2000));
    EXPECT_EQ(ended, QList<int>{1});
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Errore sulla porta COM, non posso avviare il programma!"));
    EXPECT_FALSE(boxes.last().title.has_value()); // the program's title
}

TEST_F(Window, CardFillsTheLabelsAndTheLogBox)
{
    auto &w = started();
    fake->receive(kA + "\r");
    ASSERT_TRUE(waitUntil([&] { return w.loop()->righeGestite() == 1; }));
    EXPECT_EQ(w.Label1->text(), QStringLiteral("ROSSI MARIO"));
    EXPECT_EQ(w.Label2->text(), QStringLiteral("0001"));
    EXPECT_EQ(w.Label3->text(), QString::fromLatin1(kA));
    EXPECT_EQ(w.Label6->text(), QStringLiteral("1"));
    EXPECT_EQ(w.Label4->text(), QStringLiteral("Autorizzato"));
    EXPECT_EQ(w.Label8->text(), QStringLiteral("9"));
    EXPECT_EQ(w.Label7->text(), QStringLiteral("3"));
    EXPECT_EQ(w.Label5->palette().color(QPalette::Window), QColor(0, 0xC0, 0));
    EXPECT_EQ(w.Text1->toPlainText(), QString::fromLatin1(kA));
    EXPECT_EQ(fake->frames, QList<QByteArray>{QByteArray("C0") + char(30) + "1\r"});
}

TEST_F(Window, UnregisteredCardIsRedWithSco)
{
    auto &w = started();
    fake->receive("ZZZZZZZZZZZZ\r");
    ASSERT_TRUE(waitUntil([&] { return w.loop()->righeGestite() == 1; }));
    EXPECT_EQ(w.Label1->text(), QStringLiteral("Sconosciuto"));
    EXPECT_EQ(w.Label5->palette().color(QPalette::Window), QColor(0xFF, 0, 0));
    ASSERT_EQ(sound.played.size(), 1);
    EXPECT_EQ(sound.played[0], QDir(folder.path()).filePath(QStringLiteral("sco.wav")));
}

TEST_F(Window, RelayButtonsSendTheirFramesWithTheTimeByte)
{
    auto &w = started();
    QTest::mouseClick(w.Command4, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !w.port().waiting(); }));
    QTest::mouseClick(w.Command5, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !w.port().waiting(); }));
    EXPECT_EQ(fake->frames, (QList<QByteArray>{QByteArray("C0") + char(30) + "1\r", QByteArray("B3") + char(30) + "1\r"}));
    // The answers were the waits', not lines of the log box.
    EXPECT_TRUE(w.Text1->toPlainText().isEmpty());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(Window, RelayButtonWhileACardLineIsHalfRead)
{
    auto &w = started();
    fake->receive("AAAAAA");
    QTest::qWait(20);
    QTest::mouseClick(w.Command4, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !w.port().waiting(); }));
    fake->receive("AAAAAA\r");
    ASSERT_TRUE(waitUntil([&] { return w.loop()->righeGestite() == 1; }));
    EXPECT_EQ(w.Label4->text(), QStringLiteral("Autorizzato"));
}

TEST_F(Window, ProgramButtons)
{
    auto &w = make();
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    EXPECT_EQ(launcher.started, (QStringList{QStringLiteral("database"), QStringLiteral("movimenti")}));
    launcher.missing = QStringList{QStringLiteral("database")};
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(Window, QuitQuestion)
{
    auto &w = make();
    boxes.answerNext(answer::No);
    QTest::mouseClick(w.Command3, Qt::LeftButton);
    EXPECT_TRUE(ended.isEmpty());
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Lasciare il programma ?"));
    EXPECT_EQ(boxes.last().style, 4);
    EXPECT_EQ(boxes.last().title, QStringLiteral("(!)"));
    EXPECT_EQ(boxes.beeps, 1);
    boxes.answerNext(answer::Yes);
    QTest::mouseClick(w.Command3, Qt::LeftButton);
    EXPECT_EQ(ended, QList<int>{0});
}

TEST_F(Window, CloseBoxAsksTheSameQuestion)
{
    auto &w = make();
    w.show();
    boxes.answerNext(answer::No);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(ended.isEmpty());
    EXPECT_EQ(boxes.last().text, QStringLiteral("Lasciare il programma ?"));
    EXPECT_EQ(boxes.beeps, 1);
    boxes.answerNext(answer::Yes);
    w.close();
    EXPECT_EQ(ended, QList<int>{0});
}

TEST_F(Window, ClockLabels)
{
    auto &w = make();
    clock.setNow(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)));
    w.Timer2_Timer();
    EXPECT_EQ(w.Label16->text(), QStringLiteral("31-12-2026"));
    EXPECT_EQ(w.Label17->text(), QStringLiteral("23:59:59"));
    clock.advanceMs(1000);
    w.Timer2_Timer();
    EXPECT_EQ(w.Label16->text(), QStringLiteral("01-01-2027"));
    EXPECT_EQ(w.Label17->text(), QStringLiteral("00:00:00"));
    EXPECT_EQ(w.Timer2->interval(), 1000);
    EXPECT_TRUE(w.Timer2->isActive());
}

TEST_F(Window, MinimisingHidesIntoTheTrayAndAClickRestores)
{
    auto &w = make();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.showMinimized();
    ASSERT_TRUE(waitUntil([&] { return tray->isShown(); }, 2000));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(tray->tip, QStringLiteral("Zorv900 Controllo Accessi"));
    tray->click();
    // The click is answered once its delivery is over, as the real icon does it.
    EXPECT_FALSE(w.isVisible());
    ASSERT_TRUE(waitUntil([&] { return w.isVisible(); }, 2000));
    EXPECT_FALSE(w.isMinimized());
    EXPECT_FALSE(tray->isShown());
    EXPECT_EQ(tray->adds, 1);
    EXPECT_EQ(tray->removes, 1);
    // Again: once per minimise, once per restore.
    w.showMinimized();
    ASSERT_TRUE(waitUntil([&] { return tray->isShown(); }, 2000));
    tray->click();
    ASSERT_TRUE(waitUntil([&] { return w.isVisible(); }, 2000));
    EXPECT_EQ(tray->adds, 2);
    EXPECT_EQ(tray->removes, 2);
}

TEST_F(Window, TrayGoneWhileHiddenLeavesAnOrdinaryMinimisedWindow)
{
    auto &w = make();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.showMinimized();
    ASSERT_TRUE(waitUntil([&] { return tray->isShown(); }, 2000));
    ASSERT_FALSE(w.isVisible());

    tray->loseArea();
    ASSERT_TRUE(waitUntil([&] { return w.isVisible(); }, 2000));
    EXPECT_TRUE(w.isMinimized());
    EXPECT_FALSE(tray->isShown());
    EXPECT_EQ(tray->removes, 0) << "the icon went with the area";
    // Restored and minimised again without an area: it stays an ordinary window.
    w.showNormal();
    w.showMinimized();
    QTest::qWait(50);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(tray->adds, 1);

    // A new area is used from the next minimise on.
    tray->available = true;
    QTest::qWait(50);
    EXPECT_TRUE(w.isVisible()) << "nothing moves until the next minimise";
    w.showNormal();
    w.showMinimized();
    ASSERT_TRUE(waitUntil([&] { return tray->isShown(); }, 2000));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(tray->adds, 2);
}

TEST_F(Window, TrayGoneWhileOnScreenChangesNothing)
{
    auto &w = make();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    tray->loseArea();
    QTest::qWait(50);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
    w.showMinimized();
    QTest::qWait(50);
    EXPECT_TRUE(w.isVisible()) << "no area: an ordinary minimised window";
    EXPECT_EQ(tray->adds, 0);
}

TEST_F(Window, WithoutATrayMinimisingLeavesAnOrdinaryWindow)
{
    trayAvailable = false;
    auto &w = make();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.showMinimized();
    QTest::qWait(50);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(tray->adds, 0);
}

TEST_F(Window, LogBoxKeepsARecentBoundedPart)
{
    auto &w = make();
    for (int i = 0; i < StationWindow::kMaxRighe + 100; ++i)
        w.appendText1(QByteArray::number(i) + "\r");
    EXPECT_EQ(w.Text1->blockCount(), StationWindow::kMaxRighe);
    EXPECT_TRUE(w.Text1->toPlainText().endsWith(QString::number(StationWindow::kMaxRighe + 99)));
}

TEST_F(Window, ReaderThatGoesAwayIsWaitedForAndReadingResumes)
{
    auto &w = started();
    fake->unplug(QStringLiteral("device removed"));
    EXPECT_TRUE(w.Text1->toPlainText().contains(QStringLiteral("lettore scollegato")));
    EXPECT_TRUE(ended.isEmpty());
    EXPECT_TRUE(boxes.shown.isEmpty());
    ASSERT_TRUE(waitUntil([&] { return fake->isOpen(); }, ControlloWindow::kRiprovaMs + 2000));
    EXPECT_TRUE(w.Text1->toPlainText().contains(QStringLiteral("lettore ricollegato")));
    fake->receive(kA + "\r");
    ASSERT_TRUE(waitUntil([&] { return w.loop()->righeGestite() == 1; }));
    EXPECT_EQ(w.Label4->text(), QStringLiteral("Autorizzato"));
}

TEST_F(Window, FailureIsShownInTheLogBox)
{
    auto &w = started();
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("mov.txt")));
    fake->receive(kA + "\r");
    ASSERT_TRUE(waitUntil([&] { return w.loop()->righeGestite() == 1; }));
    EXPECT_TRUE(w.Text1->toPlainText().contains(QStringLiteral("ERRORE")));
    EXPECT_TRUE(w.Text1->toPlainText().contains(QStringLiteral("mov.txt non scritto")));
}

} // namespace
