// A backup of the 30,000-memo folder beside the simplest baseline of the same
// work: every file of the folder copied whole. Each reports the disk space the
// backup takes (blocks of its own files and folders; a linked body takes none).
//
// The folder is generated once, or taken from TZ_BENCH_FOLDER when that names
// a folder the generator made.

#include "gen_data.h"
#include "store/backup.h"
#include "store/file_io.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/stat.h>

using namespace tz;

namespace {

const QString& folder() {
    static QTemporaryDir dir;
    static QString path = [] {
        QString f = qEnvironmentVariable("TZ_BENCH_FOLDER");
        if (f.isEmpty() || !QFileInfo::exists(f + "/tzurio.dat")) {
            if (f.isEmpty()) f = dir.path();
            bench::DataShape shape;
            shape.memos = 30000;
            shape.picture_every = 5;
            bench::generate_data_folder(f, shape);
        }
        return f;
    }();
    return path;
}

// Bytes on the disk that the files and folders below `root` take of their own:
// a file that has another link (a body linked to the data folder's) takes none.
qint64 own_bytes(const QString& root) {
    qint64 total = 0;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        struct stat st {};
        if (::lstat(QFile::encodeName(it.next()).constData(), &st) == 0 && (S_ISDIR(st.st_mode) || st.st_nlink == 1))
            total += qint64(st.st_blocks) * 512;
    }
    return total;
}

void BM_Baseline_CopyEverything(benchmark::State& state) {
    const QString from = folder();
    QTemporaryDir to;
    qint64 bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QDir(to.path() + "/copy").removeRecursively();
        state.ResumeTiming();
        QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString target = to.path() + "/copy/" + QDir(from).relativeFilePath(path);
            QDir().mkpath(QFileInfo(target).path());
            write_file_atomic_unsynced(target, read_file(path).value_or(QByteArray()));
        }
        state.PauseTiming();
        bytes = own_bytes(to.path() + "/copy");
        state.ResumeTiming();
    }
    state.counters["disk_MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_Baseline_CopyEverything)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Backup(benchmark::State& state) {
    const QString from = folder();
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    qint64 bytes = 0;
    int n = 0;
    for (auto _ : state) {
        const backup::Result r = backup::make(from, QStringLiteral("2026120%1").arg(++n % 7 + 1));
        state.PauseTiming();
        if (!r.made || !r.bodies) state.SkipWithError("no backup with linked bodies");
        bytes = own_bytes(r.folder);
        state.ResumeTiming();
    }
    state.counters["disk_MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    folder();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
