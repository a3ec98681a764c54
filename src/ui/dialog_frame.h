#pragma once
// Fixed-size dialogs are designed by their outer size in twips; the inside is
// that less the caption and borders the design allowed for.

#include <QRect>

class QWidget;

namespace tz {

constexpr int kDialogCaptionTwips = 405;  // caption and borders in the designed outer height
constexpr int kDialogBorderTwips = 120;   // borders in the designed outer width

// A window without close, minimise and maximise boxes, fixed at the inside size
// that an outer size of width × height twips leaves, placed with its outer
// top-left at `place`'s top-left.
void make_fixed_dialog(QWidget* dialog, const QRect& outer_twips, int inside_width_twips = 0);

}  // namespace tz
