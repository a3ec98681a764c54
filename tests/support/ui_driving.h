#pragma once
// Driving real widgets as a user does: modal dialogs, typing, picking from
// lists, mouse moves, and the memo list's rows.

#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>

class QComboBox;
class QObject;
class QWidget;

namespace tz {
class MemoGrid;
}

namespace tz::test {

// Runs `act` on the next modal window as soon as it is open (a dialog the code
// under test shows with exec()). Deleting what it returns stops the watch.
QObject* on_next_modal(std::function<void(QWidget*)> act);

// Types into the unlock dialog and closes it: OK with `password`, or CANCEL
// when `cancel`; ticks its move-to-top box when asked.
void answer_unlock(const QString& password, bool move_to_top = false, bool cancel = false);

// Picks entry `index` of a combo box's list with the mouse.
void pick_from_list(QComboBox* combo, int index);

// Types text: ASCII by keys, Japanese through an input-method commit.
void type_text(QWidget* w, const QString& text);

// A mouse move over a widget with no button held, as the window system sends it.
void move_mouse(QWidget* w, const QPoint& pos);

// The titles of the memo rows of the list (the empty row left out).
QStringList grid_titles(MemoGrid* grid);
// A mouse click on the title cell of row r (1-based).
void click_row(MemoGrid* grid, int r);
void double_click_row(MemoGrid* grid, int r);

// Every entry of a combo box's list.
QStringList combo_items(const QComboBox* combo);
// Makes a window the active one, as for a user; false when it never becomes active.
bool activate(QWidget* w);

}  // namespace tz::test
