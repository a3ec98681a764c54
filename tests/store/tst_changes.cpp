// The changes of the memo book's files: the order each writes its files in,
// everything put back when a write fails, and which body files a deletion
// removes.

#include "store/changes.h"
#include "store/data_folder.h"
#include "support/test_folder.h"

#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace tz;
using namespace tz::test;

namespace {

// Memos t1..t5 numbered 11..15, newest first, in categories A, B, A, a and Ａ
// (case and width count), the counter at 20.
struct Book {
    QTemporaryDir dir;
    FixedClock time;
    MemoStore store{dir.path(), time.clock()};

    explicit Book(std::vector<MemoRecord> memos = {}) {
        if (memos.empty())
            for (int i = 0; i < 5; ++i)
                memos.push_back(memo(QStringList{"A", "B", "A", "a", "Ａ"}[i], QString("t%1").arg(i + 1), 11 + i,
                                     QString("c6/12/01 10:00:%1").arg(50 - i)));
        write_folder(dir.path(), memos, {"全部", "A", "B", "a", "Ａ"}, 20);
        write_bytes(path("memo1/m1000000.txt"), "what a number 0 would wrongly name");
        LoadReport report;
        load_data_folder(store, Settings(), report);
        QVERIFY(!report.must_end());  // numbers 0 and "abc" are reported as damage, a copy kept
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    // Memory and files, to see that nothing changed.
    auto state() const {
        return std::tuple(index_bytes(store.table), store.categories.entries(), settings_bytes(store.settings),
                          folder_contents(dir.path()));
    }
    QStringList titles() const {
        QStringList t;
        for (const MemoRecord& m : store.table.records()) t.append(m.title.display());
        return t;
    }
    // A file's inode; a link to it elsewhere keeps the number from being given
    // to another file, so a file replaced since shows a new one.
    QTemporaryDir links;
    ino_t held_inode(const QString& name) {
        const QByteArray at = QFile::encodeName(path(name)), link = QFile::encodeName(links.filePath(QString::number(qHash(name))));
        ::link(at.constData(), link.constData());
        return inode(name);
    }
    ino_t inode(const QString& name) const {
        struct stat s {};
        return ::stat(QFile::encodeName(path(name)).constData(), &s) == 0 ? s.st_ino : 0;
    }
};

using Run = std::function<ChangeResult(MemoStore&)>;

}  // namespace

Q_DECLARE_METATYPE(Run)

class TestChanges : public QObject {
    Q_OBJECT
private slots:
    // Each change writes its files in one order: body files, the memo index,
    // the category file. When one cannot be written, those before it were
    // written and are put back, those after it are not touched, and memory
    // and files are as they were.
    void order_and_undoing_data() {
        QTest::addColumn<Run>("run");
        QTest::addColumn<QStringList>("files");  // in the order written; "+" marks a file made new
        QTest::addColumn<int>("fail");           // the file that cannot be written, -1 for none
        QTest::addColumn<QStringList>("titles");  // the table after the change
        QTest::addColumn<QStringList>("categories");
        QTest::addColumn<QList<int>>("removed");  // numbers whose body files go
        const QStringList all{"t1", "t2", "t3", "t4", "t5"}, cats{"全部", "A", "B", "a", "Ａ"};
        const auto rows = [&](const char* name, const Run& run, const QStringList& files, const QStringList& titles,
                              const QStringList& categories, const QList<int>& removed = {}) {
            for (int fail = -1; fail < files.size(); ++fail)
                QTest::addRow("%s, %s", name, fail < 0 ? "written" : qPrintable(files[fail] + " not written"))
                    << run << files << fail << titles << categories << removed;
        };
        const MemoInput in{"d", "新", "n", false, "本文", "{\\rtf1 本文}"};
        rows("new memo", [in](MemoStore& s) { return ChangeResult(store_memo(s, in, 0)); },
             {"+memo1/m1000021.txt", "+memo2/m2000021.txt", "tzurio.dat", "bunrui.dat"}, QStringList{"n"} + all,
             cats + QStringList{"新"});
        MemoInput correction = in;
        correction.category = "A";
        rows("correction", [correction](MemoStore& s) { return ChangeResult(store_memo(s, correction, 2)); },
             {"memo1/m1000012.txt", "memo2/m2000012.txt", "tzurio.dat"}, {"n", "t1", "t3", "t4", "t5"}, cats);
        rows("delete a memo", [](MemoStore& s) { return delete_memo(s, Value(u" 12 ")); }, {"tzurio.dat"},
             {"t1", "t3", "t4", "t5"}, cats, {12});
        rows("delete a category's memos", [](MemoStore& s) { return delete_category_memos(s, 2); }, {"tzurio.dat", "bunrui.dat"},
             {"t2", "t4", "t5"}, {"全部", "B", "a", "Ａ"}, {11, 13});
        rows("add a category", [](MemoStore& s) { return add_category(s, "新"); }, {"bunrui.dat"}, all, cats + QStringList{"新"});
    }
    void order_and_undoing() {
        QFETCH(Run, run);
        QFETCH(QStringList, files);
        QFETCH(int, fail);
        QFETCH(QList<int>, removed);
        Book b;
        const auto name = [](const QString& f) { return f.mid(f.startsWith('+') ? 1 : 0); };
        // A new file is blocked where it is made: a file already under its number would give the memo another.
        if (fail >= 0) block_file(b.path(files[fail].startsWith('+') ? name(files[fail]) + ".new" : files[fail]));
        std::map<QString, ino_t> inodes;
        for (const QString& f : files) inodes[f] = b.held_inode(name(f));
        const auto before = b.state();
        const ChangeResult r = run(b.store);
        if (fail >= 0) {
            QVERIFY(!r.done);
            QCOMPARE(r.not_written, QStringList{QDir::toNativeSeparators(name(files[fail]))});
            QVERIFY(b.state() == before);
            // Those before it were written and put back; those after it were never touched.
            for (int i = 0; i < files.size(); ++i)
                if (i != fail && !files[i].startsWith('+'))
                    QVERIFY2((b.inode(files[i]) != inodes[files[i]]) == (i < fail), qPrintable(files[i]));
            return;
        }
        QVERIFY(r.done && r.not_written.isEmpty());
        QTEST(b.titles(), "titles");
        QTEST(b.store.categories.entries(), "categories");
        QCOMPARE(read_bytes(b.path("tzurio.dat")), index_bytes(b.store.table));
        QCOMPARE(read_bytes(b.path("bunrui.dat")), categories_bytes(b.store.categories));
        for (const QString& f : files) QVERIFY2(QFile::exists(b.path(name(f))), qPrintable(f));
        for (int n = 11; n <= 15; ++n)
            for (const QString& path : {b.store.text_body_path(Value::number(n)), b.store.rich_body_path(Value::number(n))})
                QCOMPARE(QFile::exists(path), !removed.contains(n));
    }

    // A number still carried by a memo of the table keeps its body files; a
    // field that is no memo number names none. Nothing to delete: nothing changes.
    void which_body_files_go_data() {
        QTest::addColumn<Run>("run");
        QTest::addColumn<QStringList>("titles");  // left in the table; the same five: not done
        QTest::newRow("one of two memos numbered 11") << Run([](MemoStore& s) { return delete_memo(s, Value::number(11)); })
                                                      << QStringList{"y", "z", "zero", "text"};
        QTest::newRow("category A: 11 kept by B, 0") << Run([](MemoStore& s) { return delete_category_memos(s, 2); })
                                                     << QStringList{"y", "z", "text"};
        QTest::newRow("category B: 11 kept by A, 12, abc") << Run([](MemoStore& s) { return delete_category_memos(s, 3); })
                                                           << QStringList{"x", "zero"};
        QTest::newRow("number 0") << Run([](MemoStore& s) { return delete_memo(s, Value(u" 0 ")); })
                                  << QStringList{"x", "y", "z", "text"};
        const QStringList all{"x", "y", "z", "zero", "text"};
        QTest::newRow("no memo numbered 13") << Run([](MemoStore& s) { return delete_memo(s, Value::number(13)); }) << all;
        QTest::newRow("entry 1, 全部") << Run([](MemoStore& s) { return delete_category_memos(s, 1); }) << all;
        QTest::newRow("past the list") << Run([](MemoStore& s) { return delete_category_memos(s, 6); }) << all;
    }
    void which_body_files_go() {
        QFETCH(Run, run);
        QFETCH(QStringList, titles);
        MemoRecord zero = memo("A", "zero", 0), text = memo("B", "text", 12);
        text.memo_number = Value(u"abc");
        Book b({memo("A", "x", 11), memo("B", "y", 11), memo("B", "z", 12), zero, text});
        const auto before = b.state();
        const ChangeResult r = run(b.store);
        QCOMPARE(r.done, titles.size() < 5);
        QVERIFY(r.not_written.isEmpty());
        QCOMPARE(b.titles(), titles);
        if (!r.done) QVERIFY(b.state() == before);
        for (const auto& [n, carriers] : {std::pair<int, QStringList>{11, {"x", "y"}}, {12, {"z"}}}) {
            const bool carried = titles.contains(carriers.value(0)) || titles.contains(carriers.value(1));
            QCOMPARE(QFile::exists(b.store.text_body_path(Value::number(n))), carried);
            QCOMPARE(QFile::exists(b.store.rich_body_path(Value::number(n))), carried);
        }
        QVERIFY(QFile::exists(b.path("memo1/m1000000.txt")));
    }

    // A saved memo's body files are named by its number alone: a corrected memo whose number is no
    // sound number, or another memo's too (a damaged index), is given a fresh one; counting on from
    // a large number never stands still; past the last number no memo is made.
    void a_saved_memo_writes_no_other_memos_files_data() {
        QTest::addColumn<QString>("number");  // of the memo corrected, or empty for a new memo
        QTest::addColumn<QString>("counter");
        QTest::addColumn<QString>("given");  // the saved memo's number line, empty when refused
        QTest::newRow("no number") << "abc" << " 20 " << " 21 ";
        QTest::newRow("zero") << " 0 " << " 20 " << " 21 ";
        QTest::newRow("shared with the memo below") << "12" << " 20 " << " 21 ";
        QTest::newRow("its own") << " 11 " << " 20 " << " 11 ";
        QTest::newRow("new, past 2^53") << "" << " 9007199254740992 " << " 9007199254740993 ";
        QTest::newRow("new, at the last number") << "" << " 999999999999999999 " << "";
    }
    void a_saved_memo_writes_no_other_memos_files() {
        QFETCH(QString, number);
        QFETCH(QString, given);
        Book b;
        b.store.table.slot(1).memo_number = Value(number);
        QFETCH(QString, counter);
        b.store.settings[Settings::Counter] = Value(counter);
        const auto before = folder_contents(b.dir.path());
        const MemoInput in{"d", "A", "題", false, "本文", "{\\rtf1 本文}"};
        const int slot = number.isEmpty() ? 0 : 1;
        QCOMPARE(check_memo(b.store, in, slot) != Refusal::None, given.isEmpty());
        if (given.isEmpty()) return;
        QVERIFY(store_memo(b.store, in, slot).done);
        QCOMPARE(b.store.table.slot(1).memo_number.file_line(), given);
        const QString file = given.trimmed().rightJustified(6, '0') + ".txt";
        QCOMPARE(read_bytes(b.path("memo1/m1" + file)), QByteArray("\x96\x7b\x95\xb6\r\n"));  // 本文
        const auto after = folder_contents(b.dir.path());
        for (const QString& name : before.keys())  // the other memos' files and the stray file stand
            if (name.startsWith("memo") && !name.contains(file)) QCOMPARE(after[name], before[name]);
    }

    // What "登録" refuses, the first check first, and the message that says why; the rest is stored.
    // A category compares exactly: a case variant, or "全部", is a new one.
    void refusals_data() {
        QTest::addColumn<int>("memos");       // in the table
        QTest::addColumn<int>("categories");  // in the list, "全部" included
        QTest::addColumn<int>("slot");        // the memo corrected, 0 for a new one
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("message");  // text and title; empty when stored
        const QString program = QStringLiteral("【ツヅリオ】Ver.3.0");
        const QStringList limit{"これ以上メモを登録できません。", "メモの数が限界(30000)を越えます"};
        const QStringList cats{"これ以上分類を登録できません。", "分類の数が限界(1000)を越えます"};
        const QString breaks = "に改行が含まれています。\r改行を取り除いてから登録してください。";
        const auto lost = [&](const QString& box, const QString& chars) {
            return QStringList{box + "に、ファイルに保存できない文字が含まれています：" + chars + "\rこれらの文字を取り除いてから登録してください。",
                               program};
        };
        QTest::newRow("29998 memos, new") << 29998 << 5 << 0 << "" << "" << QStringList();
        QTest::newRow("29999 memos, correction") << 29999 << 5 << 1 << "" << "" << limit;
        QTest::newRow("999 categories, listed") << 5 << 999 << 0 << "category" << "B" << QStringList();
        QTest::newRow("999 categories, case variant") << 5 << 999 << 0 << "category" << "b" << cats;
        QTest::newRow("999 categories, 全部") << 5 << 999 << 0 << "category" << "全部" << cats;
        QTest::newRow("title of blanks") << 5 << 5 << 0 << "title" << "  " << QStringList();
        QTest::newRow("title with CR, and emoji") << 5 << 5 << 0 << "title" << "一\r二😀"
            << QStringList{"タイトルが２行以上になっています。\rクリップボードを使って文字を貼り付ける場合は、\r"
                           "改行が含まれないように注意してください。", "タイトルは１行にしてください"};
        QTest::newRow("empty title") << 5 << 5 << 0 << "title" << "" << QStringList{"タイトルを入力して下さい。", program};
        QTest::newRow("date with LF") << 5 << 5 << 1 << "date" << "2026/12/06\n" << QStringList{"年/月/日" + breaks, program};
        QTest::newRow("category with CR") << 5 << 5 << 0 << "category" << "家\r仕事" << QStringList{"分類" + breaks, program};
        QTest::newRow("title with é and emoji") << 5 << 5 << 0 << "title" << "café😀é" << lost("タイトル", "é 😀");
        QTest::newRow("date with a no-break space") << 5 << 5 << 1 << "date" << "2026/12/06\u00A0" << lost("年/月/日", "U+00A0");
        QTest::newRow("category with emoji, 999 categories") << 5 << 999 << 0 << "category" << "絵😀文字" << lost("分類", "😀");
        // Its nearest characters and the code page's extensions are written.
        QTest::newRow("nearest and extension characters") << 5 << 5 << 0 << "category" << "〜¥①髙ｶﾅ" << QStringList();
        QTest::newRow("correction past the table") << 5 << 5 << 6 << "" << "" << QStringList{"訂正するメモが見つかりません。", program};
    }
    void refusals() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QStringList, message);
        Book b;
        QFETCH(int, memos);
        while (b.store.table.count() < memos) b.store.table.append(memo("A", "more", 100 + b.store.table.count()));
        QFETCH(int, categories);
        QStringList names = b.store.categories.entries();
        while (names.size() < categories) names.append(QString("分類%1").arg(names.size()));
        b.store.categories.set_entries(names);
        MemoInput in{"2026/12/06", "A", "題", false, "本文", "{\\rtf1 本文}"};
        QString* box = field == u"date" ? &in.date : field == u"title" ? &in.title : field == u"category" ? &in.category : nullptr;
        if (box) *box = value;
        QFETCH(int, slot);
        const Refusal r = check_memo(b.store, in, slot);
        QCOMPARE(r == Refusal::None, message.isEmpty());
        if (r != Refusal::None) QCOMPARE(QStringList({refusal_message(r, in).text, refusal_message(r, in).title}), message);
    }

    // The category list, a password and an import's end stay in memory when a
    // file cannot be written, for the exit save; the other files are written.
    void changes_kept_in_memory_data() {
        QTest::addColumn<Run>("run");
        QTest::addColumn<QString>("blocked");
        QTest::newRow("password, tzurio.ini blocked") << Run([](MemoStore& s) { return set_password(s, "新しい"); }) << "tzurio.ini";
        QTest::newRow("category list, bunrui.dat blocked") << Run([](MemoStore& s) {
            s.categories.set_entries({"全部", "B"});
            return store_category_list(s);
        }) << "bunrui.dat";
        QTest::newRow("import, tzurio.dat blocked") << Run([](MemoStore& s) {
            s.table.append(memo("新", "imported", 21));
            s.categories.append("新");
            s.settings[Settings::Counter] = Value::number(21);
            return finish_import(s, true, true, true);
        }) << "tzurio.dat";
    }
    void changes_kept_in_memory() {
        QFETCH(Run, run);
        QFETCH(QString, blocked);
        Book b;
        block_file(b.path(blocked));
        const ChangeResult r = run(b.store);
        QCOMPARE(r.not_written, QStringList{blocked});
        QVERIFY(!r.done);
        if (QString(QTest::currentDataTag()).startsWith("password"))
            QCOMPARE(b.store.settings[Settings::LockPassword].display(), QStringLiteral("新しい"));
        const std::pair<QString, QByteArray> files[] = {{"tzurio.dat", index_bytes(b.store.table)},
                                                        {"tzurio.ini", settings_bytes(b.store.settings)},
                                                        {"bunrui.dat", categories_bytes(b.store.categories)}};
        for (const auto& [name, bytes] : files)
            if (name != blocked) QCOMPARE(read_bytes(b.path(name)), bytes);
    }
};

QTEST_MAIN(TestChanges)
#include "tst_changes.moc"
