#include "store/file_io.h"

#include "store/cp932.h"

#include <QFile>
#include <QSaveFile>
#include <filesystem>
#include <system_error>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>
#endif

#include <cstring>

namespace tz {

std::optional<QByteArray> read_file(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) return std::nullopt;
    return bytes;
}

bool write_file_atomic(const QString& path, const QByteArray& bytes) {
    QSaveFile f(path);
    // Where the folder refuses new files but the file itself may be written
    // (a folder owned by another user), the file is written in place.
    f.setDirectWriteFallback(true);
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

QStringList split_lines(QByteArrayView b) {
    QStringList lines;
    // A file that holds a CR ends its lines at CR LF or a lone CR, and a lone LF
    // is part of a line (a title can hold one). Only a file without any CR, as
    // a Linux editor leaves it, ends its lines at LF.
    const bool lf_ends = !b.contains('\r');
    const char end_byte = lf_ends ? '\n' : '\r';
    const char* p = b.data();
    const qsizetype size = b.size();
    qsizetype start = 0;
    while (start < size) {
        const void* hit = std::memchr(p + start, end_byte, size_t(size - start));
        const qsizetype end = hit ? static_cast<const char*>(hit) - p : size;
        lines.append(cp932::decode(b.sliced(start, end - start)));
        start = end + 1;
        if (!lf_ends && start < size && p[start] == '\n') ++start;
    }
    return lines;
}

bool write_file_atomic_unsynced(const QString& path, const QByteArray& bytes) {
    const QString temp = path + QStringLiteral(".new");
    QFile f(temp);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    bool written = f.write(bytes) == bytes.size() && f.flush();
    f.close();
    written = written && f.error() == QFileDevice::NoError;
    std::error_code error;
    if (written) std::filesystem::rename(temp.toStdU16String(), path.toStdU16String(), error);
    if (!written || error) {
        QFile::remove(temp);
        return false;
    }
    return true;
}

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

std::optional<QByteArray> read_regular_file(const QString& path) {
#ifdef Q_OS_UNIX
    // Opened without waiting and looked at through the open file, so nothing can
    // put a FIFO in its place between the look and the read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    QFile f;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) return std::nullopt;
    return bytes;
#else
    if (!QFileInfo(path).isFile()) return std::nullopt;
    return read_file(path);
#endif
}

}  // namespace tz
