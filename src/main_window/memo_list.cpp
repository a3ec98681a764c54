#include "main_window/memo_list.h"

namespace tz {
namespace {

template <typename Pred>
ListRows rows_where(const MemoTable& table, Pred pass) {
    ListRows rows;
    rows.shown.reserve(size_t(table.count()));
    for (int i = 1; i <= table.count(); ++i)
        if (pass(table.slot(i))) rows.shown.push_back(i);
    return rows;
}

bool in_category(const MemoRecord& r, const QString& category) {
    return category == CategoryList::all() || r.category.display() == category;
}

}  // namespace

ListRows all_rows(const MemoTable& table) {
    return rows_where(table, [](const MemoRecord&) { return true; });
}

ListRows category_rows(const MemoTable& table, const QString& category) {
    return rows_where(table, [&](const MemoRecord& r) { return in_category(r, category); });
}

ListRows title_search_rows(const MemoTable& table, const QString& category, const QString& keyword) {
    return rows_where(table, [&](const MemoRecord& r) {
        return in_category(r, category) && (keyword.isEmpty() || r.title.display().contains(keyword, Qt::CaseSensitive));
    });
}

ShownRows shown_rows_for(const MemoTable& table, const ListRows& rows) {
    ShownRows out;
    RowMaps& maps = out.maps;
    maps.shown_count = int(rows.shown.size());
    maps.row_memo_numbers.resize(1);
    maps.row_lock_flags.resize(1);
    maps.row_memo_numbers.reserve(rows.shown.size() + 2);
    maps.row_lock_flags.reserve(rows.shown.size() + 2);
    out.grid.reserve(rows.shown.size() + 1);
    // One pass: at 30,000 memos the records are read from memory once, not twice.
    for (int slot : rows.shown) {
        const MemoRecord& m = table.slot(slot);
        maps.row_memo_numbers.push_back(m.memo_number);
        maps.row_lock_flags.push_back(m.lock_flag);
        out.grid.push_back({m.category.display(), m.date.display(), m.title.display()});
    }
    maps.row_memo_numbers.push_back(Value::number(0));
    maps.row_lock_flags.emplace_back();
    out.grid.push_back(GridRow{});
    return out;
}

}  // namespace tz
