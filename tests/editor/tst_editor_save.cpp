// Saving a memo through the editor's controls: new memos and corrections end
// to end, typed categories, every refusal and limit, and failed writes.

#include "editor_fixture.h"

using namespace tz;
using namespace tz::test;

namespace {

const QString kNow = QStringLiteral("c6/12/06 08:30:15");  // the fixed clock's stamp
const QString kOld = QStringLiteral("a1/01/01 00:00:00");
const QString kProgram = QStringLiteral("【ツヅリオ】Ver.3.0");

// Memos 5, 7 and 9, newest first; 7 and 9 share a title, 9 is locked and its
// category is no longer listed. Categories 全部, 仕事, 家, Work; counter 100.
void three_memos(EditorFixture& f) {
    f.time.now = QDateTime(QDate(2026, 12, 6), QTime(8, 30, 15));
    std::vector<MemoRecord> memos{memo("仕事", "会議", 5, "c6/12/03 10:00:00"), memo("家", "同じ題", 7, "c6/12/02 10:00:00"),
                                  memo("消えた分類", "同じ題", 9, "c6/12/01 10:00:00", true)};
    for (MemoRecord& m : memos) m.created_stamp = Value(kOld);
    f.fill(memos, {"全部", "仕事", "家", "Work"}, 100);
}

// Memos 1..n without body files, counter n; categories 全部, 仕事, 家, Work and
// more up to `categories`.
void many(EditorFixture& f, int n, int categories) {
    std::vector<MemoRecord> records;
    for (int i = 1; i <= n; ++i)
        records.push_back(memo("家", QString("メモ%1").arg(i), i, QString("c6/01/01 %1").arg(100000 - i, 6, 10, QChar('0'))));
    QStringList names{"全部", "仕事", "家", "Work"};
    while (names.size() < categories) names.append(QString("分類%1").arg(names.size()));
    f.fill(records, names, n, false);
}

QStringList index_lines(const MemoTable& t) {
    QStringList lines;
    for (int i = 1; i <= t.count(); ++i) {
        const MemoRecord& r = t.slot(i);
        lines << r.date.file_line() << r.category.file_line() << r.title.file_line() << r.memo_number.file_line()
              << r.created_stamp.file_line() << r.updated_stamp.file_line() << r.lock_flag.file_line();
    }
    return lines;
}

// Types over the boxes as a user does; body paragraphs are split at CR LF.
void type_memo(EditorFixture& f, const QString& category, const QString& title, const QString& body) {
    f.dlg->Combo1->lineEdit()->clear();
    f.dlg->Text2->clear();
    f.dlg->RTB_kinyu->selectAll();
    type_text(f.dlg->Combo1->lineEdit(), category);
    type_text(f.dlg->Text2, title);
    const QStringList paragraphs = body.split("\r\n");
    for (int i = 0; i < paragraphs.size(); ++i) {
        if (i > 0) QTest::keyClick(f.dlg->RTB_kinyu, Qt::Key_Return);
        type_text(f.dlg->RTB_kinyu, paragraphs[i]);
    }
}

// What a refused or failed save must leave as it was: table, categories, counter, files.
auto snapshot(EditorFixture& f) {
    return std::tuple(index_bytes(f.store_.table), f.store_.categories.entries(),
                      f.store_.settings[Settings::Counter].display(), f.files());
}

}  // namespace

class TestEditorSave : public QObject {
    Q_OBJECT
private slots:
    void saves_data();
    void saves();
    void typed_category_data();
    void typed_category();
    void limits_and_refusals_data();
    void limits_and_refusals();
    void failed_write_data();
    void failed_write();
};

void TestEditorSave::saves_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("top");    // the saved memo's index lines
    QTest::addColumn<QStringList>("order");  // memo numbers in table order
    QTest::newRow("new") << "sinki" << 1 << QStringList{"2026/12/24", "家", "買い物", " 101 ", kNow, kNow, "YES"}
                         << QStringList{"101", "5", "7", "9"};
    // Row 3 is memo 9, not 7 of the same title; number and created stamp are kept.
    QTest::newRow("correction") << "teisei" << 3 << QStringList{"2026/12/24", "家", "買い物", " 9 ", kOld, kNow, "NO"}
                                << QStringList{"9", "5", "7"};
}

void TestEditorSave::saves() {
    QFETCH(QString, mode);
    QFETCH(int, row);
    QFETCH(QStringList, top);
    QFETCH(QStringList, order);
    EditorFixture f;
    three_memos(f);
    f.row = row;
    f.open(mode);
    type_memo(f, "家", "買い物", "一行目\r\n二行目");
    f.dlg->Text1->setText("2026/12/24");
    f.dlg->Check3->toggle();
    const QByteArray rich = f.dlg->RTB_kinyu->rtf();
    click(f.dlg->Command1);

    QCOMPARE(f.dlg->result(), int(QDialog::Accepted));
    QVERIFY(!f.dlg->isVisible());
    QVERIFY(f.fake.messages.empty());
    const MemoTable& t = f.store_.table;
    QCOMPARE(index_lines(t).mid(0, 7), top);
    QStringList numbers;
    for (int i = 1; i <= t.count(); ++i) numbers.append(t.slot(i).memo_number.display());
    QCOMPARE(numbers, order);
    QCOMPARE(f.store_.settings[Settings::Counter].display(), mode == u"sinki" ? "101" : "100");
    const QString number = top[3].trimmed().rightJustified(6, '0');
    QCOMPARE(read_bytes(f.path("tzurio.dat")), crlf_lines(index_lines(t)));
    QCOMPARE(read_bytes(f.path("memo1/m1" + number + ".txt")), crlf_lines({"一行目", "二行目"}));
    QCOMPARE(read_bytes(f.path("memo2/m2" + number + ".txt")), rich);
    QCOMPARE(f.calls, (QStringList{"select_all_categories", "full_rebuild", "empty_viewer",
                                   QString("set_caption:%1 (%2件)").arg(kProgram).arg(order.size())}));
    QCOMPARE(f.hand.editor_mode, QStringLiteral("sinki"));
}

void TestEditorSave::typed_category_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("is_new");
    QTest::newRow("existing") << "Work" << false;
    QTest::newRow("case variant is new") << "work" << true;
    QTest::newRow("全部 is a new category") << "全部" << true;
}

void TestEditorSave::typed_category() {
    QFETCH(QString, typed);
    QFETCH(bool, is_new);
    EditorFixture f;
    three_memos(f);
    const QByteArray before = read_bytes(f.path("bunrui.dat"));
    f.open();
    type_memo(f, typed, "題", "本文");
    click(f.dlg->Command1);
    QCOMPARE(f.dlg->result(), int(QDialog::Accepted));
    QStringList expected{"全部", "仕事", "家", "Work"};
    if (is_new) expected.append(typed);
    QCOMPARE(f.store_.categories.entries(), expected);
    QCOMPARE(read_bytes(f.path("bunrui.dat")), is_new ? crlf_lines(expected) : before);
    QCOMPARE(f.calls.first(), is_new ? "append_category:" + typed : QString("select_all_categories"));
    QCOMPARE(f.store_.table.slot(1).category.display(), typed);
}

void TestEditorSave::limits_and_refusals_data() {
    QTest::addColumn<int>("memos");
    QTest::addColumn<int>("categories");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("field");  // the box given `value`; the others hold a plain memo
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("text");   // the refusal, empty when the memo is saved
    QTest::addColumn<QString>("title");

    const QString limit = "これ以上メモを登録できません。", limit_title = "メモの数が限界(30000)を越えます";
    const QString cats = "これ以上分類を登録できません。", cats_title = "分類の数が限界(1000)を越えます";
    const QString lines = "タイトルが２行以上になっています。\rクリップボードを使って文字を貼り付ける場合は、\r"
                          "改行が含まれないように注意してください。";
    const QString lines_title = "タイトルは１行にしてください";
    const QString breaks = "に改行が含まれています。\r改行を取り除いてから登録してください。";
    QTest::newRow("29998 memos, new") << 29998 << 4 << "sinki" << 2 << "" << "" << "" << "";
    QTest::newRow("29998 memos, correction") << 29998 << 4 << "teisei" << 2 << "" << "" << "" << "";
    QTest::newRow("29999 memos, new") << 29999 << 4 << "sinki" << 2 << "" << "" << limit << limit_title;
    QTest::newRow("29999 memos, correction") << 29999 << 4 << "teisei" << 2 << "" << "" << limit << limit_title;
    QTest::newRow("999 categories, existing") << 3 << 999 << "sinki" << 2 << "category" << "分類500" << "" << "";
    QTest::newRow("999 categories, new") << 3 << 999 << "sinki" << 2 << "category" << "新しい分類" << cats << cats_title;
    QTest::newRow("title of blanks") << 3 << 4 << "sinki" << 2 << "title" << "  " << "" << "";
    QTest::newRow("title with CR") << 3 << 4 << "sinki" << 2 << "title" << "一\r二" << lines << lines_title;
    QTest::newRow("title with LF") << 3 << 4 << "teisei" << 2 << "title" << "一\n二" << lines << lines_title;
    QTest::newRow("empty title") << 3 << 4 << "sinki" << 2 << "title" << "" << "タイトルを入力して下さい。" << kProgram;
    QTest::newRow("date with LF") << 3 << 4 << "sinki" << 2 << "date" << "2026/12/06\n" << "年/月/日" + breaks << kProgram;
    QTest::newRow("category with CR") << 3 << 4 << "sinki" << 2 << "category" << "家\r仕事" << "分類" + breaks << kProgram;
    QTest::newRow("correction on the header row") << 3 << 4 << "teisei" << 0 << "" << ""
                                                  << "訂正するメモが見つかりません。" << kProgram;
}

void TestEditorSave::limits_and_refusals() {
    QFETCH(int, memos);
    QFETCH(int, categories);
    QFETCH(QString, mode);
    QFETCH(int, row);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, text);
    QFETCH(QString, title);
    EditorFixture f;
    many(f, memos, categories);
    f.row = row;
    const auto before = snapshot(f);
    f.open(mode);
    f.dlg->Combo1->setEditText("家");
    f.dlg->Text2->setText("題");
    if (!field.isEmpty())
        (field == u"date" ? f.dlg->Text1 : field == u"title" ? f.dlg->Text2 : f.dlg->Combo1->lineEdit())->setText(value);
    type_text(f.dlg->RTB_kinyu, "本文");
    click(f.dlg->Command1);

    if (text.isEmpty()) {
        QVERIFY(f.fake.messages.empty());
        QCOMPARE(f.dlg->result(), int(QDialog::Accepted));
        const int count = memos + (mode == u"sinki" ? 1 : 0);
        QCOMPARE(f.store_.table.count(), count);
        QCOMPARE(f.store_.categories.count(), categories);
        QCOMPARE(read_bytes(f.path("tzurio.dat")).count("\r\n"), 7 * count);
        return;
    }
    QCOMPARE(f.fake.texts(), QStringList{text});
    QCOMPARE(f.fake.messages[0].title, title);
    // Nothing changed; the editor stays open with what was typed.
    QVERIFY(f.dlg->isVisible());
    QCOMPARE(f.dlg->RTB_kinyu->text(), QStringLiteral("本文"));
    QVERIFY(snapshot(f) == before);
    QVERIFY(f.calls.isEmpty());
    QCOMPARE(f.hand.editor_mode, mode);
}

void TestEditorSave::failed_write_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("blocked");  // a folder where this file belongs, so it cannot be written
    for (const char* file : {"memo1/m1000101.txt", "memo2/m2000101.txt", "bunrui.dat", "tzurio.dat"})
        QTest::addRow("new, %s", file) << "sinki" << file;
    // Memo 7's body files are written before the index fails and must get their old bytes back.
    QTest::newRow("correction, tzurio.dat") << "teisei" << "tzurio.dat";
}

void TestEditorSave::failed_write() {
    QFETCH(QString, mode);
    QFETCH(QString, blocked);
    EditorFixture f;
    three_memos(f);
    f.row = 2;
    QFile::remove(f.path(blocked));
    QVERIFY(QDir().mkpath(f.path(blocked)));
    const auto before = snapshot(f);
    f.open(mode);
    type_memo(f, "新しい分類", "題", "本文");
    bool enabled_during_message = true;
    f.fake.on_message = [&] { enabled_during_message = f.dlg->Command1->isEnabled(); };
    click(f.dlg->Command1);

    QVERIFY(!enabled_during_message);  // "登録" is off while the save runs
    QCOMPARE(f.fake.texts(), QStringList{not_written_text({QDir::toNativeSeparators(blocked)})});
    QVERIFY(f.dlg->isVisible());
    QVERIFY(f.dlg->Command1->isEnabled());
    QCOMPARE(f.dlg->RTB_kinyu->text(), QStringLiteral("本文"));
    QVERIFY(snapshot(f) == before);
    QVERIFY(f.calls.isEmpty());
    QCOMPARE(f.hand.editor_mode, mode);
}

QTEST_MAIN(TestEditorSave)
#include "tst_editor_save.moc"
