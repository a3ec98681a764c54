#include "main_window/main_layout.h"

#include <cmath>

namespace tz {

using namespace main_design;

MainLayout main_layout(int w, int h, int list_height, const MainLayout& previous) {
    MainLayout l;
    l.width = std::max(w, kMinWidth);
    l.height = (h >= kMinHeight || h == kMinimisedHeight) ? h : kMinHeight;
    const int d = l.width - kMinWidth;
    const int e = l.height - kMinHeight;

    l.Combo2 = QRect(4260, 60, 2715 + d, 315);
    l.Command5 = QRect(7020 + d, 60, 675, 315);
    l.Frame1 = QRect(7740 + d, -60, 1575, 435);
    l.title_column = 6365 + d;
    l.Command9 = QRect(5640 + d, 5820 + e, 795, 315);
    l.Command8 = QRect(6480 + d, 5820 + e, 795, 315);
    l.Command7 = QRect(7320 + d, 5820 + e, 795, 315);
    l.Command6 = QRect(8160 + d, 5820 + e, 1155, 315);
    l.Command1 = QRect(5640 + d, 5400 + e, 3665, 340);
    l.Text1 = QRect(60, 5850 + e, 5535, 315);

    int grid_height = list_height;
    int viewer_top = 0;
    int viewer_height = 0;
    if (l.height == kMinimisedHeight) {
        // The split would give the list a negative height: keep the last sizes.
        grid_height = previous.Grid1.height();
        viewer_top = previous.RTB1.top();
        viewer_height = previous.RTB1.height();
    } else if (l.height - kListTop - list_height - kBand - kBelowViewer < kMinPane) {
        grid_height = l.height - kListTop - kBand - kMinPane - kBelowViewer;
        viewer_top = grid_height + kListTop + kBand;
        viewer_height = kMinPane;
    } else {
        viewer_top = list_height + kListTop + kBand;
        viewer_height = l.height - kListTop - list_height - kBand - kBelowViewer;
    }
    l.Grid1 = QRect(30, kListTop, 9315 + d, grid_height);
    l.RTB1 = QRect(0, viewer_top, 9315 + d, viewer_height);
    return l;
}

Split split_for_y(int y, int h) {
    if (y < 1470) return {kMinPane, 1525, h - 1470 - 55 - kBelowViewer};
    if (y <= h - kBelowViewer - kMinPane - 50) return {y - kListTop - 50, y + 55, h - y - 55 - kBelowViewer};
    const int list = h - kListTop - kBelowViewer - kMinPane - kBand;
    return {list, list + kListTop + kBand, kMinPane};
}

}  // namespace tz
