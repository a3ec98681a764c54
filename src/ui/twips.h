#pragma once
// Every position and size in the program is in twips (1/1440 inch); this is the
// one place where they become device-independent pixels, at the screen's
// logical DPI (15 twips a pixel at 96 dpi).

#include <QRect>

namespace tz::twips {

// The DPI used for the conversion: the primary screen's logical DPI unless set.
double dpi();
void set_dpi(double dpi);  // for tests; 0 goes back to the screen's

int to_px(int twips);
int from_px(int px);
// The fewest pixels that are at least this many twips once converted back.
int to_px_at_least(int twips);
QRect to_px(const QRect& twips_rect);
inline QRect rect_px(int left, int top, int width, int height) { return to_px(QRect(left, top, width, height)); }

}  // namespace tz::twips
