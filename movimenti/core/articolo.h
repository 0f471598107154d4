#pragma once

#include "filelock.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace zorv::movimenti {

// One article of ART.MAG: 639 bytes in 21 fixed fields of single-byte text, left-aligned
// and padded with spaces; numbers are text with "." as the decimal point. A record is
// read and written whole, so fields this program does not use keep their bytes.
class RecordArticolo {
public:
    static constexpr int Size = 639;
    enum Field {
        DataArticolo = 1,
        Barcode,
        Descrizione,
        Giacenza,
        Campo5,
        Campo6,
        Campo7,
        Campo8,
        Campo9,
        Prezzo1,
        Campo11,
        Prezzo2,
        Campo13,
        Prezzo3,
        Campo15,
        Campo16,
        Campo17,
        Progressivo,
        Campo19,
        Campo20,
        Campo21,
    };
    static constexpr int FieldCount = 21;

    // Every field blank.
    RecordArticolo();
    // The record's bytes, padded with spaces or cut to 639.
    explicit RecordArticolo(QByteArray bytes);

    static int start(Field field);  // 0-based offset
    static int length(Field field);

    QByteArrayView field(Field field) const;
    // The field with spaces trimmed on both sides.
    QByteArray trimmed(Field field) const;
    // Left-aligned, padded with spaces or cut to the field's length.
    void setField(Field field, QByteArrayView value);
    // The field's leading number (0 when none).
    double number(Field field) const;
    // The shortest decimal text of `value` (".5" for a half) into the field.
    void setNumber(Field field, double value);

    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

// ART.MAG for one operation: open (a missing file is created empty), read and write
// records by number counted from 1, close. Writes can fail, and the caller hears it.
class ArticleFile {
public:
    explicit ArticleFile(const QString &path);
    virtual ~ArticleFile();

    // Empty on success, otherwise the error's text. A file that cannot be written is
    // opened for reading.
    virtual QString open();
    // Whole records in the file; a trailing partial record is not counted.
    virtual qint64 count() const;
    virtual std::optional<RecordArticolo> read(qint64 number);
    // Writes record `number` (count() + 1 appends). Empty on success, else the error.
    virtual QString write(qint64 number, const RecordArticolo &record);
    virtual void close();

    // A booking's read and rewrite of record `number` under ART.MAG's lock (FileLock),
    // so two programs booking the same article never lose a booking: `change` gets the
    // record as the file holds it now and changes it, or gives an error text to write
    // nothing. The lock covers opening the file, that one read, `change` and that one
    // write. Empty on success, otherwise the error.
    QString rewrite(qint64 number, const std::function<QString(RecordArticolo &)> &change,
                    int lockTimeoutMs = FileLock::kTimeoutMs);

    const QString &path() const { return m_path; }

protected:
    QString m_path;
    QFile m_file;
    QString m_readOnlyReason;
};

using ArticleFileFactory = std::function<std::unique_ptr<ArticleFile>(const QString &path)>;
ArticleFileFactory realArticleFiles();

// File names of the data folder are matched with case ignored, as on the machines the
// files come from: the existing file whose name equals `name` in any case, else
// folder + name.
QString findFile(const QString &folder, const QString &name);

} // namespace zorv::movimenti
