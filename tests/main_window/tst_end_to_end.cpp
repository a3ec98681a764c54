// The memo book used as a person uses it, through the real windows: new memos,
// corrections, filters, search, move to top, deletion, and a restart.

#include "editor/f_kinyu.h"
#include "store/cp932.h"
#include "support/form_fixture.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tz;
using namespace tz::test;

namespace {

// Fills the open editor and saves (or cancels) it.
void write_in_editor(const QString& category, const QString& title, const QString& body, bool cancel = false,
                     QString* hint_seen = nullptr, QLineEdit* hint = nullptr) {
    on_next_modal([=](QWidget* w) {
        auto* editor = qobject_cast<F_kinyu*>(w);
        QVERIFY(editor);
        if (hint_seen && hint) *hint_seen = hint->text();
        if (!category.isNull()) {
            editor->Combo1->lineEdit()->selectAll();
            type_text(editor->Combo1->lineEdit(), category);
        }
        if (!title.isNull()) {
            editor->Text2->selectAll();
            type_text(editor->Text2, title);
        }
        if (!body.isNull()) {
            editor->RTB_kinyu->selectAll();
            type_text(editor->RTB_kinyu, body);
        }
        QTest::mouseClick(cancel ? editor->Command2 : editor->Command1, Qt::LeftButton);
    });
}

}  // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void new_and_correct_commands() {
        FormFixture f;
        f.start();
        auto* grid = f.find<MemoGrid>("Grid1");
        auto* hint = f.find<QLineEdit>("Text1");
        QString seen;
        write_in_editor("仕事", "会議", "本文", false, &seen, hint);
        QTest::mouseClick(f.find<QPushButton>("Command6"), Qt::LeftButton);
        QCOMPARE(seen, QStringLiteral("")); // the editor empties the hint line as it opens
        QCOMPARE(grid_titles(grid), QStringList({"会議", "【ツヅリオ】ご利用のお礼"}));
        QCOMPARE(f.form->windowTitle(), QStringLiteral("【ツヅリオ】Ver.3.0 (2件)"));
        QCOMPARE(f.form->hand_over().editor_mode, QStringLiteral("sinki"));

        // Cancelled: the caption is written again all the same.
        f.form->setWindowTitle("x");
        write_in_editor(QString(), QString(), QString(), true);
        QTest::mouseClick(f.find<QPushButton>("Command6"), Qt::LeftButton);
        QCOMPARE(f.form->windowTitle(), QStringLiteral("【ツヅリオ】Ver.3.0 (2件)"));

        // Correct: the header and the empty row select nothing.
        QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
        QTest::mouseClick(f.find<QPushButton>("Command8"), Qt::LeftButton);
        QCOMPARE(f.platform.texts().last(), QStringLiteral("訂正する項目が選択されていません。"));

        // A locked memo asks for the password without the move-to-top box.
        f.form->store().table.slot(2).lock_flag = Value(u"YES");
        f.form->full_rebuild();
        grid->set_current_row(2);
        on_next_modal([](QWidget* d) {
            QVERIFY(!d->findChild<QWidget*>("Check1")->isVisible());
            QTest::keyClicks(d->findChild<QWidget*>("Text1"), "wrong");
            QTest::keyClick(d->findChild<QWidget*>("Text1"), Qt::Key_Return);
        });
        f.platform.messages.clear();
        QTest::mouseClick(f.find<QPushButton>("Command8"), Qt::LeftButton);
        QCOMPARE(f.platform.texts(), QStringList({"指定されたメモには鍵がかかっています。", "パスワードが間違っています。"}));
        QCOMPARE(f.platform.messages[1].icon, MsgIcon::Critical);
        f.time.now = f.time.now.addSecs(1);
        answer_unlock(QString());  // no password set: an empty entry opens it
        write_in_editor(QString(), "お礼（訂正）", QString());
        QTest::mouseClick(f.find<QPushButton>("Command8"), Qt::LeftButton);
        QCOMPARE(grid_titles(grid), QStringList({"お礼（訂正）", "会議"}));
        QVERIFY(f.form->store().table.slot(1).memo_number == Value::number(1));

        // The empty row after a longer list had the locked memo there.
        f.combo_search("会議");
        grid->set_current_row(2);
        f.platform.messages.clear();
        QTest::mouseClick(f.find<QPushButton>("Command8"), Qt::LeftButton);
        QCOMPARE(f.platform.texts(), QStringList({"訂正する項目が選択されていません。"}));
    }

    void a_day_with_the_memo_book() {
        QTemporaryDir keep;
        QStringList names{"tzurio.ini", "tzurio.dat", "bunrui.dat", "kensaku.dat"};
        {
            FormFixture f;
            f.start();
            auto* grid = f.find<MemoGrid>("Grid1");
            auto* combo1 = f.find<QComboBox>("Combo1");
            const std::tuple<const char*, const char*, const char*> memos[] = {
                {"仕事", "週報を書く", "月曜までに提出"}, {"家", "牛乳を買う", "二本"}, {"仕事", "会議の議事録", "午後三時から"}};
            for (auto [category, title, body] : memos) {
                f.time.now = f.time.now.addSecs(60);
                write_in_editor(category, title, body);
                QTest::mouseClick(f.find<QPushButton>("Command6"), Qt::LeftButton);
            }
            QCOMPARE(grid_titles(grid), QStringList({"会議の議事録", "牛乳を買う", "週報を書く", "【ツヅリオ】ご利用のお礼"}));
            QCOMPARE(combo1->count(), 4);  // 全部, 作者より, 仕事, 家

            // Filter, search, look.
            combo1->setCurrentIndex(2);
            QMetaObject::invokeMethod(f.form.get(), "Combo1_Click");
            QCOMPARE(grid_titles(grid), QStringList({"会議の議事録", "週報を書く"}));
            f.combo_search("週報");
            QCOMPARE(grid_titles(grid), QStringList({"週報を書く"}));
            click_row(grid, 1);
            QCOMPARE(f.find<RichTextBox>("RTB1")->text(), QStringLiteral("月曜までに提出"));

            // Move it to the top, correct another, delete a third.
            f.time.now = f.time.now.addSecs(60);
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->grid_model()->index(0, 2)).center());
            QCOMPARE(grid_titles(grid).first(), QStringLiteral("週報を書く"));
            click_row(grid, 2);
            f.time.now = f.time.now.addSecs(60);
            write_in_editor(QString(), "会議の議事録（済）", QString());
            QTest::mouseClick(f.find<QPushButton>("Command8"), Qt::LeftButton);
            QCOMPARE(grid_titles(grid).first(), QStringLiteral("会議の議事録（済）"));
            click_row(grid, 3);  // 牛乳を買う
            on_next_modal([](QWidget* d) { QTest::mouseClick(d->findChild<QPushButton*>("Command1"), Qt::LeftButton); });
            QTest::mouseClick(f.find<QPushButton>("Command7"), Qt::LeftButton);
            QCOMPARE(grid_titles(grid), QStringList({"会議の議事録（済）", "週報を書く", "【ツヅリオ】ご利用のお礼"}));
            f.form->Menu_quit->trigger();
            for (const QString& n : names) write_bytes(keep.filePath(n), read_bytes(f.path(n)));
            QDir(keep.path()).mkdir("memo1");
            QDir(keep.path()).mkdir("memo2");
            for (const QString& sub : {"memo1", "memo2"})
                for (const QString& file : QDir(f.path(sub)).entryList(QDir::Files))
                    write_bytes(keep.filePath(sub + "/" + file), read_bytes(f.path(sub + "/" + file)));
        }
        FormFixture again;
        for (const QString& sub : {"memo1", "memo2"}) QDir(again.dir.path()).mkdir(sub);
        for (const QString& n : names) write_bytes(again.path(n), read_bytes(keep.filePath(n)));
        for (const QString& sub : {"memo1", "memo2"})
            for (const QString& file : QDir(keep.filePath(sub)).entryList(QDir::Files))
                write_bytes(again.path(sub + "/" + file), read_bytes(keep.filePath(sub + "/" + file)));
        again.start();
        auto* grid = again.find<MemoGrid>("Grid1");
        QCOMPARE(grid_titles(grid), QStringList({"会議の議事録（済）", "週報を書く", "【ツヅリオ】ご利用のお礼"}));
        QCOMPARE(again.store_keyword(0), QStringLiteral("週報"));
        click_row(grid, 1);
        QCOMPARE(again.find<RichTextBox>("RTB1")->text(), QStringLiteral("午後三時から"));
        QCOMPARE(again.form->windowTitle(), QStringLiteral("【ツヅリオ】Ver.3.0 (3件)"));
        QVERIFY(!QFile::exists(again.path("memo1/m1000003.txt")));  // 牛乳を買う is gone
        QVERIFY(again.platform.messages.empty());
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_end_to_end.moc"
