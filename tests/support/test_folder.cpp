#include "support/test_folder.h"

#include "store/cp932.h"
#include "store/data_folder.h"
#include "store/file_io.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <csignal>
#include <unistd.h>

namespace tz::test {

QByteArray read_bytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void write_bytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    f.write(bytes);
}

QByteArray crlf_lines(const QStringList& lines) { return lines_to_bytes(lines); }

QByteArray tiny_rtf(const QString& text) {
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0\\fs20 ";
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u'\\' && c != u'{' && c != u'}')
            rtf += char(c.unicode());
        else
            rtf += "\\u" + QByteArray::number(qint16(c.unicode())) + "?";
    }
    return rtf + "}";
}

AsOrdinaryUser::AsOrdinaryUser(bool when) {
    if (!when || geteuid() != 0) return;
    constexpr uid_t kNobody = 65534;
    switched_ = setegid(kNobody) == 0 && seteuid(kNobody) == 0;
    QVERIFY2(switched_, "cannot take an ordinary user's rights");
}

AsOrdinaryUser::~AsOrdinaryUser() {
    if (!switched_) return;
    if (seteuid(0) != 0 || setegid(0) != 0) qFatal("cannot take back the test's own rights");
}

FileSizeLimit::FileSizeLimit(qint64 bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = rlim_t(bytes);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
}

FileSizeLimit::~FileSizeLimit() {
    if (setrlimit(RLIMIT_FSIZE, &saved_) != 0) qFatal("cannot lift the file size limit");
}

QMap<QString, QByteArray> folder_contents(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        const QByteArray bytes = it.fileInfo().isDir() ? QByteArray("(folder)") : f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
        files.insert(QDir(folder).relativeFilePath(path), bytes);
    }
    return files;
}

MemoRecord memo(const QString& category, const QString& title, int number, const QString& updated, bool locked) {
    return MemoRecord{Value(QStringLiteral("2026/12/05")), Value(category), Value(title), Value::number(number),
                      Value(updated), Value(updated), Value(locked ? QStringLiteral("YES") : QStringLiteral("NO"))};
}

void write_folder(const QString& folder, const std::vector<MemoRecord>& memos, const QStringList& categories, int counter) {
    MemoStore store(folder);
    for (const char* sub : {"memo1", "memo2"}) QDir(folder).mkpath(QLatin1String(sub));
    store.settings = Settings::first_start(0, 1000, 1000, 6975, 9450, 1215);
    store.settings[Settings::Counter] = Value::number(counter);
    for (const MemoRecord& m : memos) {
        store.table.append(m);
        write_text_body(store, m.memo_number, m.title.display());
        write_file_atomic(store.rich_body_path(m.memo_number), tiny_rtf(m.title.display()));
    }
    store.categories.set_entries(categories);
    QVERIFY(write_all(store).isEmpty());
}

void block_file(const QString& path) {
    QFile::remove(path);
    QVERIFY(QDir().mkpath(path + QStringLiteral("/x")));
}

}  // namespace tz::test
