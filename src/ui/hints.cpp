#include "ui/hints.h"

#include <QMouseEvent>
#include <QWidget>

namespace tz {

MouseHints::MouseHints(QObject* parent, std::function<void(const QString&)> show) : QObject(parent), show_(std::move(show)) {}

void MouseHints::add(QWidget* part, const QString& hint) {
    hints_.insert(part, hint);
    part->setMouseTracking(true);
    part->installEventFilter(this);
}

bool MouseHints::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseMove) return false;
    const auto it = hints_.constFind(watched);
    if (it == hints_.cend()) return false;
    // A move that a control inside the part passed on is that control's.
    const auto* part = static_cast<QWidget*>(watched);
    if (!part->childAt(static_cast<QMouseEvent*>(event)->position().toPoint())) show_(*it);
    return false;
}

}  // namespace tz
