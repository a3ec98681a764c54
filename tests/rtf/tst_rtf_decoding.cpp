// Decoding: what the reader makes of the headers, code pages, escapes and
// Unicode forms that Windows rich-edit controls, LibreOffice and WordPad write,
// and of files without an RTF header.

#include "rtf_test_util.h"

#include <QTest>

using namespace tz;

class TestRtfDecoding : public QObject {
    Q_OBJECT
private slots:
    void files_data();
    void files();
    void snippets_data();
    void snippets();
    void font_names_data();
    void font_names();
    void richedit_formats();
    void office_formats();
};

void TestRtfDecoding::files_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");
    QTest::newRow("rich-edit Japanese") << "richedit_japanese.rtf"
                                        << u"こんにちはABC\n表ソ―\n表ソボマア\n赤い x"_qs;
    QTest::newRow("pair split by a line end") << "richedit_linewrap.rtf" << u"あい"_qs;
    QTest::newRow("unicode and fallbacks") << "unicode.rtf" << u"あい|う|え|ｱ|😀|おX"_qs;
    QTest::newRow("LibreOffice") << "libreoffice.rtf" << u"Plain line\n日本　\nLink text after\n•\tItem"_qs;
    QTest::newRow("WordPad") << "wordpad.rtf" << u"café €\n日本\tend"_qs;
    QTest::newRow("plain Shift-JIS lines") << "plain_sjis.txt" << u"日本語の行\n\n  表 {x}\\y"_qs;
    QTest::newRow("only CR LF") << "crlf_only.txt" << QString();
    QTest::newRow("empty file") << "empty.rtf" << QString();
}

void TestRtfDecoding::files() {
    QFETCH(QString, file);
    QFETCH(QString, text);
    const QByteArray bytes = test::rtf_data(file);
    QCOMPARE(test::document_text(bytes), text);
    QCOMPARE(rtf::plain_text(bytes), text);
}

void TestRtfDecoding::snippets_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    const QByteArray head = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 X;}}\\f0 ";
    QTest::newRow("uc1 skips one byte") << head + "\\uc1\\u12354\\'3fA}" << u"あA"_qs;
    QTest::newRow("uc2 skips a pair") << head + "\\uc2\\u12354\\'82\\'a0B}" << u"あB"_qs;
    QTest::newRow("uc counts a control word as one") << head + "\\uc1\\u12354\\tab C}" << u"あC"_qs;
    QTest::newRow("brace ends a skip") << head + "{\\uc3\\u12354 x}yz}" << u"あyz"_qs;
    QTest::newRow("uc is kept per group") << head + "{\\uc2 a}\\u12354 ?b}" << u"aあb"_qs;
    QTest::newRow("lone high surrogate") << head + "\\u-10179?x}" << u"\uFFFDx"_qs;
    QTest::newRow("lone low surrogate") << head + "\\u-8704?x}" << u"\uFFFDx"_qs;
    QTest::newRow("no code page: 932") << QByteArray("{\\rtf1\\ansi \\'82\\'a0}") << u"あ"_qs;
    QTest::newRow("\\ansicpg1252 without fonts") << QByteArray("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9}") << u"café"_qs;
    QTest::newRow("font \\cpg wins over charset")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset0\\cpg932 X;}}\\f0 \\'82\\'a0}") << u"あ"_qs;
    QTest::newRow("last \\par opens no paragraph") << head + "a\\par b\\par}" << u"a\nb"_qs;
    QTest::newRow("empty paragraphs kept") << head + "a\\par\\par\\par}" << u"a\n\n"_qs;
    QTest::newRow("backslash before line end is \\par") << head + "a\\\nb}" << u"a\nb"_qs;
    QTest::newRow("line, tab, no-break space") << head + "a\\line b\\tab c\\~d}" << u"a\nb\tc d"_qs;
    QTest::newRow("special characters")
        << head + "\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}" << u"—–•‘’“”"_qs;
    QTest::newRow("optional hyphen shows nothing") << head + "ab\\-cd}" << u"abcd"_qs;
    QTest::newRow("hidden text") << head + "a{\\v hidden}b\\v c\\v0 d}" << u"abd"_qs;
    QTest::newRow("unknown starred destination") << head + "a{\\*\\whatever {x}y}b}" << u"ab"_qs;
    QTest::newRow("unknown word is ignored") << head + "a\\foo12 b}" << u"ab"_qs;
    QTest::newRow("known skipped destinations")
        << head + "{\\info{\\title T}}{\\stylesheet{S;}}{\\header H}{\\footer F}a}" << u"a"_qs;
    QTest::newRow("field shows its result")
        << head + "{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt link}}}" << u"link"_qs;
    QTest::newRow("table cells and rows")
        << head + "\\trowd\\cellx1000\\cellx2000 a\\cell b\\cell\\row c\\cell d\\cell\\row}" << u"a\tb\nc\td"_qs;
    QTest::newRow("control characters in hex dropped") << head + "a\\'0d\\'0ab\\'00c}" << u"abc"_qs;
    QTest::newRow("nonshppict skipped, shppict read")
        << head + "{\\*\\shppict{\\pict\\pngblip 00}}{\\nonshppict{\\pict\\wmetafile8 00}}}" << u"\uFFFC"_qs;
    QTest::newRow("text after the last brace ignored") << head + "a}b" << u"a"_qs;
}

void TestRtfDecoding::snippets() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(test::document_text(rtf), text);
    QCOMPARE(rtf::plain_text(rtf), text);
}

void TestRtfDecoding::font_names_data() {
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QString>("name");
    QTest::newRow("CP932 hex") << QByteArray("{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}")
                               << u"ＭＳ 明朝"_qs;
    QTest::newRow("without group") << QByteArray("\\f0\\fswiss\\fcharset0 Arial;") << u"Arial"_qs;
    QTest::newRow("alternative name skipped") << QByteArray("{\\f0 Liberation Serif{\\*\\falt Times};}")
                                              << u"Liberation Serif"_qs;
    QTest::newRow("unicode name") << QByteArray("{\\f0\\fcharset0 \\u-187?\\u-205? x;}") << u"ｅＳ x"_qs;
    QTest::newRow("no semicolon") << QByteArray("{\\f0\\fcharset0 Courier}") << u"Courier"_qs;
}

void TestRtfDecoding::font_names() {
    QFETCH(QByteArray, table);
    QFETCH(QString, name);
    QTextDocument doc;
    rtf::read_into("{\\rtf1\\ansi\\ansicpg932{\\fonttbl" + table + "}\\f0 text}", doc);
    QCOMPARE(test::family(test::fragment_with(doc, u"text"_qs).charFormat()), name);
}

void TestRtfDecoding::richedit_formats() {
    QTextDocument doc;
    rtf::read_into(test::rtf_data(u"richedit_japanese.rtf"_qs), doc);
    const QTextCharFormat hello = test::fragment_with(doc, u"こんにちは"_qs).charFormat();
    QCOMPARE(test::family(hello), u"ＭＳ 明朝"_qs);
    QCOMPARE(hello.fontPointSize(), 10.5);
    QVERIFY(!hello.hasProperty(QTextFormat::ForegroundBrush));
    QCOMPARE(test::family(test::fragment_with(doc, u"ABC"_qs).charFormat()), u"Arial"_qs);
    const QTextCharFormat red = test::fragment_with(doc, u"赤い"_qs).charFormat();
    QCOMPARE(red.foreground().color(), QColor(255, 0, 0));
    QCOMPARE(red.fontWeight(), int(QFont::Bold));
    const QTextCharFormat after = test::fragment_with(doc, u" x"_qs).charFormat();
    QVERIFY(after.fontWeight() < QFont::DemiBold);
}

void TestRtfDecoding::office_formats() {
    QTextDocument wordpad;
    rtf::read_into(test::rtf_data(u"wordpad.rtf"_qs), wordpad);
    QCOMPARE(wordpad.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(test::fragment_with(wordpad, u"caf"_qs).charFormat().foreground().color(), QColor(0, 77, 187));
    QVERIFY(test::fragment_with(wordpad, u"end"_qs).charFormat().fontItalic());
    QCOMPARE(test::family(test::fragment_with(wordpad, u"日本"_qs).charFormat()), u"MS Gothic"_qs);

    QTextDocument office;
    rtf::read_into(test::rtf_data(u"libreoffice.rtf"_qs), office);
    const QTextCharFormat link = test::fragment_with(office, u"Link text"_qs).charFormat();
    QVERIFY(link.fontUnderline());
    QCOMPARE(link.foreground().color(), QColor(0, 0, 128));
    QCOMPARE(office.begin().next().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(test::family(test::fragment_with(office, u"Plain"_qs).charFormat()), u"Liberation Serif"_qs);
}

QTEST_MAIN(TestRtfDecoding)
#include "tst_rtf_decoding.moc"
