#pragma once
// The main window's layout rule, in twips: the outer size of the window and the
// list's present height in, every moving control's rectangle out. The window
// applies the result; nothing here knows of widgets.

#include <QRect>

namespace tz {

namespace main_design {
constexpr int kMinWidth = 9450;    // the window's design outer size, also its minimum
constexpr int kMinHeight = 6975;
constexpr int kMinimisedHeight = 540;
constexpr int kClientWidth = 9330;
constexpr int kClientHeight = 6570;
constexpr int kListTop = 420;
constexpr int kBand = 105;         // the splitter band between list and viewer
constexpr int kBelowViewer = 1200; // outer height left under the viewer
constexpr int kMinPane = 1000;     // neither list nor viewer gets lower
constexpr int kListHeight = 1215;  // the list's designed height
constexpr int kCategoryColumn = 1500;
constexpr int kDateColumn = 1150;
constexpr int kTitleColumn = 1000; // before the first resize
}  // namespace main_design

struct MainLayout {
    int width = 0;   // the outer size the window must have (snapped to the minimum)
    int height = 0;
    QRect Combo2, Command5, Frame1, Grid1, RTB1, Command1, Text1, Command9, Command8, Command7, Command6;
    int title_column = main_design::kTitleColumn;
};

// The layout for outer size w × h with the list now `list_height` high. At the
// minimised height the list and viewer keep the sizes they have in `previous`.
MainLayout main_layout(int w, int h, int list_height, const MainLayout& previous);

// The list and viewer after the splitter was dragged to y (in the window's inside).
struct Split {
    int list_height;
    int viewer_top;
    int viewer_height;
};
Split split_for_y(int y, int outer_height);

}  // namespace tz
