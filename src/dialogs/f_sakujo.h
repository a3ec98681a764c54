#pragma once
// The delete dialog: confirms the deletion of the memo on the main list's
// current row and deletes it for good, with its two body files.

#include <QDialog>

class QLabel;
class QPushButton;

namespace tz {

class MainOps;

class F_sakujo : public QDialog {
    Q_OBJECT
public:
    explicit F_sakujo(MainOps& main);

    QLabel* Label1;
    QLabel* Label2;
    QPushButton* Command2;  // やっぱりダメ
    QPushButton* Command1;  // いいよ

public slots:
    void Command1_Click();
    void Command2_Click();

private:
    MainOps& main_;
};

}  // namespace tz
