// Reading 【ハコネル】's index and body files.

#include "store/hakor_import.h"

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
        QTest::addColumn<QString>("last");  // the last record's title and marker
        QTest::newRow("empty") << QByteArray() << 0 << false << QString();
        QTest::newRow("cut inside the last")
            << QByteArray("d\r\nc\r\nt1\r\n0\r\n\r\nx\r\nd\r\nc\r\nt\r\n") << 2 << true << "t|";
        QTest::newRow("one line only") << QByteArray("\r\n") << 1 << true << "|";
        QTest::newRow("lone LF stays in a title") << QByteArray("d\r\nc\r\nab\ncd\r\n0\r\n\r\nx\r\n") << 1 << false << "ab\ncd|x";
        // Megabytes of garbage without a line end, a lead byte last: one cut record, read without a hang.
        QByteArray garbage(3'000'000, '\0');
        for (int i = 0; i < garbage.size(); ++i) garbage[i] = char(i % 97 == 0 ? 0 : 0x80 + (i * 31) % 128);
        QTest::newRow("megabytes without a line end") << garbage + "\x81" << 1 << true << "|";
    }
    void index_records() {
        QFETCH(QByteArray, bytes);
        const Index index = index_from_bytes(bytes);
        QTEST(int(index.records.size()), "records");
        QTEST(index.cut_short, "cut");
        if (!index.records.empty())
            QTEST(index.records.back().title + u'|' + index.records.back().marker, "last");
    }

    void body_text_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("no closing CR LF, LF alone kept") << QByteArray("ab\n") << "ab\n";
        QTest::newRow("empty") << QByteArray() << "";
        QTest::newRow("one byte") << QByteArray("\r") << "\r";
        QTest::newRow("only CR LF") << QByteArray("\r\n") << "";
    }
    void body_text() {
        QFETCH(QByteArray, bytes);
        QTEST(hakor::body_text(bytes), "text");
    }
};

QTEST_GUILESS_MAIN(TestHakor)
#include "tst_hakor.moc"
