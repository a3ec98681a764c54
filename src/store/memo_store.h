#pragma once
// The memo store: the tables every window shares for the whole run. Main_form
// owns one MemoStore and passes it by reference to the windows it opens.

#include "store/bulk_memory.h"
#include "store/file_io.h"
#include "store/value.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <map>
#include <vector>

namespace tz {

struct MemoRecord {
    Value date;
    Value category;
    Value title;
    Value memo_number;
    Value created_stamp;
    Value updated_stamp;
    Value lock_flag;

    // Only the exact text "YES" locks a memo.
    bool locked() const { return lock_flag.display() == u"YES"; }
    static constexpr int kLines = 7;
};

// Slots 1..count() of memos, kept newest updated stamp first (after re-sort).
class MemoTable {
public:
    static constexpr int kCapacity = 30000;   // slots a load fills at most
    static constexpr int kCreateLimit = 29999; // at this count no memo is added

    int count() const { return int(slots_.size()); }
    MemoRecord& slot(int i) { return slots_[size_t(i - 1)]; }  // 1-based
    const MemoRecord& slot(int i) const { return slots_[size_t(i - 1)]; }
    const bulk::vector<MemoRecord>& records() const { return slots_; }
    bulk::vector<MemoRecord>& records() { return slots_; }

    void append(MemoRecord r) { slots_.push_back(std::move(r)); }
    void remove_slot(int i) { slots_.erase(slots_.begin() + (i - 1)); }
    void clear() { slots_.clear(); }

    // The first slot (1-based) whose memo number equals n, or 0.
    int find_slot(const Value& memo_number) const;

    // Newest updated stamp first, by code units; equal stamps keep their order.
    void resort();

private:
    bulk::vector<MemoRecord> slots_;
};

// Entries 1..count(); entry 1 is "全部", meaning every category.
class CategoryList {
public:
    static constexpr int kCapacity = 1000;
    static constexpr int kAddLimit = 999;  // at this count no category is added
    static QString all() { return QStringLiteral("全部"); }

    int count() const { return int(entries_.size()); }
    const QString& entry(int i) const { return entries_[i - 1]; }
    const QStringList& entries() const { return entries_; }
    void set_entries(QStringList entries) { entries_ = std::move(entries); }
    void append(const QString& name) { entries_.append(name); }
    // True when one of entries 2..count() equals name exactly.
    bool has_memo_category(const QString& name) const;

private:
    QStringList entries_;
};

// Exactly 20 keywords; entry 0 is the most recent.
struct KeywordHistory {
    static constexpr int kSize = 20;
    std::array<QString, kSize> entries;
};

// The keyword history after a search with keyword t and pick index p: -1 when
// the keyword was typed (t goes on top, every entry moves down one); 0..19 when
// entry p was picked or left as it was (entries above p move down over it).
// The title search and both full-text searches keep it by this one rule.
void update_keyword_history(KeywordHistory& history, int pick_index, const QString& t);

// The 13 lines of the settings file.
struct Settings {
    static constexpr int kLines = 13;
    enum Line { Counter, WindowState, WindowTop, WindowLeft, WindowHeight, WindowWidth, ListHeight,
                Reserved1, Reserved2, Reserved3, Reserved4, Reserved5, LockPassword };
    std::array<Value, kLines> lines;

    Value& operator[](Line l) { return lines[size_t(l)]; }
    const Value& operator[](Line l) const { return lines[size_t(l)]; }

    // First-start values, with the window's geometry as it is now (twips).
    static Settings first_start(int state, int top, int left, int height, int width, int list_height);
};

// The current local date and time; tests put in a clock of their own.
using Clock = std::function<QDateTime()>;
Clock system_clock();

// "yy/MM/dd hh:mm:ss" with the year letter: a first digit 0..4 becomes a..e, so
// that stamps of 1950..2049 order by time as plain texts.
QString stamp_text(const QDateTime& t);
// The same form without the year letter (the welcome memo's stamps).
QString plain_stamp_text(const QDateTime& t);
// Today's date as the program writes it everywhere: the Japanese short form yyyy/MM/dd.
QString date_text(const QDate& d);

// "【ツヅリオ】Ver.3.0", the program's name in every message and caption.
QString program_title();
// The main window's title: "【ツヅリオ】Ver.3.0 (12件)".
QString main_caption(int memo_count);

// Memo numbers are whole numbers from 1 to kMaxMemoNumber (eighteen digits,
// so the counter's +1 never overflows 64 bits).
inline constexpr qint64 kMaxMemoNumber = 999'999'999'999'999'999;
// The number a memo number field names its body files by, or nothing when it
// does not read as a whole number in that range: such a memo (a damaged index)
// has no body files, and none are ever written or removed under it.
std::optional<qint64> memo_number_of(const Value& memo_number);

// A memo number written with at least six digits, zero-filled; empty when the
// field is not a sound memo number.
QString memo_digits(const Value& memo_number);

// A data file as this program last read or wrote it. Another writer (a sync
// tool, a copy of the program on another computer) shows as a change of it.
struct DiskCopy {
    FileStamp stamp;
    size_t hash = 0;  // of its bytes: a file touched, its bytes the same, is still this version
};

class MemoStore {
public:
    explicit MemoStore(QString app_folder, Clock clock = system_clock());

    // The folder the program runs from, with a trailing separator.
    const QString& app_folder() const { return app_folder_; }
    QString file_path(const QString& name) const { return app_folder_ + name; }
    // Empty when the field is not a sound memo number.
    QString text_body_path(const Value& memo_number) const;
    QString rich_body_path(const Value& memo_number) const;

    // Counter + 1; the counter becomes it. Numbers are never given twice: past
    // the last one, an empty field (no memo number) comes back.
    Value next_memo_number();
    // False once the counter has given the last number there is.
    bool can_number_new_memo() const;
    // A number whose body files are already on the disk (another computer
    // gave it out) is passed over.
    bool number_in_use(qint64 n) const;
    // Raises the counter to n when n is greater; the counter never goes down.
    // False when n is no memo number.
    bool raise_counter(const Value& n);

    QString stamp() const { return stamp_text(clock_()); }
    QDateTime now() const { return clock_(); }
    QString today() const { return date_text(clock_().date()); }
    QString main_caption() const { return tz::main_caption(table.count()); }

    MemoTable table;
    CategoryList categories;
    KeywordHistory keywords;
    Settings settings;

    // The data files as last read or written here, by name; and the other
    // writers' versions kept beside them that the user has not been told of.
    std::map<QString, DiskCopy> disk_copies;
    QStringList other_versions_kept;

private:
    QString app_folder_;
    Clock clock_;
};

// What the main window hands to the windows it opens, and they hand back.
enum class EditorMode { NewMemo, Correction };
enum class UnlockAnswer { Cancel, RightPassword, WrongPassword };
struct HandOver {
    EditorMode editor_mode = EditorMode::NewMemo;
    UnlockAnswer unlock_answer = UnlockAnswer::Cancel;
    bool move_to_top = false;  // the unlock dialog's box, ticked and OK pressed
};

}  // namespace tz
