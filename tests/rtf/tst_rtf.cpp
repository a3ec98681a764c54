// The RTF engine. Reading: what the reader makes of the headers, code pages, escapes, Unicode
// forms and formats that Windows rich-edit controls, LibreOffice and WordPad
// write, of files without an RTF header, and of damaged and hostile input, which
// ends in a result, never a crash or a hang; both consumers of the reader agree,
// and so does the rtf2txt tool.

// Writing and pictures: what the writer writes the reader shows the same (every attribute,
// alignment, picture bytes); pasted content keeps its text. Each kind of picture the reader knows
// shows as an image of the right pixels and size, the plain-text path sees it without decoding its
// data, and one it cannot show becomes a placeholder that is written back.

#include "rtf_test_util.h"
#include "rtf/picture.h"
#include "rtf/writer.h"
#include "store/hakor_import.h"

#include <QCryptographicHash>
#include <QPixmap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QUrl>

using namespace tz;

namespace {

// The exit code (-1 for a crash) and the output of one run of rtf2txt.
std::pair<int, QString> rtf2txt(const QStringList& args) {
    QProcess p;
    p.start(qEnvironmentVariable("TZ_TOOLS_DIR") + u"/rtf2txt"_qs, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput())};
}

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

class TestRtf : public QObject {
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
        QTest::newRow("no line end; a lone LF after a lone LF") << QByteArray("ab\r\ncd\n\nef") << u"ab\ncd\n\nef"_qs;
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

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"
