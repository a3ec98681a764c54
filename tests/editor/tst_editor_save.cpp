// Saving a memo through the editor's controls: new memos and corrections end
// to end, then typed categories, every refusal and limit, and failed writes.

#include "editor_fixture.h"
#include "rtf/rtf_test_util.h"
#include "store/file_io.h"

#include <QClipboard>
#include <QMimeData>

using namespace tz;
using namespace tz::test;

namespace {

const QString kNow = QStringLiteral("c6/12/05 21:52:00");  // the fixed clock's stamp
const QString kOld = QStringLiteral("a1/01/01 00:00:00");
const QString kProgram = QStringLiteral("【ツヅリオ】Ver.3.0");

// Memos 1..n (with body files when few), counter n; categories 全部, 仕事, 家,
// Work and more up to `categories`.
void many(EditorFixture& f, int n, int categories) {
    std::vector<MemoRecord> records;
    for (int i = 1; i <= n; ++i)
        records.push_back(memo("家", QString("メモ%1").arg(i), i, QString("c6/01/01 %1").arg(100000 - i, 6, 10, QChar('0'))));
    QStringList names{"全部", "仕事", "家", "Work"};
    while (names.size() < categories) names.append(QString("分類%1").arg(names.size()));
    f.fill(records, names, n, n < 10);
}

// What a refused or failed save must leave as it was: table, categories, counter, files.
auto snapshot(EditorFixture& f) {
    return std::tuple(index_bytes(f.store_.table), f.store_.categories.entries(),
                      f.store_.settings[Settings::Counter].display(), folder_contents(f.dir.path()));
}

constexpr EditorMode kCorrection = EditorMode::Correction;

// A plain memo saved with `value` in `field` over `memos` memos, `blocked` unwritable;
// `message`: the refusal's text and title (when not the program's name), empty when saved.
struct Outcome {
    int memos = 3, categories = 4;
    EditorMode mode = EditorMode::NewMemo;
    int row = 2;
    QString field, value, blocked;
    bool lost_picture = false;  // the body shows a picture whose data is gone
    QStringList message;
};

}  // namespace

Q_DECLARE_METATYPE(Outcome)

class TestEditorSave : public QObject {
    Q_OBJECT
private slots:
    // Typed over the boxes as a user does; RTF that another program put on the clipboard, under any of its
    // names, is pasted rather than the HTML offered with it, and saved with its picture and formats.
    void saves_data() {
        QTest::addColumn<bool>("correction");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("format");  // of the pasted RTF
        QTest::addColumn<QStringList>("top");  // the saved memo's index lines, first in the index
        const QStringList made{"2026/12/24", "家", "買い物", " 101 ", kNow, kNow, "YES"};
        QTest::newRow("new, text/rtf") << false << 1 << "text/rtf" << made;
        QTest::newRow("new, text/richtext") << false << 1 << "text/richtext" << made;
        // Row 3 is memo 9, not 7 of the same title; number and created stamp are kept.
        QTest::newRow("correction, application/rtf") << true << 3 << "application/rtf"
                                                     << QStringList{"2026/12/24", "家", "買い物", " 9 ", kOld, kNow, "NO"};
    }

    void saves() {
        QFETCH(bool, correction);
        QFETCH(int, row);
        QFETCH(QString, format);
        QFETCH(QStringList, top);
        // Memos 5, 7 and 9, newest first; 7 and 9 share a title, 9 is locked and
        // its category is no longer listed.
        EditorFixture f;
        std::vector<MemoRecord> memos{memo("仕事", "会議", 5, "c6/12/03 10:00:00"), memo("家", "同じ題", 7, "c6/12/02 10:00:00"),
                                      memo("消えた分類", "同じ題", 9, "c6/12/01 10:00:00", true)};
        for (MemoRecord& m : memos) m.created_stamp = Value(kOld);
        f.fill(memos, {"全部", "仕事", "家", "Work"}, 100);
        f.row = row;
        f.open(correction ? EditorMode::Correction : EditorMode::NewMemo);
        f.dlg->Combo1->lineEdit()->clear();
        type_text(f.dlg->Combo1->lineEdit(), "家");
        f.dlg->Text2->clear();
        type_text(f.dlg->Text2, "買い物");
        f.dlg->RTB_kinyu->selectAll();
        type_text(f.dlg->RTB_kinyu, "一行目");
        QTest::keyClick(f.dlg->RTB_kinyu, Qt::Key_Return);
        type_text(f.dlg->RTB_kinyu, "二行目");
        const QByteArray png = test::picture_of(Qt::green, 3, 2, "PNG").second.toHex();
        auto* copied = new QMimeData;
        copied->setData(format, "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs24 "
                                "{\\b bold}{\\cf1 red}{\\pict\\pngblip\\picw3\\pich2 " + png + "}\\par}");
        copied->setHtml("<p>HTML</p>");
        copied->setText("plain");
        QGuiApplication::clipboard()->setMimeData(copied);
        f.dlg->RTB_kinyu->paste();
        f.dlg->Text1->setText("2026/12/24");
        f.dlg->Check3->toggle();
        const QByteArray rich = f.dlg->RTB_kinyu->rtf();
        click(f.dlg->Command1);

        QCOMPARE(f.dlg->result(), int(QDialog::Accepted));
        QCOMPARE(split_lines(read_bytes(f.path("tzurio.dat"))).mid(0, 7), top);
        QCOMPARE(f.store_.settings[Settings::Counter].display(), correction ? "100" : "101");
        const QString number = top[3].trimmed().rightJustified(6, '0');
        QCOMPARE(read_bytes(f.path("memo1/m1" + number + ".txt")), crlf_lines({"一行目", "二行目boldred"}));
        QCOMPARE(read_bytes(f.path("memo2/m2" + number + ".txt")), rich);
        QVERIFY(QByteArray(rich).replace('\n', "").contains(png));
        RichTextBox again;
        again.load_rtf(rich);
        QCOMPARE(again.document()->toPlainText(), u"一行目\n二行目boldred\uFFFC"_qs);
        QVERIFY(test::fragment_with(*again.document(), u"bold"_qs).charFormat().fontWeight() >= QFont::DemiBold);
        QCOMPARE(test::fragment_with(*again.document(), u"red"_qs).charFormat().foreground().color(), QColor(Qt::red));
        QCOMPARE(f.calls, (QStringList{"select_all_categories", "full_rebuild", "empty_viewer",
                                       QString("set_caption:%1 (%2件)").arg(kProgram).arg(f.store_.table.count())}));
    }

    void outcomes_data() {
        QTest::addColumn<Outcome>("o");
        const QStringList limit{"これ以上メモを登録できません。", "メモの数が限界(30000)を越えます"};
        const QStringList cats{"これ以上分類を登録できません。", "分類の数が限界(1000)を越えます"};
        const QStringList lines{"タイトルが２行以上になっています。\rクリップボードを使って文字を貼り付ける場合は、\r改行が含まれないように注意してください。", "タイトルは１行にしてください"};
        const QString breaks = "に改行が含まれています。\r改行を取り除いてから登録してください。";
        QTest::newRow("29998 memos, new") << Outcome{.memos = 29998};
        QTest::newRow("29999 memos, correction") << Outcome{.memos = 29999, .mode = kCorrection, .message = limit};
        QTest::newRow("999 categories, existing") << Outcome{.categories = 999, .field = "category", .value = "分類500"};
        QTest::newRow("999 categories, new") << Outcome{.categories = 999, .field = "category", .value = "新しい分類", .message = cats};
        QTest::newRow("category, case variant is new") << Outcome{.field = "category", .value = "work"};
        QTest::newRow("category, 全部 is new") << Outcome{.field = "category", .value = "全部"};
        QTest::newRow("title of blanks") << Outcome{.field = "title", .value = "  "};
        QTest::newRow("title with CR") << Outcome{.field = "title", .value = "一\r二", .message = lines};
        QTest::newRow("empty title") << Outcome{.field = "title", .message = {"タイトルを入力して下さい。"}};
        QTest::newRow("date with LF") << Outcome{.field = "date", .value = "2026/12/06\n", .message = {"年/月/日" + breaks}};
        QTest::newRow("category with CR") << Outcome{.field = "category", .value = "家\r仕事", .message = {"分類" + breaks}};
        // Characters the code page lacks would come back as "?"; its nearest
        // characters and extensions are written.
        const auto lost = [&](const QString& box, const QString& chars) {
            return QStringList{box + "に、ファイルに保存できない文字が含まれています：" + chars + "\rこれらの文字を取り除いてから登録してください。"};
        };
        QTest::newRow("title with é and emoji") << Outcome{.field = "title", .value = "café😀é", .message = lost("タイトル", "é 😀")};
        QTest::newRow("date with a no-break space")
            << Outcome{.mode = kCorrection, .field = "date", .value = "2026/12/06\u00A0", .message = lost("年/月/日", "U+00A0")};
        QTest::newRow("category with emoji") << Outcome{.field = "category", .value = "絵😀文字", .message = lost("分類", "😀")};
        QTest::newRow("category of nearest and extension characters") << Outcome{.field = "category", .value = "〜¥①髙ｶﾅ"};
        QTest::newRow("picture without its data") << Outcome{.lost_picture = true,
            .message = {"本文の画像のデータが見つからないため、登録できません。\r画像を削除するか、もう一度貼り付けてから登録してください。"}};
        QTest::newRow("correction on the header row") << Outcome{.mode = kCorrection, .row = 0, .message = {"訂正するメモが見つかりません。"}};
        // A file that cannot be written undoes the whole save (the store's rule); the editor stays open.
        QTest::newRow("rich body not written") << Outcome{.field = "category", .value = "新しい分類", .blocked = "memo2/m2000004.txt",
            .message = {not_written_text({QDir::toNativeSeparators("memo2/m2000004.txt")})}};
    }

    void outcomes() {
        QFETCH(Outcome, o);
        EditorFixture f;
        many(f, o.memos, o.categories);
        f.row = o.row;
        // A body is blocked where its new file is made: a body file already there would give the memo another number.
        if (!o.blocked.isEmpty()) block_file(f.path(o.blocked + (o.blocked.startsWith("memo") ? ".new" : "")));
        const auto before = snapshot(f);
        f.open(o.mode);
        f.dlg->Combo1->setEditText("家");
        f.dlg->Text2->setText("題");
        QLineEdit* box = o.field == u"date" ? f.dlg->Text1 : o.field == u"title" ? f.dlg->Text2 : f.dlg->Combo1->lineEdit();
        if (!o.field.isEmpty()) box->setText(o.value);
        f.dlg->RTB_kinyu->selectAll();
        type_text(f.dlg->RTB_kinyu, "本文");
        if (o.lost_picture) f.dlg->RTB_kinyu->textCursor().insertImage(u"tzpic:gone"_qs);
        bool enabled_during_message = true;
        f.fake.on_message = [&] { enabled_during_message = f.dlg->Command1->isEnabled(); };
        click(f.dlg->Command1);

        if (o.message.isEmpty()) {
            QCOMPARE(f.dlg->result(), int(QDialog::Accepted));
            QCOMPARE(f.store_.table.slot(1).category.display(), o.field == u"category" ? o.value : u"家"_qs);
            // A typed category not listed after "全部" (case counts) is added.
            const bool added = o.field == u"category" && !std::get<1>(before).mid(1).contains(o.value);
            QCOMPARE(f.calls.first(), added ? "append_category:" + o.value : u"select_all_categories"_qs);
            return;
        }
        QCOMPARE(f.fake.texts(), o.message.mid(0, 1));
        QCOMPARE(f.fake.messages[0].title, o.message.value(1, kProgram));
        if (!o.blocked.isEmpty()) QVERIFY(!enabled_during_message);  // "登録" is off while the save runs
        // Nothing changed; the editor stays open, ready to save again, with
        // what was typed; the box whose characters must go has the focus.
        if (!o.field.isEmpty()) QCOMPARE(box->text(), o.value);
        if (o.message[0].contains(u"保存できない文字"))
            QCOMPARE(f.dlg->focusWidget(), o.field == u"category" ? f.dlg->Combo1 : static_cast<QWidget*>(box));
        QVERIFY(f.dlg->isVisible());
        QVERIFY(f.dlg->Command1->isEnabled());
        QVERIFY(snapshot(f) == before);
    }
};

QTEST_MAIN(TestEditorSave)
#include "tst_editor_save.moc"
