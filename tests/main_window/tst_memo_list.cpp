// The memo list as a user works it: category filter, title search with the
// keyword history, move to top, showing memos and locked memos; the list's
// own grid on its own.
// The two full-text search windows as a user works them: the search across
// all memos fills the main list with the memos whose shown body holds the
// keyword (never markup, never a missing file), keeps the keyword history and
// stops at once; the search in the shown memo selects each hit in the viewer.
// Both find every place where the keyword literally stands, in any letter case,
// and besides those only runs of whole characters that fold to the keyword.

#include "dialogs/f_secpassin.h"
#include "dialogs/f_zenbun.h"
#include "dialogs/f_zenbun2.h"
#include "store/cp932.h"
#include "store/data_folder.h"
#include "support/form_fixture.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

using namespace tz;
using namespace tz::test;

namespace {

struct ListFixture : FormFixture {
    explicit ListFixture(const std::vector<MemoRecord>& memos, const QStringList& categories = {"全部", "仕事", "家"}) {
        write_folder(dir.path(), memos, categories, 100);
        start();
    }
};

std::vector<MemoRecord> three_memos() {
    return {memo("仕事", "会議の予定", 3, "c6/12/05 10:00:00"), memo("家", "買い物 abc", 2, "c6/12/04 10:00:00"),
            memo("仕事", "報告書ＡＢＣ", 1, "c6/12/03 10:00:00")};
}

const QByteArray kMissing = "<missing>";
const QString kOpenHint = QStringLiteral("現在表示しているメモを対象に全文検索中です。");

// Memos m1..mN in table order, the rich body of each as given; m2 is locked (and searched all the same).
struct SearchFixture : FormFixture {
    explicit SearchFixture(const QList<QByteArray>& bodies) {
        std::vector<MemoRecord> memos;
        for (int i = 0; i < bodies.size(); ++i)
            memos.push_back(memo("仕事", QStringLiteral("m%1").arg(i + 1), 1000 - i, "c6/12/05 10:00:00", i == 1));
        write_folder(dir.path(), memos, {"全部", "仕事"}, 1000);
        for (int i = 0; i < bodies.size(); ++i) {
            const QString file = path(QStringLiteral("memo2/m2%1.txt").arg(1000 - i, 6, 10, QLatin1Char('0')));
            if (bodies[i] == kMissing) QFile::remove(file); else write_bytes(file, bodies[i]);
        }
        start();
        for (int i = 0; i < 20; ++i) form->store().keywords.entries[size_t(i)] = QStringLiteral("k%1").arg(i);
    }
    static void type(QComboBox* box, const QString& keyword) {
        box->lineEdit()->clear();
        type_text(box->lineEdit(), keyword);
    }
};

// Text rich in what the folding must not lose: half-width kana and their sound
// marks, voiced kana composed and with a combining mark, full-width letters,
// case pairs and signs that fold to several characters.
QString generated_text(QRandomGenerator& random, int length) {
    const QString alphabet = u"ｷｰﾜﾄﾞﾟﾊｶドトパハかが\u3099キカＡａAaBbＢÉée\u0301Σσς㍻成ßẞ "_qs;
    QString text;
    for (int i = 0; i < length; ++i) text += alphabet[random.bounded(int(alphabet.size()))];
    return text;
}

// The keywords of the reported misses and of pieces of single characters, and
// pieces of the texts as they stand, in upper case or in lower case.
QStringList keywords_from(QRandomGenerator& random, const QStringList& texts, int count) {
    QStringList keywords{u"ｷｰﾜｰﾄ"_qs, u"ｷｰﾜｰ"_qs, u"ﾄ"_qs, u"ﾞ"_qs, u"ｶ"_qs, u"ﾊ"_qs, u"か"_qs, u"キーワード"_qs, u"ＡＢＣ"_qs,
                         u"ｷｰﾜｰﾄﾞ"_qs, u"e"_qs, u"平"_qs, u"平成"_qs};
    while (keywords.size() < count) {
        const QString& text = texts[random.bounded(int(texts.size()))];
        const QString piece = text.mid(random.bounded(int(text.size())), 1 + random.bounded(4));
        const int form = random.bounded(3);
        keywords << (form == 0 ? piece : form == 1 ? piece.toUpper() : piece.toLower());
    }
    return keywords;
}

// Where the searches must find the keyword: each run of whole characters of the
// text whose folding, character by character, is the keyword's, as (start,
// length). The texts here are all of the first plane.
QList<QPoint> whole_character_hits(const QString& text, const QString& keyword) {
    const auto fold = [](const QString& s) {
        QString folded;
        for (const QChar c : s) folded += QString(c).normalized(QString::NormalizationForm_KD).toCaseFolded();
        return folded;
    };
    const QString key = fold(keyword);
    QList<QPoint> hits;
    for (int start = 0; start < text.size() && !key.isEmpty(); ++start) {
        QString run;
        for (int end = start; end < text.size() && run.size() < key.size(); ++end) {
            run += fold(text.mid(end, 1));
            if (run == key) hits << QPoint(start, end + 1 - start);
        }
    }
    return hits;
}

// A body of CP932 bytes in hex escapes, as rich-edit controls write half-width kana.
QByteArray hex_rtf(const QString& text) {
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 X;}}\\f0 ";
    for (const char b : cp932::encode(text)) rtf += "\\'" + QByteArray::number(quint8(b), 16).rightJustified(2, '0');
    return rtf + "}";
}

}  // namespace

class TestMemoList : public QObject {
    Q_OBJECT
private slots:
    // The rows after a pick in the category box (by mouse), then a title search if any.
    void category_and_title_search_data() {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("keyword");  // null: no search
        QTest::addColumn<QStringList>("titles");
        const QStringList work{"会議の予定", "報告書ＡＢＣ"};
        QTest::newRow("a category: exactly its name") << 1 << QString() << work;
        QTest::newRow("全部: every memo") << 0 << QString() << QStringList{"会議の予定", "買い物 abc", "報告書ＡＢＣ", "blank after"};
        QTest::newRow("code units exactly: not ABC, not ＡＢＣ") << 0 << "abc" << QStringList{"買い物 abc"};
        QTest::newRow("empty keyword: every memo of the category") << 1 << "" << work;
        QTest::newRow("within the category") << 1 << "予定" << QStringList{"会議の予定"};
        QTest::newRow("only in another category") << 1 << "買い物" << QStringList();
    }

    void category_and_title_search() {
        QFETCH(int, category);
        QFETCH(QString, keyword);
        std::vector<MemoRecord> memos = three_memos();
        memos.push_back(memo("仕事 ", "blank after", 4, "c6/01/01 00:00:00"));
        ListFixture f(memos, {"全部", "仕事", "家", "仕事 "});
        // At start, its rows made ahead on another thread: every memo.
        QCOMPARE(grid_titles(f.form->Grid1), (QStringList{"会議の予定", "買い物 abc", "報告書ＡＢＣ", "blank after"}));
        f.form->Combo2->setEditText("leftover");
        pick_from_list(f.form->Combo1, category);
        QCOMPARE(f.form->Combo2->currentText(), QString());  // the keyword box is emptied
        if (!keyword.isNull()) f.combo_search(keyword);
        QTEST(grid_titles(f.form->Grid1), "titles");
    }

    // The history's entries before and after one search; the search is
    // repeated by the button, which then changes nothing.
    void keyword_history_follows_the_pick_index_data() {
        QTest::addColumn<QString>("history");  // entries split at spaces; empty: "0" to "19"
        QTest::addColumn<int>("pick");         // the entry picked from the list, or -1
        QTest::addColumn<QString>("typed");    // typed over the box's text
        QTest::addColumn<bool>("enter");       // Enter in the box, else a click on 検索
        QTest::addColumn<QString>("after");    // the first entries after the search
        QTest::newRow("no pick since start: entry 0 replaced") << "" << -1 << "" << false << " 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19";
        QTest::newRow("5 picked: moved to the top") << "" << 5 << "" << false << "5 0 1 2 3 4 6 7 8 9 10 11 12 13 14 15 16 17 18 19";
        QTest::newRow("5 picked, Enter: inserted") << "" << 5 << "" << true << "5 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18";
        QTest::newRow("b picked, an entry's Japanese text typed over it: inserted") << "a 会議 b" << 2 << "会議" << false << "会議 a 会議 b";
        QTest::newRow("nothing completes the typed text") << "abc" << -1 << "ab" << true << "ab abc";
    }

    void keyword_history_follows_the_pick_index() {
        QFETCH(QString, history);
        QFETCH(int, pick);
        QFETCH(QString, typed);
        QFETCH(bool, enter);
        QFETCH(QString, after);
        ListFixture f(three_memos());
        QVERIFY(activate(f.form.get()));  // so that focus changes happen as for a user
        const QStringList given = history.split(' ');
        auto& entries = f.form->store().keywords.entries;
        for (int i = 0; i < 20; ++i) entries[size_t(i)] = history.isEmpty() ? QString::number(i) : given.value(i);
        f.form->refill_keyword_box();
        f.form->Combo2->setEditText(QString());
        if (pick >= 0) pick_from_list(f.form->Combo2, pick);
        QLineEdit* edit = f.form->Combo2->lineEdit();
        QPushButton* button = f.find<QPushButton>("Command5");
        if (!typed.isEmpty()) {
            edit->setFocus(Qt::MouseFocusReason);
            edit->selectAll();
            type_text(edit, typed);
        }
        if (enter) {
            QTest::keyClick(edit, Qt::Key_Return);
        } else {
            button->setFocus(Qt::MouseFocusReason);  // as a click on the button moves it, out of the box
            QTest::mouseClick(button, Qt::LeftButton);
        }
        const QStringList expected = after.split(' ');
        QCOMPARE(f.history().mid(0, int(expected.size())), expected);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(f.history().mid(0, int(expected.size())), expected);
    }

    void double_click_moves_a_memo_to_the_top() {
        ListFixture f(three_memos());
        f.form->Combo1->setFocus();
        QTest::keyClick(f.form->Combo1, Qt::Key_Down);  // 仕事 by the arrow key on the closed box: two rows
        f.form->Combo2->setEditText("x");
        f.time.now = QDateTime(QDate(2026, 12, 6), QTime(9, 0, 0));
        const QByteArray index_before = read_bytes(f.path("tzurio.dat"));
        double_click_row(f.form->Grid1, 2);  // 報告書ＡＢＣ
        QCOMPARE(grid_titles(f.form->Grid1), QStringList({"報告書ＡＢＣ", "会議の予定", "買い物 abc"}));  // every memo
        QCOMPARE(f.form->Grid1->current_row(), 1);
        QCOMPARE(f.form->Combo2->currentText(), QString());
        const MemoRecord& moved = f.form->store().table.slot(1);
        QCOMPARE(moved.updated_stamp.display(), QStringLiteral("c6/12/06 09:00:00"));
        QCOMPARE(moved.created_stamp.display(), QStringLiteral("c6/12/03 10:00:00"));
        QCOMPARE(read_bytes(f.path("tzurio.dat")), index_before);  // nothing written
        // The header and the empty row select nothing.
        double_click_row(f.form->Grid1, 4);
        QCOMPARE(f.platform.texts(), QStringList({"項目が選択されていません。"}));
    }

    void a_click_shows_the_memo_in_either_mode_and_repairs_a_missing_body() {
        ListFixture f(three_memos());
        MemoStore& s = f.form->store();
        write_text_body(s, Value::number(2), QStringLiteral("一行目\r\n二行目"));
        write_bytes(s.rich_body_path(Value::number(2)), "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 x;}}\\f0 \\'95\\'5crich\\par}");
        click_row(f.form->Grid1, 2);
        QCOMPARE(f.form->RTB1->toPlainText(), QStringLiteral("表rich"));
        QTest::mouseClick(f.find<QRadioButton>("Option1"), Qt::LeftButton);  // fast mode rereads it
        QCOMPARE(f.form->RTB1->toPlainText(), QStringLiteral("一行目\n二行目"));
        QCOMPARE(f.form->RTB1->textCursor().charFormat().font().family(), QFont("ＭＳ ゴシック").family());
        QTest::mouseClick(f.find<QRadioButton>("Option2"), Qt::LeftButton);  // rich again for the row below
        // The header empties the viewer; keys move without showing.
        QTest::mouseClick(f.form->Grid1->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
        QCOMPARE(f.form->RTB1->toPlainText(), QString());
        click_row(f.form->Grid1, 2);
        QTest::keyClick(f.form->Grid1, Qt::Key_Down);
        QCOMPARE(f.form->RTB1->toPlainText(), QStringLiteral("表rich"));
        // A missing body file is repaired in its mode.
        QFile::remove(s.rich_body_path(Value::number(3)));
        click_row(f.form->Grid1, 1);
        const QString repaired = QStringLiteral("メモファイルの読み込みでエラーが発生しました。\r自動的に修復しましたが、メモの内容は失われました。");
        QCOMPARE(f.platform.texts(), QStringList({repaired}));
        QCOMPARE(read_bytes(s.rich_body_path(Value::number(3))), QByteArray("\r\n"));
        QTest::mouseClick(f.find<QRadioButton>("Option1"), Qt::LeftButton);
        QCOMPARE(f.form->RTB1->toPlainText(), QStringLiteral("会議の予定"));  // the text body is untouched
        // A repair that cannot write says which file, not that it repaired it (and nothing
        // was said for the untouched text body).
        QVERIFY(QDir(f.path("memo1")).removeRecursively());
        write_bytes(f.path("memo1"), "not a folder");
        click_row(f.form->Grid1, 3);
        QCOMPARE(f.platform.texts().mid(1),
                 QStringList{"メモファイルの読み込みでエラーが発生しました。\rファイル memo1/m1000001.txt を保存できませんでした。"});
        QCOMPARE(f.form->RTB1->toPlainText(), QString());
    }

    // A body file that is there but cannot be read is said so, in either mode,
    // and no correction may save over it; a memo whose number is damaged has
    // no body to show.
    void a_body_that_cannot_be_read_is_never_written_over_data() {
        QTest::addColumn<bool>("fast");
        QTest::addColumn<QString>("number");
        QTest::newRow("rich") << false << " 2 ";
        QTest::newRow("fast") << true << " 2 ";
        QTest::newRow("no number") << false << "二";
    }
    void a_body_that_cannot_be_read_is_never_written_over() {
        QFETCH(bool, fast);
        QFETCH(QString, number);
        std::vector<MemoRecord> memos = three_memos();
        memos[1].memo_number = Value(number);
        ListFixture f(memos);
        for (const char* name : {"memo1/m1000002.txt", "memo2/m2000002.txt"})
            QFile(f.path(name)).setPermissions(QFile::WriteOwner);
        QFile(f.dir.path()).setPermissions(QFile::Permissions(0x7755));
        const auto before = folder_contents(f.dir.path());
        if (fast) QTest::mouseClick(f.find<QRadioButton>("Option1"), Qt::LeftButton);
        bool editor_opened = false;
        {
            AsOrdinaryUser user;
            click_row(f.form->Grid1, 2);
            if (number == u" 2 ") {
                const QPointer<QObject> watch = on_next_modal([&](QWidget* w) { editor_opened = true; w->close(); });
                QTest::mouseClick(f.find<QPushButton>("Command8"), Qt::LeftButton);
                delete watch.data();
            }
        }
        const QString file = fast ? "memo1/m1000002.txt" : "memo2/m2000002.txt";
        const auto unreadable = [](const QString& name) {
            return "メモファイル " + name + " を読み込めませんでした。ファイルの読み取りの許可を確かめてください。";
        };
        if (number == u" 2 ")
            QCOMPARE(f.platform.texts(), QStringList({unreadable(file), unreadable("memo2/m2000002.txt") + "\r訂正できません。"}));
        else
            QVERIFY(f.platform.texts().join("|").contains("メモ番号が壊れている"));
        QVERIFY(!editor_opened);
        QCOMPARE(f.form->RTB1->toPlainText(), QString());
        QCOMPARE(folder_contents(f.dir.path()), before);
        QFile(f.dir.path()).setPermissions(QFile::Permissions(0x7700));
    }

    void locked_memos_ask_for_the_password_each_time() {
        std::vector<MemoRecord> memos = three_memos();
        memos[1] = memo("家", "秘密", 2, "c6/12/04 10:00:00", true);
        ListFixture f(memos);
        f.form->store().settings[Settings::LockPassword] = Value(u"pass");
        const QString locked = QStringLiteral("指定されたメモには鍵がかかっています。");
        f.combo_search("予定");  // one row: row 2 is now the empty row where 秘密 stood
        click_row(f.form->Grid1, 2);
        QCOMPARE(f.form->RTB1->toPlainText(), QString());
        f.combo_search("");
        answer_unlock("pass");
        click_row(f.form->Grid1, 2);
        answer_unlock("pass");  // a mode switch shows the memo again, and so asks again
        QTest::mouseClick(f.find<QRadioButton>("Option1"), Qt::LeftButton);
        QCOMPARE(f.form->RTB1->toPlainText(), QStringLiteral("秘密"));
        answer_unlock("PASS");  // case counts
        click_row(f.form->Grid1, 2);
        QCOMPARE(f.platform.texts(), QStringList({locked, locked, locked, "パスワードが間違っています。"}));
        QCOMPARE(f.form->RTB1->toPlainText(), QString());
        answer_unlock("pass", false, true);  // cancel: no second message
        click_row(f.form->Grid1, 2);
        QCOMPARE(f.platform.texts().mid(4), QStringList({locked}));
        // A double click does not move a locked memo to the top.
        answer_unlock("pass", false, true);
        f.time.now = QDateTime(QDate(2026, 12, 7), QTime(0, 0));
        double_click_row(f.form->Grid1, 2);
        QCOMPARE(grid_titles(f.form->Grid1).at(1), QStringLiteral("秘密"));
        // The unlock dialog's box does, and the memo is shown.
        answer_unlock("pass", true);
        click_row(f.form->Grid1, 2);
        QCOMPARE(grid_titles(f.form->Grid1).at(0), QStringLiteral("秘密"));
        QCOMPARE(f.form->Grid1->current_row(), 1);
        QCOMPARE(f.form->RTB1->toPlainText(), QStringLiteral("秘密"));
        // A correction offers no move to the top; Esc cancels, whatever an earlier answer was.
        f.form->hand_over().unlock_answer = UnlockAnswer::RightPassword;
        f.form->hand_over().editor_mode = EditorMode::Correction;
        F_secpassin d(*f.form);
        QVERIFY(d.Check1->isHidden());
        on_next_modal([](QWidget* w) { QTest::keyClick(w->findChild<QWidget*>("Text1"), Qt::Key_Escape); });
        d.exec();
        QVERIFY(f.form->hand_over().unlock_answer == UnlockAnswer::Cancel);
    }

    // A batch replacement is one model reset and keeps the current row number where it can. Only
    // the left button clicks: the others neither select nor report. The fixed column is never
    // current nor selected: a click there selects the row, a key that would land there stays put.
    // (Left clicks on rows and on the header are driven through the main window's list, above.)
    void batch_replacement_other_buttons_and_the_fixed_column() {
        MemoGrid g;
        g.resize(400, 200);
        QSignalSpy resets(g.grid_model(), &QAbstractItemModel::modelReset);
        g.set_data_rows(GridRows(30000, {"c", "d", "t"}));
        QCOMPARE(resets.count(), 1);
        g.set_current_row(5);
        g.set_data_rows({{"a", "1", "one"}, {"b", "2", "two"}, {}});
        QCOMPARE(g.current_row(), 3);  // clamped to the rows there are
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        int events = 0;
        connect(&g, &MemoGrid::grid_click, this, [&] { ++events; });
        connect(&g, &MemoGrid::grid_dbl_click, this, [&] { ++events; });
        g.set_current_row(1);
        const QPoint second = g.visualRect(g.grid_model()->index(1, 2)).center();
        QTest::mouseClick(g.viewport(), Qt::RightButton, {}, second);
        QTest::mouseDClick(g.viewport(), Qt::MiddleButton, {}, second);
        QTest::mouseDClick(g.horizontalHeader()->viewport(), Qt::RightButton, {}, QPoint(10, 5));
        QCOMPARE(events, 0);
        QCOMPARE(g.current_row(), 1);
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(g.grid_model()->index(1, 0)).center());
        QTest::keyClick(&g, Qt::Key_Left);
        QCOMPARE(events, 1);
        QCOMPARE(g.current_row(), 2);
        QCOMPARE(g.current_col(), 1);
        QVERIFY(g.selectionModel()->isSelected(g.grid_model()->index(1, 2)));
        QVERIFY(!g.selectionModel()->isSelected(g.grid_model()->index(1, 0)));
    }

    // Opened from the menu over a list narrowed by a title search, searched,
    // closed with Esc: the list keeps the result.
    void across_all_data() {
        QTest::addColumn<QList<QByteArray>>("bodies");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QStringList>("titles");
        const QList<QByteArray> mixed{tiny_rtf(u"abc def"_qs), cp932::encode(u"plain ABC text\r\n"_qs), tiny_rtf(u"xyz"_qs)};
        QTest::newRow("letter case, a plain-text body") << mixed << u"ABC"_qs << QStringList{"m1", "m2"};
        QTest::newRow("font name is markup") << mixed << u"Gothic"_qs << QStringList{};
        QTest::newRow("empty keyword, missing bodies") << QList<QByteArray>{tiny_rtf(u"a"_qs), kMissing, tiny_rtf(u"b"_qs), kMissing}
                                                       << QString() << QStringList{"m1", "m3"};
        QTest::newRow("no memos") << QList<QByteArray>{} << u"a"_qs << QStringList{};
    }
    void across_all() {
        QFETCH(QList<QByteArray>, bodies);
        QFETCH(QString, keyword);
        SearchFixture f(bodies);
        f.combo_search(u"m2"_qs);
        QStringList opening, after;  // read inside the window, compared once it is closed
        int off_centre = 0;
        on_next_modal([&](QWidget* w) {
            auto* z = static_cast<F_zenbun*>(w);
            opening << grid_titles(f.form->Grid1) << f.form->Combo2->currentText() + f.form->Text1->text();
            off_centre = qAbs(z->frameGeometry().center().x() - f.form->frameGeometry().center().x());
            SearchFixture::type(z->Combo1, keyword);
            QTest::keyClick(z->Combo1->lineEdit(), Qt::Key_Return);
            QTRY_VERIFY(!z->searching());
            after << f.form->Text1->text() << z->windowTitle();
            QTest::keyClick(z->Combo1->lineEdit(), Qt::Key_Escape);
        });
        f.form->Menu_zenbun_all->trigger();
        QCOMPARE(opening.size(), bodies.size() + 1);  // every memo shown, the keyword box emptied
        QCOMPARE(opening.last(), kOpenHint);
        QVERIFY(off_centre <= 2);
        const QString hint = bodies.contains(kMissing) ? u"本文ファイルを読み込めなかったメモが 2 件あります。"_qs : kOpenHint;
        QCOMPARE(after, QStringList({hint, u"全文検索（すべてのメモ）"_qs}));
        QTEST(grid_titles(f.form->Grid1), "titles");
        QCOMPARE(f.history().mid(0, 3), QStringList({keyword, "m2", "k0"}));  // typed: inserted
        QCOMPARE(combo_items(f.form->Combo2), f.history());
        QCOMPARE(f.form->Text1->text(), QString());
    }

    void a_running_search_stops_at_once() {
        SearchFixture f(QList<QByteArray>(300, tiny_rtf(u"needle"_qs)));
        F_zenbun w(*f.form);
        w.show();
        SearchFixture::type(w.Combo1, u"needle"_qs);
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QVERIFY(w.searching());
        QCOMPARE(w.windowTitle(), F_zenbun::progress_caption(300, 1));
        QVERIFY(QGuiApplication::overrideCursor());
        QTest::mouseClick(w.Command1, Qt::LeftButton);  // ignored while the first runs
        // The reads end before the stop, so that their hand-over is already queued when it comes.
        QThreadPool::globalInstance()->waitForDone();
        QTest::keyClick(w.Combo1->lineEdit(), Qt::Key_Escape);
        QVERIFY(!w.isVisible() && !w.searching() && !QGuiApplication::overrideCursor());
        QCOMPARE(f.form->Text1->text(), F_zenbun::stopped_hint(300, 0));  // the list is said to be partial
        QTest::qWait(300);
        QCOMPARE(f.form->row_maps().shown_count, 0);  // nothing arrives after the stop
    }

    // Against a literal search that ignores letter case: every memo whose shown
    // body literally holds the keyword is listed, and besides those only the
    // memos where whole characters fold to the keyword.
    void across_all_finds_every_literal_hit() {
        QRandomGenerator random(20);
        QStringList texts{u"前ｷｰﾜｰﾄﾞ後"_qs, u"aｶﾞｶﾞb"_qs, u"ﾊﾟﾝ"_qs, u"か\u3099"_qs, u"キーワード"_qs, u"abc"_qs, u"ガ é ド ㍻"_qs};
        while (texts.size() < 40) texts << generated_text(random, 30);
        QList<QByteArray> bodies;
        for (const QString& text : texts) {  // the reported ones and every other one in CP932 where it can be
            const bool hex = (bodies.size() < 3 || bodies.size() % 2 == 0) && cp932::decode(cp932::encode(text)) == text;
            bodies << (hex ? hex_rtf(text) : tiny_rtf(text));
        }
        SearchFixture f(bodies);
        F_zenbun w(*f.form);
        w.show();
        for (const QString& keyword : keywords_from(random, texts, 30)) {
            SearchFixture::type(w.Combo1, keyword);
            QTest::mouseClick(w.Command1, Qt::LeftButton);
            QTRY_VERIFY(!w.searching());
            const QStringList listed = grid_titles(f.form->Grid1);
            QStringList literal, whole;
            for (int i = 0; i < texts.size(); ++i) {
                const QString title = QStringLiteral("m%1").arg(i + 1);
                if (texts[i].contains(keyword, Qt::CaseInsensitive)) literal << title;
                if (!whole_character_hits(texts[i], keyword).isEmpty()) whole << title;
            }
            for (const QString& title : literal) QVERIFY2(listed.contains(title), qPrintable(keyword + u" in "_qs + title));
            QVERIFY2(listed == whole, qPrintable(keyword));
        }
    }

    void in_memo_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QList<QPoint>>("selections");  // (start, length) after each press
        // Letter case, width and the wrap: in the literal-hit test below.
        QTest::newRow("aa in aaa, then wrap") << tiny_rtf(u"aaa"_qs) << u"aa"_qs << QList<QPoint>{{0, 2}, {1, 2}, {0, 2}};
        QTest::newRow("a paragraph break counts one")
            << QByteArray("{\\rtf1 ab\\par\r\ncd\\par\r\n{\\pict\\pngblip\\picw1\\pich1 00}cd}") << u"cd"_qs
            << QList<QPoint>{{3, 2}, {7, 2}};
    }
    void in_memo() {
        QFETCH(QByteArray, body);
        QFETCH(QString, keyword);
        QFETCH(QList<QPoint>, selections);
        SearchFixture f({body});
        click_row(f.form->Grid1, 1);
        F_zenbun2 w(*f.form);
        w.show();
        SearchFixture::type(w.Combo1, keyword);
        QTest::keyClick(w.Combo1->lineEdit(), Qt::Key_Return);  // no default button: starts nothing
        for (const QPoint& s : selections) {
            QTest::mouseClick(w.Command1, Qt::LeftButton);
            QCOMPARE(QPoint(f.form->RTB1->sel_start(), f.form->RTB1->sel_length()), s);
        }
        QCOMPARE(f.platform.texts(), QStringList());  // a miss: in the next test
    }

    // Against a literal search that ignores letter case: the presses select the
    // hits in text order, each literal hit among them with exactly its
    // characters, and no other hit than whole characters folding to the keyword.
    void in_memo_finds_every_literal_hit() {
        QRandomGenerator random(7);
        const QString text = u"前ｷｰﾜｰﾄﾞ後aｶﾞｶﾞbﾊﾟﾝか\u3099キーワードＡＢＣガé㍻"_qs + generated_text(random, 150);
        SearchFixture f({tiny_rtf(text)});
        click_row(f.form->Grid1, 1);
        QCOMPARE(f.form->RTB1->document()->toPlainText(), text);
        F_zenbun2 w(*f.form);
        w.show();
        for (const QString& keyword : keywords_from(random, {text}, 40)) {
            const QList<QPoint> whole = whole_character_hits(text, keyword);
            if (whole.isEmpty()) continue;  // a miss: in the tests below
            SearchFixture::type(w.Combo1, keyword);
            QList<QPoint> selections;  // (start, length), up to the wrap back to the first hit
            while (selections.size() <= text.size()) {
                QTest::mouseClick(w.Command1, Qt::LeftButton);
                const QPoint s(f.form->RTB1->sel_start(), f.form->RTB1->sel_length());
                if (!selections.isEmpty() && s.x() <= selections.last().x()) {
                    QCOMPARE(s, selections.first());
                    break;
                }
                selections << s;
            }
            for (qsizetype at = 0; (at = text.indexOf(keyword, at, Qt::CaseInsensitive)) >= 0; ++at)  // each literal hit
                QVERIFY2(selections.contains(QPoint(int(at), int(keyword.size()))), qPrintable(u"%1 at %2"_qs.arg(keyword).arg(at)));
            QVERIFY2(selections == whole, qPrintable(keyword));
        }
        QCOMPARE(f.platform.texts().size(), 0);
    }

    // A typed keyword starts from the beginning, also one that equals a history entry and is left by a
    // click on the button; a picked one goes on from the last hit, and when its wrap finds nothing the
    // miss is reported at once. The history: the box untouched replaces entry 0 with itself, a typed
    // keyword is inserted, a pick moves that entry to the top, and Enter after a pick counts as typing.
    void in_memo_start_position() {
        SearchFixture f({tiny_rtf(u"aXbXa"_qs)});
        click_row(f.form->Grid1, 1);
        f.form->store().keywords.entries[1] = u"A"_qs;
        f.form->store().keywords.entries[3] = u"zz"_qs;
        F_zenbun2 w(*f.form);
        w.show();
        QVERIFY(activate(&w));
        QTest::mouseClick(w.Command1, Qt::LeftButton);  // k0, as the window opens with it
        SearchFixture::type(w.Combo1, u"x"_qs);
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QCOMPARE(w.search_start(), 4);
        w.Combo1->lineEdit()->setFocus(Qt::MouseFocusReason);
        SearchFixture::type(w.Combo1, u"A"_qs);
        w.Command1->setFocus(Qt::MouseFocusReason);  // as a click on the button moves it, out of the box
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QCOMPARE(f.form->RTB1->sel_start(), 0);
        pick_from_list(w.Combo1, 5);  // "zz", moved down by the two typed keywords
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QCOMPARE(f.platform.texts(), QStringList({u"『k0』は見つかりません。"_qs, u"『zz』は見つかりません。"_qs}));
        QCOMPARE(w.search_start(), 0);
        QCOMPARE(f.history().mid(0, 7), QStringList({"zz", "A", "x", "k0", "A", "k2", "k4"}));
        pick_from_list(w.Combo1, 1);  // A
        QTest::keyClick(w.Combo1->lineEdit(), Qt::Key_Return);
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QCOMPARE(f.history().mid(0, 3), QStringList({"A", "zz", "A"}));
    }
};

QTEST_MAIN(TestMemoList)
#include "tst_memo_list.moc"
