#include "store/changes.h"

#include "store/cp932.h"
#include "store/data_folder.h"
#include "store/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <optional>
#include <vector>

namespace tz {

namespace {

bool has_line_break(const QString& s) { return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n')); }

// One change as it goes: memory as it was before, and every file it wrote
// as that file was, to put back when a later write fails.
class Change {
public:
    explicit Change(MemoStore& store)
        : store_(store), table_(store.table), categories_(store.categories), settings_(store.settings) {}

    // A body file; false, with the file named in `result`, when it was not written.
    bool body(const QString& path, const std::function<bool()>& write) { return file(path, QString(), write); }
    // A data file with the bytes it holds now in memory, written through
    // write_data_file (another writer's version is kept beside it).
    bool data(const QString& name, const QByteArray& bytes) {
        return file(store_.file_path(name), name, [&] { return write_data_file(store_, name, bytes); });
    }
    bool index() { return data(file_names::index(), index_bytes(store_.table)); }
    bool categories() { return data(file_names::categories(), categories_bytes(store_.categories)); }

    // Memory first, then the files written, the last first.
    void roll_back() {
        store_.table = table_;
        store_.categories = categories_;
        store_.settings = settings_;
        for (auto it = written_.rbegin(); it != written_.rend(); ++it) {
            // A data file goes back the way it was written, so that it stays the version this program knows.
            // A file that was there but could not be read cannot be put back, and is not removed.
            const bool restored = !it->existed    ? !QFile::exists(it->path) || QFile::remove(it->path)
                                  : !it->bytes    ? false
                                  : it->data_file.isEmpty() ? write_file_atomic(it->path, *it->bytes)
                                                            : write_data_file(store_, it->data_file, *it->bytes);
            if (!restored) result.not_written.append(shown_name(store_, it->path));
        }
        written_.clear();
    }

    ChangeResult result;

private:
    struct Before {
        QString path;
        bool existed = false;
        std::optional<QByteArray> bytes;
        QString data_file;  // the data file's name, empty for a body file
    };

    bool file(const QString& path, const QString& data_file, const std::function<bool()>& write) {
        Before b{path, QFileInfo::exists(path), read_file(path), data_file};
        if (!write()) {
            result.not_written.append(shown_name(store_, path));
            return false;
        }
        written_.push_back(std::move(b));
        return true;
    }

    MemoStore& store_;
    const MemoTable table_;
    const CategoryList categories_;
    const Settings settings_;
    std::vector<Before> written_;
};

// True when another memo of the table carries the same memo number as slot i.
bool shares_number(const MemoTable& table, int slot) {
    const std::optional<qint64> n = memo_number_of(table.slot(slot).memo_number);
    for (int i = 1; i <= table.count(); ++i)
        if (i != slot && memo_number_of(table.slot(i).memo_number) == n) return true;
    return false;
}

}  // namespace

RefusalMessage refusal_message(Refusal r, const MemoInput& in) {
    const auto chars = [](const QString& box, const QString& text) {
        return RefusalMessage{unwritable_text(box, cp932::unwritable(text), QStringLiteral("登録")), program_title()};
    };
    switch (r) {
    case Refusal::None: break;
    case Refusal::MemoLimit:
        return {QStringLiteral("これ以上メモを登録できません。"), QStringLiteral("メモの数が限界(30000)を越えます")};
    case Refusal::TitleLines:
        return {QStringLiteral("タイトルが２行以上になっています。\rクリップボードを使って文字を貼り付ける場合は、\r"
                               "改行が含まれないように注意してください。"),
                QStringLiteral("タイトルは１行にしてください")};
    case Refusal::EmptyTitle:
        return {QStringLiteral("タイトルを入力して下さい。"), program_title()};
    case Refusal::DateLines:
        return {QStringLiteral("年/月/日に改行が含まれています。\r改行を取り除いてから登録してください。"), program_title()};
    case Refusal::CategoryLines:
        return {QStringLiteral("分類に改行が含まれています。\r改行を取り除いてから登録してください。"), program_title()};
    case Refusal::TitleChars:
        return chars(QStringLiteral("タイトル"), in.title);
    case Refusal::DateChars:
        return chars(QStringLiteral("年/月/日"), in.date);
    case Refusal::CategoryChars:
        return chars(QStringLiteral("分類"), in.category);
    case Refusal::CategoryLimit:
        return {QStringLiteral("これ以上分類を登録できません。"), QStringLiteral("分類の数が限界(1000)を越えます")};
    case Refusal::NoMemo:
        return {QStringLiteral("訂正するメモが見つかりません。"), program_title()};
    }
    return {};
}

Refusal check_memo(const MemoStore& store, const MemoInput& in, int correction_slot) {
    if (store.table.count() >= MemoTable::kCreateLimit || !store.can_number_new_memo()) return Refusal::MemoLimit;
    if (has_line_break(in.title)) return Refusal::TitleLines;
    if (in.title.isEmpty()) return Refusal::EmptyTitle;
    if (has_line_break(in.date)) return Refusal::DateLines;
    if (has_line_break(in.category)) return Refusal::CategoryLines;
    // What the code page lacks would come back from the index as "?".
    if (!cp932::unwritable(in.title).isEmpty()) return Refusal::TitleChars;
    if (!cp932::unwritable(in.date).isEmpty()) return Refusal::DateChars;
    if (!cp932::unwritable(in.category).isEmpty()) return Refusal::CategoryChars;
    if (!store.categories.has_memo_category(in.category) && store.categories.count() >= CategoryList::kAddLimit)
        return Refusal::CategoryLimit;
    if (correction_slot != 0 && (correction_slot < 1 || correction_slot > store.table.count())) return Refusal::NoMemo;
    return Refusal::None;
}

SaveResult store_memo(MemoStore& store, const MemoInput& in, int correction_slot) {
    Change change(store);

    // The memo in memory.
    MemoRecord* record = nullptr;
    if (correction_slot == 0) {
        MemoRecord r;
        r.date = in.date;
        r.category = in.category;
        r.title = in.title;
        r.memo_number = store.next_memo_number();
        r.created_stamp = store.stamp();
        r.updated_stamp = store.stamp();
        r.lock_flag = in.locked ? u"YES" : u"NO";
        store.table.append(std::move(r));
        record = &store.table.slot(store.table.count());
    } else {
        record = &store.table.slot(correction_slot);
        record->date = in.date;
        record->category = in.category;
        record->title = in.title;
        record->updated_stamp = store.stamp();
        record->lock_flag = in.locked ? u"YES" : u"NO";
        // A memo without a sound number of its own (a damaged index) gets a
        // fresh one, so that its body never lands in another memo's files.
        if (!memo_number_of(record->memo_number) || shares_number(store.table, correction_slot))
            record->memo_number = store.next_memo_number();
    }
    const Value number = record->memo_number;
    const bool new_category = !store.categories.has_memo_category(in.category);
    if (new_category) store.categories.append(in.category);
    store.table.resort();

    const QString rich = store.rich_body_path(number);
    if (change.body(store.text_body_path(number), [&] { return write_text_body(store, number, in.body_text); }) &&
        change.body(rich, [&] { return write_file_atomic(rich, in.body_rtf); }) && change.index() &&
        (!new_category || change.categories())) {
        SaveResult result;
        result.done = true;
        result.new_category = new_category;
        return result;
    }
    change.roll_back();
    SaveResult result;
    result.not_written = change.result.not_written;
    return result;
}

ChangeResult delete_memo(MemoStore& store, const Value& memo_number) {
    const int slot = store.table.find_slot(memo_number);
    if (slot == 0) return {};
    Change change(store);
    store.table.remove_slot(slot);
    if (!change.index()) {
        change.roll_back();
        return change.result;
    }
    remove_body_files(store, {memo_number});
    change.result.done = true;
    return change.result;
}

ChangeResult delete_category_memos(MemoStore& store, int entry) {
    if (entry < 2 || entry > store.categories.count()) return {};
    Change change(store);
    const QString category = store.categories.entry(entry);
    bulk::vector<MemoRecord> kept;
    std::vector<Value> deleted;
    for (const MemoRecord& m : store.table.records()) {
        if (m.category.display() != category)
            kept.push_back(m);
        else
            deleted.push_back(m.memo_number);
    }
    store.table.records() = std::move(kept);
    QStringList entries = store.categories.entries();
    entries.removeAt(entry - 1);
    store.categories.set_entries(entries);
    if (!change.index() || !change.categories()) {
        change.roll_back();
        return change.result;
    }
    remove_body_files(store, deleted);
    change.result.done = true;
    return change.result;
}

ChangeResult add_category(MemoStore& store, const QString& name) {
    Change change(store);
    store.categories.append(name);
    if (!change.categories()) {
        change.roll_back();
        return change.result;
    }
    change.result.done = true;
    return change.result;
}

namespace {

// A change kept in memory whatever its files: each is written in turn, those
// not written are named.
ChangeResult kept_in_memory(const std::vector<std::pair<QString, bool>>& written) {
    ChangeResult result;
    for (const auto& [name, ok] : written)
        if (!ok) result.not_written.append(name);
    result.done = result.not_written.isEmpty();
    return result;
}

}  // namespace

ChangeResult store_category_list(MemoStore& store) { return kept_in_memory({{file_names::categories(), write_categories(store)}}); }

ChangeResult set_password(MemoStore& store, const QString& password) {
    store.settings[Settings::LockPassword] = Value(password);
    return kept_in_memory({{file_names::settings(), write_settings(store)}});
}

ChangeResult finish_import(MemoStore& store, bool resort, bool bodies_written, bool categories_added) {
    if (resort) store.table.resort();
    std::vector<std::pair<QString, bool>> written;
    // The body files are on the disk before the index that names them.
    if (bodies_written) written.emplace_back(QStringLiteral("memo1, memo2"), sync_to_disk(store.app_folder()));
    written.emplace_back(file_names::index(), write_index(store));
    if (categories_added) written.emplace_back(file_names::categories(), write_categories(store));
    written.emplace_back(file_names::settings(), write_settings(store));
    return kept_in_memory(written);
}

ChangeResult store_at_exit(MemoStore& store) {
    ChangeResult result;
    result.not_written = write_all(store);
    result.done = result.not_written.isEmpty();
    return result;
}

bool remake_empty_body(const QString& path) { return write_file_atomic(path, QByteArrayLiteral("\r\n")); }

}  // namespace tz
