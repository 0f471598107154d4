#pragma once

#include "record.h"

#include "filelock.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace zorv::registry {

// CLIENTI.DAT: fixed 246-byte records by number, no header. Every operation opens the
// file, does its one pass and closes it. A missing file counts as empty and is created
// by the first write. A broken tail (a length that is not a multiple of 246) is never
// taken for a customer: the count covers whole records only, and the next new customer
// overwrites the tail, so no whole record is ever lost.
class RegistryFile {
public:
    explicit RegistryFile(QString path) : m_path(std::move(path)) {}

    const QString &path() const { return m_path; }

    int count() const;
    int nextNumber() const { return count() + 1; }

    // Opens the file for reading and writing, creating it when missing, and closes it:
    // how every operation starts. A file that may only be read still opens. Empty string
    // on success, otherwise the error's text.
    QString open() const;

    // Record n (1..count); nothing when out of range or unreadable (then `error` gets the
    // error's text; out of range leaves it empty).
    std::optional<Record> read(int number, QString *error = nullptr) const;

    // Writes all 246 bytes of record n at its offset, n in 1..count+1 and at most 9999.
    // Empty string on success, otherwise the error's text; nothing is written on error.
    // Programs change records through update(); this write alone takes no lock.
    QString write(int number, const Record &record) const;

    // A record's read and rewrite under the file's lock (FileLock), so no other program's
    // write falls in between. `change` sees record n as the file holds it now (nothing
    // when n is count + 1, the next new customer) and gives the record to write, or
    // nothing to leave the file as it is. The lock covers that one read, `change` and
    // that one write. Empty string on success or when nothing was to be written;
    // otherwise the error's text (the lock not had in time, a failed read or write), with
    // nothing written.
    using Change = std::function<std::optional<Record>(const std::optional<Record> &current)>;
    QString update(int number, const Change &change, int lockTimeoutMs = FileLock::kTimeoutMs) const;

    // The bytes of the whole file, read in one pass (a missing file gives none); nothing
    // when the file cannot be read (then `error` gets the error's text).
    std::optional<QByteArray> readBytes(QString *error = nullptr) const;

    // Every whole record in order, read in one pass; nothing when the file cannot be read
    // (a missing file gives an empty list). Deleted records are included.
    std::optional<QList<Record>> readAll(QString *error = nullptr) const;

    // Calls fn(number, record) for each live record in order until fn returns false.
    // False with the error when the file cannot be read.
    bool forEachLive(const std::function<bool(int, const Record &)> &fn, QString *error = nullptr) const;

private:
    QString m_path;
};

} // namespace zorv::registry
