// The editor over the main window: saving new memos and corrections end to end, typed categories,
// every refusal and limit, failed writes; the formatting tools, the Enter and Tab path; the layout.

#include "editor/editor_layout.h"
#include "editor/f_kinyu.h"
#include "rtf/rtf_test_util.h"
#include "store/data_folder.h"
#include "store/file_io.h"
#include "support/form_fixture.h"
#include "ui/fonts.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

using namespace tz;
using namespace tz::test;

namespace {

const QString kNow = QStringLiteral("c6/12/05 21:52:00");  // the fixed clock's stamp
const QString kOld = QStringLiteral("a1/01/01 00:00:00");
const QString kProgram = QStringLiteral("【ツヅリオ】Ver.3.0");

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

struct Fixture : FormFixture {
    std::unique_ptr<F_kinyu> dlg;  // closed before the main window

    // These memos, with body files holding their titles; categories 全部, 仕事, 家, Work; the counter at 100.
    explicit Fixture(const std::vector<MemoRecord>& memos = {}) {
        write_folder(dir.path(), memos, {"全部", "仕事", "家", "Work"}, 100);
        start();
    }
    // Memos 1..n of 家 (index only), counter n; categories 全部, 仕事, 家, Work and more up to `categories`.
    Fixture(int n, int categories) {
        QStringList names{"全部", "仕事", "家", "Work"};
        while (names.size() < categories) names.append(QString("分類%1").arg(names.size()));
        write_folder(dir.path(), {}, names, n);
        MemoTable table;
        for (int i = 1; i <= n; ++i) table.append(memo("家", QString("メモ%1").arg(i), i, "c6/01/01 00:00:00"));
        write_bytes(path("tzurio.dat"), index_bytes(table));
        start();
    }
    // Opens the editor in the given mode as the active window, where keys go to the focused control.
    F_kinyu& open(EditorMode mode = EditorMode::NewMemo) {
        form->hand_over().editor_mode = mode;
        dlg = std::make_unique<F_kinyu>(*form);
        dlg->show();
        if (!activate(dlg.get())) qWarning("editor not shown");
        return *dlg;
    }
    // What a refused or failed save must leave as it was: table, categories, counter, files.
    auto snapshot() {
        MemoStore& s = form->store();
        return std::tuple(index_bytes(s.table), s.categories.entries(), s.settings[Settings::Counter].display(),
                          folder_contents(dir.path()));
    }
};

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

// Selects in one step, as a double click or Shift+click does, and gives its format.
RichTextBox::SelFormat select(RichTextBox* b, int start, int length) {
    QTextCursor c(b->document());
    c.setPosition(start);
    c.setPosition(start + length, QTextCursor::KeepAnchor);
    b->setTextCursor(c);
    return b->sel_format();
}

// "ABCDEFGHIJK": AB in ＭＳ 明朝, CD bold italic, E italic, FG struck,
// H underlined at 12 points, IJ at 11.5 points; all else plain.
void build_body(RichTextBox* b) {
    b->set_text(QStringLiteral("ABCDEFGHIJK"));
    const auto on = [b](int start, int length, const auto& apply) { select(b, start, length); apply(); };
    on(0, 2, [b] { b->set_sel_font_name(QStringLiteral("ＭＳ 明朝")); });
    on(2, 2, [b] { b->set_sel_bold(true); b->set_sel_italic(true); });
    on(4, 1, [b] { b->set_sel_italic(true); });
    on(5, 2, [b] { b->set_sel_strike(true); });
    on(7, 1, [b] { b->set_sel_underline(true); b->set_sel_size(12); });
    on(8, 2, [b] { b->set_sel_size(11.5); });
}

}  // namespace

Q_DECLARE_METATYPE(Outcome)

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    // Typed over the boxes as a user does; RTF that another program put on the clipboard, under any of its
    // names, is pasted rather than the HTML offered with it, and saved with its picture and formats. The
    // main window then lists every memo, the saved one first, under "全部", its viewer empty.
    void saves_data() {
        QTest::addColumn<bool>("correction");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("format");  // of the pasted RTF
        QTest::addColumn<QStringList>("top");  // the saved memo's index lines, first in the index
        QTest::addColumn<QStringList>("titles");  // the main window's list after the save
        const QStringList made{"2026/12/24", "家", "買い物", " 101 ", kNow, kNow, "YES"};
        const QStringList four{"買い物", "会議", "同じ題", "同じ題"};
        QTest::newRow("new, text/rtf") << false << 1 << "text/rtf" << made << four;
        QTest::newRow("new, text/richtext") << false << 1 << "text/richtext" << made << four;
        // Row 3 is memo 9, not 7 of the same title; number and created stamp are kept.
        QTest::newRow("correction, application/rtf") << true << 3 << "application/rtf"
            << QStringList{"2026/12/24", "家", "買い物", " 9 ", kOld, kNow, "NO"} << QStringList{"買い物", "会議", "同じ題"};
    }

    void saves() {
        QFETCH(bool, correction);
        QFETCH(int, row);
        QFETCH(QString, format);
        QFETCH(QStringList, top);
        QFETCH(QStringList, titles);
        // Memos 5, 7 and 9, newest first; 7 and 9 share a title, 9 is locked and
        // its category is no longer listed.
        std::vector<MemoRecord> memos{memo("仕事", "会議", 5, "c6/12/03 10:00:00"), memo("家", "同じ題", 7, "c6/12/02 10:00:00"),
                                      memo("消えた分類", "同じ題", 9, "c6/12/01 10:00:00", true)};
        for (MemoRecord& m : memos) m.created_stamp = Value(kOld);
        Fixture f(memos);
        if (!correction) {
            pick_from_list(f.form->Combo1, 1);  // 仕事: memo 5 alone, shown in the viewer
            click_row(f.form->Grid1, 1);
        }
        f.form->Grid1->set_current_row(row);
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
        QCOMPARE(f.form->store().settings[Settings::Counter].display().trimmed(), correction ? "100" : "101");
        const QString number = top[3].trimmed().rightJustified(6, '0');
        QCOMPARE(read_bytes(f.path("memo1/m1" + number + ".txt")), crlf_lines({"一行目", "二行目boldred"}));
        QCOMPARE(read_bytes(f.path("memo2/m2" + number + ".txt")), rich);
        QVERIFY(QByteArray(rich).replace('\n', "").contains(png));
        RichTextBox again;
        again.load_rtf(rich);
        QCOMPARE(again.document()->toPlainText(), u"一行目\n二行目boldred\uFFFC"_qs);
        QVERIFY(test::fragment_with(*again.document(), u"bold"_qs).charFormat().fontWeight() >= QFont::DemiBold);
        QCOMPARE(test::fragment_with(*again.document(), u"red"_qs).charFormat().foreground().color(), QColor(Qt::red));
        QCOMPARE(grid_titles(f.form->Grid1), titles);
        QCOMPARE(f.form->Combo1->currentIndex(), 0);
        QCOMPARE(f.form->RTB1->text(), QString());
        QCOMPARE(f.form->windowTitle(), QString("%1 (%2件)").arg(kProgram).arg(titles.size()));
    }

    // What the editor does with a refusal and a failed write; which input is refused is the store's rule.
    void outcomes_data() {
        QTest::addColumn<Outcome>("o");
        const auto lost = [&](const QString& box, const QString& chars) {
            return QStringList{box + "に、ファイルに保存できない文字が含まれています：" + chars + "\rこれらの文字を取り除いてから登録してください。"};
        };
        QTest::newRow("29999 memos, correction")
            << Outcome{.memos = 29999, .mode = kCorrection, .message = {"これ以上メモを登録できません。", "メモの数が限界(30000)を越えます"}};
        QTest::newRow("999 categories, listed") << Outcome{.categories = 999, .field = "category", .value = "分類500"};
        QTest::newRow("category, case variant is new") << Outcome{.field = "category", .value = "work"};
        QTest::newRow("title with é and emoji") << Outcome{.field = "title", .value = "café😀é", .message = lost("タイトル", "é 😀")};
        QTest::newRow("category with emoji") << Outcome{.field = "category", .value = "絵😀文字", .message = lost("分類", "😀")};
        QTest::newRow("picture without its data") << Outcome{.lost_picture = true,
            .message = {"本文の画像のデータが見つからないため、登録できません。\r画像を削除するか、もう一度貼り付けてから登録してください。"}};
        QTest::newRow("correction on the header row") << Outcome{.mode = kCorrection, .row = 0, .message = {"訂正するメモが見つかりません。"}};
        // A file that cannot be written undoes the whole save (the store's rule); the editor stays open.
        QTest::newRow("rich body not written") << Outcome{.field = "category", .value = "新しい分類", .blocked = "memo2/m2000004.txt",
            .message = {not_written_text({QDir::toNativeSeparators("memo2/m2000004.txt")})}};
    }

    void outcomes() {
        QFETCH(Outcome, o);
        Fixture f(o.memos, o.categories);
        f.form->Grid1->set_current_row(o.row);
        // A body is blocked where its new file is made: a body file already there would give the memo another number.
        if (!o.blocked.isEmpty()) block_file(f.path(o.blocked + (o.blocked.startsWith("memo") ? ".new" : "")));
        const auto before = f.snapshot();
        f.open(o.mode);
        f.dlg->Combo1->setEditText("家");
        f.dlg->Text2->setText("題");
        QLineEdit* box = o.field == u"date" ? f.dlg->Text1 : o.field == u"title" ? f.dlg->Text2 : f.dlg->Combo1->lineEdit();
        if (!o.field.isEmpty()) box->setText(o.value);
        f.dlg->RTB_kinyu->selectAll();
        type_text(f.dlg->RTB_kinyu, "本文");
        if (o.lost_picture) f.dlg->RTB_kinyu->textCursor().insertImage(u"tzpic:gone"_qs);
        bool enabled_during_message = true;
        f.platform.on_message = [&] { enabled_during_message = f.dlg->Command1->isEnabled(); };
        click(f.dlg->Command1);

        if (o.message.isEmpty()) {
            QCOMPARE(f.dlg->result(), int(QDialog::Accepted));
            QCOMPARE(f.form->store().table.slot(1).category.display(), o.field == u"category" ? o.value : u"家"_qs);
            // A typed category not listed after "全部" (case counts) is added, to the main window's box too.
            const bool added = o.field == u"category" && !std::get<1>(before).mid(1).contains(o.value);
            QCOMPARE(combo_items(f.form->Combo1), std::get<1>(before) + (added ? QStringList{o.value} : QStringList()));
            return;
        }
        QCOMPARE(f.platform.texts(), o.message.mid(0, 1));
        QCOMPARE(f.platform.messages[0].title, o.message.value(1, kProgram));
        if (!o.blocked.isEmpty()) QVERIFY(!enabled_during_message);  // "登録" is off while the save runs
        // Nothing changed; the editor stays open, ready to save again, with
        // what was typed; the box whose characters must go has the focus.
        if (!o.field.isEmpty()) QCOMPARE(box->text(), o.value);
        if (o.message[0].contains(u"保存できない文字"))
            QCOMPARE(f.dlg->focusWidget(), o.field == u"category" ? f.dlg->Combo1 : static_cast<QWidget*>(box));
        QVERIFY(f.dlg->isVisible());
        QVERIFY(f.dlg->Command1->isEnabled());
        QVERIFY(f.snapshot() == before);
    }

    // The five controls show the selection's format: a font not in the list by its name, a mixed one
    // as empty, sizes in points; selecting never changes the memo. 色: a cancel first colours black; a
    // confirmed colour is applied, and a later cancel applies it again. 今日: today's date, then on
    // to the title.
    void five_controls_colour_and_today() {
        const struct { int start, length; QStringList boxes; bool strike, underline; } cases[] = {
            {0, 2, {"ＭＳ 明朝", "11.25", "Regular"}, false, false},        // one font not in the list
            {1, 2, {"", "11.25", ""}, false, false},                         // two fonts
            {2, 2, {"ＭＳ ゴシック", "11.25", "Bold Italic"}, false, false},
            {2, 3, {"ＭＳ ゴシック", "11.25", ""}, false, false},            // partly bold, wholly italic
            {4, 1, {"ＭＳ ゴシック", "11.25", "Italic"}, false, false},
            {5, 2, {"ＭＳ ゴシック", "11.25", "Regular"}, true, false},       // a struck run
            {4, 2, {"ＭＳ ゴシック", "11.25", ""}, false, false},            // partly struck
            {7, 1, {"ＭＳ ゴシック", "12", "Regular"}, false, true},          // underlined
            {7, 2, {"ＭＳ ゴシック", "", "Regular"}, false, false},          // partly underlined, two sizes
            {8, 2, {"ＭＳ ゴシック", "11.5", "Regular"}, false, false}};     // half points
        Fixture f;
        f.time.now = QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5));
        const F_kinyu& d = f.open();
        RichTextBox* b = d.RTB_kinyu;
        build_body(b);
        const QByteArray before = b->rtf();
        for (const auto& c : cases) {
            // From a struck run and from an underlined one, so that an unchecked box
            // that stripped its format from the text would show.
            for (const int from : {5, 7}) {
                select(b, from, 1);
                select(b, c.start, c.length);
            }
            QCOMPARE(QStringList({d.Combo3->currentText(), d.Combo4->currentText(), d.Combo5->currentText()}), c.boxes);
            QCOMPARE(std::pair(d.Check1->isChecked(), d.Check2->isChecked()), std::pair(c.strike, c.underline));
        }
        QCOMPARE(b->rtf(), before);
        // 取消線 and 下線, clicked, set and clear their format on the whole selection only.
        for (QCheckBox* box : {d.Check1, d.Check2}) {
            const auto state = [&](int s, int l) { return box == d.Check1 ? select(b, s, l).strike : select(b, s, l).underline; };
            select(b, 4, 5);  // mixed: unchecked
            click(box);
            QCOMPARE(state(4, 5), std::optional<bool>(true));
            QCOMPARE(state(0, 4), std::optional<bool>(false));  // nothing outside the selection
            select(b, 4, 5);  // now checked: a click clears
            click(box);
            QCOMPARE(state(4, 5), std::optional<bool>(false));
        }
        select(b, 0, 6);
        b->set_sel_colour(Qt::red);
        const auto colour_with = [&](int start, std::optional<QColor> answer) {
            if (answer) f.platform.colours.push_back(answer);
            select(b, start, 2);
            click(f.dlg->Command5);
            return select(b, start, 2).colour;
        };
        QCOMPARE(colour_with(0, std::nullopt), std::optional<QColor>(Qt::black));
        QCOMPARE(colour_with(2, QColor(Qt::blue)), std::optional<QColor>(Qt::blue));
        QCOMPARE(colour_with(4, std::nullopt), std::optional<QColor>(Qt::blue));
        QCOMPARE(f.platform.colour_starts, (std::vector<QColor>{Qt::black, Qt::black, Qt::blue}));
        f.dlg->Text1->setText(QStringLiteral("いつか"));
        click(f.dlg->Command3);
        QCOMPARE(f.dlg->Text1->text(), QStringLiteral("2027/01/02"));
        QCOMPARE(QApplication::focusWidget(), f.dlg->Text2);
    }

    // Text typed into a box, then a key: where the focus lands and what the landing box holds after
    // "x" is typed there. The keys type nothing, add no category and save nothing; the date box is
    // entered with its whole text selected, so "x" replaces it.
    void keys_land_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("lands_in");
        QTest::addColumn<QString>("text");
        const QKeySequence enter(Qt::Key_Return), tab(Qt::Key_Tab);
        QTest::newRow("Enter: category to date") << "Combo1" << "趣味" << enter << "Text1" << "x";
        QTest::newRow("Tab: category to date") << "Combo1" << "趣味" << tab << "Text1" << "x";
        QTest::newRow("a pick: category to date") << "Combo1" << "" << QKeySequence(Qt::Key_Down) << "Text1" << "x";
        QTest::newRow("keypad Enter: date to title") << "Text1" << "" << QKeySequence(Qt::KeypadModifier | Qt::Key_Enter)
                                                     << "Text2" << "x";
        QTest::newRow("Enter: title to body") << "Text2" << "題" << enter << "RTB_kinyu" << "x";
        QTest::newRow("Tab leaves the body") << "RTB_kinyu" << "y" << tab << "Check2" << "y";
        QTest::newRow("Ctrl+Tab types a tab") << "RTB_kinyu" << "y" << QKeySequence(Qt::ControlModifier | Qt::Key_Tab)
                                              << "RTB_kinyu" << "y\tx";
    }

    void keys_land() {
        QFETCH(QString, from);
        QFETCH(QString, typed);
        QFETCH(QKeySequence, key);
        Fixture f;
        f.open();
        f.dlg->findChild<QWidget*>(from)->setFocus();
        type_text(QApplication::focusWidget(), typed);
        QTest::keyClick(QApplication::focusWidget(), key[0].key(), key[0].keyboardModifiers());
        QWidget* landed = QApplication::focusWidget();
        QTEST(landed->objectName(), "lands_in");
        QTest::keyClicks(landed, "x");
        const auto* line = qobject_cast<QLineEdit*>(landed);
        QTEST(line ? line->text() : f.dlg->RTB_kinyu->text(), "text");
        if (from == "Combo1") QCOMPARE(f.dlg->Combo1->currentText(), typed.isEmpty() ? QStringLiteral("仕事") : typed);
        QCOMPARE(f.dlg->Combo1->count(), 3);  // 仕事, 家, Work
        QCOMPARE(f.form->store().table.count(), 0);
    }

    // Font names as the list shows and applies them: each family once, plainly named.
    void font_names() {
        const std::pair<const char*, const char*> names[] = {
            {"C059 [urw]", "C059"}, {"IPAゴシック", "IPAGothic"}, {"ＭＳ ゴシック", "ＭＳ ゴシック"}};
        for (const auto& [name, plain] : names) QCOMPARE(fonts::plain_family(name), QString(plain));
        QStringList listed = fonts::family_names();
        QVERIFY(listed.contains("IPAGothic") && listed.filter(" [").isEmpty() && listed.removeDuplicates() == 0);
    }

    // The layout rule against its table of places and sizes.
    void layout_data() {
        QTest::addColumn<QSize>("previous");  // the size laid out before; empty: as drawn
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("wanted");    // the size the editor must take
        // RTB_kinyu, Command1, Text1, Frame2, then the rest as far as given.
        QTest::addColumn<QList<QRect>>("rects");
        const QSize drawn, large(11000, 8000);
        const QList<QRect> kept{{0, 840, 10865, 5780}, {7740, 6665, 3065, 435}, {6530, 0, 1275, 375}, {0, 6665, 6555, 915}};
        QTest::newRow("larger") << drawn << QSize(10450, 7775) << QSize(10450, 7775)
            << QList<QRect>{{0, 840, 10315, 5555}, {7740, 6440, 2515, 435}, {5980, 0, 1275, 375}, {0, 6440, 6555, 915},
                            {60, 60, 450, 225}, {600, 0, 4255, 345}, {5020, 60, 915, 225}, {7240, 0, 675, 375},
                            {8260, 120, 1575, 195}, {60, 480, 480, 225}, {600, 420, 9715, 390}, {6600, 6440, 1095, 435}};
        // Below the minimum the part still large enough follows; the rest stays.
        QTest::newRow("narrower") << large << QSize(9000, 7000) << QSize(9450, 7000)
            << QList<QRect>{{0, 840, 10865, 4780}, {7740, 5665, 3065, 435}, {6530, 0, 1275, 375}, {0, 5665, 6555, 915}};
        QTest::newRow("one twip lower") << large << QSize(9450, 6474) << QSize(9450, 6475)
            << QList<QRect>{{0, 840, 9315, 5780}, {7740, 6665, 1515, 435}, {4980, 0, 1275, 375}, {0, 6665, 6555, 915}};
        // Minimised (540 high): kept as it is, no snapping.
        QTest::newRow("minimised") << large << QSize(11000, 540) << QSize(11000, 540) << kept;
        QTest::newRow("541 high snaps back") << large << QSize(11000, 541) << QSize(11000, 6475) << kept;
    }

    void layout() {
        QFETCH(QSize, previous);
        QFETCH(QSize, size);
        QFETCH(QList<QRect>, rects);
        EditorLayout before = editor_design_layout();
        if (previous.isValid()) before = editor_layout(previous.width(), previous.height(), before);
        const EditorLayout l = editor_layout(size.width(), size.height(), before);
        QTEST(QSize(l.width, l.height), "wanted");
        const QList<QRect> all{l.RTB_kinyu, l.Command1, l.Text1, l.Frame2, l.Label1, l.Combo1,
                               l.Label2, l.Command3, l.Check3, l.Label6, l.Text2, l.Command2};
        QCOMPARE(all.mid(0, rects.size()), rects);
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
