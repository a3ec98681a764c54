#pragma once
// Making, placing and colouring the controls of the program's windows, and
// Enter in a box. Every control carries the name the program gives it
// ("Command1") and is placed in twips:
//
//     Command1 = make<QPushButton>(this, "Command1", QStringLiteral("OK"), {5700, 480, 1215, 495});
//     Text1 = make<QLineEdit>(this, "Text1", {420, 540, 2715, 375});
//     Label3 = make<QLabel>(Frame2, "Label3", QStringLiteral("ﾌｫﾝﾄ"));  // placed by the layout later
//     place(Label3, layout.font_label);
//     on_enter(Text1, [this] { Command1_Click(); });

#include <QAbstractButton>
#include <QLabel>
#include <QRect>
#include <QString>

#include <functional>
#include <type_traits>

class QColor;

namespace tz {

// Places a control at a rectangle in twips of its parent.
void place(QWidget* control, const QRect& twips);

// A new control of `parent` named `name`; a button or label shows `text`.
template <typename W>
W* make(QWidget* parent, const char* name, const QString& text = QString()) {
    W* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    if constexpr (std::is_base_of_v<QAbstractButton, W> || std::is_base_of_v<QLabel, W>)
        w->setText(text);
    else
        Q_ASSERT(text.isEmpty());
    return w;
}

// The same, placed at a rectangle in twips.
template <typename W>
W* make(QWidget* parent, const char* name, const QString& text, const QRect& twips) {
    W* w = make<W>(parent, name, text);
    place(w, twips);
    return w;
}
template <typename W>
W* make(QWidget* parent, const char* name, const QRect& twips) {
    return make<W>(parent, name, QString(), twips);
}

// A window's background in this colour.
void set_background(QWidget* window, const QColor& colour);
// The colour of a label's or check box's text.
void set_text_colour(QWidget* control, const QColor& colour);

// Enter in the box (Return or the keypad's Enter, whatever modifier is held)
// does `act`, and nothing else sees the key: nothing is typed and the window
// presses no button. An editable combo box's text field is part of the box.
void on_enter(QWidget* box, std::function<void()> act);

}  // namespace tz
