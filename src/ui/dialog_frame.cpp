#include "ui/dialog_frame.h"

#include "ui/twips.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QVariant>
#include <QTimer>

namespace tz {
namespace {

// No button is ever the dialog's default: Enter presses only the focused one.
void no_default_buttons(QDialog* dialog) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
        b->setDefault(false);
        b->setAutoDefault(false);
    }
}

class DialogRules : public QObject {
public:
    explicit DialogRules(QDialog* dialog) : QObject(dialog), dialog_(dialog) {}

    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched != dialog_) return false;
        switch (e->type()) {
        case QEvent::Show:
            no_default_buttons(dialog_);
            break;
        case QEvent::KeyPress: {
            // A key no control took: it reaches the dialog itself.
            const auto* k = static_cast<QKeyEvent*>(e);
            const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
            if (!enter || (k->modifiers() & ~Qt::KeypadModifier)) break;
            auto* button = qobject_cast<QPushButton*>(dialog_->focusWidget());
            if (button && button->window() == dialog_ && button->isVisible() && button->isEnabled()) button->click();
            return true;
        }
        case QEvent::WindowStateChange:
            if (dialog_->windowState() & Qt::WindowMinimized) QTimer::singleShot(0, dialog_, [d = dialog_] { restore(d); });
            break;
        default:
            break;
        }
        return false;
    }

private:
    static void restore(QDialog* d) {
        // Some window managers minimise the owner with its dialog: both come back.
        if (QWidget* owner = d->parentWidget() ? d->parentWidget()->window() : nullptr; owner && owner->isMinimized())
            owner->setWindowState(owner->windowState() & ~Qt::WindowMinimized);
        d->setWindowState(d->windowState() & ~Qt::WindowMinimized);
        d->show();
        d->raise();
        d->activateWindow();
    }

    QDialog* dialog_;
};

}  // namespace

void apply_dialog_rules(QDialog* dialog) {
    static const char* const kApplied = "tz_dialog_rules";
    if (dialog->property(kApplied).toBool()) return;
    dialog->setProperty(kApplied, true);
    no_default_buttons(dialog);
    dialog->installEventFilter(new DialogRules(dialog));
}

void make_fixed_dialog(QDialog* dialog, const QRect& outer, int inside_width) {
    // Without the button hints Qt asks the window manager for a window that can
    // only be moved: no close, minimise or maximise box.
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    const int w = inside_width > 0 ? inside_width : outer.width() - kDialogBorderTwips;
    const int h = outer.height() - kDialogCaptionTwips;
    dialog->setFixedSize(twips::to_px(w), twips::to_px(h));
    dialog->move(twips::to_px(outer.left()), twips::to_px(outer.top()));
    apply_dialog_rules(dialog);
}

}  // namespace tz
