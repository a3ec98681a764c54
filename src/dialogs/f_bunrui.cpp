#include "dialogs/f_bunrui.h"

#include "store/cp932.h"
#include "store/backup.h"
#include "store/changes.h"
#include "store/data_folder.h"
#include "ui/accessible_names.h"
#include "ui/controls.h"
#include "ui/dialog_frame.h"
#include "ui/fonts.h"
#include "ui/hints.h"
#include "ui/main_ops.h"
#include "ui/platform.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QtConcurrent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace tz {
namespace {

constexpr int kInsideWidth = 4950;
constexpr int kInsideHeight = 3735;

// Messages without a title of their own carry the program's short name.
QString default_title() { return QStringLiteral("ツヅリオ"); }

}  // namespace

F_bunrui::F_bunrui(MainOps& main) : QDialog(main.main_widget()), main_(main) {
    setObjectName(QStringLiteral("F_bunrui"));
    setFont(fonts::font(fonts::proportional_gothic(), 9));

    List1 = make<QListWidget>(this, "List1", {120, 120, 2895, 2955});
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    Text1 = make<QLineEdit>(this, "Text1", {120, 3255, 2895, 360});
    name_control(List1, QStringLiteral("分類一覧"));
    name_control(Text1, QStringLiteral("追加する分類"));

    const auto button = [this](const char* name, const QString& text, int top) {
        auto* b = make<QPushButton>(this, name, text, {3195, top, 1635, 360});
        // No button is the default, not even by look; Enter reaches the window (below).
        b->setAutoDefault(false);
        return b;
    };
    Command1 = button("Command1", QStringLiteral("↑一つ上に"), 120);
    Command2 = button("Command2", QStringLiteral("↓一つ下に"), 570);
    Command3 = button("Command3", QStringLiteral("分類削除"), 1020);
    Command5 = button("Command5", QStringLiteral("メモ削除"), 1470);
    Command4 = button("Command4", QStringLiteral("終了"), 2715);
    Command6 = button("Command6", QStringLiteral("分類追加"), 3255);
    setTabOrder(List1, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Command5);
    setTabOrder(Command5, Command4);
    setTabOrder(Command4, Text1);
    setTabOrder(Text1, Command6);
    connect(Command1, &QPushButton::clicked, this, &F_bunrui::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &F_bunrui::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &F_bunrui::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &F_bunrui::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &F_bunrui::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &F_bunrui::Command6_Click);

    // Hints follow the mouse over the controls and the bare surface.
    auto* hints = new MouseHints(this, [this](const QString& text) { main_.set_hint(text); });
    hints->add(this, QStringLiteral("分類の整理中です。"));
    hints->add(List1->viewport(), QStringLiteral("クリックして分類を選択して下さい。"));
    hints->add(Command1, QStringLiteral("選択した分類を、一つ上に移動します。"));
    hints->add(Command2, QStringLiteral("選択した分類を、一つ下に移動します。"));
    hints->add(Command3, QStringLiteral("選択した分類を、削除します。(メモは消えません）"));
    hints->add(Command5, QStringLiteral("選択した分類のメモを全部削除します。"));
    hints->add(Command4, QStringLiteral("分類の整理を終了します。"));

    const QRect outer = centred_over(main_.outer_geometry_twips(), kInsideWidth + kDialogBorderTwips, kInsideHeight + kDialogCaptionTwips);
    make_fixed_dialog(this, outer, kInsideWidth);
    // Unlike the other fixed windows this one keeps its close box: closing
    // there writes nothing, the changes stay in memory for the exit save.
    setWindowFlag(Qt::WindowCloseButtonHint, true);
    setWindowTitle(QStringLiteral("分類の整理"));
    refill_list();
    Text1->clear();
}

int F_bunrui::selected() const {
    const QList<QListWidgetItem*> items = List1->selectedItems();
    return items.isEmpty() ? -1 : List1->row(items.first());
}

void F_bunrui::refill_list() {
    List1->clear();
    List1->addItems(main_.store().categories.entries().mid(1));
    // No entry is current until one is chosen: the list shows no focus on an
    // entry it has not selected, and the first arrow key selects the first entry.
    List1->setCurrentIndex(QModelIndex());
}

void F_bunrui::Command6_Click() {
    CategoryList& categories = main_.store().categories;
    const QString t = Text1->text();
    if (t.isEmpty()) {
        main_.platform().message(this, QStringLiteral("追加する分類を入力してください。"), default_title());
        return;
    }
    // A pasted line break would split bunrui.dat's line in two.
    if (t.contains(QLatin1Char('\r')) || t.contains(QLatin1Char('\n'))) {
        main_.platform().message(this, QStringLiteral("分類に改行が含まれています。\r改行を取り除いてから登録してください。"),
                                 program_title());
        return;
    }
    // bunrui.dat would hold "?" in their place: two names could become one.
    if (const QStringList lost = cp932::unwritable(t); !lost.isEmpty()) {
        main_.platform().message(this, unwritable_text(QStringLiteral("分類"), lost, QStringLiteral("登録")), program_title());
        Text1->setFocus();
        return;
    }
    if (categories.has_memo_category(t)) {
        main_.platform().message(this, QStringLiteral("分類『") + t + QStringLiteral("』はすでに存在します。"), default_title());
        return;
    }
    if (categories.count() >= CategoryList::kAddLimit) {
        main_.platform().message(this, QStringLiteral("これ以上分類を登録できません。"), QStringLiteral("分類の数が限界(1000)を越えます"));
        return;
    }
    if (const ChangeResult added = add_category(main_.store(), t); !added.done) {
        main_.platform().message(this, not_written_text(added.not_written) + QStringLiteral("\r分類は追加されていません。"),
                                 program_title(), MsgIcon::Critical);
        return;
    }
    List1->addItem(t);
    Text1->clear();
}

void F_bunrui::swap_down(int p, int select) {
    QStringList entries = main_.store().categories.entries();
    entries.swapItemsAt(p + 1, p + 2);  // list position p shows entry p + 2 (index p + 1)
    main_.store().categories.set_entries(entries);
    refill_list();
    List1->setCurrentRow(select);
}

void F_bunrui::Command1_Click() {
    const int p = selected();
    if (p < 0) {
        main_.platform().message(this, QStringLiteral("上に移動する項目を選んでください"), program_title());
        return;
    }
    if (p == 0) {
        main_.platform().message(this, QStringLiteral("これより上には移動できません"), program_title());
        return;
    }
    swap_down(p - 1, p - 1);
}

void F_bunrui::Command2_Click() {
    const int p = selected();
    if (p < 0) {
        main_.platform().message(this, QStringLiteral("下に移動する項目を選んでください"), program_title());
        return;
    }
    if (p + 2 >= main_.store().categories.count()) {
        main_.platform().message(this, QStringLiteral("これより下には移動できません"), program_title());
        return;
    }
    swap_down(p, p + 1);
}

void F_bunrui::remove_at(int p) {
    QStringList entries = main_.store().categories.entries();
    entries.removeAt(p + 1);
    main_.store().categories.set_entries(entries);
    refill_list();
}

void F_bunrui::Command3_Click() {
    const int p = selected();
    if (p < 0) {
        main_.platform().message(this, QStringLiteral("削除する項目を選んでください"), program_title());
        return;
    }
    const QString question = QStringLiteral("分類『") + List1->item(p)->text() + QStringLiteral("』を本当に削除して良いですか?");
    if (main_.platform().message(this, question, program_title(), MsgIcon::None, MsgButtons::YesNo) != MsgAnswer::Yes) return;
    // No memo is touched: memos of this category keep its name.
    remove_at(p);
}

void F_bunrui::Command4_Click() {
    if (const ChangeResult stored = store_category_list(main_.store()); !stored.done) {
        // The window stays open: the user may try again or close it, and the
        // exit save writes the list in any case.
        main_.platform().message(this, not_written_text(stored.not_written), program_title(), MsgIcon::Critical);
        return;
    }
    main_.refill_category_box();
    main_.select_all_categories();
    accept();
}

void F_bunrui::Command5_Click() {
    const int p = selected();
    if (p < 0) {
        main_.platform().message(this, QStringLiteral("メモを削除する分類を選んでください"), program_title());
        return;
    }
    const QString warning = QStringLiteral("■■　重要な注意事項です。良く読んで下さい　■■\r\r削除したメモを復活させる方法はありません。\r\r"
                                           "選択した分類の全部のメモを本当に削除して良いですか?");
    if (main_.platform().message(this, warning, program_title(), MsgIcon::None, MsgButtons::YesNo) != MsgAnswer::Yes) return;

    MemoStore& store = main_.store();
    keep_backup(store);
    // List position p shows category entry p + 2.
    if (const ChangeResult deleted = delete_category_memos(store, p + 2); !deleted.done) {
        main_.platform().message(this, not_written_text(deleted.not_written) + QStringLiteral("\rメモは削除されていません。"),
                                 program_title(), MsgIcon::Critical);
        return;
    }
    main_.full_rebuild();
    main_.empty_keyword_box();
    refill_list();
    main_.empty_viewer();
    main_.set_caption();
    accept();
}

void F_bunrui::keep_backup(const MemoStore& store) {
    // The memo book as it is, kept before anything is removed: on a worker
    // thread, the window repainting meanwhile. A failure is said in the hint
    // line and the deletion goes on.
    const LongOperation long_operation(main_);
    BusyPointer busy;
    const QString folder = store.app_folder();
    const QString name = backup::moment_name(store.now());
    QFutureWatcher<backup::Result> watcher;
    QEventLoop wait;
    connect(&watcher, &QFutureWatcherBase::finished, &wait, &QEventLoop::quit);
    const QFuture<backup::Result> run = QtConcurrent::run([folder, name] { return backup::make(folder, name); });
    watcher.setFuture(run);
    if (!run.isFinished()) wait.exec(QEventLoop::ExcludeUserInputEvents);
    busy.end();
    if (const backup::Result r = run.result(); !r.made)
        main_.set_hint(QStringLiteral("削除の前のバックアップを作れませんでした。") + r.error);
}

void F_bunrui::keyPressEvent(QKeyEvent* event) {
    // No cancel button: Esc presses nothing. (Enter presses only a focused
    // button, as in every dialog.)
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace tz
