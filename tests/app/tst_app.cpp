// The program as a process: one copy per folder, and the exit save on signals.

#include "app/exit_signals.h"
#include "app/single_instance.h"
#include "support/fake_platform.h"
#include "support/test_folder.h"

#include <QFile>
#include <QFileInfo>
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
    // One copy per folder: a lock held here stops a second copy with its message, a lock left by a
    // copy that was killed does not, and a lock from another computer (a folder carried or synced
    // while a copy ran there) is asked about: only Yes takes it over.
    void one_copy_per_folder_data() {
        QTest::addColumn<QByteArray>("lock");  // "held", "killed", or a lock file's text
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("opens");
        QTest::newRow("held here") << QByteArray("held") << true << false;
        QTest::newRow("left by a killed copy") << QByteArray("killed") << true << true;
        QTest::newRow("another computer, yes") << QByteArray("4242\ntzurio\notherpc\n") << true << true;
        QTest::newRow("another computer, no") << QByteArray("4242\ntzurio\notherpc\nc0ffee\nb007\n") << false << false;
    }
    void one_copy_per_folder() {
        QFETCH(QByteArray, lock);
        QFETCH(bool, yes);
        QFETCH(bool, opens);
        QTemporaryDir dir;
        const QString path = dir.filePath("tzurio.lock");
        SingleInstance first(dir.path());
        if (lock == "held") {
            QCOMPARE(first.acquire(), SingleInstance::State::Acquired);
        } else if (lock == "killed") {
            if (fork() == 0) _exit(first.acquire() == SingleInstance::State::Acquired ? 0 : 1);  // no unlock: as if killed
            wait(nullptr);
        } else {
            write_bytes(path, lock);
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
        }
        const QByteArray before = read_bytes(path);
        const QDateTime since = QFileInfo(path).lastModified();
        FakePlatform platform;
        platform.answers = {yes ? MsgAnswer::Yes : MsgAnswer::No};
        SingleInstance second(dir.path());
        QCOMPARE(take_folder(second, platform), opens);
        // The question names the other computer and the lock's time.
        const bool elsewhere = lock.contains("otherpc");
        QCOMPARE(platform.texts().join(""), lock == "killed" ? QString() : elsewhere ? held_elsewhere_text("otherpc", since) : already_running_text());
        if (elsewhere) QVERIFY(platform.texts()[0].contains("「otherpc」") && platform.texts()[0].contains(since.toString("yyyy/MM/dd HH:mm")));
        // The lock afterwards: this copy's when it opened, as it was when it did not.
        if (opens)
            QCOMPARE(read_bytes(path).split('\n')[0], QByteArray::number(getpid()));
        else
            QCOMPARE(read_bytes(path), before);
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
