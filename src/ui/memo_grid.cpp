#include "ui/memo_grid.h"

#include "ui/twips.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPalette>
#include <QProxyStyle>
#include <utility>

namespace tz {

namespace {

// The grid's own look, with two pixels between a cell's text and each of its
// edges (the style's default of three leaves a date's last digit touching the
// right edge of its column).
class NarrowCellMargins : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_FocusFrameHMargin) return 1;  // the text's margin is this plus one
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

MemoGridModel::MemoGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int MemoGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }
int MemoGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant MemoGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || size_t(index.row()) >= rows_.size()) return {};
    switch (role) {
    case Qt::DisplayRole:
        return rows_[size_t(index.row())][size_t(index.column())];
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(index.column() == 0 ? Qt::Alignment(Qt::AlignCenter) : Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::BackgroundRole:
        if (index.column() == 0) return QApplication::palette().button();
        return {};
    default:
        return {};
    }
}

QVariant MemoGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section >= 0 && section < 3) {
        if (role == Qt::DisplayRole) return header_[size_t(section)];
        if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    }
    return {};
}

Qt::ItemFlags MemoGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    // Column 0 is fixed: shaded, never selected.
    return index.column() == 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void MemoGridModel::set_header(const GridRow& header) {
    header_ = header;
    emit headerDataChanged(Qt::Horizontal, 0, 2);
}

void MemoGridModel::insert_rows(int at, GridRows rows) {
    if (rows.empty()) return;
    beginInsertRows({}, at, at + int(rows.size()) - 1);
    rows_.insert(rows_.begin() + at, std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
}

void MemoGridModel::replace_rows(GridRows rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

MemoGrid::MemoGrid(QWidget* parent) : QTableView(parent), model_(new MemoGridModel(this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    // Narrow columns show as much of their text as fits rather than an ellipsis,
    // and a date keeps a gap to the column's right edge.
    setTextElideMode(Qt::ElideNone);
    auto* cells = new NarrowCellMargins;
    cells->setParent(this);
    setStyle(cells);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(twips::to_px(240));
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setFixedHeight(twips::to_px(240) + 2);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    horizontalHeader()->setMouseTracking(true);
    horizontalHeader()->installEventFilter(this);
    horizontalHeader()->viewport()->installEventFilter(this);
    // The designed list: a header and one empty row.
    model_->replace_rows({GridRow{}});
    setCurrentIndex(model_->index(0, 1));
}

int MemoGrid::rows() const { return model_->rowCount() + 1; }

void MemoGrid::set_data_rows(GridRows rows) {
    const int current = current_row();
    model_->replace_rows(std::move(rows));
    // The current row keeps its number where that row still exists.
    set_current_row(std::min(current, model_->rowCount()));
}

void MemoGrid::insert_data_rows(int row, GridRows rows) {
    model_->insert_rows(std::clamp(row - 1, 0, model_->rowCount()), std::move(rows));
}

void MemoGrid::set_header_texts(const GridRow& texts) { model_->set_header(texts); }

QString MemoGrid::cell_text(int row, int col) const {
    if (row == 0) return model_->headerData(col, Qt::Horizontal, Qt::DisplayRole).toString();
    if (row < 1 || row - 1 >= model_->rowCount() || col < 0 || col > 2) return {};
    return model_->row(row - 1)[size_t(col)];
}

int MemoGrid::current_row() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

void MemoGrid::set_current_row(int row) {
    if (row >= 1 && row - 1 < model_->rowCount()) {
        const int col = std::max(1, current_col());
        setCurrentIndex(model_->index(row - 1, col));
    } else {
        setCurrentIndex(QModelIndex());
        clearSelection();
    }
}

int MemoGrid::current_col() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() : 1;
}

void MemoGrid::set_col_width_twips(int col, int twips) {
    if (col < 0 || col > 2) return;
    col_twips_[size_t(col)] = twips;
    setColumnWidth(col, twips::to_px(twips));
}

int MemoGrid::col_width_twips(int col) const {
    if (col < 0 || col > 2) return 0;
    // The width as set, unless the user dragged the column since.
    return twips::to_px(col_twips_[size_t(col)]) == columnWidth(col) ? col_twips_[size_t(col)] : twips::from_px(columnWidth(col));
}

QModelIndex MemoGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    // The keys never make a cell of the fixed column current.
    const QModelIndex to = QTableView::moveCursor(action, modifiers);
    return to.isValid() && to.column() == 0 ? model_->index(to.row(), 1) : to;
}

namespace {

// Rows answer the left button only: a right or middle button neither selects,
// shows nor moves a memo.
bool other_button(QEvent* event) {
    const QEvent::Type t = event->type();
    if (t != QEvent::MouseButtonPress && t != QEvent::MouseButtonRelease && t != QEvent::MouseButtonDblClick) return false;
    if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) return false;
    event->accept();
    return true;
}

}  // namespace

bool MemoGrid::eventFilter(QObject* watched, QEvent* event) {
    // The header row: a press makes row 0 current; clicks report as on the list.
    const bool on_header = watched == horizontalHeader() || watched == horizontalHeader()->viewport();
    if (!on_header) return QTableView::eventFilter(watched, event);
    if (other_button(event)) return true;
    switch (event->type()) {
    case QEvent::MouseMove:
        emit grid_mouse_move();
        break;
    case QEvent::MouseButtonPress:
        swallow_release_ = false;
        set_current_row(0);
        break;
    case QEvent::MouseButtonRelease:
        if (!std::exchange(swallow_release_, false)) emit grid_click();
        break;
    case QEvent::MouseButtonDblClick:
        set_current_row(0);
        swallow_release_ = true;
        emit grid_dbl_click();
        return true;  // the header would otherwise resize a column
    default:
        break;
    }
    return QTableView::eventFilter(watched, event);
}

void MemoGrid::mouseMoveEvent(QMouseEvent* event) {
    QTableView::mouseMoveEvent(event);
    emit grid_mouse_move();
}

void MemoGrid::mousePressEvent(QMouseEvent* event) {
    if (other_button(event)) return;
    swallow_release_ = false;
    // A press on the fixed column selects its row as a press on the row's
    // first data cell does.
    const QPoint pos = event->position().toPoint();
    if (columnAt(pos.x()) == 0 && columnWidth(1) > 0) {
        QMouseEvent moved(event->type(), QPointF(columnViewportPosition(1), pos.y()), event->scenePosition(), event->globalPosition(),
                          event->button(), event->buttons(), event->modifiers());
        QTableView::mousePressEvent(&moved);
        return;
    }
    QTableView::mousePressEvent(event);
}

void MemoGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (other_button(event)) return;
    QTableView::mouseReleaseEvent(event);
    // The release that ends a double click is not a click of its own.
    if (!std::exchange(swallow_release_, false)) emit grid_click();
}

void MemoGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (other_button(event)) return;
    QTableView::mouseDoubleClickEvent(event);
    swallow_release_ = true;
    emit grid_dbl_click();
}

}  // namespace tz
