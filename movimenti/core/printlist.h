#pragma once

#include "gridtable.h"
#include "printer/printer.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

namespace zorv::movimenti {

// The length of a printed row.
constexpr int kPrintedRowWidth = 113;

// The printed list of the grid: each row one line of 113 characters, each cell's text
// followed by two blanks in a field of fixed width, padded or cut, then a separator.
QByteArray printedRow(const GridTable &grid, int row);

// The lines above the rows: an empty line, the title, the date, three empty lines.
QStringList printedTitle(const QDate &today);

// The list of the grid on a begun document, in bold Courier new small enough for a whole
// row to fit across the page: the title lines, then every row, the header row first.
// Does not end the document.
void printList(Printer &printer, const GridTable &grid, const QDate &today);

} // namespace zorv::movimenti
