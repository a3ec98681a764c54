#pragma once
// The password setting dialog: sets the one lock password all locked memos
// share. When a password exists the current one is asked first (step 1), then
// the new one (step 2); an empty new password removes the password. The new
// password reaches tzurio.ini at once.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tz {

class MainOps;

class F_keyset : public QDialog {
    Q_OBJECT
public:
    explicit F_keyset(MainOps& main);

    // 1 while the current password is asked, 2 while the new one is.
    int password_step() const { return step_; }

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1;  // OK
    QPushButton* Command2;  // CANCEL

public slots:
    void Command1_Click();
    void Command2_Click();

private:
    void show_step(int step);

    MainOps& main_;
    int step_ = 1;
};

}  // namespace tz
