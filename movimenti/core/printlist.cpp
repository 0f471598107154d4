#include "printlist.h"

#include "text.h"

#include <array>

namespace zorv::movimenti {
namespace {

struct PrintField {
    int width;
    int separator;
};

constexpr std::array<PrintField, GridTable::Columns> kFields = {{
    {7, 1}, {7, 2}, {30, 1}, {13, 1}, {6, 1}, {12, 1}, {12, 1}, {18, 0},
}};

} // namespace

QByteArray printedRow(const GridTable &grid, int row)
{
    QByteArray line;
    line.reserve(kPrintedRowWidth);
    for (int c = 0; c < GridTable::Columns; ++c) {
        const QByteArray value = grid.text(row, c).toByteArray() + "  ";
        line += text::padRight(value, kFields[c].width);
        line.append(kFields[c].separator, ' ');
    }
    return line;
}

QStringList printedTitle(const QDate &today)
{
    return {QString(), QStringLiteral("Lista Movimenti"), QStringLiteral("Del ") + today.toString(QStringLiteral("dd/MM/yyyy")),
            QString(), QString(), QString()};
}

void printList(Printer &printer, const GridTable &grid, const QDate &today)
{
    printer.setBold(true);
    printer.setFontName(QStringLiteral("Courier new"));
    printer.fitFontSize(kPrintedRowWidth, 0);
    for (const QString &line : printedTitle(today)) {
        if (line.isEmpty())
            printer.printLine();
        else
            printer.printLine(line);
    }
    for (int row = 0; row < grid.rowCount(); ++row)
        printer.printLine(text::fromCp1252(printedRow(grid, row)));
}

} // namespace zorv::movimenti
