// The command buttons: new and correct with the editor they open, delete with
// its dialog, printing and the web-address button.

#include "editor/f_kinyu.h"
#include "store/data_folder.h"
#include "support/form_fixture.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

using namespace tz;
using namespace tz::test;

namespace {

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

class TestCommands : public QObject {
    Q_OBJECT
private slots:
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
        click_header(f.form->Grid1);
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
        on_next_modal([](QWidget* d) {
            QVERIFY(!(d->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
            QVERIFY(activate(d));  // Enter goes to the dialog's focused button once it is active
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        QTest::mouseClick(f.form->Command7, Qt::LeftButton);
        QCOMPARE(grid_titles(f.form->Grid1), QStringList({"買い物", "同じ題"}));  // every memo, order kept
        QCOMPARE(f.form->RTB1->text(), QString());
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

    // The hint line says what the part under the mouse does (the bare surface empties it: see the layout's tests).
    void hints_follow_the_mouse() {
        Fixture f;
        for (const auto& [part, hint] : {std::pair<QWidget*, QString>{f.form->Command7, "現在選択されているメモを削除します。"},
                                         {f.form->Grid1->viewport(), "クリックでメモ内容を表示、ダブルクリックで一番上に移動"},
                                         {f.form->RTB1->viewport(), "メモの内容を表示するエリアです。"}}) {
            move_mouse(part, QPoint(3, 3));
            QCOMPARE(f.form->Text1->text(), hint);
        }
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

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
