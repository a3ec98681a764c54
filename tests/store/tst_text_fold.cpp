// Folding for the full-text searches: letter case of every script and the
// full-width and half-width forms meet, kana stay apart, and every hit maps
// back to exactly the characters of the original text. Folding piece by piece
// (with the map) must give what folding the whole text gives, or the two
// searches would disagree.

#include "store/text_fold.h"

#include <QTest>

using namespace tz;

class TestTextFold : public QObject {
    Q_OBJECT
private slots:
    void hits_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("start");   // -1: no hit
        QTest::addColumn<int>("length");  // in original code units
        QTest::newRow("ASCII case") << u"xx abc"_qs << u"ABC"_qs << 0 << 3 << 3;
        QTest::newRow("full-width letters and digits") << u"ＡＢＣ１２"_qs << u"abc12"_qs << 0 << 0 << 5;
        QTest::newRow("half-width keyword, full-width text") << u"型番ＡＢＣ"_qs << u"abc"_qs << 0 << 2 << 3;
        QTest::newRow("half-width kana with sound mark") << u"xｶﾞｲﾄﾞ"_qs << u"ガイド"_qs << 0 << 1 << 5;
        QTest::newRow("full-width kana against half-width keyword") << u"ガイド"_qs << u"ｶﾞｲﾄﾞ"_qs << 0 << 0 << 3;
        QTest::newRow("sound mark stays with its kana") << u"ｶﾞ"_qs << u"カ"_qs << 0 << -1 << 0;
        QTest::newRow("hiragana is not katakana") << u"あいう"_qs << u"アイウ"_qs << 0 << -1 << 0;
        QTest::newRow("Greek final sigma") << u"ΟΔΟΣ"_qs << u"οδος"_qs << 0 << 0 << 4;
        QTest::newRow("Cyrillic") << u"Привет"_qs << u"ПРИВЕТ"_qs << 0 << 0 << 6;
        QTest::newRow("ligature") << u"a\uFB01b"_qs << u"FI"_qs << 0 << 1 << 1;
        QTest::newRow("inside an expansion selects the whole sign") << u"x㍻y"_qs << u"成"_qs << 0 << 1 << 1;
        QTest::newRow("combining accent") << u"cafe\u0301!"_qs << u"CAFÉ"_qs << 0 << 0 << 5;
        QTest::newRow("Hangul jamo compose") << u"x\u1100\u1161\u11A8"_qs << u"각"_qs << 0 << 1 << 3;
        QTest::newRow("after a surrogate pair") << u"😀Ab"_qs << u"aB"_qs << 0 << 2 << 2;
        QTest::newRow("from skips earlier hits") << u"aXbXa"_qs << u"x"_qs << 2 << 3 << 1;
        QTest::newRow("overlapping") << u"aaa"_qs << u"aa"_qs << 1 << 1 << 2;
        QTest::newRow("from past the last hit") << u"aaa"_qs << u"aa"_qs << 2 << -1 << 0;
        QTest::newRow("empty keyword finds nothing") << u"abc"_qs << QString() << 0 << -1 << 0;
    }
    void hits() {
        QFETCH(QString, text);
        QFETCH(QString, keyword);
        QFETCH(int, from);
        QFETCH(int, start);
        QFETCH(int, length);
        const FoldedText folded = fold_with_map(text);
        // Piece by piece, the text folds as it does whole.
        QCOMPARE(folded.text, text.normalized(QString::NormalizationForm_KC).toCaseFolded());
        QCOMPARE(fold_for_search(text), folded.text);
        QCOMPARE(folded.from.size(), size_t(folded.text.size()));
        const TextHit hit = find_folded(folded, fold_for_search(keyword), from);
        QCOMPARE(hit.start, start);
        QCOMPARE(hit.length, length);
    }
};

QTEST_APPLESS_MAIN(TestTextFold)
#include "tst_text_fold.moc"
