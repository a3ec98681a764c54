// Writing and pictures: what the writer writes the reader shows the same (every attribute,
// alignment, picture bytes); pasted content keeps its text. Each kind of picture the reader knows
// shows as an image of the right pixels and size, the plain-text path sees it without decoding its
// data, and one it cannot show becomes a placeholder that is written back.

#include "rtf_test_util.h"
#include "rtf/picture.h"
#include "rtf/writer.h"

#include <QCryptographicHash>
#include <QPixmap>
#include <QTest>
#include <QTextCursor>
#include <QUrl>

using namespace tz;

namespace {

// Counts the picture data a text-only consumer is given.
struct PictureData final : rtf::Sink {
    bool wants_pictures() const override { return false; }
    void text(QStringView) override {}
    void paragraph_end(rtf::Align) override {}
    void line_break() override {}
    void picture(const rtf::Picture& p) override { bytes += p.data.size(); }
    qsizetype bytes = 0;
};

QByteArray hex_payload(const QByteArray& rtf_bytes) {
    const qsizetype start = rtf_bytes.indexOf('\n', rtf_bytes.indexOf("goal")) + 1;
    const qsizetype end = rtf_bytes.indexOf('}', start);
    return QByteArray::fromHex(rtf_bytes.mid(start, end - start));
}

// Inserts a 6x4 picture of one colour, shown at w x h when given.
void insert_picture(QTextCursor& c, QColor colour, const char* format, rtf::Picture::Kind kind, double w = 0, double h = 0) {
    const auto [image, bytes] = test::picture_of(colour, 6, 4, format);
    QTextImageFormat f;
    f.setName(rtf::add_picture(*c.document(), image, bytes, kind));
    if (w > 0) f.setWidth(w), f.setHeight(h);
    c.insertImage(f);
}

// flags: b bold, i italic, u underline, s strike-through.
QTextCharFormat fmt(const QString& family, double size, QByteArray flags = {}, std::optional<QColor> colour = {}) {
    QTextCharFormat f;
    f.setFontFamilies({family});
    f.setFontPointSize(size);
    if (flags.contains('b')) f.setFontWeight(QFont::Bold);
    f.setFontItalic(flags.contains('i'));
    f.setFontUnderline(flags.contains('u'));
    f.setFontStrikeOut(flags.contains('s'));
    if (colour) f.setForeground(*colour);
    return f;
}

// Every attribute the box can give, Japanese text, escapes, alignments, empty
// paragraphs, a PNG and a JPEG picture, a tab, a line break and a no-break space.
void fill_sample(QTextDocument& doc) {
    doc.setDefaultFont(QFont(u"IPAGothic"_qs, 10));
    QTextCursor c(&doc);
    const QString g = u"IPAGothic"_qs;
    c.insertText(u"明朝の太字 "_qs, fmt(u"ＭＳ 明朝"_qs, 10.5, "b"));
    c.insertText(u"italic "_qs, fmt(g, 12, "i"));
    c.insertText(u"下線"_qs, fmt(g, 12, "u"));
    c.insertText(u"取り消し"_qs, fmt(g, 12, "s"));
    c.insertText(u"赤"_qs, fmt(g, 12, {}, QColor(255, 0, 0)));
    c.insertText(u"黒"_qs, fmt(g, 12, {}, QColor(0, 0, 0)));
    c.insertText(u"all"_qs, fmt(u"Arial"_qs, 7.5, "bius", QColor(1, 2, 3)));
    c.insertText(u"default font ｶﾀｶﾅ①②表示 "_qs, QTextCharFormat());
    c.insertText(u"\\{}é€😀"_qs, fmt(u"Font;{odd}\\"_qs, 9));
    c.insertText(u"\t"_qs + QChar::LineSeparator + u"x\u00A0y ;"_qs);
    QTextBlockFormat align;
    align.setAlignment(Qt::AlignHCenter);
    c.insertBlock(align);
    c.insertText(u"before "_qs, fmt(u"ＭＳ ゴシック"_qs, 20));
    insert_picture(c, Qt::blue, "PNG", rtf::Picture::Png, 30, 20);
    c.insertText(u" after"_qs);
    align.setAlignment(Qt::AlignRight);
    c.insertBlock(align);
    insert_picture(c, Qt::yellow, "JPEG", rtf::Picture::Jpeg);
    c.insertBlock(QTextBlockFormat());
    c.insertBlock(QTextBlockFormat());
    c.insertText(u"last"_qs, fmt(g, 10));
    c.insertBlock(QTextBlockFormat());
}

// The look of a document as lines: one per paragraph, per picture and per run
// of characters that look the same.
QStringList describe(const QTextDocument& doc) {
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        out << QStringLiteral("¶ %1").arg(int(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask));
        QString last;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.isImageFormat()) {
                const QTextImageFormat img = f.toImageFormat();
                const QVariantList source = doc.resource(rtf::kPictureSource, rtf::picture_source_url(img.name())).toList();
                const QSize own = doc.resource(QTextDocument::ImageResource, QUrl(img.name())).value<QImage>().size();
                out << QStringLiteral("picture %1 %2 %3x%4").arg(source.value(0).toInt())
                           .arg(QCryptographicHash::hash(source.value(1).toByteArray(), QCryptographicHash::Md5).toHex())
                           .arg(img.width() > 0 ? img.width() : own.width()).arg(img.height() > 0 ? img.height() : own.height());
                last.clear();
                continue;
            }
            const QString look = test::look(f, doc.defaultFont());
            if (look != last) out << look + u": "_qs;
            out.last() += it.fragment().text();
            last = look;
        }
    }
    return out;
}

}  // namespace

class TestRtfRoundTrip : public QObject {
    Q_OBJECT
private slots:
    void every_attribute_and_pictures() {
        QTextDocument doc;
        fill_sample(doc);
        const QByteArray written = rtf::write(doc);
        QVERIFY(written.startsWith("{\\rtf1\\ansi\\ansicpg932\\deff0"));
        for (char c : written) QVERIFY2(uchar(c) < 0x80, "the writer writes 7-bit text only");
        // What other readers know: Japanese font names as CP932 bytes, layout as control words.
        QVERIFY(written.contains("\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;"));
        QVERIFY(written.contains("\\tab \\line x\\~y ;"));
        QTextDocument again;  // the decoding tests show that the file, not this default, gives the look
        again.setDefaultFont(doc.defaultFont());
        rtf::read_into(written, again);
        QCOMPARE(describe(again), describe(doc));
        QCOMPARE(rtf::write(again), written);  // writing what was read gives the same file
    }

    // Tables, lists, links and backgrounds it cannot keep still leave their text, in order. A picture pasted as
    // any kind of resource is saved (a QImage, as a screenshot is pasted, in the rich-text box's tests).
    void pasted_content_keeps_text_and_pictures() {
        QTextDocument doc;
        doc.setHtml(u"<table border=1><tr><td>セル1</td><td><b>cell2</b></td></tr><tr><td>下</td></tr></table>"
                    "<ul><li>項目</li></ul><ol><li><b>one</b></li><li>two</li></ol><p><a href='https://example.org/'>リンク</a>\uFFFC "
                    "<span style='background-color:yellow'><b>背景</b></span></p>"_qs);
        const auto [image, png] = test::picture_of(Qt::green, 3, 2, "PNG");
        const QVariant pasted[] = {QPixmap::fromImage(image), png, test::picture_of(Qt::green, 3, 2, "BMP").second,
                                   test::picture_of(Qt::green, 3, 2, "JPEG").second};
        QTextCursor end(&doc);
        end.movePosition(QTextCursor::End);
        for (const QVariant& resource : pasted) {
            doc.addResource(QTextDocument::ImageResource, QUrl(QString::number(&resource - pasted)), resource);
            end.insertImage(QString::number(&resource - pasted));
        }
        const QByteArray written = rtf::write(doc);
        QVERIFY(!written.contains("\\u-4"));  // a stray object mark is dropped, not written as text
        QCOMPARE(written.count("\\pngblip\\picw3\\pich2"), 3);
        QCOMPARE(written.count("\\jpegblip\\picw3\\pich2"), 1);
        QTextDocument again;
        rtf::read_into(written, again);
        const QString text = again.toPlainText();
        qsizetype at = 0;
        for (const QString& t : {u"セル1"_qs, u"cell2"_qs, u"下"_qs, u"•\t項目"_qs, u"1.\tone"_qs, u"2.\ttwo"_qs, u"リンク 背景"_qs}) {
            QVERIFY2((at = text.indexOf(t, at)) >= 0, qPrintable(t + u" in "_qs + text));
            at += t.size();
        }
        for (const QString& bold : {u"cell2"_qs, u"one"_qs, u"背景"_qs})
            QVERIFY(test::fragment_with(again, bold).charFormat().fontWeight() >= QFont::DemiBold);
    }

    // rtf: a test file, or what follows "\pict" in a group between "before" and "after".
    void pictures_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QSizeF>("shown");
        QTest::addColumn<QSize>("pixels");  // none: a placeholder
        QTest::addColumn<QColor>("colour");  // of the last pixel
        QTest::addColumn<QByteArray>("written");  // in what saving writes: the bytes as they came where there are any
        const auto row = [](const QByteArray& name, const QByteArray& rtf, QSizeF shown, QSize pixels, QColor colour,
                            const char* written = "\\pngblip") {
            QTest::newRow(name.constData()) << rtf << shown << pixels << colour << QByteArray(written);
        };
        row("PNG", "picture_png.rtf", {4, 3}, {4, 3}, Qt::blue);
        row("JPEG", "picture_jpeg.rtf", {8, 6}, {8, 6}, QColor(250, 250, 0), "\\jpegblip");
        row("DIB", "picture_dib.rtf", {4, 3}, {4, 3}, Qt::green);
        for (const QByteArray record : {"DIBBITBLT", "DIBSTRETCHBLT", "STRETCHDIB"})
            row("WMF with META_" + record, "picture_wmf_" + record.toLower() + ".rtf", {5, 2}, {5, 2}, Qt::red);
        const QByteArray hex = hex_payload(test::rtf_data(u"picture_png.rtf"_qs)).toHex();
        row("goal and scale", "\\pngblip\\picwgoal60\\pichgoal45\\picscalex200\\picscaley50 " + hex, {8, 1.5}, {4, 3}, Qt::blue);
        row("no goal: the image's own size", "\\pngblip " + hex, {4, 3}, {4, 3}, Qt::blue);
        // Placeholders, shown at their goal size.
        const QByteArray goal = "\\picwgoal300\\pichgoal150";
        row("metafile without a bitmap", goal + "\\wmetafile8\\picw100\\pich50 010009000003050000000000030000000000",
            {20, 10}, {}, {}, "{\\pict\\wmetafile8\\picw100\\pich50\\picwgoal300\\pichgoal150\n010009000003050000000000030000000000}");
        row("EMF", goal + "\\emfblip 0100000000", {20, 10}, {}, {}, "\\emfblip\\picw32\\pich32\\picwgoal300\\pichgoal150\n0100000000}");
        row("DIB header too large", goal + "\\dibitmap0 ffffff7f01000000", {20, 10}, {}, {}, "\\dibitmap0");
        row("not hex", goal + "\\pngblip zz-qq!!", {20, 10}, {}, {}, "\\pngblip\\picw32\\pich32\\picwgoal300");
        row("broken PNG", goal + "\\pngblip 89504e470d0a1a0a0000", {20, 10}, {}, {}, "89504e470d0a1a0a0000}");
        row("odd digit count", goal + "\\pngblip 123", {20, 10}, {}, {});
    }

    void pictures() {
        QFETCH(QByteArray, rtf);
        QFETCH(QSize, pixels);
        QFETCH(QColor, colour);
        QFETCH(QByteArray, written);
        const QByteArray bytes = test::bytes_of(rtf.endsWith(".rtf") ? rtf : "{\\rtf1 before{\\pict" + rtf + "}after}");
        QTextDocument doc;
        rtf::read_into(bytes, doc);
        QCOMPARE(doc.toPlainText(), u"before\uFFFCafter"_qs);
        QCOMPARE(rtf::plain_text(bytes), doc.toPlainText());
        const QTextImageFormat f = test::fragment_with(doc, u"\uFFFC"_qs).charFormat().toImageFormat();
        QTEST(QSizeF(f.width(), f.height()), "shown");
        const QImage image = doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>();
        QVERIFY(!image.isNull());
        if (pixels.isValid()) {
            QCOMPARE(image.size(), pixels);
            const QColor pixel = image.pixelColor(pixels.width() - 1, pixels.height() - 1);
            QVERIFY2(std::max({qAbs(pixel.red() - colour.red()), qAbs(pixel.green() - colour.green()), qAbs(pixel.blue() - colour.blue())}) <= 8,
                     qPrintable(pixel.name()));
            const QVariantList source = doc.resource(rtf::kPictureSource, rtf::picture_source_url(f.name())).toList();
            if (rtf == "picture_png.rtf" || rtf == "picture_jpeg.rtf")
                QCOMPARE(source.value(1).toByteArray(), hex_payload(bytes));  // kept byte for byte
        }
        const QByteArray out = rtf::write(doc);
        QVERIFY2(out.contains(written), out.constData());
        // The plain-text path sees the picture (above) without its data.
        PictureData data;
        rtf::parse(bytes, data);
        QCOMPARE(data.bytes, 0);
    }
};

QTEST_MAIN(TestRtfRoundTrip)
#include "tst_rtf_roundtrip.moc"
