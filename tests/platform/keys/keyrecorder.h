#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// A small X window of its own that takes the keyboard focus and records each key it is
// sent, as an X client sees it (keysym, text, server time). For tests and benchmarks
// under an X server; the window lives on a connection separate from the toolkit's.
class KeyRecorder {
public:
    struct Press {
        unsigned long keysym = 0;
        QString name;   // "Tab", "A", "plus" ...
        QString text;   // what the key types; empty for keys like Tab or F5
        unsigned long timeMs = 0; // X server time of the press
    };

    KeyRecorder();
    ~KeyRecorder();
    KeyRecorder(const KeyRecorder &) = delete;
    KeyRecorder &operator=(const KeyRecorder &) = delete;

    bool isOpen() const;
    QString error() const;

    // Takes the keyboard focus (again), e.g. after another window went away.
    void focus();
    // Reads whatever has arrived so far.
    void pump();
    // Runs the event loop until `count` key presses are recorded or `timeoutMs` passes.
    bool waitForPresses(int count, int timeoutMs = 5000);
    // Makes sure nothing more arrives for `quietMs` (keys sent are in by then).
    void settle(int quietMs = 300);

    const QList<Press> &presses() const;
    // Names of the presses ("Tab", "A" ...), modifiers left out.
    QStringList names() const;
    // Texts of the presses joined.
    QString typed() const;
    void clear();

    // The X display's keyboard mapping, as a list of keysyms.
    QList<unsigned long> keyboardMapping() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
