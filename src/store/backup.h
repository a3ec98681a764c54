#pragma once
// Backups of a data folder, kept outside it (so that a folder the user copies
// or a sync tool mirrors does not carry them) in the user's data folder:
// XDG_DATA_HOME/tzurio/backups/ID/, where ID names the data folder. Each backup
// is a complete data folder: the four data files copied, and memo1/ and memo2/
// with every body file hard-linked. A body file is only ever replaced by a new
// file renamed over it, or removed, so a link keeps the old body at no cost.
// The newest seven backups are kept.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <atomic>
#include <functional>

namespace tz::backup {

inline constexpr int kKept = 7;

// The folder of the data folder's backups, and the file in it that names the data folder.
QString folder_of(const QString& app_folder);
QString name_file();

// The name of the day's backup, and of one made at a given moment (before a bulk deletion).
QString daily_name(const QDate& day);
QString moment_name(const QDateTime& at);
// True when the data folder has the day's backup.
bool has_daily(const QString& app_folder, const QDate& day);

// Makes a link at `link_path` to `target`; false when the file system refuses.
using LinkFile = std::function<bool(const QString& target, const QString& link_path)>;
LinkFile hard_link();

struct Result {
    bool made = false;
    bool bodies = false;  // the body folders are in it (hard links could be made)
    QString folder;       // the backup's folder
    QString error;        // what went wrong, when not made
};

// Makes the backup `name` of the data folder and removes all but the newest
// kKept. Nothing is written into the data folder. Where a body cannot be
// linked (another file system), the four data files alone are kept. A backup
// is assembled under a temporary name and renamed when whole, so a backup
// that was cut short never counts. `stop`, when set, ends it early (unmade).
Result make(const QString& app_folder, const QString& name, const LinkFile& link = hard_link(),
            const std::atomic<bool>* stop = nullptr);

}  // namespace tz::backup
