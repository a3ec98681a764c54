#include "support/hakor_folder.h"

#include "store/cp932.h"
#include "store/file_io.h"

#include <QDir>

namespace tz::test {

QStringList hakor_lines(const HakorMemo& m) {
    return {m.date, m.category, m.title, QString::number(m.number), m.updated, m.marker};
}

bool write_hakor_folder(const QString& folder, const HakorFolder& f) {
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) return false;
    bool ok = true;
    if (f.ini) ok &= write_file_atomic(dir.filePath(QStringLiteral("hakor.ini")), "[hakor]\r\nversion=1.6\r\n");
    if (f.memo_folder) ok &= dir.mkpath(QStringLiteral("memo"));
    QStringList lines;
    for (const HakorMemo& m : f.memos) {
        lines += hakor_lines(m);
        if (m.body && f.memo_folder) {
            const QString name = QStringLiteral("memo/m%1.txt").arg(m.number, 7, 10, QLatin1Char('0'));
            ok &= write_file_atomic(dir.filePath(name), cp932::encode(*m.body + QStringLiteral("\r\n")));
        }
    }
    lines += f.extra_lines;
    if (f.dat) ok &= write_file_atomic(dir.filePath(QStringLiteral("hakor.dat")), lines_to_bytes(lines));
    return ok;
}

std::vector<HakorMemo> hakor_memos(int n, int categories, int body_bytes) {
    std::vector<HakorMemo> memos;
    const QString line = QStringLiteral("本文の一行です。ABCdef 0123456789 あいうえお\r\n");
    const int per_line = int(cp932::encode(line).size());
    for (int i = 1; i <= n; ++i) {
        HakorMemo m;
        m.category = QStringLiteral("分類%1").arg(i % categories);
        m.title = QStringLiteral("題名その%1").arg(i);
        m.number = i;
        m.updated = QStringLiteral("99/%1/%2 12:00:00").arg(1 + i % 12, 2, 10, QLatin1Char('0')).arg(1 + i % 28, 2, 10, QLatin1Char('0'));
        m.marker = i % 10 == 0 ? QStringLiteral("SECRET") : QString();
        m.body = line.repeated(std::max(1, body_bytes / per_line));
        memos.push_back(m);
    }
    return memos;
}

}  // namespace tz::test
