// The main window: start-up on a data folder and the exit save; the layout rule
// and the splitter band, as numbers and on the real window at several pixel densities.

#include "main_window/main_layout.h"
#include "store/backup.h"
#include "store/data_folder.h"
#include "support/form_fixture.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"
#include "ui/twips.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tz;
using namespace tz::test;

namespace {

// Equal within a pixel's rounding.
bool near(int a, int b) { return std::abs(a - b) <= 15; }

}  // namespace

class TestMainWindow : public QObject {
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
            // Before the last exit another writer (a synced computer) replaces the index: its version, kept
            // beside ours (as the data folder's tests check), is named once; nothing else differs.
            const QByteArray theirs = crlf_lines({"d", "c", "他のメモ", " 9 ", "s", "s", "NO"});
            if (path == 2) write_bytes(f.path("tzurio.dat"), theirs);
            if (path == 0) form.close();
            if (path == 1) form.Menu_file_quit->trigger();
            if (path == 2) form.Menu_quit->trigger();
            QVERIFY(form.ended() && !form.isVisible());
            QCOMPARE(f.platform.texts().join("").contains("tzurio.dat → tzurio.dat.other-20261205-215200"), path == 2);
            QByteArray all;
            for (const char* name : {"tzurio.ini", "tzurio.dat", "bunrui.dat", "kensaku.dat"})
                all += read_bytes(f.path(name)) + "|";
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

    void layout_rule_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("list");
        QTest::addColumn<bool>("after_big");  // laid out at 10450 × 7475 before, else as drawn
        QTest::addColumn<QSize>("wanted");
        QTest::addColumn<int>("title_column");
        // Grid1, RTB1, then Combo2, Command5, Frame1, Command1, Text1, Command9, 8, 7, 6 as far as given.
        QTest::addColumn<QList<QRect>>("rects");
        const QList<QRect> drawn{{30, 420, 9315, 1215}, {0, 1740, 9315, 4035}, {4260, 60, 2715, 315}, {7020, 60, 675, 315},
                                 {7740, -60, 1575, 435}, {5640, 5400, 3665, 340}, {60, 5850, 5535, 315}, {5640, 5820, 795, 315},
                                 {6480, 5820, 795, 315}, {7320, 5820, 795, 315}, {8160, 5820, 1155, 315}};
        QTest::newRow("as drawn") << QSize(9450, 6975) << 1215 << false << QSize(9450, 6975) << 6365 << drawn;
        // Wider by 1000 and higher by 500: the list and viewer take both.
        QTest::newRow("larger") << QSize(10450, 7475) << 1215 << false << QSize(10450, 7475) << 7365
            << QList<QRect>{{30, 420, 10315, 1215}, {0, 1740, 10315, 4535}, {4260, 60, 3715, 315}, {8020, 60, 675, 315},
                            {8740, -60, 1575, 435}, {6640, 5900, 3665, 340}, {60, 6350, 5535, 315}, {6640, 6320, 795, 315},
                            {7480, 6320, 795, 315}, {8320, 6320, 795, 315}, {9160, 6320, 1155, 315}};
        // A tall list leaves the viewer its 1000 twips and shrinks instead.
        QTest::newRow("tall list") << QSize(9450, 6975) << 5000 << false << QSize(9450, 6975) << 6365
            << QList<QRect>{{30, 420, 9315, 4250}, {0, 4775, 9315, 1000}};
        QTest::newRow("a twip too narrow and low snaps back") << QSize(9449, 6974) << 1215 << true << QSize(9450, 6975) << 6365 << drawn;
        // The minimised height is left alone, and so are the list's and viewer's heights.
        QTest::newRow("minimised") << QSize(9450, 540) << 1215 << true << QSize(9450, 540) << 6365
            << QList<QRect>{{30, 420, 9315, 1215}, {0, 1740, 9315, 4535}};
    }
    void layout_rule() {
        QFETCH(QSize, size);
        QFETCH(int, list);
        QFETCH(bool, after_big);
        QFETCH(QList<QRect>, rects);
        const MainLayout before = after_big ? main_layout(10450, 7475, 1215, MainLayout()) : MainLayout();
        const MainLayout l = main_layout(size.width(), size.height(), list, before);
        QTEST(QSize(l.width, l.height), "wanted");
        QTEST(l.title_column, "title_column");
        const QList<QRect> all{l.Grid1, l.RTB1, l.Combo2, l.Command5, l.Frame1, l.Command1, l.Text1, l.Command9, l.Command8, l.Command7, l.Command6};
        QCOMPARE(all.mid(0, rects.size()), rects);
    }

    void split_rule_data() {
        QTest::addColumn<int>("y");
        QTest::addColumn<QList<int>>("split");  // list height, viewer top, viewer height
        QTest::newRow("above the top clamp") << 1000 << QList<int>{1000, 1525, 4250};
        QTest::newRow("the last y that follows the mouse") << 4725 << QList<int>{4255, 4780, 995};
        QTest::newRow("one below") << 4726 << QList<int>{4250, 4775, 1000};
    }
    void split_rule() {
        QFETCH(int, y);
        const Split s = split_for_y(y, 6975);
        QTEST((QList<int>{s.list_height, s.viewer_top, s.viewer_height}), "split");
    }

    // At each density nothing overlaps and every caption fits; with many categories the category box's list
    // shows 20 rows and scrolls; a resize moves the controls and a too small size snaps back; the band can
    // be dragged.
    void the_window_lays_out_its_controls_data() {
        QTest::addColumn<double>("dpi");
        QTest::newRow("96") << 96.0;
        QTest::newRow("120") << 120.0;
        QTest::newRow("144") << 144.0;
    }
    void the_window_lays_out_its_controls() {
        QFETCH(double, dpi);
        twips::set_dpi(dpi);
        FormFixture f;
        Main_form& form = f.start();
        auto geometry = [&](const char* name) { return f.find<QWidget>(name)->geometry(); };
        const char* row[] = {"Text1", "Command9", "Command8", "Command7", "Command6"};
        for (size_t i = 0; i + 1 < std::size(row); ++i) QVERIFY2(geometry(row[i]).right() < geometry(row[i + 1]).left(), row[i]);
        for (const char* name : {"Command5", "Command6", "Command7", "Command8", "Command9", "Command1"}) {
            auto* b = f.find<QPushButton>(name);
            QVERIFY2(b->fontMetrics().horizontalAdvance(b->text()) <= b->width(), name);
        }
        QVERIFY(geometry("Grid1").bottom() < geometry("RTB1").top());
        QVERIFY(geometry("RTB1").bottom() < geometry("Command6").top());
        QVERIFY(geometry("Command6").right() <= geometry("form_surface").width());
        for (int i = 0; i < 100; ++i) form.store().categories.append(QString::number(i));
        form.refill_category_box();
        form.Combo1->showPopup();
        const QAbstractItemView* list = form.Combo1->view();
        QTRY_VERIFY(list->isVisible());
        const int rows = list->viewport()->height() / list->sizeHintForRow(0);
        QVERIFY2(rows >= 19 && rows <= 20, QByteArray::number(rows));
        form.Combo1->hidePopup();

        const QRect outer = form.outer_geometry_twips();
        form.set_outer_geometry_twips(QRect(outer.left(), outer.top(), 11450, 8975));
        QTRY_VERIFY(near(form.outer_geometry_twips().width(), 11450));  // each place in layout_rule
        QVERIFY(near(form.Grid1->col_width_twips(2), 6365 + 2000));
        form.set_outer_geometry_twips(QRect(outer.left(), outer.top(), 6000, 4000));
        QTRY_VERIFY(near(form.outer_geometry_twips().width(), 9450));
        QWidget* surface = f.find<QWidget>("form_surface");
        const auto at = [](int y) { return QPoint(300, twips::to_px(y)); };
        // Away from the band a press does nothing.
        move_mouse(surface, at(200));
        QTest::mousePress(surface, Qt::LeftButton, {}, at(200));
        QTest::mouseMove(surface, at(3000));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, at(3000));
        QCOMPARE(form.list_height_twips(), 1215);
        // Over the band: the sizing pointer and a hint; the drag follows the mouse.
        move_mouse(surface, at(420 + 1215 + 50));
        QCOMPARE(surface->cursor().shape(), Qt::SizeVerCursor);
        QVERIFY(!form.Text1->text().isEmpty());
        QTest::mousePress(surface, Qt::LeftButton, {}, at(420 + 1215 + 50));
        QTest::mouseMove(surface, at(2400));
        QVERIFY(near(form.list_height_twips(), 2400 - 470));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, at(3000));
        QVERIFY(near(form.list_height_twips(), 2530));
        // After the release moves no longer drag.
        move_mouse(surface, at(1500));
        QVERIFY(near(form.list_height_twips(), 2530));
        QCOMPARE(form.Text1->text(), QString());
        form.close();  // the exit save keeps the dragged height for the next start
        const QStringList ini = QString::fromLatin1(read_bytes(f.path("tzurio.ini"))).split("\r\n");
        QCOMPARE(ini.value(6), QString(" %1 ").arg(form.list_height_twips()));
        twips::set_dpi(0);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
