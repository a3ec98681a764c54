#pragma once
// The data folder: reading the four data files into the store, writing them
// back, the body files and the welcome memo. Every write is atomic and reports
// failure; every read stops at the end of the file and at the table's bounds.

#include "store/memo_store.h"

#include <QString>
#include <QStringList>

namespace tz {

namespace file_names {
inline QString settings() { return QStringLiteral("tzurio.ini"); }
inline QString index() { return QStringLiteral("tzurio.dat"); }
inline QString categories() { return QStringLiteral("bunrui.dat"); }
inline QString keywords() { return QStringLiteral("kensaku.dat"); }
}  // namespace file_names

// What a load found wrong with the files, for one message to the user.
struct LoadReport {
    struct Damage {
        QString file;       // e.g. "tzurio.dat"
        QString kept_copy;  // where the damaged file was copied, empty if the copy failed
    };
    std::vector<Damage> damaged;
    QStringList not_written;  // files that had to be created and could not be
    QStringList unreadable;   // files that are there but could not be read
    bool ok() const { return damaged.empty() && not_written.empty() && unreadable.empty(); }
    // A file that cannot be read, or a damaged one whose copy could not be
    // kept, would be lost by the next write: the program must end without
    // writing anything.
    bool must_end() const;
};

// The bytes of each file as the store holds it now.
QByteArray settings_bytes(const Settings& s);
QByteArray index_bytes(const MemoTable& t);
QByteArray categories_bytes(const CategoryList& c);
QByteArray keywords_bytes(const KeywordHistory& k);

// Reads a data file (by name) and remembers it as the version this program knows.
std::optional<QByteArray> read_data_file(MemoStore& store, const QString& name);
// Writes a data file. When another writer changed it since this program last
// read or wrote it, that version is first kept beside it ("tzurio.dat.other-
// 20261207-153000") and named in store.other_versions_kept; when it cannot be
// kept, nothing is written. False when the file was not written.
bool write_data_file(MemoStore& store, const QString& name, const QByteArray& bytes);
// The message naming the other writers' versions kept since it was last
// given, or empty; the list is emptied.
QString take_other_versions_text(MemoStore& store);

// Writes one file; false when it could not be written (the old file stays).
bool write_settings(MemoStore& store);
bool write_index(MemoStore& store);
bool write_categories(MemoStore& store);
bool write_keywords(MemoStore& store);

// Writes all four files in the exit order; returns the names not written.
QStringList write_all(MemoStore& store);

// The text body file: the text, CR LF. Paragraph breaks in text are CR LF already.
bool write_text_body(const MemoStore& store, const Value& memo_number, const QString& text);

// The name the user knows a data file by: its path inside the application folder.
QString shown_name(const MemoStore& store, const QString& path);

// A body file that is there but cannot be read (its permissions, or not a
// regular file): shown as such, and never written over by a correction.
bool body_file_unreadable(const QString& path);

// Removes the body files of memos that have left the table. A number still
// carried by a memo in the table (a damaged index may repeat one) keeps its
// files, and a field that is no memo number names none.
void remove_body_files(const MemoStore& store, const std::vector<Value>& memo_numbers);

// The memo index as its file holds it, before it joins a store: its first
// 30000 memos, the highest memo number among them (the text of the first
// memo that has it; none when no memo has a number) and what is wrong with
// it. The start-up reads it on a second thread while the window is built.
struct IndexFile {
    QString path;
    DiskCopy disk;      // its size and time before the read, and its bytes' hash
    bool read = false;  // false: not there, or not readable
    int error = 0;      // then the system's reason
    MemoTable table;
    qsizetype lines = 0;
    bool bad_number = false;  // a memo whose number is no memo number
    Value highest;
};
IndexFile read_index_file(const QString& path);

// Start-up, the store's part, in this order: body folders; settings (read, or
// first-start values written); welcome memo when there is no index; the index
// (raising the counter); categories (created when missing); keywords (created
// when missing). first_start gives the settings for a folder without tzurio.ini.
// Loading stops, before anything is written where it can, as soon as the
// report says the program must end. `early`, where given, is the index as
// read before; it is taken (left empty) when it was read from this folder's file.
void load_data_folder(MemoStore& store, const Settings& first_start, LoadReport& report,
                      std::optional<IndexFile>* early = nullptr);

// The message that tells the user what a load found, or empty when all was well.
QString load_report_text(const LoadReport& report);
// The message for a body file that is there but cannot be read.
QString unreadable_body_text(const QString& shown);
// The message for files that could not be written.
QString not_written_text(const QStringList& files);
// The message for a box whose text holds characters the files cannot keep
// (cp932::unwritable), named one by one; `then` is what the user does next
// ("登録", "入力").
QString unwritable_text(const QString& box, const QStringList& characters, const QString& then);

// The body lines of the welcome memo.
QStringList welcome_body_lines();

// Keeps a copy of a damaged file beside it ("tzurio.dat.damaged", then
// ".damaged2" ...) so nothing is lost when the file is written again.
QString keep_damaged_copy(const QString& path);

}  // namespace tz
