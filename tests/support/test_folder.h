#pragma once
// Helpers for tests that work on a data folder of their own.

#include "store/memo_store.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

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

// Writes a data folder holding these memos (index, settings with counter, categories, keywords).
void write_folder(const QString& folder, const std::vector<MemoRecord>& memos, const QStringList& categories, int counter);

}  // namespace tz::test
