// The memo book as a person uses it, through the real windows: the new and
// correct buttons with the editor they open, the correct button's refusals and password.

#include "editor/f_kinyu.h"
#include "support/form_fixture.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tz;
using namespace tz::test;

namespace {

QString hint_at_open;  // the main window's hint line as the last editor opened

// Fills the next editor (a null body leaves its box as it is) and saves.
void write_in_editor(FormFixture& f, const QString& title, const QString& body) {
    on_next_modal([=, &f](QWidget* w) {
        auto* editor = qobject_cast<F_kinyu*>(w);
        QVERIFY(editor);
        hint_at_open = f.form->Text1->text();
        editor->Combo1->lineEdit()->selectAll();
        type_text(editor->Combo1->lineEdit(), QStringLiteral("仕事"));
        editor->Text2->selectAll();
        type_text(editor->Text2, title);
        if (!body.isNull()) type_text(editor->RTB_kinyu, body);
        QTest::mouseClick(editor->Command1, Qt::LeftButton);
    });
}

}  // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void new_and_correct_buttons_open_the_editor() {
        FormFixture f;
        f.start();
        MemoGrid* grid = f.form->Grid1;
        auto* correct = f.find<QPushButton>("Command8");
        f.form->Text1->setText("hint");
        write_in_editor(f, "会議", "午後三時から");
        QTest::mouseClick(f.find<QPushButton>("Command6"), Qt::LeftButton);
        QCOMPARE(hint_at_open, QString());  // the editor empties the hint line as it opens
        QCOMPARE(grid_titles(grid), QStringList({"会議", "【ツヅリオ】ご利用のお礼"}));

        // Correct: a click on the header selects no memo.
        const QString none = QStringLiteral("訂正する項目が選択されていません。");
        click_header(grid);
        QTest::mouseClick(correct, Qt::LeftButton);
        QCOMPARE(f.platform.texts(), QStringList{none});
        // A locked memo is corrected only after its password (none set: empty opens it).
        f.form->store().table.slot(2).lock_flag = Value(u"YES");
        f.form->full_rebuild();
        grid->set_current_row(2);
        f.time.now = f.time.now.addSecs(1);
        answer_unlock(QString());
        write_in_editor(f, "お礼（訂正）", QString());
        QTest::mouseClick(correct, Qt::LeftButton);
        QCOMPARE(f.platform.texts().size(), 2);  // the lock's notice
        QCOMPARE(grid_titles(grid), QStringList({"お礼（訂正）", "会議"}));
        click_row(grid, 2);
        QCOMPARE(f.form->RTB1->text(), QStringLiteral("午後三時から"));
        // The empty row of a shorter list, where the locked memo was before.
        f.combo_search("会議");
        grid->set_current_row(2);
        QTest::mouseClick(correct, Qt::LeftButton);
        QCOMPARE(f.platform.texts().mid(2), QStringList{none});
        QCOMPARE(f.form->windowTitle(), QStringLiteral("【ツヅリオ】Ver.3.0 (2件)"));
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_end_to_end.moc"
