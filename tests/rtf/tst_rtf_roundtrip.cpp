// Writing: what the writer writes the reader shows the same (every attribute,
// alignment, picture bytes); the form of what it writes; pasted content keeps
// its text; the plain-text path equals the document text; and an independent
// reader (unrtf) extracts the same text and picture from the writer's output.

#include "rtf_test_util.h"
#include "rtf/writer.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImageWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QUrl>

using namespace tz;

namespace {

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

QImage sample_image(QColor colour) {
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QTextCharFormat char_format(const QString& family, double size, bool bold = false, bool italic = false,
                            bool underline = false, bool strike = false, std::optional<QColor> colour = {}) {
    QTextCharFormat f;
    f.setFontFamilies({family});
    f.setFontPointSize(size);
    if (bold) f.setFontWeight(QFont::Bold);
    f.setFontItalic(italic);
    f.setFontUnderline(underline);
    f.setFontStrikeOut(strike);
    if (colour) f.setForeground(*colour);
    return f;
}

void insert_picture(QTextCursor& c, const QImage& image, const char* format, rtf::Picture::Kind kind, double w, double h) {
    QTextImageFormat f;
    f.setName(rtf::add_picture(*c.document(), image, encoded(image, format), kind));
    if (w > 0) f.setWidth(w);
    if (h > 0) f.setHeight(h);
    c.insertImage(f);
}

// A document with every attribute the box can give, Japanese text, escapes,
// alignments, empty paragraphs and, with layout, a tab, a line break, a no-break
// space and two pictures.
void fill_sample(QTextDocument& doc, bool layout = true) {
    doc.setDefaultFont(QFont(u"IPAGothic"_qs, 10));
    QTextCursor c(&doc);
    c.insertText(u"明朝の太字 "_qs, char_format(u"ＭＳ 明朝"_qs, 10.5, true));
    c.insertText(u"italic "_qs, char_format(u"IPAGothic"_qs, 12, false, true));
    c.insertText(u"下線"_qs, char_format(u"IPAGothic"_qs, 12, false, false, true));
    c.insertText(u"取り消し"_qs, char_format(u"IPAGothic"_qs, 12, false, false, false, true));
    c.insertText(u"赤"_qs, char_format(u"IPAGothic"_qs, 12, false, false, false, false, QColor(255, 0, 0)));
    c.insertText(u"黒"_qs, char_format(u"IPAGothic"_qs, 12, false, false, false, false, QColor(0, 0, 0)));
    c.insertText(u"all"_qs, char_format(u"Arial"_qs, 7.5, true, true, true, true, QColor(1, 2, 3)));
    c.insertText(u"default font "_qs, QTextCharFormat());
    c.insertText(u"\\{}é€😀"_qs, char_format(u"Font;{odd}\\"_qs, 9));
    if (layout) c.insertText(u"\t"_qs + QChar::LineSeparator + u"x\u00A0y ;"_qs);
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    c.insertBlock(centre);
    c.insertText(u"before "_qs, char_format(u"ＭＳ ゴシック"_qs, 20));
    if (layout) insert_picture(c, sample_image(Qt::blue), "PNG", rtf::Picture::Png, 30, 20);
    c.insertText(u" after"_qs);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.insertBlock(right);
    if (layout) insert_picture(c, sample_image(Qt::yellow), "JPEG", rtf::Picture::Jpeg, 0, 0);
    c.insertBlock(QTextBlockFormat());
    c.insertBlock(QTextBlockFormat());
    c.insertText(u"last"_qs, char_format(u"IPAGothic"_qs, 10));
    c.insertBlock(QTextBlockFormat());
}

// The look of a document as comparable lines: one per paragraph and one per
// run of characters that look the same.
QStringList describe(const QTextDocument& doc) {
    QStringList out;
    const QFont base = doc.defaultFont();
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        out << QStringLiteral("¶ %1").arg(int(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask));
        QString last;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QString text = it.fragment().text();
            if (f.isImageFormat()) {
                const QTextImageFormat img = f.toImageFormat();
                const QVariantList source = doc.resource(rtf::kPictureSource, rtf::picture_source_url(img.name())).toList();
                const QByteArray bytes = source.value(1).toByteArray();
                const QImage image = doc.resource(QTextDocument::ImageResource, QUrl(img.name())).value<QImage>();
                out << QStringLiteral("picture kind=%1 md5=%2 %3x%4")
                           .arg(source.value(0).toInt())
                           .arg(QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex()))
                           .arg(img.width() > 0 ? img.width() : image.width())
                           .arg(img.height() > 0 ? img.height() : image.height());
                last.clear();
                continue;
            }
            const QString family = test::family(f).isEmpty() ? base.family() : test::family(f);
            const QString look = QStringLiteral("%1 %2pt%3%4%5%6 %7")
                                     .arg(family)
                                     .arg(f.fontPointSize() > 0 ? f.fontPointSize() : base.pointSizeF())
                                     .arg(f.fontWeight() >= QFont::DemiBold ? " b" : "")
                                     .arg(f.fontItalic() ? " i" : "")
                                     .arg(f.fontUnderline() ? " u" : "")
                                     .arg(f.fontStrikeOut() ? " s" : "")
                                     .arg(f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : "auto");
            if (look == last) {
                out.last() += text;
            } else {
                out << look + u": "_qs + text;
                last = look;
            }
        }
    }
    return out;
}

// unrtf with its text output taught to print characters given as \uN.
QString unrtf_text(const QByteArray& rtf_bytes, QTemporaryDir& dir) {
    const QString conf = dir.filePath(u"conf"_qs);
    QDir().mkpath(conf);
    for (const QString& name : QDir(u"/usr/share/unrtf"_qs).entryList(QDir::Files)) {
        QFile::copy(u"/usr/share/unrtf/"_qs + name, conf + u'/' + name);
    }
    QFile text_conf(conf + u"/text.conf"_qs);
    text_conf.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    if (!text_conf.open(QIODevice::Append)) return QString();
    text_conf.write("unisymbol_print\n\t&#%;\n");
    text_conf.close();
    QFile out(dir.filePath(u"out.rtf"_qs));
    out.open(QIODevice::WriteOnly);
    out.write(rtf_bytes);
    out.close();
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(u"unrtf"_qs, {u"-P"_qs, conf + u'/', u"--text"_qs, out.fileName()});
    if (!p.waitForFinished(30000)) return QString();
    QString text = QString::fromUtf8(p.readAllStandardOutput());
    text = text.mid(text.indexOf(u"-----------------\n"_qs) + 18);
    text.remove(QRegularExpression(u"###[^\n]*\n"_qs));
    text.remove(QRegularExpression(u"pict\\d+\\.(png|jpg)"_qs));  // the names of the pictures it saved
    QString decoded;
    static const QRegularExpression entity(u"&#(\\d+);"_qs);
    qsizetype at = 0;
    for (auto m = entity.globalMatch(text); m.hasNext();) {
        const auto hit = m.next();
        decoded += text.mid(at, hit.capturedStart() - at);
        decoded += QChar(char16_t(hit.captured(1).toUInt()));
        at = hit.capturedEnd();
    }
    decoded += text.mid(at);
    if (decoded.endsWith(u'\n')) decoded.chop(1);  // after the last paragraph
    return decoded;
}

}  // namespace

class TestRtfRoundTrip : public QObject {
    Q_OBJECT
private slots:
    void every_attribute_and_pictures();
    void written_form();
    void pasted_content_keeps_text_data();
    void pasted_content_keeps_text();
    void plain_path_equals_document();
    void unrtf_reads_the_same_data();
    void unrtf_reads_the_same();
};

void TestRtfRoundTrip::every_attribute_and_pictures() {
    QTextDocument doc;
    fill_sample(doc);
    const QByteArray written = rtf::write(doc);
    QTextDocument again;
    again.setDefaultFont(QFont(u"Serif"_qs, 30));  // the file, not the reader's default, gives the look
    rtf::read_into(written, again);
    QCOMPARE(describe(again), describe(doc));
    QCOMPARE(again.toPlainText(), doc.toPlainText());
    // Writing what was read gives the same file.
    QTextDocument third;
    third.setDefaultFont(doc.defaultFont());
    rtf::read_into(written, third);
    QCOMPARE(rtf::write(third), written);
}

void TestRtfRoundTrip::written_form() {
    QTextDocument doc;
    fill_sample(doc);
    const QByteArray written = rtf::write(doc);
    QVERIFY(written.startsWith("{\\rtf1\\ansi\\ansicpg932\\deff0"));
    QVERIFY(written.contains("\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}"));  // ＭＳ 明朝
    QVERIFY(written.contains("\\fcharset128 IPAGothic;}"));
    QVERIFY(written.contains("\\fcharset0 Arial;}"));
    QVERIFY(written.contains("{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue0;\\red1\\green2\\blue3;}"));
    QVERIFY(written.contains("\\\\\\{\\}\\u233?\\u8364?\\u-10179?\\u-8704?\\tab \\line x\\~y ;"));
    QVERIFY(written.contains("{\\f1\\fs21\\b \\u26126?"));  // one group per run
    QVERIFY(written.contains("\\pard\\qc "));
    QVERIFY(written.contains("{\\pict\\pngblip\\picw6\\pich4\\picwgoal450\\pichgoal300\n"));
    QVERIFY(written.contains("{\\pict\\jpegblip\\picw6\\pich4\\picwgoal90\\pichgoal60\n"));
    QCOMPARE(written.count("\\par\n"), doc.blockCount());
    for (char c : written) QVERIFY2(uchar(c) < 0x80, "the writer writes 7-bit text only");
}

void TestRtfRoundTrip::pasted_content_keeps_text_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<QStringList>("texts");  // in order in the written document
    QTest::addColumn<QString>("bold");       // a text that must stay bold
    QTest::newRow("table") << u"<table border=1><tr><td>セル1</td><td><b>cell2</b></td></tr><tr><td>下</td></tr></table>"_qs
                           << QStringList{u"セル1"_qs, u"cell2"_qs, u"下"_qs} << u"cell2"_qs;
    QTest::newRow("lists") << u"<ul><li>項目</li></ul><ol><li><b>one</b></li><li>two</li></ol>"_qs
                           << QStringList{u"•\t項目"_qs, u"1.\tone"_qs, u"2.\ttwo"_qs} << u"one"_qs;
    QTest::newRow("link and background")
        << u"<p><a href='https://example.org/'>リンク</a> <span style='background-color:yellow'><b>背景</b></span></p>"_qs
        << QStringList{u"リンク 背景"_qs} << u"背景"_qs;
}

void TestRtfRoundTrip::pasted_content_keeps_text() {
    QFETCH(QString, html);
    QFETCH(QStringList, texts);
    QFETCH(QString, bold);
    QTextDocument doc;
    doc.setHtml(html);
    QTextDocument again;
    rtf::read_into(rtf::write(doc), again);
    const QString text = again.toPlainText();
    qsizetype at = 0;
    for (const QString& t : texts) {
        const qsizetype found = text.indexOf(t, at);
        QVERIFY2(found >= 0, qPrintable(t + u" in "_qs + text));
        at = found + t.size();
    }
    QVERIFY(test::fragment_with(again, bold).charFormat().fontWeight() >= QFont::DemiBold);
}

void TestRtfRoundTrip::plain_path_equals_document() {
    QTextDocument sample;
    fill_sample(sample);
    QList<QByteArray> inputs{rtf::write(sample)};
    for (const QString& file : test::rtf_data_files()) {
        const QByteArray bytes = test::rtf_data(file);
        inputs << bytes;
        QTextDocument doc;
        rtf::read_into(bytes, doc);
        inputs << rtf::write(doc);
    }
    for (const QByteArray& bytes : inputs) QCOMPARE(rtf::plain_text(bytes), test::document_text(bytes));
}

void TestRtfRoundTrip::unrtf_reads_the_same_data() {
    QTest::addColumn<int>("part");
    QTest::newRow("Japanese text") << 0;
    QTest::newRow("every attribute") << 1;
    QTest::newRow("a picture") << 2;
}

void TestRtfRoundTrip::unrtf_reads_the_same() {
    if (QStandardPaths::findExecutable(u"unrtf"_qs).isEmpty()) QSKIP("unrtf is not installed");
    QFETCH(int, part);
    QTextDocument doc;
    QTextCursor c(&doc);
    QByteArray png;
    switch (part) {
    case 0:
        c.insertText(u"日本語のメモ、ｶﾀｶﾅと①②、表示。"_qs);
        c.insertBlock();
        c.insertText(u"二行目 with ASCII"_qs);
        break;
    case 1:
        fill_sample(doc, false);
        break;
    case 2: {
        c.insertText(u"絵の前"_qs);
        const QImage image = sample_image(Qt::green);
        png = encoded(image, "PNG");
        QTextImageFormat f;
        f.setName(rtf::add_picture(doc, image, png, rtf::Picture::Png));
        c.insertImage(f);
        c.insertText(u"絵の後"_qs);
        break;
    }
    }
    QTemporaryDir dir;
    QString expected = doc.toPlainText();
    expected.remove(QChar::ObjectReplacementCharacter);
    expected.replace(QChar::Nbsp, u' ');
    QCOMPARE(unrtf_text(rtf::write(doc), dir), expected);
    if (!png.isEmpty()) {
        QFile extracted(dir.filePath(u"pict001.png"_qs));
        QVERIFY(extracted.open(QIODevice::ReadOnly));
        QCOMPARE(extracted.readAll(), png);
    }
}

QTEST_MAIN(TestRtfRoundTrip)
#include "tst_rtf_roundtrip.moc"
