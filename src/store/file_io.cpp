#include "store/file_io.h"

#include "store/cp932.h"

#include <QFile>
#include <QSaveFile>
#include <filesystem>
#include <system_error>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

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
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
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

QStringList split_lines(const QByteArray& b) {
    QStringList lines;
    qsizetype start = 0;
    while (start < b.size()) {
        qsizetype nl = b.indexOf('\n', start);
        qsizetype end = nl < 0 ? b.size() : nl;
        qsizetype text_end = (nl >= 0 && end > start && b[end - 1] == '\r') ? end - 1 : end;
        lines.append(cp932::decode(QByteArrayView(b).sliced(start, text_end - start)));
        start = nl < 0 ? b.size() : nl + 1;
    }
    return lines;
}

QByteArray lines_to_bytes(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines) {
        QString one = line;
        one.replace(QLatin1String("\r\n"), QLatin1String(" "));
        one.replace(QLatin1Char('\r'), QLatin1Char(' '));
        one.replace(QLatin1Char('\n'), QLatin1Char(' '));
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
