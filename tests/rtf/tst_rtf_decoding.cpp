// Reading: what the reader makes of the headers, code pages, escapes, Unicode
// forms and formats that Windows rich-edit controls, LibreOffice and WordPad
// write, of files without an RTF header, and of damaged and hostile input, which
// ends in a result, never a crash or a hang; both consumers of the reader agree,
// and so does the rtf2txt tool.

#include "rtf_test_util.h"
#include "store/hakor_import.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

namespace {

// The exit code (-1 for a crash) and the output of one run of rtf2txt.
std::pair<int, QString> rtf2txt(const QStringList& args) {
    QProcess p;
    p.start(qEnvironmentVariable("TZ_TOOLS_DIR") + u"/rtf2txt"_qs, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput())};
}

}  // namespace

class TestRtfDecoding : public QObject {
    Q_OBJECT
private slots:
    void text_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("rich-edit Japanese") << QByteArray("richedit_japanese.rtf") << u"こんにちはABC\n表ソ―\n表ソボマア\n赤い x"_qs;
        QTest::newRow("pair split by a line end") << QByteArray("richedit_linewrap.rtf") << u"あい"_qs;
        QTest::newRow("unicode and fallbacks") << QByteArray("unicode.rtf") << u"あい|う|え|ｱ|😀|おX"_qs;
        QTest::newRow("LibreOffice") << QByteArray("libreoffice.rtf") << u"Plain line\n日本　\nLink text after\n•\tItem"_qs;
        QTest::newRow("WordPad") << QByteArray("wordpad.rtf") << u"café €\n日本\tend"_qs;
        QTest::newRow("plain Shift-JIS lines") << QByteArray("plain_sjis.txt") << u"日本語の行\n\n  表 {x}\\y"_qs;
        QTest::newRow("only CR LF") << QByteArray("crlf_only.txt") << QString();
        // Without an RTF header the last line keeps its last character whatever ends it.
        QTest::newRow("no line end") << QByteArray("ab\r\ncd") << u"ab\ncd"_qs;
        QTest::newRow("empty first line, bare LF, ends in CR") << QByteArray("\nab\n\x95\x5c\r") << u"\nab\n表"_qs;
        QTest::newRow("empty file") << QByteArray("empty.rtf") << QString();
        const QByteArray head = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 X;}}\\f0 ";
        QTest::newRow("uc1 skips a byte, uc2 a pair, a control word counts one")
            << head + "\\uc1\\u12354\\'3fA\\uc2\\u12354\\'82\\'a0B\\uc1\\u12354\\tab C}" << u"あAあBあC"_qs;
        QTest::newRow("brace ends a skip") << head + "{\\uc3\\u12354 x}yz}" << u"あyz"_qs;
        QTest::newRow("uc is kept per group") << head + "{\\uc2 a}\\u12354 ?b}" << u"aあb"_qs;
        QTest::newRow("lone surrogates: high, low, high before a pair, high at the end")
            << head + "\\u-10179?x\\u-8704?y\\u-10179?\\u-10179?\\u-8704?z\\u-10179?}" << u"\uFFFDx\uFFFDy\uFFFD😀z\uFFFD"_qs;
        QTest::newRow("upper- and lower-case hex") << head + "\\'82\\'A0\\'81\\'5F\\'81\\'5f}" << u"あ＼＼"_qs;
        QTest::newRow("blanks and line ends before the header") << QByteArray(" \t\r\n{\\rtf1 a}") << u"a"_qs;
        QTest::newRow("no code page: 932") << QByteArray("{\\rtf1\\ansi \\'82\\'a0}") << u"あ"_qs;
        QTest::newRow("no code page, font without charset: 932")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 X;}}\\f0 \\'82\\'a0}") << u"あ"_qs;
        QTest::newRow("charset of font 0 wins over \\ansicpg")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset128 X;}}\\f0 \\'82\\'a0}") << u"あ"_qs;
        QTest::newRow("\\ansicpg1252 without fonts") << QByteArray("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9}") << u"café"_qs;
        // A code page with shift states (EBCDIC 930) left shifted at the end of one piece of text must not
        // change how the next piece, or the next file (the second reader below), reads.
        QTest::newRow("stateful code page")
            << QByteArray("{\\rtf1\\ansicpg930 \\'0e\\'44\\'5a\\par \\'c1\\'0e}") << u"DZ\nA"_qs;
        QTest::newRow("font \\cpg wins over charset")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset0\\cpg932 X;}}\\f0 \\'82\\'a0}") << u"あ"_qs;
        QTest::newRow("empty paragraph, \\ before line end, line, tab, no-break space, last \\par")
            << head + "a\\par\\par b\\\nc\\line d\\tab e\\~f\\par\\par}" << u"a\n\nb\nc\nd\te f\n"_qs;
        QTest::newRow("special characters")
            << head + "\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\emspace\\enspace\\qmspace\\zwj\\zwnj\\ltrmark\\rtlmark}"
        << u"—–•‘’“”\u2003\u2002\u2005\u200D\u200C\u200E\u200F"_qs;
        QTest::newRow("hidden text") << head + "a{\\v hidden}b\\v c\\v0 d}" << u"abd"_qs;
        QTest::newRow("skipped destinations, known and starred")
            << head + "{\\info{\\title T}}{\\stylesheet{S;}}{\\header H}{\\footer F}a{\\*\\whatever {x}y}b}" << u"ab"_qs;
        QTest::newRow("\\upr: the \\ud version only")
            << head + "a{\\upr{ANSI\\'82\\'a0\\par}{\\*\\ud{UNI\\u12354?}}}b}" << u"aUNIあb"_qs;
        QTest::newRow("table cells and rows")
            << head + "\\trowd\\cellx1000\\cellx2000 a\\cell b\\cell\\row c\\cell d\\cell\\row}" << u"a\tb\nc\td"_qs;
        QTest::newRow("optional hyphen, unknown word, control characters in hex")
            << head + "a\\-b\\foo12 c\\'0d\\'0ad\\'00e}" << u"abcde"_qs;
        QTest::newRow("field shows its result; nonshppict skipped, shppict read")
            << head + "{\\field{\\*\\fldinst HYPERLINK u}{\\fldrslt link}}{\\*\\shppict{\\pict\\pngblip 00}}"
                      "{\\nonshppict{\\pict\\wmetafile8 00}}}" << u"link\uFFFC"_qs;
        const int n = 100000;
        QTest::newRow("100,000 nested braces")
            << "{\\rtf1 " + QByteArray(n, '{') + "deep" + QByteArray(n, '}') + " after}" << u"deep after"_qs;
        QTest::newRow("100,000 braces with formats never closed")
            << "{\\rtf1 a" + QByteArray(n, '{').replace("{", "{\\b ") + "b" << u"ab"_qs;
        QTest::newRow("\\bin999999999") << QByteArray("{\\rtf1 a\\bin999999999 xyz}") << u"a"_qs;
        QTest::newRow("\\bin with braces in a skipped group, \\bin negative")
            << QByteArray("{\\rtf1 a{\\*\\foo \\bin4 }}}}b}c\\bin-5 d}") << u"acd"_qs;
        QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zzb\\'4c\\'4}") << u"azzbL"_qs;
        QTest::newRow("lead byte at the end") << QByteArray("{\\rtf1 a\\'82}") << u"a\uFFFD"_qs;
        QTest::newRow("backslash at the end") << QByteArray("{\\rtf1 a\\") << u"a"_qs;
        QTest::newRow("header only") << QByteArray("{\\rtf") << QString();
        QTest::newRow("huge numbers")
            << QByteArray("{\\rtf1\\fs99999999999\\f-2147483648\\cf-1\\u99999999?a\\u-2147483648?b\\uc99 \\u65?"
                          "cdefghijklmnopqrstuvwxyz}") << u"\uFFFDa\uFFFDbArstuvwxyz"_qs;
        QTest::newRow("long control word") << "{\\rtf1 a\\" + QByteArray(5000, 'x') + "123 b}" << u"ab"_qs;
        QTest::newRow("colour index out of range") << QByteArray("{\\rtf1{\\colortbl;\\red1;}\\cf7 a\\cf1 b}") << u"ab"_qs;
        QTest::newRow("font index out of range") << QByteArray("{\\rtf1{\\fonttbl{\\f0 A;}}\\f9 a}") << u"a"_qs;
        // An imported body that would be read as RTF is written as RTF that shows it as it stands.
        QTest::newRow("imported body beginning like RTF")
            << hakor::rich_body_bytes(u"{\\rtf1\\b 太字}\\par {x}\tA\r\n\r\n二\rthree\nfour ①ｱ\\"_qs)
            << u"{\\rtf1\\b 太字}\\par {x}\tA\n\n二\nthree\nfour ①ｱ\\"_qs;
        QTest::newRow("imported body, blanks and a line end before an RTF header")
            << hakor::rich_body_bytes(u" \t\r\n{\\rtf1 a}"_qs) << u" \t\n{\\rtf1 a}"_qs;
        QTest::newRow("NUL bytes; text after the last brace") << QByteArray("{\\rtf1 a\0b}c", 12) << u"ab"_qs;
    }

    void text() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        const QByteArray bytes = test::bytes_of(rtf);
        QCOMPARE(test::document_text(bytes), text);
        QCOMPARE(rtf::plain_text(bytes), text);
    }

    // How runs of text look, and the alignment of their paragraph; the document's
    // own default font is never used.
    void looks_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("look");
        QTest::addColumn<int>("align");
        const int left = Qt::AlignLeft, right = Qt::AlignRight, centre = Qt::AlignHCenter;
        QTest::newRow("rich-edit red bold") << QByteArray("richedit_japanese.rtf") << u"赤い"_qs << u"ＭＳ 明朝 10.5pt b #ff0000"_qs << left;
        QTest::newRow("rich-edit bold ends") << QByteArray("richedit_japanese.rtf") << u" x"_qs << u"ＭＳ 明朝 10.5pt auto"_qs << left;
        QTest::newRow("WordPad colour") << QByteArray("wordpad.rtf") << u"caf"_qs << u"Calibri 11pt #004dbb"_qs << right;
        QTest::newRow("WordPad italic") << QByteArray("wordpad.rtf") << u"end"_qs << u"Calibri 11pt i auto"_qs << left;
        QTest::newRow("WordPad Japanese") << QByteArray("wordpad.rtf") << u"日本"_qs << u"MS Gothic 11pt auto"_qs << left;
        QTest::newRow("LibreOffice centred") << QByteArray("libreoffice.rtf") << u"日本"_qs << u"IPAMincho 12pt auto"_qs << centre;
        QTest::newRow("LibreOffice link") << QByteArray("libreoffice.rtf") << u"Link text"_qs << u"Liberation Serif 12pt u #000080"_qs << left;
        QTest::newRow("no \\fs: 12 points") << QByteArray("{\\rtf1{\\fonttbl{\\f0 F;}}\\f0 a}") << u"a"_qs << u"F 12pt auto"_qs << left;
        QTest::newRow("\\fs0: 12 points") << QByteArray("{\\rtf1{\\fonttbl{\\f0 F;}}\\f0\\fs30\\fs0 a}") << u"a"_qs << u"F 12pt auto"_qs << left;
        const auto table = [](const char* fonts) { return "{\\rtf1\\ansi\\ansicpg932{\\fonttbl" + QByteArray(fonts) + "}\\f0 text}"; };
        QTest::newRow("font name: without group") << table("\\f0\\fswiss\\fcharset0 Arial;") << u"text"_qs << u"Arial 12pt auto"_qs << left;
        QTest::newRow("font name: alternative skipped")
            << table("{\\f0 Liberation Serif{\\*\\falt Times};}") << u"text"_qs << u"Liberation Serif 12pt auto"_qs << left;
        QTest::newRow("font name: hex, \\u and a blank mixed in order")
            << table("{\\f0\\fcharset128 \\'82\\'6c\\u12354?\\u-187? x\\'82\\'72;}") << u"text"_qs << u"Ｍあｅ xＳ 12pt auto"_qs << left;
        QTest::newRow("font name: no semicolon") << table("{\\f0\\fcharset0 Courier}") << u"text"_qs << u"Courier 12pt auto"_qs << left;
        QByteArray many = "{\\rtf1\\ansi{\\fonttbl";
        for (int i = 0; i < 40000; ++i) many += "{\\f" + QByteArray::number(i) + "\\fcharset0 Font" + QByteArray::number(i) + ";}";
        many += "}\\f39999 z\\f12345 y}";
        QTest::newRow("40,000 fonts: the last") << many << u"z"_qs << u"Font39999 12pt auto"_qs << left;
        QTest::newRow("40,000 fonts: one between") << many << u"y"_qs << u"Font12345 12pt auto"_qs << left;
    }

    void looks() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QTextDocument doc;
        doc.setDefaultFont(QFont(u"Serif"_qs, 30));
        rtf::read_into(test::bytes_of(rtf), doc);
        const QTextFragment fragment = test::fragment_with(doc, text);
        QTEST(test::look(fragment.charFormat(), doc.defaultFont()), "look");
        QTEST(int(doc.findBlock(fragment.position()).blockFormat().alignment() & Qt::AlignHorizontal_Mask), "align");
    }


    // Every test file cut short anywhere still reads, the same way through both paths.
    void truncated_files() {
        for (const QString& file : QDir(test::rtf_data_dir()).entryList({u"*.rtf"_qs, u"*.txt"_qs}, QDir::Files)) {
            const QByteArray bytes = test::rtf_data(file);
            for (qsizetype cut = 0; cut < bytes.size(); cut += 1 + cut / 16)
                QCOMPARE(test::document_text(bytes.left(cut)), rtf::plain_text(bytes.left(cut)));
        }
    }

    // The text of each file, one line per paragraph, through either path; a non-zero exit for a file it
    // cannot open or write; --roundtrip writes a file that reads back with the same text.
    void the_rtf2txt_tool() {
        if (!QFileInfo::exists(qEnvironmentVariable("TZ_TOOLS_DIR") + u"/rtf2txt"_qs)) QSKIP("rtf2txt is not built");
        const QString dir = test::rtf_data_dir() + u'/';
        const QString rich = dir + u"richedit_japanese.rtf"_qs, text = u"こんにちはABC\n表ソ―\n表ソボマア\n赤い x\n"_qs;
        for (const QStringList& option : {QStringList(), QStringList{u"--document"_qs}})
            QCOMPARE(rtf2txt(option + QStringList{rich, dir + u"plain_sjis.txt"_qs}),
                     std::pair(0, text + u"日本語の行\n\n  表 {x}\\y\n"_qs));
        // A file that cannot be read fails the run; the others are still shown.
        QCOMPARE(rtf2txt({rich, u"/no/such/file"_qs}), std::pair(1, text));
        QTemporaryDir out;
        QCOMPARE(rtf2txt({u"--roundtrip"_qs, out.filePath(u"out.rtf"_qs), dir + u"libreoffice.rtf"_qs}).first, 0);
        QCOMPARE(rtf2txt({out.filePath(u"out.rtf"_qs)}).second, rtf2txt({dir + u"libreoffice.rtf"_qs}).second);
        QCOMPARE(rtf2txt({u"--roundtrip"_qs, out.filePath(u"no/dir/out.rtf"_qs), rich}).first, 1);
    }
};

QTEST_MAIN(TestRtfDecoding)
#include "tst_rtf_decoding.moc"
