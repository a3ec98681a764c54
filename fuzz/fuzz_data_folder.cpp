// Feeds arbitrary bytes to the start-up's reading of the data folder. The
// input is cut at 0x1E bytes into tzurio.ini, tzurio.dat, bunrui.dat and
// kensaku.dat; a file whose part is missing, or empty and last, is not there
// ("\x1e\x1e" makes an empty tzurio.ini). The folder is loaded as
// the start-up loads it and checked for what every input must give: the
// tables within their bounds, every memo number that names body files a
// sound one the counter has reached, no failure in a folder that can be
// written; then written back as the exit writes it and loaded again (the
// index read ahead, as the start-up reads it), which must write the same bytes.

#include "store/data_folder.h"
#include "store/file_io.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QString>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

const std::array<QString, 4>& names() {
    static const std::array<QString, 4> n{tz::file_names::settings(), tz::file_names::index(), tz::file_names::categories(),
                                          tz::file_names::keywords()};
    return n;
}

// One folder for the whole run, in memory where the system has one.
const QString& folder() {
    // Never destroyed: the folder is removed at exit, after static objects may be gone.
    static const QString* const path = [] {
        const QString shm = QStringLiteral("/dev/shm");
        const QString base = QDir(shm).exists() ? shm : QDir::tempPath();
        auto* p = new QString(base + QStringLiteral("/fuzz_data_folder.") + QString::number(getpid()));
        QDir().mkpath(*p);
        std::atexit([] { QDir(folder()).removeRecursively(); });
        return p;
    }();
    return *path;
}

void empty_folder() {
    QDir dir(folder());
    dir.removeRecursively();
    QDir().mkpath(folder());
}

QDateTime fixed_now() { return QDateTime(QDate(2026, 12, 7), QTime(15, 30, 0)); }

tz::Settings first_start() { return tz::Settings::first_start(0, 0, 0, 6975, 9450, 1215); }

struct Loaded {
    tz::MemoStore store{folder(), fixed_now};
    tz::LoadReport report;
};

void load(Loaded& l, std::optional<tz::IndexFile>* early = nullptr) {
    tz::load_data_folder(l.store, first_start(), l.report, early);
    if (!l.report.unreadable.isEmpty() || !l.report.not_written.isEmpty() || l.report.must_end())
        fail("a failure in a folder that can be read and written");
    if (!l.store.other_versions_kept.isEmpty()) fail("its own files taken for another writer's");
}

void check(const tz::MemoStore& s) {
    if (s.table.count() > tz::MemoTable::kCapacity) fail("table over its capacity");
    if (s.categories.count() < 1 || s.categories.count() > tz::CategoryList::kCapacity) fail("categories out of bounds");
    const std::optional<qint64> counter = s.settings[tz::Settings::Counter].as_whole();
    if (!counter || *counter < 0 || *counter > tz::kMaxMemoNumber) fail("counter out of range");
    for (const tz::MemoRecord& r : s.table.records()) {
        const QString text = s.text_body_path(r.memo_number);
        const QString rich = s.rich_body_path(r.memo_number);
        const std::optional<qint64> n = tz::memo_number_of(r.memo_number);
        if (text.isEmpty() != !n || rich.isEmpty() != !n) fail("body files named by no memo number");
        if (n && (*n < 1 || *n > tz::kMaxMemoNumber || *n > *counter)) fail("memo number unsound or past the counter");
        if (n && (!text.startsWith(s.app_folder()) || !rich.startsWith(s.app_folder()))) fail("body file outside the folder");
    }
}

std::array<QByteArray, 4> written(const tz::MemoStore& s) {
    return {tz::settings_bytes(s.settings), tz::index_bytes(s.table), tz::categories_bytes(s.categories),
            tz::keywords_bytes(s.keywords)};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A line for each damaged file would cost more than the load itself.
    QLoggingCategory::setFilterRules(QStringLiteral("tzurio.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    empty_folder();
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> parts = bytes.split('\x1e');
    for (size_t i = 0; i < names().size() && qsizetype(i) < parts.size(); ++i) {
        const QByteArray& part = parts[qsizetype(i)];
        // A last part made by no separator is a file only when it holds bytes.
        if (qsizetype(i) == parts.size() - 1 && part.isEmpty()) break;
        QFile file(folder() + QLatin1Char('/') + names()[i]);
        if (!file.open(QIODevice::WriteOnly) || file.write(part) != part.size()) fail("cannot set up");
    }

    std::array<QByteArray, 4> first_bytes;
    {
        Loaded first;
        load(first);
        check(first.store);
        if (!tz::write_all(first.store).isEmpty()) fail("exit write failed");
        first_bytes = written(first.store);
    }
    Loaded second;  // with the index read ahead, as the start-up reads it
    std::optional<tz::IndexFile> early = tz::read_index_file(folder() + QLatin1Char('/') + tz::file_names::index());
    load(second, &early);
    if (early) fail("the index read ahead not taken");
    check(second.store);
    // What the exit wrote is sound, except memos kept as read whose number is none.
    bool numberless = false;
    for (const tz::MemoRecord& r : second.store.table.records()) numberless |= !tz::memo_number_of(r.memo_number);
    for (const tz::LoadReport::Damage& d : second.report.damaged)
        if (d.file != tz::file_names::index() || !numberless) fail("written file read back as damaged");
    if (written(second.store) != first_bytes) fail("written files read back differently");
    return 0;
}
