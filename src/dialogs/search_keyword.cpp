#include "dialogs/search_keyword.h"

#include "store/memo_store.h"
#include "ui/main_ops.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace tz {

SearchKeyword::SearchKeyword(QComboBox* box, MainOps& main, std::function<void()> on_enter)
    : QObject(box), box_(box), main_(main), on_enter_(std::move(on_enter)) {
    box_->setEditable(true);
    box_->setInsertPolicy(QComboBox::NoInsert);
    box_->setCompleter(nullptr);  // the text is what the user typed, never a completion
    box_->setMaxVisibleItems(KeywordHistory::kSize);
    fill();
    box_->setEditText(main_.store().keywords.entries[0]);
    connect(box_, &QComboBox::activated, this, [this](int index) { pick_ = index; });
    // Any edit by the user counts as a key typed: typing, an input-method commit, a paste.
    connect(box_->lineEdit(), &QLineEdit::textEdited, this, [this] { pick_ = -1; });
    box_->installEventFilter(this);
    box_->lineEdit()->installEventFilter(this);
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

bool SearchKeyword::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter is a key pressed in the box, and nothing is inserted.
            pick_ = -1;
            if (on_enter_) on_enter_();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tz
