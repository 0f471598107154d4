#include "gridtable.h"

#include "collation.h"
#include "numbers.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace zorv::movimenti {
namespace {

// Shared colour sets: plain rows and the three outcome colourings of a movement row.
enum Preset : quint32 { Plain = 0, Authorised = 1, Refused = 2, OtherOutcome = 3, PresetCount = 4 };

constexpr QByteArrayView kAuthorised("Autorizzato");
constexpr QByteArrayView kRefused("Non autorizzato");

Preset outcomePreset(QByteArrayView outcome)
{
    if (outcome == kAuthorised)
        return Authorised;
    if (outcome == kRefused)
        return Refused;
    return OtherOutcome;
}

// Most numeric cells are plain digits: read them without the general parser.
double numericKey(QByteArrayView v)
{
    if (!v.isEmpty() && v.size() <= 15) {
        qint64 value = 0;
        bool digits = true;
        for (char c : v) {
            if (c < '0' || c > '9') {
                digits = false;
                break;
            }
            value = value * 10 + (c - '0');
        }
        if (digits)
            return double(value);
    }
    return numbers::leadingNumber(v);
}

} // namespace

CellColours outcomeColours(QByteArrayView outcome)
{
    switch (outcomePreset(outcome)) {
    case Authorised:
        return {colour::DarkGreen, colour::White};
    case Refused:
        return {colour::Red, colour::White};
    default:
        return {colour::Yellow, colour::ButtonText};
    }
}

GridTable::GridTable(QObject *parent) : QObject(parent)
{
    resetStyles();
}

void GridTable::resetStyles()
{
    m_styles.assign(PresetCount, {});
    m_styles[Authorised][7] = outcomeColours(kAuthorised);
    m_styles[Refused][7] = outcomeColours(kRefused);
    m_styles[OtherOutcome][7] = outcomeColours("");
}

QByteArrayView GridTable::cell(const Row &row, int col) const
{
    const quint32 begin = col == 0 ? 0 : row.end[col - 1];
    return QByteArrayView(m_arena.constData() + row.start + begin, row.end[col] - begin);
}

QByteArrayView GridTable::text(int row, int col) const
{
    if (col < 0 || col >= Columns || row < 0 || row >= rowCount())
        return {};
    if (row == 0)
        return m_header[col];
    return cell(m_rows[row - 1], col);
}

void GridTable::writeRow(Row &row, const std::array<QByteArrayView, Columns> &cells)
{
    row.start = m_arena.size();
    quint32 end = 0;
    for (int c = 0; c < Columns; ++c) {
        m_arena.append(cells[c]);
        end += quint32(cells[c].size());
        row.end[c] = end;
    }
}

void GridTable::setText(int row, int col, QByteArrayView value)
{
    if (col < 0 || col >= Columns || row < 0 || row >= rowCount())
        return;
    if (row == 0) {
        m_header[col] = value.toByteArray();
        emit headerChanged();
        return;
    }
    Row &r = m_rows[row - 1];
    // The new text may live in the buffer that grows: copy it first.
    const QByteArray copy = value.toByteArray();
    std::array<QByteArray, Columns> cells;
    for (int c = 0; c < Columns; ++c)
        cells[c] = c == col ? copy : cell(r, c).toByteArray();
    setTexts(row, cells);
}

void GridTable::setTexts(int row, const std::array<QByteArray, Columns> &values)
{
    if (row < 0 || row >= rowCount())
        return;
    if (row == 0) {
        m_header = values;
        emit headerChanged();
        return;
    }
    std::array<QByteArrayView, Columns> views;
    for (int c = 0; c < Columns; ++c)
        views[c] = values[c];
    writeRow(m_rows[row - 1], views);
    emit rowsChanged(row, row);
}

std::array<CellColours, GridTable::Columns> &GridTable::ownStyle(Row &row)
{
    if (row.style < PresetCount) {
        m_styles.push_back(m_styles[row.style]);
        row.style = quint32(m_styles.size() - 1);
    }
    return m_styles[row.style];
}

CellColours GridTable::colours(int row, int col) const
{
    if (row <= 0 || row >= rowCount() || col < 0 || col >= Columns)
        return {};
    return m_styles[m_rows[row - 1].style][col];
}

void GridTable::setColours(int row, int col, quint32 back, quint32 fore)
{
    if (row <= 0 || row >= rowCount() || col < 0 || col >= Columns)
        return;
    ownStyle(m_rows[row - 1])[col] = {back, fore};
    emit rowsChanged(row, row);
}

void GridTable::dropRows()
{
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_arena.clear();
    m_arena.squeeze();
    resetStyles();
    m_published = 0;
}

void GridTable::clear()
{
    emit aboutToReset();
    m_header = {};
    dropRows();
    m_row = m_col = m_rowSel = m_colSel = 0;
    emit resetDone();
    emit headerChanged();
    emit currentChanged();
}

void GridTable::cutToHeader()
{
    emit aboutToReset();
    dropRows();
    clampCurrent();
    emit resetDone();
    emit currentChanged();
}

int GridTable::addRow()
{
    publishAppended();
    Row row;
    row.start = m_arena.size();
    m_rows.push_back(row);
    publishAppended();
    return rowCount() - 1;
}

void GridTable::appendMovement(qint64 number, const std::array<QByteArrayView, 7> &items)
{
    char digits[24];
    int n = 0;
    qint64 v = number < 0 ? 0 : number;
    do {
        digits[n++] = char('0' + v % 10);
        v /= 10;
    } while (v > 0);
    qsizetype total = n;
    for (const QByteArrayView &item : items)
        total += item.size();
    Row row;
    row.start = m_arena.size();
    // One growth per row, then plain copies.
    m_arena.resize(row.start + total);
    char *out = m_arena.data() + row.start;
    for (int i = n - 1; i >= 0; --i)
        *out++ = digits[i];
    quint32 end = quint32(n);
    row.end[0] = end;
    for (int c = 0; c < 7; ++c) {
        const qsizetype size = items[c].size();
        if (size > 0)
            std::memcpy(out, items[c].data(), size_t(size));
        out += size;
        end += quint32(size);
        row.end[c + 1] = end;
    }
    row.style = outcomePreset(items[6]);
    m_rows.push_back(row);
}

void GridTable::publishAppended()
{
    const int total = int(m_rows.size());
    if (total == m_published)
        return;
    const int first = m_published + 1;
    m_published = total;
    emit rowsAppended(first, total);
}

void GridTable::reserve(qsizetype bytes, int rows)
{
    m_arena.reserve(m_arena.size() + bytes);
    m_rows.reserve(m_rows.size() + size_t(rows));
}

void GridTable::sort(int col, SortKind kind)
{
    if (col < 0 || col >= Columns || m_rows.size() < 2)
        return;
    publishAppended();
    const size_t n = m_rows.size();
    std::vector<quint32> order(n);
    if (kind == SortKind::Numeric) {
        struct NumberKey {
            double key;
            quint32 index;
        };
        std::vector<NumberKey> keys(n);
        for (size_t i = 0; i < n; ++i)
            keys[i] = {numericKey(cell(m_rows[i], col)), quint32(i)};
        std::stable_sort(keys.begin(), keys.end(), [](const NumberKey &a, const NumberKey &b) { return a.key < b.key; });
        for (size_t i = 0; i < n; ++i)
            order[i] = keys[i].index;
    } else {
        order = text::Collation::system().order(quint32(n), [&](quint32 i) { return cell(m_rows[i], col); });
    }
    emit aboutToReset();
    std::vector<Row> sorted;
    sorted.reserve(n);
    for (quint32 i : order)
        sorted.push_back(m_rows[i]);
    m_rows.swap(sorted);
    emit resetDone();
}

void GridTable::clampCurrent()
{
    const int last = rowCount() - 1;
    m_row = std::min(m_row, last);
    m_rowSel = std::min(m_rowSel, last);
}

void GridTable::setCurrentCell(int row, int col)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= Columns)
        return;
    m_row = m_rowSel = row;
    m_col = m_colSel = col;
    emit currentChanged();
}

void GridTable::selectWholeRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    m_row = m_rowSel = row;
    m_col = 0;
    m_colSel = Columns - 1;
    emit currentChanged();
}

} // namespace zorv::movimenti
