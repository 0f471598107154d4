#include "gridview.h"

#include "text.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>

namespace zorv::movimenti {

GridView::GridView(GridTable &table, QWidget *parent) : QTableView(parent), m_table(table), m_model(table)
{
    setObjectName(QStringLiteral("GridCtrl1"));
    setModel(&m_model);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone); // a long text is cut at the cell's edge
    setCornerButtonEnabled(false);
    setColumnHidden(0, true);
    for (int c = 1; c < GridTable::Columns; ++c)
        setColumnWidth(c, GridModel::columnWidth(c));
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);

    QHeaderView *fixed = verticalHeader();
    fixed->setSectionResizeMode(QHeaderView::Fixed);
    fixed->setDefaultSectionSize(fontMetrics().height() + 6);
    fixed->setFixedWidth(GridModel::columnWidth(0));
    fixed->setSectionsClickable(false);
    fixed->setHighlightSections(false);
    fixed->viewport()->installEventFilter(this);

    // The corner above the fixed column shows column 0's header.
    m_corner = findChild<QAbstractButton *>();
    if (m_corner)
        m_corner->installEventFilter(this);
    connect(&table, &GridTable::headerChanged, this, [this] {
        if (m_corner)
            m_corner->update();
    });

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { takeViewCurrent(current); });
    connect(&table, &GridTable::currentChanged, this, &GridView::showTableCurrent);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &GridView::showTableCurrent);
    connect(&table, &GridTable::scrollRequested, this, [this](int row) {
        if (row >= 1 && row <= m_model.rowCount())
            scrollTo(m_model.index(row - 1, 1), PositionAtTop);
    });
}

QWidget *GridView::fixedColumn() const
{
    return verticalHeader()->viewport();
}

QRect GridView::cellRect(int row, int col) const
{
    if (row < 1 || row > m_model.rowCount())
        return {};
    if (col == 0) {
        const int y = verticalHeader()->sectionViewportPosition(row - 1);
        return QRect(0, y, verticalHeader()->width(), verticalHeader()->sectionSize(row - 1));
    }
    return visualRect(m_model.index(row - 1, col));
}

void GridView::takeViewCurrent(const QModelIndex &current)
{
    if (m_syncing || !current.isValid())
        return;
    m_syncing = true;
    m_table.setCurrentCell(current.row() + 1, current.column());
    m_syncing = false;
}

void GridView::showTableCurrent()
{
    if (m_syncing)
        return;
    m_syncing = true;
    QItemSelectionModel *sel = selectionModel();
    const int row = m_table.currentRow();
    const int col = m_table.currentCol();
    if (row < 1 || row > m_model.rowCount()) {
        sel->clear();
    } else {
        const QModelIndex current = m_model.index(row - 1, col);
        const int lastRow = qBound(1, m_table.selectionRowEnd(), m_model.rowCount());
        const int lastCol = m_table.selectionColEnd();
        if (lastRow == row && lastCol == col) {
            sel->setCurrentIndex(current, col == 0 ? QItemSelectionModel::Clear : QItemSelectionModel::ClearAndSelect);
        } else {
            const QItemSelection range(m_model.index(qMin(row, lastRow) - 1, qMin(col, lastCol)),
                                       m_model.index(qMax(row, lastRow) - 1, qMax(col, lastCol)));
            sel->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
            sel->select(range, QItemSelectionModel::ClearAndSelect);
        }
    }
    m_syncing = false;
}

void GridView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    emit gridDoubleClicked();
}

bool GridView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_corner && event->type() == QEvent::Paint) {
        paintCorner(m_corner);
        return true;
    }
    if (watched == verticalHeader()->viewport()) {
        // A press in the fixed column makes its cell current (column 0).
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            const int section = verticalHeader()->logicalIndexAt(mouse->position().toPoint());
            if (section >= 0)
                m_table.setCurrentCell(section + 1, 0);
            if (event->type() == QEvent::MouseButtonDblClick)
                emit gridDoubleClicked();
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void GridView::paintCorner(QWidget *corner)
{
    QPainter painter(corner);
    QStyleOptionHeader option;
    option.initFrom(corner);
    option.palette = palette(); // the corner button is disabled; its header text is not
    option.rect = corner->rect();
    option.state |= QStyle::State_Enabled | QStyle::State_Raised;
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.orientation = Qt::Horizontal;
    option.text = text::fromCp1252(m_table.text(0, 0));
    option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
}

} // namespace zorv::movimenti
