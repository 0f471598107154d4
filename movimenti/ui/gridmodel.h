#pragma once

#include "gridtable.h"

#include <QAbstractTableModel>

namespace zorv::movimenti {

// The grid's contents for a QTableView: model rows are the data rows 1 to the last
// (row 0 is the header), model columns the eight columns. The vertical header shows
// column 0, the fixed column.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(GridTable &table, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    GridTable &table() { return m_table; }

    // Column widths in pixels (the grid's twips at 15 to a pixel) and alignments.
    static int columnWidth(int col);
    static Qt::Alignment alignment(int col, QByteArrayView text);

private:
    GridTable &m_table;
    int m_rows = 0;
};

} // namespace zorv::movimenti
