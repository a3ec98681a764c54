#pragma once
// Storing what the editor shows as a memo: the checks that refuse it, then
// the memo table, counter and category list changed and every file written.
// Either every file is written and the store holds the memo, or the store and
// the files are left as they were and the caller learns which file failed.

#include "store/memo_store.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tz {

// What the editor's boxes and body hold when "登録" is pressed.
struct MemoInput {
    QString date;
    QString category;
    QString title;
    bool locked = false;
    QString body_text;     // paragraphs separated by CR LF
    QByteArray body_rtf;   // the body as the rich body file keeps it
};

enum class Refusal {
    None,
    MemoLimit,      // the table is full for new memos (and corrections alike)
    TitleLines,     // the title holds a line break
    EmptyTitle,
    DateLines,      // the date holds a line break
    CategoryLines,  // the category holds a line break
    TitleChars,     // the title holds characters the files cannot keep
    DateChars,      // likewise the date
    CategoryChars,  // likewise the category
    CategoryLimit,  // a new category and the list is full
    NoMemo,         // the memo to correct is no longer in the table
};

struct RefusalMessage {
    QString text;
    QString title;
};
// The message for a refusal of this input (the characters refusals name them).
RefusalMessage refusal_message(Refusal r, const MemoInput& in);

// The first check that refuses the input, or Refusal::None. correction_slot is
// 0 for a new memo.
Refusal check_memo(const MemoStore& store, const MemoInput& in, int correction_slot);

struct SaveResult {
    bool saved = false;
    bool new_category = false;  // the category was appended to the list
    QStringList not_written;    // files that could not be written; nothing was kept
};

// Stores a memo that passed check_memo: a new one (correction_slot 0) in a new
// slot with the next memo number and two fresh stamps, a correction in its slot
// with a fresh updated stamp. Writes the text and rich body files, the category
// file when the category is new, re-sorts the table and writes the memo index.
// When a write fails, the table, counter and category list are put back and the
// files already written get their old bytes again.
SaveResult store_memo(MemoStore& store, const MemoInput& in, int correction_slot);

}  // namespace tz
