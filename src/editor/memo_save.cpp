#include "editor/memo_save.h"

#include "store/cp932.h"
#include "store/data_folder.h"
#include "store/file_io.h"

#include <QDir>
#include <QFile>
#include <optional>
#include <vector>

namespace tz {

namespace {

bool has_line_break(const QString& s) { return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n')); }

// A file as it was before the save touched it, to put back on failure.
struct Before {
    QString path;
    std::optional<QByteArray> bytes;  // nothing: the file did not exist
    QString data_file;                // the data file's name, empty for a body file
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
    SaveResult result;
    const MemoTable table_before = store.table;
    const CategoryList categories_before = store.categories;
    const Value counter_before = store.settings[Settings::Counter];

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
    result.new_category = !store.categories.has_memo_category(in.category);

    // The files, each remembered as it was before it is written.
    std::vector<Before> written;
    const auto write = [&](const QString& path, auto&& do_write, const QString& data_file = QString()) {
        Before b{path, read_file(path), data_file};
        if (!do_write()) {
            result.not_written.append(shown_name(store, path));
            return false;
        }
        written.push_back(std::move(b));
        return true;
    };

    bool ok = write(store.text_body_path(number), [&] { return write_text_body(store, number, in.body_text); }) &&
              write(store.rich_body_path(number), [&] { return write_file_atomic(store.rich_body_path(number), in.body_rtf); });
    if (ok && result.new_category) {
        store.categories.append(in.category);
        ok = write(store.file_path(file_names::categories()), [&] { return write_categories(store); }, file_names::categories());
    }
    if (ok) {
        store.table.resort();
        ok = write(store.file_path(file_names::index()), [&] { return write_index(store); }, file_names::index());
    }
    if (ok) {
        result.saved = true;
        return result;
    }

    // Back to how it was: memory first, then the files in reverse order.
    store.table = table_before;
    store.categories = categories_before;
    store.settings[Settings::Counter] = counter_before;
    result.new_category = false;
    for (auto it = written.rbegin(); it != written.rend(); ++it) {
        // A data file goes back the way it was written, so that it stays the version this program knows.
        const bool restored = !it->bytes              ? !QFile::exists(it->path) || QFile::remove(it->path)
                              : it->data_file.isEmpty() ? write_file_atomic(it->path, *it->bytes)
                                                        : write_data_file(store, it->data_file, *it->bytes);
        if (!restored) result.not_written.append(shown_name(store, it->path));
    }
    return result;
}

}  // namespace tz
