#pragma once
// Bringing in the memos of 【ハコネル】 from the folder it is installed in:
// reading its index hakor.dat and its body files, the backups made before,
// and appending each record as a new memo of this memo book. The import
// window only drives a HakorImport record by record and shows its progress.

#include "store/memo_store.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tz::hakor {

// One record of hakor.dat: six lines, taken as they stand.
struct Record {
    QString date;         // also the created stamp
    QString category;
    QString title;
    QString body_number;  // "0": no body file
    QString updated;      // yy/mm/dd hh:nn:ss, or empty
    QString marker;       // "SECRET" locks
    static constexpr int kLines = 6;
};

struct Index {
    std::vector<Record> records;
    bool cut_short = false;  // the file ended inside its last record
};

// Every record of the lines; a last record cut short gets empty missing lines.
Index index_from_lines(const QStringList& lines);
// The records of hakor.dat's bytes, its lines cut as the data files' are.
Index index_from_bytes(const QByteArray& bytes);

// The body text of a predecessor body file: its bytes without the closing CR LF
// (other last bytes are kept), decoded.
QString body_text(const QByteArray& bytes);

// The new memo a record becomes, numbered memo_number.
MemoRecord memo_from(const Record& r, const Value& memo_number);

// The rich body file of an imported memo whose body is this text: the bytes of its
// text body file (the text and CR LF), unless a rich-text reader would take those
// for RTF (an RTF header first, after blanks and line ends); then an RTF document
// holding that same text, so that it is shown as it stands.
QByteArray rich_body_bytes(const QString& body);

// What the source folder lacks, checked in this order. The names are found in any
// letter case when the exact name is missing (a folder copied from a Windows disk
// may hold HAKOR.DAT); only a regular file counts as a file.
enum class Missing { Nothing, Ini, Dat, MemoFolder };
Missing check_source(const QString& source_folder);
QString missing_text(Missing m);

// source_folder ends in a separator. hakor.dat as found in the folder, or under
// its own name when there is none.
QString dat_path(const QString& source_folder);
// memo/m + the number in seven digits + .txt; nothing when line 4 is not a whole number 0 or more.
std::optional<QString> body_path(const QString& source_folder, const QString& body_number);

// hakor.dat read whole, before anything is changed. A file that cannot be read,
// or that holds NUL bytes (no text file does: it is not 【ハコネル】's data), is
// refused and gives no records.
enum class DatProblem { None, Unreadable, NotText };
struct DatRead {
    DatProblem problem = DatProblem::None;
    Index index;
};
DatRead read_index(const QString& source_folder);
QString dat_problem_text(DatProblem p);

// Copies tzurio.dat, tzurio.ini and bunrui.dat to $tzurio.dat, $tzurio.ini and
// $bunrui.dat, each replaced atomically. The name of the first file that could
// not be copied (then no later backup is made), or empty.
QString make_backups(const MemoStore& store);
QString backups_made_text();

class HakorImport {
public:
    enum class Step { Imported, MemoLimit, CategoryLimit, BodyNotWritten };

    // Removes the temporary body files (m1NNNNNN.txt.new, m2NNNNNN.txt.new) that a
    // run killed while writing left in memo1 and memo2.
    HakorImport(MemoStore& store, QString source_folder, Index index);

    int total() const { return int(index_.records.size()); }
    int done() const { return next_; }
    bool at_end() const { return next_ >= total(); }

    // Appends the next record as a memo with both body files; a new category is
    // added to the list (its file is written by finish()). At a limit nothing is
    // added; when a body file cannot be written the memo is added and the run stops.
    Step import_next();

    // The import's end on the store (finish_import): the memo index, re-sorted
    // first when `completed`, the category file and the settings file. The
    // names of files not written.
    QStringList finish(bool completed);

    const QStringList& added_categories() const { return added_; }
    // The body file that could not be written, relative to the application folder.
    const QString& unwritten_body() const { return unwritten_body_; }
    // What could not be taken over as it stood: a cut last record, unread bodies.
    QString notes() const;
    // "変換が終了しました。", with the notes.
    QString end_text() const;
    // The end of a run that imported every record but could not save these files:
    // which ones, that they are not saved, and the notes.
    QString end_not_saved_text(const QStringList& not_written) const;

private:
    MemoStore& store_;
    // The body file of a record's line 4, found in any letter case.
    std::optional<QString> source_body(const QString& body_number);

    QString source_;
    QString memo_folder_;                                // the source's memo folder, as found
    std::optional<QHash<QString, QString>> memo_names_;  // its entries by lower-case name, once needed
    Index index_;
    int next_ = 0;
    QStringList added_;
    QStringList unread_bodies_;  // line 4 of records whose body file could not be read
    QString unwritten_body_;
};

}  // namespace tz::hakor
