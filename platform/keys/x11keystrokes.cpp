#include "x11keystrokes.h"

#include <QHash>
#include <QList>
#include <QElapsedTimer>
#include <QTimer>

#include <vector>

// Xlib defines macros (None, Bool, Status, KeyPress ...) that clash with Qt's names: it
// comes after every Qt header.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>

namespace zorv {

namespace {

// X errors of our own requests are caught here instead of ending the program.
int g_xError = 0;

int recordError(Display *, XErrorEvent *event)
{
    g_xError = event->error_code;
    return 0;
}

class ErrorTrap {
public:
    explicit ErrorTrap(Display *dpy) : m_dpy(dpy)
    {
        g_xError = 0;
        m_previous = XSetErrorHandler(recordError);
    }
    ~ErrorTrap() { XSetErrorHandler(m_previous); }
    // Waits for the server to have handled everything sent so far.
    bool ok()
    {
        XSync(m_dpy, False);
        return g_xError == 0;
    }

private:
    Display *m_dpy;
    int (*m_previous)(Display *, XErrorEvent *) = nullptr;
};

} // namespace

struct X11Keystrokes::Impl {
    static constexpr int kReuseGuardMs = X11Keystrokes::kReuseGuardMs;
    struct Found {
        KeyCode code = 0;
        bool shift = false;
    };
    struct Spare {
        KeyCode code = 0;
        KeySym bound = NoSymbol; // NoSymbol: carries nothing of ours
        quint64 lastUse = 0;
        qint64 lastUseMs = -1000000;
        std::vector<KeySym> original;
    };

    Display *dpy = nullptr;
    XkbDescPtr xkb = nullptr;
    bool mapStale = false;
    int minCode = 8;
    int maxCode = 255;
    KeyCode shiftCode = 0;
    QList<Spare> spares;
    quint64 uses = 0;
    QHash<quint64, Found> cache; // (state << 32 | keysym) -> key
    QString error;
    QTimer restoreTimer;
    QElapsedTimer clock;
    int xkbEventBase = 0;

    ~Impl()
    {
        if (xkb)
            XkbFreeKeyboard(xkb, 0, True);
        if (dpy)
            XCloseDisplay(dpy);
    }

    bool loadMap()
    {
        if (xkb)
            XkbFreeKeyboard(xkb, 0, True);
        xkb = XkbGetMap(dpy, XkbAllClientInfoMask, XkbUseCoreKbd);
        cache.clear();
        mapStale = false;
        shiftCode = XKeysymToKeycode(dpy, XK_Shift_L);
        if (!shiftCode)
            shiftCode = XKeysymToKeycode(dpy, XK_Shift_R);
        if (!xkb) {
            error = QStringLiteral("the keyboard mapping of the X display cannot be read");
            return false;
        }
        return true;
    }

    static bool allEmpty(const KeySym *syms, int width)
    {
        for (int i = 0; i < width; ++i) {
            if (syms[i] != NoSymbol)
                return false;
        }
        return true;
    }

    // Keycodes that the layout leaves without any keysym, highest first.
    void findSpares()
    {
        spares.clear();
        const int count = maxCode - minCode + 1;
        int width = 0;
        KeySym *map = XGetKeyboardMapping(dpy, KeyCode(minCode), count, &width);
        if (!map)
            return;
        for (int code = maxCode; code > minCode; --code) {
            const KeySym *syms = map + (code - minCode) * width;
            if (!allEmpty(syms, width))
                continue;
            Spare s;
            s.code = KeyCode(code);
            s.original.assign(syms, syms + width);
            spares.append(s);
        }
        XFree(map);
    }

    // Reads what other clients did to the mapping meanwhile (a layout switch): the
    // round trip makes sure every change made before now has been heard of.
    void drainEvents()
    {
        XSync(dpy, False);
        bool layoutChanged = false;
        while (XPending(dpy) > 0) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == MappingNotify) {
                XRefreshKeyboardMapping(&ev.xmapping);
                mapStale = true;
            } else if (ev.type == xkbEventBase) {
                mapStale = true;
                layoutChanged = true;
            }
        }
        if (layoutChanged)
            checkSpares();
        if (mapStale)
            loadMap();
    }

    // A new layout may have put keys on spare keycodes, or wiped what we put there.
    void checkSpares()
    {
        XDisplayKeycodes(dpy, &minCode, &maxCode);
        QList<Spare> kept;
        for (Spare s : spares) {
            int width = 0;
            KeySym *syms = XGetKeyboardMapping(dpy, s.code, 1, &width);
            if (!syms)
                continue;
            const bool empty = allEmpty(syms, width);
            const bool ours = s.bound != NoSymbol && width >= 1 && syms[0] == s.bound;
            XFree(syms);
            if (ours) {
                kept.append(s);
            } else if (empty) {
                s.bound = NoSymbol;
                s.original.assign(size_t(qMax(width, 1)), NoSymbol);
                kept.append(s);
            }
        }
        spares = kept;
        if (spares.isEmpty())
            findSpares();
    }

    unsigned currentState()
    {
        XkbStateRec st;
        if (XkbGetState(dpy, XkbUseCoreKbd, &st) != Success)
            return 0;
        // Modifiers in force (held, latched or locked) and the group: a key is chosen
        // for the way the receiving application will read it now.
        return XkbBuildCoreState(st.mods, st.group);
    }

    bool produces(KeyCode code, unsigned state, KeySym wanted)
    {
        unsigned consumed = 0;
        KeySym sym = NoSymbol;
        if (!XkbTranslateKeyCode(xkb, code, state, &consumed, &sym))
            return false;
        return sym == wanted;
    }

    std::optional<Found> findOn(KeyCode code, unsigned state, KeySym wanted)
    {
        if (produces(code, state, wanted))
            return Found{code, false};
        // A Shift held down cannot be taken back; one that is up can be added.
        if (!(state & ShiftMask) && shiftCode && produces(code, state | ShiftMask, wanted))
            return Found{code, true};
        return std::nullopt;
    }

    std::optional<Found> find(KeySym wanted, unsigned state)
    {
        const quint64 cacheKey = (quint64(state) << 32) | quint64(wanted);
        const auto hit = cache.constFind(cacheKey);
        if (hit != cache.constEnd())
            return *hit;
        for (int code = minCode; code <= maxCode; ++code) {
            if (isBoundSpare(KeyCode(code)))
                continue;
            if (auto f = findOn(KeyCode(code), state, wanted)) {
                cache.insert(cacheKey, *f);
                return f;
            }
        }
        return std::nullopt;
    }

    bool isBoundSpare(KeyCode code) const
    {
        for (const Spare &s : spares) {
            if (s.code == code && s.bound != NoSymbol)
                return true;
        }
        return false;
    }

    // Puts `sym` on a spare keycode (one that carries it already, a free one, or the one
    // used longest ago) and tells how to press it.
    std::optional<Found> bindSpare(KeySym sym, unsigned state)
    {
        if (spares.isEmpty()) {
            error = QStringLiteral("the keyboard mapping has no free keycode for a character it lacks");
            return std::nullopt;
        }
        Spare *pick = nullptr;
        for (Spare &s : spares) {
            if (s.bound == sym) {
                pick = &s;
                break;
            }
        }
        if (!pick) {
            for (Spare &s : spares) {
                if (s.bound == NoSymbol) {
                    pick = &s;
                    break;
                }
            }
        }
        if (!pick) {
            pick = &spares.first();
            for (Spare &s : spares) {
                if (s.lastUse < pick->lastUse)
                    pick = &s;
            }
        }
        pick->lastUse = ++uses;
        pick->lastUseMs = clock.elapsed();
        if (pick->bound != sym) {
            KeySym syms[2] = {sym, sym};
            ErrorTrap trap(dpy);
            XChangeKeyboardMapping(dpy, pick->code, 2, syms, 1);
            if (!trap.ok()) {
                error = QStringLiteral("the keyboard mapping cannot be changed (X error %1)").arg(g_xError);
                return std::nullopt;
            }
            pick->bound = sym;
            loadMap();
        }
        restoreTimer.start();
        if (auto f = findOn(pick->code, state, sym))
            return f;
        error = QStringLiteral("the character cannot be put on a free keycode");
        return std::nullopt;
    }

    void restore()
    {
        restoreTimer.stop();
        if (!dpy)
            return;
        bool changed = false;
        ErrorTrap trap(dpy);
        for (Spare &s : spares) {
            if (s.bound == NoSymbol)
                continue;
            XChangeKeyboardMapping(dpy, s.code, int(s.original.size()), s.original.data(), 1);
            s.bound = NoSymbol;
            changed = true;
        }
        trap.ok();
        if (changed)
            loadMap();
    }

    // How long to wait before `candidates` can be typed without taking a spare keycode
    // from a key an application may not have read yet.
    int holdMs(const QList<unsigned long> &candidates)
    {
        if (!dpy || candidates.isEmpty())
            return 0;
        drainEvents();
        if (!xkb)
            return 0;
        const unsigned state = currentState();
        for (unsigned long sym : candidates) {
            if (find(KeySym(sym), state))
                return 0;
        }
        const Spare *oldest = nullptr;
        for (const Spare &s : spares) {
            if (s.bound == NoSymbol || candidates.contains(s.bound))
                return 0;
            if (!oldest || s.lastUse < oldest->lastUse)
                oldest = &s;
        }
        if (!oldest)
            return 0;
        const qint64 since = clock.elapsed() - oldest->lastUseMs;
        return since >= kReuseGuardMs ? 0 : int(kReuseGuardMs - since);
    }

    bool press(const Found &f)
    {
        ErrorTrap trap(dpy);
        if (f.shift)
            XTestFakeKeyEvent(dpy, shiftCode, True, CurrentTime);
        XTestFakeKeyEvent(dpy, f.code, True, CurrentTime);
        XTestFakeKeyEvent(dpy, f.code, False, CurrentTime);
        if (f.shift)
            XTestFakeKeyEvent(dpy, shiftCode, False, CurrentTime);
        if (!trap.ok()) {
            error = QStringLiteral("the key cannot be sent (X error %1)").arg(g_xError);
            return false;
        }
        return true;
    }

    bool type(const QList<unsigned long> &candidates)
    {
        if (!dpy)
            return false;
        if (candidates.isEmpty()) {
            error = QStringLiteral("a control character is not typed");
            return false;
        }
        drainEvents();
        if (!xkb && !loadMap())
            return false;
        const unsigned state = currentState();
        for (unsigned long sym : candidates) {
            if (auto f = find(KeySym(sym), state))
                return press(*f);
        }
        // A spare keycode already carrying one of them.
        for (unsigned long sym : candidates) {
            for (Spare &s : spares) {
                if (s.bound == KeySym(sym)) {
                    if (auto f = bindSpare(KeySym(sym), state))
                        return press(*f);
                }
            }
        }
        if (auto f = bindSpare(KeySym(candidates.first()), state))
            return press(*f);
        return false;
    }
};

X11Keystrokes::X11Keystrokes(const QString &display, QObject *parent) : QObject(parent), d(std::make_unique<Impl>())
{
    d->restoreTimer.setSingleShot(true);
    d->restoreTimer.setInterval(kRestoreMs);
    connect(&d->restoreTimer, &QTimer::timeout, this, [this] { d->restore(); });

    const QByteArray name = display.toLocal8Bit();
    d->dpy = XOpenDisplay(display.isEmpty() ? nullptr : name.constData());
    if (!d->dpy) {
        d->error = QStringLiteral("no X display (DISPLAY=\"%1\"): typing needs an X11 session")
                       .arg(display.isEmpty() ? qEnvironmentVariable("DISPLAY") : display);
        return;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(d->dpy, &eventBase, &errorBase, &major, &minor)) {
        d->error = QStringLiteral("the X display has no XTEST extension");
        XCloseDisplay(d->dpy);
        d->dpy = nullptr;
        return;
    }
    int opcode = 0;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    if (!XkbQueryExtension(d->dpy, &opcode, &eventBase, &errorBase, &major, &minor)) {
        d->error = QStringLiteral("the X display has no XKEYBOARD extension");
        XCloseDisplay(d->dpy);
        d->dpy = nullptr;
        return;
    }
    d->xkbEventBase = eventBase;
    XkbSelectEvents(d->dpy, XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbMapNotifyMask,
                    XkbNewKeyboardNotifyMask | XkbMapNotifyMask);
    d->clock.start();
    XDisplayKeycodes(d->dpy, &d->minCode, &d->maxCode);
    d->findSpares();
    if (!d->loadMap()) {
        XCloseDisplay(d->dpy);
        d->dpy = nullptr;
    }
}

X11Keystrokes::~X11Keystrokes()
{
    d->restore();
}

bool X11Keystrokes::isOpen() const
{
    return d->dpy != nullptr;
}

bool X11Keystrokes::pressKey(Key key)
{
    return d->type({keysymOf(key)});
}

bool X11Keystrokes::typeChar(char32_t ch)
{
    return d->type(keysymsFor(ch));
}

int X11Keystrokes::holdMs(char32_t ch)
{
    return d->holdMs(keysymsFor(ch));
}

QString X11Keystrokes::lastError() const
{
    return d->error;
}

void X11Keystrokes::restoreMapping()
{
    d->restore();
}

int X11Keystrokes::remappedCount() const
{
    int n = 0;
    for (const auto &s : d->spares)
        n += s.bound != NoSymbol;
    return n;
}

} // namespace zorv
