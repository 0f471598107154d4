#include "gridmodel.h"

#include "text.h"

#include <QBrush>
#include <QColor>
#include <QGuiApplication>
#include <QPalette>

#include <array>

namespace zorv::movimenti {
namespace {

constexpr std::array<int, GridTable::Columns> kTwips = {1000, 800, 2842, 1500, 500, 1200, 1000, 1500};

QVariant brushOf(quint32 value)
{
    if (value == colour::Default)
        return {};
    if (value == colour::ButtonText)
        return QBrush(QGuiApplication::palette().color(QPalette::ButtonText));
    return QBrush(QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF)));
}

// The grid's general alignment: numbers to the right, other text to the left.
bool looksNumeric(QByteArrayView v)
{
    qsizetype i = 0;
    const qsizetype n = v.size();
    while (i < n && v[i] == ' ')
        ++i;
    if (i < n && (v[i] == '+' || v[i] == '-'))
        ++i;
    bool digits = false;
    while (i < n && v[i] >= '0' && v[i] <= '9') {
        ++i;
        digits = true;
    }
    if (i < n && v[i] == '.') {
        ++i;
        while (i < n && v[i] >= '0' && v[i] <= '9') {
            ++i;
            digits = true;
        }
    }
    while (i < n && v[i] == ' ')
        ++i;
    return digits && i == n;
}

} // namespace

GridModel::GridModel(GridTable &table, QObject *parent) : QAbstractTableModel(parent), m_table(table)
{
    m_rows = table.rowCount() - 1;
    connect(&table, &GridTable::aboutToReset, this, [this] { beginResetModel(); });
    connect(&table, &GridTable::resetDone, this, [this] {
        m_rows = m_table.rowCount() - 1;
        endResetModel();
    });
    connect(&table, &GridTable::rowsAppended, this, [this](int, int last) {
        if (last <= m_rows)
            return;
        beginInsertRows({}, m_rows, last - 1);
        m_rows = last;
        endInsertRows();
    });
    connect(&table, &GridTable::rowsChanged, this, [this](int first, int last) {
        if (first > m_rows)
            return;
        emit dataChanged(index(first - 1, 0), index(qMin(last, m_rows) - 1, GridTable::Columns - 1));
        emit headerDataChanged(Qt::Vertical, first - 1, qMin(last, m_rows) - 1);
    });
    connect(&table, &GridTable::headerChanged, this,
            [this] { emit headerDataChanged(Qt::Horizontal, 0, GridTable::Columns - 1); });
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : GridTable::Columns;
}

int GridModel::columnWidth(int col)
{
    return col >= 0 && col < GridTable::Columns ? qRound(kTwips[col] / 15.0) : 0;
}

Qt::Alignment GridModel::alignment(int col, QByteArrayView text)
{
    switch (col) {
    case 1:
    case 3:
        return Qt::AlignRight | Qt::AlignVCenter;
    case 2:
        return Qt::AlignLeft | Qt::AlignVCenter;
    default:
        return (looksNumeric(text) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows)
        return {};
    const int row = index.row() + 1;
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return text::fromCp1252(m_table.text(row, col));
    case Qt::BackgroundRole:
        return brushOf(m_table.colours(row, col).back);
    case Qt::ForegroundRole:
        return brushOf(m_table.colours(row, col).fore);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignment(col, m_table.text(row, col)));
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= GridTable::Columns)
            return {};
        if (role == Qt::DisplayRole)
            return text::fromCp1252(m_table.text(0, section));
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        return {};
    }
    if (section < 0 || section >= m_rows)
        return {};
    if (role == Qt::DisplayRole)
        return text::fromCp1252(m_table.text(section + 1, 0));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignment(0, m_table.text(section + 1, 0)));
    return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace zorv::movimenti
