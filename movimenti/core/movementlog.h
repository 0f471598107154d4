#pragma once

#include "gridtable.h"

#include "items.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <optional>

namespace zorv::movimenti {

// The movement table's headers, columns 0 to 7.
const std::array<QByteArray, GridTable::Columns> &movementHeaders();
// Writes the movement headers into row 0.
void setMovementHeaders(GridTable &table);
// The movement header of a column (1 "Cliente" ... 7 "Esito"), whatever the grid
// shows; empty for column 0 and outside the table.
QByteArray movementHeader(int column);

// Reads mov.txt into the grid, a chunk at a time from the event loop, so a long log
// keeps the window live and can show its progress. The file is read whole when the
// load starts and closed at once.
//
// Each line is seven items (an item that runs short continues on the next line). A
// file that cannot be read, or a last line with fewer than seven items, ends the load
// with "Nessun movimento trovato"; the rows added before stay.
class LogLoader : public QObject {
    Q_OBJECT
public:
    explicit LogLoader(GridTable &table, QObject *parent = nullptr);

    // Appends one row per line below the rows already in the grid; column 0 is the
    // row's number in the grid.
    void load(const QString &path);
    // When the file can be read: the grid emptied, the movement headers, and the lines
    // whose item under the column headed `header` equals `value` exactly, numbered
    // from 1. When it cannot: the grid stays as it was.
    void filter(const QString &path, const QByteArray &header, const QByteArray &value);

    bool isRunning() const { return m_running; }
    // Stops a running load; the rows added so far stay, no message.
    void cancel();
    // Finishes a running load at once.
    void runToEnd();
    int progress() const { return m_percent; }

signals:
    void progressChanged(int percent);
    void finished(bool ok);

private:
    void start(const QString &path);
    void step();
    // Reads lines until the budget runs out; false when the load has ended.
    bool readLines(qint64 budgetMs);
    void finish(bool ok);

    GridTable &m_table;
    QTimer m_timer;
    std::optional<items::Reader> m_reader;
    bool m_running = false;
    bool m_failed = false;
    int m_filterColumn = 0; // 0: every line; -1: a filter no column matches
    QByteArray m_filterValue;
    qint64 m_taken = 0;
    qint64 m_bytes = 0;
    int m_percent = 0;
};

} // namespace zorv::movimenti
