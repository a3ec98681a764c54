// The rich-text box: loading and saving, text with CR LF, selection in the
// box's own positions, selection format with mixed states, find, printing and
// the events the memo windows listen to.

#include "ui/rich_text_box.h"

#include "rtf/document.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

using namespace tz;

namespace {

QString data_file(const QString& name) { return QStringLiteral(TZ_TEST_DATA "/rtf/") + name; }

// "aaa" then "bbb", where bbb differs from aaa in one attribute.
void two_runs(RichTextBox& box, const std::function<void(RichTextBox&)>& change) {
    box.set_text(u"aaabbb"_qs);
    box.set_sel_start(3);
    box.set_sel_length(3);
    change(box);
}

}  // namespace

class TestRichTextBox : public QObject {
    Q_OBJECT
private slots:
    void load_file_data();
    void load_file();
    void saved_look_comes_back();
    void set_text_uses_default_font();
    void typing_into_empty_box_uses_default_font();
    void selection_positions_data();
    void selection_positions();
    void mixed_formats_data();
    void mixed_formats();
    void format_applies_to_next_typed_text();
    void find_data();
    void find();
    void print_selection();
    void events();
    void pasted_pictures();
};

void TestRichTextBox::load_file_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("text");
    QTest::newRow("RTF") << "richedit_japanese.rtf" << true << u"こんにちはABC\r\n表ソ―\r\n表ソボマア\r\n赤い x"_qs;
    QTest::newRow("plain Shift-JIS lines unchanged") << "plain_sjis.txt" << true << u"日本語の行\r\n\r\n  表 {x}\\y"_qs;
    QTest::newRow("only CR LF") << "crlf_only.txt" << true << QString();
    QTest::newRow("picture has no text") << "picture_png.rtf" << true << u"beforeafter"_qs;
    QTest::newRow("missing file") << "no_such_file.rtf" << false << QString();
}

void TestRichTextBox::load_file() {
    QFETCH(QString, file);
    QFETCH(bool, ok);
    QFETCH(QString, text);
    RichTextBox box;
    box.set_text(u"old content"_qs);
    QCOMPARE(box.load_file(data_file(file)), ok);
    QCOMPARE(box.text(), text);
}

// A memo saved with colour, strike-through and a picture shows all three again.
void TestRichTextBox::saved_look_comes_back() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"m2000001.txt"_qs);
    {
        RichTextBox box;
        QVERIFY(box.load_file(data_file(u"picture_png.rtf"_qs)));
        box.set_sel_start(0);
        box.set_sel_length(6);
        box.set_sel_colour(QColor(0, 128, 0));
        box.set_sel_strike(true);
        QVERIFY(box.save_file(path));
    }
    RichTextBox again;
    QVERIFY(again.load_file(path));
    again.set_sel_start(0);
    again.set_sel_length(6);
    QCOMPARE(again.sel_text(), u"before"_qs);
    const RichTextBox::SelFormat f = again.sel_format();
    QCOMPARE(f.colour, std::optional<QColor>(QColor(0, 128, 0)));
    QCOMPARE(f.strike, std::optional<bool>(true));
    QCOMPARE(again.document()->toPlainText(), u"before\uFFFCafter"_qs);
    again.set_sel_start(7);
    again.set_sel_length(5);
    QCOMPARE(again.sel_format().strike, std::optional<bool>(false));
}

void TestRichTextBox::set_text_uses_default_font() {
    RichTextBox box;
    box.set_default_font(QFont(u"IPAGothic"_qs, 10));
    box.load_file(data_file(u"richedit_japanese.rtf"_qs));
    box.set_text(u"一行目\r\n二行目\nthree\rfour"_qs);
    QCOMPARE(box.text(), u"一行目\r\n二行目\r\nthree\r\nfour"_qs);
    box.selectAll();
    const RichTextBox::SelFormat f = box.sel_format();
    QCOMPARE(f.font_name, std::optional<QString>(u"IPAGothic"_qs));
    QCOMPARE(f.size, std::optional<double>(10));
    QCOMPARE(f.bold, std::optional<bool>(false));
    QCOMPARE(f.colour, std::optional<QColor>(box.palette().color(QPalette::Text)));
    box.set_text(QString());
    QCOMPARE(box.text(), QString());
    QVERIFY(box.document()->isEmpty());
}

void TestRichTextBox::typing_into_empty_box_uses_default_font() {
    RichTextBox box;
    box.load_file(data_file(u"richedit_japanese.rtf"_qs));
    box.set_default_font(QFont(u"IPAMincho"_qs, 14));
    box.set_text(QString());
    QTest::keyClicks(&box, u"typed"_qs);
    QCOMPARE(box.text(), u"typed"_qs);
    box.selectAll();
    QCOMPARE(box.sel_format().font_name, std::optional<QString>(u"IPAMincho"_qs));
    QCOMPARE(box.sel_format().size, std::optional<double>(14));
}

void TestRichTextBox::selection_positions_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("got_start");
    QTest::addColumn<int>("got_length");
    QTest::addColumn<QString>("selected");
    // Content "ab", "cd", "ef": a paragraph break is one position.
    QTest::newRow("second paragraph") << 3 << 2 << 3 << 2 << u"cd"_qs;
    QTest::newRow("across a break") << 1 << 3 << 1 << 3 << u"b\r\nc"_qs;
    QTest::newRow("caret only") << 4 << 0 << 4 << 0 << QString();
    QTest::newRow("past the end") << 7 << 50 << 7 << 1 << u"f"_qs;
    QTest::newRow("start beyond the content") << 99 << 1 << 8 << 0 << QString();
    QTest::newRow("negative") << -5 << -2 << 0 << 0 << QString();
}

void TestRichTextBox::selection_positions() {
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, got_start);
    QFETCH(int, got_length);
    QFETCH(QString, selected);
    RichTextBox box;
    box.set_text(u"ab\r\ncd\r\nef"_qs);
    box.set_sel_start(start);
    box.set_sel_length(length);
    QCOMPARE(box.sel_start(), got_start);
    QCOMPARE(box.sel_length(), got_length);
    QCOMPARE(box.sel_text(), selected);
}

void TestRichTextBox::mixed_formats_data() {
    QTest::addColumn<int>("attribute");
    for (int a = 0; a < 7; ++a)
        QTest::newRow(std::array{"font name", "size", "bold", "italic", "underline", "strike", "colour"}[a]) << a;
}

void TestRichTextBox::mixed_formats() {
    QFETCH(int, attribute);
    RichTextBox box;
    box.set_default_font(QFont(u"IPAGothic"_qs, 10));
    two_runs(box, [&](RichTextBox& b) {
        switch (attribute) {
        case 0: b.set_sel_font_name(u"IPAMincho"_qs); break;
        case 1: b.set_sel_size(15.6); break;  // kept to half points
        case 2: b.set_sel_bold(true); break;
        case 3: b.set_sel_italic(true); break;
        case 4: b.set_sel_underline(true); break;
        case 5: b.set_sel_strike(true); break;
        case 6: b.set_sel_colour(Qt::red); break;
        }
    });
    auto has = [](const RichTextBox::SelFormat& f) {
        return std::array{f.font_name.has_value(), f.size.has_value(), f.bold.has_value(), f.italic.has_value(),
                          f.underline.has_value(), f.strike.has_value(), f.colour.has_value()};
    };
    box.selectAll();
    const auto all = has(box.sel_format());
    for (int a = 0; a < 7; ++a) QCOMPARE(all[size_t(a)], a != attribute);  // only the changed one is mixed
    box.set_sel_start(3);
    box.set_sel_length(3);
    const RichTextBox::SelFormat changed = box.sel_format();
    for (bool h : has(changed)) QVERIFY(h);
    switch (attribute) {
    case 0: QCOMPARE(*changed.font_name, u"IPAMincho"_qs); break;
    case 1: QCOMPARE(*changed.size, 15.5); break;
    case 2: QVERIFY(*changed.bold); break;
    case 3: QVERIFY(*changed.italic); break;
    case 4: QVERIFY(*changed.underline); break;
    case 5: QVERIFY(*changed.strike); break;
    case 6: QCOMPARE(*changed.colour, QColor(Qt::red)); break;
    }
    // The file keeps the difference.
    RichTextBox again;
    again.load_rtf(box.rtf());
    again.selectAll();
    QCOMPARE(has(again.sel_format()), all);
}

void TestRichTextBox::format_applies_to_next_typed_text() {
    RichTextBox box;
    box.set_text(u"plain"_qs);
    box.moveCursor(QTextCursor::End);
    box.set_sel_bold(true);
    box.set_sel_colour(Qt::blue);
    QTest::keyClicks(&box, u"BOLD"_qs);
    QCOMPARE(box.text(), u"plainBOLD"_qs);
    box.set_sel_start(0);
    box.set_sel_length(5);
    QCOMPARE(box.sel_format().bold, std::optional<bool>(false));
    QCOMPARE(box.sel_format().colour, std::optional<QColor>(box.palette().color(QPalette::Text)));
    box.set_sel_start(5);
    box.set_sel_length(4);
    QCOMPARE(box.sel_format().bold, std::optional<bool>(true));
    QCOMPARE(box.sel_format().colour, std::optional<QColor>(QColor(Qt::blue)));
}

void TestRichTextBox::find_data() {
    QTest::addColumn<int>("sel_start");
    QTest::addColumn<int>("sel_length");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("found");
    // "Hello World", "hello ＡＢＣ again": the second paragraph starts at 12.
    QTest::newRow("whole content, other case") << 0 << 0 << u"HELLO"_qs << 0;
    QTest::newRow("from anywhere the caret is") << 20 << 0 << u"world"_qs << 6;
    QTest::newRow("within the selection") << 5 << 15 << u"hello"_qs << 12;
    QTest::newRow("hit reaching past the selection") << 12 << 8 << u"ａｂｃ again"_qs << -1;
    QTest::newRow("full-width letters ignore case") << 0 << 0 << u"ａｂｃ"_qs << 18;
    QTest::newRow("inside a word") << 0 << 0 << u"LLO W"_qs << 2;
    QTest::newRow("not there") << 0 << 0 << u"xyz"_qs << -1;
    QTest::newRow("empty") << 0 << 0 << QString() << -1;
}

void TestRichTextBox::find() {
    QFETCH(int, sel_start);
    QFETCH(int, sel_length);
    QFETCH(QString, what);
    QFETCH(int, found);
    RichTextBox box;
    box.set_text(u"Hello World\r\nhello ＡＢＣ again"_qs);
    box.set_sel_start(sel_start);
    box.set_sel_length(sel_length);
    QCOMPARE(box.find(what), found);
    if (found >= 0) {
        QCOMPARE(box.sel_start(), found);
        QCOMPARE(box.sel_text().compare(what, Qt::CaseInsensitive), 0);
    } else {
        QCOMPARE(box.sel_start(), std::min(sel_start, 30));
    }
}

void TestRichTextBox::print_selection() {
    QTemporaryDir dir;
    RichTextBox box;
    box.load_file(data_file(u"picture_png.rtf"_qs));
    box.set_sel_start(1);
    box.set_sel_length(6);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(u"out.pdf"_qs));
    box.print_to(&printer);
    QVERIFY(QFileInfo(printer.outputFileName()).size() > 0);
    QCOMPARE(box.text(), u"beforeafter"_qs);  // the box itself is untouched
    QCOMPARE(box.sel_text(), u"efore"_qs);
}

void TestRichTextBox::events() {
    RichTextBox box;
    box.resize(300, 200);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.set_text(u"some text"_qs);
    QSignalSpy sel(&box, &RichTextBox::sel_change);
    QSignalSpy up(&box, &RichTextBox::mouse_up);
    QSignalSpy move(&box, &RichTextBox::mouse_move);
    box.set_sel_start(3);
    QCOMPARE(sel.size(), 1);
    box.set_sel_start(3);
    QCOMPARE(sel.size(), 1);  // nothing moved
    box.set_sel_length(2);
    QCOMPARE(sel.size(), 2);
    QTest::mouseMove(box.viewport(), QPoint(20, 10));
    QVERIFY(!move.isEmpty());
    QCOMPARE(move.last().at(0).toPoint(), QPoint(20, 10));
    QTest::mouseClick(box.viewport(), Qt::RightButton, {}, QPoint(5, 5));
    QCOMPARE(up.size(), 1);
    QCOMPARE(up.last().at(0).value<Qt::MouseButton>(), Qt::RightButton);
}

void TestRichTextBox::pasted_pictures() {
    RichTextBox source;
    source.load_file(data_file(u"picture_png.rtf"_qs));
    source.selectAll();
    source.copy();
    const QByteArray rtf_source = source.rtf();
    const QByteArray picture = rtf_source.mid(rtf_source.indexOf("\\pngblip"));

    RichTextBox target;
    target.paste();
    QCOMPARE(target.text(), u"beforeafter"_qs);
    QVERIFY(target.rtf().contains(picture.left(picture.indexOf('}'))));  // the same picture bytes

    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    auto* screenshot = new QMimeData;
    screenshot->setImageData(image);
    QGuiApplication::clipboard()->setMimeData(screenshot);
    RichTextBox other;
    QVERIFY(other.canPaste());
    other.paste();
    QVERIFY(other.rtf().contains("{\\pict\\pngblip\\picw3\\pich2\\picwgoal45\\pichgoal30"));
}

QTEST_MAIN(TestRichTextBox)
#include "tst_rich_text_box.moc"
