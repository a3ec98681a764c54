// The program as a process: one copy per folder, and the exit save on signals.

#include "app/exit_signals.h"
#include "app/single_instance.h"
#include "support/test_folder.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tz;
using namespace tz::test;

class TestApp : public QObject {
    Q_OBJECT
private slots:
    void one_copy_per_folder_and_stale_locks_do_not_block() {
        QTemporaryDir dir;
        {
            SingleInstance first(dir.path());  // a second copy in the same folder: the program's run below
            QVERIFY(first.acquire());
            QTemporaryDir other;
            SingleInstance elsewhere(other.path());
            QVERIFY(elsewhere.acquire());
        }
        // A copy that was killed leaves its lock behind.
        const pid_t child = fork();
        if (child == 0) {
            SingleInstance crashed(dir.path());
            _exit(crashed.acquire() ? 0 : 1);  // no unlock: as if killed
        }
        waitpid(child, nullptr, 0);
        QVERIFY(QFile::exists(dir.filePath("tzurio.lock")));  // its lock: the one left behind
        SingleInstance next(dir.path());
        QVERIFY(next.acquire());
    }

    void termination_signals_reach_the_exit_save() {
        for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
            int calls = 0;
            ExitSignals signals_([&calls] { ++calls; });
            ::raise(sig);
            QTRY_COMPARE(calls, 1);
        }
    }

    // The program keeps its data in its own folder; the test's offscreen platform passes on to it.
    // A start that ends with its message (a data file that cannot be read, here a pipe, which must
    // not make the start wait; a second copy) exits with a failure status and writes nothing.
    void the_program_saves_on_sigterm_and_failed_starts_touch_nothing() {
        QTemporaryDir dir;
        const QString program = dir.filePath("tzurio"), index = dir.filePath("tzurio.dat");
        if (!QFile::copy(qEnvironmentVariable("TZ_PROGRAM"), program)) QSKIP("TZ_PROGRAM is not set");
        write_folder(dir.path(), {memo("仕事", "会議", 1)}, {"全部", "仕事"}, 1);
        // Lines ending in LF alone are read, and the exit save writes CR LF.
        write_bytes(dir.filePath("kensaku.dat"), QByteArray("a\n").repeated(20));
        const auto ended_at_its_message = [&] {
            QProcess p;
            p.start(program, {});
            QTest::qWait(1500);  // it shows its message and waits for OK
            p.terminate();  // a copy that got as far as the window would save now
            p.waitForFinished(10000);
            return std::pair(p.exitStatus(), p.exitCode());
        };
        const auto files = folder_contents(dir.path());
        QFile::remove(index);
        QCOMPARE(mkfifo(QFile::encodeName(index).constData(), 0600), 0);
        QCOMPARE(ended_at_its_message(), std::pair(QProcess::NormalExit, 1));
        QFile::remove(index);
        write_bytes(index, files["tzurio.dat"]);
        QCOMPARE(folder_contents(dir.path()), files);

        QProcess first;
        first.start(program, {});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath("tzurio.lock")), 10000);
        QTest::qWait(500);
        const auto running = folder_contents(dir.path());
        QCOMPARE(ended_at_its_message(), std::pair(QProcess::NormalExit, 1));
        QCOMPARE(folder_contents(dir.path()), running);
        first.terminate();
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(std::pair(first.exitStatus(), first.exitCode()), std::pair(QProcess::NormalExit, 0));
        QCOMPARE(read_bytes(dir.filePath("kensaku.dat")), QByteArray("a\r\n").repeated(20));
        QVERIFY(!QFile::exists(dir.filePath("tzurio.lock")));
    }
};

QTEST_GUILESS_MAIN(TestApp)
#include "tst_app.moc"
