#include "store/data_folder.h"

#include "store/cp932.h"
#include "store/file_io.h"
#include "store/log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <cerrno>
#include <cstring>
#include <unordered_set>
#include <utility>

namespace tz {
namespace {

QStringList value_lines(const Value* begin, const Value* end) {
    QStringList lines;
    for (const Value* v = begin; v != end; ++v) lines.append(v->file_line());
    return lines;
}

void note_damage(LoadReport& report, const QString& folder, const QString& name) {
    for (const LoadReport::Damage& d : report.damaged)
        if (d.file == name) return;
    report.damaged.push_back({name, keep_damaged_copy(folder + name)});
    qCWarning(lc_store, "%s: damaged, kept as %s", qPrintable(folder + name), qPrintable(report.damaged.back().kept_copy));
}

// Settings lines a window can be placed and sized by: whole twips within reach.
constexpr double kMaxTwips = 1'000'000;

bool number_within(const Value& v, double low, double high) {
    const std::optional<double> n = v.as_number();
    return n && *n >= low && *n <= high;
}

// Lines out of range take their first-start values; true when one did.
bool keep_settings_in_range(Settings& s, const Settings& first_start) {
    bool damaged = false;
    const auto check = [&](Settings::Line line, bool ok) {
        if (ok) return;
        s[line] = first_start[line];
        damaged = true;
    };
    const std::optional<qint64> counter = s[Settings::Counter].as_whole();
    check(Settings::Counter, counter && *counter >= 0 && *counter <= kMaxMemoNumber);
    const std::optional<qint64> state = s[Settings::WindowState].as_whole();
    check(Settings::WindowState, state && *state >= 0 && *state <= 2);
    check(Settings::WindowTop, number_within(s[Settings::WindowTop], -kMaxTwips, kMaxTwips));
    check(Settings::WindowLeft, number_within(s[Settings::WindowLeft], -kMaxTwips, kMaxTwips));
    check(Settings::WindowHeight, number_within(s[Settings::WindowHeight], 1, kMaxTwips));
    check(Settings::WindowWidth, number_within(s[Settings::WindowWidth], 1, kMaxTwips));
    check(Settings::ListHeight, number_within(s[Settings::ListHeight], 0, kMaxTwips));
    return damaged;
}

// A file of a fixed number of lines is sound with exactly that many, empty
// lines after them (an editor's last line end) included.
bool has_lines(const QStringList& lines, int count) {
    if (lines.size() < count) return false;
    for (qsizetype i = count; i < lines.size(); ++i)
        if (!lines[i].isEmpty()) return false;
    return true;
}

// The lines of a data file, remembered as the version this program knows.
std::optional<QStringList> read_data_lines(MemoStore& store, const QString& name) {
    const std::optional<QByteArray> bytes = read_data_file(store, name);
    if (!bytes) return std::nullopt;
    return split_lines(*bytes);
}

void read_settings(MemoStore& store, const Settings& first_start, LoadReport& report) {
    const QString name = file_names::settings();
    const std::optional<QStringList> lines = read_data_lines(store, name);
    if (!lines) {
        report.unreadable.append(name);
        return;
    }
    for (int i = 0; i < Settings::kLines && i < lines->size(); ++i) store.settings.lines[size_t(i)] = Value((*lines)[i]);
    // A short file's lines are checked too: a counter that is no count must not stay.
    const bool short_or_long = !has_lines(*lines, Settings::kLines);
    if (keep_settings_in_range(store.settings, first_start) || short_or_long) note_damage(report, store.app_folder(), name);
}

void write_welcome_memo(MemoStore& store, LoadReport& report) {
    MemoRecord r;
    const QDateTime now = store.now();
    r.date = Value(date_text(now.date()));
    r.category = Value(u"作者より");
    r.title = Value(u"【ツヅリオ】ご利用のお礼");
    r.memo_number = store.next_memo_number();
    if (!memo_number_of(r.memo_number)) {
        // Past the last memo number there is none to give, and a memo without
        // one has no body files: the index starts empty.
        if (!write_data_file(store, file_names::index(), QByteArray())) report.not_written.append(file_names::index());
        return;
    }
    r.created_stamp = Value(plain_stamp_text(now));
    r.updated_stamp = Value(plain_stamp_text(store.now()));
    r.lock_flag = Value(u"NO");
    MemoTable one;
    one.append(r);
    if (!write_data_file(store, file_names::index(), index_bytes(one))) report.not_written.append(file_names::index());
    const QByteArray body = lines_to_bytes(welcome_body_lines());
    if (!write_file_atomic(store.text_body_path(r.memo_number), body))
        report.not_written.append(QFileInfo(store.text_body_path(r.memo_number)).fileName());
    if (!write_file_atomic(store.rich_body_path(r.memo_number), body))
        report.not_written.append(QFileInfo(store.rich_body_path(r.memo_number)).fileName());
}

void read_index(MemoStore& store, LoadReport& report, std::optional<IndexFile>* early) {
    const QString name = file_names::index();
    const QString path = store.file_path(name);
    // What the start-up read early stands where it found the file there;
    // anything else (no file then, a welcome memo written since) is read now.
    IndexFile f;
    if (early && *early && (*early)->read && (*early)->path == path) {
        f = std::move(**early);
        early->reset();
    } else {
        f = read_index_file(path);
    }
    store.table.clear();
    if (!f.read) {
        if (f.error != ENOENT) qCWarning(lc_store, "%s: reading failed: %s", qPrintable(path), std::strerror(f.error));
        // Missing only where the welcome memo could not be written (reported).
        if (QFileInfo::exists(path)) report.unreadable.append(name);
        return;
    }
    store.disk_copies[name] = std::move(f.disk);
    store.table = std::move(f.table);
    store.raise_counter(f.highest);
    if (f.lines % MemoRecord::kLines != 0 || f.lines / MemoRecord::kLines > MemoTable::kCapacity || f.bad_number)
        note_damage(report, store.app_folder(), name);
}

void read_categories(MemoStore& store, LoadReport& report) {
    const QString name = file_names::categories();
    const QString path = store.file_path(name);
    if (!QFileInfo::exists(path)) {
        store.categories.set_entries({CategoryList::all(), QStringLiteral("作者より")});
        if (!write_categories(store)) report.not_written.append(name);
        return;
    }
    std::optional<QStringList> lines = read_data_lines(store, name);
    if (!lines) {
        report.unreadable.append(name);
        return;
    }
    if (lines->isEmpty() || lines->size() > CategoryList::kCapacity) {
        note_damage(report, store.app_folder(), name);
        if (lines->size() > CategoryList::kCapacity) lines->resize(CategoryList::kCapacity);
        if (lines->isEmpty()) lines->append(CategoryList::all());
    }
    store.categories.set_entries(*lines);
}

void read_keywords(MemoStore& store, LoadReport& report) {
    const QString name = file_names::keywords();
    const QString path = store.file_path(name);
    store.keywords = KeywordHistory{};
    if (!QFileInfo::exists(path)) {
        if (!write_keywords(store)) report.not_written.append(name);
        return;
    }
    const std::optional<QStringList> lines = read_data_lines(store, name);
    if (!lines) {
        report.unreadable.append(name);
        return;
    }
    if (!has_lines(*lines, KeywordHistory::kSize)) note_damage(report, store.app_folder(), name);
    for (int i = 0; i < KeywordHistory::kSize && i < lines->size(); ++i) store.keywords.entries[size_t(i)] = (*lines)[i];
}

}  // namespace

QByteArray settings_bytes(const Settings& s) {
    return lines_to_bytes(value_lines(s.lines.data(), s.lines.data() + s.lines.size()));
}

QByteArray index_bytes(const MemoTable& t) {
    QStringList lines;
    lines.reserve(qsizetype(t.count()) * MemoRecord::kLines);
    for (const MemoRecord& r : t.records()) {
        for (const Value* v : {&r.date, &r.category, &r.title, &r.memo_number, &r.created_stamp, &r.updated_stamp, &r.lock_flag})
            lines.append(v->file_line());
    }
    return lines_to_bytes(lines);
}

QByteArray categories_bytes(const CategoryList& c) { return lines_to_bytes(c.entries()); }

QByteArray keywords_bytes(const KeywordHistory& k) {
    QStringList lines;
    for (const QString& e : k.entries) lines.append(e);
    return lines_to_bytes(lines);
}

namespace {

// True when the file on the disk is not the one this program last read or
// wrote: its size or time differ and so do its bytes.
bool changed_elsewhere(const MemoStore& store, const QString& name, QByteArray& now) {
    const QFileInfo info(store.file_path(name));
    if (!info.exists()) return false;
    const auto known = store.disk_copies.find(name);
    if (known != store.disk_copies.end() && FileStamp{info.size(), info.lastModified()} == known->second.stamp) return false;
    // Only a file that can be read is a version to keep.
    const std::optional<QByteArray> bytes = read_file(info.filePath());
    if (!bytes) return false;
    now = *bytes;
    return known == store.disk_copies.end() || qHash(now) != known->second.hash;
}


}  // namespace

IndexFile read_index_file(const QString& path) {
    IndexFile f;
    f.path = path;
    // The stamp is taken before the bytes are read: a change made during the
    // read then shows as a change since, and the other writer's version is
    // kept when this program writes the file.
    f.disk.stamp = stamp_of(path);
    // The bytes go when the records are made: only their hash is kept.
    const std::optional<QByteArray> read = read_file(path);
    if (!read) {
        f.error = errno;
        return f;
    }
    const QByteArray& bytes = *read;
    f.read = true;
    f.disk.hash = qHash(bytes);
    // Each memo's seven lines go straight into its record, without a list of
    // all lines. A line takes one byte at least: room for as many memos as the
    // bytes could hold is kept, and what is not filled is never touched.
    constexpr qsizetype kRead = qsizetype(MemoTable::kCapacity) * MemoRecord::kLines;
    f.table.records().reserve(size_t(std::min<qsizetype>(bytes.size() / MemoRecord::kLines, MemoTable::kCapacity)));
    static constexpr Value MemoRecord::*kColumns[MemoRecord::kLines] = {
        &MemoRecord::date, &MemoRecord::category, &MemoRecord::title, &MemoRecord::memo_number,
        &MemoRecord::created_stamp, &MemoRecord::updated_stamp, &MemoRecord::lock_flag};
    std::array<QByteArrayView, MemoRecord::kLines> l_bytes;
    cp932::BlockDecoder decoder(bytes.size() + 1);  // a line's text and its null take no more than its bytes and end
    MemoRecord r;
    std::optional<qint64> highest;
    for_each_line_bytes(bytes, [&](QByteArrayView raw) {
        const qsizetype line = f.lines++;
        if (line >= kRead) return;  // counted only
        // Dates, categories and lock flags repeat from memo to memo, and a memo
        // never corrected has its created stamp as its updated one: a line the
        // same as the one it repeats shares that one's text.
        const size_t column = size_t(line % MemoRecord::kLines);
        Value& field = r.*kColumns[column];
        if (column == 5 && raw == l_bytes[4])
            field = r.created_stamp;
        else if (line >= MemoRecord::kLines && raw == l_bytes[column])
            field = f.table.records().back().*kColumns[column];
        else
            field = Value(decoder.decode(raw));
        l_bytes[column] = raw;
        if (column != MemoRecord::kLines - 1) return;
        // A memo whose number is no memo number is kept as read; it has no body files.
        const std::optional<qint64> n = memo_number_of(r.memo_number);
        f.bad_number |= !n;
        if (n && (!highest || *n > *highest)) {
            highest = n;
            f.highest = r.memo_number;
        }
        f.table.append(std::move(r));
    });
    return f;
}

std::optional<QByteArray> read_data_file(MemoStore& store, const QString& name) {
    DiskCopy copy{stamp_of(store.file_path(name)), {}};  // before the read, as above
    std::optional<QByteArray> bytes = read_file(store.file_path(name));
    if (bytes) {
        copy.hash = qHash(*bytes);
        store.disk_copies[name] = std::move(copy);
    } else if (const int error = errno; error != ENOENT)
        qCWarning(lc_store, "%s: reading failed: %s", qPrintable(store.file_path(name)), std::strerror(error));
    return bytes;
}

bool write_data_file(MemoStore& store, const QString& name, const QByteArray& bytes) {
    QByteArray theirs;
    if (changed_elsewhere(store, name, theirs)) {
        // Nothing is merged: their version is kept beside ours, under a name
        // that says so, before ours is written.
        const QString stem = name + QStringLiteral(".other-") + store.now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString other = stem;
        for (int n = 2; QFileInfo::exists(store.file_path(other)); ++n) other = stem + QLatin1Char('-') + QString::number(n);
        if (!write_file_atomic(store.file_path(other), theirs)) return false;
        qCInfo(lc_store, "%s: changed elsewhere since read, that version kept as %s", qPrintable(store.file_path(name)), qPrintable(other));
        store.other_versions_kept.append(other);
    }
    FileStamp written;
    if (!write_file_atomic(store.file_path(name), bytes, &written)) return false;
    store.disk_copies[name] = DiskCopy{written, qHash(bytes)};
    return true;
}

QString take_other_versions_text(MemoStore& store) {
    if (store.other_versions_kept.isEmpty()) return QString();
    QStringList lines{QStringLiteral("次のファイルは、この【ツヅリオ】が読み込んだ後に、ほかのところ（同期している別のコンピュータなど）で"
                                     "書き換えられていました。"),
                      QStringLiteral("この【ツヅリオ】の内容で保存し、書き換えられていた内容は次の名前で残しました。")};
    for (const QString& other : std::exchange(store.other_versions_kept, {}))
        lines.append(other.section(QStringLiteral(".other-"), 0, 0) + QStringLiteral(" → ") + other);
    return lines.join(QLatin1Char('\r'));
}

bool write_settings(MemoStore& s) { return write_data_file(s, file_names::settings(), settings_bytes(s.settings)); }
bool write_index(MemoStore& s) { return write_data_file(s, file_names::index(), index_bytes(s.table)); }
bool write_categories(MemoStore& s) { return write_data_file(s, file_names::categories(), categories_bytes(s.categories)); }
bool write_keywords(MemoStore& s) { return write_data_file(s, file_names::keywords(), keywords_bytes(s.keywords)); }

QStringList write_all(MemoStore& store) {
    QStringList failed;
    if (!write_settings(store)) failed.append(file_names::settings());
    if (!write_index(store)) failed.append(file_names::index());
    if (!write_categories(store)) failed.append(file_names::categories());
    if (!write_keywords(store)) failed.append(file_names::keywords());
    return failed;
}

bool write_text_body(const MemoStore& store, const Value& memo_number, const QString& text) {
    QString body = text;
    body += QStringLiteral("\r\n");
    return write_file_atomic(store.text_body_path(memo_number), cp932::encode(body));
}

QString shown_name(const MemoStore& store, const QString& path) {
    QString name = path;
    if (name.startsWith(store.app_folder())) name = name.mid(store.app_folder().size());
    return QDir::toNativeSeparators(name);
}

bool body_file_unreadable(const QString& path) { return !path.isEmpty() && QFileInfo::exists(path) && !can_read_file(path); }

void remove_body_files(const MemoStore& store, const std::vector<Value>& memo_numbers) {
    std::unordered_set<qint64> kept;
    for (const MemoRecord& m : store.table.records())
        if (const std::optional<qint64> n = memo_number_of(m.memo_number)) kept.insert(*n);
    for (const Value& number : memo_numbers) {
        const std::optional<qint64> n = memo_number_of(number);
        if (!n || kept.count(*n)) continue;
        // A body file that is already gone is skipped.
        QFile::remove(store.text_body_path(number));
        QFile::remove(store.rich_body_path(number));
    }
}

bool LoadReport::must_end() const {
    if (!unreadable.isEmpty()) return true;
    for (const Damage& d : damaged)
        if (d.kept_copy.isEmpty()) return true;
    return false;
}

void load_data_folder(MemoStore& store, const Settings& first_start, LoadReport& report, std::optional<IndexFile>* early) {
    // A data file that is there but cannot be read (its permissions) ends the
    // program before anything is created or written.
    for (const QString& name : {file_names::settings(), file_names::index(), file_names::categories(), file_names::keywords()}) {
        const QString path = store.file_path(name);
        if (QFileInfo::exists(path) && !can_read_file(path)) report.unreadable.append(name);
    }
    if (report.must_end()) return;

    QDir folder(store.app_folder());
    for (const char* sub : {"memo1", "memo2"})
        if (!folder.exists(QLatin1String(sub))) folder.mkdir(QLatin1String(sub));

    if (QFileInfo::exists(store.file_path(file_names::settings()))) {
        store.settings = first_start;
        read_settings(store, first_start, report);
    } else {
        store.settings = first_start;
        if (!write_settings(store)) report.not_written.append(file_names::settings());
    }
    if (report.must_end()) return;
    if (!QFileInfo::exists(store.file_path(file_names::index()))) write_welcome_memo(store, report);
    read_index(store, report, early);
    if (report.must_end()) return;
    read_categories(store, report);
    if (report.must_end()) return;
    read_keywords(store, report);
}

QString load_report_text(const LoadReport& report) {
    QStringList parts;
    for (const QString& name : report.unreadable) parts.append(QStringLiteral("データファイル %1 を読み込めません。").arg(name));
    for (const LoadReport::Damage& d : report.damaged) {
        QString text = QStringLiteral("データファイル %1 が壊れていたため、読み込めた部分だけを使います。").arg(d.file);
        if (!d.kept_copy.isEmpty())
            text += QStringLiteral("\r元のファイルは %1 として残しました。").arg(QFileInfo(d.kept_copy).fileName());
        else
            text += QStringLiteral("\r元のファイルの控えを作れませんでした。");
        parts.append(text);
    }
    if (!report.not_written.isEmpty()) parts.append(not_written_text(report.not_written));
    if (report.must_end()) parts.append(QStringLiteral("データを失わないよう、ファイルを何も書き換えずに終了します。"));
    return parts.join(QLatin1Char('\r'));
}

QString unreadable_body_text(const QString& shown) {
    return QStringLiteral("メモファイル %1 を読み込めませんでした。ファイルの読み取りの許可を確かめてください。").arg(shown);
}

QString not_written_text(const QStringList& files) {
    QStringList lines;
    for (const QString& f : files) lines.append(QStringLiteral("ファイル %1 を保存できませんでした。").arg(f));
    return lines.join(QLatin1Char('\r'));
}

QString unwritable_text(const QString& box, const QStringList& characters, const QString& then) {
    QStringList shown;
    for (const QString& c : characters) {
        // A blank or an invisible character is named by its code, so the user can find it.
        const char32_t code = c.size() == 2 ? QChar::surrogateToUcs4(c[0], c[1]) : c[0].unicode();
        const bool visible = QChar::isPrint(code) && !QChar::isSpace(code);
        const QString hex = QString::number(uint(code), 16).toUpper().rightJustified(4, QLatin1Char('0'));
        shown.append(visible ? c : QStringLiteral("U+") + hex);
    }
    return box + QStringLiteral("に、ファイルに保存できない文字が含まれています：") + shown.join(QLatin1Char(' ')) +
           QStringLiteral("\rこれらの文字を取り除いてから") + then + QStringLiteral("してください。");
}

QStringList welcome_body_lines() {
    return {
        QStringLiteral("この度は、【ツヅリオ】をご利用下さいまして"),
        QStringLiteral("まことにありがとうございます。"),
        QStringLiteral("ご質問がございましたら、下記でお受け致しますので、宜しくお願い致します。"),
        QString(),
        QStringLiteral("E-mail: support@tzurio.example.jp"),
        QStringLiteral("FAX: 03-0000-0000"),
        QStringLiteral("〒100-0000 東京都千代田区千代田1-1 ツヅリオ工房 サポート係"),
        QString(),
        QStringLiteral("ツヅリオ工房 開発チーム一同"),
    };
}

QString keep_damaged_copy(const QString& path) {
    const std::optional<QByteArray> bytes = read_file(path);
    if (!bytes) return QString();
    QString target = path + QStringLiteral(".damaged");
    for (int n = 2; QFileInfo::exists(target); ++n) {
        // The same damage found at an earlier start is kept once.
        if (read_file(target) == bytes) return target;
        target = path + QStringLiteral(".damaged") + QString::number(n);
    }
    // Copied byte for byte, each write checked: a copy cut short by a full disk is no copy.
    return write_file_atomic(target, *bytes) ? target : QString();
}

}  // namespace tz
