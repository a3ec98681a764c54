// The memo list as a user works it: category filter, title search with the
// keyword history, move to top, showing memos and locked memos; the list's
// own grid on its own.

#include "store/data_folder.h"
#include "support/form_fixture.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"
#include "dialogs/f_secpassin.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace tz;
using namespace tz::test;

namespace {

struct ListFixture : FormFixture {
    explicit ListFixture(const std::vector<MemoRecord>& memos, const QStringList& categories = {"全部", "仕事", "家"}) {
        write_folder(dir.path(), memos, categories, 100);
        start();
    }
};

std::vector<MemoRecord> three_memos() {
    return {memo("仕事", "会議の予定", 3, "c6/12/05 10:00:00"), memo("家", "買い物 abc", 2, "c6/12/04 10:00:00"),
            memo("仕事", "報告書ＡＢＣ", 1, "c6/12/03 10:00:00")};
}

}  // namespace

class TestMemoList : public QObject {
    Q_OBJECT
private slots:
    // The rows after a pick in the category box (by mouse), then a title search if any.
    void category_and_title_search_data() {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("keyword");  // null: no search
        QTest::addColumn<QStringList>("titles");
        const QStringList work{"会議の予定", "報告書ＡＢＣ"};
        QTest::newRow("a category: exactly its name") << 1 << QString() << work;
        QTest::newRow("全部: every memo") << 0 << QString() << QStringList{"会議の予定", "買い物 abc", "報告書ＡＢＣ", "blank after"};
        QTest::newRow("code units exactly: not ABC, not ＡＢＣ") << 0 << "abc" << QStringList{"買い物 abc"};
        QTest::newRow("empty keyword: every memo of the category") << 1 << "" << work;
        QTest::newRow("within the category") << 1 << "予定" << QStringList{"会議の予定"};
        QTest::newRow("only in another category") << 1 << "買い物" << QStringList();
    }

    void category_and_title_search() {
        QFETCH(int, category);
        QFETCH(QString, keyword);
        std::vector<MemoRecord> memos = three_memos();
        memos.push_back(memo("仕事 ", "blank after", 4, "c6/01/01 00:00:00"));
        ListFixture f(memos, {"全部", "仕事", "家", "仕事 "});
        // At start, its rows made ahead on another thread: every memo.
        QCOMPARE(grid_titles(f.form->Grid1), (QStringList{"会議の予定", "買い物 abc", "報告書ＡＢＣ", "blank after"}));
        f.form->Combo2->setEditText("leftover");
        pick_from_list(f.form->Combo1, category);
        QCOMPARE(f.form->Combo2->currentText(), QString());  // the keyword box is emptied
        if (!keyword.isNull()) f.combo_search(keyword);
        QTEST(grid_titles(f.form->Grid1), "titles");
    }

    // The history's entries before and after one search; the search is
    // repeated by the button, which then changes nothing.
    void keyword_history_follows_the_pick_index_data() {
        QTest::addColumn<QString>("history");  // entries split at spaces; empty: "0" to "19"
        QTest::addColumn<int>("pick");         // the entry picked from the list, or -1
        QTest::addColumn<QString>("typed");    // typed over the box's text
        QTest::addColumn<bool>("enter");       // Enter in the box, else a click on 検索
        QTest::addColumn<QString>("after");    // the first entries after the search
        QTest::newRow("no pick since start: entry 0 replaced") << "" << -1 << "" << false << " 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19";
        QTest::newRow("5 picked: moved to the top") << "" << 5 << "" << false << "5 0 1 2 3 4 6 7 8 9 10 11 12 13 14 15 16 17 18 19";
        QTest::newRow("5 picked, Enter: inserted") << "" << 5 << "" << true << "5 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18";
        QTest::newRow("b picked, an entry's Japanese text typed over it: inserted") << "a 会議 b" << 2 << "会議" << false << "会議 a 会議 b";
        QTest::newRow("nothing completes the typed text") << "abc" << -1 << "ab" << true << "ab abc";
    }

    void keyword_history_follows_the_pick_index() {
        QFETCH(QString, history);
        QFETCH(int, pick);
        QFETCH(QString, typed);
        QFETCH(bool, enter);
        QFETCH(QString, after);
        ListFixture f(three_memos());
        QVERIFY(activate(f.form.get()));  // so that focus changes happen as for a user
        const QStringList given = history.split(' ');
        auto& entries = f.form->store().keywords.entries;
        for (int i = 0; i < 20; ++i) entries[size_t(i)] = history.isEmpty() ? QString::number(i) : given.value(i);
        f.form->refill_keyword_box();
        f.form->Combo2->setEditText(QString());
        if (pick >= 0) pick_from_list(f.form->Combo2, pick);
        QLineEdit* edit = f.form->Combo2->lineEdit();
        QPushButton* button = f.find<QPushButton>("Command5");
        if (!typed.isEmpty()) {
            edit->setFocus(Qt::MouseFocusReason);
            edit->selectAll();
            type_text(edit, typed);
        }
        if (enter) {
            QTest::keyClick(edit, Qt::Key_Return);
        } else {
            button->setFocus(Qt::MouseFocusReason);  // as a click on the button moves it, out of the box
            QTest::mouseClick(button, Qt::LeftButton);
        }
        const QStringList expected = after.split(' ');
        QCOMPARE(f.history().mid(0, int(expected.size())), expected);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(f.history().mid(0, int(expected.size())), expected);
    }

    void double_click_moves_a_memo_to_the_top() {
        ListFixture f(three_memos());
        f.form->Combo1->setFocus();
        QTest::keyClick(f.form->Combo1, Qt::Key_Down);  // 仕事 by the arrow key on the closed box: two rows
        f.form->Combo2->setEditText("x");
        f.time.now = QDateTime(QDate(2026, 12, 6), QTime(9, 0, 0));
        const QByteArray index_before = read_bytes(f.path("tzurio.dat"));
        double_click_row(f.form->Grid1, 2);  // 報告書ＡＢＣ
        QCOMPARE(grid_titles(f.form->Grid1), QStringList({"報告書ＡＢＣ", "会議の予定", "買い物 abc"}));  // every memo
        QCOMPARE(f.form->Grid1->current_row(), 1);
        QCOMPARE(f.form->Combo2->currentText(), QString());
        const MemoRecord& moved = f.form->store().table.slot(1);
        QCOMPARE(moved.updated_stamp.display(), QStringLiteral("c6/12/06 09:00:00"));
        QCOMPARE(moved.created_stamp.display(), QStringLiteral("c6/12/03 10:00:00"));
        QCOMPARE(read_bytes(f.path("tzurio.dat")), index_before);  // nothing written
        // The header and the empty row select nothing.
        double_click_row(f.form->Grid1, 4);
        QCOMPARE(f.platform.texts(), QStringList({"項目が選択されていません。"}));
    }

    void a_click_shows_the_memo_in_either_mode_and_repairs_a_missing_body() {
        ListFixture f(three_memos());
        MemoStore& s = f.form->store();
        write_text_body(s, Value::number(2), QStringLiteral("一行目\r\n二行目"));
        write_bytes(s.rich_body_path(Value::number(2)), "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 x;}}\\f0 \\'95\\'5crich\\par}");
        click_row(f.form->Grid1, 2);
        QCOMPARE(f.form->RTB1->toPlainText(), QStringLiteral("表rich"));
        QTest::mouseClick(f.find<QRadioButton>("Option1"), Qt::LeftButton);  // fast mode rereads it
        QCOMPARE(f.form->RTB1->toPlainText(), QStringLiteral("一行目\n二行目"));
        QCOMPARE(f.form->RTB1->textCursor().charFormat().font().family(), QFont("ＭＳ ゴシック").family());
        QTest::mouseClick(f.find<QRadioButton>("Option2"), Qt::LeftButton);  // rich again for the row below
        // The header empties the viewer; keys move without showing.
        click_header(f.form->Grid1);
        QCOMPARE(f.form->RTB1->toPlainText(), QString());
        click_row(f.form->Grid1, 2);
        QTest::keyClick(f.form->Grid1, Qt::Key_Down);
        QCOMPARE(f.form->RTB1->toPlainText(), QStringLiteral("表rich"));
        // A missing body file is repaired in its mode.
        QFile::remove(s.rich_body_path(Value::number(3)));
        click_row(f.form->Grid1, 1);
        const QString repaired = QStringLiteral("メモファイルの読み込みでエラーが発生しました。\r自動的に修復しましたが、メモの内容は失われました。");
        QCOMPARE(f.platform.texts(), QStringList({repaired}));
        QCOMPARE(read_bytes(s.rich_body_path(Value::number(3))), QByteArray("\r\n"));
        QTest::mouseClick(f.find<QRadioButton>("Option1"), Qt::LeftButton);
        QCOMPARE(f.form->RTB1->toPlainText(), QStringLiteral("会議の予定"));  // the text body is untouched
        // A repair that cannot write says which file, not that it repaired it (and nothing
        // was said for the untouched text body).
        QVERIFY(QDir(f.path("memo1")).removeRecursively());
        write_bytes(f.path("memo1"), "not a folder");
        click_row(f.form->Grid1, 3);
        QCOMPARE(f.platform.texts().mid(1),
                 QStringList{"メモファイルの読み込みでエラーが発生しました。\rファイル memo1/m1000001.txt を保存できませんでした。"});
        QCOMPARE(f.form->RTB1->toPlainText(), QString());
    }

    // A body file that is there but cannot be read is said so, in either mode,
    // and no correction may save over it; a memo whose number is damaged has
    // no body to show.
    void a_body_that_cannot_be_read_is_never_written_over_data() {
        QTest::addColumn<bool>("fast");
        QTest::addColumn<QString>("number");
        QTest::newRow("rich") << false << " 2 ";
        QTest::newRow("fast") << true << " 2 ";
        QTest::newRow("no number") << false << "二";
    }
    void a_body_that_cannot_be_read_is_never_written_over() {
        QFETCH(bool, fast);
        QFETCH(QString, number);
        std::vector<MemoRecord> memos = three_memos();
        memos[1].memo_number = Value(number);
        ListFixture f(memos);
        for (const char* name : {"memo1/m1000002.txt", "memo2/m2000002.txt"})
            QFile(f.path(name)).setPermissions(QFile::WriteOwner);
        QFile(f.dir.path()).setPermissions(QFile::Permissions(0x7755));
        const auto before = folder_contents(f.dir.path());
        if (fast) QTest::mouseClick(f.find<QRadioButton>("Option1"), Qt::LeftButton);
        bool editor_opened = false;
        {
            AsOrdinaryUser user;
            click_row(f.form->Grid1, 2);
            if (number == u" 2 ") {
                const QPointer<QObject> watch = on_next_modal([&](QWidget* w) { editor_opened = true; w->close(); });
                QTest::mouseClick(f.find<QPushButton>("Command8"), Qt::LeftButton);
                delete watch.data();
            }
        }
        const QString file = fast ? "memo1/m1000002.txt" : "memo2/m2000002.txt";
        const auto unreadable = [](const QString& name) {
            return "メモファイル " + name + " を読み込めませんでした。ファイルの読み取りの許可を確かめてください。";
        };
        if (number == u" 2 ")
            QCOMPARE(f.platform.texts(), QStringList({unreadable(file), unreadable("memo2/m2000002.txt") + "\r訂正できません。"}));
        else
            QVERIFY(f.platform.texts().join("|").contains("メモ番号が壊れている"));
        QVERIFY(!editor_opened);
        QCOMPARE(f.form->RTB1->toPlainText(), QString());
        QCOMPARE(folder_contents(f.dir.path()), before);
        QFile(f.dir.path()).setPermissions(QFile::Permissions(0x7700));
    }

    void locked_memos_ask_for_the_password_each_time() {
        std::vector<MemoRecord> memos = three_memos();
        memos[1] = memo("家", "秘密", 2, "c6/12/04 10:00:00", true);
        ListFixture f(memos);
        f.form->store().settings[Settings::LockPassword] = Value(u"pass");
        const QString locked = QStringLiteral("指定されたメモには鍵がかかっています。");
        f.combo_search("予定");  // one row: row 2 is now the empty row where 秘密 stood
        click_row(f.form->Grid1, 2);
        QCOMPARE(f.form->RTB1->toPlainText(), QString());
        f.combo_search("");
        answer_unlock("pass");
        click_row(f.form->Grid1, 2);
        answer_unlock("pass");  // a mode switch shows the memo again, and so asks again
        QTest::mouseClick(f.find<QRadioButton>("Option1"), Qt::LeftButton);
        QCOMPARE(f.form->RTB1->toPlainText(), QStringLiteral("秘密"));
        answer_unlock("PASS");  // case counts
        click_row(f.form->Grid1, 2);
        QCOMPARE(f.platform.texts(), QStringList({locked, locked, locked, "パスワードが間違っています。"}));
        QCOMPARE(f.form->RTB1->toPlainText(), QString());
        answer_unlock("pass", false, true);  // cancel: no second message
        click_row(f.form->Grid1, 2);
        QCOMPARE(f.platform.texts().mid(4), QStringList({locked}));
        // A double click does not move a locked memo to the top.
        answer_unlock("pass", false, true);
        f.time.now = QDateTime(QDate(2026, 12, 7), QTime(0, 0));
        double_click_row(f.form->Grid1, 2);
        QCOMPARE(grid_titles(f.form->Grid1).at(1), QStringLiteral("秘密"));
        // The unlock dialog's box does, and the memo is shown.
        answer_unlock("pass", true);
        click_row(f.form->Grid1, 2);
        QCOMPARE(grid_titles(f.form->Grid1).at(0), QStringLiteral("秘密"));
        QCOMPARE(f.form->Grid1->current_row(), 1);
        QCOMPARE(f.form->RTB1->toPlainText(), QStringLiteral("秘密"));
        // A correction offers no move to the top; Esc cancels, whatever an earlier answer was.
        f.form->hand_over().unlock_answer = UnlockAnswer::RightPassword;
        f.form->hand_over().editor_mode = EditorMode::Correction;
        F_secpassin d(*f.form);
        QVERIFY(d.Check1->isHidden());
        on_next_modal([](QWidget* w) { QTest::keyClick(w->findChild<QWidget*>("Text1"), Qt::Key_Escape); });
        d.exec();
        QVERIFY(f.form->hand_over().unlock_answer == UnlockAnswer::Cancel);
    }

    // A batch replacement is one model reset and keeps the current row number where it can. Only
    // the left button clicks: the others neither select nor report. The fixed column is never
    // current nor selected: a click there selects the row, a key that would land there stays put.
    // (Left clicks on rows and on the header are driven through the main window's list, above.)
    void batch_replacement_other_buttons_and_the_fixed_column() {
        MemoGrid g;
        g.resize(400, 200);
        QSignalSpy resets(g.grid_model(), &QAbstractItemModel::modelReset);
        g.set_data_rows(std::vector<GridRow>(30000, {"c", "d", "t"}));
        QCOMPARE(resets.count(), 1);
        g.set_current_row(5);
        g.set_data_rows({{"a", "1", "one"}, {"b", "2", "two"}, {}});
        QCOMPARE(g.current_row(), 3);  // clamped to the rows there are
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        int events = 0;
        connect(&g, &MemoGrid::grid_click, this, [&] { ++events; });
        connect(&g, &MemoGrid::grid_dbl_click, this, [&] { ++events; });
        g.set_current_row(1);
        const QPoint second = g.visualRect(g.grid_model()->index(1, 2)).center();
        QTest::mouseClick(g.viewport(), Qt::RightButton, {}, second);
        QTest::mouseDClick(g.viewport(), Qt::MiddleButton, {}, second);
        QTest::mouseDClick(g.horizontalHeader()->viewport(), Qt::RightButton, {}, QPoint(10, 5));
        QCOMPARE(events, 0);
        QCOMPARE(g.current_row(), 1);
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(g.grid_model()->index(1, 0)).center());
        QTest::keyClick(&g, Qt::Key_Left);
        QCOMPARE(events, 1);
        QCOMPARE(g.current_row(), 2);
        QCOMPARE(g.current_col(), 1);
        QVERIFY(g.selectionModel()->isSelected(g.grid_model()->index(1, 2)));
        QVERIFY(!g.selectionModel()->isSelected(g.grid_model()->index(1, 0)));
    }
};

QTEST_MAIN(TestMemoList)
#include "tst_memo_list.moc"
