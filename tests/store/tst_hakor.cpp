// Reading 【ハコネル】's index and body files, and what a run makes of them.

#include "store/cp932.h"
#include "store/hakor_import.h"
#include "support/hakor_folder.h"
#include "support/test_folder.h"

#include <QDir>
#include <QTest>

using namespace tz;
using namespace tz::hakor;
using namespace tz::test;

namespace {

const QStringList kExact{"hakor.ini", "hakor.dat", "memo", "m0000003.txt"};

// A memo book with the categories 全部 and 仕事 and a predecessor's folder beside it.
struct Run {
    QTemporaryDir app, source_dir;
    MemoStore store{app.path()};
    QString source = source_dir.path() + QDir::separator();
    Run() {
        for (const char* sub : {"memo1", "memo2"}) QDir(app.path()).mkpath(QLatin1String(sub));
        store.settings = Settings::first_start(0, 0, 0, 6975, 9450, 1215);
        store.categories.set_entries({QStringLiteral("全部"), QStringLiteral("仕事")});
    }
    // Imports every record of hakor.dat; the notes of the run.
    QString import_all() {
        HakorImport run(store, source, read_index(source).index);
        while (!run.at_end() && run.import_next() == HakorImport::Step::Imported) {
        }
        return run.notes();
    }
};

}  // namespace

class TestHakor : public QObject {
    Q_OBJECT
private slots:
    void index_records_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<QString>("last");  // the last record's title and marker
        QTest::newRow("cut inside the last")
            << QByteArray("d\r\nc\r\nt1\r\n0\r\n\r\nx\r\nd\r\nc\r\nt\r\n") << 2 << true << "t|";
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
        QTest::newRow("one byte") << QByteArray("\r") << "\r";
        QTest::newRow("only CR LF") << QByteArray("\r\n") << "";
    }
    void body_text() {
        QFETCH(QByteArray, bytes);
        QTEST(hakor::body_text(bytes), "text");
    }

    // hakor.ini, hakor.dat, the memo folder and the body files are found in any letter
    // case. A hakor.dat that is no regular file is missing, one with NUL bytes is no text
    // and is refused; a body file that is no regular file is not read. Each body gives a
    // text body file of its text and CR LF and a rich body file of the same bytes, unless
    // those would be read as RTF: then an RTF document of the text.
    void source_folders_data() {
        QTest::addColumn<QString>("body");       // of memo 3
        QTest::addColumn<QStringList>("names");  // hakor.ini, hakor.dat, memo, m0000003.txt as they are named
        QTest::addColumn<QString>("odd");        // hakor.dat with NUL bytes, or a FIFO in place of a file
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<int>("rich");  // 0 the text body's bytes, 1 an RTF document; -1 the body is not read
        QTest::newRow("plain text") << "本文\r\n{\\rtf1} later" << kExact << "" << "" << 0;
        QTest::newRow("blanks and line ends before an RTF header") << " \t\r\n\n{\\rtf x" << kExact << "" << "" << 1;
        QTest::newRow("upper-case RTF is text") << "{\\RTF1 x}" << kExact << "" << "" << 0;
        QTest::newRow("other cases") << "本文" << QStringList{"HAKOR.INI", "hakor.DAT", "Memo", "M0000003.TXT"} << "" << "" << 0;
        QTest::newRow("FIFO body") << "本文" << kExact << "FIFO memo/m0000003.txt" << "" << -1;
        QTest::newRow("NUL bytes") << "本文" << kExact << "NUL hakor.dat"
                                   << "hakor.datは【ハコネル】のデータではないので変換を実行できません。" << 0;
        QTest::newRow("FIFO named hakor.dat") << "本文" << kExact << "FIFO hakor.dat" << missing_text(Missing::Dat) << 0;
        QTest::newRow("FIFO named HAKOR.DAT") << "本文" << QStringList{"hakor.ini", "HAKOR.DAT", "memo", "m0000003.txt"}
                                              << "FIFO hakor.dat" << missing_text(Missing::Dat) << 0;
    }
    void source_folders() {
        QFETCH(QString, body);
        QFETCH(QStringList, names);
        QFETCH(QString, odd);
        QFETCH(QString, refusal);
        QFETCH(int, rich);
        Run f;
        QVERIFY(write_hakor_folder(f.source, {true, true, true, {HakorMemo{.number = 3, .body = body}}, {}}));
        const QString file = f.source + odd.section(u' ', 1);
        std::optional<FifoTrap> fifo;
        if (odd.startsWith(u"NUL")) write_bytes(file, read_bytes(file).insert(30, "\0\x01\xff\0", 4));
        if (odd.startsWith(u"FIFO")) QVERIFY(QFile::remove(file) && fifo.emplace(file).made());
        for (int i : {3, 0, 1, 2})  // the body file before its folder
            if (names[i] != kExact[i]) QVERIFY(QDir(f.source + (i == 3 ? "memo/" : "")).rename(kExact[i], names[i]));
        const Missing missing = check_source(f.source);
        QCOMPARE(missing == Missing::Nothing ? dat_problem_text(read_index(f.source).problem) : missing_text(missing), refusal);
        const QString notes = f.import_all();  // even when refused, to see that nothing waits
        QVERIFY(!fifo || !fifo->waited());
        QCOMPARE(f.store.table.count(), refusal.isEmpty() ? 1 : 0);
        if (!refusal.isEmpty()) return;
        QCOMPARE(notes.contains(u"本文ファイルを読めなかったメモが1件"), rich < 0);
        const QByteArray text = cp932::encode((rich < 0 ? QString() : body) + "\r\n");
        QCOMPARE(read_bytes(f.store.text_body_path(Value::number(1))), text);
        const QByteArray rtf = read_bytes(f.store.rich_body_path(Value::number(1)));
        QCOMPARE(rtf.startsWith("{\\rtf1"), rich > 0);
        QCOMPARE(rtf == text, rich <= 0);
    }

    // An empty category, from its line or a record cut short, is not added to the list;
    // the memo is imported with it.
    void empty_category_data() {
        QTest::addColumn<QStringList>("lines");  // of hakor.dat
        QTest::newRow("empty line") << QStringList{"98/04/01", "", "t", "0", "", "x"};
        QTest::newRow("record cut after its date") << QStringList{"98/04/01"};
    }
    void empty_category() {
        QFETCH(QStringList, lines);
        Run f;
        QVERIFY(write_hakor_folder(f.source, {true, true, true, {}, lines}));
        f.import_all();
        QCOMPARE(f.store.table.count(), 1);
        QCOMPARE(f.store.table.slot(1).category.display(), lines.value(1));
        QCOMPARE(f.store.categories.entries(), QStringList({"全部", "仕事"}));
    }

    // The temporary body files a killed run left are gone before the next run writes bodies.
    void leftover_temporary_files_removed() {
        Run f;
        const QStringList leftovers{"memo1/m1000007.txt.new", "memo2/m2000007.txt.new", "memo2/m2000009.txt.new"};
        const QStringList kept{"memo2/m2000007.txt", "memo1/notes.new"};
        for (const QString& name : leftovers + kept) write_bytes(f.app.filePath(name), "x");
        QVERIFY(write_hakor_folder(f.source, {true, true, true, {HakorMemo{}}, {}}));
        f.import_all();
        for (const QString& name : leftovers) QVERIFY2(!QFile::exists(f.app.filePath(name)), qPrintable(name));
        for (const QString& name : kept) QVERIFY2(QFile::exists(f.app.filePath(name)), qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(TestHakor)
#include "tst_hakor.moc"
