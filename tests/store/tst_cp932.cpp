#include "store/cp932.h"

#include <QTest>

using namespace tz;

class TestCp932 : public QObject {
    Q_OBJECT
private slots:
    void every_double_byte_character_round_trips() {
        int characters = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!cp932::is_lead_byte(uchar(lead))) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char16_t c = cp932::decode_pair(uchar(lead), uchar(trail));
                if (c == 0) continue;
                ++characters;
                const QString text(1, QChar(c));
                const QByteArray bytes = cp932::encode(text);
                QCOMPARE(bytes.size(), 2);
                // Duplicate codes (NEC and IBM rows) encode to one canonical code
                // that decodes to the same character.
                QCOMPARE(cp932::decode(bytes), text);
            }
        }
        QVERIFY(characters > 7000);
    }

    // What input methods give beyond the code page is written as Windows writes
    // it, anything else as "?"; broken bytes decode without losing what follows.
    void codes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("decodes");  // the bytes read back as the text
        QTest::addColumn<bool>("encodes");  // the text is written as the bytes
        QTest::newRow("ascii and backslash") << QByteArray("a\\b~\r\n") << u"a\\b~\r\n"_qs << true << true;
        QTest::newRow("wave dash, NEC row 13, trail 5C, kanji, IBM extension")
            << QByteArray("\x81\x60\x87\x40\x95\x5c\x89\xef\x8b\x63\xfa\x40") << u"\uFF5E①表会議ⅰ"_qs << true << true;
        QTest::newRow("half-width katakana") << QByteArray("\xa1\xcc\xa7\xb2\xd9\xdf") << u"｡ﾌｧｲﾙﾟ"_qs << true << true;
        QTest::newRow("single bytes outside the table")
            << QByteArray("\x80\xa0\xfd\xfe\xff", 5) << u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3"_qs << true << true;
        QTest::newRow("best fit")
            << QByteArray("10\x8e\x9e\x81\x60" "12\x8e\x9e\x81\x7c\x81\x61\x81\x5c\x81\x91\x81\x92\x81\xca\x5c\x7e")
            << u"10時〜12時−‖—¢£¬¥‾"_qs << false << true;
        QTest::newRow("hangul and accented latin") << QByteArray("?a caf?") << u"가a café"_qs << false << true;
        QTest::newRow("emoji is one ?") << QByteArray("x?y") << u"x😀y"_qs << false << true;
        QTest::newRow("lone surrogates") << QByteArray("?a??") << QString(QChar(0xD800) + u"a"_qs + QChar(0xDC00) + QChar(0xD800)) << false << true;
        QTest::newRow("bad trail, lead byte last") << QByteArray("\x82\x20x\x82") << u"\uFFFD x\uFFFD"_qs << true << false;
    }
    void codes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(bool, decodes);
        QFETCH(bool, encodes);
        if (decodes) QCOMPARE(cp932::decode(bytes), text);
        if (encodes) QCOMPARE(cp932::encode(text), bytes);
    }

    // What the windows refuse: each character once, in order; with Fit::Exact
    // also what is written as a nearest character and reads back as another.
    void unwritable_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("nearest");
        QTest::addColumn<QStringList>("exact");
        const QString lone = QString(QChar(0xD800)) + u"a"_qs + QChar(0xDC00) + QChar(0xD800);
        QTest::newRow("code page text and a literal ?") << u"会議 a\\?～ｶﾀｶﾅ\u0080\uF8F0"_qs << QStringList{} << QStringList{};
        QTest::newRow("NEC and IBM extensions") << u"①髙ⅰ"_qs << QStringList{} << QStringList{};
        QTest::newRow("accented latin and emoji, repeated")
            << u"café😀é😁😀"_qs << QStringList{"é", "😀", "😁"} << QStringList{"é", "😀", "😁"};
        const QStringList lone_ones{lone.left(1), lone.mid(2, 1)};
        QTest::newRow("lone surrogates") << lone << lone_ones << lone_ones;
        QTest::newRow("replacement character and hangul")
            << u"\uFFFD가"_qs << QStringList{"\uFFFD", "가"} << QStringList{"\uFFFD", "가"};
        QTest::newRow("nearest characters") << u"〜¥−‖—¢£¬‾x"_qs << QStringList{}
                                            << QStringList{"〜", "¥", "−", "‖", "—", "¢", "£", "¬", "‾"};
    }
    void unwritable() {
        QFETCH(QString, text);
        QTEST(cp932::unwritable(text), "nearest");
        QTEST(cp932::unwritable(text, cp932::Fit::Exact), "exact");
    }
};

QTEST_APPLESS_MAIN(TestCp932)
#include "tst_cp932.moc"
