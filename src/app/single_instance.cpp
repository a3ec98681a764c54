#include "app/single_instance.h"

#include "store/log.h"
#include "ui/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

namespace tz {
namespace {

// A lock names its process, program, computer, the computer's id and its boot,
// a line each. True when the computer is not this one; a lock that names none
// cannot be judged and counts as another's.
bool from_another_computer(const QByteArray& lock, QString& host) {
    const QList<QByteArray> lines = lock.split('\n');
    host = lines.size() > 2 ? QString::fromUtf8(lines[2]).trimmed() : QString();
    const QByteArray id = lines.size() > 3 ? lines[3].trimmed() : QByteArray();
    if (!id.isEmpty()) return id != QSysInfo::machineUniqueId();
    return host.isEmpty() || host != QSysInfo::machineHostName();
}

}  // namespace

SingleInstance::SingleInstance(const QString& app_folder)
    : path_(QDir(app_folder).filePath(QStringLiteral("tzurio.lock"))), lock_(std::make_unique<QLockFile>(path_)) {
    // Only a lock whose process is gone is stale, however old it is.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::State SingleInstance::acquire() {
    if (lock_->tryLock(0)) return State::Acquired;
    // A folder where no lock can be made at all (read-only) does not stop the program.
    if (lock_->error() != QLockFile::LockFailedError) return State::Acquired;
    QFile f(path_);
    if (!f.open(QIODevice::ReadOnly) || !from_another_computer(f.read(4096), holder_)) return State::HeldHere;
    since_ = QFileInfo(path_).lastModified();
    return State::HeldElsewhere;
}

bool SingleInstance::take_over() { return lock_->removeStaleLockFile() && lock_->tryLock(0); }

QString already_running_text() { return QStringLiteral("【ツヅリオ】はすでに起動されています。"); }

QString held_elsewhere_text(const QString& holder, const QDateTime& since) {
    const QString who = holder.isEmpty() ? QStringLiteral("別のコンピュータ") : QStringLiteral("別のコンピュータ「%1」").arg(holder);
    return QStringLiteral("このデータフォルダは、%1の【ツヅリオ】が使用中になっています（%2 から）。\r"
                          "フォルダをコピーしたときや、そのコンピュータの電源が切れたときにも、このようになります。\r\r"
                          "そのコンピュータで【ツヅリオ】が動いていないことを確かめてから、開いてください。\r"
                          "このまま開きますか?")
        .arg(who, since.toString(QStringLiteral("yyyy/MM/dd HH:mm")));
}

bool take_folder(SingleInstance& instance, Platform& platform) {
    switch (instance.acquire()) {
    case SingleInstance::State::Acquired: return true;
    case SingleInstance::State::HeldHere:
        qCWarning(lc_store, "%s: held by another copy on this computer", qPrintable(instance.path()));
        platform.message(nullptr, already_running_text(), QStringLiteral("ツヅリオ"));
        return false;
    case SingleInstance::State::HeldElsewhere: break;
    }
    const QString question = held_elsewhere_text(instance.holder(), instance.held_since());
    if (platform.message(nullptr, question, QStringLiteral("ツヅリオ"), MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes) {
        qCWarning(lc_store, "%s: held by %s, left to it", qPrintable(instance.path()), qPrintable(instance.holder()));
        return false;
    }
    if (instance.take_over()) return true;
    platform.message(nullptr, already_running_text(), QStringLiteral("ツヅリオ"));
    return false;
}

}  // namespace tz
