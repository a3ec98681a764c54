#pragma once
// The program's combo boxes.
//
// Editable combo boxes (a text field with a drop-down list) keep exactly what
// the user typed: no completion from the list, no entries added by Enter, and
// no entry made current because the typed text matches it. Only a real choice
// from the list (the mouse, or the arrow keys on the closed box) changes the
// current entry and reports activated(). Every editable box of the program is
// made with make_editable_box(), before anything else is connected to it.

class QComboBox;

namespace tz {

void make_editable_box(QComboBox* box);

// The drop-down list shows at most `rows` entries and scrolls, however many
// there are (by default a list without a text field opens as tall as all its
// entries, up to the whole screen).
void limit_list_rows(QComboBox* box, int rows);

// A narrow box: its arrow is drawn `arrow_px` pixels wide, so that the text
// field keeps the rest, and it stays a whole arrow.
void make_slim_arrow(QComboBox* box, int arrow_px);

}  // namespace tz
