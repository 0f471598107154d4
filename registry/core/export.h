#pragma once

#include "record.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace zorv::registry {

// The folder prefix of anag.txt: the first of the two items of configuraterm.cfg in
// `currentDir`, used exactly as written; empty (the current folder) when the file cannot
// be read as two items.
QString leggidestinazione(const QString &currentDir);

// The text of anag.txt for these records (numbered from 1 in order): the header, then one
// "|"-separated line per live customer, CR LF after each line, Windows-1252 bytes.
QByteArray anagText(const QList<Record> &records);

struct ExportResult {
    enum Outcome {
        Written,  // anag.txt replaced whole
        Empty,    // the registry holds no whole record: nothing written
        Failed,   // the registry could not be read or anag.txt not written; see error
    } outcome = Failed;
    QString path;  // the file written (or that could not be written)
    QString error; // the error's text when Failed
};

// Writes the live customers of the registry at `fileClienti` to prefix + "anag.txt",
// replacing an earlier file only when the new one is written whole. A relative prefix
// counts from `currentDir`.
ExportResult esportaarchivio(const QString &fileClienti, const QString &prefix, const QString &currentDir);

} // namespace zorv::registry
