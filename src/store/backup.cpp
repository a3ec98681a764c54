#include "store/backup.h"

#include "store/data_folder.h"
#include "store/file_io.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <iterator>
#include <mutex>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace tz::backup {
namespace {

QString absolute(const QString& app_folder) { return QDir::cleanPath(QDir(app_folder).absolutePath()); }

bool stopped(const std::atomic<bool>* stop) { return stop && stop->load(); }

// Backup folders by name, oldest first; a folder still being assembled starts with a dot.
QStringList backups_in(const QDir& folder) {
    return folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

QString folder_of(const QString& app_folder) {
    const QByteArray id = QCryptographicHash::hash(absolute(app_folder).toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tzurio/backups/") +
           QString::fromLatin1(id);
}

QString name_file() { return QStringLiteral("data-folder.txt"); }

QString daily_name(const QDate& day) { return day.toString(QStringLiteral("yyyyMMdd")); }

QString moment_name(const QDateTime& at) { return at.toString(QStringLiteral("yyyyMMdd-HHmmss")); }

bool has_daily(const QString& app_folder, const QDate& day) {
    return QFileInfo(QDir(folder_of(app_folder)).filePath(daily_name(day))).isDir();
}

LinkFile hard_link() {
    return [](const QString& target, const QString& link_path) {
#ifdef Q_OS_UNIX
        return ::link(QFile::encodeName(target).constData(), QFile::encodeName(link_path).constData()) == 0;
#else
        Q_UNUSED(target);
        Q_UNUSED(link_path);
        return false;
#endif
    };
}

Result make(const QString& app_folder, const QString& name, const LinkFile& link, const std::atomic<bool>* stop) {
    // One backup at a time: the day's backup runs on a worker while a bulk
    // deletion may ask for its own, and both write the name file and prune.
    static std::mutex one_at_a_time;
    const std::lock_guard<std::mutex> lock(one_at_a_time);
    Result r;
    QDir home(folder_of(app_folder));
    const QString part = QStringLiteral(".") + name + QStringLiteral(".part");
    if (!home.mkpath(QStringLiteral(".")) || !write_file_atomic(home.filePath(name_file()), absolute(app_folder).toUtf8() + '\n')) {
        r.error = QStringLiteral("バックアップのフォルダ %1 を作れません。").arg(home.path());
        return r;
    }
    QDir(home.filePath(part)).removeRecursively();  // what an earlier run left unfinished
    QDir out(home.filePath(part));
    const QDir data(app_folder);

    // The bodies, linked; where the file system cannot link, none are kept.
    // Nor where the body folders refuse new files: a body is then written in
    // place, which would change the backup's copy as well. They are linked
    // before the data files are copied, and those that came meanwhile after:
    // a memo deleted while this runs leaves a body no memo names, never a memo
    // named without its body.
    r.bodies = QFileInfo(data.filePath(QStringLiteral("memo1"))).isWritable() &&
               QFileInfo(data.filePath(QStringLiteral("memo2"))).isWritable();
    QStringList seen[2];  // the names each body folder had at the first pass, in code-unit order
    const auto link_bodies = [&] {  // false when stopped
        for (int i = 0; i < 2; ++i) {
            const QString folder = i == 0 ? QStringLiteral("memo1") : QStringLiteral("memo2");
            if (!r.bodies || !out.mkpath(folder)) {
                r.bodies = false;
                break;
            }
            const QDir from(data.filePath(folder)), to(out.filePath(folder));
            QStringList names = from.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
            std::sort(names.begin(), names.end());
            QStringList fresh;
            std::set_difference(names.begin(), names.end(), seen[i].begin(), seen[i].end(), std::back_inserter(fresh));
            if (seen[i].isEmpty()) seen[i] = std::move(names);
            for (const QString& body : fresh) {
                if (stopped(stop)) return false;
                if (body.endsWith(QLatin1String(".new"))) continue;  // a write under way, not a body
                const QString target = from.filePath(body);
                // A body removed meanwhile is simply not there.
                if (!link(target, to.filePath(body)) && QFileInfo::exists(target)) {
                    r.bodies = false;
                    break;
                }
            }
        }
        return true;
    };

    const auto stopped_here = [&] {  // what it made so far is not kept
        out.removeRecursively();
        return r;
    };
    bool ok = home.mkpath(part);
    if (ok && !link_bodies()) return stopped_here();
    for (const QString& file : {file_names::settings(), file_names::index(), file_names::categories(), file_names::keywords()}) {
        if (!ok) break;
        const std::optional<QByteArray> bytes = read_file(data.filePath(file));
        ok = bytes && write_file_atomic(out.filePath(file), *bytes);
    }
    if (!ok) {
        out.removeRecursively();
        r.error = QStringLiteral("データファイルをバックアップにコピーできませんでした。");
        return r;
    }
    if (!link_bodies()) return stopped_here();
    if (!r.bodies) {
        QDir(out.filePath(QStringLiteral("memo1"))).removeRecursively();
        QDir(out.filePath(QStringLiteral("memo2"))).removeRecursively();
    }

    // Whole now: it takes its name, replacing one of the same name, and the oldest go.
    QDir(home.filePath(name)).removeRecursively();
    if (!home.rename(part, name)) {
        out.removeRecursively();
        r.error = QStringLiteral("バックアップ %1 を作れませんでした。").arg(home.filePath(name));
        return r;
    }
    QStringList kept = backups_in(home);
    while (kept.size() > kKept) QDir(home.filePath(kept.takeFirst())).removeRecursively();
    r.made = true;
    r.folder = home.filePath(name);
    return r;
}

}  // namespace tz::backup
