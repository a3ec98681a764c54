#pragma once
// Folders as 【ハコネル】 leaves them: hakor.ini, hakor.dat (six lines a record,
// CP932, CR LF) and the memo folder with one body file per numbered memo.

#include <QMetaType>
#include <QStringList>
#include <atomic>
#include <optional>
#include <thread>
#include <vector>

namespace tz::test {

struct HakorMemo {
    QString date = QStringLiteral("98/04/01");
    QString category = QStringLiteral("仕事");
    QString title = QStringLiteral("題");
    int number = 0;  // of the body file; 0 for none
    QString updated = QStringLiteral("98/04/01 10:00:00");
    QString marker{};               // "SECRET" locks
    std::optional<QString> body{};  // memo/mNNNNNNN.txt, closed by CR LF; none: no file
};

struct HakorFolder {
    bool ini = true, dat = true, memo_folder = true;
    std::vector<HakorMemo> memos;
    QStringList extra_lines;  // after the records, e.g. a cut record
};

// A FIFO made at a path. Opening it to read waits for a writer: should the code
// under test do that, a writer comes after a few seconds and waited() is set, so
// the test fails instead of hanging.
class FifoTrap {
public:
    explicit FifoTrap(const QString& path);
    bool made() const { return made_; }
    bool waited() const { return waited_; }

private:
    QByteArray path_;
    bool made_ = false;
    std::atomic<bool> waited_ = false;
    std::jthread writer_;  // the last member: stopped and joined first
};

// False when a file could not be written.
bool write_hakor_folder(const QString& folder, const HakorFolder& f);
// Memos 1..n, each in a category of its own up to `categories`, with bodies of about body_bytes.
std::vector<HakorMemo> hakor_memos(int n, int categories, int body_bytes);

}  // namespace tz::test

Q_DECLARE_METATYPE(tz::test::HakorFolder)
