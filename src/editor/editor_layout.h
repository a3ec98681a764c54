#pragma once
// The editor's layout rule, in twips: its outer size in, the size it must
// have and every control's rectangle out. The window applies the result;
// nothing here knows of widgets.

#include <QRect>

namespace tz {

namespace editor_design {
constexpr int kMinWidth = 9450;     // the editor never gets narrower
constexpr int kMinHeight = 6475;    // nor lower
constexpr int kDesignHeight = 6975; // the height the lower controls are drawn for
constexpr int kMinimisedHeight = 540;
constexpr int kBelowMain = 500;     // the main window's bottom strip the editor leaves uncovered
}  // namespace editor_design

struct EditorLayout {
    int width = 0;   // the outer size the editor must have (snapped to the minimum)
    int height = 0;
    // Controls placed in the editor's inside.
    QRect Label1, Combo1, Label2, Text1, Command3, Check3, Label6, Text2, RTB_kinyu, Frame2, Command2, Command1;
};

// The controls inside Frame2, relative to the frame; they never move.
struct FrameLayout {
    QRect font_label, size_label, style_label, Combo3, Combo4, Combo5, Command5, Check1, Check2;
};

// The layout for outer size w × h. The left-right placement follows the width
// only when w is at least the minimum, the up-down placement follows the height
// only when h is at least the minimum; otherwise that part stays as in
// `previous` (a narrower or lower editor snaps back and is laid out again;
// a minimised one keeps its height and its controls).
EditorLayout editor_layout(int w, int h, const EditorLayout& previous);

// The layout as drawn, before the first resize.
EditorLayout editor_design_layout();

FrameLayout frame_layout();

}  // namespace tz
