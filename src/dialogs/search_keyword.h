#pragma once
// The keyword box both full-text search windows share: an editable drop-down
// whose list is the keyword history, with the window's own history pick index.
// The index follows a choice from the list, becomes -1 at any edit by the
// user, and 0 after every search. Enter in the box is swallowed and handed to
// the window.

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QComboBox;
class QDialog;
class QLabel;
class QPushButton;

namespace tz {

class MainOps;

// The controls both search windows have, at the same places: the line that
// says what the window does, "キーワード", the keyword box and two buttons.
struct SearchWindowControls {
    QLabel* Label2;
    QLabel* Label1;
    QComboBox* Combo1;
    QPushButton* Command1;
    QPushButton* Command2;  // 終了
};
// Builds them in `window`, makes it a fixed dialog with a close box centred
// over the main window, and gives it its caption. The keyword box is an
// editable box of the program (ui/editable_box.h), captioned by "キーワード".
SearchWindowControls build_search_window(QDialog* window, MainOps& main, const QString& caption, const QString& what,
                                         const QString& search_text);

class SearchKeyword : public QObject {
    Q_OBJECT
public:
    // Fills the box's list from the history, text entry 0; the box is editable.
    SearchKeyword(QComboBox* box, MainOps& main, std::function<void()> on_enter);

    // The history update of a search: the box's text goes into the history by
    // the pick index, both keyword boxes' lists are filled again, the box shows
    // entry 0 and the pick index becomes 0. Returns the keyword.
    QString take();
    // True when the keyword of the last take() was typed rather than picked or left.
    bool last_was_typed() const { return last_typed_; }
    std::optional<int> pick() const { return pick_; }

private:
    void fill();

    QComboBox* box_;
    MainOps& main_;
    std::function<void()> on_enter_;
    std::optional<int> pick_;  // unset when the window opens, counting as 0
    bool last_typed_ = false;
};

}  // namespace tz
