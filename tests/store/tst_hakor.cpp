// Reading 【ハコネル】's index and body files, and what a run makes of them.

#include "store/cp932.h"
#include "store/file_io.h"
#include "store/hakor_import.h"
#include "support/hakor_folder.h"
#include "support/test_folder.h"

#include <QDir>
#include <QTest>

using namespace tz;
using namespace tz::hakor;
using namespace tz::test;

namespace {

const QStringList kExact{"hakor.ini", "hakor.dat", "memo"};

// A memo book with the categories 全部 and 仕事 and a predecessor's folder beside it.
struct Run {
    QTemporaryDir app, source_dir;
    MemoStore store{app.path()};
    QString source = source_dir.path() + QDir::separator();
    Run() {
        QDir(app.path()).mkpath(QStringLiteral("memo1"));
        QDir(app.path()).mkpath(QStringLiteral("memo2"));
        store.settings = Settings::first_start(0, 0, 0, 6975, 9450, 1215);
        store.categories.set_entries({QStringLiteral("全部"), QStringLiteral("仕事")});
    }
    // Renames an entry of the source folder.
    void rename(const QString& from, const QString& to) { QVERIFY(QDir(source).rename(from, to)); }
    // Imports every record of hakor.dat; the notes of the run.
    QString import_all() {
        HakorImport run(store, source, read_index(source).index);
        while (!run.at_end() && run.import_next() == HakorImport::Step::Imported) {
        }
        return run.notes();
    }
    QByteArray text_body(int n) const { return read_bytes(store.text_body_path(Value::number(n))); }
    QByteArray rich_body(int n) const { return read_bytes(store.rich_body_path(Value::number(n))); }
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

    // hakor.ini, hakor.dat and the memo folder are found in any letter case; a hakor.dat
    // that is no regular file is missing, one with NUL bytes is no text and is refused.
    void source_checks_data() {
        QTest::addColumn<QStringList>("names");  // hakor.ini, hakor.dat, memo as they are named
        QTest::addColumn<QString>("dat");        // what stands as hakor.dat: text, NUL, FIFO
        QTest::addColumn<QString>("refusal");
        QTest::newRow("other cases") << QStringList{"HAKOR.INI", "hakor.DAT", "Memo"} << "text" << "";
        QTest::newRow("NUL bytes") << kExact << "NUL" << "hakor.datは【ハコネル】のデータではないので変換を実行できません。";
        QTest::newRow("FIFO named hakor.dat") << kExact << "FIFO" << missing_text(Missing::Dat);
        QTest::newRow("FIFO named HAKOR.DAT")
            << QStringList{"hakor.ini", "HAKOR.DAT", "memo"} << "FIFO" << missing_text(Missing::Dat);
    }
    void source_checks() {
        QFETCH(QStringList, names);
        QFETCH(QString, dat);
        QFETCH(QString, refusal);
        Run f;
        QVERIFY(write_hakor_folder(f.source, {true, true, true, {HakorMemo{}, HakorMemo{}}, {}}));
        const QString file = f.source + "hakor.dat";
        std::optional<FifoTrap> fifo;
        if (dat == u"NUL") write_bytes(file, read_bytes(file).insert(30, "\0\x01\xff\0", 4));
        if (dat == u"FIFO") QVERIFY(QFile::remove(file) && fifo.emplace(file).made());
        for (int i = 0; i < 3; ++i)
            if (names[i] != kExact[i]) f.rename(kExact[i], names[i]);
        const Missing missing = check_source(f.source);
        const DatRead read = read_index(f.source);  // read even when refused, to see that it does not wait
        QCOMPARE(missing == Missing::Nothing ? dat_problem_text(read.problem) : missing_text(missing), refusal);
        QCOMPARE(int(read.index.records.size()), refusal.isEmpty() ? 2 : 0);
        QVERIFY(!fifo || !fifo->waited());
    }

    // Each body gives a text body file of its text and CR LF and a rich body file of the
    // same bytes, unless those would be read as RTF: then an RTF document of the text.
    // A body file is found in any letter case; one that is no regular file is not read.
    void bodies_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("place");  // what stands as memo/m0000003.txt
        QTest::addColumn<bool>("rtf");       // the rich body is an RTF document
        QTest::addColumn<bool>("read");
        QTest::newRow("plain text") << "本文\r\n{\\rtf1} later" << "file" << false << true;
        QTest::newRow("RTF header") << "{\\rtf1\\b 太字}\r\nx" << "file" << true << true;
        QTest::newRow("blanks and line ends before an RTF header") << " \t\r\n\n{\\rtf x" << "file" << true << true;
        QTest::newRow("upper-case RTF is text") << "{\\RTF1 x}" << "file" << false << true;
        QTest::newRow("upper-case names") << "本文" << "MEMO/M0000003.TXT" << false << true;
        QTest::newRow("FIFO") << "本文" << "FIFO" << false << false;
    }
    void bodies() {
        QFETCH(QString, body);
        QFETCH(QString, place);
        QFETCH(bool, rtf);
        QFETCH(bool, read);
        Run f;
        QVERIFY(write_hakor_folder(f.source, {true, true, true, {HakorMemo{.number = 3, .body = body}}, {}}));
        const QString file = f.source + "memo/m0000003.txt";
        std::optional<FifoTrap> fifo;
        if (place == u"FIFO") QVERIFY(QFile::remove(file) && fifo.emplace(file).made());
        if (place.startsWith(u"MEMO")) {
            f.rename("memo/m0000003.txt", "memo/M0000003.TXT");
            f.rename("memo", "MEMO");
        }
        const QString notes = f.import_all();
        QVERIFY(!fifo || !fifo->waited());
        QCOMPARE(notes.contains(u"本文ファイルを読めなかったメモが1件"), !read);
        const QByteArray text = cp932::encode((read ? body : QString()) + "\r\n");
        QCOMPARE(f.text_body(1), text);
        const QByteArray rich = f.rich_body(1);
        if (rtf)
            QVERIFY2(rich.startsWith("{\\rtf1") && rich != text, rich.constData());
        else
            QCOMPARE(rich, text);
    }

    // An empty category, from its line or a record cut short, is not added to the list;
    // the memo is imported with it.
    void empty_category_data() {
        QTest::addColumn<QStringList>("lines");  // of hakor.dat
        QTest::addColumn<QStringList>("categories");
        const QStringList kept{"全部", "仕事"};
        QTest::newRow("empty line") << QStringList{"98/04/01", "", "t", "0", "", "x"} << kept;
        QTest::newRow("record cut after its date") << QStringList{"98/04/01"} << kept;
        QTest::newRow("empty record") << QStringList{"", "", "", "", "", ""} << kept;
        QTest::newRow("a new name") << QStringList{"98/04/01", "新", "t", "0", "", "x"} << QStringList{"全部", "仕事", "新"};
    }
    void empty_category() {
        QFETCH(QStringList, lines);
        Run f;
        QVERIFY(write_hakor_folder(f.source, {true, true, true, {}, lines}));
        f.import_all();
        QCOMPARE(f.store.table.count(), 1);
        QCOMPARE(f.store.table.slot(1).category.display(), lines.value(1));
        QTEST(f.store.categories.entries(), "categories");
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
