// Importing 【ハコネル】's memos through the import window opened from the menu.

#include "dialogs/f_hakor.h"
#include "store/data_folder.h"
#include "support/form_fixture.h"
#include "support/hakor_folder.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"

#include <QAbstractProxyModel>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace tz;
using namespace tz::test;

namespace {

const QString kBackups = QStringLiteral("【ハコネル】のデータを読込む前に、以下のファイルをバックアップしました。\r"
                                        "tzurio.dat ==> $tzurio.dat\rtzurio.ini ==> $tzurio.ini\rbunrui.dat ==> $bunrui.dat");

struct Fixture : FormFixture {
    QTemporaryDir source_dir;
    QString source = source_dir.filePath(QStringLiteral("hakoneru"));

    // `memos` memos numbered 1.. with the counter at the last, and `categories` entries. Past the
    // first two they are only in the memo table, as if the run had begun with them there.
    explicit Fixture(int memos = 2, int categories = 3) {
        QStringList names{"全部", "Work"};
        while (names.size() < categories) names.append(QStringLiteral("既存分類%1").arg(names.size()));
        write_folder(dir.path(), {memo("Work", "既存1", 1, "c6/12/09"), memo("Work", "既存2", 2, "c6/12/08")}, names, memos);
        start();
        for (int i = 3; i <= memos; ++i) form->store().table.append(memo("Work", QStringLiteral("既存%1").arg(i), i, "c6/12/01"));
    }
    // Makes `folder` current in the folder chooser, as a click on it does.
    static void choose_folder(F_hakor* d, const QString& folder) {
        auto* names = qobject_cast<QAbstractProxyModel*>(d->Dir1->model());
        d->Dir1->setCurrentIndex(names->mapFromSource(qobject_cast<QFileSystemModel*>(names->sourceModel())->index(folder)));
    }
    // Opens the window from the menu, picks `folder` and runs; a window left open is
    // closed with "終了". True when the run left it open.
    bool run(const QString& folder, const std::function<void(F_hakor*)>& before = {}) {
        bool left_open = false;
        on_next_modal([&](QWidget* w) {
            auto* d = qobject_cast<F_hakor*>(w);
            if (!folder.isEmpty()) choose_folder(d, folder);
            if (before) before(d);
            QTest::mouseClick(d->Command1, Qt::LeftButton);
            if ((left_open = d->isVisible())) QTest::mouseClick(d->Command2, Qt::LeftButton);
        });
        form->Menu_hakor->trigger();
        return left_open;
    }
    QByteArray file(const QString& name) const { return read_bytes(path(name)); }
    QByteArrayList data_files(const QString& p = {}) const {  // with "$": their backups
        return {file(p + "tzurio.dat"), file(p + "tzurio.ini"), file(p + "bunrui.dat")};
    }
    // Files, list, category box and caption all show the store as it is.
    void verify_all_follow_store() {
        const MemoStore& s = form->store();
        QCOMPARE(data_files(), QByteArrayList({index_bytes(s.table), settings_bytes(s.settings), categories_bytes(s.categories)}));
        QCOMPARE(form->windowTitle(), main_caption(s.table.count()));
        QCOMPARE(combo_items(find<QComboBox>("Combo1")), s.categories.entries());
        QCOMPARE(form->row_maps().shown_count, s.table.count());
    }
};

}  // namespace

class TestImport : public QObject {
    Q_OBJECT
private slots:
    // Runs that stop: the three checks in their order, a failed backup, zero
    // records, and the stops that keep what was done. Nothing is lost: a number
    // once given is not given again, and files, list and box follow the store.
    void runs_that_stop_data() {
        QTest::addColumn<int>("memos");       // before, numbered 1..
        QTest::addColumn<int>("categories");  // entries before
        QTest::addColumn<HakorFolder>("folder");
        QTest::addColumn<QString>("blocked");  // a folder stands where this file is to be written
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("given");  // memo numbers given
        QTest::addColumn<QStringList>("messages");
        const auto twenty = HakorFolder{true, true, true, hakor_memos(20, 1000, 100), {}};  // each in a new category
        const QString missing[] = {"hakor.iniファイル", "hakor.datファイル", "memoディレクトリ"};
        for (int i = 0; i < 3; ++i)  // each missing with those checked after it
            QTest::newRow(qPrintable("no " + missing[i])) << 2 << 3 << HakorFolder{i > 0, i > 1, false, {}, {}} << "" << 0 << 0
                                                       << QStringList{missing[i] + "が見つからないので変換を実行できません。"};
        QTest::newRow("hakor.dat not text: refused before the backups")
            << 2 << 3 << HakorFolder{true, true, true, hakor_memos(3, 1, 100), {QStringLiteral("x") + QChar(0)}} << "" << 0 << 0
            << QStringList{"hakor.datは【ハコネル】のデータではないので変換を実行できません。"};
        QTest::newRow("zero records, backups made") << 2 << 3 << HakorFolder{} << "" << 0 << 0 << QStringList{kBackups, "【ハコネル】のデータが０件です。"};
        QTest::newRow("a backup fails") << 2 << 3 << twenty << "$bunrui.dat" << 0 << 0
                                        << QStringList{"bunrui.dat をバックアップできなかったので、変換を実行できません。"};
        QTest::newRow("room for 9 of 20") << 29990 << 3 << twenty << "" << 9 << 9 << QStringList{kBackups, "これ以上メモを登録できません。"};
        QTest::newRow("category list full") << 2 << 997 << twenty << "" << 3 << 3
                                            << QStringList{kBackups, "これ以上分類を登録できません。処理を中断します。"};
        QTest::newRow("body file not written") << 2 << 3 << twenty << "memo2/m2000004.txt.new" << 1 << 2
                                               << QStringList{kBackups, not_written_text({QDir::toNativeSeparators("memo2/m2000004.txt")}) + "\r変換を中断しました。"};
    }
    void runs_that_stop() {
        QFETCH(int, memos);
        QFETCH(int, categories);
        QFETCH(HakorFolder, folder);
        QFETCH(QString, blocked);
        QFETCH(int, added);
        QFETCH(int, given);
        QFETCH(QStringList, messages);
        Fixture f(memos, categories);
        QVERIFY(write_hakor_folder(f.source, folder));
        if (!blocked.isEmpty()) block_file(f.path(blocked));
        const QByteArrayList before = f.data_files();
        QVERIFY(f.run(f.source));
        QCOMPARE(f.platform.texts(), messages);
        QCOMPARE(f.form->store().table.count(), memos + added);
        if (added > 0) QCOMPARE(f.form->store().table.slot(memos + added).title.display(), folder.memos[size_t(added - 1)].title);
        QCOMPARE(f.form->store().settings[Settings::Counter].as_number(), double(memos + given));
        QVERIFY(!QFile::exists(f.path(QStringLiteral("memo1/m1%1.txt").arg(memos + added + 1, 6, 10, QLatin1Char('0')))));
        if (added == 0) QCOMPARE(f.data_files(), before);
        if (blocked != u"$bunrui.dat") QCOMPARE(f.data_files("$"), messages.first() == kBackups ? before : QByteArrayList(3));
        f.verify_all_follow_store();
    }

    // Every record imported, but the memo index could not be saved at the end:
    // the end message says so without the success wording; the window closes
    // and the list and caption show the memos imported.
    void end_with_files_not_saved() {
        Fixture f;
        QVERIFY(write_hakor_folder(f.source, {true, true, true, hakor_memos(3, 1, 100), {}}));
        f.platform.on_message = [&] {
            if (f.platform.messages.size() == 1) block_file(f.path("tzurio.dat"));  // after the backups
        };
        QVERIFY(!f.run(f.source));
        QCOMPARE(f.platform.texts(), QStringList({kBackups, "ファイル tzurio.dat を保存できませんでした。\r"
                                                  "【ハコネル】のデータは読み込みましたが、上記のファイルは保存されていません。"}));
        QCOMPARE(f.platform.messages.back().icon, MsgIcon::Critical);
        QCOMPARE(f.form->row_maps().shown_count, 5);
        QCOMPARE(f.form->windowTitle(), main_caption(5));
    }

    // A stop signal while the import runs stops it between two records; one
    // while its message stands stops it before the first. What was imported
    // is written, the exit save follows once, and nothing is said after it.
    void a_stop_signal_ends_the_run_at_a_safe_point_data() {
        QTest::addColumn<bool>("during_message");
        QTest::newRow("between records") << false;
        QTest::newRow("while the backup message stands") << true;
    }
    void a_stop_signal_ends_the_run_at_a_safe_point() {
        QFETCH(bool, during_message);
        Fixture f;
        QVERIFY(write_hakor_folder(f.source, {true, true, true, hakor_memos(50, 1, 100), {}}));
        if (during_message) f.platform.on_message = [&] { f.form->request_end(); };
        f.run(f.source, [&](F_hakor*) {
            if (!during_message) QTimer::singleShot(0, f.form.get(), [&] { f.form->request_end(); });
        });
        QTRY_VERIFY(f.form->ended());
        const int imported = f.form->store().table.count() - 2;
        QVERIFY2(during_message ? imported == 0 : imported > 0 && imported < 50, qPrintable(QString::number(imported)));
        QCOMPARE(f.platform.texts(), QStringList({kBackups}));
        QCOMPARE(f.file("tzurio.dat"), index_bytes(f.form->store().table));
        QCOMPARE(f.file("tzurio.ini"), settings_bytes(f.form->store().settings));
    }

    // The window opens at the current folder; ホーム shows the user's home folder, with its volume in
    // the drive chooser, and a drive not ready is refused. Records sort by update, a cut one is kept,
    // a missing body file is named, only "SECRET" locks, a category differing in case and "全部" are
    // added again. A second run adds all again, numbered anew.
    void runs_and_repeat() {
        Fixture f;
        const std::vector<HakorMemo> records{  // numbered 3.. in this order
            {.category = "Work", .title = "S", .updated = "99/01/07 00:00:00", .marker = "SECRET"},
            {.category = "Work", .title = "B", .updated = ""},
            {.category = "Work", .title = "s", .number = 12, .updated = "99/01/09 00:00:00", .marker = "secret",
             .body = "本文\r\n二行目"},
            {.category = "Work", .title = "7", .number = 7, .updated = "99/01/08 00:00:00"},
            {.category = "work", .title = "w", .updated = "99/01/06 00:00:00"},
            {.category = "全部", .title = "all", .updated = "98/01/01 00:00:00"}};
        QVERIFY(write_hakor_folder(f.source, {true, true, true, records, {"97/01/01", "Work", "切"}}));
        f.find<QRadioButton>("Option1")->click();  // fast mode: the viewer shows the text body
        click_row(f.find<MemoGrid>("Grid1"), 1);
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(f.source));
        QVERIFY(!f.run(QString(), [&](F_hakor* d) {
            const auto with_separator = [](const QString& path) { return QDir::toNativeSeparators(path) + QDir::separator(); };
            QCOMPARE(d->source_folder(), with_separator(QDir::currentPath()));
            const int good = d->Drive1->currentIndex();
            d->Drive1->addItem("/no/such/volume", "/no/such/volume");
            d->Drive1->setCurrentIndex(d->Drive1->count() - 1);
            QCOMPARE(f.platform.beeps, 1);
            QCOMPARE(d->Drive1->currentIndex(), good);
            QTest::mouseClick(d->Command3, Qt::LeftButton);
            QCOMPARE(d->source_folder(), with_separator(f.source));
            QCOMPARE(d->Drive1->currentData().toString(), QStorageInfo(f.source).rootPath());
        }));
        qputenv("HOME", home);
        QCOMPARE(f.platform.texts(), QStringList({"ドライブの準備ができていません。", kBackups,
                 "変換が終了しました。\rhakor.datは記録の途中で終わっていました。最後の記録は、欠けていた行を空にして読み込みました。"
                         "\r本文ファイルを読めなかったメモが1件あり、本文を空にしました（本文番号 7）。"}));
        QCOMPARE(grid_titles(f.form->Grid1), QStringList({"既存1", "既存2", "s", "7", "S", "w", "all", "B", "切"}));
        for (int i = 3; i <= 8; ++i) {
            const MemoRecord& r = f.form->store().table.slot(i);
            const HakorMemo& m = records.at(size_t(r.memo_number.as_number().value_or(0) - 3));
            QCOMPARE(r.title.display() + r.category.display() + r.created_stamp.display(),
                     m.title + m.category + m.date);
            QCOMPARE(r.locked(), m.marker == u"SECRET");
        }
        QCOMPARE(f.form->store().categories.entries(), QStringList({"全部", "Work", "既存分類2", "work", "全部"}));
        QCOMPARE(f.find<RichTextBox>("RTB1")->text(), QString());
        f.verify_all_follow_store();

        const QByteArrayList before = f.data_files();
        QVERIFY(!f.run(f.source));
        QCOMPARE(grid_titles(f.form->Grid1),
                 QStringList({"既存1", "既存2", "s", "s", "7", "7", "S", "S", "w", "w", "all", "all", "B", "切", "B", "切"}));
        QCOMPARE(f.form->store().table.slot(4).memo_number.display(), QStringLiteral("12"));
        QCOMPARE(f.data_files("$"), before);
        f.verify_all_follow_store();
    }
};

QTEST_MAIN(TestImport)
#include "tst_import.moc"
