#pragma once
// Folders as 【ハコネル】 leaves them: hakor.ini, hakor.dat (six lines a record,
// CP932, CR LF) and the memo folder with one body file per numbered memo.

#include <QByteArray>
#include <QString>
#include <QMetaType>
#include <QStringList>
#include <optional>
#include <vector>

namespace tz::test {

struct HakorMemo {
    QString date = QStringLiteral("98/04/01");
    QString category = QStringLiteral("仕事");
    QString title = QStringLiteral("題");
    int number = 0;                          // the body file's number; 0 for none
    QString updated = QStringLiteral("98/04/01 10:00:00");
    QString marker;                          // "SECRET" locks
    std::optional<QString> body;             // written as memo/mNNNNNNN.txt with its CR LF; none: no file
};

struct HakorFolder {
    bool ini = true;
    bool dat = true;
    bool memo_folder = true;
    std::vector<HakorMemo> memos;
    QStringList extra_lines;  // appended to hakor.dat after the records, e.g. a cut record
};

// The six lines of a record.
QStringList hakor_lines(const HakorMemo& m);
// Writes the folder (created when missing); false when a file could not be written.
bool write_hakor_folder(const QString& folder, const HakorFolder& f);
// n memos numbered 1..n in categories cat0..cat(categories-1), bodies of about body_bytes.
std::vector<HakorMemo> hakor_memos(int n, int categories, int body_bytes);

}  // namespace tz::test

Q_DECLARE_METATYPE(tz::test::HakorFolder)
