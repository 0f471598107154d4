// The stations' notification-area icon on a real X server: a tray host of the test's
// own (trayer), a window manager of its own (openbox) where a case needs one, and real
// clicks (xdotool). In process with the access-control window, and the wedge program
// itself.

#include "controllowindow.h"

#include "fakeclock.h"
#include "fakelauncher.h"
#include "fakemessageboxes.h"
#include "fakeserialport.h"
#include "fakesound.h"
#include "qttrayicon.h"
#include "service.h"
#include "sound.h"
#include "testsupport.h"
#include "trayicon.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace zorv;
using namespace zorv::stations;
using namespace zorv::test;

namespace {

int ignoreXErrors(Display *, XErrorEvent *)
{
    // Windows come and go while the tree is read.
    return 0;
}

// The desktop around the stations: the test's tray host and window manager, and what
// the X server says about windows.
class Desk {
public:
    Desk() : m_dpy(XOpenDisplay(nullptr))
    {
        if (m_dpy)
            XSetErrorHandler(ignoreXErrors);
    }
    ~Desk()
    {
        stopTray();
        stop(m_wm);
        if (m_dpy)
            XCloseDisplay(m_dpy);
    }
    Desk(const Desk &) = delete;
    Desk &operator=(const Desk &) = delete;

    bool isOpen() const { return m_dpy != nullptr; }
    static bool have(const QString &program) { return !QStandardPaths::findExecutable(program).isEmpty(); }

    bool startTray()
    {
        m_tray.start(QStringLiteral("trayer"), {"--edge", "top", "--align", "right", "--widthtype", "pixel",
                                                 "--width", "120", "--heighttype", "pixel", "--height", "24"});
        return m_tray.waitForStarted() && waitUntil([&] { return trayOwner() != None; }, 10000);
    }
    // The host ends as if its user closed it.
    bool stopTray()
    {
        stop(m_tray);
        return waitUntil([&] { return trayOwner() == None; }, 5000);
    }
    // Ready once its start-up is over: openbox names itself on the root window before it
    // has set up, and a window shown in between may wait long to be taken in.
    bool startWm()
    {
        XDeleteProperty(m_dpy, root(), atom("_ZORV_WM_READY"));
        XSync(m_dpy, False);
        m_wm.start(QStringLiteral("openbox"),
                   {"--startup", "xprop -root -f _ZORV_WM_READY 32c -set _ZORV_WM_READY 1"});
        return m_wm.waitForStarted() && waitUntil([&] { return cardinal(root(), "_ZORV_WM_READY") != 0; }, 10000);
    }

    bool hasWm() const { return m_wm.state() == QProcess::Running; }

    // A program's icon in the tray: its window inside the tray host's, mapped.
    Window icon(const QByteArray &program)
    {
        Window found = None;
        walk(root(), [&](Window host) {
            if (found || resClass(host) != "trayer")
                return;
            walk(host, [&](Window w) {
                if (!found && resName(w) == program && viewable(w))
                    found = w;
            });
        });
        return found;
    }
    // A program's main window, known by its title.
    Window window(const QByteArray &title)
    {
        Window found = None;
        walk(root(), [&](Window w) {
            XWindowAttributes a;
            char *name = nullptr;
            if (found || !XGetWindowAttributes(m_dpy, w, &a) || a.width < 100 || !XFetchName(m_dpy, w, &name))
                return;
            if (title == name)
                found = w;
            XFree(name);
        });
        return found;
    }

    bool viewable(Window w)
    {
        XWindowAttributes a;
        return XGetWindowAttributes(m_dpy, w, &a) && a.map_state == IsViewable;
    }
    // WM_STATE as the window manager keeps it: NormalState, IconicState, or 0 for none.
    long wmState(Window w) { return cardinal(w, "WM_STATE", atom("WM_STATE")); }
    // In the window manager's list of windows (what task bars and Alt+Tab show).
    bool listed(Window w)
    {
        for (unsigned long c : cardinals(root(), "_NET_CLIENT_LIST", XA_WINDOW))
            if (c == w)
                return true;
        return false;
    }

    // Real clicks in the middle of `w`: xdotool's click arguments.
    bool click(Window w, const QStringList &how)
    {
        int x = 0, y = 0;
        Window child;
        XWindowAttributes a;
        if (!XGetWindowAttributes(m_dpy, w, &a) || !XTranslateCoordinates(m_dpy, w, root(), 0, 0, &x, &y, &child))
            return false;
        return QProcess::execute(QStringLiteral("xdotool"),
                                 QStringList{"mousemove", QString::number(x + a.width / 2),
                                             QString::number(y + a.height / 2), "click"} + how) == 0;
    }
    static bool xdotool(const QStringList &args) { return QProcess::execute(QStringLiteral("xdotool"), args) == 0; }

private:
    Window root() const { return DefaultRootWindow(m_dpy); }
    Atom atom(const char *name) { return XInternAtom(m_dpy, name, False); }
    Window trayOwner()
    {
        const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(DefaultScreen(m_dpy));
        return XGetSelectionOwner(m_dpy, atom(name.constData()));
    }
    static void stop(QProcess &p)
    {
        if (p.state() == QProcess::NotRunning)
            return;
        p.terminate();
        if (!p.waitForFinished(5000)) {
            p.kill();
            p.waitForFinished(5000);
        }
    }
    void walk(Window w, const std::function<void(Window)> &visit)
    {
        Window r, parent, *children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(m_dpy, w, &r, &parent, &children, &n))
            return;
        for (unsigned int i = 0; i < n; ++i) {
            visit(children[i]);
            walk(children[i], visit);
        }
        if (children)
            XFree(children);
    }
    QByteArray resName(Window w) { return classHint(w).first; }
    QByteArray resClass(Window w) { return classHint(w).second; }
    std::pair<QByteArray, QByteArray> classHint(Window w)
    {
        XClassHint hint{};
        if (!XGetClassHint(m_dpy, w, &hint))
            return {};
        std::pair<QByteArray, QByteArray> names(hint.res_name ? hint.res_name : "",
                                                 hint.res_class ? hint.res_class : "");
        XFree(hint.res_name);
        XFree(hint.res_class);
        return names;
    }
    QList<unsigned long> cardinals(Window w, const char *property, Atom type = AnyPropertyType)
    {
        Atom actual;
        int format = 0;
        unsigned long n = 0, rest = 0;
        unsigned char *data = nullptr;
        QList<unsigned long> values;
        if (XGetWindowProperty(m_dpy, w, atom(property), 0, 1024, False, type, &actual, &format, &n, &rest, &data)
                == Success
            && data && format == 32) {
            const auto *longs = reinterpret_cast<const unsigned long *>(data);
            for (unsigned long i = 0; i < n; ++i)
                values.append(longs[i]);
        }
        if (data)
            XFree(data);
        return values;
    }
    unsigned long cardinal(Window w, const char *property, Atom type = AnyPropertyType)
    {
        const QList<unsigned long> v = cardinals(w, property, type);
        return v.isEmpty() ? 0 : v.first();
    }

    Display *m_dpy;
    QProcess m_tray;
    QProcess m_wm;
};

// One way of clicking the icon, as xdotool's click arguments.
struct Click {
    const char *name;
    QStringList how;
};
const Click kClicks[] = {
    {"left", {"1"}},
    {"right", {"3"}},
    {"double", {"--repeat", "2", "--delay", "80", "1"}},
};

class TrayX11 : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X server";
        for (const char *program : {"trayer", "openbox", "xdotool", "xprop"})
            if (!Desk::have(QString::fromLatin1(program)))
                GTEST_SKIP() << "needs " << program;
        ASSERT_TRUE(desk.isOpen());
    }

    Desk desk;
};

// The access-control window in this process, on the real icon and a fake reader line.
class StationTray : public TrayX11 {
protected:
    void TearDown() override { window.reset(); }

    void open()
    {
        window = std::make_unique<ControlloWindow>(folder.path());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_TRUE(waitUntil([&] { return xid() != None && desk.viewable(xid()); }));
        // Taken in by the window manager, where one runs: it minimises only what it manages.
        if (desk.hasWm()) {
            ASSERT_TRUE(waitUntil([&] { return desk.wmState(xid()) == NormalState; }));
        }
    }
    Window xid() const { return window ? Window(window->winId()) : None; }
    Window icon() { return desk.icon(QByteArray("test_tray_x11")); }
    bool inTray() { return window->isHidden() && icon() != None; }
    std::string state()
    {
        return "visible " + std::to_string(window->isVisible()) + ", minimised "
               + std::to_string(window->isMinimized()) + ", viewable " + std::to_string(desk.viewable(xid()))
               + ", WM_STATE " + std::to_string(desk.wmState(xid())) + ", icon " + std::to_string(icon() != None);
    }
    bool onScreen()
    {
        return window->isVisible() && !window->isMinimized() && desk.viewable(xid())
               && desk.wmState(xid()) == NormalState;
    }

    FakeClock clock;
    ScopedService<Clock> clockService{&clock};
    FakeSound sound;
    ScopedService<Sound> soundService{&sound};
    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxService{&boxes};
    FakeLauncher launcher;
    ScopedService<ProgramLauncher> launcherService{&launcher};
    Maker<SerialPort> ports = Maker<SerialPort>::of<FakeSerialPort>();
    ScopedService<Maker<SerialPort>> portsService{&ports};
    Maker<TrayIcon> icons = Maker<TrayIcon>::of<QtTrayIcon>();
    ScopedService<Maker<TrayIcon>> iconsService{&icons};
    TempFolder folder;
    std::unique_ptr<ControlloWindow> window;
};

} // namespace

TEST_F(StationTray, EveryClickOnTheIconRestoresTheWindowForGood)
{
    ASSERT_TRUE(desk.startWm());
    ASSERT_TRUE(desk.startTray());
    open();
    // Minimised by the program itself (as the wedge does 30 s after start) and by the
    // user through the window manager.
    const struct {
        const char *name;
        std::function<void()> minimise;
    } ways[] = {
        {"by the program", [&] { window->setWindowState(Qt::WindowMinimized); }},
        {"by the window manager", [&] { Desk::xdotool({"windowminimize", QString::number(xid())}); }},
    };
    for (const auto &way : ways) {
        for (const Click &c : kClicks) {
            SCOPED_TRACE(std::string(way.name) + ", " + c.name + " click");
            way.minimise();
            ASSERT_TRUE(waitUntil([&] { return inTray(); }, 5000));
            ASSERT_TRUE(desk.click(icon(), c.how));
            ASSERT_TRUE(waitUntil([&] { return onScreen(); }, 5000)) << state();
            // It stays: the window manager does not take it back in as minimised.
            QTest::qWait(800);
            EXPECT_TRUE(onScreen());
            EXPECT_EQ(icon(), None);
            EXPECT_FALSE(window->tray()->isShown());
        }
    }
}

TEST_F(StationTray, TrayHostGoneLeavesAListedMinimisedWindowAndANewHostIsUsedNextTime)
{
    ASSERT_TRUE(desk.startWm());
    ASSERT_TRUE(desk.startTray());
    open();
    Desk::xdotool({"windowminimize", QString::number(xid())});
    ASSERT_TRUE(waitUntil([&] { return inTray(); }, 5000));

    ASSERT_TRUE(desk.stopTray());
    // Found within a few seconds: an ordinary minimised window in the window list.
    ASSERT_TRUE(waitUntil([&] { return window->isVisible(); }, 3 * QtTrayIcon::kCheckMs));
    EXPECT_TRUE(window->isMinimized());
    ASSERT_TRUE(waitUntil([&] { return desk.wmState(xid()) == IconicState && desk.listed(xid()); }, 5000));
    EXPECT_FALSE(window->tray()->isShown());

    // A new host shows nothing by itself ...
    ASSERT_TRUE(desk.startTray());
    QTest::qWait(500);
    EXPECT_EQ(icon(), None);
    EXPECT_EQ(desk.wmState(xid()), IconicState);
    // ... and is used from the next minimise on.
    Desk::xdotool({"windowactivate", QString::number(xid())});
    ASSERT_TRUE(waitUntil([&] { return onScreen(); }, 5000));
    Desk::xdotool({"windowminimize", QString::number(xid())});
    ASSERT_TRUE(waitUntil([&] { return inTray(); }, 5000));
    EXPECT_FALSE(desk.listed(xid()));
    ASSERT_TRUE(desk.click(icon(), {"1"}));
    ASSERT_TRUE(waitUntil([&] { return onScreen(); }, 5000));
}

TEST_F(StationTray, WithoutAWindowManagerTheWindowIsMappedAgainWhenTheTrayGoes)
{
    ASSERT_TRUE(desk.startTray());
    open();
    window->setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(waitUntil([&] { return inTray(); }, 5000));
    EXPECT_FALSE(desk.viewable(xid()));

    ASSERT_TRUE(desk.stopTray());
    ASSERT_TRUE(waitUntil([&] { return desk.viewable(xid()); }, 3 * QtTrayIcon::kCheckMs));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMinimized());
}

// The wedge program itself: it hides into the tray 30 s after start.
TEST_F(TrayX11, WedgeProgramSurvivesEveryClickAndKeepsItsWindowWhenTheTrayGoes)
{
    const QString program = qEnvironmentVariable("ZORV900_BIN_DIR") + QStringLiteral("/Plovek");
    if (!QFileInfo::exists(program))
        GTEST_SKIP() << "needs the Plovek program: " << program.toStdString();
    ASSERT_TRUE(desk.startWm());
    ASSERT_TRUE(desk.startTray());
    TempFolder home;
    QProcess plovek;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    plovek.setProcessEnvironment(env);
    plovek.setWorkingDirectory(home.path());
    plovek.start(program, {});
    ASSERT_TRUE(plovek.waitForStarted());
    auto running = [&] { return plovek.state() == QProcess::Running; };

    Window w = None;
    ASSERT_TRUE(waitUntil([&] { return (w = desk.window("Zandorex RF Wedge")) != None && desk.viewable(w); }, 10000));
    auto onScreen = [&] { return desk.viewable(w) && desk.wmState(w) == NormalState; };
    auto inTray = [&] { return !desk.viewable(w) && desk.icon("Plovek") != None; };
    ASSERT_TRUE(waitUntil(inTray, 40000)) << "the wedge hides itself 30 s after start";

    bool first = true;
    for (const Click &c : kClicks) {
        SCOPED_TRACE(std::string(c.name) + " click");
        // The first time the wedge is in the tray by itself.
        if (!std::exchange(first, false)) {
            Desk::xdotool({"windowminimize", QString::number(w)});
            ASSERT_TRUE(waitUntil(inTray, 5000));
        }
        ASSERT_TRUE(desk.click(desk.icon("Plovek"), c.how));
        ASSERT_TRUE(waitUntil(onScreen, 5000));
        QTest::qWait(800);
        EXPECT_TRUE(onScreen());
        ASSERT_TRUE(running()) << "the station went down";
    }

    Desk::xdotool({"windowminimize", QString::number(w)});
    ASSERT_TRUE(waitUntil(inTray, 5000));
    ASSERT_TRUE(desk.stopTray());
    ASSERT_TRUE(waitUntil([&] { return desk.wmState(w) == IconicState && desk.listed(w); }, 3 * QtTrayIcon::kCheckMs))
        << "WM_STATE " << desk.wmState(w) << ", listed " << desk.listed(w) << ", viewable " << desk.viewable(w);
    EXPECT_TRUE(running());

    plovek.terminate();
    plovek.waitForFinished(5000);
}
