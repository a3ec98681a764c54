// The search across all memo bodies at 30,000 memos with rich bodies (every
// fifth rich body holds a picture), beside the simplest baseline: read every
// rich body file whole and scan its bytes for the word. The word matches
// nothing, so every file is read to its end. Warm cache: the folder is read
// once before the timings.
//
// The folder is generated once, or taken from TZ_BENCH_FOLDER when that names
// a folder the generator made (its memo2 files are what is searched).

#include "gen_data.h"
#include "rtf/body_search.h"
#include "rtf/document.h"
#include "store/data_folder.h"
#include "store/file_io.h"
#include "store/text_fold.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThreadPool>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <functional>

using namespace tz;

namespace {

constexpr char kWord[] = "zqxjv";

QStringList& paths() {
    static QStringList list;
    if (!list.isEmpty()) return list;
    QString folder = qEnvironmentVariable("TZ_BENCH_FOLDER");
    static QTemporaryDir dir;
    if (folder.isEmpty() || !QFileInfo::exists(folder + "/tzurio.dat")) {
        if (folder.isEmpty()) folder = dir.path();
        bench::DataShape shape;
        shape.memos = 30000;
        shape.picture_every = 5;
        bench::generate_data_folder(folder, shape);
    }
    MemoStore store(folder + u'/');
    LoadReport report;
    load_data_folder(store, Settings::first_start(0, 0, 0, 6975, 9450, 1215), report);
    for (const MemoRecord& m : store.table.records()) list.append(store.rich_body_path(m.memo_number));
    return list;
}

// Baseline: every file read whole, its bytes scanned for the word.
void BM_Baseline_ReadAndScan(benchmark::State& state) {
    const QStringList& files = paths();
    const std::boyer_moore_horspool_searcher searcher(kWord, kWord + std::strlen(kWord));
    qint64 bytes = 0;
    for (auto _ : state) {
        int hits = 0;
        bytes = 0;
        for (const QString& p : files) {
            QFile f(p);
            if (!f.open(QIODevice::ReadOnly)) continue;
            const QByteArray b = f.readAll();
            bytes += b.size();
            hits += std::search(b.begin(), b.end(), searcher) != b.end();
        }
        benchmark::DoNotOptimize(hits);
    }
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_Baseline_ReadAndScan)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline of the goal: `LC_ALL=C grep -rli WORD memo2/` over the same folder, as a user would run it.
void BM_Baseline_Grep(benchmark::State& state) {
    const QString memo2 = QFileInfo(paths().first()).path();
    for (auto _ : state) {
        QProcess grep;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", "C");
        grep.setProcessEnvironment(env);
        grep.start("grep", {"-rli", QString::fromLatin1(kWord), memo2});
        if (!grep.waitForFinished(60000)) state.SkipWithError("grep did not end");
        benchmark::DoNotOptimize(grep.readAllStandardOutput());
    }
}
BENCHMARK(BM_Baseline_Grep)->Unit(benchmark::kMillisecond)->UseRealTime();

// The search as the window runs it: worker threads, outcomes gathered in
// table order on this thread's event loop. Argument: worker threads (0: as many as cores).
void BM_FullTextSearch(benchmark::State& state) {
    const QStringList& files = paths();
    const int wanted = int(state.range(0));
    const int cores = QThreadPool::globalInstance()->maxThreadCount();
    if (wanted > 0) QThreadPool::globalInstance()->setMaxThreadCount(wanted);
    for (auto _ : state) {
        BodySearch search(files, QString::fromLatin1(kWord));
        int hits = 0;
        QEventLoop loop;
        QObject::connect(&search, &BodySearch::advanced, [&](const std::vector<int>& h) { hits += int(h.size()); });
        QObject::connect(&search, &BodySearch::finished, &loop, &QEventLoop::quit);
        search.start();
        loop.exec();
        benchmark::DoNotOptimize(hits);
    }
    QThreadPool::globalInstance()->setMaxThreadCount(cores);
}
BENCHMARK(BM_FullTextSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The parts of one body's search on one thread, to see where the time goes.
void BM_Parts(benchmark::State& state) {
    const QStringList& files = paths();
    const int part = int(state.range(0));
    const QString key = fold_for_search(QString::fromLatin1(kWord));
    for (auto _ : state) {
        int hits = 0;
        for (const QString& p : files) {
            const QByteArray b = read_file(p).value_or(QByteArray());
            if (part == 0) hits += int(rtf::plain_text(b).size());
            else hits += body_contains(b, key);
        }
        benchmark::DoNotOptimize(hits);
    }
    state.SetLabel(part == 0 ? "read + plain text" : "read + plain text + fold + scan");
}
BENCHMARK(BM_Parts)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The fold and the scan alone, on one thread, over the bodies' plain texts
// made once beforehand. Argument: 0 for the word that matches nothing, 1 for
// a word that most bodies hold.
void BM_FoldAndScan(benchmark::State& state) {
    static const std::vector<QString> texts = [] {
        std::vector<QString> t;
        for (const QString& p : paths()) t.push_back(rtf::plain_text(read_file(p).value_or(QByteArray())));
        return t;
    }();
    const QString key = fold_for_search(state.range(0) == 0 ? QString::fromLatin1(kWord) : QStringLiteral("ﾊﾟｿｺﾝ"));
    qint64 units = 0;
    int hits = 0;
    for (auto _ : state) {
        hits = 0;
        units = 0;
        for (const QString& t : texts) {
            units += t.size();
            hits += contains_folded(t, key);
        }
        benchmark::DoNotOptimize(hits);
    }
    state.counters["Munits"] = double(units) / 1e6;
    state.counters["hits"] = hits;
}
BENCHMARK(BM_FoldAndScan)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    paths();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
