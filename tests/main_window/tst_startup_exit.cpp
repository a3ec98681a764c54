// Start-up on a data folder and the exit save, through the real main window.

#include "support/form_fixture.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"
#include "ui/twips.h"
#include "store/backup.h"
#include "store/data_folder.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

using namespace tz;
using namespace tz::test;

namespace {

const QStringList kDataFiles{"tzurio.ini", "tzurio.dat", "bunrui.dat", "kensaku.dat"};

}  // namespace

class TestStartupExit : public QObject {
    Q_OBJECT
private slots:
    void window_geometry_is_restored_and_stored_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("top");
        QTest::newRow("normal") << 0 << 1500;
        QTest::newRow("maximised") << 2 << 1500;
        QTest::newRow("normal, on no screen") << 0 << 900000;
    }
    void window_geometry_is_restored_and_stored() {
        QFETCH(int, state);
        QFETCH(int, top);
        FormFixture f;
        write_folder(f.dir.path(), {memo("c", "t", 1)}, {"全部", "c"}, 1);
        const QStringList place{QString(" %1 ").arg(top), " 900 ", " 7500 ", " 10500 ", " 1995 "};
        write_bytes(f.path("tzurio.ini"), crlf_lines(QStringList{" 1 ", QString(" %1 ").arg(state)} + place +
                                                     QStringList{" 2 ", "全部", "", "更新日", " 0 ", ""}));
        Main_form& form = f.start();
        const QRect outer = form.outer_geometry_twips();
        if (state == 2) {
            QTRY_VERIFY(form.isMaximized());
        } else if (top > 100000) {
            // A folder carried from a larger display: the window stays reachable, its size kept.
            QVERIFY(QGuiApplication::primaryScreen()->geometry().intersects(twips::to_px(outer)));
            QCOMPARE(outer.size(), QSize(10500, 7500));
            return;
        } else {
            QCOMPARE(outer, QRect(900, 1500, 10500, 7500));
            QCOMPARE(twips::from_px(f.find<QWidget>("Grid1")->height()), 1995);
        }
        form.save_all_and_end();
        const QStringList ini = QString::fromLatin1(read_bytes(f.path("tzurio.ini"))).split("\r\n");
        QCOMPARE(ini[1], QString(" %1 ").arg(state));
        if (state == 0) QCOMPARE(ini.mid(2, 5), place);
    }

    // An empty folder starts with the first memo listed and current, its category in the box;
    // closing the window and both quit items then write the same bytes, and nothing else.
    void first_start_and_the_three_exit_paths() {
        QByteArray first;
        for (int path = 0; path < 3; ++path) {
            FormFixture f;
            Main_form& form = f.start();
            QCOMPARE(grid_titles(form.Grid1), QStringList({"【ツヅリオ】ご利用のお礼"}));
            QCOMPARE(form.Grid1->current_row(), 1);
            QCOMPARE(combo_items(form.Combo1), QStringList({"全部", "作者より"}));
            QVERIFY(form.RTB1->text().isEmpty() && !form.Command1->isVisible() && f.platform.messages.empty());
            form.store().settings[Settings::LockPassword] = Value(u"ひみつ");
            form.store().table.append(memo("家", "買い物", 5, "c6/12/06 10:00:00"));
            form.store().table.resort();
            // Before the last exit another writer (a synced computer) replaces the index: its version is
            // kept beside ours and named once; nothing else differs.
            const QByteArray theirs = crlf_lines({"d", "c", "他のメモ", " 9 ", "s", "s", "NO"});
            if (path == 2) write_bytes(f.path("tzurio.dat"), theirs);
            if (path == 0) form.close();
            if (path == 1) form.Menu_file_quit->trigger();
            if (path == 2) form.Menu_quit->trigger();
            QVERIFY(form.ended() && !form.isVisible());
            QCOMPARE(read_bytes(f.path("tzurio.dat.other-20261205-215200")), path == 2 ? theirs : QByteArray());
            QCOMPARE(f.platform.texts().join("").contains("tzurio.dat → tzurio.dat.other-20261205-215200"), path == 2);
            QByteArray all;
            for (const QString& name : kDataFiles) all += read_bytes(f.path(name)) + "|";
            if (path == 0) first = all; else QCOMPARE(all, first);
            const QByteArray index = read_bytes(f.path("tzurio.dat"));  // 買い物, updated last, now first
            QVERIFY(index.indexOf(crlf_lines({"家"})) < index.indexOf(crlf_lines({"作者より"})));
        }
    }

    // A damaged file is reported once the window is up, and no backup is kept of what was read; the
    // manual opens when it is there; the exit save names the files it could not write.
    void damage_manual_and_a_failed_exit_save() {
        FormFixture f;
        write_folder(f.dir.path(), {memo("c", "t", 1)}, {"全部", "c"}, 1);
        write_bytes(f.path("kensaku.dat"), crlf_lines({"a"}));
        f.platform.on_message = [&] { QVERIFY(f.form->isVisible()); };
        f.start();
        QTRY_COMPARE(f.platform.messages.size(), size_t(1));
        QVERIFY(f.platform.messages[0].text.contains("kensaku.dat"));
        QCOMPARE(f.form->Combo2->itemText(0), QStringLiteral("a"));
        QTest::qWait(100);
        QVERIFY(!QFile::exists(backup::folder_of(f.dir.path())));
        f.form->menu_tukaikata->trigger();
        QCOMPARE(f.platform.texts().mid(1), QStringList({"MANUAL.WRIファイルが無いので、使い方を表示できません。"}));
        write_bytes(f.path("MANUAL.WRI"), "manual");  // as a folder carried from another system holds it
        f.form->menu_tukaikata->trigger();
        QCOMPARE(f.platform.opened, std::vector<QUrl>({QUrl::fromLocalFile(f.path("MANUAL.WRI"))}));
        // A disk that fills up: the index, grown past what it takes, keeps its old bytes.
        for (int n = 2; n < 200; ++n) f.form->store().table.append(memo("c", QString("t%1").arg(n), n));
        const auto before = folder_contents(f.dir.path());
        {
            FileSizeLimit full(4096);
            f.form->close();
        }
        QCOMPARE(f.platform.texts().mid(2), QStringList({"ファイル tzurio.dat を保存できませんでした。"}));
        QCOMPARE(read_bytes(f.path("tzurio.dat")), before["tzurio.dat"]);
        QCOMPARE(folder_contents(f.dir.path()).keys(), before.keys());
    }

    // The day's first start of a soundly read folder keeps a backup once the window shows; a second
    // start that day makes none.
    void a_daily_backup_once_the_window_shows() {
        FormFixture f;
        write_folder(f.dir.path(), {memo("c", "t", 1)}, {"全部", "c"}, 1);
        f.start();
        const QString backups = backup::folder_of(f.dir.path());
        QTRY_VERIFY(QFile::exists(backups + "/20261205/memo2/m2000001.txt"));
        write_bytes(backups + "/20261205/mark", "");  // a second backup would replace the folder
        f.start();
        QTest::qWait(100);
        QVERIFY(QFile::exists(backups + "/20261205/mark"));
    }

    void an_unreadable_index_ends_the_program_without_writing() {
        FormFixture f;
        write_folder(f.dir.path(), {memo("c", "t", 1, "s", true), memo("c", "u", 2)}, {"全部", "c"}, 2);
        write_bytes(f.path("tzurio.ini"), crlf_lines({" 2 ", " 0 ", " 1 ", " 2 ", " 3 ", " 4 ", " 1215 ", " 2 ", "全部", "", "更新日", " 0 ", "pw"}));
        QFile(f.path("tzurio.dat")).setPermissions(QFile::WriteOwner);
        QFile(f.dir.path()).setPermissions(QFile::Permissions(0x7777));
        const auto before = folder_contents(f.dir.path());
        {
            AsOrdinaryUser user;
            f.start(false);
            f.form->show_as_stored();
            f.form->close();
        }
        QVERIFY(f.form->ended() && !f.form->isVisible());
        QCOMPARE(f.platform.messages.size(), size_t(1));
        QVERIFY(f.platform.messages[0].text.contains("tzurio.dat"));
        QCOMPARE(f.platform.messages[0].icon, MsgIcon::Critical);
        QCOMPARE(folder_contents(f.dir.path()), before);
    }
};

QTEST_MAIN(TestStartupExit)
#include "tst_startup_exit.moc"
