#pragma once
// One running copy per application folder. The lock is a file in the folder
// that names the running process and its computer; a lock left by a copy that
// crashed or was killed on this computer names a process that is gone and does
// not block the next start. A lock from another computer (a folder carried or
// synced while a copy ran there) cannot be judged from here: the user decides.

#include <QDateTime>
#include <QString>
#include <memory>

class QLockFile;

namespace tz {

class Platform;

class SingleInstance {
public:
    enum class State { Acquired, HeldHere, HeldElsewhere };

    explicit SingleInstance(const QString& app_folder);
    ~SingleInstance();
    // Acquired when no other copy runs on this folder; this copy then holds the lock.
    State acquire();
    // The computer named by a lock held elsewhere (empty when the lock names
    // none), and when the lock was last written.
    const QString& holder() const { return holder_; }
    const QString& path() const { return path_; }
    const QDateTime& held_since() const { return since_; }
    // Removes the other computer's lock and takes it; true when this copy holds it.
    bool take_over();

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    QString holder_;
    QDateTime since_;
};

// The message a second copy shows before it ends.
QString already_running_text();
// The question for a lock from another computer.
QString held_elsewhere_text(const QString& holder, const QDateTime& since);

// Takes the folder for this copy: true to go on. A copy running here is told
// and ends; a lock from another computer asks whether to open the folder anyway.
bool take_folder(SingleInstance& instance, Platform& platform);

}  // namespace tz
