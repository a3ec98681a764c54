#pragma once
// The unlock dialog: asks for the lock password before a locked memo is shown
// or corrected. Opened from the viewer it also offers to move the memo to the
// top. Its answer is left in the hand-over values: unlock_answer, and
// move_to_top (written only by OK).

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tz {

class MainOps;

class F_secpassin : public QDialog {
    Q_OBJECT
public:
    explicit F_secpassin(MainOps& main);

    // The outer height the dialog was designed with, twips: 3120 with the
    // move-to-top box, 2040 for a correction.
    int design_outer_height() const { return outer_height_; }

    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* Label2;
    QCheckBox* Check1;
    QPushButton* Command1;  // CANCEL
    QPushButton* Command2;  // OK

public slots:
    void Command1_Click();
    void Command2_Click();
    void reject() override;  // Esc and every other way of closing: CANCEL

private:
    MainOps& main_;
    int outer_height_ = 3120;
};

}  // namespace tz
