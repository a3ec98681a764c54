// The category window over the main window: adding, moving and removing
// categories, closing, and deleting every memo of a category.

#include "dialogs/f_bunrui.h"
#include "store/backup.h"
#include "support/form_fixture.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace tz;
using namespace tz::test;

namespace {

struct Fixture : FormFixture {
    std::unique_ptr<F_bunrui> w;  // closed before the main window
    Fixture(const QStringList& categories, const std::vector<MemoRecord>& memos = {}) {
        write_folder(dir.path(), memos, categories, 90);
        start();
        w = std::make_unique<F_bunrui>(*form);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    // Enter on a focused button presses it, as in every window.
    void press(QChar b) {
        auto* button = w->findChild<QPushButton*>(QStringLiteral("Command") + b);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
    }
    void select(const QString& name) {
        const QListWidgetItem* item = w->List1->findItems(name, Qt::MatchExactly).value(0);
        QTest::mouseClick(w->List1->viewport(), Qt::LeftButton, {}, w->List1->visualItemRect(item).center());
    }
    QString selected() const { return w->List1->selectedItems().isEmpty() ? QString() : w->List1->selectedItems()[0]->text(); }
    // The store's categories, as this window's list shows them too ("全部" left out).
    QStringList categories() const {
        QStringList shown{"全部"};
        for (int i = 0; i < w->List1->count(); ++i) shown.append(w->List1->item(i)->text());
        return shown == form->store().categories.entries() ? shown : QStringList{"list differs"};
    }
};

}  // namespace

class TestBunrui : public QObject {
    Q_OBJECT
private slots:
    void adding_data() {
        QTest::addColumn<int>("count");  // entries before, "全部" included
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("blocked");  // bunrui.dat cannot be written
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << 3 << "" << false << "追加する分類を入力してください。";
        QTest::newRow("same") << 3 << "ABC" << false << "分類『ABC』はすでに存在します。";
        QTest::newRow("case differs") << 3 << "abc" << false << "";
        QTest::newRow("全部 is not compared") << 3 << "全部" << false << "";
        QTest::newRow("line break") << 3 << "a\nb" << false << "分類に改行が含まれています。\r改行を取り除いてから登録してください。";
        // "?" in bunrui.dat would make 絵😀文字 and 絵😁文字 one name; nearest
        // characters and extensions are written.
        QTest::newRow("characters the code page lacks") << 3 << "絵😀文字\u00A0😁😀" << false
            << "分類に、ファイルに保存できない文字が含まれています：😀 U+00A0 😁\rこれらの文字を取り除いてから登録してください。";
        QTest::newRow("nearest and extension characters") << 3 << "〜¥①髙ｶﾅ" << false << "";
        QTest::newRow("full") << 999 << "新" << false << "これ以上分類を登録できません。";
        QTest::newRow("not written") << 3 << "新" << true << "ファイル bunrui.dat を保存できませんでした。\r分類は追加されていません。";
    }
    void adding() {
        QFETCH(int, count);
        QFETCH(QString, name);
        QFETCH(bool, blocked);
        QFETCH(QString, message);
        QStringList categories{"全部", "仕事", "ABC"};
        for (int i = 3; i < count; ++i) categories.append(QString::number(i));
        Fixture f(categories);
        if (blocked) block_file(f.path("bunrui.dat"));
        const auto files = folder_contents(f.dir.path());
        f.w->Text1->insert(name);  // as typed or pasted
        f.press('6');
        const bool added = message.isEmpty();
        if (added) categories.append(name);
        QCOMPARE(f.platform.texts().join(""), message);
        QCOMPARE(f.categories(), categories);
        // A refused name stays in the box; the box has the focus when characters must go.
        QCOMPARE(f.w->Text1->text(), added ? QString() : name);
        if (message.contains(u"保存できない文字")) QCOMPARE(f.w->focusWidget(), f.w->Text1);
        if (added) QCOMPARE(read_bytes(f.path("bunrui.dat")), crlf_lines(categories));
        if (!added) QVERIFY(folder_contents(f.dir.path()) == files);
    }

    // Up and down move the selected category, which stays selected; every button but "分類追加" and
    // "終了" asks for a selection first. Enter and Esc in the name box or the list press no button.
    // The list opens with nothing chosen and no entry marked: when it takes the focus, the first
    // Down chooses the first category, as it does after a removal.
    void buttons_needing_a_selection_data() {
        QTest::addColumn<QStringList>("categories");
        QTest::addColumn<QString>("pick");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("up at the top, down past the end, up") << QStringList{"全部", "A", "B", "C"} << "A" << "12221"
            << QStringList{"全部", "B", "A", "C"} << QStringList{"これより上には移動できません", "これより下には移動できません"};
        QTest::newRow("empty list") << QStringList{"全部"} << "" << "1235" << QStringList{"全部"}
                                    << QStringList{"上に移動する項目を選んでください", "下に移動する項目を選んでください", "削除する項目を選んでください", "メモを削除する分類を選んでください"};
    }
    void buttons_needing_a_selection() {
        QFETCH(QStringList, categories);
        QFETCH(QString, pick);
        QFETCH(QString, buttons);
        Fixture f(categories, {memo("A", "t", 1)});
        f.w->List1->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), f.w->List1);
        if (!pick.isEmpty()) QTest::keyClick(f.w->List1, Qt::Key_Down);
        for (QWidget* w : std::initializer_list<QWidget*>{f.w->Text1, f.w->List1})
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(w, key);
        QVERIFY(f.w->isVisible());
        for (const QChar b : buttons) {
            f.press(b);
            QCOMPARE(f.selected(), pick);
        }
        QTEST(f.platform.texts(), "messages");
        QTEST(f.categories(), "after");
        QCOMPARE(f.form->store().table.count(), 1);
        if (pick.isEmpty()) return;
        f.press('3');  // removed after the question
        f.w->List1->setFocus();
        QTest::keyClick(f.w->List1, Qt::Key_Down);
        QCOMPARE(f.selected(), f.categories().value(1));
    }

    // Removing a category touches no memo: "終了" writes the list and shows every memo, the close box writes
    // nothing. Deleting a category's memos keeps the memo book in a backup first, then shows every memo left
    // anew. Both ask first; a file not written is said and the window stays open.
    void removing_and_deleting_data() {
        QTest::addColumn<QString>("button");  // 3 removes, 5 deletes the memos
        QTest::addColumn<QString>("close");   // after a removal: 終了 (4) or the close box
        QTest::addColumn<bool>("blocked");    // bunrui.dat cannot be written
        QTest::newRow("removed, 終了") << "3" << "4" << false;
        QTest::newRow("removed, close box") << "3" << "box" << false;
        QTest::newRow("removed, 終了 not written") << "3" << "4" << true;
        QTest::newRow("memos deleted") << "5" << "" << false;
        QTest::newRow("memos not deleted") << "5" << "" << true;
    }
    void removing_and_deleting() {
        QFETCH(QString, button);
        QFETCH(QString, close);
        QFETCH(bool, blocked);
        Fixture f({"全部", "仕事", "家"}, {memo("仕事", "w", 2, "c6/12/05 10:00:00"), memo("家", "h", 1, "c6/12/04 10:00:00")});
        pick_from_list(f.form->Combo1, 1);  // 仕事: w shown
        click_row(f.form->Grid1, 1);
        const QByteArray categories = read_bytes(f.path("bunrui.dat")), index = read_bytes(f.path("tzurio.dat"));
        if (blocked) block_file(f.path("bunrui.dat"));
        f.select("仕事");
        f.platform.answers = {MsgAnswer::No, MsgAnswer::Yes};
        f.press(button[0]);
        QCOMPARE(f.categories(), QStringList({"全部", "仕事", "家"}));
        QCOMPARE(f.form->store().table.count(), 2);
        f.press(button[0]);
        if (close == u"box") f.w->close();
        if (close == u"4") f.press('4');
        QCOMPARE(f.w->isVisible(), blocked);
        const bool anew = !blocked && close != u"box";
        const QStringList shown = !anew ? QStringList{"w"} : button == u"3" ? QStringList{"w", "h"} : QStringList{"h"};
        QCOMPARE(grid_titles(f.form->Grid1), shown);
        if (button == u"3") {
            QCOMPARE(f.form->store().categories.entries(), QStringList({"全部", "家"}));
            QCOMPARE(f.form->store().table.slot(1).category.display(), QStringLiteral("仕事"));
            QCOMPARE(combo_items(f.form->Combo1), anew ? QStringList({"全部", "家"}) : QStringList({"全部", "仕事", "家"}));
            if (!blocked) QCOMPARE(read_bytes(f.path("bunrui.dat")), anew ? crlf_lines({"全部", "家"}) : categories);
            return;
        }
        if (blocked) {
            QCOMPARE(f.platform.texts().last(), QStringLiteral("ファイル bunrui.dat を保存できませんでした。\rメモは削除されていません。"));
            QCOMPARE(f.categories(), QStringList({"全部", "仕事", "家"}));  // the window's list as it was
            return;
        }
        QCOMPARE(f.form->windowTitle(), QStringLiteral("【ツヅリオ】Ver.3.0 (1件)"));
        QCOMPARE(f.form->RTB1->text(), QString());
        // The backup made just before keeps the deleted memos, their bodies byte for byte.
        const QString backup = backup::folder_of(f.dir.path()) + "/" + backup::moment_name(f.time.now);
        QCOMPARE(read_bytes(backup + "/memo2/m2000002.txt"), tiny_rtf("w"));
        QCOMPARE(read_bytes(backup + "/tzurio.dat"), index);
    }
};

QTEST_MAIN(TestBunrui)
#include "tst_f_bunrui.moc"
