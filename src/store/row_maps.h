#pragma once
// The memo list's view of the memo table: row r (1..shown_count) shows the memo
// whose number is row_memo_numbers[r]. Entries past shown_count are not memos.

#include "store/bulk_memory.h"
#include "store/value.h"

namespace tz {

struct RowMaps {
    int shown_count = 0;
    bulk::vector<Value> row_memo_numbers{Value(), Value()};  // [0] unused; [shown_count + 1] is 0
    bulk::vector<Value> row_lock_flags{Value(), Value()};

    bool is_memo_row(int r) const { return r >= 1 && r <= shown_count; }
    // Only the exact text "YES" locks.
    bool is_locked_row(int r) const { return is_memo_row(r) && row_lock_flags[size_t(r)].display() == u"YES"; }
};

}  // namespace tz
