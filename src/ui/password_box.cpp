#include "ui/password_box.h"

#include <QInputMethodEvent>

namespace tz {

PasswordBox::PasswordBox(QWidget* parent) : QLineEdit(parent) {
    setEchoMode(QLineEdit::Normal);
    // Input methods that look at the hints keep to direct Latin input and learn nothing.
    setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

// A line edit says it takes composed text whenever it is editable; an input
// method asks this before it handles the keys.
QVariant PasswordBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImEnabled) return false;
    return QLineEdit::inputMethodQuery(query);
}

void PasswordBox::inputMethodEvent(QInputMethodEvent* event) { event->accept(); }

}  // namespace tz
