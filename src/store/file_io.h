#pragma once
// Whole-file reading and writing for the data folder. Every write replaces the
// file atomically: a file beside it (name + ".new") is written, every byte of it
// checked and synced, then renamed over the old one, so a crash or a full disk
// leaves the old file or the new one, never a torn or empty one.

#include "store/cp932.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstring>
#include <optional>

namespace tz {

// The file's bytes, or nothing when it does not exist, cannot be read or is not
// a regular file.
std::optional<QByteArray> read_file(const QString& path);

// True when the file is a regular file this process may open for reading;
// never waits (a pipe named like a data file would).
bool can_read_file(const QString& path);

// A file's size and time of change, as they were when this program last
// read or wrote it.
struct FileStamp {
    qint64 size = -1;
    QDateTime modified;
    bool operator==(const FileStamp&) const = default;
};
FileStamp stamp_of(const QString& path);

// Replaces the file with these bytes. False when any byte could not be written;
// the old file is then unchanged and no temporary file is left. Where no new
// file can be made in the folder but the file is writable, it is rewritten in
// place, with its room taken before the first byte is written. `written`, where
// given, takes the new file's stamp before the file takes its place: a change
// made there by another writer right after shows as a change.
bool write_file_atomic(const QString& path, const QByteArray& bytes, FileStamp* written = nullptr);

namespace testing {
// Called, where set, right after read_file() read a file or a write put its
// file in place (another writer's change at that moment, in a test).
inline void (*after_read)(const QString& path) = nullptr;
inline void (*after_replace)(const QString& path) = nullptr;
}  // namespace testing

// Lines of CP932 text: where the text holds any CR, CR LF or a lone CR end a
// line and a lone LF belongs to its line; text without a CR ends lines at LF.
// A last line without a line end still counts.
QStringList split_lines(QByteArrayView bytes);
// How many lines split_lines() gives.
qsizetype count_lines(QByteArrayView bytes);
// Calls f(QByteArrayView) with the bytes of each line in turn, as
// split_lines() cuts them, without a list of them all.
template <typename F>
void for_each_line_bytes(QByteArrayView b, F&& f) {
    const bool lf_ends = !b.contains('\r');
    const char end_byte = lf_ends ? '\n' : '\r';
    const char* p = b.data();
    const qsizetype size = b.size();
    qsizetype start = 0;
    while (start < size) {
        const void* hit = std::memchr(p + start, end_byte, size_t(size - start));
        const qsizetype end = hit ? static_cast<const char*>(hit) - p : size;
        f(b.sliced(start, end - start));
        start = end + 1;
        if (!lf_ends && start < size && p[start] == '\n') ++start;
    }
}
// Calls f(QString) with each line in turn, decoded.
template <typename F>
void for_each_line(QByteArrayView b, F&& f) {
    for_each_line_bytes(b, [&](QByteArrayView line) { f(cp932::decode(line)); });
}
// The lines of a file; nothing when it does not exist or cannot be read.
std::optional<QStringList> read_lines(const QString& path);

// The bytes of lines in the common text form: CP932, CR LF after every line. A
// CR inside a value would split it into two lines; it is written as a blank. A
// lone LF is kept: it was read as part of its line and reads back the same.
QByteArray lines_to_bytes(const QStringList& lines);

// Writes lines in the common text form, atomically.
bool write_lines(const QString& path, const QStringList& lines);

// Many files written in a row: each is replaced atomically as write_file_atomic
// does (a file beside it, renamed over it), but without waiting for the disk
// each time; sync_to_disk(folder) then waits once, before any file that refers
// to them is written.
bool write_file_atomic_unsynced(const QString& path, const QByteArray& bytes);
bool sync_to_disk(const QString& folder);

// The text of a CP932 text body: the bytes without a final CR LF, decoded.
QString body_text_from_bytes(const QByteArray& bytes);

}  // namespace tz
