#include "dialogs/f_secpassin.h"

#include "store/memo_store.h"
#include "ui/accessible_names.h"
#include "ui/controls.h"
#include "ui/dialog_frame.h"
#include "ui/fonts.h"
#include "ui/main_ops.h"
#include "ui/password_box.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tz {
namespace {

constexpr int kInsideWidth = 5700;

}  // namespace

F_secpassin::F_secpassin(MainOps& main) : QDialog(main.main_widget()), main_(main) {
    setObjectName(QStringLiteral("F_secpassin"));
    setFont(fonts::font(fonts::proportional_gothic(), 9));
    set_background(this, Qt::black);

    Label1 = make<QLabel>(this, "Label1", QStringLiteral("鍵をあけるためのパスワードを入力して下さい。"), {300, 120, 5295, 225});
    set_text_colour(Label1, Qt::cyan);

    Text1 = make<PasswordBox>(this, "Text1", {1380, 480, 2895, 375});
    link_label(Label1, Text1);
    on_enter(Text1, [this] { Command2_Click(); });

    Label2 = make<QLabel>(this, "Label2",
                          QStringLiteral("鍵がかかっているメモの場合は、ダブルクリックで一番上に移動することができません。"
                                         "一番上に移動したい場合は以下のチェックボックスをチェックして下さい。"),
                          {120, 960, 5535, 615});
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    set_text_colour(Label2, Qt::green);

    Check1 = make<QCheckBox>(this, "Check1", QStringLiteral("メモを一番上に移動する"), {1200, 1740, 3255, 195 + 60});
    set_text_colour(Check1, Qt::yellow);

    Command1 = make<QPushButton>(this, "Command1", QStringLiteral("CANCEL"));
    Command2 = make<QPushButton>(this, "Command2", QStringLiteral("OK"));
    connect(Command1, &QPushButton::clicked, this, &F_secpassin::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &F_secpassin::Command2_Click);
    setTabOrder(Text1, Check1);
    setTabOrder(Check1, Command1);
    setTabOrder(Command1, Command2);

    // Any close that is not OK answers CANCEL, so an earlier answer never counts.
    main_.hand_over().unlock_answer = UnlockAnswer::Cancel;
    setWindowTitle(QStringLiteral("鍵を開けるためのパスワード"));
    main_.set_hint(QStringLiteral("鍵付きメモを表示・訂正するにはパスワードが必要です。"));
    Text1->clear();
    int buttons_top = 2100;
    if (main_.hand_over().editor_mode == EditorMode::Correction) {
        Label2->hide();
        Check1->hide();
        outer_height_ = 2040;
        buttons_top = 1020;
    }
    place(Command1, {1380, buttons_top, 1215, 495});
    place(Command2, {3120, buttons_top, 1215, 495});
    const QRect outer = centred_over(main_.outer_geometry_twips(), kInsideWidth + kDialogBorderTwips, outer_height_);
    make_fixed_dialog(this, outer, kInsideWidth);
    Text1->setFocus();
}

void F_secpassin::Command2_Click() {
    const QString& password = main_.store().settings[Settings::LockPassword].display();
    main_.hand_over().unlock_answer = Text1->text() == password ? UnlockAnswer::RightPassword : UnlockAnswer::WrongPassword;
    main_.hand_over().move_to_top = Check1->isChecked();
    accept();
}

void F_secpassin::Command1_Click() { reject(); }

void F_secpassin::reject() {
    main_.hand_over().unlock_answer = UnlockAnswer::Cancel;
    QDialog::reject();
}

}  // namespace tz
