#include "ui/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace tz::twips {
namespace {
double g_dpi = 0;
}

double dpi() {
    if (g_dpi > 0) return g_dpi;
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInch() : 96.0;
}

void set_dpi(double d) { g_dpi = d; }

int to_px(int t) { return int(std::lround(t * dpi() / 1440.0)); }
int from_px(int p) { return int(std::lround(p * 1440.0 / dpi())); }

int to_px_at_least(int t) {
    int p = to_px(t);
    while (from_px(p) < t) ++p;
    return p;
}

QRect to_px(const QRect& r) {
    // Edges are converted, not sizes, so neighbouring controls never overlap by rounding.
    const int l = to_px(r.left()), t = to_px(r.top());
    return QRect(l, t, to_px(r.left() + r.width()) - l, to_px(r.top() + r.height()) - t);
}

}  // namespace tz::twips
