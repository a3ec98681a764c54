#pragma once
// What the windows the main window opens may use of it: the shared store and
// hand-over values, the list's row maps and current row, and a short list of
// operations on the main window. No window reaches into its widgets.

#include "store/memo_store.h"
#include "store/row_maps.h"

#include <QRect>
#include <QString>
#include <vector>

class QWidget;

namespace tz {

class Platform;

class MainOps {
public:
    virtual ~MainOps() = default;

    virtual MemoStore& store() = 0;
    virtual HandOver& hand_over() = 0;
    virtual Platform& platform() = 0;
    virtual const RowMaps& row_maps() const = 0;
    // The memo list's current row: 0 the header, 1..shown_count memos, then the empty row.
    virtual int current_row() const = 0;
    // The main window itself, as the parent of dialogs.
    virtual QWidget* main_widget() = 0;
    // Outer place and size of the main window in twips (frame and menu bar included).
    virtual QRect outer_geometry_twips() const = 0;

    // Rebuilds the list with every memo in table order.
    virtual void full_rebuild() = 0;
    virtual void set_hint(const QString& text) = 0;
    virtual void empty_viewer() = 0;
    // The title with the memo count.
    virtual void set_caption() = 0;
    // Appends a category to the category box's list.
    virtual void append_category_to_box(const QString& name) = 0;
    // Sets the category box to its first entry ("全部") and rebuilds the list as a pick does.
    virtual void select_all_categories() = 0;
    // Empties the category box and adds every category again, "全部" first.
    virtual void refill_category_box() = 0;
    // Empties the text of the title keyword box.
    virtual void empty_keyword_box() = 0;

    // The list shows the memos of these slots (1-based, in table order) and nothing else.
    virtual void show_slots(const std::vector<int>& memo_slots) = 0;
    // Adds the memos of these slots below the memo rows shown, in one step.
    virtual void append_slots(const std::vector<int>& memo_slots) = 0;
    // Fills the title keyword box's list again from the keyword history; its text stays.
    virtual void refill_keyword_box() = 0;
    // The viewer's text, one character per position of the viewer (a paragraph
    // break and a picture count one each).
    virtual QString viewer_text() const = 0;
    // Selects `length` characters from `start` in the viewer and shows them.
    virtual void select_in_viewer(int start, int length) = 0;

    // True once the program is to end (a stop signal, the session's end) or
    // has ended. A long operation looks at it between its steps, stops at a
    // safe point and returns without asking the user anything.
    virtual bool end_requested() const = 0;
    // While a long operation runs, an end asked for waits for it; the exit
    // save follows once it has returned.
    virtual void begin_long_operation() = 0;
    virtual void end_long_operation() = 0;
};

// A long operation for as long as it lives.
class LongOperation {
public:
    explicit LongOperation(MainOps& main) : main_(main) { main_.begin_long_operation(); }
    ~LongOperation() { main_.end_long_operation(); }
    LongOperation(const LongOperation&) = delete;
    LongOperation& operator=(const LongOperation&) = delete;

private:
    MainOps& main_;
};

// Places a window of the given outer size (twips) centred over the main window.
QRect centred_over(const QRect& main_outer, int width, int height);

}  // namespace tz
