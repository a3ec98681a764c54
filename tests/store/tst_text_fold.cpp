// Folding for the full-text searches: case and width forms meet, kana stay apart,
// every hit maps back to exactly the original characters, and folding piece by
// piece (with the map) gives what folding the whole text gives.

#include "store/text_fold.h"

#include <QTest>

using namespace tz;

class TestTextFold : public QObject {
    Q_OBJECT
private slots:
    void hits_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<int>("start");  // -1: no hit
        QTest::addColumn<int>("length");  // in original code units
        QTest::newRow("full-width letters and digits") << u"型番ＡＢＣ１２"_qs << u"abc12"_qs << 2 << 5;
        QTest::newRow("full-width kana against half-width keyword") << u"ガイド"_qs << u"ｶﾞｲﾄﾞ"_qs << 0 << 3;
        QTest::newRow("sound mark stays with its kana") << u"ｶﾞ"_qs << u"カ"_qs << -1 << 0;
        QTest::newRow("hiragana is not katakana") << u"あいう"_qs << u"アイウ"_qs << -1 << 0;
        QTest::newRow("Greek final sigma") << u"ΟΔΟΣ"_qs << u"οδος"_qs << 0 << 4;
        QTest::newRow("a hit inside an expansion selects the whole sign") << u"x㍻y"_qs << u"成"_qs << 1 << 1;
        QTest::newRow("combining accent") << u"cafe\u0301!"_qs << u"CAFÉ"_qs << 0 << 5;
        QTest::newRow("after a surrogate pair") << u"😀Ab"_qs << u"aB"_qs << 2 << 2;
        QTest::newRow("empty keyword finds nothing") << u"abc"_qs << QString() << -1 << 0;
    }
    void hits() {
        QFETCH(QString, text);
        QFETCH(QString, keyword);
        const FoldedText folded = fold_with_map(text);
        QCOMPARE(folded.text, text.normalized(QString::NormalizationForm_KC).toCaseFolded());
        QCOMPARE(fold_for_search(text), folded.text);
        const TextHit hit = find_folded(folded, fold_for_search(keyword), 0);
        QTEST(hit.start, "start");
        QTEST(hit.length, "length");
    }
};

QTEST_APPLESS_MAIN(TestTextFold)
#include "tst_text_fold.moc"
