// The memo list as a user works it: category filter, title search with the
// keyword history, move to top, showing memos and locked memos.

#include "store/cp932.h"
#include "store/data_folder.h"
#include "support/form_fixture.h"
#include "ui/memo_grid.h"
#include "dialogs/f_secpassin.h"
#include "ui/twips.h"

#include <QHeaderView>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>

using namespace tz;
using namespace tz::test;

namespace {

void double_click_row(MemoGrid* g, int r) {
    click_row(g, r);
    const QModelIndex cell = g->grid_model()->index(r - 1, 2);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(cell).center());
}

void click_header(MemoGrid* g) { QTest::mouseClick(g->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(20, 5)); }

struct ListFixture : FormFixture {
    MemoGrid* grid = nullptr;
    QComboBox* combo1 = nullptr;
    QComboBox* combo2 = nullptr;
    QTextEdit* viewer = nullptr;

    explicit ListFixture(const std::vector<MemoRecord>& memos, const QStringList& categories = {"全部", "仕事", "家"},
                         const QString& password = QString()) {
        write_folder(dir.path(), memos, categories, 100);
        if (!password.isEmpty()) {
            QStringList ini = cp932::decode(read_bytes(path("tzurio.ini"))).split("\r\n");
            ini[12] = password;
            ini.removeLast();
            write_bytes(path("tzurio.ini"), crlf_lines(ini));
        }
        start();
        grid = find<MemoGrid>("Grid1");
        combo1 = find<QComboBox>("Combo1");
        combo2 = find<QComboBox>("Combo2");
        viewer = find<QTextEdit>("RTB1");
    }
    void search(const QString& typed) {
        combo2->lineEdit()->selectAll();
        type_text(combo2->lineEdit(), typed);
        if (typed.isEmpty()) QTest::keyClick(combo2->lineEdit(), Qt::Key_Delete);
        QTest::mouseClick(find<QPushButton>("Command5"), Qt::LeftButton);
    }
    QStringList history() const {
        return QStringList(form->store().keywords.entries.begin(), form->store().keywords.entries.end());
    }
    void set_history(const QStringList& entries) {
        for (int i = 0; i < 20; ++i) form->store().keywords.entries[size_t(i)] = entries.value(i);
        combo2->clear();
        combo2->addItems(entries);
        combo2->setEditText(QString());
    }
};

std::vector<MemoRecord> three_memos() {
    return {memo("仕事", "会議の予定", 3, "c6/12/05 10:00:00"), memo("家", "買い物 abc", 2, "c6/12/04 10:00:00"),
            memo("仕事", "報告書ＡＢＣ", 1, "c6/12/03 10:00:00")};
}

QStringList ten(const char* prefix) {
    QStringList l;
    for (int i = 0; i < 20; ++i) l.append(QString("%1%2").arg(prefix).arg(i));
    return l;
}

}  // namespace

class TestMemoList : public QObject {
    Q_OBJECT
private slots:
    void category_filter_shows_exactly_that_category() {
        std::vector<MemoRecord> memos = three_memos();
        memos.push_back(memo("仕事 ", "blank after", 4, "c6/01/01 00:00:00"));
        ListFixture f(memos, {"全部", "仕事", "家", "仕事 "});
        QCOMPARE(grid_titles(f.grid).size(), 4);
        f.combo2->setEditText("leftover");
        f.combo1->setFocus();
        QTest::keyClick(f.combo1, Qt::Key_Down);  // picks "仕事"
        QCOMPARE(f.combo1->currentText(), QStringLiteral("仕事"));
        QCOMPARE(grid_titles(f.grid), QStringList({"会議の予定", "報告書ＡＢＣ"}));
        QCOMPARE(f.form->row_maps().shown_count, 2);
        QVERIFY(f.form->row_maps().row_memo_numbers[1] == Value::number(3));
        QVERIFY(f.form->row_maps().row_memo_numbers[3] == Value::number(0));
        QCOMPARE(f.combo2->currentText(), QString());  // the keyword box is emptied
        QCOMPARE(f.find<QLineEdit>("Text1")->text(), QStringLiteral("指定した分類のメモだけを表示します。"));
        pick_from_list(f.combo1, 0);
        QCOMPARE(grid_titles(f.grid).size(), 4);
    }

    void title_search_matches_code_units_exactly() {
        ListFixture f(three_memos());
        f.search("abc");
        QCOMPARE(grid_titles(f.grid), QStringList({"買い物 abc"}));  // not ABC, not ＡＢＣ
        f.search("");
        QCOMPARE(grid_titles(f.grid).size(), 3);
        f.combo1->setFocus();
        QTest::keyClick(f.combo1, Qt::Key_Down);
        f.search("予定");
        QCOMPARE(grid_titles(f.grid), QStringList({"会議の予定"}));
        f.search("買い物");  // only in another category
        QCOMPARE(grid_titles(f.grid), QStringList());
        QCOMPARE(f.grid->rows(), 2);
    }

    void keyword_history_follows_the_pick_index() {
        ListFixture f(three_memos());
        QVERIFY(!f.form->history_pick().has_value());
        // Straight after start the button replaces entry 0 with the empty text.
        f.set_history(ten("k"));
        QTest::mouseClick(f.find<QPushButton>("Command5"), Qt::LeftButton);
        QStringList expected = ten("k");
        expected[0] = "";
        QCOMPARE(f.history(), expected);
        QCOMPARE(f.combo2->count(), 20);

        // Entry 5 picked, then the button: it moves to the top without a duplicate.
        f.set_history(ten("k"));
        pick_from_list(f.combo2, 5);
        QCOMPARE(f.form->history_pick(), std::optional<int>(5));
        QTest::mouseClick(f.find<QPushButton>("Command5"), Qt::LeftButton);
        QCOMPARE(f.history(), QStringList({"k5", "k0", "k1", "k2", "k3", "k4", "k6", "k7", "k8", "k9", "k10", "k11", "k12",
                                           "k13", "k14", "k15", "k16", "k17", "k18", "k19"}));
        QCOMPARE(f.combo2->currentText(), QStringLiteral("k5"));
        QCOMPARE(f.form->history_pick(), std::optional<int>(0));

        // Entry 5 picked, then Enter: inserted at the top, and still further down.
        f.set_history(ten("k"));
        pick_from_list(f.combo2, 5);
        QTest::keyClick(f.combo2->lineEdit(), Qt::Key_Return);
        QCOMPARE(f.history(), QStringList({"k5", "k0", "k1", "k2", "k3", "k4", "k5", "k6", "k7", "k8", "k9", "k10", "k11",
                                           "k12", "k13", "k14", "k15", "k16", "k17", "k18"}));
        QCOMPARE(f.combo2->currentText(), QStringLiteral("k5"));  // Enter typed nothing

        // A typed keyword searched twice: inserted once, then left as it is,
        // also when it is an entry's text and the focus leaves the box first.
        QApplication::setActiveWindow(f.form.get());
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        QPushButton* search = f.find<QPushButton>("Command5");
        const auto type_and = [&](const QString& typed, bool enter) {
            f.combo2->lineEdit()->setFocus(Qt::MouseFocusReason);
            f.combo2->lineEdit()->clear();
            type_text(f.combo2->lineEdit(), typed);
            if (!enter) search->setFocus(Qt::MouseFocusReason);  // as a click on the button moves it
            enter ? QTest::keyClick(f.combo2->lineEdit(), Qt::Key_Return) : QTest::mouseClick(search, Qt::LeftButton);
            return f.history().mid(0, 3);
        };
        f.set_history(ten("k"));
        QCOMPARE(type_and("k1", false), QStringList({"k1", "k0", "k1"}));
        QTest::mouseClick(search, Qt::LeftButton);
        QCOMPARE(f.history().mid(0, 3), QStringList({"k1", "k0", "k1"}));
        // Nothing completes it and letter case counts: ABC is not abc, ab is not abc.
        f.set_history({"abc"});
        QCOMPARE(type_and("ABC", false), QStringList({"ABC", "abc", ""}));
        QCOMPARE(grid_titles(f.grid), QStringList());
        QCOMPARE(type_and("ab", true), QStringList({"ab", "ABC", "abc"}));
        QCOMPARE(f.combo2->currentText(), QStringLiteral("ab"));
    }

    void every_edit_of_the_keyword_box_counts_as_typed() {
        ListFixture f(three_memos());
        pick_from_list(f.combo2, 3);
        QCOMPARE(f.form->history_pick(), std::optional<int>(3));
        // Japanese text committed by the input method.
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("会議"));
        QApplication::sendEvent(f.combo2->lineEdit(), &commit);
        QCOMPARE(f.form->history_pick(), std::optional<int>(-1));
        QCOMPARE(f.combo2->currentText(), QStringLiteral("会議"));
        pick_from_list(f.combo2, 2);
        f.combo2->lineEdit()->setFocus();
        f.combo2->lineEdit()->insert("x");  // as a paste does
        QCOMPARE(f.form->history_pick(), std::optional<int>(-1));
        QCOMPARE(f.find<QLineEdit>("Text1")->text(), QStringLiteral("検索に使用するキーワードを入力して下さい。"));
    }

    void the_hint_line_passes_the_focus_on() {
        ListFixture f(three_memos());
        f.find<QLineEdit>("Text1")->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), f.find<QWidget>("Command6"));
    }

    void double_click_moves_a_memo_to_the_top() {
        ListFixture f(three_memos());
        f.combo1->setFocus();
        QTest::keyClick(f.combo1, Qt::Key_Down);  // 仕事: two rows
        f.combo2->setEditText("x");
        f.time.now = QDateTime(QDate(2026, 12, 6), QTime(9, 0, 0));
        const QByteArray index_before = read_bytes(f.path("tzurio.dat"));
        double_click_row(f.grid, 2);  // 報告書ＡＢＣ
        QCOMPARE(grid_titles(f.grid), QStringList({"報告書ＡＢＣ", "会議の予定", "買い物 abc"}));  // every memo
        QCOMPARE(f.grid->current_row(), 1);
        QCOMPARE(f.combo1->currentText(), QStringLiteral("仕事"));
        QCOMPARE(f.combo2->currentText(), QString());
        const MemoRecord& moved = f.form->store().table.slot(1);
        QCOMPARE(moved.updated_stamp.display(), QStringLiteral("c6/12/06 09:00:00"));
        QCOMPARE(moved.created_stamp.display(), QStringLiteral("c6/12/03 10:00:00"));
        QCOMPARE(read_bytes(f.path("tzurio.dat")), index_before);  // nothing written
        // The top memo: new stamp, same order.
        f.time.now = f.time.now.addSecs(5);
        double_click_row(f.grid, 1);
        QCOMPARE(grid_titles(f.grid), QStringList({"報告書ＡＢＣ", "会議の予定", "買い物 abc"}));
        QCOMPARE(f.form->store().table.slot(1).updated_stamp.display(), QStringLiteral("c6/12/06 09:00:05"));
        // The header and the empty row select nothing.
        f.platform.messages.clear();
        QTest::mouseDClick(f.grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
        click_row(f.grid, 4);
        QTest::mouseDClick(f.grid->viewport(), Qt::LeftButton, {}, f.grid->visualRect(f.grid->grid_model()->index(3, 2)).center());
        QCOMPARE(f.platform.texts(), QStringList({"項目が選択されていません。", "項目が選択されていません。"}));
        QCOMPARE(f.platform.messages[0].title, QStringLiteral("【ツヅリオ】Ver.3.0"));
    }

    void stamps_of_2003_sort_above_1999() {
        ListFixture f({memo("家", "1999", 1, "99/12/31 23:59:59"), memo("家", "2003", 2, "a3/01/01 00:00:00")});
        f.time.now = QDateTime(QDate(2003, 1, 2), QTime(0, 0));
        double_click_row(f.grid, 1);  // the 1999 memo gets a 2003 stamp
        QCOMPARE(grid_titles(f.grid), QStringList({"1999", "2003"}));
        f.time.now = QDateTime(QDate(1999, 6, 1), QTime(0, 0));
        double_click_row(f.grid, 2);  // a 1999 stamp stays below
        QCOMPARE(grid_titles(f.grid), QStringList({"1999", "2003"}));
    }

    void a_click_shows_the_memo_in_either_mode() {
        ListFixture f(three_memos());
        MemoStore& s = f.form->store();
        write_text_body(s, Value::number(2), QStringLiteral("一行目\r\n二行目"));
        write_bytes(s.rich_body_path(Value::number(2)),
                    "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 x;}}\\f0 \\b \\'95\\'5c\\b0 rich\\par}");
        click_row(f.grid, 2);
        QCOMPARE(f.viewer->toPlainText(), QStringLiteral("表rich"));
        QTest::mouseClick(f.find<QRadioButton>("Option1"), Qt::LeftButton);  // fast mode rereads it
        QCOMPARE(f.viewer->toPlainText(), QStringLiteral("一行目\n二行目"));
        QCOMPARE(f.viewer->textCursor().charFormat().font().family(), QFont("ＭＳ ゴシック").family());
        QTest::mouseClick(f.find<QRadioButton>("Option2"), Qt::LeftButton);
        QCOMPARE(f.viewer->toPlainText(), QStringLiteral("表rich"));
        // A rich body without RTF is its plain text, lines unchanged; one of only CR LF is empty.
        write_bytes(s.rich_body_path(Value::number(3)), cp932::encode(u"会議の予定\r\n二行目\r\n"));
        click_row(f.grid, 1);
        QCOMPARE(f.viewer->toPlainText(), QStringLiteral("会議の予定\n二行目"));
        write_bytes(s.rich_body_path(Value::number(1)), "\r\n");
        click_row(f.grid, 3);
        QCOMPARE(f.viewer->toPlainText(), QString());
        // The header and the empty row empty the viewer; keys move without showing.
        click_row(f.grid, 2);
        click_header(f.grid);
        QCOMPARE(f.viewer->toPlainText(), QString());
        click_row(f.grid, 2);
        QTest::keyClick(f.grid, Qt::Key_Down);
        QCOMPARE(f.viewer->toPlainText(), QStringLiteral("表rich"));
        QVERIFY(f.platform.messages.empty());
    }

    void a_missing_body_file_is_repaired_in_its_mode() {
        ListFixture f(three_memos());
        MemoStore& s = f.form->store();
        QFile::remove(s.rich_body_path(Value::number(3)));
        click_row(f.grid, 1);
        const QString repaired = QStringLiteral("メモファイルの読み込みでエラーが発生しました。\r自動的に修復しましたが、メモの内容は失われました。");
        QCOMPARE(f.platform.texts(), QStringList({repaired}));
        QCOMPARE(read_bytes(s.rich_body_path(Value::number(3))), QByteArray("\r\n"));
        QCOMPARE(f.viewer->toPlainText(), QString());
        click_row(f.grid, 1);  // now an empty memo, no message
        QCOMPARE(f.platform.messages.size(), size_t(1));
        QTest::mouseClick(f.find<QRadioButton>("Option1"), Qt::LeftButton);
        QCOMPARE(f.viewer->toPlainText(), QStringLiteral("会議の予定"));  // the text body is untouched
        QFile::remove(s.text_body_path(Value::number(2)));
        click_row(f.grid, 2);
        QCOMPARE(f.platform.texts().last(), repaired);
        QCOMPARE(read_bytes(s.text_body_path(Value::number(2))), QByteArray("\r\n"));
        QVERIFY(QFile::exists(s.rich_body_path(Value::number(2))));
        // A repair that cannot write says which file, not that it repaired it.
        QVERIFY(QDir(f.path("memo1")).removeRecursively());
        write_bytes(f.path("memo1"), "not a folder");
        click_row(f.grid, 3);
        QCOMPARE(f.platform.texts().last(), QStringLiteral("メモファイルの読み込みでエラーが発生しました。\rファイル memo1/m1000001.txt を保存できませんでした。"));
        QCOMPARE(f.viewer->toPlainText(), QString());
    }

    void locked_memos_ask_for_the_password_each_time() {
        std::vector<MemoRecord> memos = three_memos();
        memos[1] = memo("家", "秘密", 2, "c6/12/04 10:00:00", true);
        ListFixture f(memos, {"全部", "仕事", "家"}, "pass");
        const QString locked = QStringLiteral("指定されたメモには鍵がかかっています。");

        answer_unlock("pass");
        click_row(f.grid, 2);
        QCOMPARE(f.viewer->toPlainText(), QStringLiteral("秘密"));
        QCOMPARE(f.platform.texts(), QStringList({locked}));
        QCOMPARE(f.find<QLineEdit>("Text1")->text(), QStringLiteral("鍵付きメモを表示・訂正するにはパスワードが必要です。"));

        answer_unlock("PASS");  // case counts
        click_row(f.grid, 2);
        QCOMPARE(f.platform.texts().mid(1), QStringList({locked, "パスワードが間違っています。"}));
        QCOMPARE(f.platform.messages.back().icon, MsgIcon::Critical);
        QCOMPARE(f.viewer->toPlainText(), QString());

        answer_unlock("pass", false, true);  // cancel: no second message
        click_row(f.grid, 2);
        QCOMPARE(f.platform.texts().mid(3), QStringList({locked}));
        QCOMPARE(f.viewer->toPlainText(), QString());

        // A mode switch shows the memo again, and so asks again.
        answer_unlock("pass");
        click_row(f.grid, 2);
        answer_unlock("pass");
        QTest::mouseClick(f.find<QRadioButton>("Option1"), Qt::LeftButton);
        QCOMPARE(f.platform.texts().mid(4), QStringList({locked, locked}));
        QCOMPARE(f.viewer->toPlainText(), QStringLiteral("秘密"));

        // A double click does not move a locked memo.
        f.platform.messages.clear();
        answer_unlock("pass", false, true);
        f.time.now = QDateTime(QDate(2026, 12, 7), QTime(0, 0));
        double_click_row(f.grid, 2);
        QCOMPARE(grid_titles(f.grid).at(1), QStringLiteral("秘密"));
    }

    void the_unlock_box_moves_the_memo_to_the_top() {
        std::vector<MemoRecord> memos = three_memos();
        memos[2] = memo("仕事", "秘密", 1, "c6/12/03 10:00:00", true);
        ListFixture f(memos, {"全部", "仕事", "家"}, "pass");
        f.combo1->setFocus();
        QTest::keyClick(f.combo1, Qt::Key_Down);  // 仕事
        f.time.now = QDateTime(QDate(2026, 12, 6), QTime(9, 0, 0));
        answer_unlock("pass", true);
        click_row(f.grid, 2);
        QCOMPARE(grid_titles(f.grid), QStringList({"秘密", "会議の予定", "買い物 abc"}));
        QCOMPARE(f.grid->current_row(), 1);
        QCOMPARE(f.viewer->toPlainText(), QStringLiteral("秘密"));
        QCOMPARE(f.form->hand_over().move_to_top_choice, QStringLiteral("YES"));
        QCOMPARE(f.combo2->currentText(), QString());
    }

    void the_empty_row_is_never_taken_for_an_earlier_locked_memo() {
        std::vector<MemoRecord> memos = three_memos();
        memos[2] = memo("仕事", "秘密", 1, "c6/12/03 10:00:00", true);
        ListFixture f(memos);
        f.search("abc");  // one row; row 2 is now the empty row where 秘密 stood
        QCOMPARE(f.form->row_maps().shown_count, 1);
        click_row(f.grid, 2);
        QVERIFY(f.platform.messages.empty());
        QCOMPARE(f.viewer->toPlainText(), QString());
    }

    void the_unlock_dialog_as_designed() {
        ListFixture f(three_memos());
        f.form->hand_over().unlock_answer = "YES";
        for (const char* mode : {"sinki", "teisei"}) {
            f.form->hand_over().editor_mode = mode;
            const bool correction = QByteArray(mode) == "teisei";
            F_secpassin d(*f.form);
            QCOMPARE(d.windowTitle(), QStringLiteral("鍵を開けるためのパスワード"));
            QCOMPARE(d.design_outer_height(), correction ? 2040 : 3120);
            QCOMPARE(d.Command2->y(), twips::to_px(correction ? 1020 : 2100));
            QCOMPARE(d.Check1->isHidden(), correction);
            QCOMPARE(d.Label2->isHidden(), correction);
            QVERIFY(!d.Text1->testAttribute(Qt::WA_InputMethodEnabled));
            QVERIFY(!(d.windowFlags() & Qt::WindowCloseButtonHint));
            on_next_modal([](QWidget* w) { QTest::keyClick(w->findChild<QWidget*>("Text1"), Qt::Key_Escape); });
            d.exec();
            QCOMPARE(f.form->hand_over().unlock_answer, QStringLiteral("CANCEL"));  // an earlier YES never counts
        }
    }
};

QTEST_MAIN(TestMemoList)
#include "tst_memo_list.moc"
