#pragma once

#include "gridmodel.h"

#include <QTableView>

namespace zorv::movimenti {

// The grid control: the header row in the horizontal header, column 0 as the fixed
// column in the vertical header (it stays in place when the view scrolls sideways), the
// other seven columns as cells. The current cell and the selection follow the table's
// both ways.
class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(GridTable &table, QWidget *parent = nullptr);

    GridModel &gridModel() { return m_model; }
    // The on-screen rectangle of a grid cell (row >= 1; column 0 lies in the fixed column).
    QRect cellRect(int row, int col) const;
    QWidget *fixedColumn() const;

signals:
    // A double click anywhere on the grid.
    void gridDoubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showTableCurrent();
    void takeViewCurrent(const QModelIndex &current);
    void paintCorner(QWidget *corner);

    GridTable &m_table;
    GridModel m_model;
    QWidget *m_corner = nullptr;
    bool m_syncing = false;
};

} // namespace zorv::movimenti
