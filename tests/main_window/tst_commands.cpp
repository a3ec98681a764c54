// The command buttons: delete with its dialog, printing, the web-address
// button, and the hints of the main window.

#include "store/cp932.h"
#include "store/data_folder.h"
#include "support/form_fixture.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QUrl>
#include <QTest>

using namespace tz;
using namespace tz::test;

namespace {

struct Fixture : FormFixture {
    MemoGrid* grid;
    RichTextBox* viewer;
    explicit Fixture(const std::vector<MemoRecord>& memos) {
        write_folder(dir.path(), memos, {"全部", "仕事", "家"}, 40);
        start();
        grid = find<MemoGrid>("Grid1");
        viewer = find<RichTextBox>("RTB1");
    }
    QPushButton* button(const char* name) { return find<QPushButton>(name); }
    QString hint() { return find<QLineEdit>("Text1")->text(); }
    bool files_of(int n) {
        return QFile::exists(form->store().text_body_path(Value::number(n))) && QFile::exists(form->store().rich_body_path(Value::number(n)));
    }
    // Presses a button of the delete dialog once it is open.
    void answer_delete(const char* button_name) {
        on_next_modal([button_name](QWidget* d) { QTest::mouseClick(d->findChild<QPushButton*>(button_name), Qt::LeftButton); });
    }
};

std::vector<MemoRecord> memos3() {
    return {memo("仕事", "同じ題", 30, "c6/12/05 10:00:00"), memo("家", "買い物", 20, "c6/12/04 10:00:00"),
            memo("仕事", "同じ題", 10, "c6/12/03 10:00:00", true)};
}

}  // namespace

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void delete_dialog_as_designed_and_cancelled() {
        Fixture f(memos3());
        const QByteArray index = read_bytes(f.path("tzurio.dat"));
        click_row(f.grid, 1);
        for (bool esc : {false, true}) {
            on_next_modal([&, esc](QWidget* d) {
                QApplication::setActiveWindow(d);  // as the window manager does; offscreen may not yet
                QVERIFY(QTest::qWaitForWindowActive(d));
                QCOMPARE(d->windowTitle(), QStringLiteral("メモの削除"));
                QCOMPARE(d->findChild<QLabel*>("Label1")->text(), QStringLiteral("削除したメモは復活できません。"));
                QCOMPARE(d->findChild<QLabel*>("Label2")->text(), QStringLiteral("本当に削除してよろしいですか？"));
                QVERIFY(d->findChild<QLabel*>("Label1")->font().bold());
                QCOMPARE(d->palette().color(QPalette::Window), QColor(255, 255, 0));
                QCOMPARE(QApplication::focusWidget(), d->findChild<QWidget*>("Command1"));
                QVERIFY(!(d->windowFlags() & Qt::WindowCloseButtonHint));
                QCOMPARE(f.hint(), QStringLiteral("[いいよ]ボタンで、選択中のメモを削除します。"));
                if (esc)
                    QTest::keyClick(d, Qt::Key_Escape);
                else
                    QTest::mouseClick(d->findChild<QPushButton*>("Command2"), Qt::LeftButton);
            });
            QTest::mouseClick(f.button("Command7"), Qt::LeftButton);
            QCOMPARE(f.form->store().table.count(), 3);
            QCOMPARE(read_bytes(f.path("tzurio.dat")), index);
            QCOMPARE(f.viewer->text(), QStringLiteral("同じ題"));
            QVERIFY(f.files_of(30));
        }
    }

    void deleting_removes_the_selected_memo_and_its_files() {
        Fixture f(memos3());
        QComboBox* combo1 = f.find<QComboBox>("Combo1");
        combo1->setFocus();
        QTest::keyClick(combo1, Qt::Key_Down);  // 仕事: the two memos titled 同じ題
        click_row(f.grid, 1);
        on_next_modal([](QWidget* d) {
            QApplication::setActiveWindow(d);  // Enter goes to the dialog's focused button once it is active
            QVERIFY(QTest::qWaitForWindowActive(d));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        QTest::mouseClick(f.button("Command7"), Qt::LeftButton);
        QCOMPARE(grid_titles(f.grid), QStringList({"買い物", "同じ題"}));  // every memo, order kept
        QCOMPARE(combo1->currentText(), QStringLiteral("仕事"));
        QVERIFY(!f.files_of(30));
        QVERIFY(f.files_of(10));
        QCOMPARE(f.form->windowTitle(), QStringLiteral("【ツヅリオ】Ver.3.0 (2件)"));
        QCOMPARE(f.hint(), QString());
        QCOMPARE(f.viewer->text(), QString());
        QCOMPARE(read_bytes(f.path("tzurio.dat")), index_bytes(f.form->store().table));
        QCOMPARE(f.form->store().settings[Settings::Counter].file_line(), QStringLiteral(" 40 "));
        QCOMPARE(f.form->store().categories.count(), 3);
        // A locked memo goes without a password; a missing body file is skipped.
        QFile::remove(f.form->store().rich_body_path(Value::number(10)));
        f.platform.messages.clear();
        answer_unlock(QString(), false, true);  // the click asks for its password; cancelled
        click_row(f.grid, 2);
        f.answer_delete("Command1");
        QTest::mouseClick(f.button("Command7"), Qt::LeftButton);
        QCOMPARE(grid_titles(f.grid), QStringList({"買い物"}));
        QCOMPARE(f.platform.texts(), QStringList({"指定されたメモには鍵がかかっています。"}));
        QVERIFY(!QFile::exists(f.form->store().text_body_path(Value::number(10))));
        // The last one: an empty index.
        click_row(f.grid, 1);
        f.answer_delete("Command1");
        QTest::mouseClick(f.button("Command7"), Qt::LeftButton);
        QCOMPARE(read_bytes(f.path("tzurio.dat")), QByteArray());
        QCOMPARE(f.form->windowTitle(), QStringLiteral("【ツヅリオ】Ver.3.0 (0件)"));
        QCOMPARE(f.grid->rows(), 2);
        // Numbers are never given again.
        QCOMPARE(f.form->store().next_memo_number().file_line(), QStringLiteral(" 41 "));
    }

    void nothing_is_deleted_without_a_memo_row_or_when_the_index_cannot_be_written() {
        Fixture f(memos3());
        QTest::mouseClick(f.grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
        QTest::mouseClick(f.button("Command7"), Qt::LeftButton);
        click_row(f.grid, 4);  // the empty row
        QTest::mouseClick(f.button("Command7"), Qt::LeftButton);
        QCOMPARE(f.platform.texts(), QStringList(2, "削除する項目が選択されていません。"));

        QFile::remove(f.path("tzurio.dat"));
        QVERIFY(QDir(f.dir.path()).mkdir("tzurio.dat"));
        click_row(f.grid, 2);
        f.answer_delete("Command1");
        QTest::mouseClick(f.button("Command7"), Qt::LeftButton);
        QVERIFY(f.platform.messages.back().text.startsWith("ファイル tzurio.dat を保存できませんでした。"));
        QCOMPARE(f.form->store().table.count(), 3);
        QCOMPARE(grid_titles(f.grid), QStringList({"同じ題", "買い物", "同じ題"}));
        QVERIFY(f.files_of(20));
    }

    void dialogs_answer_enter_close_and_minimise_data() {
        QTest::addColumn<QString>("opener");  // the main window's button, pressed by Enter; Grid1: a click on locked row 3
        QTest::addColumn<QString>("focus");   // the dialog's control with the focus
        QTest::addColumn<QString>("action");  // Enter, or the window manager's close or minimise
        QTest::addColumn<bool>("stays_open");
        QTest::addColumn<int>("memos_after");
        QTest::newRow("delete: Enter on やっぱりダメ") << "Command7" << "Command2" << "enter" << false << 3;
        QTest::newRow("delete: Enter on いいよ") << "Command7" << "Command1" << "enter" << false << 2;
        QTest::newRow("delete: closed") << "Command7" << "Command1" << "close" << false << 3;
        QTest::newRow("delete: minimised") << "Command7" << "Command1" << "minimise" << true << 3;
        QTest::newRow("unlock: Enter on CANCEL") << "Command8" << "Command1" << "enter" << false << 3;
        QTest::newRow("unlock: closed") << "Command8" << "Text1" << "close" << false << 3;
        QTest::newRow("unlock: Enter on the move box") << "Grid1" << "Check1" << "enter" << true << 3;
        QTest::newRow("editor: Enter on 中止") << "Command6" << "Command2" << "enter" << false << 3;
    }

    void dialogs_answer_enter_close_and_minimise() {
        QFETCH(QString, opener);
        QFETCH(QString, focus);
        QFETCH(QString, action);
        QFETCH(bool, stays_open);
        QFETCH(int, memos_after);
        Fixture f(memos3());
        f.form->store().settings[Settings::LockPassword] = Value(QStringLiteral("pw"));
        QApplication::setActiveWindow(f.form.get());
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        bool open_after = !stays_open;
        on_next_modal([&](QWidget* d) {
            QApplication::setActiveWindow(d);
            QVERIFY(QTest::qWaitForWindowActive(d));
            d->findChild<QWidget*>(focus)->setFocus(Qt::TabFocusReason);
            if (action == "enter") QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            if (action == "close") d->close();
            if (action == "minimise") d->setWindowState(Qt::WindowMinimized);
            QTest::qWait(50);
            open_after = d->isVisible() && !d->isMinimized();
            if (d->isVisible()) QTest::keyClick(d, Qt::Key_Escape);
        });
        if (opener == "Grid1") {
            click_row(f.grid, 3);
        } else {
            f.grid->set_current_row(opener == "Command8" ? 3 : 1);  // without showing the memo
            f.button(opener.toLatin1())->setFocus();
            QTest::keyClick(f.button(opener.toLatin1()), Qt::Key_Return);  // Enter presses the main window's buttons too
        }
        QCOMPARE(open_after, stays_open);
        QCOMPARE(f.form->store().table.count(), memos_after);
        QVERIFY(!f.platform.texts().contains("パスワードが間違っています。"));  // OK was never pressed
    }

    void the_web_address_button_follows_mouse_selections() {
        Fixture f(memos3());
        f.viewer->set_text("see http://example.com/a?b=1 and HTTP://EXAMPLE.COM Http://x httpd.conf https://ok.example\r\nnext");
        const auto select_with_mouse = [&](const QString& what, int length = -1) {
            const int at = int(f.viewer->text().replace("\r\n", "\n").indexOf(what));
            f.viewer->set_sel_start(at);
            f.viewer->set_sel_length(length < 0 ? int(what.size()) : length);
            QTest::mouseRelease(f.viewer->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        };
        QPushButton* url = f.button("Command1");
        select_with_mouse("http://example.com/a?b=1");
        QVERIFY(url->isVisible());
        QTest::mouseClick(url, Qt::LeftButton);
        QCOMPARE(f.platform.opened, std::vector<QUrl>({QUrl("http://example.com/a?b=1")}));
        select_with_mouse("Http://x");
        QVERIFY(!url->isVisible());
        select_with_mouse("HTTP://EXAMPLE.COM");
        QVERIFY(url->isVisible());
        // Keyboard selection and clicks in the list leave it as it is.
        f.viewer->setFocus();
        QTest::keyClick(f.viewer, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(f.viewer, Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY(url->isVisible());
        click_row(f.grid, 2);
        QVERIFY(url->isVisible());
        // Only well-formed addresses are handed on.
        f.viewer->set_text("httpd.conf\r\nhttps://ok.example\r\nline");
        select_with_mouse("httpd.conf");
        QVERIFY(url->isVisible());
        QTest::mouseClick(url, Qt::LeftButton);
        select_with_mouse("https://ok.example", 25);  // runs over the line break
        QTest::mouseClick(url, Qt::LeftButton);
        QCOMPARE(f.platform.opened.size(), size_t(1));
        select_with_mouse("https://ok.example");
        QTest::mouseClick(url, Qt::LeftButton);
        QCOMPARE(f.platform.opened.back(), QUrl("https://ok.example"));
        // A line with its line end, as a triple click selects it, opens the
        // address within, letter case kept.
        f.viewer->set_text("x\r\nhttps://ok.example/CaseKept \t\r\nnext");
        select_with_mouse("https://ok.example/CaseKept \t\n");
        QTest::mouseClick(url, Qt::LeftButton);
        QCOMPARE(f.platform.opened.back().toString(), QStringLiteral("https://ok.example/CaseKept"));
    }

    void printing_takes_the_selection_or_everything() {
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
        Fixture f(memos3());
        click_row(f.grid, 2);
        f.viewer->set_text("PRINTED-ONE\r\nPRINTED-TWO");
        const auto printed = [&] {
            QProcess p;
            p.start(pdftotext, {f.platform.print_to_pdf, "-"});
            p.waitForFinished();
            return QString::fromUtf8(p.readAllStandardOutput());
        };
        f.platform.print_to_pdf = f.path("sel.pdf");
        f.viewer->set_sel_start(0);
        f.viewer->set_sel_length(11);
        QTest::mouseClick(f.button("Command9"), Qt::LeftButton);
        QCOMPARE(f.platform.print_dialogs, std::vector<bool>({true}));  // selection choice marked
        QCOMPARE(printed().trimmed(), QStringLiteral("PRINTED-ONE"));  // nothing else: no page number

        f.platform.print_to_pdf = f.path("all.pdf");
        f.viewer->set_sel_start(0);
        QTest::mouseClick(f.button("Command9"), Qt::LeftButton);
        QCOMPARE(f.platform.print_dialogs.back(), false);
        QVERIFY(printed().contains("PRINTED-ONE") && printed().contains("PRINTED-TWO"));

        f.platform.print_to_pdf.clear();  // cancelled
        QTest::mouseClick(f.button("Command9"), Qt::LeftButton);
        QVERIFY(f.platform.messages.empty());
    }

    void hints_follow_the_mouse() {
        Fixture f(memos3());
        const std::pair<const char*, const char*> cases[] = {
            {"Command1", "Webブラウザを起動してWebサイトを開きます"},
            {"Command5", "タイトルにキーワードが含まれるものを検索します。"},
            {"Command6", "新しいメモを登録します。"},
            {"Command7", "現在選択されているメモを削除します。"},
            {"Command8", "現在選択されているメモを訂正します。"},
            {"Command9", "現在選択されているメモを印刷します。"},
            {"Option1", "高速モードにすると画像や文字飾りを表示しません。"},
            {"Option2", "詳細モードにするとメモの表示に少し時間がかかります。"},
            {"Text1", "【ツヅリオ】の機能・使用法のガイダンスを表示します。"},
        };
        f.button("Command1")->show();
        for (auto [name, text] : cases) {
            QWidget* w = f.find<QWidget>(name);
            move_mouse(w, QPoint(3, 3));
            QCOMPARE(f.hint(), QString::fromUtf8(text));
        }
        move_mouse(f.grid->viewport(), QPoint(5, 5));
        QCOMPARE(f.hint(), QStringLiteral("クリックでメモ内容を表示、ダブルクリックで一番上に移動"));
        move_mouse(f.viewer->viewport(), QPoint(5, 5));
        QCOMPARE(f.hint(), QStringLiteral("メモの内容を表示するエリアです。"));
        move_mouse(f.find<QWidget>("form_surface"), QPoint(2, 2));
        QCOMPARE(f.hint(), QString());
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
