// The registry's windows driven by real key presses through an X server (xdotool), so
// that focus moves and window activation happen as they do at the operator's desk.

#include "dbase.h"
#include "dbstate.h"
#include "fixture.h"
#include "minmax.h"
#include "trovi.h"
#include "visual.h"

#include "fakelauncher.h"
#include "fakemessageboxes.h"
#include "fakeprinter.h"
#include "service.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::registry;
using zorv::registry::lists::Minmax;
using zorv::test::cliente;
using zorv::test::registro;
using zorv::test::waitUntil;

namespace {

// Keys pressed on the real keyboard: xdotool's key names ("Tab", "shift+Tab", "Return",
// "KP_Enter", "r o s s i" typed one by one).
bool xkeys(const QStringList &names)
{
    return QProcess::execute(QStringLiteral("xdotool"), QStringList{QStringLiteral("key"), QStringLiteral("--delay"),
                                                                     QStringLiteral("30")} + names) == 0;
}

bool xtype(const QString &text)
{
    return QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"),
                                                         QStringLiteral("30"), text}) == 0;
}

// The window has the keyboard of the X server.
bool activate(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

class X11Keys : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X server";
        if (QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("version")}) != 0)
            GTEST_SKIP() << "needs xdotool";
        QList<Record> records;
        for (int i = 1; i <= 12; ++i)
            records.append(cliente(qPrintable(QStringLiteral("cliente %1").arg(i)), "roma"));
        records[6] = cliente("rossi mario", "milano");
        records[11] = cliente("derossi anna", "bari");
        dir.write("CLIENTI.DAT", registro(records));
        db() = DbState{};
        db().Percorso = dir.path() + '/';
        db().FileClienti = dir.file("CLIENTI.DAT");
    }

    test::TempFolder dir;
    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxService{&boxes};
    FakeLauncher programs;
    ScopedService<ProgramLauncher> launcherService{&programs};
    FakePrinter printer;
    ScopedService<Printer> printerService{&printer};
};

} // namespace

TEST_F(X11Keys, RangePromptTabLeavesTheFirstBoxAndTheTypedRangeIsTaken)
{
    Minmax prompt;
    prompt.preset(17);
    bool done = false;
    test::whenIdle([&] {
        ASSERT_TRUE(activate(&prompt));
        ASSERT_EQ(prompt.focusWidget(), prompt.Command1);
        ASSERT_TRUE(xkeys({"Tab"}));
        ASSERT_TRUE(waitUntil([&] { return prompt.Text1->hasFocus(); }, 3000));
        ASSERT_TRUE(xtype("2"));
        ASSERT_TRUE(xkeys({"Tab"}));
        ASSERT_TRUE(waitUntil([&] { return prompt.Text2->hasFocus(); }, 3000)) << "Tab stayed in the first box";
        ASSERT_TRUE(xtype("3"));
        ASSERT_TRUE(xkeys({"shift+Tab"}));
        ASSERT_TRUE(waitUntil([&] { return prompt.Text1->hasFocus(); }, 3000));
        EXPECT_EQ(prompt.Text1->text(), "2");
        EXPECT_EQ(prompt.Text2->text(), "3");
        done = true;
        ASSERT_TRUE(xkeys({"Return"}));
    });
    prompt.exec();
    ASSERT_TRUE(done);
    EXPECT_EQ(prompt.result(), QDialog::Accepted);
    EXPECT_EQ(db().StampaDa, 2);
    EXPECT_EQ(db().StampaA, 3);
}

TEST_F(X11Keys, SearchIsIdleAgainAfterTheCardOpenedByKeysCloses)
{
    Trovi search;
    search.show();
    ASSERT_TRUE(activate(&search));
    ASSERT_TRUE(xtype("rossi"));
    ASSERT_TRUE(xkeys({"Return"}));
    ASSERT_TRUE(waitUntil([&] { return search.Etichetta2->text() == "0007"; }, 3000));
    ASSERT_TRUE(waitUntil([&] { return search.Comando2->hasFocus(); }, 3000));

    // " Scheda " by Tab and Enter; the card closes by Esc, all on the keyboard.
    bool cardSeen = false;
    QTimer watch;
    watch.setInterval(50);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto *card = qobject_cast<Visual *>(QApplication::activeModalWidget());
        if (!card || !card->isActiveWindow() || cardSeen)
            return;
        cardSeen = true;
        xkeys({"Escape"});
    });
    watch.start();
    ASSERT_TRUE(xkeys({"Tab"}));
    ASSERT_TRUE(waitUntil([&] { return search.Comando3->hasFocus(); }, 3000));
    ASSERT_TRUE(xkeys({"Return"}));
    ASSERT_TRUE(waitUntil([&] { return cardSeen && !qobject_cast<Visual *>(QApplication::activeModalWidget()); }, 5000));
    watch.stop();
    EXPECT_EQ(db().NumCliente, 7);

    QTest::qWait(300); // whatever focus and activation events the card's closing brings
    EXPECT_EQ(search.Testo1->text(), QString());
    EXPECT_EQ(search.Etichetta1->text(), QString());
    EXPECT_EQ(search.Etichetta2->text(), QString());
    EXPECT_TRUE(search.Comando1->isEnabled());
    EXPECT_FALSE(search.Comando2->isEnabled());
    EXPECT_EQ(search.focusWidget(), search.Testo1);

    // The next search, typed at once, starts afresh.
    ASSERT_TRUE(activate(&search));
    ASSERT_TRUE(xtype("derossi"));
    ASSERT_TRUE(xkeys({"Return"}));
    EXPECT_TRUE(waitUntil([&] { return search.Etichetta2->text() == "0012"; }, 3000)) << search.Etichetta2->text().toStdString();
}

TEST_F(X11Keys, EnterOnAFocusedButtonOfTheMainWindowClicksIt)
{
    Dbase window;
    window.show();
    ASSERT_TRUE(activate(&window));
    for (const char *enter : {"Return", "KP_Enter"}) {
        programs.started.clear();
        window.Command12->setFocus();
        ASSERT_TRUE(xkeys({QString::fromLatin1(enter)}));
        EXPECT_TRUE(waitUntil([&] { return !programs.started.isEmpty(); }, 3000)) << enter;
        EXPECT_EQ(programs.started, QStringList{"Calc"}) << enter;
    }
}

TEST(X11Program, DatabaseTakesEnterOnItsButtonsAndStartsMenuFromTheCurrentFolder)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X server";
    const QString program = QDir(qEnvironmentVariable("ZORV900_BIN_DIR")).filePath(QStringLiteral("database"));
    if (!QFile::exists(program))
        GTEST_SKIP() << "no database program next to the tests";
    test::TempFolder folder;
    folder.write("menu", "#!/bin/sh\ntouch menu-started\n");
    QFile::setPermissions(folder.file("menu"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcess database;
    database.setWorkingDirectory(folder.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ZORV900_BIN_DIR")); // menu is not next to the program
    database.setProcessEnvironment(env);
    database.start(program, {});
    ASSERT_TRUE(database.waitForStarted());

    // Waits until a window whose title is exactly `title` is shown; its X id, or empty.
    auto windowNamed = [](const QString &title) {
        QProcess search;
        search.start(QStringLiteral("timeout"), {QStringLiteral("10"), QStringLiteral("xdotool"), QStringLiteral("search"),
                                                 QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                                                 QStringLiteral("--name"), QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$')});
        search.waitForFinished(15000);
        return QString::fromLatin1(search.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts).value(0);
    };
    // Waits until no window titled exactly `title` is shown.
    auto gone = [](const QString &title) {
        return waitUntil([&] {
            return QProcess::execute(QStringLiteral("xdotool"),
                                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                      QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$')})
                   != 0;
        }, 10000);
    };
    const QString main = windowNamed(QStringLiteral(" DATA BASE CLI  V. 2.0"));
    ASSERT_FALSE(main.isEmpty());
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), main}), 0);
    QTest::qWait(300);
    // "Nuovo" has the focus: Enter opens the entry form; F9 closes it.
    ASSERT_TRUE(xkeys({"Return"}));
    EXPECT_FALSE(windowNamed(QStringLiteral("Aggiorna")).isEmpty());
    ASSERT_TRUE(xkeys({"F9"}));
    ASSERT_TRUE(gone(QStringLiteral("Aggiorna")));
    // F9 asks to leave; Enter on its focused Yes leaves and starts menu. Without a window
    // manager the keyboard goes back to the main window only when the test gives it there;
    // a key that arrives while the program still settles its modal state is given again.
    bool asked = false;
    for (int attempt = 0; attempt < 3 && !asked; ++attempt) {
        QTest::qWait(500);
        ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), main}), 0);
        QTest::qWait(300);
        ASSERT_TRUE(xkeys({"F9"}));
        asked = waitUntil([&] {
            return QProcess::execute(QStringLiteral("xdotool"),
                                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                      QStringLiteral("^\\(!\\)$")}) == 0;
        }, 3000);
    }
    ASSERT_TRUE(asked);
    QTest::qWait(300);
    ASSERT_TRUE(xkeys({"Return"}));
    EXPECT_TRUE(database.waitForFinished(5000));
    EXPECT_TRUE(waitUntil([&] { return QFile::exists(folder.file("menu-started")); }, 3000));
    if (database.state() != QProcess::NotRunning) {
        database.kill();
        database.waitForFinished();
    }
}
