// The two full-text search windows as a user works them: the search across
// all memos fills the main list with the memos whose shown body holds the
// keyword (never markup, never a missing file), keeps the keyword history and
// stops at once; the search in the shown memo selects each hit in the viewer.
// Both find every place where the keyword literally stands, in any letter case,
// and besides those only runs of whole characters that fold to the keyword.

#include "dialogs/f_zenbun.h"
#include "dialogs/f_zenbun2.h"
#include "store/cp932.h"
#include "store/text_fold.h"
#include "support/form_fixture.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

using namespace tz;
using namespace tz::test;

namespace {

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

class TestFullTextSearch : public QObject {
    Q_OBJECT
private slots:
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

QTEST_MAIN(TestFullTextSearch)
#include "tst_full_text_search.moc"
