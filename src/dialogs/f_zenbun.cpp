#include "dialogs/f_zenbun.h"

#include "dialogs/search_keyword.h"
#include "rtf/body_search.h"
#include "store/memo_store.h"
#include "ui/dialog_frame.h"
#include "ui/main_ops.h"
#include "ui/platform.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace tz {
namespace {

QString idle_caption() { return QStringLiteral("全文検索（すべてのメモ）"); }
QString open_hint() { return QStringLiteral("現在表示しているメモを対象に全文検索中です。"); }

}  // namespace

F_zenbun::F_zenbun(MainOps& main) : QDialog(main.main_widget()), main_(main) {
    setObjectName(QStringLiteral("F_zenbun"));
    const SearchWindowControls c = build_search_window(this, main_, idle_caption(),
                                                       QStringLiteral("すべてのメモの中から、指定したキーワードを含むものを検索します。"), QStringLiteral("全文検索開始"));
    Label2 = c.Label2;
    Label1 = c.Label1;
    Combo1 = c.Combo1;
    Command1 = c.Command1;
    Command2 = c.Command2;
    connect(Command1, &QPushButton::clicked, this, &F_zenbun::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &F_zenbun::Command2_Click);

    // Every memo is listed while the window is open, whatever the category box says.
    main_.full_rebuild();
    main_.empty_keyword_box();
    keyword_ = new SearchKeyword(Combo1, main_, [this] { Command1_Click(); });
    main_.set_hint(open_hint());
    Combo1->setFocus();
}

F_zenbun::~F_zenbun() { stop(); }

QString F_zenbun::progress_caption(int total, int current) {
    return QString::number(total) + QStringLiteral(" ﾌｧｲﾙ中 ") + QString::number(current) + QStringLiteral(" ﾌｧｲﾙ目を検索中");
}

bool F_zenbun::searching() const { return search_ && search_->running(); }

std::optional<int> F_zenbun::history_pick() const { return keyword_->pick(); }

void F_zenbun::Command1_Click() {
    if (searching()) return;  // one search at a time; a second press is not queued
    const QString keyword = keyword_->take();

    const MemoTable& table = main_.store().table;
    QStringList paths;
    paths.reserve(table.count());
    for (const MemoRecord& m : table.records()) paths.append(main_.store().rich_body_path(m.memo_number));

    busy_ = std::make_unique<BusyPointer>(Qt::BusyCursor);
    main_.show_slots({});
    main_.set_hint(open_hint());
    if (!paths.isEmpty()) setWindowTitle(progress_caption(int(paths.size()), 1));
    search_ = std::make_unique<BodySearch>(std::move(paths), keyword);
    connect(search_.get(), &BodySearch::advanced, this, &F_zenbun::rows_found);
    connect(search_.get(), &BodySearch::finished, this, &F_zenbun::search_done);
    search_->start();
}

void F_zenbun::rows_found(const std::vector<int>& hits) {
    std::vector<int> memo_slots;
    memo_slots.reserve(hits.size());
    for (int i : hits) memo_slots.push_back(i + 1);
    main_.append_slots(memo_slots);
    if (search_->running()) setWindowTitle(progress_caption(search_->total(), search_->settled() + 1));
}

void F_zenbun::search_done() {
    const int unreadable = search_->unreadable();
    stop();
    setWindowTitle(idle_caption());
    // A body that could not be read counts as no match; the hint line says how many.
    if (unreadable > 0)
        main_.set_hint(QStringLiteral("本文ファイルを読み込めなかったメモが %1 件あります。").arg(unreadable));
}

void F_zenbun::stop() {
    if (search_) search_->cancel();
    busy_.reset();
}

void F_zenbun::Command2_Click() {
    // A search stopped part-way leaves a list that is not the whole answer:
    // the hint line says so until something else is said there.
    const bool part_way = searching();
    const int settled = part_way ? search_->settled() : 0;
    const int total = part_way ? search_->total() : 0;
    stop();
    main_.set_hint(part_way ? stopped_hint(total, settled) : QString());
    QDialog::reject();
}

QString F_zenbun::stopped_hint(int total, int settled) {
    return QStringLiteral("全文検索を途中で止めました。一覧は %1 件中 %2 件を調べた結果です。").arg(total).arg(settled);
}

// Esc and the close box end the window as "終了" does.
void F_zenbun::reject() { Command2_Click(); }

}  // namespace tz
