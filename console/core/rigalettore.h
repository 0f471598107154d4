#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

namespace zorv::reader {

// Collects the reader's bytes into CR-ended lines. No line the reader sends comes near
// kLunghezzaMassima bytes; a run of that many bytes without a CR (a noisy or stuck line,
// a reader at another speed) is garbage and is dropped as soon as it is that long, so
// neither memory nor the work per line grows with it. The bytes after it start afresh.
class RigaLettore {
public:
    static constexpr qsizetype kLunghezzaMassima = 256; // CR included

    // Takes bytes from `data` up to and including the CR that ends a line (all of them
    // when none does) and returns how many it took. Takes nothing while a complete line
    // waits to be taken with prendi().
    qsizetype aggiungi(QByteArrayView data);
    // The same, telling `nota` of the garbage for an operator's log: once when a run is
    // first dropped, and how much was dropped in all once the next line is complete.
    qsizetype aggiungi(QByteArrayView data, const std::function<void(const QString &)> &nota);
    bool completa() const { return m_completa; }
    // The complete line, CR included; the next line starts empty.
    QByteArray prendi();
    // What has come of the line so far, without dropping it.
    const QByteArray &parziale() const { return m_riga; }
    void azzera();
    // Bytes dropped as garbage since the last line was taken.
    qint64 scartati() const { return m_scartati; }

private:
    QByteArray m_riga;
    qint64 m_scartati = 0;
    bool m_completa = false;
};

// A line of the shape of a presented card: 12 characters and CR.
inline bool formaCarta(QByteArrayView line)
{
    return line.size() == 13 && line.back() == '\r';
}

} // namespace zorv::reader
