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
    void looks_data();
    void looks();
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
    QTest::newRow("high surrogate at the end") << head + "x\\u-10179?}" << u"x\uFFFD"_qs;
    QTest::newRow("high surrogate before a pair") << head + "\\u-10179?\\u-10179?\\u-8704?}" << u"\uFFFD😀"_qs;
    QTest::newRow("upper- and lower-case hex") << head + "\\'82\\'A0\\'81\\'5F\\'81\\'5f}" << u"あ＼＼"_qs;
    QTest::newRow("no code page: 932") << QByteArray("{\\rtf1\\ansi \\'82\\'a0}") << u"あ"_qs;
    QTest::newRow("no code page, font without charset: 932")
        << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 X;}}\\f0 \\'82\\'a0}") << u"あ"_qs;
    QTest::newRow("charset of font 0 wins over \\ansicpg")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset128 X;}}\\f0 \\'82\\'a0}") << u"あ"_qs;
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
    QTest::newRow("hex and \\u mixed in order") << QByteArray("{\\f0\\fcharset128 \\'82\\'6c\\u12354?\\'82\\'72;}")
                                              << u"ＭあＳ"_qs;
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

// How runs of text look (rtf: a file name or the bytes themselves), and the
// alignment of their paragraph; the document's own default font is never used.
void TestRtfDecoding::looks_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("look");
    QTest::addColumn<int>("align");
    const int left = Qt::AlignLeft, right = Qt::AlignRight, centre = Qt::AlignHCenter;
    QTest::newRow("rich-edit Japanese") << QByteArray("richedit_japanese.rtf") << u"こんにちは"_qs << u"ＭＳ 明朝 10.5pt auto"_qs << left;
    QTest::newRow("rich-edit Arial") << QByteArray("richedit_japanese.rtf") << u"ABC"_qs << u"Arial 10.5pt auto"_qs << left;
    QTest::newRow("rich-edit red bold") << QByteArray("richedit_japanese.rtf") << u"赤い"_qs << u"ＭＳ 明朝 10.5pt b #ff0000"_qs << left;
    QTest::newRow("rich-edit bold ends") << QByteArray("richedit_japanese.rtf") << u" x"_qs << u"ＭＳ 明朝 10.5pt auto"_qs << left;
    QTest::newRow("WordPad colour") << QByteArray("wordpad.rtf") << u"caf"_qs << u"Calibri 11pt #004dbb"_qs << right;
    QTest::newRow("WordPad italic") << QByteArray("wordpad.rtf") << u"end"_qs << u"Calibri 11pt i auto"_qs << left;
    QTest::newRow("WordPad Japanese") << QByteArray("wordpad.rtf") << u"日本"_qs << u"MS Gothic 11pt auto"_qs << left;
    QTest::newRow("LibreOffice plain") << QByteArray("libreoffice.rtf") << u"Plain"_qs << u"Liberation Serif 12pt auto"_qs << left;
    QTest::newRow("LibreOffice centred") << QByteArray("libreoffice.rtf") << u"日本"_qs << u"IPAMincho 12pt auto"_qs << centre;
    QTest::newRow("LibreOffice link") << QByteArray("libreoffice.rtf") << u"Link text"_qs << u"Liberation Serif 12pt u #000080"_qs << left;
    QTest::newRow("no \\fs: 12 points") << QByteArray("{\\rtf1{\\fonttbl{\\f0 F;}}\\f0 a}") << u"a"_qs << u"F 12pt auto"_qs << left;
    QTest::newRow("\\fs0: 12 points") << QByteArray("{\\rtf1{\\fonttbl{\\f0 F;}}\\f0\\fs30\\fs0 a}") << u"a"_qs << u"F 12pt auto"_qs << left;
}

void TestRtfDecoding::looks() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QFETCH(QString, look);
    QFETCH(int, align);
    QTextDocument doc;
    doc.setDefaultFont(QFont(u"Serif"_qs, 30));
    rtf::read_into(rtf.endsWith(".rtf") ? test::rtf_data(QString::fromLatin1(rtf)) : rtf, doc);
    const QTextFragment fragment = test::fragment_with(doc, text);
    QCOMPARE(test::look(fragment.charFormat(), doc.defaultFont()), look);
    QCOMPARE(int(doc.findBlock(fragment.position()).blockFormat().alignment() & Qt::AlignHorizontal_Mask), align);
}

QTEST_MAIN(TestRtfDecoding)
#include "tst_rtf_decoding.moc"
