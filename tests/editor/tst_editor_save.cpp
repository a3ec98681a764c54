// Opening the editor and saving a memo through its controls: new memos and
// corrections end to end, every refusal, the limits, and failed writes.

#include "editor_fixture.h"
#include "store/cp932.h"
#include "store/data_folder.h"
#include "ui/twips.h"

#include <QDir>

using namespace tz;
using namespace tz::test;

namespace {

const QString kNow = QStringLiteral("c6/12/06 08:30:15");  // the fixed clock's stamp

MemoRecord dated(const QString& category, const QString& title, int number, const QString& stamp, bool locked = false) {
    MemoRecord r = memo(category, title, number, stamp, locked);
    r.created_stamp = Value(QStringLiteral("a1/01/01 00:00:00"));
    return r;
}

// Three memos, newest first, and the categories 全部, 仕事, 家, Work.
void three_memos(FakeMainOps& ops) {
    ops.time.now = QDateTime(QDate(2026, 12, 6), QTime(8, 30, 15));
    ops.fill({dated(QStringLiteral("仕事"), QStringLiteral("会議"), 5, QStringLiteral("c6/12/03 10:00:00")),
              dated(QStringLiteral("家"), QStringLiteral("同じ題"), 7, QStringLiteral("c6/12/02 10:00:00")),
              dated(QStringLiteral("消えた分類"), QStringLiteral("同じ題"), 9, QStringLiteral("c6/12/01 10:00:00"), true)},
             {QStringLiteral("全部"), QStringLiteral("仕事"), QStringLiteral("家"), QStringLiteral("Work")}, 100);
}

QStringList record_lines(const MemoRecord& r) {
    return {r.date.file_line(), r.category.file_line(), r.title.file_line(), r.memo_number.file_line(),
            r.created_stamp.file_line(), r.updated_stamp.file_line(), r.lock_flag.file_line()};
}

// Types into the boxes as a user does.
void type_memo(EditorFixture& f, const QString& category, const QString& title, const QString& body) {
    f.combo("Combo1")->lineEdit()->clear();
    type_text(f.combo("Combo1")->lineEdit(), category);
    f.line("Text2")->clear();
    type_text(f.line("Text2"), title);
    f.body()->selectAll();
    const QStringList paragraphs = body.split(QStringLiteral("\r\n"));
    for (int i = 0; i < paragraphs.size(); ++i) {
        if (i > 0) QTest::keyClick(f.body(), Qt::Key_Return);
        type_text(f.body(), paragraphs[i]);
    }
}

QStringList window_steps(const QString& new_category, int count) {
    QStringList steps;
    if (!new_category.isNull()) steps.append(QStringLiteral("append_category:") + new_category);
    steps << QStringLiteral("select_all_categories") << QStringLiteral("full_rebuild") << QStringLiteral("empty_viewer")
          << QStringLiteral("set_caption:【ツヅリオ】Ver.3.0 (%1件)").arg(count);
    return steps;
}

}  // namespace

class TestEditorSave : public QObject {
    Q_OBJECT
private slots:
    void opens_new_memo();
    void opens_correction_data();
    void opens_correction();
    void opens_over_main_window_data();
    void opens_over_main_window();
    void saves_new_memo();
    void saves_correction();
    void category_choices_data();
    void category_choices();
    void refusals_data();
    void refusals();
    void correction_of_no_memo();
    void saves_at_limits_data();
    void saves_at_limits();
    void failed_write_data();
    void failed_write();
    void cancel_changes_nothing_data();
    void cancel_changes_nothing();
};

void TestEditorSave::opens_new_memo() {
    EditorFixture f;
    three_memos(f.ops);
    f.ops.hint = QStringLiteral("登録画面を起動中です。少々お待ち下さい。");
    f.open();
    QCOMPARE(f.dlg->windowTitle(), QStringLiteral("【ツヅリオ】Ver.3.0"));
    QCOMPARE(f.line("Text1")->text(), QStringLiteral("2026/12/06"));
    QStringList choices;
    for (int i = 0; i < f.combo("Combo1")->count(); ++i) choices.append(f.combo("Combo1")->itemText(i));
    QCOMPARE(choices, (QStringList{"仕事", "家", "Work"}));
    QCOMPARE(f.combo("Combo1")->currentText(), QString());
    QCOMPARE(f.line("Text2")->text(), QString());
    QCOMPARE(f.body()->text(), QString());
    QVERIFY(!f.check("Check1")->isChecked());
    QVERIFY(!f.check("Check2")->isChecked());
    QVERIFY(!f.check("Check3")->isChecked());
    QCOMPARE(f.combo("Combo3")->currentText(), QString());
    QVERIFY(f.combo("Combo3")->count() > 0);
    QCOMPARE(f.combo("Combo4")->count(), 89);
    QCOMPARE(f.combo("Combo4")->itemText(0), QStringLiteral("8"));
    QCOMPARE(f.combo("Combo4")->itemText(88), QStringLiteral("96"));
    QCOMPARE(f.combo("Combo4")->currentText(), QString());
    QCOMPARE(f.combo("Combo5")->count(), 4);
    QCOMPARE(f.combo("Combo5")->itemText(3), QStringLiteral("Bold Italic"));
    QCOMPARE(f.combo("Combo5")->currentText(), QString());
    QCOMPARE(f.ops.hint, QString());
    // The body's first text is in the editor's font.
    QCOMPARE(f.body()->default_font().family(), QStringLiteral("ＭＳ ゴシック"));
    QCOMPARE(f.body()->default_font().pointSizeF(), 11.25);
    QCOMPARE(f.dlg->font().family(), QStringLiteral("ＭＳ ゴシック"));
    // No minimise or maximise button.
    QVERIFY(!(f.dlg->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    // The tab order.
    QStringList order;
    QWidget* w = f.combo("Combo1");
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty() && w->window() == f.dlg.get())
            order.append(w->objectName());
        w = w->nextInFocusChain();
    } while (w != f.combo("Combo1"));
    QCOMPARE(order, (QStringList{"Combo1", "Text1", "Text2", "RTB_kinyu", "Check2", "Check1", "Combo5", "Combo4", "Combo3",
                                 "Check3", "Command1", "Command2", "Command3", "Command5"}));
}

void TestEditorSave::opens_correction_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<bool>("body_file");
    QTest::addColumn<QString>("body");
    QTest::newRow("first") << 1 << "仕事" << "会議" << false << true << "会議";
    // Two memos share a title: the row's memo number decides which opens.
    QTest::newRow("second of two with one title") << 3 << "消えた分類" << "同じ題" << true << true << "同じ題";
    QTest::newRow("missing body file opens empty") << 2 << "家" << "同じ題" << false << false << "";
}

void TestEditorSave::opens_correction() {
    QFETCH(int, row);
    QFETCH(QString, category);
    QFETCH(QString, title);
    QFETCH(bool, locked);
    QFETCH(bool, body_file);
    QFETCH(QString, body);
    EditorFixture f;
    three_memos(f.ops);
    f.ops.row = row;
    if (!body_file) QVERIFY(QFile::remove(f.ops.store().rich_body_path(f.ops.maps.row_memo_numbers[size_t(row)])));
    f.open(QStringLiteral("teisei"));
    QCOMPARE(f.dlg->correction_slot(), row);
    QCOMPARE(f.line("Text1")->text(), QStringLiteral("2026/12/05"));
    QCOMPARE(f.combo("Combo1")->currentText(), category);  // shown even when not in the list
    QCOMPARE(f.combo("Combo1")->count(), 3);
    QCOMPARE(f.line("Text2")->text(), title);
    QCOMPARE(f.check("Check3")->isChecked(), locked);
    QCOMPARE(f.body()->text(), body);
}

void TestEditorSave::opens_over_main_window_data() {
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QRect>("body");
    QTest::addColumn<QRect>("save");
    // The main window at its smallest: the editor at its own smallest, 9450 × 6475.
    QTest::newRow("smallest") << QRect(1500, 1200, 9450, 6975) << QRect(0, 840, 9315, 4255) << QRect(7740, 5140, 1515, 435);
    QTest::newRow("larger") << QRect(0, 300, 12000, 9000) << QRect(0, 840, 11865, 6280) << QRect(7740, 7165, 4065, 435);
}

void TestEditorSave::opens_over_main_window() {
    QFETCH(QRect, main);
    QFETCH(QRect, body);
    QFETCH(QRect, save);
    EditorFixture f;
    f.ops.outer = main;
    f.open();
    // Outer top, left and width as the main window's; 500 twips lower, so its
    // bottom strip stays uncovered.
    const QRect outer = f.dlg->frameGeometry();
    const QRect wanted = twips::to_px(QRect(main.left(), main.top(), main.width(), main.height() - 500));
    QVERIFY2(std::abs(outer.left() - wanted.left()) <= 1 && std::abs(outer.top() - wanted.top()) <= 1,
             qPrintable(QStringLiteral("%1,%2").arg(outer.left()).arg(outer.top())));
    QVERIFY(std::abs(outer.width() - wanted.width()) <= 1);
    QVERIFY(std::abs(outer.height() - wanted.height()) <= 1);
    QCOMPARE(f.body()->geometry(), twips::to_px(body));
    QCOMPARE(f.button("Command1")->geometry(), twips::to_px(save));
}

void TestEditorSave::saves_new_memo() {
    EditorFixture f;
    three_memos(f.ops);
    const QByteArray categories_before = read_bytes(f.ops.path("bunrui.dat"));
    f.open();
    type_memo(f, QStringLiteral("家"), QStringLiteral("買い物"), QStringLiteral("一行目\r\n二行目"));
    f.check("Check3")->setChecked(true);
    const QByteArray rich = f.body()->rtf();
    f.click("Command1");

    QCOMPARE(f.dlg->result(), int(QDialog::Accepted));
    QVERIFY(!f.dlg->isVisible());
    QVERIFY(f.ops.fake.messages.empty());
    MemoStore& s = f.ops.store();
    QCOMPARE(s.table.count(), 4);
    QCOMPARE(s.settings[Settings::Counter].display(), QStringLiteral("101"));
    const QStringList top{"2026/12/06", "家", "買い物", " 101 ", kNow, kNow, "YES"};
    QCOMPARE(record_lines(s.table.slot(1)), top);
    QCOMPARE(s.table.slot(2).memo_number.display(), QStringLiteral("5"));

    QStringList index = top;
    for (int i = 2; i <= 4; ++i) index += record_lines(s.table.slot(i));
    QCOMPARE(read_bytes(f.ops.path("tzurio.dat")), crlf_lines(index));
    QCOMPARE(read_bytes(f.ops.path("memo1/m1000101.txt")), crlf_lines({"一行目", "二行目"}));
    QCOMPARE(read_bytes(f.ops.path("memo2/m2000101.txt")), rich);
    QVERIFY(rich.startsWith("{\\rtf1"));
    QCOMPARE(read_bytes(f.ops.path("bunrui.dat")), categories_before);  // 家 is not new

    QCOMPARE(f.ops.calls, window_steps(QString(), 4));
    QCOMPARE(f.ops.hand.editor_mode, QStringLiteral("sinki"));
    QVERIFY(f.button("Command1")->isEnabled());

    // The rich body loads back with both lines.
    RichTextBox again;
    QVERIFY(again.load_file(f.ops.path("memo2/m2000101.txt")));
    QCOMPARE(again.text(), QStringLiteral("一行目\r\n二行目"));
}

void TestEditorSave::saves_correction() {
    EditorFixture f;
    three_memos(f.ops);
    f.ops.row = 3;  // memo 9, locked, its category no longer listed
    f.open(QStringLiteral("teisei"));
    type_memo(f, QStringLiteral("仕事"), QStringLiteral("直した題"), QStringLiteral("新しい本文"));
    f.line("Text1")->setText(QStringLiteral("昔のある日"));
    f.check("Check3")->setChecked(false);
    const QByteArray rich = f.body()->rtf();
    f.click("Command1");

    QCOMPARE(f.dlg->result(), int(QDialog::Accepted));
    MemoStore& s = f.ops.store();
    QCOMPARE(s.table.count(), 3);
    QCOMPARE(s.settings[Settings::Counter].display(), QStringLiteral("100"));  // no number given
    // Number and created stamp kept; to the top with the new updated stamp.
    const QStringList top{"昔のある日", "仕事", "直した題", " 9 ", "a1/01/01 00:00:00", kNow, "NO"};
    QCOMPARE(record_lines(s.table.slot(1)), top);
    QCOMPARE(s.table.slot(2).memo_number.display(), QStringLiteral("5"));
    QCOMPARE(s.table.slot(3).memo_number.display(), QStringLiteral("7"));
    QCOMPARE(read_bytes(f.ops.path("tzurio.dat")),
             crlf_lines(top + record_lines(s.table.slot(2)) + record_lines(s.table.slot(3))));
    QCOMPARE(read_bytes(f.ops.path("memo1/m1000009.txt")), crlf_lines({"新しい本文"}));
    QCOMPARE(read_bytes(f.ops.path("memo2/m2000009.txt")), rich);
    QVERIFY(!QFile::exists(f.ops.path("memo1/m1000101.txt")));
    QCOMPARE(f.ops.calls, window_steps(QString(), 3));
    QCOMPARE(f.ops.hand.editor_mode, QStringLiteral("sinki"));
}

void TestEditorSave::category_choices_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("is_new");
    QTest::newRow("existing") << "Work" << false;
    QTest::newRow("case variant is new") << "work" << true;
    QTest::newRow("full width variant is new") << "Ｗｏｒｋ" << true;
    QTest::newRow("全部 is never compared") << "全部" << true;
    QTest::newRow("new name") << "趣味" << true;
}

void TestEditorSave::category_choices() {
    QFETCH(QString, typed);
    QFETCH(bool, is_new);
    EditorFixture f;
    three_memos(f.ops);
    const QByteArray categories_before = read_bytes(f.ops.path("bunrui.dat"));
    f.open();
    type_memo(f, typed, QStringLiteral("題"), QStringLiteral("本文"));
    f.click("Command1");
    QCOMPARE(f.dlg->result(), int(QDialog::Accepted));
    QStringList expected{"全部", "仕事", "家", "Work"};
    if (is_new) expected.append(typed);
    QCOMPARE(f.ops.store().categories.entries(), expected);
    QCOMPARE(read_bytes(f.ops.path("bunrui.dat")), is_new ? crlf_lines(expected) : categories_before);
    QCOMPARE(f.ops.calls, window_steps(is_new ? typed : QString(), 4));
    QCOMPARE(f.ops.store().table.slot(1).category.display(), typed);
}

void TestEditorSave::refusals_data() {
    QTest::addColumn<int>("memos");
    QTest::addColumn<int>("categories");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("box_title");

    const QString limit = QStringLiteral("これ以上メモを登録できません。");
    const QString limit_title = QStringLiteral("メモの数が限界(30000)を越えます");
    const QString lines = QStringLiteral("タイトルが２行以上になっています。\rクリップボードを使って文字を貼り付ける場合は、\r"
                                         "改行が含まれないように注意してください。");
    const QString lines_title = QStringLiteral("タイトルは１行にしてください");
    const QString program = QStringLiteral("【ツヅリオ】Ver.3.0");
    const QString date_lines = QStringLiteral("年/月/日に改行が含まれています。\r改行を取り除いてから登録してください。");
    const QString category_lines = QStringLiteral("分類に改行が含まれています。\r改行を取り除いてから登録してください。");
    const QString cats = QStringLiteral("これ以上分類を登録できません。");
    const QString cats_title = QStringLiteral("分類の数が限界(1000)を越えます");

    QTest::newRow("29999 memos, new") << 29999 << 4 << "sinki" << "2026/12/06" << "家" << "題" << limit << limit_title;
    QTest::newRow("29999 memos, correction") << 29999 << 4 << "teisei" << "2026/12/06" << "家" << "題" << limit << limit_title;
    QTest::newRow("title with CR") << 3 << 4 << "sinki" << "2026/12/06" << "家" << "一行目\r二行目" << lines << lines_title;
    QTest::newRow("title with LF") << 3 << 4 << "sinki" << "2026/12/06" << "家" << "一行目\n二行目" << lines << lines_title;
    QTest::newRow("title with CR LF") << 3 << 4 << "teisei" << "2026/12/06" << "家" << "一\r\n二" << lines << lines_title;
    QTest::newRow("title of a line break only") << 3 << 4 << "sinki" << "2026/12/06" << "家" << "\n" << lines << lines_title;
    QTest::newRow("empty title") << 3 << 4 << "sinki" << "2026/12/06" << "家" << "" << "タイトルを入力して下さい。" << program;
    QTest::newRow("empty title, correction") << 3 << 4 << "teisei" << "2026/12/06" << "家" << "" << "タイトルを入力して下さい。" << program;
    QTest::newRow("date with LF") << 3 << 4 << "sinki" << "2026/12/06\n" << "家" << "題" << date_lines << program;
    QTest::newRow("date with CR") << 3 << 4 << "teisei" << "2026\r12" << "家" << "題" << date_lines << program;
    QTest::newRow("category with LF") << 3 << 4 << "sinki" << "2026/12/06" << "家\n仕事" << "題" << category_lines << program;
    QTest::newRow("category with CR") << 3 << 4 << "sinki" << "2026/12/06" << "\r" << "題" << category_lines << program;
    QTest::newRow("999 categories, new one") << 3 << 999 << "sinki" << "2026/12/06" << "新しい分類" << "題" << cats << cats_title;
    QTest::newRow("999 categories, new one, correction") << 3 << 999 << "teisei" << "2026/12/06" << "新しい分類" << "題" << cats << cats_title;
}

// Memos 1..n with stamps falling from the top, without body files; and the
// categories 全部, 仕事, 家, Work and more up to `categories`.
static void many(FakeMainOps& ops, int memos, int categories) {
    ops.time.now = QDateTime(QDate(2026, 12, 6), QTime(8, 30, 15));
    std::vector<MemoRecord> records;
    records.reserve(size_t(memos));
    for (int i = 1; i <= memos; ++i)
        records.push_back(memo(QStringLiteral("家"), QStringLiteral("メモ%1").arg(i), i,
                               QStringLiteral("c6/01/01 %1").arg(100000 - i, 6, 10, QLatin1Char('0'))));
    QStringList names{"全部", "仕事", "家", "Work"};
    while (names.size() < categories) names.append(QStringLiteral("分類%1").arg(names.size()));
    ops.fill(records, names, memos, false);
}

void TestEditorSave::refusals() {
    QFETCH(int, memos);
    QFETCH(int, categories);
    QFETCH(QString, mode);
    QFETCH(QString, date);
    QFETCH(QString, category);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, box_title);

    EditorFixture f;
    many(f.ops, memos, categories);
    f.ops.row = 2;
    const auto files_before = f.files();
    const QByteArray table_before = index_bytes(f.ops.store().table);
    const QStringList categories_before = f.ops.store().categories.entries();
    f.open(mode);
    f.line("Text1")->setText(date);
    f.combo("Combo1")->setEditText(category);
    f.line("Text2")->setText(title);
    type_text(f.body(), QStringLiteral("本文"));
    f.click("Command1");

    QCOMPARE(int(f.ops.fake.messages.size()), 1);
    const Message& m = f.ops.fake.messages[0];
    QCOMPARE(m.text, text);
    QCOMPARE(m.title, box_title);
    QCOMPARE(m.icon, MsgIcon::None);
    QCOMPARE(m.buttons, MsgButtons::Ok);

    // Nothing changed; the editor stays open with what was typed.
    QVERIFY(f.dlg->isVisible());
    QVERIFY(f.button("Command1")->isEnabled());
    QCOMPARE(f.line("Text2")->text(), title);
    QCOMPARE(f.line("Text1")->text(), date);
    QCOMPARE(f.combo("Combo1")->currentText(), category);
    QCOMPARE(f.body()->text(), QStringLiteral("本文"));
    QCOMPARE(index_bytes(f.ops.store().table), table_before);
    QCOMPARE(f.ops.store().categories.entries(), categories_before);
    QCOMPARE(f.ops.store().settings[Settings::Counter].display(), QString::number(memos));
    QCOMPARE(f.files(), files_before);
    QVERIFY(f.ops.calls.isEmpty());
    QCOMPARE(f.ops.hand.editor_mode, mode);
}

void TestEditorSave::correction_of_no_memo() {
    // The list's header row is no memo: the editor opens empty and saves nothing.
    EditorFixture f;
    three_memos(f.ops);
    f.ops.row = 0;
    const auto files_before = f.files();
    f.open(QStringLiteral("teisei"));
    QCOMPARE(f.line("Text2")->text(), QString());
    f.line("Text2")->setText(QStringLiteral("題"));
    f.click("Command1");
    QCOMPARE(f.ops.fake.texts(), QStringList{QStringLiteral("訂正するメモが見つかりません。")});
    QVERIFY(f.dlg->isVisible());
    QCOMPARE(f.ops.store().table.count(), 3);
    QCOMPARE(f.files(), files_before);
    QVERIFY(f.ops.calls.isEmpty());
}

void TestEditorSave::saves_at_limits_data() {
    QTest::addColumn<int>("memos");
    QTest::addColumn<int>("categories");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("category");
    QTest::newRow("29998 memos, new") << 29998 << 4 << "sinki" << "家";
    QTest::newRow("29998 memos, correction") << 29998 << 4 << "teisei" << "家";
    QTest::newRow("999 categories, existing one") << 3 << 999 << "sinki" << "分類500";
    QTest::newRow("998 categories, new one") << 3 << 998 << "sinki" << "新しい分類";
    QTest::newRow("title of blanks") << 3 << 4 << "sinki" << "家";
}

void TestEditorSave::saves_at_limits() {
    QFETCH(int, memos);
    QFETCH(int, categories);
    QFETCH(QString, mode);
    QFETCH(QString, category);
    EditorFixture f;
    many(f.ops, memos, categories);
    f.ops.row = 2;
    f.open(mode);
    f.combo("Combo1")->setEditText(category);
    f.line("Text2")->setText(QString::fromUtf8(QTest::currentDataTag()).startsWith("title") ? QStringLiteral("  ")
                                                                                          : QStringLiteral("題"));
    f.click("Command1");
    QVERIFY(f.ops.fake.messages.empty());
    QCOMPARE(f.dlg->result(), int(QDialog::Accepted));
    const int count = memos + (mode == u"sinki" ? 1 : 0);
    QCOMPARE(f.ops.store().table.count(), count);
    QCOMPARE(f.ops.store().table.slot(1).category.display(), category);
    const bool is_new = !QStringList{"家", "分類500"}.contains(category);
    QCOMPARE(f.ops.store().categories.count(), categories + (is_new ? 1 : 0));
    // The index holds every memo, seven lines each.
    QCOMPARE(read_bytes(f.ops.path("tzurio.dat")).count("\r\n"), 7 * count);
}

void TestEditorSave::failed_write_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("blocked");  // the file that is a folder and cannot be written
    for (const char* mode : {"sinki", "teisei"}) {
        const bool is_new = QByteArray(mode) == "sinki";
        const QString number = is_new ? QStringLiteral("000101") : QStringLiteral("000007");
        QTest::addRow("%s, text body", mode) << mode << "memo1/m1" + number + ".txt";
        QTest::addRow("%s, rich body", mode) << mode << "memo2/m2" + number + ".txt";
        QTest::addRow("%s, bunrui.dat", mode) << mode << "bunrui.dat";
        QTest::addRow("%s, tzurio.dat", mode) << mode << "tzurio.dat";
    }
}

void TestEditorSave::failed_write() {
    QFETCH(QString, mode);
    QFETCH(QString, blocked);
    EditorFixture f;
    three_memos(f.ops);
    f.ops.row = 2;  // memo 7
    const QString blocked_path = f.ops.path(blocked);
    QFile::remove(blocked_path);
    QVERIFY(QDir().mkpath(blocked_path));
    const auto files_before = f.files();
    const QByteArray table_before = index_bytes(f.ops.store().table);
    f.open(mode);
    type_memo(f, QStringLiteral("新しい分類"), QStringLiteral("題"), QStringLiteral("本文"));
    bool save_enabled_during_message = true;
    f.ops.fake.on_message = [&] { save_enabled_during_message = f.button("Command1")->isEnabled(); };
    f.click("Command1");

    QVERIFY(!save_enabled_during_message);  // "登録" is off while the save runs
    QCOMPARE(int(f.ops.fake.messages.size()), 1);
    QCOMPARE(f.ops.fake.messages[0].text, not_written_text({QDir::toNativeSeparators(blocked)}));
    QCOMPARE(f.ops.fake.messages[0].title, QStringLiteral("【ツヅリオ】Ver.3.0"));
    // The editor stays open with everything typed; table, counter, categories
    // and files are as they were.
    QVERIFY(f.dlg->isVisible());
    QVERIFY(f.button("Command1")->isEnabled());
    QCOMPARE(f.line("Text2")->text(), QStringLiteral("題"));
    QCOMPARE(f.combo("Combo1")->currentText(), QStringLiteral("新しい分類"));
    QCOMPARE(f.body()->text(), QStringLiteral("本文"));
    QCOMPARE(index_bytes(f.ops.store().table), table_before);
    QCOMPARE(f.ops.store().settings[Settings::Counter].display(), QStringLiteral("100"));
    QCOMPARE(f.ops.store().categories.count(), 4);
    QCOMPARE(f.files(), files_before);
    QVERIFY(QFileInfo(blocked_path).isDir());
    QVERIFY(f.ops.calls.isEmpty());
    QCOMPARE(f.ops.hand.editor_mode, mode);

    // Once the file can be written, the same editor saves, under the same number.
    QVERIFY(QDir(blocked_path).removeRecursively());
    f.click("Command1");
    QCOMPARE(f.dlg->result(), int(QDialog::Accepted));
    QCOMPARE(f.ops.store().table.slot(1).memo_number.display(), mode == u"sinki" ? QStringLiteral("101") : QStringLiteral("7"));
    QCOMPARE(read_bytes(f.ops.path("tzurio.dat")), index_bytes(f.ops.store().table));
    QCOMPARE(f.ops.store().categories.count(), 5);
}

void TestEditorSave::cancel_changes_nothing_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("how");
    for (const char* mode : {"sinki", "teisei"}) {
        QTest::addRow("%s, 中止", mode) << mode << "button";
        QTest::addRow("%s, Esc in the body", mode) << mode << "esc body";
        QTest::addRow("%s, Esc in the title", mode) << mode << "esc title";
        QTest::addRow("%s, Esc in the category", mode) << mode << "esc category";
        QTest::addRow("%s, close box", mode) << mode << "close";
    }
}

void TestEditorSave::cancel_changes_nothing() {
    QFETCH(QString, mode);
    QFETCH(QString, how);
    EditorFixture f;
    three_memos(f.ops);
    f.ops.row = 2;
    const auto files_before = f.files();
    const QByteArray table_before = index_bytes(f.ops.store().table);
    f.open(mode);
    type_memo(f, QStringLiteral("新しい分類"), QStringLiteral("題"), QStringLiteral("本文"));
    if (how == u"button") f.click("Command2");
    else if (how == u"esc body") QTest::keyClick(f.body(), Qt::Key_Escape);
    else if (how == u"esc title") QTest::keyClick(f.line("Text2"), Qt::Key_Escape);
    else if (how == u"esc category") QTest::keyClick(f.combo("Combo1")->lineEdit(), Qt::Key_Escape);
    else f.dlg->close();
    QVERIFY(!f.dlg->isVisible());
    QCOMPARE(f.dlg->result(), int(QDialog::Rejected));
    QVERIFY(f.ops.fake.messages.empty());
    QCOMPARE(index_bytes(f.ops.store().table), table_before);
    QCOMPARE(f.files(), files_before);
    QCOMPARE(f.ops.store().categories.count(), 4);
    QVERIFY(f.ops.calls.isEmpty());
    QCOMPARE(f.ops.hand.editor_mode, mode);  // kept on cancel
}

QTEST_MAIN(TestEditorSave)
#include "tst_editor_save.moc"
