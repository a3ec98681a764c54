// Robustness: damaged and hostile input ends in a result, never a crash or a
// hang, and both consumers of the reader agree on it.

#include "rtf_test_util.h"

#include <QTest>

using namespace tz;

class TestRtfRobustness : public QObject {
    Q_OBJECT
private slots:
    void inputs_data();
    void inputs();
    void many_fonts();
    void stateful_code_page();
    void truncated_files();
};

void TestRtfRobustness::inputs_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    const int n = 100000;
    QTest::newRow("100,000 nested braces")
        << "{\\rtf1 " + QByteArray(n, '{') + "deep" + QByteArray(n, '}') + " after}" << u"deep after"_qs;
    QTest::newRow("100,000 braces never closed") << "{\\rtf1 a" + QByteArray(n, '{') + "b" << u"ab"_qs;
    QTest::newRow("formats deep down") << "{\\rtf1 " + QByteArray(n, '{').replace("{", "{\\b ") + "x" << u"x"_qs;
    QTest::newRow("\\bin999999999") << QByteArray("{\\rtf1 a\\bin999999999 xyz}") << u"a"_qs;
    QTest::newRow("\\bin with braces in a skipped group")
        << QByteArray("{\\rtf1 a{\\*\\foo \\bin4 }}}}b}c}") << u"ac"_qs;
    QTest::newRow("\\bin negative") << QByteArray("{\\rtf1 a\\bin-5 b}") << u"ab"_qs;
    QTest::newRow("stray brace inside") << QByteArray("{\\rtf1 {a}}b}") << u"a"_qs;
    QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zzb\\'4c\\'4}") << u"azzbL"_qs;
    QTest::newRow("lead byte at the end") << QByteArray("{\\rtf1 a\\'82}") << u"a\uFFFD"_qs;
    QTest::newRow("backslash at the end") << QByteArray("{\\rtf1 a\\") << u"a"_qs;
    QTest::newRow("header only") << QByteArray("{\\rtf") << QString();
    QTest::newRow("huge numbers")
        << QByteArray("{\\rtf1\\fs99999999999\\f-2147483648\\cf-1\\u99999999?a\\u-2147483648?b\\uc99 \\u65?"
                      "cdefghijklmnopqrstuvwxyz}")
        << u"\uFFFDa\uFFFDbArstuvwxyz"_qs;
    QTest::newRow("long control word") << "{\\rtf1 a\\" + QByteArray(5000, 'x') + "123 b}" << u"ab"_qs;
    QTest::newRow("colour index out of range") << QByteArray("{\\rtf1{\\colortbl;\\red1;}\\cf7 a\\cf1 b}") << u"ab"_qs;
    QTest::newRow("font index out of range") << QByteArray("{\\rtf1{\\fonttbl{\\f0 A;}}\\f9 a}") << u"a"_qs;
    QTest::newRow("NUL bytes") << QByteArray("{\\rtf1 a\0b}", 11) << u"ab"_qs;
}

void TestRtfRobustness::inputs() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(test::document_text(rtf), text);
    QCOMPARE(rtf::plain_text(rtf), text);
}

// A large font table is kept whole and found by number.
void TestRtfRobustness::many_fonts() {
    QByteArray rtf_bytes = "{\\rtf1\\ansi{\\fonttbl";
    for (int i = 0; i < 40000; ++i) rtf_bytes += "{\\f" + QByteArray::number(i) + "\\fcharset0 Font" + QByteArray::number(i) + ";}";
    QTextDocument doc;
    rtf::read_into(rtf_bytes + "}\\f39999 z\\f12345 y}", doc);
    QCOMPARE(test::family(test::fragment_with(doc, u"z"_qs).charFormat()), u"Font39999"_qs);
    QCOMPARE(test::family(test::fragment_with(doc, u"y"_qs).charFormat()), u"Font12345"_qs);
}

// A code page with shift states (EBCDIC 930) left shifted at the end of one
// piece of text must not change how the next piece, or the next file, reads.
void TestRtfRobustness::stateful_code_page() {
    const QByteArray rtf_bytes = "{\\rtf1\\ansicpg930 \\'0e\\'44\\'5a\\par \\'c1\\'0e}";
    const QString first = rtf::plain_text(rtf_bytes);
    QCOMPARE(rtf::plain_text(rtf_bytes), first);
    QCOMPARE(test::document_text(rtf_bytes), first);
}

// Every test file cut short anywhere still reads, the same way through both paths.
void TestRtfRobustness::truncated_files() {
    for (const QString& file : test::rtf_data_files()) {
        const QByteArray bytes = test::rtf_data(file);
        for (qsizetype cut = 0; cut < bytes.size(); cut += 1 + cut / 16) {
            const QByteArray part = bytes.left(cut);
            QCOMPARE(test::document_text(part), rtf::plain_text(part));
        }
    }
}

QTEST_MAIN(TestRtfRobustness)
#include "tst_rtf_robustness.moc"
