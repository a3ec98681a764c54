#include "ui/window_geometry.h"

#include "ui/twips.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QStyle>
#include <QWidget>

namespace tz {

QRect outer_geometry_twips(const QWidget* w) {
    const QRect f = w->frameGeometry();
    return QRect(twips::from_px(f.x()), twips::from_px(f.y()), twips::from_px(f.width()), twips::from_px(f.height()));
}

QSize frame_extra_px(const QWidget* w) {
    return w->frameGeometry().size() - w->geometry().size();
}

void set_outer_geometry_twips(QWidget* w, const QRect& r) {
    const QSize frame = frame_extra_px(w);
    w->move(twips::to_px(r.left()), twips::to_px(r.top()));
    w->resize(std::max(1, twips::to_px(r.width()) - frame.width()), std::max(1, twips::to_px(r.height()) - frame.height()));
}

void set_minimum_outer_twips(QWidget* w, int width, int height) {
    const QSize frame = frame_extra_px(w);
    w->setMinimumSize(std::max(1, twips::to_px_at_least(width) - frame.width()),
                      std::max(1, twips::to_px_at_least(height) - frame.height()));
}

void fit_indicator(QAbstractButton* b) {
    const auto box = qobject_cast<QRadioButton*>(b) ? QStyle::PM_ExclusiveIndicatorHeight : QStyle::PM_IndicatorHeight;
    const int need = b->style()->pixelMetric(box, nullptr, b);
    const QRect g = b->geometry();
    if (g.height() < need) b->setGeometry(g.left(), g.top() - (need - g.height()) / 2, g.width(), need);
}

}  // namespace tz
