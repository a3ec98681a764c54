// Reading 【ハコネル】's index and body files.

#include "store/cp932.h"
#include "store/hakor_import.h"
#include "support/hakor_folder.h"
#include "support/test_folder.h"

#include <QTest>

using namespace tz;
using namespace tz::hakor;

class TestHakor : public QObject {
    Q_OBJECT
private slots:
    void index_records_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<QString>("last_title");
        QTest::addColumn<QString>("last_marker");
        const QByteArray one = test::crlf_lines(test::hakor_lines({}));
        QTest::newRow("empty") << QByteArray() << 0 << false << QString() << QString();
        QTest::newRow("two records") << one + cp932::encode(u"d\r\n全部\r\n題二\r\n0\r\n\r\nSECRET\r\n") << 2 << false
                                     << "題二" << "SECRET";
        QTest::newRow("cut inside the last") << one + "d\r\nc\r\nt\r\n" << 2 << true << "t" << "";
        QTest::newRow("one line only") << QByteArray("\r\n") << 1 << true << "" << "";
        QTest::newRow("lone LF stays in a title") << QByteArray("d\r\nc\r\nab\ncd\r\n0\r\n\r\nx\r\n") << 1 << false << "ab\ncd" << "x";
        QByteArray garbage;
        for (int i = 0; i < 3'000'000; ++i) garbage += char(i % 97 == 0 ? 0 : 0x80 + (i * 31) % 128);  // no CR, no LF
        QTest::newRow("megabytes without a line end") << garbage << 1 << true << "" << "";
    }
    void index_records() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, records);
        QFETCH(bool, cut);
        QFETCH(QString, last_title);
        QFETCH(QString, last_marker);
        const Index index = index_from_bytes(bytes);
        QCOMPARE(int(index.records.size()), records);
        QCOMPARE(index.cut_short, cut);
        if (!index.records.empty()) {
            QCOMPARE(index.records.back().title, last_title);
            QCOMPARE(index.records.back().marker, last_marker);
        }
    }

    void body_text_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("closing CR LF dropped") << cp932::encode(u"一行目\r\n二行目\r\n") << "一行目\r\n二行目";
        QTest::newRow("no closing CR LF: nothing dropped") << QByteArray("abc") << "abc";
        QTest::newRow("LF alone kept") << QByteArray("ab\n") << "ab\n";
        QTest::newRow("empty") << QByteArray() << "";
        QTest::newRow("one byte") << QByteArray("\r") << "\r";
        QTest::newRow("only CR LF") << QByteArray("\r\n") << "";
    }
    void body_text() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(hakor::body_text(bytes), text);
    }
};

QTEST_GUILESS_MAIN(TestHakor)
#include "tst_hakor.moc"
