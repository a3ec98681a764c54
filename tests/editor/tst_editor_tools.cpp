// The editor's formatting tools through its controls: the five following the
// selection, the boxes, the colour chooser, "今日", and the Enter and Tab path.

#include "editor_fixture.h"

using namespace tz;
using namespace tz::test;

namespace {

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

class TestEditorTools : public QObject {
    Q_OBJECT
private slots:
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
        EditorFixture f;
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
            if (answer) f.fake.colours.push_back(answer);
            select(b, start, 2);
            click(f.dlg->Command5);
            return select(b, start, 2).colour;
        };
        QCOMPARE(colour_with(0, std::nullopt), std::optional<QColor>(Qt::black));
        QCOMPARE(colour_with(2, QColor(Qt::blue)), std::optional<QColor>(Qt::blue));
        QCOMPARE(colour_with(4, std::nullopt), std::optional<QColor>(Qt::blue));
        QCOMPARE(f.fake.colour_starts, (std::vector<QColor>{Qt::black, Qt::black, Qt::blue}));
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
        EditorFixture f;
        f.fill({}, {"全部", "仕事"}, 0);
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
        QCOMPARE(f.dlg->Combo1->count(), 1);  // 仕事
        QCOMPARE(f.store_.table.count(), 0);
    }

    // Font names as the list shows and applies them: each family once, plainly named.
    void font_names() {
        const std::pair<const char*, const char*> names[] = {
            {"C059 [urw]", "C059"}, {"IPAゴシック", "IPAGothic"}, {"ＭＳ ゴシック", "ＭＳ ゴシック"}};
        for (const auto& [name, plain] : names) QCOMPARE(fonts::plain_family(name), QString(plain));
        QStringList listed = fonts::family_names();
        QVERIFY(listed.contains("IPAGothic") && listed.filter(" [").isEmpty() && listed.removeDuplicates() == 0);
    }
};

QTEST_MAIN(TestEditorTools)
#include "tst_editor_tools.moc"
