#include "store/file_io.h"

#include "store/bulk_memory.h"
#include "store/cp932.h"
#include "store/log.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace tz {
namespace {

#ifdef Q_OS_UNIX

// Leaves a line with the system's reason for a write that failed; false.
bool write_failed(const QByteArray& file, const char* step, int error) {
    qCWarning(lc_store, "%s: %s failed: %s", file.constData(), step, std::strerror(error));
    return false;
}

// Every byte reaches the file at offset `at`, or false. A library's buffered
// write can report success for bytes the disk then refuses; these go straight
// to the system, and each call's count is checked.
bool write_fully(int fd, QByteArrayView bytes, off_t at) {
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::pwrite(fd, p, size_t(std::min<qsizetype>(left, qsizetype(1) << 30)), at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= n;
        at += n;
    }
    return true;
}

FileStamp stamp_of_open(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return {};
    return {qint64(st.st_size), QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000)};
}

bool sync_folder_of(const QByteArray& file) {
    const int slash = file.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : file.left(slash);
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot sync a folder
    ::close(fd);
    return ok;
}

// Where the folder refuses new files but the file may be written: the room
// for the new bytes is taken first, so the disk cannot run out half-way; a
// write that fails all the same puts the old bytes back.
bool rewrite_in_place(const QByteArray& target, const QByteArray& bytes, bool sync, FileStamp* written) {
    const std::optional<QByteArray> old = read_file(QFile::decodeName(target));
    if (!old) return write_failed(target, "reading before writing in place", errno);
    const int fd = ::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return write_failed(target, "opening to write in place", errno);
    // A file with other links (a backup's copy of a body) would change there
    // too: it is not written over.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_nlink > 1) {
        ::close(fd);
        return write_failed(target, "writing in place a file with other links", EMLINK);
    }
    // posix_fallocate gives its reason back rather than in errno.
    int error = bytes.size() <= old->size() ? 0 : ::posix_fallocate(fd, 0, off_t(bytes.size()));
    bool ok = error == 0;
    if (ok) ok = write_fully(fd, bytes, 0) && ::ftruncate(fd, off_t(bytes.size())) == 0 && (!sync || ::fsync(fd) == 0);
    if (!ok) {
        if (error == 0) error = errno;
        [[maybe_unused]] const bool restored = write_fully(fd, *old, 0) && ::ftruncate(fd, off_t(old->size())) == 0;
        ::close(fd);
        return write_failed(target, "writing in place", error);
    }
    if (written) *written = stamp_of_open(fd);
    return ::close(fd) == 0 || write_failed(target, "closing", errno);
}

#endif

// The file is replaced only when every byte of the new one reached the disk:
// the bytes go to a file beside it, which is checked, (synced,) closed and
// renamed over the old one. On any failure the old file stays as it was and
// the new one is removed.
bool replace_file(const QString& path, const QByteArray& bytes, bool sync, FileStamp* written = nullptr) {
#ifdef Q_OS_UNIX
    // A link is followed: the file it names is the one replaced.
    const QFileInfo info(path);
    const QString real = info.isSymLink() ? info.symLinkTarget() : path;
    const QByteArray target = QFile::encodeName(real);
    const QByteArray temp = target + ".new";
    struct stat old {};
    const bool existed = ::stat(target.constData(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode)) return write_failed(target, "replacing what is not a file", EISDIR);
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        if ((errno == EACCES || errno == EPERM) && existed) return rewrite_in_place(target, bytes, sync, written);
        return write_failed(temp, "creating", errno);
    }
    bool ok = (!existed || ::fchmod(fd, old.st_mode & 07777) == 0 || errno == EPERM) && write_fully(fd, bytes, 0) &&
              (!sync || ::fsync(fd) == 0);
    int error = ok ? 0 : errno;
    if (ok && written) *written = stamp_of_open(fd);
    if (::close(fd) != 0 && ok) ok = false, error = errno;
    if (ok && ::rename(temp.constData(), target.constData()) != 0) ok = false, error = errno;
    if (!ok) {
        ::unlink(temp.constData());
        return write_failed(target, "writing", error);
    }
    if (testing::after_replace) testing::after_replace(path);
    return !sync || sync_folder_of(target);
#else
    Q_UNUSED(sync);
    QSaveFile f(path);
    const auto stamped = [&] {
        if (written) *written = stamp_of(path);
        return true;
    };
    f.setDirectWriteFallback(true);
    // Unbuffered: a write the disk refuses is seen here, not lost in a flush.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    if (f.write(bytes) != bytes.size() || f.error() != QFileDevice::NoError) {
        f.cancelWriting();
        return false;
    }
    return f.commit() && stamped();
#endif
}

}  // namespace

#ifdef Q_OS_UNIX
namespace {
// The file opened for reading when it is a regular file, else -1. Only a
// regular file is read: a pipe or device named like a data file would wait for
// ever.
int open_regular(const QString& path, struct stat& st) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}
}  // namespace
#endif

bool can_read_file(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat st {};
    const int fd = open_regular(path, st);
    if (fd < 0) return false;
    ::close(fd);
    return true;
#else
    QFile f(path);
    return QFileInfo(path).isFile() && f.open(QIODevice::ReadOnly);
#endif
}

std::optional<QByteArray> read_file(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat st {};
    const int fd = open_regular(path, st);
    if (fd < 0) return std::nullopt;
    // Read straight into the result, in one call where the size holds; a file
    // that grows meanwhile is read on to its end.
    QByteArray bytes(qsizetype(st.st_size) + 1, Qt::Uninitialized);
    bulk::advise(bytes.data(), size_t(bytes.size()));  // the memo index runs to megabytes
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) bytes.resize(bytes.size() * 2 + 4096);
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        got += n;
    }
    ::close(fd);
    bytes.truncate(got);
    if (testing::after_read) testing::after_read(path);
    return bytes;
#else
    if (!QFileInfo(path).isFile()) return std::nullopt;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) return std::nullopt;
    return bytes;
#endif
}


bool write_file_atomic(const QString& path, const QByteArray& bytes, FileStamp* written) {
    return replace_file(path, bytes, true, written);
}

FileStamp stamp_of(const QString& path) {
    const QFileInfo info(path);
    return {info.size(), info.lastModified()};
}

QStringList split_lines(QByteArrayView b) {
    QStringList lines;
    lines.reserve(count_lines(b));
    for_each_line(b, [&](QString line) { lines.append(std::move(line)); });
    return lines;
}

qsizetype count_lines(QByteArrayView b) {
    const char end_byte = b.contains('\r') ? '\r' : '\n';
    qsizetype lines = 0;
    const char* const end = b.data() + b.size();
    for (const char* at = b.data(); at < end; ++at, ++lines) {
        at = static_cast<const char*>(std::memchr(at, end_byte, size_t(end - at)));
        if (!at) return lines + 1;  // a last line without its end
        if (end_byte == '\r' && at + 1 < end && at[1] == '\n') ++at;
    }
    return lines;
}

bool write_file_atomic_unsynced(const QString& path, const QByteArray& bytes) { return replace_file(path, bytes, false); }

bool sync_to_disk(const QString& folder) {
#if defined(Q_OS_LINUX)
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    const bool ok = ::syncfs(fd) == 0;
    ::close(fd);
    return ok;
#elif defined(Q_OS_UNIX)
    Q_UNUSED(folder);
    ::sync();
    return true;
#else
    Q_UNUSED(folder);
    return true;
#endif
}

std::optional<QStringList> read_lines(const QString& path) {
    std::optional<QByteArray> bytes = read_file(path);
    if (!bytes) return std::nullopt;
    return split_lines(*bytes);
}

QByteArray lines_to_bytes(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines) {
        QString one = line;
        // A CR would end the line early; a lone LF stays, as it was read.
        one.replace(QLatin1String("\r\n"), QLatin1String(" "));
        one.replace(QLatin1Char('\r'), QLatin1Char(' '));
        out += cp932::encode(one);
        out += "\r\n";
    }
    return out;
}

bool write_lines(const QString& path, const QStringList& lines) {
    return write_file_atomic(path, lines_to_bytes(lines));
}

QString body_text_from_bytes(const QByteArray& bytes) {
    return cp932::decode(QByteArrayView(bytes).first(std::max<qsizetype>(0, bytes.size() - 2)));
}

}  // namespace tz
