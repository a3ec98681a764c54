// Pictures: each kind the reader knows shows as an image of the right pixels
// and size; the plain-text path sees a picture without decoding its data.

#include "rtf_test_util.h"
#include "rtf/picture.h"
#include "rtf/writer.h"

#include <QImage>
#include <QTest>
#include <QUrl>

using namespace tz;

namespace {

// Records what a text-only consumer is given.
struct PictureCounter final : rtf::Sink {
    bool wants_formats() const override { return false; }
    bool wants_pictures() const override { return false; }
    void text(QStringView) override {}
    void paragraph_end(rtf::Align) override {}
    void line_break() override {}
    void picture(const rtf::Picture& p) override {
        ++pictures;
        data_bytes += p.data.size();
    }
    int pictures = 0;
    qsizetype data_bytes = 0;
};

QByteArray hex_payload(const QByteArray& rtf_bytes) {
    const qsizetype start = rtf_bytes.indexOf('\n', rtf_bytes.indexOf("goal")) + 1;
    const qsizetype end = rtf_bytes.indexOf('}', start);
    return QByteArray::fromHex(rtf_bytes.mid(start, end - start));
}

}  // namespace

class TestRtfPictures : public QObject {
    Q_OBJECT
private slots:
    void kinds_data();
    void kinds();
    void scale_and_missing_goal();
    void unknown_pictures_show_a_placeholder_data();
    void unknown_pictures_show_a_placeholder();
};

void TestRtfPictures::kinds_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("pixels");  // also the size shown
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("kind");  // what the document keeps for writing back
    const int png = rtf::Picture::Png;
    QTest::newRow("PNG") << "picture_png.rtf" << QSize(4, 3) << QColor(0, 0, 255) << png;
    QTest::newRow("JPEG") << "picture_jpeg.rtf" << QSize(8, 6) << QColor(250, 250, 0) << int(rtf::Picture::Jpeg);
    QTest::newRow("DIB") << "picture_dib.rtf" << QSize(4, 3) << QColor(0, 255, 0) << png;
    QTest::newRow("WMF with META_DIBBITBLT") << "picture_wmf_dibbitblt.rtf" << QSize(5, 2) << QColor(255, 0, 0) << png;
    QTest::newRow("WMF with META_DIBSTRETCHBLT") << "picture_wmf_dibstretchblt.rtf" << QSize(5, 2) << QColor(255, 0, 0) << png;
    QTest::newRow("WMF with META_STRETCHDIB") << "picture_wmf_stretchdib.rtf" << QSize(5, 2) << QColor(255, 0, 0) << png;
}

void TestRtfPictures::kinds() {
    QFETCH(QString, file);
    QFETCH(QSize, pixels);
    QFETCH(QColor, colour);
    QFETCH(int, kind);
    const QByteArray bytes = test::rtf_data(file);
    QTextDocument doc;
    rtf::read_into(bytes, doc);
    QCOMPARE(doc.toPlainText(), u"before\uFFFCafter"_qs);
    const QList<QTextImageFormat> found = test::images(doc);
    QCOMPARE(found.size(), 1);
    QCOMPARE(QSizeF(found[0].width(), found[0].height()), QSizeF(pixels));
    const QImage image = doc.resource(QTextDocument::ImageResource, QUrl(found[0].name())).value<QImage>();
    QCOMPARE(image.size(), pixels);
    const QColor pixel = image.pixelColor(pixels.width() - 1, pixels.height() - 1);
    QVERIFY2(std::max({qAbs(pixel.red() - colour.red()), qAbs(pixel.green() - colour.green()), qAbs(pixel.blue() - colour.blue())}) <= 8,
             qPrintable(pixel.name()));
    const QVariantList source = doc.resource(rtf::kPictureSource, rtf::picture_source_url(found[0].name())).toList();
    QCOMPARE(source.value(0).toInt(), kind);
    if (kind == rtf::Picture::Jpeg || file == u"picture_png.rtf")
        QCOMPARE(source.value(1).toByteArray(), hex_payload(bytes));  // kept byte for byte
    // Written back as PNG, or JPEG as it came.
    QVERIFY(rtf::write(doc).contains(kind == rtf::Picture::Jpeg ? "\\jpegblip" : "\\pngblip"));
    // The plain-text path sees the picture without its data.
    PictureCounter counter;
    rtf::parse(bytes, counter);
    QCOMPARE(counter.pictures, 1);
    QCOMPARE(counter.data_bytes, 0);
}

void TestRtfPictures::scale_and_missing_goal() {
    const QByteArray png = hex_payload(test::rtf_data(u"picture_png.rtf"_qs)).toHex();
    QTextDocument doc;
    rtf::read_into("{\\rtf1{\\pict\\pngblip\\picwgoal60\\pichgoal45\\picscalex200\\picscaley50 " + png +
                       "}{\\pict\\pngblip " + png + "}}",
                   doc);
    const QList<QTextImageFormat> found = test::images(doc);
    QCOMPARE(found.size(), 2);
    QCOMPARE(QSizeF(found[0].width(), found[0].height()), QSizeF(8, 1.5));
    QCOMPARE(QSizeF(found[1].width(), found[1].height()), QSizeF(4, 3));  // the image's own size
}

void TestRtfPictures::unknown_pictures_show_a_placeholder_data() {
    QTest::addColumn<QByteArray>("pict");
    QTest::addColumn<QByteArray>("written");  // what saving writes: the bytes as they came where there are any
    QTest::newRow("metafile without a bitmap") << QByteArray("\\wmetafile8\\picw100\\pich50 010009000003050000000000030000000000")
                                               << QByteArray("{\\pict\\wmetafile8\\picw100\\pich50\\picwgoal300\\pichgoal150\n"
                                                             "010009000003050000000000030000000000}");
    QTest::newRow("EMF") << QByteArray("\\emfblip 0100000000") << QByteArray("\\emfblip\\picw32\\pich32\\picwgoal300\\pichgoal150\n0100000000}");
    QTest::newRow("DIB header too large") << QByteArray("\\dibitmap0 ffffff7f01000000") << QByteArray("\\dibitmap0");
    QTest::newRow("not hex") << QByteArray("\\pngblip zz-qq!!") << QByteArray("\\pngblip\\picw32\\pich32\\picwgoal300");
    QTest::newRow("broken PNG") << QByteArray("\\pngblip 89504e470d0a1a0a0000") << QByteArray("89504e470d0a1a0a0000}");
    QTest::newRow("odd digit count") << QByteArray("\\pngblip 123") << QByteArray("\\pngblip");
}

void TestRtfPictures::unknown_pictures_show_a_placeholder() {
    QFETCH(QByteArray, pict);
    QFETCH(QByteArray, written);
    const QByteArray rtf_bytes = "{\\rtf1 x{\\pict\\picwgoal300\\pichgoal150" + pict + "}y}";
    QTextDocument doc;
    rtf::read_into(rtf_bytes, doc);
    QCOMPARE(doc.toPlainText(), u"x\uFFFCy"_qs);
    QCOMPARE(rtf::plain_text(rtf_bytes), u"x\uFFFCy"_qs);
    const QList<QTextImageFormat> found = test::images(doc);
    QCOMPARE(found.size(), 1);
    QCOMPARE(QSizeF(found[0].width(), found[0].height()), QSizeF(20, 10));
    QVERIFY(!doc.resource(QTextDocument::ImageResource, QUrl(found[0].name())).value<QImage>().isNull());
    const QByteArray out = rtf::write(doc);
    QVERIFY2(out.contains(written), out.constData());
    QCOMPARE(test::document_text(out), u"x\uFFFCy"_qs);
}

QTEST_MAIN(TestRtfPictures)
#include "tst_rtf_pictures.moc"
