#pragma once

#include "record.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The customer lines of the registry's lists: their layouts, their order, and the
// listings that fill them from CLIENTI.DAT. QtCore only.
namespace zorv::registry::lists {

// Elenchi: full list, name first (alphabetic). Elenco: full list, number first (numeric).
// Lista: quick list, name first. Lista1: quick list, number first.
enum class Layout { Elenchi, Elenco, Lista, Lista1 };

// Column header shown above the lines of a layout.
QString header(Layout layout);

// True when the customer number stands at the start of a line (otherwise at its end).
bool numberFirst(Layout layout);

// The line of one customer, built from the record as stored (untrimmed, padded).
// Empty when the number does not fit the four-digit form.
QString line(Layout layout, int number, const Record &record);

// The customer number on a line: the numeric value of its first or last four characters.
int numberOnLine(Layout layout, QStringView line);

// The order of a sorted list box: ascending by the system's collation, case ignored
// (accented letters with their plain ones); equal lines keep the order in which they
// were added.
void sortLines(QStringList &lines);

// Which customers a listing takes. Values are compared exactly with the record's field
// trimmed of spaces: the city (last 24 characters) or the credit (Accessi).
struct Filter {
    enum Kind { All, City, Stato } kind = All;
    QString value;
};

struct Listing {
    QStringList lines; // sorted
    QString error;     // not empty: the listing stopped on this error, lines so far kept
};

// Lines of the live customers that pass the filter, in list order. A record number of
// five digits stops the listing with an error, keeping the lines before it.
Listing buildListing(const QList<Record> &records, Layout layout, const Filter &filter = {});

// Why CLIENTI.DAT cannot be opened for a listing (its folder does not exist, or the file
// is there but cannot be read); empty when it can. A missing file is an empty registry.
QString registryOpenError(const QString &fileClienti);

// Reads CLIENTI.DAT in one pass. A missing file is an empty registry; a folder that does
// not exist, or a file that cannot be read, is an error.
std::optional<QList<Record>> readRegistry(const QString &fileClienti, QString *error);

// Reads CLIENTI.DAT and lists it: a read error comes back in Listing::error.
Listing listRegistry(const QString &fileClienti, Layout layout, const Filter &filter = {});

// "Records: 12" under a full listing; "ROMA Records 12" under a filtered one.
QString totalCaption(int count);
QString filteredCaption(const QString &value, int count);

} // namespace zorv::registry::lists
