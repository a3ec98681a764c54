// The memo list's events: the category box, the keyword box with its history,
// the title search, clicks and double clicks on rows, and the display modes.

#include "dialogs/f_secpassin.h"
#include "main_window/main_form.h"
#include "store/changes.h"
#include "store/data_folder.h"
#include "store/file_io.h"
#include "ui/controls.h"
#include "ui/memo_grid.h"
#include "ui/platform.h"
#include "ui/rich_text_box.h"
#include "ui/twips.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMouseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tz {

void Main_form::connect_list_events() {
    connect(Combo1, &QComboBox::activated, this, &Main_form::Combo1_Click);
    connect(Combo2, &QComboBox::activated, this, &Main_form::Combo2_Click);
    // Any edit by the user counts as a key typed: typing, an input-method commit, a paste.
    connect(Combo2->lineEdit(), &QLineEdit::textEdited, this, [this] { history_pick_ = -1; });
    connect(Command5, &QPushButton::clicked, this, &Main_form::Command5_Click);
    connect(Grid1, &MemoGrid::grid_click, this, &Main_form::Grid1_Click);
    connect(Grid1, &MemoGrid::grid_dbl_click, this, &Main_form::Grid1_DblClick);
    connect(Option1, &QRadioButton::toggled, this, [this](bool on) { if (on) Option1_Click(); });
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) { if (on) Option2_Click(); });
    for (QWidget* w : {static_cast<QWidget*>(Combo1), static_cast<QWidget*>(Combo2), static_cast<QWidget*>(Combo2->lineEdit()),
                       static_cast<QWidget*>(Text1)})
        w->installEventFilter(this);
    // Enter in the keyword box is a key typed, then the search.
    on_enter(Combo2, [this] {
        history_pick_ = -1;
        Command5_Click();
    });
    surface_->installEventFilter(this);
    connect(Grid1, &MemoGrid::grid_mouse_move, this, [this] {
        surface_->unsetCursor();
        set_hint(QStringLiteral("クリックでメモ内容を表示、ダブルクリックで一番上に移動"));
    });
}

bool Main_form::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn:
        if (watched == Combo1) set_hint(QStringLiteral("指定した分類のメモだけを表示します。"));
        if (watched == Combo2 || watched == Combo2->lineEdit()) set_hint(QStringLiteral("検索に使用するキーワードを入力して下さい。"));
        if (watched == Text1) {
            // The hint line never keeps the focus.
            Command6->setFocus();
            return true;
        }
        break;
    default:
        break;
    }
    if (watched == surface_) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseMove || type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const int y = twips::from_px(int(mouse->position().y()));
            if (type == QEvent::MouseButtonPress) {
                Form_MouseDown(y);
            } else if (type == QEvent::MouseButtonRelease) {
                Form_MouseUp(y);
            } else if (dragging_flag_ || !surface_->childAt(mouse->position().toPoint())) {
                // A move a control passed on is that control's, not the surface's.
                Form_MouseMove(y);
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Main_form::Combo2_Click(int index) { history_pick_ = index; }

void Main_form::Command5_Click() {
    const QString keyword = Combo2->currentText();
    apply_rows(title_search_rows(store_.table, Combo1->currentText(), keyword));
    update_keyword_history(store_.keywords, history_pick_.value_or(0), keyword);
    fill_keyword_box();
    Combo2->setEditText(store_.keywords.entries[0]);
    history_pick_ = 0;
}

void Main_form::Grid1_Click() { show_row(Grid1->current_row()); }

void Main_form::Grid1_DblClick() {
    const int r = Grid1->current_row();
    if (!maps_.is_memo_row(r)) {
        platform_.message(this, QStringLiteral("項目が選択されていません。"), program_title());
        return;
    }
    // A locked memo moves only through the unlock dialog's box.
    if (maps_.is_locked_row(r)) return;
    move_to_top(maps_.row_memo_numbers[size_t(r)]);
}

void Main_form::Option1_Click() { show_row(Grid1->current_row()); }
void Main_form::Option2_Click() { show_row(Grid1->current_row()); }

void Main_form::move_to_top(Value memo_number) {
    const QString now = store_.stamp();
    for (MemoRecord& r : store_.table.records())
        if (r.memo_number == memo_number) r.updated_stamp = Value(now);
    store_.table.resort();
    full_rebuild();
    Combo2->setEditText(QString());
    // The moved memo is current; it is row 1 unless a memo carries a later stamp.
    Grid1->set_current_row(std::max(1, store_.table.find_slot(memo_number)));
}

bool Main_form::unlock_locked_memo(EditorMode editor_mode) {
    empty_viewer();
    platform_.message(this, QStringLiteral("指定されたメモには鍵がかかっています。"), program_title());
    // Showing a memo offers the move to top; a correction does not.
    hand_over_.editor_mode = editor_mode;
    {
        F_secpassin unlock(*this);
        unlock.exec();
    }
    if (hand_over_.unlock_answer == UnlockAnswer::WrongPassword)
        platform_.message(this, QStringLiteral("パスワードが間違っています。"), program_title(), MsgIcon::Critical);
    return hand_over_.unlock_answer == UnlockAnswer::RightPassword;
}

void Main_form::show_row(int r) {
    if (maps_.is_locked_row(r)) {
        const Value number = maps_.row_memo_numbers[size_t(r)];
        if (!unlock_locked_memo(EditorMode::NewMemo)) return;
        if (hand_over_.move_to_top) {
            move_to_top(number);
            r = Grid1->current_row();
        }
    }
    if (!maps_.is_memo_row(r)) {
        empty_viewer();
        return;
    }
    show_body(maps_.row_memo_numbers[size_t(r)]);
}

}  // namespace tz

namespace tz {

void Main_form::show_body(const Value& memo_number) {
    const bool fast = Option1->isChecked();
    const QString path = fast ? store_.text_body_path(memo_number) : store_.rich_body_path(memo_number);
    if (path.isEmpty()) {
        // A damaged index: the memo has no number to name its body files by.
        empty_viewer();
        platform_.message(this, QStringLiteral("このメモはメモ番号が壊れているため、本文を表示できません。\r"
                                               "訂正して登録すると、新しい番号で本文を保存します。"),
                          program_title(), MsgIcon::Exclamation);
        return;
    }
    if (!QFileInfo::exists(path)) {
        // The body file is gone: put an empty one in its place and say the text
        // is lost, or say which file could not be written.
        const QString failed = QStringLiteral("メモファイルの読み込みでエラーが発生しました。") + QChar(u'\r');
        if (remake_empty_body(path))
            platform_.message(this, failed + QStringLiteral("自動的に修復しましたが、メモの内容は失われました。"), program_title());
        else
            platform_.message(this, failed + not_written_text({shown_name(store_, path)}), program_title(), MsgIcon::Exclamation);
        empty_viewer();
        return;
    }
    const std::optional<QByteArray> bytes = read_file(path);
    if (!bytes) {
        // There but not readable (its permissions): said, and left as it is.
        empty_viewer();
        platform_.message(this, unreadable_body_text(shown_name(store_, path)), program_title(), MsgIcon::Exclamation);
        return;
    }
    if (fast)
        RTB1->set_text(body_text_from_bytes(*bytes));
    else
        RTB1->load_rtf(*bytes);
}

}  // namespace tz

namespace tz {

void Main_form::Form_MouseMove(int y) {
    set_hint(QString());
    const int band_top = list_height_ + main_design::kListTop;
    if (y > band_top && y < layout_.RTB1.top()) {
        surface_->setCursor(Qt::SizeVerCursor);
        set_hint(QStringLiteral("マウスでドラッグして表示エリアのサイズを変更できます。"));
    } else if (!dragging_flag_) {
        surface_->unsetCursor();
    }
    if (dragging_flag_ == 1) apply_split(y);
}

void Main_form::Form_MouseDown(int y) {
    const int band_top = list_height_ + main_design::kListTop;
    if (y > band_top && y < layout_.RTB1.top()) dragging_flag_ = 1;
}

void Main_form::Form_MouseUp(int y) {
    if (dragging_flag_ != 1) return;
    apply_split(y);
    dragging_flag_ = 0;
    surface_->unsetCursor();
}

}  // namespace tz
