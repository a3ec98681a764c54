#pragma once
// Every change of the memo book's files, each one step on the store: saving a
// memo, deleting one memo or a category's memos, adding a category, the
// category list and the password as the windows leave them, and the end of an
// import. The windows check what the user typed, ask, show the outcome and
// refresh; the store changes.
//
// Every change goes the same way: memory first, then the files in one order:
// body files written before the index that names them, the memo index, then
// the category file. When a write fails, memory and every file already
// written are put back as they were (but for the changes below that stay in
// memory) and the caller learns which file failed. Only once no file lists a
// deleted memo are its body files removed, and a number still carried by a
// memo of the table keeps its files.

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

struct ChangeResult {
    bool done = false;        // memory and files hold the change
    QStringList not_written;  // files not written, or not put back, as the user knows them
};

struct SaveResult : ChangeResult {
    bool new_category = false;  // the category was appended to the list
};

// Stores a memo that passed check_memo: a new one (correction_slot 0) in a new
// slot with the next memo number and two fresh stamps, a correction in its slot
// with a fresh updated stamp. Writes the text and rich body files, re-sorts the
// table, writes the memo index and, when the category is new, the category file.
SaveResult store_memo(MemoStore& store, const MemoInput& in, int correction_slot);

// Deletes the first memo carrying this number. Not done, with no file named,
// when no memo carries it.
ChangeResult delete_memo(MemoStore& store, const Value& memo_number);

// Deletes every memo whose category is category list entry `entry` (exactly
// that text: case and width count) and removes the entry; the kept memos keep
// their order. Not done, with no file named, for entry 1 ("全部") or an entry
// past the list.
ChangeResult delete_category_memos(MemoStore& store, int entry);

// Appends a category, checked by the window, to the list.
ChangeResult add_category(MemoStore& store, const QString& name);

// The changes that stay in memory when a file cannot be written, for the exit
// save to write again; the files written are not put back:
// - the category list as the category window leaves it (moves and removals);
// - a new password, of which the user has already been told;
// - the end of an import: its memos are in the table and their body files
//   written (flushed to the disk here, before the index names them). The memo
//   index (re-sorted first when `resort`), the category file when categories
//   were added, and the settings file (the counter) are each written in turn.
ChangeResult store_category_list(MemoStore& store);
ChangeResult set_password(MemoStore& store, const QString& password);
ChangeResult finish_import(MemoStore& store, bool resort, bool bodies_written, bool categories_added);
// The exit save: the four data files as memory holds them (write_all's order).
ChangeResult store_at_exit(MemoStore& store);

// A body file that is gone, made again empty (a line end) so that its memo
// shows an empty body; false when it could not be written.
bool remake_empty_body(const QString& path);

}  // namespace tz
