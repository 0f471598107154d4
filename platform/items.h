#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>

#include <optional>

class QSaveFile;

// Files of items: items are separated by commas or line ends; a quoted item loses its
// quotes and keeps its commas; an unquoted item loses its surrounding spaces. A writer
// quotes text, writes numbers bare and ends each line with CR LF. Items are Windows-1252
// bytes.
namespace zorv::items {

class Reader {
public:
    explicit Reader(QByteArray data);

    // The next item, or nothing at the end of the data. Items run on across line ends,
    // so a record that runs short continues on the next line.
    std::optional<QByteArray> next();
    // The same item as next(), as a view into the reader's data (valid while the reader
    // lives): no copy, for files of a million lines.
    std::optional<QByteArrayView> nextView();
    bool atEnd() const;
    // 1-based line of the next item to read (for messages).
    int line() const { return m_line; }
    // Bytes read so far (for progress).
    qsizetype position() const { return m_pos; }

private:
    void skipLineEnd();

    QByteArray m_data;
    qsizetype m_pos = 0;
    int m_line = 1;
};

// Every item of a file; nothing when the file cannot be read.
std::optional<QList<QByteArray>> readFile(const QString &path);
// Every item of in-memory data.
QList<QByteArray> readAll(const QByteArray &data);

class Writer {
public:
    // A quoted text item. A double quote inside becomes ' and a control character a
    // space, so the line always reads back as the items it was written with.
    Writer &text(QByteArrayView value);
    Writer &text(const QString &value);
    Writer &number(double value);
    Writer &endLine();
    const QByteArray &data() const { return m_data; }

private:
    void separate();

    QByteArray m_data;
    bool m_lineStarted = false;
};

// Replaces the file with data whole: a temporary file beside it, written and synced to
// the disk, then a rename, so an earlier file stays intact when the new one cannot be
// written (a full disk). Empty string on success, otherwise the error text.
QString writeFileAtomically(const QString &path, const QByteArray &data);

// Ends a file written through QSaveFile: flushed and synced to the disk first, so that a
// write error still held in its buffer or the cache (a full disk) is not lost in commit(),
// which would then replace the file with a short one. Empty string on success, otherwise
// the error text.
QString commitSaveFile(QSaveFile &file);

// Writes all of data at the position of a file opened unbuffered, going on after a short
// write, so a full disk gives the system's own text ("No space left on device") rather
// than none. Empty string on success, otherwise the error text.
QString writeAll(QIODevice &file, QByteArrayView data);

// Appends data with one write on a file opened for appending. Empty string on success,
// otherwise the error text.
QString appendToFile(const QString &path, const QByteArray &data);

} // namespace zorv::items
