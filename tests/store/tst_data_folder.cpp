// The data folder's files: first start, loading, damaged files, and writes that
// fail or are cut short.

#include "store/backup.h"
#include "store/changes.h"
#include "store/data_folder.h"
#include "store/file_io.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>
#include <sys/stat.h>

using namespace tz;
using namespace tz::test;

namespace {

const Settings kFirst = Settings::first_start(0, 100, 200, 6975, 9450, 1215);
const QStringList kFirstLines{" 0 ", " 0 ", " 100 ", " 200 ", " 6975 ", " 9450 ", " 1215 ", " 2 ", "全部", "", "更新日", " 0 ", ""};
// The settings of a folder in use, with one line changed.
const QStringList kIni{" 9 ", " 0 ", " 1 ", " 2 ", " 3 ", " 4 ", " 1215 ", " 2 ", "全部", "", "更新日", " 0 ", "pw"};
QStringList ini_with(Settings::Line line, const QString& value) {
    QStringList ini = kIni;
    ini[line] = value;
    return ini;
}
// The index of the folder the tests of damage start from.
const QByteArray kMemo1 = crlf_lines({"2026/12/05", "c", "t", " 1 ", "s2", "s2", "YES"});

struct Loaded {
    QTemporaryDir dir;
    FixedClock time;
    MemoStore store{dir.path(), time.clock()};
    LoadReport report;
    QString path(const QString& name) const { return dir.filePath(name); }
    void load(std::optional<IndexFile>* early = nullptr) { load_data_folder(store, kFirst, report, early); }
};

}  // namespace

class TestDataFolder : public QObject {
    Q_OBJECT
private slots:
    void first_start_data() {
        QTest::addColumn<QStringList>("ini");  // empty: no settings file
        QTest::addColumn<qint64>("number");    // of the welcome memo, 0: none
        QTest::newRow("new folder") << QStringList() << qint64(1);
        QTest::newRow("older counter") << ini_with(Settings::Counter, " 57 ") << qint64(58);
        // No number left to give: no memo without one, no nameless body files.
        QTest::newRow("counter used up") << ini_with(Settings::Counter, " 999999999999999999 ") << qint64(0);
    }
    void first_start() {
        QFETCH(QStringList, ini);
        QFETCH(qint64, number);
        Loaded f;
        if (!ini.isEmpty()) write_bytes(f.path("tzurio.ini"), crlf_lines(ini));
        f.load();
        QVERIFY(f.report.ok());
        // Settings there are read, not written.
        QCOMPARE(read_bytes(f.path("tzurio.ini")), crlf_lines(!ini.isEmpty() ? ini : kFirstLines));
        const QString n = QString::number(number ? number : kMaxMemoNumber);
        QCOMPARE(read_bytes(f.path("tzurio.dat")),
                 number ? crlf_lines({"2026/12/05", "作者より", "【ツヅリオ】ご利用のお礼", " " + n + " ", "26/12/05 21:52:00",
                                      "26/12/05 21:52:00", "NO"})
                        : QByteArray());
        const QString file = QStringLiteral("%1.txt").arg(number, 6, 10, QLatin1Char('0'));
        const QByteArray body = crlf_lines(welcome_body_lines());
        if (number)
            QCOMPARE(QByteArrayList({read_bytes(f.path("memo1/m1" + file)), read_bytes(f.path("memo2/m2" + file))}),
                     QByteArrayList({body, body}));
        const QStringList bodies = QDir(f.path("memo1")).entryList(QDir::Files) + QDir(f.path("memo2")).entryList(QDir::Files);
        QCOMPARE(bodies.size(), number ? 2 : 0);
        QCOMPARE(read_bytes(f.path("bunrui.dat")), crlf_lines({"全部", "作者より"}));
        QCOMPARE(read_bytes(f.path("kensaku.dat")), QByteArray("\r\n").repeated(20));
        QCOMPARE(f.store.settings[Settings::Counter].file_line(), " " + n + " ");
    }

    // The lines of a file, and the text of a text body file (all but its last two bytes).
    void bytes_read_as_text_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("body");
        QTest::newRow("CR LF keeps a lone LF") << QByteArray("a\r\nb\nc\r\n\nd\r\n\r\n") << QStringList({"a", "b\nc", "\nd", ""}) << "a\r\nb\nc\r\n\nd\r\n";
        QTest::newRow("lone CR") << QByteArray("a\rb\r\rc") << QStringList({"a", "b", "", "c"}) << "a\rb\r";
        QTest::newRow("LF only") << QByteArray("a\nb\n\nc\n") << QStringList({"a", "b", "", "c"}) << "a\nb\n\n";
        QTest::newRow("one byte, empty first line, bare LF") << QByteArray("\n") << QStringList({""}) << "";
        QTest::newRow("no line end") << QByteArray("\x89\xef\x89\xef") << QStringList({"会会"}) << "会";
        QTest::newRow("empty") << QByteArray() << QStringList() << "";
    }
    void bytes_read_as_text() {
        QFETCH(QByteArray, bytes);
        QTEST(split_lines(bytes), "lines");
        QTEST(body_text_from_bytes(bytes), "body");
    }

    // Files of odd but sound forms are read as they are; damaged ones as far as
    // they are sound, with a copy kept once and named to the user. Settings the
    // window cannot be placed by, and a counter that is no count, are damage:
    // those lines take their first-start values.
    void files_read_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<QByteArray>("index");  // the memos as loaded, written back
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QStringList>("categories");
        const auto row = [](const char* name, const QString& file, const QByteArray& content, bool damaged,
                            const QByteArray& index = kMemo1, const QStringList& settings = kIni,
                            const QStringList& categories = {"全部", "c"}) {
            QTest::newRow(name) << file << content << damaged << index << settings << categories;
        };
        const auto out_of_range = [&](const char* name, Settings::Line line, const QString& value, const QString& first) {
            row(name, "tzurio.ini", crlf_lines(ini_with(line, value)), true, kMemo1, ini_with(line, first));
        };
        row("settings, empty lines after", "tzurio.ini", crlf_lines(kIni) + "\r\n\r\n", false);
        row("settings short", "tzurio.ini", crlf_lines(kIni.mid(0, 2)), true, kMemo1, kIni.mid(0, 2) + kFirstLines.mid(2));
        row("settings short, a counter that is no count", "tzurio.ini", crlf_lines({"abc", " 3 "}), true, kMemo1,
            QStringList{" 1 ", " 0 "} + kFirstLines.mid(2));
        row("settings long", "tzurio.ini", crlf_lines(kIni + QStringList{"x"}), true);
        // The counter starts from nothing and rises to the highest memo number.
        out_of_range("counter, no number", Settings::Counter, "abc", " 1 ");
        out_of_range("counter, past the last memo number", Settings::Counter, " 1000000000000000000 ", " 1 ");
        out_of_range("window state 3", Settings::WindowState, " 3 ", " 0 ");
        out_of_range("top past 32 bits", Settings::WindowTop, " 3000000000 ", " 100 ");
        out_of_range("width negative", Settings::WindowWidth, "-9450 ", " 9450 ");
        out_of_range("list height, no number", Settings::ListHeight, "高さ", " 1215 ");
        // Read back byte for byte: a title with a lone LF, stamps that differ; the
        // counter rises to the highest memo number, not the last one.
        const QByteArray two = crlf_lines({"d", "仕事", "貼り付けた\nタイトル", " 12 ", "25/01/02 03:04:05", "26/12/05 21:52:00", "NO"}) +
                               crlf_lines({"d", "家", "鍵つき", " 7 ", "c", "u", "YES"});
        row("index of two memos", "tzurio.dat", two, false, two, ini_with(Settings::Counter, " 12 "));
        row("index empty: no memos", "tzurio.dat", QByteArray(), false, QByteArray());
        const QByteArray no_number = crlf_lines({"d", "c", "t", "一", "s", "s2", "YES"});
        row("index, a number line that is no number", "tzurio.dat", no_number, true, no_number);
        row("index cut inside a memo", "tzurio.dat", kMemo1 + crlf_lines({"d", "c", "t2"}), true);
        row("index over 30000 memos", "tzurio.dat", kMemo1.repeated(30001), true, kMemo1.repeated(30000));
        row("keywords, an empty line after", "kensaku.dat", crlf_lines(QStringList(21)), false);
        row("keywords short", "kensaku.dat", crlf_lines({"a", "b"}), true);
        row("categories empty", "bunrui.dat", QByteArray(), true, kMemo1, kIni, {"全部"});
        QStringList many(1001, "x");
        many[0] = "全部";
        row("categories over 1000", "bunrui.dat", crlf_lines(many), true, kMemo1, kIni, many.mid(0, 1000));
    }
    void files_read() {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(bool, damaged);
        Loaded f;
        write_folder(f.dir.path(), {memo("c", "t", 1, "s2", true)}, {"全部", "c"}, 1);
        write_bytes(f.path("tzurio.ini"), crlf_lines(kIni));
        write_bytes(f.path(file), content);
        f.load();
        QCOMPARE(f.report.damaged.size(), size_t(damaged));
        QCOMPARE(f.report.unreadable + f.report.not_written, QStringList());
        if (damaged) {
            QCOMPARE(f.report.damaged[0].file, file);
            QCOMPARE(read_bytes(f.path(file + ".damaged")), content);
            QVERIFY(load_report_text(f.report).contains(file + ".damaged"));  // the copy kept is named
        }
        QTEST(index_bytes(f.store.table), "index");
        QTEST(split_lines(settings_bytes(f.store.settings)), "settings");
        QTEST(f.store.categories.entries(), "categories");
        // Again, with the index read ahead as the start-up reads it: the same
        // load, and the same damage found again keeps no second copy.
        f.report = LoadReport();
        std::optional<IndexFile> early = read_index_file(f.path("tzurio.dat"));
        f.load(&early);
        QVERIFY(!early);
        QCOMPARE(f.report.damaged.size(), size_t(damaged));
        QTEST(index_bytes(f.store.table), "index");
        QTEST(split_lines(settings_bytes(f.store.settings)), "settings");
        QVERIFY(!QFile::exists(f.path(file + ".damaged2")));
    }

    // A file that is there but cannot be read, or a damaged one whose copy
    // cannot be kept, would be lost by the exit save: nothing is written.
    void a_file_that_cannot_be_read_or_kept_stops_the_load_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("damaged");
        for (const char* name : {"tzurio.ini", "tzurio.dat", "bunrui.dat", "kensaku.dat"}) QTest::newRow(name) << name << false;
        QTest::newRow("short settings, read-only folder") << "tzurio.ini" << true;
    }
    void a_file_that_cannot_be_read_or_kept_stops_the_load() {
        QFETCH(QString, file);
        QFETCH(bool, damaged);
        Loaded f;
        write_folder(f.dir.path(), {memo("c", "t", 1)}, {"全部", "c"}, 1);
        QDir(f.path("memo1")).removeRecursively();  // would be created by a load that goes on
        if (damaged) write_bytes(f.path(file), crlf_lines({" 1 "}));
        QFile(f.path(file)).setPermissions(damaged ? QFile::ReadOwner | QFile::ReadOther : QFile::WriteOwner);
        QFile(f.dir.path()).setPermissions(QFile::Permissions(damaged ? 0x5555 : 0x7777));
        const auto before = folder_contents(f.dir.path());
        {
            AsOrdinaryUser user;
            f.load();
        }
        QVERIFY(f.report.must_end());
        const QString text = load_report_text(f.report);
        QVERIFY2(text.contains(file) && text.contains("終了"), qPrintable(text));
        QCOMPARE(folder_contents(f.dir.path()), before);
        QFile(f.dir.path()).setPermissions(QFile::Permissions(0x7700));
    }

    // Another writer (a sync tool, the program on another computer) changed a data file since it
    // was read, also right after this program read or wrote it: its version is kept beside it, named
    // once to the user, and ours is written. A file only touched, or gone, is simply written; the
    // common case writes nothing else.
    void another_writers_version_is_kept_data() {
        QTest::addColumn<QByteArray>("theirs");  // empty: the file is left alone; "gone": removed
        QTest::addColumn<int>("when");           // 0 between our read and write, 1 right after the read, 2 after a write
        QTest::addColumn<bool>("kept");
        QTest::newRow("unchanged") << QByteArray() << 0 << false;
        QTest::newRow("changed elsewhere") << crlf_lines({"全部", "c", "別の分類"}) << 0 << true;
        QTest::newRow("touched, same bytes") << crlf_lines({"全部", "c"}) << 0 << false;
        QTest::newRow("gone") << QByteArray("gone") << 0 << false;
        QTest::newRow("changed right after the read") << crlf_lines({"全部", "他"}) << 1 << true;
        QTest::newRow("changed right after a write") << crlf_lines({"全部", "他"}) << 2 << true;
    }
    void another_writers_version_is_kept() {
        QFETCH(QByteArray, theirs);
        QFETCH(int, when);
        QFETCH(bool, kept);
        Loaded f;
        write_folder(f.dir.path(), {memo("c", "t", 1)}, {"全部", "c"}, 1);
        const auto write_theirs = [](const QString& path) { if (path.endsWith(u"bunrui.dat")) write_bytes(path, crlf_lines({"全部", "他"})); };
        if (when == 1) testing::after_read = write_theirs;
        f.load();
        if (when == 2) testing::after_replace = write_theirs;
        QVERIFY(f.report.ok() && (when < 2 || write_categories(f.store)));
        testing::after_read = testing::after_replace = nullptr;
        if (theirs == "gone") {
            QFile::remove(f.path("bunrui.dat"));
        } else if (when == 0 && !theirs.isEmpty()) {
            write_bytes(f.path("bunrui.dat"), theirs);
            QFile(f.path("bunrui.dat")).setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
        }
        const auto before = folder_contents(f.dir.path());
        f.store.categories.append("新しい分類");
        QVERIFY(write_categories(f.store));
        QCOMPARE(read_bytes(f.path("bunrui.dat")), crlf_lines({"全部", "c", "新しい分類"}));
        const QString other = "bunrui.dat.other-20261205-215200";
        QCOMPARE(read_bytes(f.path(other)), kept ? theirs : QByteArray());
        QCOMPARE(folder_contents(f.dir.path()).size(), before.size() + int(kept) + int(theirs == "gone"));
        QCOMPARE(take_other_versions_text(f.store).contains("bunrui.dat → " + other), kept);
        QCOMPARE(take_other_versions_text(f.store), QString());  // said once
        QVERIFY(write_categories(f.store));  // ours is now the version known
        QCOMPARE(f.store.other_versions_kept, QStringList());
    }

    // A backup, kept outside the data folder, is a memo book of its own: the four data files copied
    // and every body linked, or the four files alone where links cannot be made. Seven are kept. A memo
    // deleted or stored while it runs leaves it whole: every memo its index names has its bodies in it.
    void backups_data() {
        QTest::addColumn<bool>("links");
        QTest::addColumn<int>("change");  // made at the first body linked: 1 a memo deleted, 2 one stored
        QTest::newRow("bodies linked") << true << 0;
        QTest::newRow("links refused") << false << 0;
        QTest::newRow("a memo deleted meanwhile") << true << 1;
        QTest::newRow("a memo stored meanwhile") << true << 2;
    }
    void backups() {
        QFETCH(bool, links);
        QFETCH(int, change);
        Loaded f;
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        write_folder(f.dir.path(), {memo("c", "t", 1), memo("c", "u", 2)}, {"全部", "c"}, 2);
        f.load();
        const auto before = folder_contents(f.dir.path());
        bool changed = !change;
        const backup::LinkFile link = [&](const QString& target, const QString& at) {
            if (!changed)
                changed = change == 1 ? delete_memo(f.store, Value::number(2)).done
                                      : store_memo(f.store, MemoInput{"2026/12/06", "c", "v", false, "v", "{\\rtf1 v}"}, 0).done;
            return links && backup::hard_link()(target, at);
        };
        const backup::Result made = backup::make(f.dir.path(), "20261201", link);
        QVERIFY2(changed && made.made && made.bodies == links, qPrintable(made.error));
        const auto kept = folder_contents(made.folder);
        QVERIFY(made.folder == backup::folder_of(f.dir.path()) + "/20261201" && made.folder.startsWith(home.path()));
        QCOMPARE(read_bytes(backup::folder_of(f.dir.path()) + "/" + backup::name_file()), QFile::encodeName(QDir(f.dir.path()).absolutePath()) + "\n");
        MemoStore again(made.folder);
        LoadReport report;
        load_data_folder(again, kFirst, report);
        QVERIFY(report.ok());
        for (const MemoRecord& m : again.table.records())  // every memo named has its bodies
            QVERIFY(!links || (QFile::exists(again.text_body_path(m.memo_number)) && QFile::exists(again.rich_body_path(m.memo_number))));
        if (change == 0) {
            QCOMPARE(folder_contents(f.dir.path()), before);  // nothing written in the data folder
            if (!links) QCOMPARE(kept.keys(), QStringList({"bunrui.dat", "kensaku.dat", "tzurio.dat", "tzurio.ini"}));
            for (auto it = kept.begin(); it != kept.end(); ++it) QCOMPARE(*it, before[it.key()]);
            struct stat kept_body {}, body {};
            if (links) QVERIFY(stat(QFile::encodeName(made.folder + "/memo2/m2000001.txt"), &kept_body) == 0 &&
                               stat(QFile::encodeName(f.path("memo2/m2000001.txt")), &body) == 0 && kept_body.st_ino == body.st_ino);
            QCOMPARE(index_bytes(again.table), before["tzurio.dat"]);
        }
        // The eighth removes the oldest; one the full disk cuts short is told and leaves nothing.
        for (int day = 2; day <= 8; ++day) QVERIFY(backup::make(f.dir.path(), QString("2026120%1").arg(day)).made);
        {
            FileSizeLimit full(64);  // the data folder's name fits, the settings file does not
            QCOMPARE(backup::make(f.dir.path(), "20261209").error, u"データファイルをバックアップにコピーできませんでした。"_qs);
        }
        QVERIFY(!backup::has_daily(f.dir.path(), QDate(2026, 12, 1)) && backup::has_daily(f.dir.path(), QDate(2026, 12, 8)));
        QCOMPARE(QDir(backup::folder_of(f.dir.path())).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).size(), backup::kKept);
    }

    void a_cr_never_enters_a_file() {
        MemoTable t;
        t.append(memo("仕\r\n事", "one\ntwo\rthree", 1));
        QCOMPARE(split_lines(index_bytes(t)),
                 QStringList({"2026/12/05", "仕 事", "one\ntwo three", " 1 ", "c6/12/05 21:52:00", "c6/12/05 21:52:00", "NO"}));
    }

    // A write the disk cuts short (a file size limit stands in for a full disk)
    // fails and leaves the old file byte for byte, with nothing beside it; so
    // does the copy kept of a damaged file. Small writes matter too: a library
    // that buffers them learns of the failure only when it closes the file. A
    // folder that refuses new files has its files written in place.
    void a_write_cut_short_leaves_the_old_file_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("way");  // 0 at once, 1 synced later, 2 in place, 3 a damaged file's copy
        QTest::newRow("small, buffered by others") << 13754 << 0;
        QTest::newRow("synced later") << 13754 << 1;
        QTest::newRow("in place") << 13754 << 2;
        QTest::newRow("in place, not cut short") << 5 << 2;
        QTest::newRow("copy of a damaged file") << 0 << 3;
    }
    void a_write_cut_short_leaves_the_old_file() {
        QFETCH(int, size);
        QFETCH(int, way);
        QTemporaryDir dir;
        const QString path = dir.filePath("tzurio.dat");
        const QByteArray old = crlf_lines(QStringList(900, "古いメモ"));  // 10,800 bytes
        write_bytes(path, old);
        if (way == 2) {
            QFile(path).setPermissions(QFile::Permissions(0x6666));
            QFile(dir.path()).setPermissions(QFile::Permissions(0x5555));
        }
        auto files = folder_contents(dir.path());
        const QByteArray bytes(size, 'x');
        bool written = true;
        {
            AsOrdinaryUser user(way == 2);
            FileSizeLimit full(8192);
            // Every failed write leaves a line with the system's reason.
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(" failed: \\S"));
            written = way == 0 ? write_file_atomic(path, bytes)
                    : way == 1 ? write_file_atomic_unsynced(path, bytes)
                    : way == 2 ? write_file_atomic(path, bytes) && !write_file_atomic(dir.filePath("bunrui.dat"), bytes)
                               : !keep_damaged_copy(path).isEmpty();
        }
        QFile(dir.path()).setPermissions(QFile::Permissions(0x7700));
        QCOMPARE(written, size == 5);  // the one write within the limit
        if (written) files["tzurio.dat"] = bytes;
        QCOMPARE(folder_contents(dir.path()), files);
    }

    void a_write_that_fails_is_reported_and_changes_nothing() {
        Loaded f;
        f.load();
        const QByteArray categories = read_bytes(f.path("bunrui.dat"));
        // A folder where the file should be: it cannot be replaced.
        for (const char* name : {"tzurio.dat", "kensaku.dat"}) block_file(f.path(name));
        f.store.categories.append("新しい分類");
        QCOMPARE(write_all(f.store), QStringList({"tzurio.dat", "kensaku.dat"}));
        QVERIFY(read_bytes(f.path("bunrui.dat")) != categories);  // the others were written
        QVERIFY(!sync_to_disk(f.path("no such folder")));  // a flush that cannot start is no success
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_data_folder.moc"
