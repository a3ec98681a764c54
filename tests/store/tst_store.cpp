// Values, stamps, the table order, the numbers and names the store gives, the
// code page (CP932) its files are written in, and the folding for the searches:
// case and width forms meet, kana stay apart, every hit maps back to exactly the
// original characters, and every character folds the same whatever stands beside
// it, so nothing literally in a text is lost.

#include "store/cp932.h"
#include "store/memo_store.h"
#include "store/text_fold.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

Q_DECLARE_METATYPE(tz::Value)

class TestStore : public QObject {
    Q_OBJECT
private slots:
    // Values compare as text or as numbers; b as a line of a data file: a text as it was read, a number in
    // plain decimal.
    void values_data() {
        QTest::addColumn<Value>("a");
        QTest::addColumn<Value>("b");
        QTest::addColumn<bool>("equal");
        QTest::addColumn<QString>("line");
        QTest::newRow("blank-padded text equals number") << Value(u" 12 ") << Value::number(12) << true << " 12 ";
        QTest::newRow("fraction reads as a number") << Value(u" 10.05 ") << Value::number(10.05) << true << " 10.05 ";
        QTest::newRow("sign reads") << Value(u"-7") << Value::number(-7) << true << "-7 ";
        QTest::newRow("exponent: none read or written") << Value(u"1e15") << Value::number(1e15) << false << " 1000000000000000 ";
        QTest::newRow("texts compare exactly") << Value(u"12") << Value(u" 12 ") << false << " 12 ";
        QTest::newRow("case and width count") << Value(u"abc") << Value(u"ＡＢＣ") << false << "ＡＢＣ";
        QTest::newRow("non-number text is unequal") << Value(u"12a") << Value::number(12) << false << " 12 ";
        QTest::newRow("empty text is not zero") << Value(u"") << Value::number(0) << false << " 0 ";
        QTest::newRow("whole numbers past 2^53 are exact")
            << Value(u" 9007199254740993 ") << Value::whole(9007199254740992) << false << " 9007199254740992 ";
        QTest::newRow("a fraction of zeros is whole")
            << Value(u"9007199254740993.0") << Value::whole(9007199254740993) << true << " 9007199254740993 ";
    }
    void values() {
        QFETCH(Value, a);
        QFETCH(Value, b);
        QFETCH(bool, equal);
        QCOMPARE(a == b, equal);
        QCOMPARE(b == a, equal);
        QTEST(b.file_line(), "line");
    }

    // The first digit of the year runs on into letters after 1999, so that the
    // stamps of 2000-2049 sort after those of 1950-1999 as plain text.
    void stamps_data() {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("1999") << QDateTime(QDate(1999, 3, 3), QTime(8, 5, 9)) << QStringLiteral("99/03/03 08:05:09");
        QTest::newRow("2003") << QDateTime(QDate(2003, 1, 1), QTime(0, 0, 0)) << QStringLiteral("a3/01/01 00:00:00");
        QTest::newRow("2049") << QDateTime(QDate(2049, 12, 31), QTime(23, 59, 59)) << QStringLiteral("e9/12/31 23:59:59");
        QTest::newRow("2050 keeps its digit") << QDateTime(QDate(2050, 1, 1), QTime(0, 0, 0)) << QStringLiteral("50/01/01 00:00:00");
    }
    void stamps() {
        QFETCH(QDateTime, moment);
        QTEST(stamp_text(moment), "stamp");
        QCOMPARE(date_text(moment.date()), moment.toString(u"yyyy/MM/dd"));
    }

    // Newest first, equal stamps in their old order, a prefix before what it begins; 99 (1999) after the
    // years of letters. More memos than an unstable sort keeps in order.
    void resort_keeps_equal_stamps_in_their_order() {
        const char16_t* stamps[] = {u"c6/12/02 00:00:00", u"c6/12/03 00:00:00", u"c6/12/0", u"99/12/31 23:59:59"};
        MemoTable t;
        for (int i = 0; i < 60; ++i) {
            MemoRecord m;
            m.memo_number = Value::number(i);
            m.updated_stamp = Value(stamps[i % 4]);
            t.append(m);
        }
        t.resort();
        t.resort();
        QStringList order, expected;
        for (int i = 1; i <= t.count(); ++i) order << t.slot(i).memo_number.display();
        for (int first : {1, 0, 2, 3})
            for (int i = first; i < 60; i += 4) expected << Value::number(i).display();
        QCOMPARE(order, expected);
    }

    void body_paths_have_six_digits_at_least_data() {
        QTest::addColumn<Value>("number");
        QTest::addColumn<QString>("digits");
        QTest::newRow("12") << Value::number(12) << QStringLiteral("000012");
        QTest::newRow("text with blanks") << Value(u" 13 ") << QStringLiteral("000013");
        QTest::newRow("1000000") << Value::number(1000000) << QStringLiteral("1000000");
        QTest::newRow("eighteen digits") << Value(u"999999999999999999") << QStringLiteral("999999999999999999");
        // A field that is no memo number names no file at all.
        for (const char16_t* bad : {u"abc", u"0", u"-3", u"12.5", u"", u"1000000000000000000", u"99999999999999999999"})
            QTest::addRow("no number: '%s'", qPrintable(QString::fromUtf16(bad))) << Value(bad) << QString();
    }
    void body_paths_have_six_digits_at_least() {
        QFETCH(Value, number);
        QFETCH(QString, digits);
        MemoStore store(QStringLiteral("/data/folder"));
        const QString name = digits + u".txt"_qs;
        QCOMPARE(store.text_body_path(number), digits.isEmpty() ? QString() : u"/data/folder/memo1/m1"_qs + name);
        QCOMPARE(store.rich_body_path(number), digits.isEmpty() ? QString() : u"/data/folder/memo2/m2"_qs + name);
    }

    void counter_only_grows() {
        QTemporaryDir dir;
        MemoStore store(dir.path());
        store.settings[Settings::Counter] = Value::number(10);
        store.raise_counter(Value(u" 7 "));
        QCOMPARE(store.settings[Settings::Counter].file_line(), QStringLiteral(" 10 "));
        store.raise_counter(Value(u" 12 "));
        QCOMPARE(store.settings[Settings::Counter].file_line(), QStringLiteral(" 12 "));  // the memo's text as read
        store.raise_counter(Value(u"junk"));
        QCOMPARE(store.next_memo_number().file_line(), QStringLiteral(" 13 "));
        // Numbers whose body files are on the disk (another computer gave them out) are passed over.
        for (const char* taken : {"memo1/m1000014.txt", "memo2/m2000015.txt"}) {
            QDir(dir.path()).mkpath(QString(taken).section('/', 0, 0));
            QFile(dir.filePath(taken)).open(QIODevice::WriteOnly);
        }
        QCOMPARE(store.next_memo_number().file_line(), QStringLiteral(" 16 "));
        store.raise_counter(Value(u" 9007199254740992 "));
        QCOMPARE(store.next_memo_number().file_line(), QStringLiteral(" 9007199254740993 "));
        QCOMPARE(store.next_memo_number().file_line(), QStringLiteral(" 9007199254740994 "));
        store.raise_counter(Value(u"999999999999999999"));
        QVERIFY(!store.can_number_new_memo());
        QCOMPARE(store.next_memo_number().file_line(), QString());  // no number is given twice
        QCOMPARE(store.settings[Settings::Counter].file_line(), QStringLiteral("999999999999999999"));
    }

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
        if (decodes) {
            QCOMPARE(cp932::decode(bytes), text);
            QString in_block;
            {
                cp932::BlockDecoder block(bytes.size() + 1);
                in_block = block.decode(bytes);
            }
            QCOMPARE(in_block, text);
            QCOMPARE(in_block.utf16()[in_block.size()], u'\0');
        }
        if (encodes) QCOMPARE(cp932::encode(text), bytes);
    }

    // Texts decoded into one block share it: a change to one reaches no other,
    // whether others still share the block or it is the last one left; a text
    // past the block's room is decoded on its own.
    void block_texts_change_alone() {
        std::vector<QString> t;
        {
            cp932::BlockDecoder block(9);
            // "xyz" and its null take one unit more than the room left; "de" fills it.
            for (const char* line : {"abc", "\x95\x5c", "past the room", "xyz", "de"}) t.push_back(block.decode(line));
        }
        t[0].append(u"XYZ");
        t[0][0] = u'Z';
        QCOMPARE(t, (std::vector<QString>{u"ZbcXYZ"_qs, u"表"_qs, u"past the room"_qs, u"xyz"_qs, u"de"_qs}));
        QString alone = std::move(t[4]);
        t.clear();
        alone.append(u"fg");
        alone.prepend(u"0");
        QCOMPARE(alone, u"0defg"_qs);
        QCOMPARE(alone.utf16()[alone.size()], u'\0');
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

QTEST_APPLESS_MAIN(TestStore)
#include "tst_store.moc"
