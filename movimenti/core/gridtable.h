#pragma once

#include "colours.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>

#include <array>
#include <vector>

namespace zorv::movimenti {

struct CellColours {
    quint32 back = colour::Default;
    quint32 fore = colour::Default;
    bool operator==(const CellColours &) const = default;
};

enum class SortKind {
    Numeric,    // by the leading number of the text, ascending
    TextNoCase, // by the text in the system's collation, ascending, case ignored
};

// The contents of the movements window's grid: eight columns, row 0 the header row,
// data rows 1 to rowCount() - 1, each cell a text (Windows-1252 bytes) with optional
// colours, the current cell and the selection.
//
// A long log holds a million rows, so rows are kept compactly: every cell's bytes live
// in one shared buffer and a row is its offset plus the ends of its eight cells. Cells
// that change later are written anew at the buffer's end.
//
// Rows added by appendMovement() reach the views only with publishAppended(), so a load
// can add a whole chunk and announce it once.
class GridTable : public QObject {
    Q_OBJECT
public:
    static constexpr int Columns = 8;

    explicit GridTable(QObject *parent = nullptr);

    // Rows including the header row, as the grid counts them.
    int rowCount() const { return 1 + int(m_rows.size()); }
    QByteArrayView text(int row, int col) const;
    QByteArray textCopy(int row, int col) const { return text(row, col).toByteArray(); }
    void setText(int row, int col, QByteArrayView value);
    // Several cells of one row at once (one notification).
    void setTexts(int row, const std::array<QByteArray, Columns> &values);
    CellColours colours(int row, int col) const;
    void setColours(int row, int col, quint32 back, quint32 fore);

    // Everything emptied (texts, colours, headers): one row left.
    void clear();
    // Data rows removed; the header row stays as it is.
    void cutToHeader();
    // A blank row at the bottom, announced at once; its index.
    int addRow();

    // Loading: column 0 the running number, columns 1-7 the items; the outcome cell
    // coloured by its text. Not announced until publishAppended().
    void appendMovement(qint64 number, const std::array<QByteArrayView, 7> &items);
    void publishAppended();
    void reserve(qsizetype bytes, int rows);

    // Sorts data rows 1 to the last by one column; rows with equal keys keep their order.
    void sort(int col, SortKind kind);

    int currentRow() const { return m_row; }
    int currentCol() const { return m_col; }
    int selectionRowEnd() const { return m_rowSel; }
    int selectionColEnd() const { return m_colSel; }
    // The current cell; the selection shrinks to it.
    void setCurrentCell(int row, int col);
    // Row `row` current from column 0, its columns 0 to 7 selected.
    void selectWholeRow(int row);
    // Asks the views to show `row` at the top.
    void scrollToTop(int row) { emit scrollRequested(row); }

    // Bytes held for the cells (for the memory check of long logs).
    qsizetype bufferBytes() const { return m_arena.capacity(); }

signals:
    void aboutToReset();
    void resetDone();
    void rowsAppended(int first, int last);
    void rowsChanged(int first, int last);
    void headerChanged();
    void currentChanged();
    void scrollRequested(int row);

private:
    struct Row {
        qint64 start = 0;
        std::array<quint32, Columns> end{};
        quint32 style = 0; // index into m_styles
    };

    void resetStyles();
    // Every data row and its cell bytes and colours gone; headers and current cell as they are.
    void dropRows();
    std::array<CellColours, Columns> &ownStyle(Row &row);
    void writeRow(Row &row, const std::array<QByteArrayView, Columns> &cells);
    QByteArrayView cell(const Row &row, int col) const;
    void clampCurrent();

    std::array<QByteArray, Columns> m_header;
    std::vector<Row> m_rows;
    QByteArray m_arena;
    std::vector<std::array<CellColours, Columns>> m_styles;
    int m_published = 0;
    int m_row = 0, m_col = 0, m_rowSel = 0, m_colSel = 0;
};

// The outcome colours of a movement's last item, compared exactly: "Autorizzato" dark
// green, "Non autorizzato" red, both with white text; anything else yellow with the
// system's button-text colour.
CellColours outcomeColours(QByteArrayView outcome);

} // namespace zorv::movimenti
