// Importing 1,001 【ハコネル】 records with 2 KB bodies into a memo book of
// 20,000 memos, beside the baseline of the same reading and writing done plainly:
// hakor.dat and the 1,001 body files read, 2,002 files written with no atomic
// replacement and no bookkeeping.

#include "dialogs/f_hakor.h"
#include "gen_data.h"
#include "main_window/main_form.h"
#include "main_window/memo_list.h"
#include "store/data_folder.h"
#include "store/file_io.h"
#include "store/hakor_import.h"
#include "support/hakor_folder.h"
#include "ui/fonts.h"
#include "ui/memo_grid.h"
#include "ui/platform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tz;

namespace {

constexpr int kRecords = 1001;
constexpr int kMemos = 20000;

class SilentPlatform : public Platform {
public:
    MsgAnswer message(QWidget*, const QString&, const QString&, MsgIcon, MsgButtons) override { return MsgAnswer::Ok; }
    bool print_dialog(QWidget*, QPrinter&, bool) override { return false; }
    std::optional<QColor> choose_colour(QWidget*, const QColor&) override { return std::nullopt; }
    void open_url(const QUrl&) override {}
    void beep() override {}
    void end_program() override {}
};

struct Folders {
    QTemporaryDir dir;
    QString book = dir.filePath("book");
    QString source = dir.filePath("hakoneru");
    QString scratch = dir.filePath("scratch");
    QByteArrayList book_files;  // tzurio.dat, tzurio.ini, bunrui.dat as generated
    Folders() {
        bench::DataShape shape;
        shape.memos = kMemos;
        shape.bodies = false;
        bench::generate_data_folder(book, shape);
        test::write_hakor_folder(source, {true, true, true, test::hakor_memos(kRecords, 120, 2048), {}});
        QDir().mkpath(scratch);
        for (const char* name : {"tzurio.dat", "tzurio.ini", "bunrui.dat"}) book_files.append(*read_file(book + "/" + name));
    }
    // Puts the memo book back as it was before an import.
    void restore() const {
        int i = 0;
        for (const char* name : {"tzurio.dat", "tzurio.ini", "bunrui.dat"}) write_file_atomic(book + "/" + name, book_files[i++]);
    }
};

Folders& folders() {
    static Folders f;
    return f;
}

void BM_Baseline_ReadAndWritePlainly(benchmark::State& state) {
    const Folders& f = folders();
    for (auto _ : state) {
        const QStringList lines = *read_lines(f.source + "/hakor.dat");
        for (int i = 1; i <= kRecords; ++i) {
            QFile in(f.source + QStringLiteral("/memo/m%1.txt").arg(i, 7, 10, QLatin1Char('0')));
            in.open(QIODevice::ReadOnly);
            const QByteArray body = in.readAll();
            for (const char* kind : {"1", "2"}) {
                QFile out(f.scratch + QStringLiteral("/m%1%2.txt").arg(QLatin1String(kind)).arg(i, 6, 10, QLatin1Char('0')));
                out.open(QIODevice::WriteOnly | QIODevice::Truncate);
                out.write(body);
            }
        }
        benchmark::DoNotOptimize(lines.size());
    }
}
BENCHMARK(BM_Baseline_ReadAndWritePlainly)->Unit(benchmark::kMillisecond);

// The store's part: checks, backups, reading, 1,001 memos with their body files,
// re-sort, the three files written, and the list rebuilt once.
void BM_ImportStore(benchmark::State& state) {
    const Folders& f = folders();
    MemoGrid grid;
    for (auto _ : state) {
        state.PauseTiming();
        f.restore();
        MemoStore store(f.book);
        LoadReport report;
        load_data_folder(store, Settings::first_start(0, 0, 0, 6975, 9450, 1215), report);
        state.ResumeTiming();
        const QString source = f.source + QDir::separator();
        if (hakor::check_source(source) != hakor::Missing::Nothing || !hakor::make_backups(store).isEmpty()) state.SkipWithError("setup");
        hakor::HakorImport import(store, source, hakor::index_from_lines(*read_lines(hakor::dat_path(source))));
        while (!import.at_end() && import.import_next() == hakor::HakorImport::Step::Imported) {
        }
        import.finish(true);
        grid.set_data_rows(shown_rows_for(store.table, all_rows(store.table)).grid);
        benchmark::DoNotOptimize(store.table.count());
    }
}
BENCHMARK(BM_ImportStore)->Unit(benchmark::kMillisecond);

// The whole run through the import window over a started main window.
void BM_ImportWindow(benchmark::State& state) {
    const Folders& f = folders();
    SilentPlatform platform;
    for (auto _ : state) {
        state.PauseTiming();
        f.restore();
        QDir::setCurrent(f.source);
        Main_form form(platform, f.book);
        form.start();
        F_hakor dialog(form);
        state.ResumeTiming();
        dialog.Command1_Click();
        benchmark::DoNotOptimize(form.store().table.count());
        state.PauseTiming();
        if (form.store().table.count() != kMemos + kRecords) state.SkipWithError("not every record imported");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportWindow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    fonts::install_substitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
