// The editor's formatting tools and conveniences through its controls: the
// five controls following the selection (and never changing the text), the
// picks and boxes, the colour chooser, "今日", the Enter and Tab path, the
// mouse-over hints, and pasted content surviving a save.

#include "editor_fixture.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>
#include <QTextFragment>

using namespace tz;
using namespace tz::test;

namespace {

// "ABCDEFGHIJK": AB in ＭＳ 明朝, CD bold italic, E italic, FG struck,
// H underlined at 12 points, IJ at 11.5 points, K bold; all else plain.
void build_body(RichTextBox* b) {
    b->set_text(QStringLiteral("ABCDEFGHIJK"));
    const auto on = [b](int start, int length, const auto& apply) {
        b->set_sel_start(start);
        b->set_sel_length(length);
        apply();
    };
    on(0, 2, [b] { b->set_sel_font_name(QStringLiteral("ＭＳ 明朝")); });
    on(2, 2, [b] { b->set_sel_bold(true); b->set_sel_italic(true); });
    on(4, 1, [b] { b->set_sel_italic(true); });
    on(5, 2, [b] { b->set_sel_strike(true); });
    on(7, 1, [b] { b->set_sel_underline(true); b->set_sel_size(12); });
    on(8, 2, [b] { b->set_sel_size(11.5); });
    on(10, 1, [b] { b->set_sel_bold(true); });
    b->set_sel_start(0);
}

// Selects in one step, as a double click or Shift+click does.
void select(RichTextBox* b, int start, int length) {
    QTextCursor c(b->document());
    c.setPosition(start);
    c.setPosition(start + length, QTextCursor::KeepAnchor);
    b->setTextCursor(c);
}

RichTextBox::SelFormat format_of(RichTextBox* b, int start, int length) {
    select(b, start, length);
    return b->sel_format();
}

// Picks entry i of a box as a user does with the arrow key: it becomes the
// box's entry and runs its pick action.
void pick(QComboBox* box, int i) {
    box->setCurrentIndex(i - 1);
    QTest::keyClick(box->lineEdit() ? static_cast<QWidget*>(box->lineEdit()) : box, Qt::Key_Down);
}

bool activate(F_kinyu& dlg) {
    QApplication::setActiveWindow(&dlg);
    return QTest::qWaitForWindowActive(&dlg);
}

int picture_count(const QTextDocument& doc) {
    int n = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) ++n;
    return n;
}

}  // namespace

class TestEditorTools : public QObject {
    Q_OBJECT
private slots:
    void sync_data();
    void sync();
    void mixed_state_strips_nothing_data();
    void mixed_state_strips_nothing();
    void clicked_box_applies_data();
    void clicked_box_applies();
    void style_picks_data();
    void style_picks();
    void font_and_size_picks();
    void colour_chooser();
    void today_button_data();
    void today_button();
    void enter_path_data();
    void enter_path();
    void category_pick_moves_on();
    void leaving_a_box_is_no_pick();
    void hints_data();
    void hints();
    void paste_survives_save_data();
    void paste_survives_save();
};

void TestEditorTools::sync_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("style");
    QTest::addColumn<bool>("strike");
    QTest::addColumn<bool>("underline");
    const QString gothic = QStringLiteral("ＭＳ ゴシック");
    QTest::newRow("one font not in the list") << 0 << 2 << "ＭＳ 明朝" << "11.25" << "Regular" << false << false;
    QTest::newRow("two fonts") << 1 << 2 << "" << "11.25" << "" << false << false;
    QTest::newRow("bold italic") << 2 << 2 << gothic << "11.25" << "Bold Italic" << false << false;
    QTest::newRow("partly bold, wholly italic") << 2 << 3 << gothic << "11.25" << "" << false << false;
    QTest::newRow("italic") << 4 << 1 << gothic << "11.25" << "Italic" << false << false;
    QTest::newRow("bold") << 10 << 1 << gothic << "11.25" << "Bold" << false << false;
    QTest::newRow("struck run") << 5 << 2 << gothic << "11.25" << "Regular" << true << false;
    QTest::newRow("partly struck") << 4 << 2 << gothic << "11.25" << "" << false << false;
    QTest::newRow("underlined, 12 points") << 7 << 1 << gothic << "12" << "Regular" << false << true;
    QTest::newRow("two sizes") << 7 << 2 << gothic << "" << "Regular" << false << false;
    QTest::newRow("half points") << 8 << 2 << gothic << "11.5" << "Regular" << false << false;
    QTest::newRow("everything") << 0 << 11 << "" << "" << "" << false << false;
}

void TestEditorTools::sync() {
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, font);
    QFETCH(QString, size);
    QFETCH(QString, style);
    QFETCH(bool, strike);
    QFETCH(bool, underline);
    EditorFixture f;
    f.open();
    build_body(f.body());
    // Fill the controls from a different run first, so every one must change.
    select(f.body(), 5, 2);
    const QByteArray before = f.body()->rtf();
    select(f.body(), start, length);
    QCOMPARE(f.combo("Combo3")->currentText(), font);
    QCOMPARE(f.combo("Combo4")->currentText(), size);
    QCOMPARE(f.combo("Combo5")->currentText(), style);
    QCOMPARE(f.check("Check1")->isChecked(), strike);
    QCOMPARE(f.check("Check2")->isChecked(), underline);
    QCOMPARE(f.body()->rtf(), before);  // selecting never changes the memo
}

void TestEditorTools::mixed_state_strips_nothing_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("run");     // a wholly formatted run, one character or two
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("mixed");   // a selection holding it and more
    QTest::addColumn<int>("mixed_length");
    QTest::newRow("取消線") << "Check1" << 5 << 2 << 4 << 4;
    QTest::newRow("下線") << "Check2" << 7 << 1 << 6 << 3;
}

void TestEditorTools::mixed_state_strips_nothing() {
    QFETCH(QString, box);
    QFETCH(int, run);
    QFETCH(int, length);
    QFETCH(int, mixed);
    QFETCH(int, mixed_length);
    EditorFixture f;
    f.open();
    build_body(f.body());
    QCheckBox* check = f.check(box.toLatin1().constData());
    select(f.body(), run, length);
    QVERIFY(check->isChecked());
    const QByteArray before = f.body()->rtf();
    select(f.body(), mixed, mixed_length);
    QVERIFY(!check->isChecked());  // the mixed state shows unchecked ...
    QCOMPARE(f.body()->rtf(), before);  // ... and the run keeps its format
    const RichTextBox::SelFormat kept = format_of(f.body(), run, length);
    QCOMPARE(box == u"Check1" ? kept.strike : kept.underline, std::optional<bool>(true));
    QVERIFY(check->isChecked());
}

void TestEditorTools::clicked_box_applies_data() {
    QTest::addColumn<QString>("box");
    QTest::newRow("取消線") << "Check1";
    QTest::newRow("下線") << "Check2";
}

void TestEditorTools::clicked_box_applies() {
    QFETCH(QString, box);
    EditorFixture f;
    f.open();
    build_body(f.body());
    QCheckBox* check = f.check(box.toLatin1().constData());
    const auto state = [&](int s, int l) {
        const RichTextBox::SelFormat fmt = format_of(f.body(), s, l);
        return box == u"Check1" ? fmt.strike : fmt.underline;
    };
    select(f.body(), 4, 5);  // mixed: unchecked
    QVERIFY(!check->isChecked());
    QTest::mouseClick(check, Qt::LeftButton);
    QCOMPARE(state(4, 5), std::optional<bool>(true));
    QCOMPARE(state(0, 4), std::optional<bool>(false));  // outside the selection nothing changed
    select(f.body(), 4, 5);
    QVERIFY(check->isChecked());
    QTest::mouseClick(check, Qt::LeftButton);
    QCOMPARE(state(4, 5), std::optional<bool>(false));
    QCOMPARE(f.body()->text(), QStringLiteral("ABCDEFGHIJK"));
}

void TestEditorTools::style_picks_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::newRow("Regular") << 0 << false << false;
    QTest::newRow("Italic") << 1 << false << true;
    QTest::newRow("Bold") << 2 << true << false;
    QTest::newRow("Bold Italic") << 3 << true << true;
}

void TestEditorTools::style_picks() {
    QFETCH(int, index);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    EditorFixture f;
    f.open();
    build_body(f.body());
    select(f.body(), 2, 8);  // CD..J: every style, strike, underline, two sizes
    pick(f.combo("Combo5"), index);
    const RichTextBox::SelFormat all = format_of(f.body(), 2, 8);
    QCOMPARE(all.bold, std::optional<bool>(bold));
    QCOMPARE(all.italic, std::optional<bool>(italic));
    // Underline, strike-through and size stay as they were.
    QCOMPARE(format_of(f.body(), 5, 2).strike, std::optional<bool>(true));
    QCOMPARE(format_of(f.body(), 4, 1).strike, std::optional<bool>(false));
    QCOMPARE(format_of(f.body(), 7, 1).underline, std::optional<bool>(true));
    QCOMPARE(format_of(f.body(), 7, 1).size, std::optional<double>(12));
    QCOMPARE(format_of(f.body(), 0, 2).bold, std::optional<bool>(false));  // outside
}

void TestEditorTools::font_and_size_picks() {
    EditorFixture f;
    f.open();
    build_body(f.body());
    QComboBox* fonts = f.combo("Combo3");
    QVERIFY(fonts->count() > 0);
    select(f.body(), 1, 3);
    pick(fonts, fonts->count() - 1);
    QCOMPARE(format_of(f.body(), 1, 3).font_name, std::optional<QString>(fonts->itemText(fonts->count() - 1)));
    QCOMPARE(format_of(f.body(), 0, 1).font_name, std::optional<QString>(QStringLiteral("ＭＳ 明朝")));

    select(f.body(), 6, 3);
    pick(f.combo("Combo4"), 12);  // "20"
    QCOMPARE(format_of(f.body(), 6, 3).size, std::optional<double>(20));
    QCOMPARE(format_of(f.body(), 9, 1).size, std::optional<double>(11.5));
    // The controls show what was applied.
    select(f.body(), 6, 3);
    QCOMPARE(f.combo("Combo4")->currentText(), QStringLiteral("20"));
}

void TestEditorTools::colour_chooser() {
    EditorFixture f;
    f.open();
    RichTextBox* b = f.body();
    b->set_text(QStringLiteral("ABCDEF"));
    select(b, 0, 6);
    b->set_sel_colour(Qt::red);

    // A cancel right after opening colours the selection black.
    select(b, 0, 2);
    f.click("Command5");
    QCOMPARE(format_of(b, 0, 2).colour, std::optional<QColor>(QColor(Qt::black)));
    // A confirmed colour is applied and kept ...
    f.ops.fake.colours.push_back(QColor(Qt::blue));
    select(b, 2, 2);
    f.click("Command5");
    QCOMPARE(format_of(b, 2, 2).colour, std::optional<QColor>(QColor(Qt::blue)));
    // ... so a later cancel applies it again.
    select(b, 4, 2);
    f.click("Command5");
    QCOMPARE(format_of(b, 4, 2).colour, std::optional<QColor>(QColor(Qt::blue)));
    const std::vector<QColor> starts{QColor(Qt::black), QColor(Qt::black), QColor(Qt::blue)};
    QCOMPARE(f.ops.fake.colour_starts, starts);
    QCOMPARE(b->text(), QStringLiteral("ABCDEF"));
}

void TestEditorTools::today_button_data() {
    QTest::addColumn<QString>("mode");
    QTest::newRow("new memo") << "sinki";
    QTest::newRow("correction") << "teisei";
}

void TestEditorTools::today_button() {
    QFETCH(QString, mode);
    EditorFixture f;
    f.ops.fill({memo(QStringLiteral("家"), QStringLiteral("題"), 3)}, {QStringLiteral("全部"), QStringLiteral("家")}, 3);
    f.ops.time.now = QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5));
    f.open(mode);
    QVERIFY(activate(*f.dlg));
    f.line("Text1")->setText(QStringLiteral("いつか"));
    f.click("Command3");
    QCOMPARE(f.line("Text1")->text(), QStringLiteral("2027/01/02"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.line("Text2")));
}

void TestEditorTools::enter_path_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    QTest::newRow("Tab") << int(Qt::Key_Tab) << int(Qt::NoModifier);
}

void TestEditorTools::enter_path() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    EditorFixture f;
    f.ops.fill({}, {QStringLiteral("全部"), QStringLiteral("仕事"), QStringLiteral("家")}, 0);
    f.open();
    QVERIFY(activate(*f.dlg));
    const auto press = [&](QWidget* w) { QTest::keyClick(w, Qt::Key(key), Qt::KeyboardModifiers(modifiers)); };
    const auto focused = [] { return QApplication::focusWidget(); };

    // Keys and typing go where the keyboard focus is, as they do for a user.
    QCOMPARE(focused(), static_cast<QWidget*>(f.combo("Combo1")));  // the editor opens in the category box
    type_text(focused(), QStringLiteral("趣味"));
    press(focused());
    QCOMPARE(focused(), static_cast<QWidget*>(f.line("Text1")));
    press(focused());
    QCOMPARE(focused(), static_cast<QWidget*>(f.line("Text2")));
    type_text(focused(), QStringLiteral("題"));
    press(focused());
    QCOMPARE(focused(), static_cast<QWidget*>(f.body()));

    // Nothing was typed, added to a list or saved by the keys.
    QCOMPARE(f.combo("Combo1")->currentText(), QStringLiteral("趣味"));
    QCOMPARE(f.combo("Combo1")->count(), 2);
    QCOMPARE(f.line("Text1")->text(), QStringLiteral("2026/12/05"));
    QCOMPARE(f.line("Text2")->text(), QStringLiteral("題"));
    QCOMPARE(f.body()->text(), QString());
    QVERIFY(f.dlg->isVisible());
    QVERIFY(f.ops.fake.messages.empty());
    QCOMPARE(f.ops.store().table.count(), 0);
}

void TestEditorTools::category_pick_moves_on() {
    EditorFixture f;
    f.ops.fill({}, {QStringLiteral("全部"), QStringLiteral("仕事"), QStringLiteral("家")}, 0);
    f.open();
    QVERIFY(activate(*f.dlg));
    // An arrow key in the category box picks the next entry and moves on at once.
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.combo("Combo1")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(f.combo("Combo1")->currentText(), QStringLiteral("仕事"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.line("Text1")));
}

void TestEditorTools::leaving_a_box_is_no_pick() {
    EditorFixture f;
    f.ops.fill({}, {QStringLiteral("全部"), QStringLiteral("仕事"), QStringLiteral("家")}, 0);
    f.open();
    QVERIFY(activate(*f.dlg));
    // The name of an entry typed into the category box, then the title clicked:
    // the focus stays in the title.
    type_text(QApplication::focusWidget(), QStringLiteral("家"));
    QTest::mouseClick(f.line("Text2"), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.line("Text2")));
    QCOMPARE(f.combo("Combo1")->currentText(), QStringLiteral("家"));

    // A style typed into the style box and left: the body keeps its format.
    build_body(f.body());
    select(f.body(), 0, 2);
    const QByteArray before = f.body()->rtf();
    f.combo("Combo5")->setFocus();
    f.combo("Combo5")->lineEdit()->selectAll();
    type_text(f.combo("Combo5"), QStringLiteral("Bold"));
    f.line("Text2")->setFocus();
    QCOMPARE(f.body()->rtf(), before);
}

void TestEditorTools::hints_data() {
    QTest::addColumn<QString>("control");  // "" for the bare background
    QTest::addColumn<QPoint>("at");        // in the control, pixels
    QTest::addColumn<QString>("hint");     // empty: no hint is set
    QTest::newRow("background") << "" << QPoint(600, 8) << "メモの登録・訂正の画面です。";
    QTest::newRow("登録") << "Command1" << QPoint(5, 5) << "現在の内容でメモを登録します。";
    QTest::newRow("中止") << "Command2" << QPoint(5, 5) << "メモの登録・訂正を中止してメイン画面に戻ります。";
    QTest::newRow("鍵をかける") << "Check3" << QPoint(5, 5) << "鍵を開けるパスワードは、[ﾌｧｲﾙ]－[鍵の設定]で設定します。";
    QTest::newRow("frame") << "Frame2" << QPoint(3, 3) << "選択した文字の書式や色が設定できます。";
    QTest::newRow("body") << "RTB_kinyu" << QPoint(40, 40) << "ここでは、マウスの右ボタンが使えます。";
    QTest::newRow("date") << "Text1" << QPoint(5, 5) << "デフォルトでは、メモの登録日となります。";
    QTest::newRow("title") << "Text2" << QPoint(5, 5) << "登録するメモのタイトルを入力して下さい。";
    QTest::newRow("label sets none") << "Label1" << QPoint(3, 3) << "";
    QTest::newRow("font box sets none") << "Combo3" << QPoint(5, 5) << "";
    QTest::newRow("colour button sets none") << "Command5" << QPoint(5, 5) << "";
}

void TestEditorTools::hints() {
    QFETCH(QString, control);
    QFETCH(QPoint, at);
    QFETCH(QString, hint);
    EditorFixture f;
    f.open();
    QWidget* w = control.isEmpty() ? static_cast<QWidget*>(f.dlg.get())
                                   : f.find<QWidget>(control.toLatin1().constData());
    if (auto* box = qobject_cast<RichTextBox*>(w)) w = box->viewport();
    if (control.isEmpty()) QVERIFY(!f.dlg->childAt(at));
    f.ops.hint = QStringLiteral("before");
    QTest::mouseMove(w, at);
    QTest::mouseMove(w, at + QPoint(1, 1));
    QCOMPARE(f.ops.hint, hint.isEmpty() ? QStringLiteral("before") : hint);
}

void TestEditorTools::paste_survives_save_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pictures");
    QTest::addColumn<bool>("bold");
    QTest::newRow("picture alone") << "image" << "" << 1 << false;
    QTest::newRow("web page with a picture") << "html" << "前太字後" << 1 << true;
    QTest::newRow("plain text") << "text" << "一行目\r\n二行目" << 0 << false;
}

void TestEditorTools::paste_survives_save() {
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(int, pictures);
    QFETCH(bool, bold);
    EditorFixture f;
    f.ops.fill({}, {QStringLiteral("全部")}, 0);
    f.open();

    QImage image(24, 12, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 30));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");

    auto* mime = new QMimeData;
    if (kind == u"image") {
        mime->setImageData(image);
    } else if (kind == u"html") {
        mime->setHtml(QStringLiteral("<p>前<b>太字</b>後<img src=\"data:image/png;base64,%1\"></p>")
                          .arg(QString::fromLatin1(png.toBase64())));
        mime->setText(QStringLiteral("前太字後"));
    } else {
        mime->setText(QStringLiteral("一行目\n二行目"));
    }
    QGuiApplication::clipboard()->setMimeData(mime);
    f.body()->paste();
    QCOMPARE(picture_count(*f.body()->document()), pictures);

    f.line("Text2")->setText(QStringLiteral("貼り付け"));
    f.click("Command1");
    QCOMPARE(f.dlg->result(), int(QDialog::Accepted));

    RichTextBox again;
    QVERIFY(again.load_file(f.ops.store().rich_body_path(Value::number(1))));
    QCOMPARE(again.text(), text);
    QCOMPARE(picture_count(*again.document()), pictures);
    if (bold) QCOMPARE(format_of(&again, 1, 2).bold, std::optional<bool>(true));
}

QTEST_MAIN(TestEditorTools)
#include "tst_editor_tools.moc"
