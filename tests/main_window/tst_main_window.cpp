// The main window: start-up on a data folder and the exit save; the layout rule
// and the splitter band, as numbers and on the real window at several pixel densities;
// the command buttons: new and correct with the editor they open, delete with
// its dialog, printing and the web-address button.

#include "editor/f_kinyu.h"
#include "main_window/main_layout.h"
#include "store/backup.h"
#include "store/data_folder.h"
#include "support/form_fixture.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"
#include "ui/twips.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

using namespace tz;
using namespace tz::test;

namespace {

// Equal within a pixel's rounding.
bool near(int a, int b) { return std::abs(a - b) <= 15; }

struct Fixture : FormFixture {
    Fixture() {
        write_folder(dir.path(), {memo("仕事", "同じ題", 30, "c6/12/05 10:00:00"), memo("家", "買い物", 20, "c6/12/04 10:00:00"),
                                  memo("仕事", "同じ題", 10, "c6/12/03 10:00:00", true)}, {"全部", "仕事", "家"}, 40);
        start();
    }
    // Presses いいよ in the delete dialog once it is open.
    void delete_current() {
        on_next_modal([](QWidget* d) { QTest::mouseClick(d->findChild<QPushButton*>("Command1"), Qt::LeftButton); });
        QTest::mouseClick(form->Command7, Qt::LeftButton);
    }
    // Fills the next editor (a null body leaves its box as it is) and saves.
    void write_in_editor(const QString& title, const QString& body) {
        on_next_modal([=, this](QWidget* w) {
            auto* editor = qobject_cast<F_kinyu*>(w);
            QVERIFY(editor);
            editor->Combo1->lineEdit()->selectAll();
            type_text(editor->Combo1->lineEdit(), QStringLiteral("仕事"));
            editor->Text2->selectAll();
            type_text(editor->Text2, title);
            if (!body.isNull()) type_text(editor->RTB_kinyu, body);
            QTest::mouseClick(editor->Command1, Qt::LeftButton);
        });
    }
};

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
        QVERIFY(QFile::exists(backups + "/20261205/memo2/m2000001.txt"));
        write_bytes(backups + "/20261205/mark", "");  // a second backup would replace the folder
        f.start();
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
    // be dragged, and the hint line follows the mouse over it and the other parts.
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
        // The hint line says what the part under the mouse does.
        for (const auto& [part, hint] : {std::pair<QWidget*, QString>{form.Command7, "現在選択されているメモを削除します。"},
                                         {form.Grid1->viewport(), "クリックでメモ内容を表示、ダブルクリックで一番上に移動"},
                                         {form.RTB1->viewport(), "メモの内容を表示するエリアです。"}}) {
            move_mouse(part, QPoint(3, 3));
            QCOMPARE(form.Text1->text(), hint);
        }
        form.close();  // the exit save keeps the dragged height for the next start
        const QStringList ini = QString::fromLatin1(read_bytes(f.path("tzurio.ini"))).split("\r\n");
        QCOMPARE(ini.value(6), QString(" %1 ").arg(form.list_height_twips()));
        twips::set_dpi(0);
    }

    // Correct refuses a row without a memo and asks for a locked memo's password
    // (none set: an empty one opens it).
    void new_and_correct_open_the_editor() {
        Fixture f;
        f.write_in_editor("会議", "午後三時から");
        QTest::mouseClick(f.form->Command6, Qt::LeftButton);
        QCOMPARE(grid_titles(f.form->Grid1), QStringList({"会議", "同じ題", "買い物", "同じ題"}));
        f.form->Grid1->set_current_row(4);
        f.time.now = f.time.now.addSecs(1);
        answer_unlock(QString());
        f.write_in_editor("訂正", QString());
        QTest::mouseClick(f.form->Command8, Qt::LeftButton);  // the lock's notice first
        QCOMPARE(grid_titles(f.form->Grid1), QStringList({"訂正", "会議", "同じ題", "買い物"}));
        click_row(f.form->Grid1, 2);
        QCOMPARE(f.form->RTB1->text(), QStringLiteral("午後三時から"));
        // The empty row of a shorter list.
        f.combo_search("会議");
        f.form->Grid1->set_current_row(2);
        QTest::mouseClick(f.form->Command8, Qt::LeftButton);
        QCOMPARE(f.platform.texts().mid(1), QStringList{"訂正する項目が選択されていません。"});
        QCOMPARE(f.form->windowTitle(), QStringLiteral("【ツヅリオ】Ver.3.0 (4件)"));
    }

    // A picture copied from the viewer goes into another memo's correction and is
    // saved with it, though the viewer has shown that other memo since.
    void a_picture_copied_from_the_viewer_is_saved_in_another_memo() {
        Fixture f;
        const auto picture_hex = [](QByteArray rtf) {  // a PNG's bytes, as hex digits
            rtf = rtf.mid(rtf.indexOf("8950"));
            return rtf.left(rtf.indexOf('}')).replace("\r", "").replace("\n", "");
        };
        const QByteArray picture = read_bytes(QStringLiteral(TZ_TEST_DATA "/rtf/picture_png.rtf"));
        write_bytes(f.form->store().rich_body_path(Value::number(30)), picture);
        click_row(f.form->Grid1, 1);
        f.form->RTB1->selectAll();
        f.form->RTB1->copy();
        click_row(f.form->Grid1, 2);
        on_next_modal([](QWidget* w) {
            auto* editor = qobject_cast<F_kinyu*>(w);
            QVERIFY(editor);
            editor->RTB_kinyu->moveCursor(QTextCursor::End);
            editor->RTB_kinyu->paste();
            QTest::mouseClick(editor->Command1, Qt::LeftButton);
        });
        QTest::mouseClick(f.form->Command8, Qt::LeftButton);
        QCOMPARE(picture_hex(read_bytes(f.form->store().rich_body_path(Value::number(20)))), picture_hex(picture));
        click_row(f.form->Grid1, 1);
        QCOMPARE(f.form->RTB1->document()->toPlainText(), u"買い物before\uFFFCafter"_qs);  // where it was pasted
    }

    // Nothing goes without a memo row, nor while the index cannot be written. The list is shown anew
    // in its order, the viewer emptied; a locked memo goes without its password.
    void deleting_removes_the_selected_memo() {
        Fixture f;
        QTest::mouseClick(f.form->Grid1->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
        QTest::mouseClick(f.form->Command7, Qt::LeftButton);
        click_row(f.form->Grid1, 4);  // the empty row
        QTest::mouseClick(f.form->Command7, Qt::LeftButton);
        QCOMPARE(f.platform.texts(), QStringList(2, "削除する項目が選択されていません。"));
        block_file(f.path("tzurio.dat"));
        click_row(f.form->Grid1, 2);
        f.delete_current();
        QCOMPARE(f.platform.texts().last(), QStringLiteral("ファイル tzurio.dat を保存できませんでした。\rメモは削除されていません。"));
        QVERIFY(QDir(f.path("tzurio.dat")).removeRecursively());
        pick_from_list(f.form->Combo1, 1);  // 仕事: the two memos titled 同じ題
        click_row(f.form->Grid1, 1);
        QString hint_while_asked;
        on_next_modal([&](QWidget* d) {
            hint_while_asked = f.form->Text1->text();
            QVERIFY(!(d->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
            QVERIFY(activate(d));  // Enter goes to the dialog's focused button once it is active
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        QTest::mouseClick(f.form->Command7, Qt::LeftButton);
        QCOMPARE(grid_titles(f.form->Grid1), QStringList({"買い物", "同じ題"}));  // every memo, order kept
        QCOMPARE(hint_while_asked, u"[いいよ]ボタンで、選択中のメモを削除します。"_qs);
        QCOMPARE(f.form->RTB1->text() + f.form->Text1->text(), QString());  // viewer and hint line emptied
        QCOMPARE(f.form->windowTitle(), QStringLiteral("【ツヅリオ】Ver.3.0 (2件)"));
        f.platform.messages.clear();
        answer_unlock(QString(), false, true);  // the click asks for its password; cancelled
        click_row(f.form->Grid1, 2);
        f.delete_current();
        QCOMPARE(grid_titles(f.form->Grid1), QStringList({"買い物"}));
        QCOMPARE(f.platform.texts(), QStringList({"指定されたメモには鍵がかかっています。"}));
    }

    void dialogs_answer_keys_close_and_minimise_data() {
        QTest::addColumn<QString>("opener");  // the main window's button, pressed by Enter; Grid1: a click on locked row 3
        QTest::addColumn<QString>("focus");   // the dialog's control with the focus
        QTest::addColumn<QString>("action");  // Enter, or the window manager's close or minimise
        QTest::addColumn<bool>("stays_open");  // nothing is deleted in any case (Enter on いいよ: see above)
        QTest::newRow("delete: Enter on やっぱりダメ") << "Command7" << "Command2" << "enter" << false;
        QTest::newRow("delete: closed") << "Command7" << "Command1" << "close" << false;
        QTest::newRow("delete: minimised") << "Command7" << "Command1" << "minimise" << true;
        QTest::newRow("unlock: Enter on CANCEL") << "Command8" << "Command1" << "enter" << false;
        QTest::newRow("unlock: Enter on the move box") << "Grid1" << "Check1" << "enter" << true;
        QTest::newRow("editor: Enter on 中止") << "Command6" << "Command2" << "enter" << false;
    }

    void dialogs_answer_keys_close_and_minimise() {
        QFETCH(QString, opener);
        QFETCH(QString, focus);
        QFETCH(QString, action);
        QFETCH(bool, stays_open);
        Fixture f;
        f.form->store().settings[Settings::LockPassword] = Value(QStringLiteral("pw"));
        const QByteArray index = read_bytes(f.path("tzurio.dat"));
        QVERIFY(activate(f.form.get()));
        bool open_after = !stays_open;
        on_next_modal([&](QWidget* d) {
            QVERIFY(activate(d));
            d->findChild<QWidget*>(focus)->setFocus(Qt::TabFocusReason);
            if (action == "enter") QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            if (action == "close") d->close();
            if (action == "minimise") d->setWindowState(Qt::WindowMinimized);
            QTest::qWait(50);
            open_after = d->isVisible() && !d->isMinimized();
            if (d->isVisible()) QTest::keyClick(d, Qt::Key_Escape);
        });
        if (opener == "Grid1") {
            click_row(f.form->Grid1, 3);
        } else {
            f.form->Grid1->set_current_row(opener == "Command8" ? 3 : 1);  // without showing the memo
            f.find<QPushButton>(opener.toLatin1())->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // the main window's buttons too
        }
        QCOMPARE(open_after, stays_open);
        QCOMPARE(read_bytes(f.path("tzurio.dat")), index);  // nothing deleted
        QVERIFY(!f.platform.texts().contains("パスワードが間違っています。"));  // OK was never pressed
    }

    // A selection made with the mouse in the viewer shows the web-address
    // button when it starts with http or HTTP; the button opens it only when
    // it is one well-formed address, spaces and line ends around it left out.
    void the_web_address_button_data() {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("opened");  // empty: nothing
        QTest::newRow("upper case") << "HTTP://EXAMPLE.COM" << true << "http://example.com";
        QTest::newRow("mixed-case start") << "Http://x" << false << "";
        QTest::newRow("not an address") << "httpd.conf" << true << "";
        QTest::newRow("over a line break") << "https://ok.example/CaseKept?q=1 \t\nne" << true << "";
        QTest::newRow("a line, case kept") << "https://ok.example/CaseKept?q=1 \t\n" << true << "https://ok.example/CaseKept?q=1";
    }

    void the_web_address_button() {
        QFETCH(QString, selected);
        QFETCH(bool, shown);
        Fixture f;
        f.form->RTB1->set_text("see HTTP://EXAMPLE.COM Http://x httpd.conf\r\nhttps://ok.example/CaseKept?q=1 \t\r\nnext");
        f.form->RTB1->set_sel_start(int(f.form->RTB1->text().replace("\r\n", "\n").indexOf(selected)));
        f.form->RTB1->set_sel_length(int(selected.size()));
        QPushButton* url = f.form->Command1;
        url->show();  // as an earlier selection leaves it
        QTest::mouseRelease(f.form->RTB1->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(url->isVisible(), shown);
        if (shown) QTest::mouseClick(url, Qt::LeftButton);
        QTEST(f.platform.opened.empty() ? QString() : f.platform.opened.back().toString(), "opened");
        // Keyboard selection and clicks in the list leave it as it is.
        f.form->RTB1->setFocus();
        QTest::keyClick(f.form->RTB1, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(f.form->RTB1, Qt::Key_Right, Qt::ShiftModifier);
        click_row(f.form->Grid1, 2);
        QCOMPARE(url->isVisible(), shown);
    }

    // The viewer only shows: keys, a paste, a cut and an input method change
    // nothing, and its menu offers no paste. Selecting by keys and copying work.
    void the_viewer_only_shows_and_copies() {
        Fixture f;
        RichTextBox* viewer = f.form->RTB1;
        viewer->set_text("abc def");
        QVERIFY(activate(f.form.get()));
        viewer->setFocus();
        QTest::keyClick(viewer, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < 3; ++i) QTest::keyClick(viewer, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(viewer, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("abc"));
        QTest::keyClick(viewer, Qt::Key_X, Qt::ControlModifier);
        QTest::keyClick(viewer, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClicks(viewer, "xyz");
        for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Return}) QTest::keyClick(viewer, key);
        type_text(viewer, QStringLiteral("会議"));
        QCOMPARE(viewer->text(), QStringLiteral("abc def"));
        const std::unique_ptr<QMenu> menu(viewer->createStandardContextMenu());
        QStringList offered;
        for (const QAction* a : menu->actions())
            if (!a->objectName().isEmpty()) offered << a->objectName();
        QCOMPARE(offered, QStringList({"edit-copy", "select-all"}));
    }

    void printing_takes_the_selection_or_everything() {
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
        Fixture f;
        f.form->RTB1->set_text("PRINTED-ONE\r\nPRINTED-TWO");
        const auto print = [&](int selected, const QString& pdf) {
            f.platform.print_to_pdf = f.path(pdf);
            f.form->RTB1->set_sel_start(0);
            f.form->RTB1->set_sel_length(selected);
            QTest::mouseClick(f.form->Command9, Qt::LeftButton);
            QProcess p;
            p.start(pdftotext, {f.platform.print_to_pdf, "-"});
            p.waitForFinished();
            return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        };
        QCOMPARE(print(11, "sel.pdf"), QStringLiteral("PRINTED-ONE"));  // nothing else: no page number
        QCOMPARE(print(0, "all.pdf").simplified(), QStringLiteral("PRINTED-ONE PRINTED-TWO"));
        QCOMPARE(f.platform.print_dialogs, std::vector<bool>({true, false}));  // selection choice marked
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
