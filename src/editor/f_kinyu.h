#pragma once
// The memo editor: a new memo or a correction of the selected one, with its
// formatting tools. The main window sets hand_over().editor_mode (a new memo or
// a correction) and opens it modally:
//
//     F_kinyu dlg(ops);
//     dlg.exec();   // QDialog::Accepted when a memo was saved
//
// A save changes the store, writes the body files, the category file (for a
// new category) and the memo index, and rebuilds the main window's list;
// a cancel changes nothing.

#include "editor/editor_layout.h"

#include <QColor>
#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tz {

class MainOps;
class RichTextBox;

class F_kinyu : public QDialog {
    Q_OBJECT
public:
    // Fills the window for the hand-over editor mode and places it over the
    // main window. parent defaults to the main window.
    explicit F_kinyu(MainOps& ops, QWidget* parent = nullptr);
    ~F_kinyu() override;

    // The slot being corrected (0 for a new memo).
    int correction_slot() const { return correction_slot_; }
    // The outer place and size the editor was given at opening, twips.
    QRect wanted_outer_twips() const { return wanted_outer_; }

    // Controls, named as the program names them.
    QLabel* Label1;
    QComboBox* Combo1;      // category
    QLabel* Label2;
    QLineEdit* Text1;       // date
    QPushButton* Command3;  // 今日
    QCheckBox* Check3;      // 鍵をかける
    QLabel* Label6;
    QLineEdit* Text2;       // title
    RichTextBox* RTB_kinyu; // body
    QGroupBox* Frame2;
    QLabel* Label3;         // ﾌｫﾝﾄ
    QLabel* Label4;         // ｻｲｽﾞ
    QLabel* Label5;         // ｽﾀｲﾙ
    QComboBox* Combo3;      // font name
    QComboBox* Combo4;      // size
    QComboBox* Combo5;      // style
    QPushButton* Command5;  // 色
    QCheckBox* Check1;      // 取消線
    QCheckBox* Check2;      // 下線
    QPushButton* Command2;  // 中止
    QPushButton* Command1;  // 登録

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command5_Click();
    void Combo1_Click();
    void Combo3_Click();
    void Combo4_Click();
    void Combo5_Click();
    void Check1_Click();
    void Check2_Click();
    void RTB_kinyu_SelChange();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void build_controls();
    void Form_Load();
    void apply_layout();
    void place_outer(const QRect& outer_twips);
    QRect outer_twips() const;

    MainOps& ops_;
    int correction_slot_ = 0;
    QColor chooser_colour_ = Qt::black;  // the colour chooser's colour while the editor lives
    QRect wanted_outer_;
    QMargins frame_used_;                // the frame the outer size was last applied with
    EditorLayout layout_;
};

}  // namespace tz
