#pragma once
// The lock password's entry box: the text is typed directly, key by key,
// whatever state the user's input method is in. The box tells an input method
// that it takes no composed text, and text an input method sends anyway (a
// conversion committed as the focus moves into the box) is not taken. The
// text is shown as typed.

#include <QLineEdit>

namespace tz {

class PasswordBox : public QLineEdit {
    Q_OBJECT
public:
    explicit PasswordBox(QWidget* parent = nullptr);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    void inputMethodEvent(QInputMethodEvent* event) override;
};

}  // namespace tz
