// The program as a process: one copy per folder, and the exit save on signals.

#include "app/exit_signals.h"
#include "app/single_instance.h"
#include "support/test_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace tz;
using namespace tz::test;

namespace {

// Copies the program into the folder, where it keeps its data.
QString install_program(const QString& folder) {
    const QString program = qEnvironmentVariable("TZ_PROGRAM");
    const QString target = QDir(folder).filePath("tzurio");
    if (program.isEmpty() || !QFile::copy(program, target)) return {};
    return target;
}

QProcessEnvironment offscreen() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

}  // namespace

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
        int status = 0;
        waitpid(child, &status, 0);
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(QFile::exists(dir.filePath("tzurio.lock")));
        SingleInstance next(dir.path());
        QVERIFY(next.acquire());
        QCOMPARE(already_running_text(), QStringLiteral("【ツヅリオ】はすでに起動されています。"));
    }

    void termination_signals_reach_the_exit_save() {
        for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
            int calls = 0;
            ExitSignals signals_([&calls] { ++calls; });
            ::raise(sig);
            QTRY_COMPARE(calls, 1);
        }
    }

    void the_program_saves_on_sigterm_and_a_second_copy_touches_nothing() {
        QTemporaryDir dir;
        const QString program = install_program(dir.path());
        if (program.isEmpty()) QSKIP("TZ_PROGRAM is not set");
        write_folder(dir.path(), {memo("仕事", "会議", 1)}, {"全部", "仕事"}, 1);
        // Lines ending in LF alone are read, and the exit save writes CR LF.
        write_bytes(dir.filePath("kensaku.dat"), QByteArray("a\n").repeated(20));

        QProcess first;
        first.setProcessEnvironment(offscreen());
        first.setWorkingDirectory(dir.path());
        first.start(program, {});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath("tzurio.lock")), 10000);
        QTest::qWait(500);

        const QByteArray ini = read_bytes(dir.filePath("tzurio.ini"));
        const QDateTime before = QFileInfo(dir.filePath("tzurio.ini")).lastModified();
        QProcess second;
        second.setProcessEnvironment(offscreen());
        second.start(program, {});
        QVERIFY(second.waitForStarted());
        QTest::qWait(1500);  // it shows its message and waits for OK
        second.kill();
        second.waitForFinished();
        QCOMPARE(read_bytes(dir.filePath("tzurio.ini")), ini);
        QCOMPARE(QFileInfo(dir.filePath("tzurio.ini")).lastModified(), before);
        QVERIFY(!QFile::exists(dir.filePath("tzurio.dat.damaged")));

        first.terminate();  // SIGTERM
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(read_bytes(dir.filePath("kensaku.dat")), QByteArray("a\r\n").repeated(20));
        QVERIFY(!QFile::exists(dir.filePath("tzurio.lock")));
    }
};

QTEST_GUILESS_MAIN(TestApp)
#include "tst_app.moc"
