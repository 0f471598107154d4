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

} // namespace zorv::movimenti
