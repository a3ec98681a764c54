// The program as a process: one copy per folder, and the exit save on signals.

#include "app/exit_signals.h"
#include "app/single_instance.h"
#include "support/test_folder.h"

#include <QDir>
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
            SingleInstance first(dir.path());
            QVERIFY(first.acquire());
            SingleInstance second(dir.path());
            QVERIFY(!second.acquire());
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

    // The program keeps its data in its own folder; the test's offscreen
    // platform passes on to it.
    void the_program_saves_on_sigterm_and_a_second_copy_touches_nothing() {
        QTemporaryDir dir;
        const QString program = dir.filePath("tzurio");
        if (!QFile::copy(qEnvironmentVariable("TZ_PROGRAM"), program)) QSKIP("TZ_PROGRAM is not set");
        write_folder(dir.path(), {memo("仕事", "会議", 1)}, {"全部", "仕事"}, 1);
        // Lines ending in LF alone are read, and the exit save writes CR LF.
        write_bytes(dir.filePath("kensaku.dat"), QByteArray("a\n").repeated(20));
        QProcess first, second;
        first.start(program, {});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath("tzurio.lock")), 10000);
        QTest::qWait(500);

        const auto before = folder_contents(dir.path());
        second.start(program, {});
        QVERIFY(second.waitForStarted());
        QTest::qWait(1500);  // it shows its message and waits for OK
        second.terminate();  // a copy that got as far as the window would save now
        second.waitForFinished();
        QCOMPARE(folder_contents(dir.path()), before);
        QCOMPARE(std::pair(second.exitStatus(), second.exitCode()), std::pair(QProcess::NormalExit, 1));  // a start that failed

        first.terminate();
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(std::pair(first.exitStatus(), first.exitCode()), std::pair(QProcess::NormalExit, 0));
        QCOMPARE(read_bytes(dir.filePath("kensaku.dat")), QByteArray("a\r\n").repeated(20));
        QVERIFY(!QFile::exists(dir.filePath("tzurio.lock")));
    }

    // A data file that cannot be read (here a pipe, which must not make the
    // start wait) ends the start with its message, a failure status and
    // nothing written.
    void an_unusable_data_file_ends_the_start_with_a_failure_status() {
        QTemporaryDir dir;
        const QString program = dir.filePath("tzurio");
        if (!QFile::copy(qEnvironmentVariable("TZ_PROGRAM"), program)) QSKIP("TZ_PROGRAM is not set");
        write_folder(dir.path(), {memo("仕事", "会議", 1)}, {"全部", "仕事"}, 1);
        QFile::remove(dir.filePath("tzurio.dat"));
        QCOMPARE(mkfifo(QFile::encodeName(dir.filePath("tzurio.dat")).constData(), 0600), 0);
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
        QProcess p;
        p.start(program, {});
        QVERIFY(p.waitForStarted());
        QTest::qWait(1500);  // it shows its message and waits for OK
        p.terminate();
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(std::pair(p.exitStatus(), p.exitCode()), std::pair(QProcess::NormalExit, 1));
        QDir(dir.path()).remove("tzurio.lock");
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name), before);
        QCOMPARE(read_bytes(dir.filePath("bunrui.dat")), crlf_lines({"全部", "仕事"}));
    }
};

QTEST_GUILESS_MAIN(TestApp)
#include "tst_app.moc"
