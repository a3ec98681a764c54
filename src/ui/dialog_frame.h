#pragma once
// What every dialog of the program shares: its keys, how the window manager may
// close or minimise it, and, for the fixed dialogs, their size and frame.
// Fixed-size dialogs are designed by their outer size in twips; the inside is
// that less the caption and borders the design allowed for.
//
// A new dialog calls one of these at the end of its constructor:
//
//     make_fixed_dialog(this, outer_twips, inside_width);  // fixed, no title-bar buttons
//     apply_dialog_rules(this);                            // a sizable dialog with its own frame

#include <QRect>

class QDialog;

namespace tz {

constexpr int kDialogCaptionTwips = 405;  // caption and borders in the designed outer height
constexpr int kDialogBorderTwips = 120;   // borders in the designed outer width

// The rules every dialog of the program follows:
// - Enter presses the button that has the focus, and only that one. Enter in a
//   box, a list or a check box presses nothing (a dialog that wants Enter in a
//   box to act handles that key in the box itself). Esc cancels (reject()).
// - Closing the dialog by the window manager is its cancel: reject(), which a
//   dialog overrides when its cancel does more than close.
// - A minimise by the window manager is undone at once: a minimised modal
//   dialog would leave a blocked program with nothing on screen.
// Buttons added after the call follow the Enter rule as well.
void apply_dialog_rules(QDialog* dialog);

// A dialog without close, minimise and maximise buttons (window managers that
// honour the request draw none; where one still offers a close, it cancels),
// fixed at the inside size that an outer size of width × height twips leaves,
// placed with its outer top-left at the rectangle's top-left, and following
// apply_dialog_rules().
void make_fixed_dialog(QDialog* dialog, const QRect& outer_twips, int inside_width_twips = 0);

}  // namespace tz
