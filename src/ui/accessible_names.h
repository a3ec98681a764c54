#pragma once
// What a screen reader says for each control: every control of every window
// has a name, its label's text where it has a label, else a short name of its
// own, and a label is linked to the box it captions.
//
//     install_accessible_names();      // once, before the first window
//     link_label(Label1, Combo1);      // "分類" names and captions the box
//     name_control(Grid1, "メモ一覧");  // a control without a label

#include <QString>

class QLabel;
class QWidget;

namespace tz {

// Combo boxes are named by their label or name like every control. (Qt on
// Linux gives a combo box its current text as its name, so a screen reader
// would say "全部" for the category box.)
void install_accessible_names();

// Names the control; an editable combo box's text field gets the same name,
// since the screen reader meets that field when the box takes the focus.
void name_control(QWidget* control, const QString& name);

// The label captions the control: linked to it, and its text names it.
// Called again when the label's text changes.
void link_label(QLabel* label, QWidget* control);

}  // namespace tz
