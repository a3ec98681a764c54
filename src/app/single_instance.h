#pragma once
// One running copy per application folder. The lock is a file in the folder
// that names the running process; a lock left by a copy that crashed or was
// killed names a process that is gone and does not block the next start.

#include <QString>
#include <memory>

class QLockFile;

namespace tz {

class SingleInstance {
public:
    explicit SingleInstance(const QString& app_folder);
    ~SingleInstance();
    // True when no other copy runs on this folder; this copy then holds the lock.
    bool acquire();

private:
    std::unique_ptr<QLockFile> lock_;
};

// The message a second copy shows before it ends.
QString already_running_text();

}  // namespace tz
