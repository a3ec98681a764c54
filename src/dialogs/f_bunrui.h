#pragma once
// The category window "分類の整理": adds a category at the end of the category
// list, moves one up or down, removes one (its memos keep their category text),
// and deletes every memo of a category at once. Entry 1, "全部", is never shown
// here. The window has no default and no cancel button: Enter and Esc press
// nothing unless a button has the focus.

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tz {

class MainOps;
class MemoStore;

class F_bunrui : public QDialog {
    Q_OBJECT
public:
    explicit F_bunrui(MainOps& main);

    QListWidget* List1;
    QLineEdit* Text1;
    QPushButton* Command6;  // 分類追加
    QPushButton* Command1;  // ↑一つ上に
    QPushButton* Command2;  // ↓一つ下に
    QPushButton* Command3;  // 分類削除
    QPushButton* Command5;  // メモ削除
    QPushButton* Command4;  // 終了

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The selected list position, or -1.
    int selected() const;
    // Empties the list and adds category list entries 2 onward again.
    void refill_list();
    // Swaps the categories at list positions p and p + 1 and selects `select`.
    void swap_down(int p, int select);
    // Removes the category at list position p from the category list.
    void remove_at(int p);
    // A backup of the memo book before a category's memos are deleted.
    void keep_backup(const MemoStore& store);

    MainOps& main_;
};

}  // namespace tz
