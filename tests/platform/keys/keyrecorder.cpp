#include "keyrecorder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

struct KeyRecorder::Impl {
    Display *dpy = nullptr;
    Window win = 0;
    QList<Press> presses;
    QString error;
    std::unique_ptr<QSocketNotifier> notifier;

    static bool isModifier(KeySym sym)
    {
        return IsModifierKey(sym) || sym == XK_ISO_Level3_Shift;
    }

    void read()
    {
        while (XPending(dpy) > 0) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == MappingNotify) {
                XRefreshKeyboardMapping(&ev.xmapping);
                continue;
            }
            if (ev.type != KeyPress)
                continue;
            char buf[32] = {};
            KeySym sym = 0;
            const int n = XLookupString(&ev.xkey, buf, sizeof buf - 1, &sym, nullptr);
            if (isModifier(sym))
                continue;
            Press p;
            p.keysym = sym;
            const char *name = XKeysymToString(sym);
            p.name = name ? QString::fromLatin1(name) : QStringLiteral("0x%1").arg(sym, 0, 16);
            // The keysym tells the character; the text of the lookup is in the locale's
            // encoding and serves for the rest.
            if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF)) {
                p.text = QChar(char16_t(sym));
            } else if (sym >= 0x01000100 && sym <= 0x0110FFFF) {
                const char32_t u = char32_t(sym & 0xFFFFFF);
                p.text = QString::fromUcs4(&u, 1);
            } else if (n > 0 && (unsigned char)buf[0] >= 0x20 && buf[0] != 0x7F) {
                p.text = QString::fromLocal8Bit(buf, n);
            }
            p.timeMs = ev.xkey.time;
            presses.append(p);
        }
    }
};

KeyRecorder::KeyRecorder() : d(std::make_unique<Impl>())
{
    d->dpy = XOpenDisplay(nullptr);
    if (!d->dpy) {
        d->error = QStringLiteral("no X display");
        return;
    }
    const int screen = DefaultScreen(d->dpy);
    d->win = XCreateSimpleWindow(d->dpy, RootWindow(d->dpy, screen), 10, 10, 200, 100, 0,
                                 BlackPixel(d->dpy, screen), WhitePixel(d->dpy, screen));
    XSelectInput(d->dpy, d->win, KeyPressMask | KeyReleaseMask | StructureNotifyMask | FocusChangeMask);
    XStoreName(d->dpy, d->win, "key recorder");
    XMapRaised(d->dpy, d->win);
    // Wait for the window to be on screen before it can take the focus.
    for (;;) {
        XEvent ev;
        XNextEvent(d->dpy, &ev);
        if (ev.type == MapNotify && ev.xmap.window == d->win)
            break;
    }
    focus();
    d->notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(d->dpy), QSocketNotifier::Read);
    QObject::connect(d->notifier.get(), &QSocketNotifier::activated, [this] { d->read(); });
}

KeyRecorder::~KeyRecorder()
{
    d->notifier.reset();
    if (d->dpy) {
        XDestroyWindow(d->dpy, d->win);
        XCloseDisplay(d->dpy);
    }
}

bool KeyRecorder::isOpen() const
{
    return d->dpy != nullptr;
}

QString KeyRecorder::error() const
{
    return d->error;
}

void KeyRecorder::focus()
{
    if (!d->dpy)
        return;
    XRaiseWindow(d->dpy, d->win);
    XSetInputFocus(d->dpy, d->win, RevertToParent, CurrentTime);
    XSync(d->dpy, False);
}

void KeyRecorder::pump()
{
    if (d->dpy)
        d->read();
}

bool KeyRecorder::waitForPresses(int count, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        pump();
        if (d->presses.size() >= count)
            return true;
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QTest::qWait(2);
    }
}

void KeyRecorder::settle(int quietMs)
{
    qsizetype seen = -1;
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < quietMs) {
        pump();
        if (d->presses.size() != seen) {
            seen = d->presses.size();
            quiet.restart();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QTest::qWait(5);
    }
}

const QList<KeyRecorder::Press> &KeyRecorder::presses() const
{
    return d->presses;
}

QStringList KeyRecorder::names() const
{
    QStringList out;
    for (const Press &p : d->presses)
        out.append(p.name);
    return out;
}

QString KeyRecorder::typed() const
{
    QString out;
    for (const Press &p : d->presses)
        out += p.text;
    return out;
}

void KeyRecorder::clear()
{
    pump();
    d->presses.clear();
}

QList<unsigned long> KeyRecorder::keyboardMapping() const
{
    QList<unsigned long> out;
    if (!d->dpy)
        return out;
    int minCode = 0, maxCode = 0, width = 0;
    XDisplayKeycodes(d->dpy, &minCode, &maxCode);
    KeySym *map = XGetKeyboardMapping(d->dpy, KeyCode(minCode), maxCode - minCode + 1, &width);
    for (int i = 0; i < (maxCode - minCode + 1) * width; ++i)
        out.append(map[i]);
    XFree(map);
    return out;
}
