#include "dialogs/search_keyword.h"

#include "store/memo_store.h"
#include "ui/accessible_names.h"
#include "ui/controls.h"
#include "ui/dialog_frame.h"
#include "ui/editable_box.h"
#include "ui/fonts.h"
#include "ui/main_ops.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>

namespace tz {

SearchWindowControls build_search_window(QDialog* window, MainOps& main, const QString& caption, const QString& what,
                                         const QString& search_text) {
    constexpr int kInsideWidth = 6420;
    constexpr int kInsideHeight = 1560;
    window->setFont(fonts::font(fonts::proportional_gothic(), 9));
    SearchWindowControls c;
    c.Label2 = make<QLabel>(window, "Label2", what, {120, 120, 6180, 240});
    c.Label1 = make<QLabel>(window, "Label1", QStringLiteral("キーワード"), {120, 560, 1000, 240});
    c.Combo1 = make<QComboBox>(window, "Combo1", {1140, 500, 5160, 330});
    // The keyword is what the user typed, never a completion; a typed keyword
    // that equals a history entry is still a typed one.
    make_editable_box(c.Combo1);
    link_label(c.Label1, c.Combo1);
    c.Command1 = make<QPushButton>(window, "Command1", search_text, {2820, 1020, 1800, 420});
    c.Command2 = make<QPushButton>(window, "Command2", QStringLiteral("終了"), {4740, 1020, 1560, 420});
    QWidget::setTabOrder(c.Combo1, c.Command1);
    QWidget::setTabOrder(c.Command1, c.Command2);
    const QRect outer = centred_over(main.outer_geometry_twips(), kInsideWidth + kDialogBorderTwips,
                                     kInsideHeight + kDialogCaptionTwips);
    make_fixed_dialog(window, outer, kInsideWidth);
    window->setWindowFlag(Qt::WindowCloseButtonHint, true);
    window->setWindowTitle(caption);
    return c;
}

SearchKeyword::SearchKeyword(QComboBox* box, MainOps& main, std::function<void()> on_enter)
    : QObject(box), box_(box), main_(main), on_enter_(std::move(on_enter)) {
    box_->setMaxVisibleItems(KeywordHistory::kSize);
    fill();
    box_->setEditText(main_.store().keywords.entries[0]);
    connect(box_, &QComboBox::activated, this, [this](int index) { pick_ = index; });
    // Any edit by the user counts as a key typed: typing, an input-method commit, a paste.
    connect(box_->lineEdit(), &QLineEdit::textEdited, this, [this] { pick_ = -1; });
    // Enter is a key pressed in the box, and nothing is inserted.
    tz::on_enter(box_, [this] {
        pick_ = -1;
        if (on_enter_) on_enter_();
    });
}

void SearchKeyword::fill() {
    box_->clear();
    for (const QString& k : main_.store().keywords.entries) box_->addItem(k);
}

QString SearchKeyword::take() {
    KeywordHistory& history = main_.store().keywords;
    last_typed_ = pick_ == -1;
    update_keyword_history(history, pick_.value_or(0), box_->currentText());
    fill();
    main_.refill_keyword_box();
    box_->setEditText(history.entries[0]);
    pick_ = 0;
    return history.entries[0];
}

}  // namespace tz
