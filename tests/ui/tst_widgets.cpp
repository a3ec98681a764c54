// The rich-text box: loading, text with CR LF, selection in its own positions,
// selection formats and where they mix, and copied and pasted pictures through a save.
// The hint line follows the mouse: a part's hint over the part's bare surface,
// never over a control inside it.

#include "rtf/rtf_test_util.h"
#include "support/ui_driving.h"
#include "ui/hints.h"
#include "ui/rich_text_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>

using namespace tz;

namespace {

QString data_file(const QString& name) { return test::rtf_data_dir() + u'/' + name; }

void select(RichTextBox& box, int start, int length) {
    box.set_sel_start(start);
    box.set_sel_length(length);
}

// Font name, size, bold, italic, underline, strike and colour; invalid where mixed.
QVariantList values(const RichTextBox::SelFormat& f) {
    auto v = [](const auto& o) { return o ? QVariant::fromValue(*o) : QVariant(); };
    return {v(f.font_name), v(f.size), v(f.bold), v(f.italic), v(f.underline), v(f.strike), v(f.colour)};
}

}  // namespace

class TestWidgets : public QObject {
    Q_OBJECT
private slots:
    // set_text takes any line end (the font it gives is seen through the editor and the viewer);
    // a file that cannot be read empties the box; the first text typed into an emptied box takes
    // the default font, whatever was loaded before; a format set at the caret applies to what is
    // typed next (sizes to half points); only what differs shows as mixed.
    void text_selection_and_default_font() {
        RichTextBox box;
        const QColor text_colour = box.palette().color(QPalette::Text);
        box.set_text(u"一行目\r\n二行目\nthree\rfour"_qs);
        QCOMPARE(box.text(), u"一行目\r\n二行目\r\nthree\r\nfour"_qs);
        QVERIFY(!box.document()->isUndoAvailable());  // Ctrl+Z cannot take the text away
        // Asked start and length, then those the box gives and the selected text: a paragraph
        // break is one position.
        const struct { int start, length, got_start, got_length; QString selected; } cases[] = {
            {2, 3, 2, 3, u"目\r\n二"_qs}, {4, 0, 4, 0, {}}, {14, 50, 14, 4, u"four"_qs}, {99, 1, 18, 0, {}}, {-5, -2, 0, 0, {}}};
        for (const auto& c : cases) {
            select(box, c.start, c.length);
            QCOMPARE(QPoint(box.sel_start(), box.sel_length()), QPoint(c.got_start, c.got_length));
            QCOMPARE(box.sel_text(), c.selected);
        }
        QVERIFY(!box.load_file(data_file(u"no_such_file.rtf"_qs)));
        QCOMPARE(box.text(), QString());
        QVERIFY(box.load_file(data_file(u"richedit_japanese.rtf"_qs)));
        box.set_default_font(QFont(u"IPAMincho"_qs, 14));
        box.set_text(QString());
        QTest::keyClicks(&box, u"typed"_qs);
        box.set_sel_bold(true);
        box.set_sel_colour(Qt::blue);
        box.set_sel_size(15.6);
        QTest::keyClicks(&box, u"BOLD"_qs);
        select(box, 0, 5);
        QCOMPARE(values(box.sel_format()), (QVariantList{u"IPAMincho"_qs, 14.0, false, false, false, false, text_colour}));
        select(box, 5, 4);
        QCOMPARE(values(box.sel_format()), (QVariantList{u"IPAMincho"_qs, 15.5, true, false, false, false, QColor(Qt::blue)}));
        select(box, 0, 9);
        QCOMPARE(values(box.sel_format()), (QVariantList{u"IPAMincho"_qs, {}, {}, false, false, false, {}}));
    }

    // Pictures copied from a box that has shown another memo since, a screenshot and
    // a web page's inline picture come back from the saved RTF; a web page's picture
    // that cannot be had is left out, not kept as a mark that could not be saved.
    void pasted_pictures_survive_save_and_reload() {
        RichTextBox source, box, again;
        QClipboard* clipboard = QGuiApplication::clipboard();
        QVERIFY(source.load_file(data_file(u"picture_png.rtf"_qs)));
        QCOMPARE(source.text(), u"beforeafter"_qs);  // a picture has no text
        const QByteArray rich = source.rtf(), picture = rich.mid(rich.indexOf("\\pngblip")).split('}').first();
        select(source, 6, 1);
        source.copy();
        QCOMPARE(clipboard->image().size(), QSize(4, 3));  // a picture alone is also an image
        source.selectAll();
        source.copy();
        source.set_text(u"the next memo"_qs);
        const QMimeData* copied = clipboard->mimeData();
        QCOMPARE(copied->text(), u"beforeafter"_qs);
        QVERIFY(copied->html().contains(u"src=\"data:image/png;base64,"_qs));
        box.paste();
        clipboard->setImage(test::picture_of(Qt::red, 3, 2, "PNG").first);  // a screenshot
        box.moveCursor(QTextCursor::End);
        box.paste();
        auto* web_page = new QMimeData;
        web_page->setHtml(u"<p>web<img src=\"https://example.invalid/a.png\"><img src=\"data:image/png;base64,"_qs +
                          QString::fromLatin1(test::picture_of(Qt::red, 5, 5, "PNG").second.toBase64()) + u"\"></p>"_qs);
        clipboard->setMimeData(web_page);
        box.paste();
        int lost = -1;
        again.load_rtf(box.rtf(&lost));
        QCOMPARE(lost, 0);
        QCOMPARE(again.document()->toPlainText(), u"before\uFFFCafter\uFFFCweb\uFFFC"_qs);
        QVERIFY(again.rtf().contains(picture));  // the same picture bytes
        QVERIFY(again.rtf().contains("{\\pict\\pngblip\\picw3\\pich2\\picwgoal45\\pichgoal30"));
        QVERIFY(again.rtf().contains("{\\pict\\pngblip\\picw5\\pich5\\picwgoal75\\pichgoal75"));
    }

    void a_part_hint_holds_over_its_bare_surface_only() {
        QWidget window;
        window.resize(300, 200);
        auto* frame = new QWidget(&window);
        frame->setGeometry(10, 10, 200, 100);
        auto* inside = new QPushButton(QStringLiteral("b"), frame);
        inside->setGeometry(10, 10, 50, 30);
        auto* plain = new QPushButton(QStringLiteral("p"), &window);
        plain->setGeometry(220, 10, 50, 30);
        QString line;
        auto* hints = new MouseHints(&window, [&](const QString& t) { line = t; });
        hints->add(&window, QStringLiteral("window"));
        hints->add(frame, QStringLiteral("frame"));
        hints->add(inside, QStringLiteral("inside"));

        // Moves passed on to a parent by a control inside it (the frame's button,
        // the window's button without a hint) show nothing.
        const std::pair<QWidget*, QPoint> moves[] = {{frame, {150, 50}}, {inside, {5, 5}}, {frame, {15, 15}},
                                                     {&window, {250, 150}}, {&window, {230, 20}}, {&window, {50, 50}}};
        QStringList seen;
        for (const auto& [w, at] : moves) {
            line = QStringLiteral("-");
            test::move_mouse(w, at);
            seen << line;
        }
        QCOMPARE(seen, QStringList({"frame", "inside", "-", "window", "-", "-"}));
        QVERIFY(window.hasMouseTracking() && frame->hasMouseTracking() && inside->hasMouseTracking());
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
