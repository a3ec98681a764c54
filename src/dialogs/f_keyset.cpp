#include "dialogs/f_keyset.h"

#include "store/changes.h"
#include "store/cp932.h"
#include "store/data_folder.h"
#include "ui/accessible_names.h"
#include "ui/controls.h"
#include "ui/dialog_frame.h"
#include "ui/fonts.h"
#include "ui/main_ops.h"
#include "ui/password_box.h"
#include "ui/platform.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tz {
namespace {

constexpr int kInsideWidth = 7365;
constexpr int kInsideHeight = 1155;

}  // namespace

F_keyset::F_keyset(MainOps& main) : QDialog(main.main_widget()), main_(main) {
    setObjectName(QStringLiteral("F_keyset"));
    setFont(fonts::font(fonts::proportional_gothic(), 9));
    set_background(this, QColor(192, 255, 192));

    Label1 = make<QLabel>(this, "Label1", {540, 180, 6240, 195 + 30});
    Text1 = make<PasswordBox>(this, "Text1", {420, 540, 2715, 375});
    on_enter(Text1, [this] { Command1_Click(); });
    Command1 = make<QPushButton>(this, "Command1", QStringLiteral("OK"), {5700, 480, 1215, 495});
    Command2 = make<QPushButton>(this, "Command2", QStringLiteral("CANCEL"), {4260, 480, 1215, 495});
    // No button is the default, not even by look: Enter in the entry is OK,
    // on a button it presses that button (below).
    for (QPushButton* b : {Command1, Command2}) b->setAutoDefault(false);
    setTabOrder(Text1, Command2);
    setTabOrder(Command2, Command1);
    connect(Command1, &QPushButton::clicked, this, &F_keyset::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &F_keyset::Command2_Click);

    const QRect outer = centred_over(main_.outer_geometry_twips(), kInsideWidth + kDialogBorderTwips, kInsideHeight + kDialogCaptionTwips);
    make_fixed_dialog(this, outer, kInsideWidth);
    setWindowTitle(QStringLiteral("鍵を開けるためのパスワードセット"));
    main_.set_hint(QStringLiteral("鍵付きメモを表示・訂正するためのパスワードを設定します。"));
    Text1->clear();
    show_step(main_.store().settings[Settings::LockPassword].display().isEmpty() ? 2 : 1);
    Text1->setFocus();
}

void F_keyset::show_step(int step) {
    step_ = step;
    // The current password is asked in blue, the new one in red.
    Label1->setText(step == 1 ? QStringLiteral("鍵がかかったメモを開くための、現在のパスワードを入力して下さい。")
                              : QStringLiteral("鍵がかかったメモを開くための、新しいパスワードを入力して下さい。"));
    set_text_colour(Label1, step == 1 ? QColor(0, 0, 255) : QColor(255, 0, 0));
    // The prompt names the entry: a screen reader says which password is asked.
    link_label(Label1, Text1);
}

void F_keyset::Command1_Click() {
    MemoStore& store = main_.store();
    const QString typed = Text1->text();
    if (step_ == 1) {
        if (typed == store.settings[Settings::LockPassword].display()) {
            show_step(2);
            Text1->clear();
        } else {
            main_.platform().message(this, QStringLiteral("現在のパスワードが間違っています。"), program_title(), MsgIcon::Critical);
        }
        Text1->setFocus();
        return;
    }
    // The settings file holds the password on one line: a pasted line break
    // would bring back a different password after a restart.
    if (typed.contains(QLatin1Char('\r')) || typed.contains(QLatin1Char('\n'))) {
        main_.platform().message(this, QStringLiteral("パスワードに改行が含まれています。\r改行を取り除いてから入力してください。"),
                                 program_title());
        Text1->setFocus();
        return;
    }
    // Nor may it hold a character that the settings file keeps as "?" or as a
    // nearest one: after a restart only that other text would unlock.
    if (const QStringList lost = cp932::unwritable(typed, cp932::Fit::Exact); !lost.isEmpty()) {
        main_.platform().message(this, unwritable_text(QStringLiteral("パスワード"), lost, QStringLiteral("入力")), program_title());
        Text1->setFocus();
        return;
    }
    main_.platform().message(this, QStringLiteral("新しいパスワード『") + typed + QStringLiteral("』を忘れないようにして下さい。"),
                             program_title());
    // Written now, so a crash before the exit save cannot bring the old one back.
    if (const ChangeResult set = set_password(store, typed); !set.done)
        main_.platform().message(this, not_written_text(set.not_written) +
                                           QStringLiteral("\r新しいパスワードは終了時にもう一度保存します。"),
                                 program_title(), MsgIcon::Critical);
    accept();
}

void F_keyset::Command2_Click() { reject(); }

}  // namespace tz
