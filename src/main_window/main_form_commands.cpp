// The command buttons: new memo, correct, delete, print, open a web address,
// and the hints they give.

#include "dialogs/f_sakujo.h"
#include "editor/f_kinyu.h"
#include "main_window/main_form.h"
#include "store/data_folder.h"
#include "ui/hints.h"
#include "ui/platform.h"
#include "ui/rich_text_box.h"

#include <QApplication>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QUrl>

namespace tz {
namespace {

// Only a well-formed http or https address goes to the system's opener; a
// selection such as "httpd.conf" or one spanning lines opens nothing.
std::optional<QUrl> web_address(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^https?://[^\\s/?#]+[^\\s]*$"), QRegularExpression::CaseInsensitiveOption);
    if (!form.match(text).hasMatch()) return std::nullopt;
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if (scheme != u"http" && scheme != u"https") return std::nullopt;
    return url;
}

}  // namespace

void Main_form::connect_commands() {
    connect(Command1, &QPushButton::clicked, this, &Main_form::Command1_Click);
    connect(Command6, &QPushButton::clicked, this, &Main_form::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Main_form::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &Main_form::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &Main_form::Command9_Click);
    connect(RTB1, &RichTextBox::mouse_up, this, &Main_form::RTB1_MouseUp);
    connect(RTB1, &RichTextBox::mouse_move, this, [this] {
        surface_->unsetCursor();
        set_hint(QStringLiteral("メモの内容を表示するエリアです。"));
    });
    auto* hints = new MouseHints(this, [this](const QString& text) { set_hint(text); });
    hints->add(Command1, QStringLiteral("Webブラウザを起動してWebサイトを開きます"));
    hints->add(Command5, QStringLiteral("タイトルにキーワードが含まれるものを検索します。"));
    hints->add(Command6, QStringLiteral("新しいメモを登録します。"));
    hints->add(Command7, QStringLiteral("現在選択されているメモを削除します。"));
    hints->add(Command8, QStringLiteral("現在選択されているメモを訂正します。"));
    hints->add(Command9, QStringLiteral("現在選択されているメモを印刷します。"));
    hints->add(Option1, QStringLiteral("高速モードにすると画像や文字飾りを表示しません。"));
    hints->add(Option2, QStringLiteral("詳細モードにするとメモの表示に少し時間がかかります。"));
    hints->add(Text1, QStringLiteral("【ツヅリオ】の機能・使用法のガイダンスを表示します。"));
}

void Main_form::show_hint_now(const QString& text) {
    set_hint(text);
    Text1->repaint();
    repaint();
}

void Main_form::Command6_Click() {
    show_hint_now(QStringLiteral("登録画面を起動中です。少々お待ち下さい。"));
    hand_over_.editor_mode = EditorMode::NewMemo;
    {
        F_kinyu editor(*this, this);
        editor.exec();
    }
    set_caption();
    tell_other_versions();
}

void Main_form::Command8_Click() {
    const int r = Grid1->current_row();
    if (maps_.is_locked_row(r) && !unlock_locked_memo(EditorMode::Correction)) return;
    if (!maps_.is_memo_row(r)) {
        platform_.message(this, QStringLiteral("訂正する項目が選択されていません。"), program_title());
        return;
    }
    // A body that cannot be read would be saved over with an empty one.
    const QString rich = store_.rich_body_path(maps_.row_memo_numbers[size_t(r)]);
    if (body_file_unreadable(rich)) {
        platform_.message(this, unreadable_body_text(shown_name(store_, rich)) + QStringLiteral("\r訂正できません。"), program_title(),
                          MsgIcon::Exclamation);
        return;
    }
    show_hint_now(QStringLiteral("訂正画面を起動中です。少々お待ち下さい。"));
    hand_over_.editor_mode = EditorMode::Correction;
    F_kinyu editor(*this, this);
    editor.exec();
    tell_other_versions();
}

void Main_form::Command7_Click() {
    if (!maps_.is_memo_row(Grid1->current_row())) {
        platform_.message(this, QStringLiteral("削除する項目が選択されていません。"), program_title());
        return;
    }
    F_sakujo dialog(*this);
    dialog.exec();
    tell_other_versions();
}

void Main_form::Command9_Click() {
    // The viewer's selection is printed when there is one, whatever the dialog's
    // choice; a cancel or a failure ends silently.
    const bool selection = RTB1->sel_length() != 0;
    QPrinter printer(QPrinter::HighResolution);
    if (!platform_.print_dialog(this, printer, selection)) return;
    if (!printer.isValid()) return;
    RTB1->print_to(&printer);
}

void Main_form::RTB1_MouseUp() {
    const QString start = RTB1->sel_text().left(4);
    Command1->setVisible(start == u"HTTP" || start == u"http");
}

void Main_form::Command1_Click() {
    // A triple click selects the line with its line end: spaces, tabs and line
    // ends around the address are not part of it.
    if (const std::optional<QUrl> url = web_address(RTB1->sel_text().trimmed())) platform_.open_url(*url);
}

}  // namespace tz
