#pragma once
// The search within the memo on display: each press of "検索/次を検索" selects
// the next occurrence of the keyword in the main window's viewer, going back
// to the beginning after the last one. Letter case and full-width and
// half-width forms are ignored as in the search across all memos; a hit
// selects exactly the characters the viewer shows for it.

#include "store/text_fold.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

namespace tz {

class MainOps;
class SearchKeyword;

class F_zenbun2 : public QDialog {
    Q_OBJECT
public:
    explicit F_zenbun2(MainOps& main);

    // Where the next search begins in the viewer's text.
    int search_start() const { return start_; }
    std::optional<int> history_pick() const;

    QLabel* Label2;  // what the window does
    QLabel* Label1;  // "キーワード"
    QComboBox* Combo1;
    QPushButton* Command1;  // 検索/次を検索
    QPushButton* Command2;  // 終了

public slots:
    void Command1_Click();
    void Command2_Click();
    void reject() override;  // Esc and the close box

private:
    // The first hit at or after `from`, selected in the viewer; false when none.
    bool find_from(const QString& folded_keyword, int from);

    MainOps& main_;
    SearchKeyword* keyword_ = nullptr;
    int start_ = 0;
    // The viewer's text cannot change while the window is open: folded once.
    std::optional<FoldedText> folded_;
};

}  // namespace tz
