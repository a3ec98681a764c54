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

    void known_codes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii and backslash") << QByteArray("a\\b~") << QStringLiteral("a\\b~");
        QTest::newRow("wave dash 8160") << QByteArray("\x81\x60") << QString(QChar(0xFF5E));
        QTest::newRow("circled one 8740") << QByteArray("\x87\x40") << QStringLiteral("①");
        QTest::newRow("trail 5C") << QByteArray("\x95\x5c") << QStringLiteral("表");
        QTest::newRow("half-width katakana") << QByteArray("\xcc\xa7\xb2\xd9") << QStringLiteral("ﾌｧｲﾙ");
        QTest::newRow("kanji") << QByteArray("\x89\xef\x8b\x63") << QStringLiteral("会議");
        QTest::newRow("IBM extension") << QByteArray("\xfa\x40") << QStringLiteral("ⅰ");
        QTest::newRow("CR LF") << QByteArray("\r\n") << QStringLiteral("\r\n");
    }
    void known_codes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(cp932::decode(bytes), text);
        QCOMPARE(cp932::encode(text), bytes);
    }

    // What input methods give beyond the code page is written as Windows
    // writes it; anything else becomes "?".
    void characters_outside_the_code_page_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("best fit") << QStringLiteral("10時〜12時−‖—¢£¬¥‾")
                                  << QByteArray("10\x8e\x9e\x81\x60" "12\x8e\x9e\x81\x7c\x81\x61\x81\x5c\x81\x91\x81\x92\x81\xca\x5c\x7e");
        QTest::newRow("hangul") << QStringLiteral("가a") << QByteArray("?a");
        QTest::newRow("emoji is one ?") << QStringLiteral("x😀y") << QByteArray("x?y");
        QTest::newRow("accented latin") << QStringLiteral("café") << QByteArray("caf?");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("?");
    }
    void characters_outside_the_code_page() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(cp932::encode(text), bytes);
    }

    void broken_bytes_decode_without_losing_what_follows() {
        // A lead byte at the end, and a lead byte with an invalid trail.
        QCOMPARE(cp932::decode(QByteArray("ab\x82")), QStringLiteral("ab") + QChar(0xFFFD));
        QCOMPARE(cp932::decode(QByteArray("\x82\x20x")), QString(QChar(0xFFFD)) + QStringLiteral(" x"));
        // Single bytes outside the table survive a read and a write.
        const QByteArray odd("\x80\xa0\xfd\xfe\xff", 5);
        QCOMPARE(cp932::encode(cp932::decode(odd)), odd);
    }
};

QTEST_APPLESS_MAIN(TestCp932)
#include "tst_cp932.moc"
