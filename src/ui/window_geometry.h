#pragma once
// A top-level window's outer place and size in twips: its frame, caption and
// menu bar included where the window system reports a frame, otherwise the
// window's own size.

#include <QRect>
#include <QSize>

class QAbstractButton;
class QWidget;

namespace tz {

QRect outer_geometry_twips(const QWidget* window);
// Moves and sizes the window so that its outer rectangle is r (twips).
void set_outer_geometry_twips(QWidget* window, const QRect& r);
// What the frame adds to the window's own size, in pixels.
QSize frame_extra_px(const QWidget* window);
// Tells the window manager the smallest outer size, width × height twips, so
// that a drag of the window's frame stops there. Called again whenever the
// frame may have changed: the window's own minimum is the outer one less the frame.
void set_minimum_outer_twips(QWidget* window, int width, int height);

// A check box or option button at least as high as its box: a design height
// that is lower at the screen's density would cut the box off. It grows about
// its middle, where the box is drawn.
void fit_indicator(QAbstractButton* button);

}  // namespace tz
