#pragma once
// Which memos the memo list shows, as plain functions over the memo table. The
// list keeps table order; the row maps tie each row to its memo.

#include "store/memo_store.h"
#include "store/row_maps.h"
#include "ui/memo_grid.h"

#include <vector>

namespace tz {

// The rows of a rebuilt list: the slots shown, in table order.
struct ListRows {
    std::vector<int> shown;  // slot numbers
};

// Every memo (the full rebuild).
ListRows all_rows(const MemoTable& table);
// Memos of a category; "全部" shows every memo. Categories compare exactly.
ListRows category_rows(const MemoTable& table, const QString& category);
// Memos of the category whose title holds the keyword (code units, case matters).
ListRows title_search_rows(const MemoTable& table, const QString& category, const QString& keyword);

// What the window keeps of a list: the row maps and the grid rows (memo rows
// and the empty row below them).
struct ShownRows {
    RowMaps maps;
    GridRows grid;
};
ShownRows shown_rows_for(const MemoTable& table, const ListRows& rows);

}  // namespace tz
