#pragma once

#include "keys.h"
#include "plovekini.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace zorv::stations::plovek {

// One keystroke of a typed line: a named key, or a character typed as itself.
struct Tasto {
    bool isKey = false;
    Key key = Key::Enter;
    char32_t ch = 0;

    static Tasto tasto(Key k) { return {true, k, 0}; }
    static Tasto carattere(char32_t c) { return {false, Key::Enter, c}; }
    bool operator==(const Tasto &) const = default;
};

// The keystrokes for one line read from the reader (without its CR): the prefix key,
// the characters of the line, terminator 1 and terminator 2, each key as many times as
// set. A key whose count is 0, or a count with the key "none", sends nothing. Every
// character is typed as itself, so nothing a reader sends can press another key;
// control characters have no character to type and are left out.
QList<Tasto> pianoRiga(const PlovekIni &ini, const QByteArray &line);

// Types keystrokes one by one with a pause of the set delay after each (the last one
// included), giving the event loop its turn between keys. The pause is a timer: the
// station stays idle meanwhile. Where the keystrokes are not ready yet (the desktop
// still asks its user), the line waits whole for them and is typed once they are; when
// they cannot be had, the line is not typed.
class Digitatore : public QObject {
    Q_OBJECT
public:
    explicit Digitatore(QObject *parent = nullptr);

    // done(true) when every keystroke was sent; done(false, why) when one could not be,
    // the rest of the line left out. Called from the event loop, never from within
    // digita(). A second call while typing is refused (false).
    // A line that waited for the keystrokes is typed only if `stillWanted` (when given)
    // holds once they are ready; otherwise it ends untyped with done(true).
    using Done = std::function<void(bool ok, const QString &why)>;
    bool digita(QList<Tasto> plan, int delayMs, Done done, std::function<bool()> stillWanted = {});
    bool occupato() const { return m_busy; }

private:
    void prossimo();
    void fine(bool ok, const QString &why);
    void attendi();

    QList<Tasto> m_plan;
    qsizetype m_next = 0;
    int m_delayMs = 0;
    Done m_done;
    std::function<bool()> m_stillWanted;
    bool m_busy = false;
    int m_riga = 0; // counts lines, so that a late answer finds its own
    QTimer m_pausa;
    QElapsedTimer m_dalTasto;
};

} // namespace zorv::stations::plovek
