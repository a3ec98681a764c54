// The category window over the main window: adding, moving and removing
// categories, closing, and deleting every memo of a category.

#include "dialogs/f_bunrui.h"
#include "store/data_folder.h"
#include "support/form_fixture.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace tz;
using namespace tz::test;

namespace {

const QString kTitle = QStringLiteral("【ツヅリオ】Ver.3.0");

struct Fixture : FormFixture {
    std::unique_ptr<F_bunrui> w;  // closed before the main window
    Fixture(const QStringList& categories, const std::vector<MemoRecord>& memos = {}) {
        write_folder(dir.path(), memos, categories, 90);
        start();
        w = std::make_unique<F_bunrui>(*form);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    void press(const char* button) { QTest::mouseClick(w->findChild<QPushButton*>(button), Qt::LeftButton); }
    void select(const QString& name) {
        const QListWidgetItem* item = w->List1->findItems(name, Qt::MatchExactly).value(0);
        QTest::mouseClick(w->List1->viewport(), Qt::LeftButton, {}, w->List1->visualItemRect(item).center());
    }
    QStringList shown() const {
        QStringList s;
        for (int i = 0; i < w->List1->count(); ++i) s.append(w->List1->item(i)->text());
        return s;
    }
    // A file that cannot be written: a folder stands in its place.
    void block(const QString& name) {
        QFile::remove(path(name));
        QVERIFY(QDir(dir.path()).mkdir(name));
    }
    int body_files(int n) {
        return int(QFile::exists(form->store().text_body_path(Value::number(n)))) + int(QFile::exists(form->store().rich_body_path(Value::number(n))));
    }
};

}  // namespace

class TestBunrui : public QObject {
    Q_OBJECT
private slots:
    void adding_data() {
        QTest::addColumn<int>("count");  // entries before, "全部" included
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("blocked");
        QTest::addColumn<QStringList>("messages");  // text, then title
        QTest::addColumn<bool>("added");
        const QStringList none;
        QTest::newRow("empty") << 3 << "" << "" << QStringList{"追加する分類を入力してください。", "ツヅリオ"} << false;
        QTest::newRow("same") << 3 << "ABC" << "" << QStringList{"分類『ABC』はすでに存在します。", "ツヅリオ"} << false;
        QTest::newRow("case differs") << 3 << "abc" << "" << none << true;
        QTest::newRow("全部 is not compared") << 3 << "全部" << "" << none << true;
        QTest::newRow("blanks kept") << 3 << "  " << "" << none << true;
        QTest::newRow("line break") << 3 << "a\nb" << "" << QStringList{"分類に改行が含まれています。\r改行を取り除いてから登録してください。", kTitle} << false;
        QTest::newRow("full") << 999 << "新" << "" << QStringList{"これ以上分類を登録できません。", "分類の数が限界(1000)を越えます"} << false;
        QTest::newRow("full, one removed") << -999 << "新" << "" << none << true;
        QTest::newRow("not written") << 3 << "新" << "bunrui.dat"
                                     << QStringList{"ファイル bunrui.dat を保存できませんでした。\r分類は追加されていません。", kTitle} << false;
    }
    void adding() {
        QFETCH(int, count);
        QFETCH(QString, name);
        QFETCH(QString, blocked);
        QFETCH(QStringList, messages);
        QFETCH(bool, added);
        QStringList categories{"全部", "仕事", "ABC"};
        for (int i = 3; i < std::abs(count); ++i) categories.append(QString::number(i));
        Fixture f(categories);
        if (count < 0) {
            f.select("ABC");
            f.press("Command3");
            categories.removeAt(2);
            f.platform.messages.clear();
        }
        if (!blocked.isEmpty()) f.block(blocked);
        const QByteArray file = read_bytes(f.path("bunrui.dat"));
        f.w->Text1->insert(name);  // as typed or pasted
        f.press("Command6");
        if (added) categories.append(name);
        QStringList seen;
        for (const Message& m : f.platform.messages) seen << m.text << m.title;
        QCOMPARE(seen, messages);
        QCOMPARE(f.form->store().categories.entries(), categories);
        QCOMPARE(f.shown(), categories.mid(1));
        QCOMPARE(read_bytes(f.path("bunrui.dat")), added ? categories_bytes(f.form->store().categories) : file);
        QCOMPARE(f.w->Text1->text(), added ? QString() : name);
    }

    void moving_data() {
        QTest::addColumn<QString>("pick");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QString>("message");
        QTest::newRow("first up") << "A" << "1" << QStringList{"A", "B", "C"} << "これより上には移動できません";
        QTest::newRow("last down") << "C" << "2" << QStringList{"A", "B", "C"} << "これより下には移動できません";
        QTest::newRow("down") << "A" << "2" << QStringList{"B", "A", "C"} << "";
        QTest::newRow("up") << "C" << "1" << QStringList{"A", "C", "B"} << "";
        QTest::newRow("down and up") << "B" << "21" << QStringList{"A", "B", "C"} << "";
    }
    void moving() {
        QFETCH(QString, pick);
        QFETCH(QString, buttons);
        QFETCH(QStringList, order);
        QFETCH(QString, message);
        Fixture f({"全部", "A", "B", "C"});
        f.select(pick);
        for (const QChar b : buttons) {
            f.press(b == u'1' ? "Command1" : "Command2");
            QCOMPARE(f.w->List1->selectedItems().value(0)->text(), pick);  // the moved one stays selected
        }
        QCOMPARE(f.shown(), order);
        QCOMPARE(f.form->store().categories.entries(), QStringList{"全部"} + order);
        QCOMPARE(f.platform.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    }

    void every_button_asks_for_a_selection_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        QTest::newRow("up") << "Command1" << "上に移動する項目を選んでください";
        QTest::newRow("down") << "Command2" << "下に移動する項目を選んでください";
        QTest::newRow("remove") << "Command3" << "削除する項目を選んでください";
        QTest::newRow("delete memos") << "Command5" << "メモを削除する分類を選んでください";
    }
    void every_button_asks_for_a_selection() {
        QFETCH(QString, button);
        QFETCH(QString, message);
        Fixture f({"全部"}, {memo("仕事", "t", 1)});
        QCOMPARE(f.w->List1->count(), 0);
        f.press(qPrintable(button));
        QCOMPARE(f.platform.messages.size(), size_t(1));
        QCOMPARE(f.platform.messages[0].text, message);
        QCOMPARE(f.platform.messages[0].title, kTitle);
        QCOMPARE(f.form->store().table.count(), 1);
    }

    // Removing touches no memo; "終了" writes the list and shows every memo,
    // the close box writes nothing, and a failed write keeps the window open.
    void removing_and_closing_data() {
        QTest::addColumn<QString>("close");
        QTest::newRow("終了") << "finish";
        QTest::newRow("close box") << "box";
        QTest::newRow("終了, not written") << "blocked";
    }
    void removing_and_closing() {
        QFETCH(QString, close);
        Fixture f({"全部", "仕事", "家"}, {memo("仕事", "w", 2, "c6/12/05 10:00:00"), memo("家", "h", 1, "c6/12/04 10:00:00")});
        auto* combo1 = f.find<QComboBox>("Combo1");
        pick_from_list(combo1, 2);  // 家: one memo shown
        f.select("仕事");
        f.platform.answers = {MsgAnswer::No, MsgAnswer::Yes};
        f.press("Command3");
        QCOMPARE(f.shown(), QStringList({"仕事", "家"}));
        f.press("Command3");
        QCOMPARE(f.platform.messages.back().text, QStringLiteral("分類『仕事』を本当に削除して良いですか?"));
        QCOMPARE(f.platform.messages.back().buttons, MsgButtons::YesNo);
        QCOMPARE(f.shown(), QStringList({"家"}));
        QVERIFY(f.w->List1->selectedItems().isEmpty());
        const QByteArray before = read_bytes(f.path("bunrui.dat"));
        if (close == u"blocked") f.block("bunrui.dat");
        if (close == u"box")
            f.w->close();
        else
            f.press("Command4");
        QCOMPARE(f.form->store().categories.entries(), QStringList({"全部", "家"}));
        QCOMPARE(f.form->store().table.slot(1).category.display(), QStringLiteral("仕事"));
        QStringList offered;
        for (int i = 0; i < combo1->count(); ++i) offered.append(combo1->itemText(i));
        if (close == u"finish") {
            QVERIFY(!f.w->isVisible());
            QCOMPARE(read_bytes(f.path("bunrui.dat")), crlf_lines({"全部", "家"}));
            QCOMPARE(offered, QStringList({"全部", "家"}));
            QCOMPARE(combo1->currentText(), QStringLiteral("全部"));
            QCOMPARE(grid_titles(f.find<MemoGrid>("Grid1")), QStringList({"w", "h"}));
        } else {
            QCOMPARE(f.w->isVisible(), close == u"blocked");
            if (close == u"box") QCOMPARE(read_bytes(f.path("bunrui.dat")), before);
            QCOMPARE(offered, QStringList({"全部", "仕事", "家"}));
            QCOMPARE(combo1->currentText(), QStringLiteral("家"));
        }
    }

    void deleting_memos_of_a_category_data() {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("blocked");
        QTest::addColumn<QStringList>("kept");
        const QStringList all{"t1", "t2", "t3", "t4", "t5", "t6", "t7", "t8", "t9", "t10"};
        QTest::newRow("three of ten") << "Abc" << "" << QStringList{"t1", "t3", "t4", "t6", "t8", "t9", "t10"};
        QTest::newRow("no memo carries it") << "空" << "" << all;
        QTest::newRow("index not written") << "Abc" << "tzurio.dat" << all;
        QTest::newRow("categories not written") << "Abc" << "bunrui.dat" << all;
    }
    void deleting_memos_of_a_category() {
        QFETCH(QString, category);
        QFETCH(QString, blocked);
        QFETCH(QStringList, kept);
        // Abc: t2, t5 (locked) and t7 (numbered 0); ABC and abc differ only in case.
        const char* cats[] = {"ABC", "Abc", "abc", "仕事", "Abc", "家", "Abc", "abc", "仕事", "ABC"};
        std::vector<MemoRecord> memos;
        for (int i = 0; i < 10; ++i)
            memos.push_back(memo(cats[i], QStringLiteral("t%1").arg(i + 1), i == 6 ? 0 : 11 + i,
                                 QStringLiteral("c6/12/05 10:00:%1").arg(59 - i), i == 4));
        Fixture f({"全部", "ABC", "Abc", "abc", "空", "仕事", "家"}, memos);
        write_bytes(f.form->store().text_body_path(Value::number(0)), "not a memo's");
        auto* combo1 = f.find<QComboBox>("Combo1");
        pick_from_list(combo1, 3);  // abc
        f.find<QComboBox>("Combo2")->setEditText("t");
        click_row(f.find<MemoGrid>("Grid1"), 1);
        if (!blocked.isEmpty()) f.block(blocked);
        const QByteArray index = read_bytes(f.path("tzurio.dat"));
        f.select(category);
        f.platform.answers = {MsgAnswer::No};
        f.press("Command5");
        QCOMPARE(f.form->store().table.count(), 10);
        f.press("Command5");
        QCOMPARE(f.platform.messages[1].text,
                 QStringLiteral("■■　重要な注意事項です。良く読んで下さい　■■\r\r削除したメモを復活させる方法はありません。\r\r"
                                "選択した分類の全部のメモを本当に削除して良いですか?"));

        const bool done = blocked.isEmpty();
        QStringList titles;
        for (const MemoRecord& m : f.form->store().table.records()) titles.append(m.title.display());
        QCOMPARE(titles, kept);
        QCOMPARE(f.form->store().categories.entries().contains(category), !done);
        QCOMPARE(f.w->isVisible(), !done);
        for (int i = 0; i < 10; ++i)
            if (i != 6) QCOMPARE(f.body_files(11 + i), kept.contains(QStringLiteral("t%1").arg(i + 1)) ? 2 : 0);
        QVERIFY(QFile::exists(f.form->store().text_body_path(Value::number(0))));
        if (!done) {
            QCOMPARE(f.platform.messages.back().icon, MsgIcon::Critical);
            QVERIFY(f.platform.messages.back().text.startsWith(QStringLiteral("ファイル %1 を保存できませんでした。").arg(blocked)));
            QCOMPARE(read_bytes(f.path("tzurio.dat")), index);
            QCOMPARE(f.find<RichTextBox>("RTB1")->text(), QStringLiteral("t3"));
            return;
        }
        QCOMPARE(grid_titles(f.find<MemoGrid>("Grid1")), kept);
        QCOMPARE(f.form->windowTitle(), QStringLiteral("【ツヅリオ】Ver.3.0 (%1件)").arg(kept.size()));
        QCOMPARE(read_bytes(f.path("tzurio.dat")), index_bytes(f.form->store().table));
        QCOMPARE(read_bytes(f.path("bunrui.dat")), categories_bytes(f.form->store().categories));
        QCOMPARE(f.find<RichTextBox>("RTB1")->text(), QString());
        QCOMPARE(f.find<QComboBox>("Combo2")->currentText(), QString());
        QCOMPARE(combo1->currentText(), QStringLiteral("abc"));  // the box is left as it was
        QCOMPARE(combo1->count(), 7);
    }

    void hints_follow_the_mouse_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("hint");
        QTest::newRow("list") << "List1" << "クリックして分類を選択して下さい。";
        QTest::newRow("up") << "Command1" << "選択した分類を、一つ上に移動します。";
        QTest::newRow("down") << "Command2" << "選択した分類を、一つ下に移動します。";
        QTest::newRow("remove") << "Command3" << "選択した分類を、削除します。(メモは消えません）";
        QTest::newRow("delete memos") << "Command5" << "選択した分類のメモを全部削除します。";
        QTest::newRow("finish") << "Command4" << "分類の整理を終了します。";
        QTest::newRow("surface") << "F_bunrui" << "分類の整理中です。";
        QTest::newRow("name box keeps the line") << "Text1" << "before";
    }
    void hints_follow_the_mouse() {
        QFETCH(QString, control);
        QFETCH(QString, hint);
        Fixture f({"全部", "A"});
        f.form->set_hint("before");
        QWidget* w = control == u"F_bunrui" ? f.w.get() : f.w->findChild<QWidget*>(control);
        if (auto* list = qobject_cast<QListWidget*>(w)) w = list->viewport();
        const QPoint at = control == u"F_bunrui" ? QPoint(2, 2) : w->rect().center();
        move_mouse(w, at);
        QCOMPARE(f.find<QLineEdit>("Text1")->text(), hint);
    }

    // Enter and Esc press nothing unless a button has the focus.
    void keys_press_only_a_focused_button() {
        Fixture f({"全部", "A"});
        f.select("A");
        for (QWidget* w : {static_cast<QWidget*>(f.w->Text1), static_cast<QWidget*>(f.w->List1)}) {
            w->setFocus();
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(w, key);
        }
        QVERIFY(f.w->isVisible());
        QCOMPARE(f.platform.texts(), QStringList());
        f.w->Command6->setFocus();
        QTest::keyClick(f.w->Command6, Qt::Key_Return);
        QCOMPARE(f.platform.texts(), QStringList({"追加する分類を入力してください。"}));
    }
};

QTEST_MAIN(TestBunrui)
#include "tst_f_bunrui.moc"
