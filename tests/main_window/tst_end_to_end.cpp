// The memo book as a person uses it, through the real windows: the new and
// correct buttons with the editor they open, the correct button's refusals and
// password, and everything written coming back on the next start.

#include "editor/f_kinyu.h"
#include "support/form_fixture.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tz;
using namespace tz::test;

namespace {

// Fills the next editor (a null text leaves its box as it is) and saves, or
// cancels; `hint_seen` gets the main window's hint line as the editor opens.
void write_in_editor(const QString& title, const QString& body, bool cancel = false, QLineEdit* hint = nullptr,
                     QString* hint_seen = nullptr) {
    on_next_modal([=](QWidget* w) {
        auto* editor = qobject_cast<F_kinyu*>(w);
        QVERIFY(editor);
        if (hint) *hint_seen = hint->text();
        editor->Combo1->lineEdit()->selectAll();
        type_text(editor->Combo1->lineEdit(), QStringLiteral("仕事"));
        if (!title.isNull()) {
            editor->Text2->selectAll();
            type_text(editor->Text2, title);
        }
        if (!body.isNull()) type_text(editor->RTB_kinyu, body);
        QTest::mouseClick(cancel ? editor->Command2 : editor->Command1, Qt::LeftButton);
    });
}

}  // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void memos_written_in_the_windows_come_back_after_a_restart() {
        FormFixture f;
        f.start();
        auto* grid = f.find<MemoGrid>("Grid1");
        auto* new_button = f.find<QPushButton>("Command6");
        auto* correct = f.find<QPushButton>("Command8");
        const QString caption = QStringLiteral("【ツヅリオ】Ver.3.0 (2件)");
        QString seen = QStringLiteral("not read");
        write_in_editor("会議", "午後三時から", false, f.find<QLineEdit>("Text1"), &seen);
        QTest::mouseClick(new_button, Qt::LeftButton);
        QCOMPARE(seen, QString());  // the editor empties the hint line as it opens
        QCOMPARE(grid_titles(grid), QStringList({"会議", "【ツヅリオ】ご利用のお礼"}));
        QCOMPARE(f.form->windowTitle(), caption);
        // Cancelled: the caption is written again all the same.
        f.form->setWindowTitle("x");
        write_in_editor(QString(), QString(), true);
        QTest::mouseClick(new_button, Qt::LeftButton);
        QCOMPARE(f.form->windowTitle(), caption);

        // Correct: a click on the header selects no memo.
        const QString none = QStringLiteral("訂正する項目が選択されていません。");
        QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
        QTest::mouseClick(correct, Qt::LeftButton);
        QCOMPARE(f.platform.texts(), QStringList{none});
        // A locked memo is corrected only after its password (none set: empty opens it).
        f.form->store().table.slot(2).lock_flag = Value(u"YES");
        f.form->full_rebuild();
        grid->set_current_row(2);
        f.time.now = f.time.now.addSecs(1);
        answer_unlock(QString());
        write_in_editor("お礼（訂正）", QString());
        QTest::mouseClick(correct, Qt::LeftButton);
        QCOMPARE(f.platform.texts().size(), 2);  // the lock's notice
        QCOMPARE(grid_titles(grid), QStringList({"お礼（訂正）", "会議"}));
        // The empty row of a shorter list, where the locked memo was before.
        f.combo_search("会議");
        grid->set_current_row(2);
        QTest::mouseClick(correct, Qt::LeftButton);
        QCOMPARE(f.platform.texts().mid(2), QStringList{none});
        f.form->Menu_quit->trigger();

        FormFixture again;
        copy_folder(f.dir.path(), again.dir.path());
        again.start();
        grid = again.find<MemoGrid>("Grid1");
        QCOMPARE(grid_titles(grid), QStringList({"お礼（訂正）", "会議"}));
        QCOMPARE(again.store_keyword(0), QStringLiteral("会議"));
        click_row(grid, 2);
        QCOMPARE(again.find<RichTextBox>("RTB1")->text(), QStringLiteral("午後三時から"));
        QCOMPARE(again.form->windowTitle(), caption);
        QVERIFY(again.platform.messages.empty());
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_end_to_end.moc"
