#pragma once
// The memo list: a grid whose row 0 is the fixed header and whose column 0 is a
// fixed, shaded column. Rows are numbered as the list counts them: row 0 the
// header, rows 1.. the data rows. The list's own rules (which memo a row shows)
// live with the list's owner; this grid only keeps rows.

#include "store/bulk_memory.h"

#include <QAbstractTableModel>
#include <QTableView>
#include <array>
#include <vector>

namespace tz {

using GridRow = std::array<QString, 3>;
using GridRows = bulk::vector<GridRow>;  // a list of 30,000 rows is filled at start-up

class MemoGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MemoGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void set_header(const GridRow& header);
    void insert_rows(int at, GridRows rows);  // at a data row index, 0-based; one insertion
    void replace_rows(GridRows rows);  // one model reset
    const GridRow& row(int at) const { return rows_[size_t(at)]; }

private:
    GridRow header_;
    GridRows rows_;
};

class MemoGrid : public QTableView {
    Q_OBJECT
public:
    explicit MemoGrid(QWidget* parent = nullptr);

    // Number of rows, the header included.
    int rows() const;
    // Replaces every data row by `rows` in one step.
    void set_data_rows(GridRows rows);
    // Inserts `rows` at grid row `row` in one step; rows at and below it move down.
    void insert_data_rows(int row, GridRows rows);

    void set_header_texts(const GridRow& texts);
    QString cell_text(int row, int col) const;

    // The current row: 0 for the header, 1.. for data rows.
    int current_row() const;
    void set_current_row(int row);
    int current_col() const;

    void set_col_width_twips(int col, int twips);
    int col_width_twips(int col) const;

    MemoGridModel* grid_model() const { return model_; }

signals:
    void grid_click();         // after a mouse click made a cell current
    void grid_dbl_click();     // after a double click; its first press clicked already
    void grid_mouse_move();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    MemoGridModel* model_;
    bool swallow_release_ = false;
    std::array<int, 3> col_twips_{};  // as set; pixels are rounded
};

}  // namespace tz
