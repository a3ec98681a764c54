// The two full-text search windows of the menu bar, and what they may ask of
// the main window: the list's rows, the title keyword box, the viewer's text
// and selection.

#include "dialogs/f_zenbun.h"
#include "dialogs/f_zenbun2.h"
#include "main_window/main_form.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"

#include <QComboBox>

namespace tz {

void Main_form::Menu_zenbun_all_Click() {
    F_zenbun window(*this);
    window.exec();
}

void Main_form::Menu_zenbun_current_Click() {
    F_zenbun2 window(*this);
    window.exec();
}

void Main_form::show_slots(const std::vector<int>& memo_slots) { apply_rows(ListRows{memo_slots}); }

void Main_form::append_slots(const std::vector<int>& memo_slots) {
    if (memo_slots.empty()) return;
    const ListRows added{memo_slots};
    ShownRows shown = shown_rows_for(store_.table, added);
    const RowMaps& more = shown.maps;
    const size_t count = size_t(maps_.shown_count);
    // Entry count + 1 (the 0 after the last memo) is overwritten by the first new memo.
    maps_.row_memo_numbers.resize(count + 1);
    maps_.row_lock_flags.resize(count + 1);
    maps_.row_memo_numbers.insert(maps_.row_memo_numbers.end(), more.row_memo_numbers.begin() + 1, more.row_memo_numbers.end());
    maps_.row_lock_flags.insert(maps_.row_lock_flags.end(), more.row_lock_flags.begin() + 1, more.row_lock_flags.end());
    maps_.shown_count += more.shown_count;
    shown.grid.pop_back();  // the empty row is there already
    Grid1->insert_data_rows(int(count) + 1, std::move(shown.grid));
}

void Main_form::empty_keyword_box() { Combo2->setEditText(QString()); }

void Main_form::refill_keyword_box() {
    const QString text = Combo2->currentText();
    fill_keyword_box();
    Combo2->setEditText(text);
}

QString Main_form::viewer_text() const { return RTB1->document()->toPlainText(); }

void Main_form::select_in_viewer(int start, int length) {
    RTB1->set_sel_start(start);
    RTB1->set_sel_length(length);
    RTB1->ensureCursorVisible();
}

}  // namespace tz
