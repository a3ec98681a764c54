#include "editor/editor_layout.h"

namespace tz {

using namespace editor_design;

namespace {

// Left edge and width of r taken from h, top edge and height from v.
QRect join(const QRect& h, const QRect& v) { return QRect(h.left(), v.top(), h.width(), v.height()); }

EditorLayout computed(int dW, int dH) {
    EditorLayout l;
    l.Label1 = QRect(60, 60, 450, 225);
    l.Combo1 = QRect(600, 0, 3255 + dW, 345);
    l.Label2 = QRect(4020 + dW, 60, 915, 225);
    l.Text1 = QRect(4980 + dW, 0, 1275, 375);
    l.Command3 = QRect(6240 + dW, 0, 675, 375);
    l.Check3 = QRect(7260 + dW, 120, 1575, 195);
    l.Label6 = QRect(60, 480, 480, 225);
    l.Text2 = QRect(600, 420, 8715 + dW, 390);
    l.RTB_kinyu = QRect(0, 840, 9315 + dW, 4755 + dH);
    l.Frame2 = QRect(0, 5640 + dH, 6555, 915);
    l.Command2 = QRect(6600, 5640 + dH, 1095, 435);
    l.Command1 = QRect(7740, 5640 + dH, 1515 + dW, 435);
    return l;
}

}  // namespace

EditorLayout editor_design_layout() {
    EditorLayout l = computed(0, 0);
    l.width = kMinWidth;
    l.height = kDesignHeight;
    return l;
}

EditorLayout editor_layout(int w, int h, const EditorLayout& previous) {
    const bool follow_width = w >= kMinWidth;
    const bool follow_height = h >= kMinHeight;
    const EditorLayout now = computed(w - kMinWidth, h - kDesignHeight);
    const EditorLayout& across = follow_width ? now : previous;
    const EditorLayout& down = follow_height ? now : previous;

    EditorLayout l;
    l.width = follow_width ? w : kMinWidth;
    l.height = (follow_height || h == kMinimisedHeight) ? h : kMinHeight;
    l.Label1 = join(across.Label1, down.Label1);
    l.Combo1 = join(across.Combo1, down.Combo1);
    l.Label2 = join(across.Label2, down.Label2);
    l.Text1 = join(across.Text1, down.Text1);
    l.Command3 = join(across.Command3, down.Command3);
    l.Check3 = join(across.Check3, down.Check3);
    l.Label6 = join(across.Label6, down.Label6);
    l.Text2 = join(across.Text2, down.Text2);
    l.RTB_kinyu = join(across.RTB_kinyu, down.RTB_kinyu);
    l.Frame2 = join(across.Frame2, down.Frame2);
    l.Command2 = join(across.Command2, down.Command2);
    l.Command1 = join(across.Command1, down.Command1);
    return l;
}

FrameLayout frame_layout() {
    FrameLayout f;
    f.font_label = QRect(60, 180, 1875, 225);
    f.size_label = QRect(1980, 180, 675, 225);
    f.style_label = QRect(2700, 180, 1995, 225);
    f.Combo3 = QRect(60, 420, 1875, 330);
    f.Combo4 = QRect(1980, 420, 675, 330);
    f.Combo5 = QRect(2700, 420, 1995, 330);
    f.Command5 = QRect(4740, 420, 555, 315);
    f.Check1 = QRect(5400, 240, 1035, 240);
    f.Check2 = QRect(5400, 600, 855, 195);
    return f;
}

}  // namespace tz
