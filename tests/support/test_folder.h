#pragma once
// Helpers for tests that work on a data folder of their own.

#include "store/memo_store.h"

#include <QByteArray>
#include <QMap>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <sys/resource.h>

namespace tz::test {

QByteArray read_bytes(const QString& path);
void write_bytes(const QString& path, const QByteArray& bytes);
// Lines in the common text form (CP932, CR LF after each).
QByteArray crlf_lines(const QStringList& lines);
// A rich body holding one paragraph of plain text.
QByteArray tiny_rtf(const QString& text);

// A clock that stands at a given moment and moves on only when told.
struct FixedClock {
    QDateTime now = QDateTime(QDate(2026, 12, 5), QTime(21, 52, 0));
    Clock clock() { return [this] { return now; }; }
};

// A memo record with the given fields; stamps and flag default to plain values.
MemoRecord memo(const QString& category, const QString& title, int number,
                const QString& updated = QStringLiteral("c6/12/05 21:52:00"), bool locked = false);

// While it lives, files are reached with an ordinary user's rights (the
// tests may run as root, to whom file modes do not apply). The folders it
// works in must let that user in.
struct AsOrdinaryUser {
    explicit AsOrdinaryUser(bool when = true);
    ~AsOrdinaryUser();
    Q_DISABLE_COPY(AsOrdinaryUser)

private:
    bool switched_ = false;
};

// While it lives, no file this process writes may grow past `bytes`: a write
// beyond fails as on a full disk (EFBIG, with SIGXFSZ ignored).
struct FileSizeLimit {
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    Q_DISABLE_COPY(FileSizeLimit)

private:
    rlimit saved_{};
};

// The names and bytes of every file below a folder, to see that nothing changed.
QMap<QString, QByteArray> folder_contents(const QString& folder);

// Makes a file impossible to write or replace: a folder stands in its place.
void block_file(const QString& path);

// Writes a data folder holding these memos (index, settings with counter, categories, keywords).
void write_folder(const QString& folder, const std::vector<MemoRecord>& memos, const QStringList& categories, int counter);

}  // namespace tz::test
