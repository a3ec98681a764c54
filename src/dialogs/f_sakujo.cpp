#include "dialogs/f_sakujo.h"

#include "store/changes.h"
#include "store/data_folder.h"
#include "ui/controls.h"
#include "ui/dialog_frame.h"
#include "ui/fonts.h"
#include "ui/main_ops.h"
#include "ui/platform.h"

#include <QLabel>
#include <QPushButton>

namespace tz {
namespace {

constexpr int kInsideWidth = 3900;
constexpr int kInsideHeight = 1350;

}  // namespace

F_sakujo::F_sakujo(MainOps& main) : QDialog(main.main_widget()), main_(main) {
    setObjectName(QStringLiteral("F_sakujo"));
    setFont(fonts::font(fonts::gothic(), 11.25));
    set_background(this, QColor(255, 255, 0));

    QFont bold = font();
    bold.setBold(true);
    const auto label = [&](const char* name, const QString& text, int top) {
        auto* l = make<QLabel>(this, name, text, {240, top, 3615, 225 + 30});
        l->setFont(bold);
        set_text_colour(l, QColor(255, 0, 0));
        return l;
    };
    Label1 = label("Label1", QStringLiteral("削除したメモは復活できません。"), 60);
    Label2 = label("Label2", QStringLiteral("本当に削除してよろしいですか？"), 360);

    // "いいよ" comes first in the tab order and has the focus, so Enter presses
    // it; on "やっぱりダメ" Enter presses that one.
    Command1 = make<QPushButton>(this, "Command1", QStringLiteral("いいよ"), {2160, 780, 1575, 495});
    Command2 = make<QPushButton>(this, "Command2", QStringLiteral("やっぱりダメ"), {180, 780, 1575, 495});
    setTabOrder(Command1, Command2);
    connect(Command1, &QPushButton::clicked, this, &F_sakujo::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &F_sakujo::Command2_Click);

    setWindowTitle(QStringLiteral("メモの削除"));
    main_.set_hint(QStringLiteral("[いいよ]ボタンで、選択中のメモを削除します。"));
    const QRect outer = centred_over(main_.outer_geometry_twips(), kInsideWidth + kDialogBorderTwips, kInsideHeight + kDialogCaptionTwips);
    make_fixed_dialog(this, outer, kInsideWidth);
    Command1->setFocus();
}

void F_sakujo::Command2_Click() { reject(); }

void F_sakujo::Command1_Click() {
    MemoStore& store = main_.store();
    const int row = main_.current_row();
    if (!main_.row_maps().is_memo_row(row)) {
        reject();
        return;
    }
    const ChangeResult deleted = delete_memo(store, main_.row_maps().row_memo_numbers[size_t(row)]);
    if (!deleted.done) {
        if (!deleted.not_written.isEmpty())
            main_.platform().message(this, not_written_text(deleted.not_written) + QStringLiteral("\rメモは削除されていません。"),
                                     program_title(), MsgIcon::Critical);
        reject();
        return;
    }
    main_.full_rebuild();
    main_.set_hint(QString());
    main_.set_caption();
    main_.empty_viewer();
    accept();
}

}  // namespace tz
