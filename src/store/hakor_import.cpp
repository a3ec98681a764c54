#include "store/hakor_import.h"

#include "store/changes.h"
#include "store/cp932.h"
#include "store/data_folder.h"
#include "store/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstdint>

namespace tz::hakor {
namespace {

constexpr int kNumbersShown = 5;  // unread bodies named in the end message

QString in_source(const QString& source_folder, const QString& name) { return source_folder + name; }

enum class Kind { File, Folder };
bool is_kind(const QFileInfo& info, Kind kind) { return kind == Kind::File ? info.isFile() : info.isDir(); }

// The name of the entry of the folder that is `name` in any letter case, the exact
// name first; empty when there is none of that kind.
QString entry_name(const QString& source_folder, const QString& name, Kind kind) {
    if (is_kind(QFileInfo(in_source(source_folder, name)), kind)) return name;
    const QDir folder(source_folder.isEmpty() ? QStringLiteral(".") : source_folder);
    const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QFileInfo& info : folder.entryInfoList(all, QDir::Name))
        if (info.fileName().compare(name, Qt::CaseInsensitive) == 0 && is_kind(info, kind)) return info.fileName();
    return QString();
}

QString memo_folder_name(const QString& source_folder) { return entry_name(source_folder, QStringLiteral("memo"), Kind::Folder); }

QString body_name(const QString& body_number) {
    const std::optional<double> n = parse_number(body_number);
    if (!n || *n < 0 || *n != std::floor(*n) || *n >= 1e15) return QString();
    return QStringLiteral("m%1.txt").arg(static_cast<long long>(*n), 7, 10, QLatin1Char('0'));
}

// True when the rich-text reader takes these bytes for RTF: "{\rtf" after any
// blanks, tabs and line ends.
bool reads_as_rtf(QByteArrayView bytes) {
    qsizetype i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n')) ++i;
    return bytes.sliced(i).startsWith("{\\rtf");
}

// A plain RTF document of the text: printable ASCII as it is (\\, \{ and \} escaped),
// a tab as \tab, everything else as \uN with a "?" fallback, and \par after every
// line, a line ending at CR LF, a lone CR or a lone LF.
QByteArray rtf_of_text(QStringView text) {
    QByteArray out = "{\\rtf1\\ansi\\ansicpg932\\uc1 ";
    out.reserve(out.size() + text.size() * 2 + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            out += "\\par\r\n";
        } else if (c == u'\t') {
            out += "\\tab ";
        } else if (c == u'\\' || c == u'{' || c == u'}') {
            out += '\\';
            out += char(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else {
            out += "\\u" + QByteArray::number(int(std::int16_t(c))) + '?';
        }
    }
    out += "\\par\r\n}";
    return out;
}

QByteArray rich_body_from(const QByteArray& text_body) {
    if (!reads_as_rtf(text_body)) return text_body;
    // The text as the text body file holds it, so both modes of the viewer show the same.
    return rtf_of_text(cp932::decode(QByteArrayView(text_body).chopped(2)));
}

}  // namespace

QByteArray rich_body_bytes(const QString& body) { return rich_body_from(cp932::encode(body + QStringLiteral("\r\n"))); }

Index index_from_lines(const QStringList& lines) {
    Index index;
    const qsizetype n = lines.size();
    index.records.reserve(size_t((n + Record::kLines - 1) / Record::kLines));
    for (qsizetype i = 0; i < n; i += Record::kLines) {
        const auto line = [&](int k) { return i + k < n ? lines[i + k] : QString(); };
        index.records.push_back(Record{line(0), line(1), line(2), line(3), line(4), line(5)});
    }
    index.cut_short = n % Record::kLines != 0;
    return index;
}

Index index_from_bytes(const QByteArray& bytes) { return index_from_lines(split_lines(bytes)); }

QString body_text(const QByteArray& bytes) {
    const bool closed = bytes.endsWith("\r\n");
    return cp932::decode(QByteArrayView(bytes).first(bytes.size() - (closed ? 2 : 0)));
}

MemoRecord memo_from(const Record& r, const Value& memo_number) {
    MemoRecord m;
    m.date = Value(r.date);
    m.category = Value(r.category);
    m.title = Value(r.title);
    m.memo_number = memo_number;
    m.created_stamp = Value(r.date);
    m.updated_stamp = Value(r.updated.isEmpty() ? QStringLiteral("00/00/00 00:00:00") : r.updated);
    m.lock_flag = Value(r.marker == u"SECRET" ? QStringLiteral("YES") : QStringLiteral("NO"));
    return m;
}

Missing check_source(const QString& source_folder) {
    if (entry_name(source_folder, QStringLiteral("hakor.ini"), Kind::File).isEmpty()) return Missing::Ini;
    if (entry_name(source_folder, QStringLiteral("hakor.dat"), Kind::File).isEmpty()) return Missing::Dat;
    if (memo_folder_name(source_folder).isEmpty()) return Missing::MemoFolder;
    return Missing::Nothing;
}

QString missing_text(Missing m) {
    switch (m) {
    case Missing::Ini: return QStringLiteral("hakor.iniファイルが見つからないので変換を実行できません。");
    case Missing::Dat: return QStringLiteral("hakor.datファイルが見つからないので変換を実行できません。");
    case Missing::MemoFolder: return QStringLiteral("memoディレクトリが見つからないので変換を実行できません。");
    case Missing::Nothing: break;
    }
    return QString();
}

QString dat_path(const QString& source_folder) {
    const QString name = entry_name(source_folder, QStringLiteral("hakor.dat"), Kind::File);
    return in_source(source_folder, name.isEmpty() ? QStringLiteral("hakor.dat") : name);
}

std::optional<QString> body_path(const QString& source_folder, const QString& body_number) {
    const QString name = body_name(body_number);
    if (name.isEmpty()) return std::nullopt;
    return source_folder + QStringLiteral("memo") + QDir::separator() + name;
}

DatRead read_index(const QString& source_folder) {
    // A FIFO or a device in its place is not opened: a read could wait for ever.
    const std::optional<QByteArray> bytes = read_file(dat_path(source_folder));
    if (!bytes) return {DatProblem::Unreadable, {}};
    if (bytes->contains('\0')) return {DatProblem::NotText, {}};
    return {DatProblem::None, index_from_bytes(*bytes)};
}

QString dat_problem_text(DatProblem p) {
    switch (p) {
    case DatProblem::Unreadable: return QStringLiteral("hakor.datファイルを読み込めないので変換を実行できません。");
    case DatProblem::NotText: return QStringLiteral("hakor.datは【ハコネル】のデータではないので変換を実行できません。");
    case DatProblem::None: break;
    }
    return QString();
}

namespace {
const QString kBackedUp[] = {file_names::index(), file_names::settings(), file_names::categories()};
}

QString make_backups(const MemoStore& store) {
    for (const QString& name : kBackedUp) {
        const std::optional<QByteArray> bytes = read_file(store.file_path(name));
        if (!bytes || !write_file_atomic(store.file_path(QLatin1Char('$') + name), *bytes)) return name;
    }
    return QString();
}

QString backups_made_text() {
    QString text = QStringLiteral("【ハコネル】のデータを読込む前に、以下のファイルをバックアップしました。");
    for (const QString& name : kBackedUp) text += QLatin1Char('\r') + name + QStringLiteral(" ==> $") + name;
    return text;
}

HakorImport::HakorImport(MemoStore& store, QString source_folder, Index index)
    : store_(store), source_(std::move(source_folder)), index_(std::move(index)) {
    const QString memo = memo_folder_name(source_);
    memo_folder_ = in_source(source_, memo.isEmpty() ? QStringLiteral("memo") : memo) + QDir::separator();
    const std::pair<const char*, const char*> leftovers[] = {{"memo1", "m1*.txt.new"}, {"memo2", "m2*.txt.new"}};
    for (const auto& [folder, pattern] : leftovers) {
        const QDir dir(store_.file_path(QLatin1String(folder)));
        for (const QString& name : dir.entryList({QLatin1String(pattern)}, QDir::Files | QDir::Hidden | QDir::System))
            QFile::remove(dir.filePath(name));
    }
}

std::optional<QString> HakorImport::source_body(const QString& body_number) {
    const QString name = body_name(body_number);
    if (name.isEmpty()) return std::nullopt;
    if (QFileInfo(memo_folder_ + name).isFile()) return memo_folder_ + name;
    if (!memo_names_) {
        // Listed once: a folder copied from a Windows disk may name every body in upper case.
        // Of names that differ only in case, the first in name order is kept.
        memo_names_.emplace();
        const QDir folder(memo_folder_);
        for (const QString& entry : folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::Reversed))
            memo_names_->insert(entry.toLower(), entry);
    }
    return memo_folder_ + memo_names_->value(name.toLower(), name);
}

HakorImport::Step HakorImport::import_next() {
    const Record& r = index_.records[size_t(next_)];
    if (store_.table.count() >= MemoTable::kCreateLimit || !store_.can_number_new_memo()) return Step::MemoLimit;

    MemoRecord m = memo_from(r, store_.next_memo_number());
    // 0, or an empty line of a record cut short, means the memo has no body file.
    QString body;
    const QString number_text = r.body_number.trimmed();
    if (!number_text.isEmpty() && parse_number(number_text) != 0.0) {
        // Only a regular file is read: a FIFO named like a body file would make the read wait for ever.
        const std::optional<QString> path = source_body(r.body_number);
        const std::optional<QByteArray> bytes = path ? read_file(*path) : std::nullopt;
        if (bytes)
            body = body_text(*bytes);
        else
            unread_bodies_.append(number_text.left(20));
    }
    // Both body files are in place before the memo joins the table; a memo whose
    // body could not be written is left out (its number is not given again).
    const QByteArray text_bytes = cp932::encode(body + QStringLiteral("\r\n"));
    const QString paths[] = {store_.text_body_path(m.memo_number), store_.rich_body_path(m.memo_number)};
    const QByteArray bytes_of[] = {text_bytes, rich_body_from(text_bytes)};
    for (int i = 0; i < 2; ++i) {
        const QString& path = paths[i];
        if (!write_file_atomic_unsynced(path, bytes_of[i])) {
            if (path != paths[0]) QFile::remove(paths[0]);
            unwritten_body_ = path.mid(store_.app_folder().size());  // memo2/m2NNNNNN.txt
            return Step::BodyNotWritten;
        }
    }
    ++next_;
    const QString category = r.category;
    store_.table.append(std::move(m));
    // An empty category (an empty line, or a record cut short) is no entry of the list.
    if (!category.isEmpty() && !store_.categories.has_memo_category(category)) {
        if (store_.categories.count() >= CategoryList::kAddLimit) return Step::CategoryLimit;
        store_.categories.append(category);
        added_.append(category);
    }
    return Step::Imported;
}

QStringList HakorImport::finish(bool completed) {
    return finish_import(store_, completed, next_ > 0, !added_.isEmpty()).not_written;
}

QString HakorImport::notes() const {
    QStringList notes;
    if (index_.cut_short)
        notes.append(QStringLiteral("hakor.datは記録の途中で終わっていました。最後の記録は、欠けていた行を空にして読み込みました。"));
    if (!unread_bodies_.isEmpty()) {
        QStringList shown = unread_bodies_.mid(0, kNumbersShown);
        if (unread_bodies_.size() > kNumbersShown) shown.append(QStringLiteral("…"));
        notes.append(QStringLiteral("本文ファイルを読めなかったメモが%1件あり、本文を空にしました（本文番号 %2）。")
                         .arg(unread_bodies_.size())
                         .arg(shown.join(QStringLiteral(", "))));
    }
    return notes.join(QLatin1Char('\r'));
}

QString HakorImport::end_text() const {
    const QString n = notes();
    return QStringLiteral("変換が終了しました。") + (n.isEmpty() ? QString() : QLatin1Char('\r') + n);
}

QString HakorImport::end_not_saved_text(const QStringList& not_written) const {
    const QString n = notes();
    return not_written_text(not_written) +
           QStringLiteral("\r【ハコネル】のデータは読み込みましたが、上記のファイルは保存されていません。") +
           (n.isEmpty() ? QString() : QLatin1Char('\r') + n);
}

}  // namespace tz::hakor
