#include "ui/controls.h"

#include "ui/twips.h"

#include <QColor>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace tz {
namespace {

class EnterInBox : public QObject {
public:
    EnterInBox(QWidget* box, std::function<void()> act) : QObject(box), act_(std::move(act)) {}

    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        act_();
        return true;
    }

private:
    std::function<void()> act_;
};

}  // namespace

void place(QWidget* control, const QRect& twips) { control->setGeometry(twips::to_px(twips)); }

void set_background(QWidget* window, const QColor& colour) {
    QPalette p = window->palette();
    p.setColor(QPalette::Window, colour);
    window->setPalette(p);
    window->setAutoFillBackground(true);
}

void set_text_colour(QWidget* control, const QColor& colour) {
    QPalette p = control->palette();
    p.setColor(QPalette::WindowText, colour);
    control->setPalette(p);
}

void on_enter(QWidget* box, std::function<void()> act) {
    auto* filter = new EnterInBox(box, std::move(act));
    box->installEventFilter(filter);
    // The combo box hands its keys to its text field, and a key can reach the field directly.
    if (auto* combo = qobject_cast<QComboBox*>(box); combo && combo->lineEdit()) combo->lineEdit()->installEventFilter(filter);
}

}  // namespace tz
