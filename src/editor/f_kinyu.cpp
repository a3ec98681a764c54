#include "editor/f_kinyu.h"

#include "store/changes.h"
#include "store/data_folder.h"
#include "store/memo_store.h"
#include "ui/accessible_names.h"
#include "ui/controls.h"
#include "ui/dialog_frame.h"
#include "ui/editable_box.h"
#include "ui/fonts.h"
#include "ui/hints.h"
#include "ui/main_ops.h"
#include "ui/platform.h"
#include "ui/rich_text_box.h"
#include "ui/twips.h"
#include "ui/window_geometry.h"

#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QScrollBar>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tz {

using namespace editor_design;

namespace {

QComboBox* make_combo(QWidget* parent, const char* name) {
    QComboBox* c = make<QComboBox>(parent, name);
    // A pick is a pick from the list: leaving the box with the text of an entry
    // typed in neither moves the focus from the category box nor formats the body.
    make_editable_box(c);
    c->setMaxVisibleItems(20);
    return c;
}

void set_box_text(QComboBox* box, const QString& text) {
    box->setCurrentIndex(-1);
    box->setEditText(text);
    // A narrow box shows the beginning of its text ("11.2" of 11.25, not "25").
    if (box->lineEdit()) box->lineEdit()->setCursorPosition(0);
}

bool is_enter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

const QStringList& style_names() {
    static const QStringList names{QStringLiteral("Regular"), QStringLiteral("Italic"), QStringLiteral("Bold"),
                                   QStringLiteral("Bold Italic")};
    return names;
}

}  // namespace

F_kinyu::F_kinyu(MainOps& ops, QWidget* parent) : QDialog(parent ? parent : ops.main_widget()), ops_(ops) {
    setObjectName(QStringLiteral("F_kinyu"));
    // A sizable window with a close box only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(fonts::font(fonts::gothic(), 11.25));
    set_background(this, QColor(192, 255, 255));

    build_controls();
    apply_dialog_rules(this);
    layout_ = editor_design_layout();
    Form_Load();
}

F_kinyu::~F_kinyu() {
    // Controls destroyed after this part of the window must not reach its handlers.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void F_kinyu::build_controls() {
    Label1 = make<QLabel>(this, "Label1", QStringLiteral("分類"));
    Combo1 = make_combo(this, "Combo1");
    Label2 = make<QLabel>(this, "Label2", QStringLiteral("年/月/日"));
    Text1 = make<QLineEdit>(this, "Text1");
    Command3 = make<QPushButton>(this, "Command3", QStringLiteral("今日"));
    Check3 = make<QCheckBox>(this, "Check3", QStringLiteral("鍵をかける"));
    Label6 = make<QLabel>(this, "Label6", QStringLiteral("ﾀｲﾄﾙ"));
    Text2 = make<QLineEdit>(this, "Text2");
    RTB_kinyu = make<RichTextBox>(this, "RTB_kinyu");
    Frame2 = make<QGroupBox>(this, "Frame2");
    Label3 = make<QLabel>(Frame2, "Label3", QStringLiteral("ﾌｫﾝﾄ"));
    Label4 = make<QLabel>(Frame2, "Label4", QStringLiteral("ｻｲｽﾞ"));
    Label5 = make<QLabel>(Frame2, "Label5", QStringLiteral("ｽﾀｲﾙ"));
    Combo3 = make_combo(Frame2, "Combo3");
    Combo4 = make_combo(Frame2, "Combo4");
    // The size box is narrow: a slim arrow and a smaller face keep "11.25" whole.
    Combo4->setFont(fonts::font(fonts::gothic(), 9));
    make_slim_arrow(Combo4, twips::to_px(135));
    Combo5 = make_combo(Frame2, "Combo5");
    Command5 = make<QPushButton>(Frame2, "Command5", QStringLiteral("色"));
    Check1 = make<QCheckBox>(Frame2, "Check1", QStringLiteral("取消線"));
    Check2 = make<QCheckBox>(Frame2, "Check2", QStringLiteral("下線"));
    Command2 = make<QPushButton>(this, "Command2", QStringLiteral("中止"));
    Command1 = make<QPushButton>(this, "Command1", QStringLiteral("登録"));

    for (QLabel* l : {Label1, Label2, Label6, Label3, Label4, Label5}) l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    link_label(Label1, Combo1);
    link_label(Label2, Text1);
    link_label(Label6, Text2);
    link_label(Label3, Combo3);
    link_label(Label4, Combo4);
    link_label(Label5, Combo5);
    name_control(RTB_kinyu, QStringLiteral("本文"));

    const FrameLayout f = frame_layout();
    place(Label3, f.font_label);
    place(Label4, f.size_label);
    place(Label5, f.style_label);
    place(Combo3, f.Combo3);
    place(Combo4, f.Combo4);
    place(Combo5, f.Combo5);
    place(Command5, f.Command5);
    place(Check1, f.Check1);
    place(Check2, f.Check2);
    fit_indicator(Check1);
    fit_indicator(Check2);

    setTabOrder(Combo1, Text1);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, RTB_kinyu);
    setTabOrder(RTB_kinyu, Check2);
    setTabOrder(Check2, Check1);
    setTabOrder(Check1, Combo5);
    setTabOrder(Combo5, Combo4);
    setTabOrder(Combo4, Combo3);
    setTabOrder(Combo3, Check3);
    setTabOrder(Check3, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Command5);

    // The Enter and Tab path from category to date to title to body.
    // The category box holds the focus itself and hands keys to its line edit.
    // The date box selects its whole text whichever way the focus comes in.
    for (QWidget* w : {static_cast<QWidget*>(Combo1), static_cast<QWidget*>(Combo1->lineEdit()),
                       static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2)})
        w->installEventFilter(this);
    // The hints of the parts under the mouse.
    auto* hints = new MouseHints(this, [this](const QString& text) { ops_.set_hint(text); });
    hints->add(this, QStringLiteral("メモの登録・訂正の画面です。"));
    hints->add(Command1, QStringLiteral("現在の内容でメモを登録します。"));
    hints->add(Command2, QStringLiteral("メモの登録・訂正を中止してメイン画面に戻ります。"));
    hints->add(Check3, QStringLiteral("鍵を開けるパスワードは、[ﾌｧｲﾙ]－[鍵の設定]で設定します。"));
    hints->add(Frame2, QStringLiteral("選択した文字の書式や色が設定できます。"));
    hints->add(RTB_kinyu->viewport(), QStringLiteral("ここでは、マウスの右ボタンが使えます。"));
    hints->add(Text1, QStringLiteral("デフォルトでは、メモの登録日となります。"));
    hints->add(Text2, QStringLiteral("登録するメモのタイトルを入力して下さい。"));

    connect(Command1, &QPushButton::clicked, this, &F_kinyu::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &F_kinyu::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &F_kinyu::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &F_kinyu::Command5_Click);
    connect(Combo1, &QComboBox::activated, this, &F_kinyu::Combo1_Click);
    connect(Combo3, &QComboBox::activated, this, &F_kinyu::Combo3_Click);
    connect(Combo4, &QComboBox::activated, this, &F_kinyu::Combo4_Click);
    connect(Combo5, &QComboBox::activated, this, &F_kinyu::Combo5_Click);
    // Only a click by the user applies a box; the synchronisation sets them silently.
    connect(Check1, &QCheckBox::clicked, this, &F_kinyu::Check1_Click);
    connect(Check2, &QCheckBox::clicked, this, &F_kinyu::Check2_Click);
    connect(RTB_kinyu, &RichTextBox::sel_change, this, &F_kinyu::RTB_kinyu_SelChange);
}

void F_kinyu::Form_Load() {
    MemoStore& store = ops_.store();
    setWindowTitle(program_title());

    const QRect main = ops_.outer_geometry_twips();
    place_outer(QRect(main.left(), main.top(), main.width(), main.height() - kBelowMain));

    RTB_kinyu->set_default_font(fonts::font(fonts::gothic(), 11.25));
    const QStringList categories = store.categories.entries().mid(1);  // "全部" is never offered
    Combo1->addItems(categories);

    if (ops_.hand_over().editor_mode == EditorMode::Correction) {
        const RowMaps& maps = ops_.row_maps();
        const int row = ops_.current_row();
        const Value number = maps.is_memo_row(row) && size_t(row) < maps.row_memo_numbers.size()
                                 ? maps.row_memo_numbers[size_t(row)]
                                 : Value();
        const int slot = maps.is_memo_row(row) ? store.table.find_slot(number) : 0;
        // A memo that is not in the table cannot be corrected; the save says so.
        correction_slot_ = slot > 0 ? slot : -1;
        if (slot > 0) {
            const MemoRecord& r = store.table.slot(slot);
            Text1->setText(r.date.display());
            set_box_text(Combo1, r.category.display());
            Text2->setText(r.title.display());
            Check3->setChecked(r.locked());
            // A missing or unreadable body file opens as an empty body.
            if (!RTB_kinyu->load_file(store.rich_body_path(r.memo_number))) RTB_kinyu->set_text(QString());
        } else {
            set_box_text(Combo1, QString());
        }
    } else {
        correction_slot_ = 0;
        Text1->setText(store.today());
        set_box_text(Combo1, QString());
        Check1->setChecked(false);
        Text2->clear();
        RTB_kinyu->set_text(QString());
    }

    // Printers offer no font list here; the installed families stand in, each
    // once by its plain name, in a list wide enough to read them.
    Combo3->addItems(fonts::family_names());
    int widest = 0;
    for (int i = 0; i < Combo3->count(); ++i) widest = std::max(widest, Combo3->view()->fontMetrics().horizontalAdvance(Combo3->itemText(i)));
    Combo3->view()->setMinimumWidth(widest + Combo3->view()->verticalScrollBar()->sizeHint().width() + 4 * Combo3->view()->frameWidth() + 8);
    set_box_text(Combo3, QString());
    for (int size = 8; size <= 96; ++size) Combo4->addItem(QString::number(size));
    set_box_text(Combo4, QString());
    Combo5->addItems(style_names());
    set_box_text(Combo5, QString());

    ops_.set_hint(QString());
    Combo1->setFocus();
}

// ---- Place and size -------------------------------------------------------

QRect F_kinyu::outer_twips() const { return outer_geometry_twips(this); }

void F_kinyu::place_outer(const QRect& r) {
    wanted_outer_ = r;
    const QRect f = frameGeometry();
    const QRect g = geometry();
    frame_used_ = QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
    // The smallest size follows the frame first, or it would hold the new size back.
    set_minimum_outer_twips(this, kMinWidth, kMinHeight);
    set_outer_geometry_twips(this, r);
}

bool F_kinyu::event(QEvent* e) {
    const bool done = QDialog::event(e);
    if (e->type() == QEvent::Move || e->type() == QEvent::Resize || e->type() == QEvent::Show) {
        // The frame is known only once the window system has decorated the
        // window: place it again once, so that its outer size is the wanted one.
        const QRect f = frameGeometry();
        const QRect g = geometry();
        const QMargins frame(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
        if (isVisible() && frame != frame_used_) place_outer(wanted_outer_);
    }
    return done;
}

void F_kinyu::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    apply_layout();
}

void F_kinyu::apply_layout() {
    if (isMinimized()) return;
    // The window manager stops a drag of the frame at the smallest size.
    set_minimum_outer_twips(this, kMinWidth, kMinHeight);
    const QRect outer = outer_twips();
    const EditorLayout l = editor_layout(outer.width(), outer.height(), layout_);
    if (l.width != outer.width() || l.height != outer.height()) {
        // Below the smallest size the editor snaps back and is laid out again.
        const QRect f = frameGeometry();
        const QRect g = geometry();
        resize(twips::to_px(l.width) - (f.width() - g.width()), twips::to_px(l.height) - (f.height() - g.height()));
        return;
    }
    layout_ = l;
    place(Label1, l.Label1);
    place(Combo1, l.Combo1);
    place(Label2, l.Label2);
    place(Text1, l.Text1);
    place(Command3, l.Command3);
    place(Check3, l.Check3);
    fit_indicator(Check3);
    place(Label6, l.Label6);
    place(Text2, l.Text2);
    place(RTB_kinyu, l.RTB_kinyu);
    place(Frame2, l.Frame2);
    place(Command2, l.Command2);
    place(Command1, l.Command1);
}

// ---- Keyboard path ---------------------------------------------------------

bool F_kinyu::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Text1 && e->type() == QEvent::FocusIn) {
        // By Tab, Enter or a pick the whole date is selected, so typing replaces
        // it; a click places the caret where it points.
        const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
        if (why != Qt::MouseFocusReason && why != Qt::PopupFocusReason && why != Qt::ActiveWindowFocusReason) Text1->selectAll();
    }
    if (e->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        const bool moves_on = is_enter(k->key()) || k->key() == Qt::Key_Tab;
        if (moves_on && (k->modifiers() == Qt::NoModifier || k->modifiers() == Qt::KeypadModifier)) {
            QWidget* next = nullptr;
            if (watched == Combo1 || watched == Combo1->lineEdit()) next = Text1;
            else if (watched == Text1) next = Text2;
            else if (watched == Text2) next = RTB_kinyu;
            if (next) {
                next->setFocus(Qt::TabFocusReason);
                return true;  // swallowed: nothing is typed into the box
            }
        }
    }
    return QDialog::eventFilter(watched, e);
}

void F_kinyu::Combo1_Click() { Text1->setFocus(Qt::OtherFocusReason); }

// ---- Formatting tools -----------------------------------------------------

void F_kinyu::Combo3_Click() {
    RTB_kinyu->set_sel_font_name(fonts::plain_family(Combo3->currentText()));
    RTB_kinyu->setFocus();
}

void F_kinyu::Combo4_Click() {
    const std::optional<double> size = parse_number(Combo4->currentText());
    if (size && *size > 0) RTB_kinyu->set_sel_size(*size);
    RTB_kinyu->setFocus();
}

void F_kinyu::Combo5_Click() {
    const QString style = Combo5->currentText();
    if (style_names().contains(style)) {
        RTB_kinyu->set_sel_bold(style == u"Bold" || style == u"Bold Italic");
        RTB_kinyu->set_sel_italic(style == u"Italic" || style == u"Bold Italic");
    }
    RTB_kinyu->setFocus();
}

void F_kinyu::Check1_Click() {
    RTB_kinyu->set_sel_strike(Check1->isChecked());
    RTB_kinyu->setFocus();
}

void F_kinyu::Check2_Click() {
    RTB_kinyu->set_sel_underline(Check2->isChecked());
    RTB_kinyu->setFocus();
}

void F_kinyu::Command5_Click() {
    // A cancel hands back the colour the chooser had: the last one confirmed.
    if (const std::optional<QColor> c = ops_.platform().choose_colour(this, chooser_colour_)) chooser_colour_ = *c;
    RTB_kinyu->set_sel_colour(chooser_colour_);
    RTB_kinyu->setFocus();
}

void F_kinyu::Command3_Click() {
    Text1->setText(ops_.store().today());
    Text2->setFocus();
}

void F_kinyu::RTB_kinyu_SelChange() {
    // Shows the selection's format; never changes the text.
    const RichTextBox::SelFormat f = RTB_kinyu->sel_format();
    set_box_text(Combo3, f.font_name.value_or(QString()));
    set_box_text(Combo4, f.size ? format_number(*f.size) : QString());
    QString style;
    if (f.bold && f.italic) style = style_names()[(*f.bold ? 2 : 0) + (*f.italic ? 1 : 0)];
    set_box_text(Combo5, style);
    Check1->setChecked(f.strike.value_or(false));
    Check2->setChecked(f.underline.value_or(false));
}

// ---- Save and cancel ------------------------------------------------------

void F_kinyu::Command2_Click() { reject(); }

void F_kinyu::Command1_Click() {
    MemoStore& store = ops_.store();
    MemoInput in;
    in.date = Text1->text();
    in.category = Combo1->currentText();
    in.title = Text2->text();
    in.locked = Check3->isChecked();

    const Refusal refusal = check_memo(store, in, correction_slot_);
    if (refusal != Refusal::None) {
        const RefusalMessage m = refusal_message(refusal, in);
        ops_.platform().message(this, m.text, m.title);
        // Back to the box whose characters must go.
        if (refusal == Refusal::TitleChars) Text2->setFocus();
        if (refusal == Refusal::DateChars) Text1->setFocus();
        if (refusal == Refusal::CategoryChars) Combo1->setFocus();
        return;
    }

    int pictures_lost = 0;
    in.body_rtf = RTB_kinyu->rtf(&pictures_lost);
    if (pictures_lost > 0) {
        // Saved now, the memo would come back without them.
        ops_.platform().message(this, QStringLiteral("本文の画像のデータが見つからないため、登録できません。\r"
                                                     "画像を削除するか、もう一度貼り付けてから登録してください。"),
                                program_title(), MsgIcon::Exclamation);
        return;
    }
    Command1->setEnabled(false);
    in.body_text = RTB_kinyu->text();
    const SaveResult saved = store_memo(store, in, correction_slot_);
    if (!saved.done) {
        // Nothing was kept: the editor stays open with everything typed.
        ops_.platform().message(this, not_written_text(saved.not_written), program_title(), MsgIcon::Exclamation);
        Command1->setEnabled(true);
        return;
    }

    ops_.hand_over().editor_mode = EditorMode::NewMemo;
    if (saved.new_category) ops_.append_category_to_box(in.category);
    ops_.select_all_categories();  // lists every memo anew, once
    ops_.empty_viewer();
    ops_.set_caption();
    Command1->setEnabled(true);
    accept();
}

}  // namespace tz
