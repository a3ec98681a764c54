#include "app/single_instance.h"

#include <QDir>
#include <QLockFile>

namespace tz {

SingleInstance::SingleInstance(const QString& app_folder)
    : lock_(std::make_unique<QLockFile>(QDir(app_folder).filePath(QStringLiteral("tzurio.lock")))) {
    // Only a lock whose process is gone is stale, however old it is.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    if (lock_->tryLock(0)) return true;
    // A folder where no lock can be made at all (read-only) does not stop the program.
    return lock_->error() != QLockFile::LockFailedError;
}

QString already_running_text() { return QStringLiteral("【ツヅリオ】はすでに起動されています。"); }

}  // namespace tz
