#include "dialogs/f_zenbun2.h"

#include "dialogs/search_keyword.h"
#include "ui/dialog_frame.h"
#include "ui/main_ops.h"
#include "ui/platform.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace tz {

F_zenbun2::F_zenbun2(MainOps& main) : QDialog(main.main_widget()), main_(main) {
    setObjectName(QStringLiteral("F_zenbun2"));
    const SearchWindowControls c = build_search_window(this, main_, QStringLiteral("全文検索(表示中のメモ)"),
                                                       QStringLiteral("現在表示しているメモの中から、指定したキーワードを探します。"), QStringLiteral("検索/次を検索"));
    Label2 = c.Label2;
    Label1 = c.Label1;
    Combo1 = c.Combo1;
    Command1 = c.Command1;
    Command2 = c.Command2;
    connect(Command1, &QPushButton::clicked, this, &F_zenbun2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &F_zenbun2::Command2_Click);

    // No default button: Enter in the keyword box counts as a key typed and starts nothing.
    keyword_ = new SearchKeyword(Combo1, main_, nullptr);
    main_.set_hint(QStringLiteral("現在表示しているメモを対象に全文検索中です。"));
    start_ = 0;
    Combo1->setFocus();
}

std::optional<int> F_zenbun2::history_pick() const { return keyword_->pick(); }

bool F_zenbun2::find_from(const QString& folded_keyword, int from) {
    if (!folded_) folded_ = fold_with_map(main_.viewer_text());
    const TextHit hit = find_folded(*folded_, folded_keyword, from);
    if (hit.start < 0) return false;
    main_.select_in_viewer(hit.start, hit.length);
    start_ = hit.start + 1;
    return true;
}

void F_zenbun2::Command1_Click() {
    const QString keyword = keyword_->take();
    // A typed keyword starts from the beginning; a picked one goes on from the last hit.
    if (keyword_->last_was_typed()) start_ = 0;
    const QString folded = fold_for_search(keyword);
    if (find_from(folded, start_)) return;
    if (start_ > 0) {
        // Past the last hit: wrap to the beginning. A wrap that finds nothing
        // is a miss in the whole text and is reported at once, below.
        start_ = 0;
        if (find_from(folded, 0)) return;
    }
    main_.select_in_viewer(0, 0);
    main_.platform().message(this, QStringLiteral("『") + keyword + QStringLiteral("』は見つかりません。"),
                             QStringLiteral("ツヅリオ"));
}

void F_zenbun2::Command2_Click() {
    main_.set_hint(QString());
    QDialog::reject();
}

// Esc and the close box end the window as "終了" does.
void F_zenbun2::reject() { Command2_Click(); }

}  // namespace tz
