// Start-up and the memo list at 30,000 memos, each beside the simplest baseline
// of the same work on the same data.

#include "gen_data.h"
#include "main_window/main_form.h"
#include "main_window/memo_list.h"
#include "store/cp932.h"
#include "store/data_folder.h"
#include "store/file_io.h"
#include "ui/fonts.h"
#include "ui/memo_grid.h"
#include "ui/platform.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tz;

namespace {

class SilentPlatform : public Platform {
public:
    MsgAnswer message(QWidget*, const QString&, const QString&, MsgIcon, MsgButtons) override { return MsgAnswer::Ok; }
    bool print_dialog(QWidget*, QPrinter&, bool) override { return false; }
    std::optional<QColor> choose_colour(QWidget*, const QColor&) override { return std::nullopt; }
    void open_url(const QUrl&) override {}
    void beep() override {}
    void end_program() override {}
};

QTemporaryDir* g_dir = nullptr;
QTemporaryDir* g_one = nullptr;

const QString& folder() {
    if (!g_dir) {
        g_dir = new QTemporaryDir;
        bench::DataShape shape;
        shape.memos = 30000;
        shape.categories = 300;
        shape.bodies = false;
        bench::generate_data_folder(g_dir->path(), shape);
    }
    static const QString path = g_dir->path();
    return path;
}

// A memo book of one memo: the start-up's baseline.
const QString& one_memo_folder() {
    if (!g_one) {
        g_one = new QTemporaryDir;
        bench::DataShape shape;
        shape.memos = 1;
        shape.categories = 1;
        bench::generate_data_folder(g_one->path(), shape);
    }
    static const QString path = g_one->path();
    return path;
}

MemoStore loaded_store() {
    MemoStore store(folder());
    LoadReport report;
    load_data_folder(store, Settings::first_start(0, 0, 0, 6975, 9450, 1215), report);
    return store;
}

// Baseline: read the index and cut it into lines, nothing else.
void BM_Baseline_ReadIndexLines(benchmark::State& state) {
    const QString path = folder() + "/tzurio.dat";
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QByteArray bytes = f.readAll();
        benchmark::DoNotOptimize(QString::fromLatin1(bytes).split(QLatin1Char('\n')).size());
    }
}
BENCHMARK(BM_Baseline_ReadIndexLines)->Unit(benchmark::kMillisecond);

void BM_LoadDataFolder(benchmark::State& state) {
    folder();
    for (auto _ : state) {
        MemoStore store = loaded_store();
        benchmark::DoNotOptimize(store.table.count());
    }
}
BENCHMARK(BM_LoadDataFolder)->Unit(benchmark::kMillisecond);

// The whole start-up of the main window, to the window shown and painted: load,
// fill the list and the boxes. Argument 0: the 30,000-memo book; 1: the baseline,
// a book of one memo.
void BM_MainWindowStart(benchmark::State& state) {
    const QString& path = state.range(0) ? one_memo_folder() : folder();
    SilentPlatform platform;
    for (auto _ : state) {
        Main_form form(platform, path);
        form.start();
        form.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(form.row_maps().shown_count);
    }
}
BENCHMARK(BM_MainWindowStart)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// Baseline for the list: a plain loop over the titles testing a substring.
void BM_Baseline_TitleLoop(benchmark::State& state) {
    const MemoStore store = loaded_store();
    for (auto _ : state) {
        int n = 0;
        for (const MemoRecord& r : store.table.records()) n += r.title.display().contains(QStringLiteral("会議"));
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_Baseline_TitleLoop)->Unit(benchmark::kMillisecond);

void BM_CategoryRebuild(benchmark::State& state) {
    const MemoStore store = loaded_store();
    MemoGrid grid;
    const QString category = state.range(0) ? store.categories.entry(2) : CategoryList::all();
    for (auto _ : state) {
        const ListRows rows = category_rows(store.table, category);
        ShownRows shown = shown_rows_for(store.table, rows);
        grid.set_data_rows(std::move(shown.grid));
        benchmark::DoNotOptimize(shown.maps.shown_count);
    }
}
BENCHMARK(BM_CategoryRebuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_TitleSearch(benchmark::State& state) {
    const MemoStore store = loaded_store();
    MemoGrid grid;
    for (auto _ : state) {
        const ListRows rows = title_search_rows(store.table, CategoryList::all(), QStringLiteral("会議"));
        ShownRows shown = shown_rows_for(store.table, rows);
        grid.set_data_rows(std::move(shown.grid));
        benchmark::DoNotOptimize(shown.maps.shown_count);
    }
}
BENCHMARK(BM_TitleSearch)->Unit(benchmark::kMillisecond);

void BM_ResortAfterNewMemo(benchmark::State& state) {
    MemoStore store = loaded_store();
    for (auto _ : state) {
        // A new memo starts in the last slot with the newest stamp.
        state.PauseTiming();
        MemoTable t = store.table;
        t.append(t.slot(1));
        t.slot(t.count()).updated_stamp = Value(u"d0/01/01 00:00:00");
        state.ResumeTiming();
        t.resort();
        benchmark::DoNotOptimize(t.slot(1));
    }
}
BENCHMARK(BM_ResortAfterNewMemo)->Unit(benchmark::kMillisecond);

void BM_WriteIndex(benchmark::State& state) {
    MemoStore store = loaded_store();
    for (auto _ : state) benchmark::DoNotOptimize(write_index(store));
}
BENCHMARK(BM_WriteIndex)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    fonts::install_substitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete g_dir;
    delete g_one;
    return 0;
}
