#include "ui/dialog_frame.h"

#include "ui/twips.h"

#include <QWidget>

namespace tz {

void make_fixed_dialog(QWidget* dialog, const QRect& outer, int inside_width) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    const int w = inside_width > 0 ? inside_width : outer.width() - kDialogBorderTwips;
    const int h = outer.height() - kDialogCaptionTwips;
    dialog->setFixedSize(twips::to_px(w), twips::to_px(h));
    dialog->move(twips::to_px(outer.left()), twips::to_px(outer.top()));
}

}  // namespace tz
