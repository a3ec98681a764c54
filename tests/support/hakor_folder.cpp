#include "support/hakor_folder.h"

#include "store/cp932.h"
#include "store/file_io.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tz::test {

FifoTrap::FifoTrap(const QString& path) : path_(QFile::encodeName(path)) {
    made_ = ::mkfifo(path_.constData(), 0600) == 0;
    if (!made_) return;
    writer_ = std::jthread([this](std::stop_token stop) {
        // After five seconds, anyone still waiting on the read end gets a writer
        // that comes and goes, and so reads an empty file.
        for (int tick = 1; !stop.stop_requested(); ++tick) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const int fd = tick > 100 ? ::open(path_.constData(), O_WRONLY | O_NONBLOCK) : -1;
            if (fd < 0) continue;
            waited_ = true;
            ::close(fd);
        }
    });
}

bool write_hakor_folder(const QString& folder, const HakorFolder& f) {
    QDir dir(folder);
    bool ok = dir.mkpath(QStringLiteral("."));
    if (f.ini) ok &= write_file_atomic(dir.filePath(QStringLiteral("hakor.ini")), "[hakor]\r\n");
    if (f.memo_folder) ok &= dir.mkpath(QStringLiteral("memo"));
    QStringList lines;
    for (const HakorMemo& m : f.memos) {
        lines += {m.date, m.category, m.title, QString::number(m.number), m.updated, m.marker};
        if (m.body && f.memo_folder)
            ok &= write_file_atomic(dir.filePath(QStringLiteral("memo/m%1.txt").arg(m.number, 7, 10, QLatin1Char('0'))),
                                    cp932::encode(*m.body + QStringLiteral("\r\n")));
    }
    if (f.dat) ok &= write_file_atomic(dir.filePath(QStringLiteral("hakor.dat")), lines_to_bytes(lines + f.extra_lines));
    return ok;
}

std::vector<HakorMemo> hakor_memos(int n, int categories, int body_bytes) {
    std::vector<HakorMemo> memos;
    const QString line = QStringLiteral("本文の一行です。ABCdef 0123456789 あいうえお\r\n");  // 46 bytes
    for (int i = 1; i <= n; ++i)
        memos.push_back({QStringLiteral("98/04/01"), QStringLiteral("分類%1").arg(i % categories), QStringLiteral("題名その%1").arg(i), i,
                         QStringLiteral("99/%1/01 12:00:00").arg(1 + i % 12, 2, 10, QLatin1Char('0')),
                         i % 10 ? QString() : QStringLiteral("SECRET"), line.repeated(std::max(1, body_bytes / 46))});
    return memos;
}

}  // namespace tz::test
