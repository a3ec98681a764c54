// Folding for the full-text searches: case and width forms meet, kana stay apart,
// every hit maps back to exactly the original characters, and every character
// folds the same whatever stands beside it, so nothing literally in a text is lost.

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
        QTest::newRow("half-width keyword, a voiced kana ends the hit") << u"前キーワード後"_qs << u"ｷｰﾜｰﾄﾞ"_qs << 1 << 5;
        QTest::newRow("half-width kana without its sound mark") << u"前ｷｰﾜｰﾄﾞ後"_qs << u"ｷｰﾜｰﾄ"_qs << 1 << 5;
        QTest::newRow("a half-width sound mark on its own") << u"前ｷｰﾜｰﾄﾞ後"_qs << u"ﾞ"_qs << 6 << 1;
        QTest::newRow("kana before a combining sound mark") << u"か\u3099"_qs << u"か"_qs << 0 << 1;
        QTest::newRow("letter before a combining accent") << u"e\u0301"_qs << u"E"_qs << 0 << 1;
        QTest::newRow("not the kana inside a voiced one") << u"xガyガ"_qs << u"ｶ"_qs << -1 << 0;
        QTest::newRow("not the sound mark inside a voiced one") << u"ド"_qs << u"ﾞ"_qs << -1 << 0;
        QTest::newRow("not the letter inside an accented one") << u"é"_qs << u"e"_qs << -1 << 0;
        QTest::newRow("not a Hangul syllable inside a longer one") << u"각"_qs << u"가"_qs << -1 << 0;
        QTest::newRow("not a part of an expansion") << u"x㍻y"_qs << u"平"_qs << -1 << 0;
        QTest::newRow("the whole expansion") << u"x㍻y"_qs << u"平成"_qs << 1 << 1;
        QTest::newRow("a partial candidate passed over") << u"ガカ"_qs << u"カ"_qs << 1 << 1;
        QTest::newRow("a hit overlapping one passed over") << u"iiⅡ"_qs << u"iii"_qs << 1 << 2;
        QTest::newRow("the same past the 64th unit") << QString(63, u'a') + u"ガカ"_qs << u"カ"_qs << 64 << 1;
        QTest::newRow("combining accent") << u"cafe\u0301!"_qs << u"CAFÉ"_qs << 0 << 5;
        QTest::newRow("after a surrogate pair and a lone surrogate") << u"😀\xD800" "Ab"_qs << u"aB"_qs << 3 << 2;
        QTest::newRow("empty keyword finds nothing") << u"abc"_qs << QString() << -1 << 0;
    }
    void hits() {
        QFETCH(QString, text);
        QFETCH(QString, keyword);
        const FoldedText folded = fold_with_map(text);
        QCOMPARE(fold_for_search(text), folded.text);
        const TextHit hit = find_folded(folded, fold_for_search(keyword), 0);
        QTEST(hit.start, "start");
        QTEST(hit.length, "length");
        QCOMPARE(contains_folded(text, fold_for_search(keyword)), hit.start >= 0 || keyword.isEmpty());
    }

    // Every assigned character folds to its compatibility decomposition case
    // folded, the same as the characters it equals in letter case; and beside
    // the characters that composition would join it to, before or after, it
    // still folds the same, with a map that points at it alone.
    void each_character_folds_on_its_own() {
        std::vector<std::pair<QString, QString>> before, after;  // characters and their foldings
        for (const QString& b : {u"ｶ"_qs, u"か"_qs, u"e"_qs, u"\u1100"_qs, u"\u0B47"_qs})
            before.emplace_back(b, fold_for_search(b));
        for (const QString& a : {u"ﾞ"_qs, u"\u3099"_qs, u"\u0301"_qs, u"\u0323"_qs, u"\u1161"_qs, u"\u11A8"_qs, u"\u0B3E"_qs})
            after.emplace_back(a, fold_for_search(a));
        for (char32_t block = 0; block < 0x110000; block += 0x1000) {
            QString whole, expected;
            std::vector<int> from, to;
            const auto add = [&](const QString& piece, const QString& folded) {
                expected += folded;
                from.insert(from.end(), size_t(folded.size()), int(whole.size()));
                to.insert(to.end(), size_t(folded.size()), int(whole.size() + piece.size()));
                whole += piece;
            };
            for (char32_t c = block; c < block + 0x1000; ++c) {
                const QChar::Category category = QChar::category(c);
                if (category == QChar::Other_NotAssigned || category == QChar::Other_PrivateUse
                    || category == QChar::Other_Surrogate)
                    continue;
                const QString ch = QString::fromUcs4(&c, 1);
                const QString folded = fold_for_search(ch);
                const char32_t other_case = QChar::toCaseFolded(c);
                if (folded != ch.normalized(QString::NormalizationForm_KD).toCaseFolded()
                    || folded != fold_for_search(QString::fromUcs4(&other_case, 1)))
                    QFAIL(qPrintable(u"U+%1 folds to %2"_qs.arg(uint(c), 4, 16, QLatin1Char('0')).arg(folded)));
                for (const auto& [b, b_folded] : before) {
                    add(b, b_folded);
                    add(ch, folded);
                }
                for (const auto& [a, a_folded] : after) {
                    add(ch, folded);
                    add(a, a_folded);
                }
            }
            const FoldedText mapped = fold_with_map(whole);
            if (fold_for_search(whole) != expected || mapped.text != expected || mapped.from != from || mapped.to != to)
                QFAIL(qPrintable(u"a text of U+%1 to U+%2 folds differently whole"_qs.arg(uint(block), 4, 16)
                                     .arg(uint(block + 0xFFF), 4, 16)));
        }
    }
};

QTEST_APPLESS_MAIN(TestTextFold)
#include "tst_text_fold.moc"
