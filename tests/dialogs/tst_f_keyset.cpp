// The password setting dialog: its two steps, cancelling, and the settings
// file holding a new password at once.

#include "dialogs/f_keyset.h"
#include "store/file_io.h"
#include "support/form_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tz;
using namespace tz::test;

class TestKeyset : public QObject {
    Q_OBJECT
private slots:
    void steps_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("inputs");  // typed and Enter; <esc> and <cancel> cancel
        QTest::addColumn<QString>("steps");       // after each input; 0: closed
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("blocked");  // tzurio.ini cannot be written
        const auto remember = [](const QString& p) { return QStringLiteral("新しいパスワード『%1』を忘れないようにして下さい。").arg(p); };
        const QString wrong = QStringLiteral("現在のパスワードが間違っています。");
        QTest::newRow("case counts") << "abc" << QStringList{"ABC", "abc", "xyz"} << "120" << QStringList{wrong, remember("xyz")} << "xyz" << false;
        QTest::newRow("empty removes it") << "abc" << QStringList{"abc", ""} << "20" << QStringList{remember("")} << "" << false;
        // The settings file must give back the password as typed: no "?" and no
        // nearest character (〜 would come back as ～, ¥ as \).
        const auto lost = [](const QString& chars) {
            return QStringLiteral("パスワードに、ファイルに保存できない文字が含まれています：%1\rこれらの文字を取り除いてから入力してください。").arg(chars);
        };
        QTest::newRow("line break, characters the code page lacks") << "" << QStringList{"a\nb", "café😀é", "<esc>"} << "220"
            << QStringList{"パスワードに改行が含まれています。\r改行を取り除いてから入力してください。", lost("é 😀")} << "" << false;
        QTest::newRow("nearest characters, CANCEL") << "abc" << QStringList{"abc", "x〜¥", "<cancel>"} << "220"
                                                    << QStringList{lost("〜 ¥")} << "abc" << false;
        QTest::newRow("none yet; extension characters") << "" << QStringList{"①髙ｶﾅ"} << "0" << QStringList{remember("①髙ｶﾅ")} << "①髙ｶﾅ"
                                              << false;
        QTest::newRow("not written") << "abc" << QStringList{"abc", "n"} << "20"
                                     << QStringList{remember("n"), "ファイル tzurio.ini を保存できませんでした。\r新しいパスワードは終了時にもう一度保存します。"}
                                     << "n" << true;
    }
    void steps() {
        QFETCH(QString, stored);
        QFETCH(QStringList, inputs);
        QFETCH(QString, steps);
        QFETCH(QString, password);
        QFETCH(bool, blocked);
        FormFixture f;
        f.start();  // on an empty folder: a first start
        f.form->store().settings[Settings::LockPassword] = Value(stored);
        QVERIFY(write_settings(f.form->store()));
        if (blocked) block_file(f.path("tzurio.ini"));
        const auto files = folder_contents(f.dir.path());
        F_keyset d(*f.form);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        int before = stored.isEmpty() ? 2 : 1;
        for (int i = 0; i < inputs.size(); ++i) {
            if (inputs[i] == u"<esc>") {
                QTest::keyClick(d.Text1, Qt::Key_Escape);
            } else if (inputs[i] == u"<cancel>") {  // Enter on the focused button
                d.Command2->setFocus();
                QTest::keyClick(d.Command2, Qt::Key_Return);
            } else {
                d.Text1->clear();
                d.Text1->insert(inputs[i]);
                QTest::keyClick(d.Text1, Qt::Key_Return);
            }
            const int step = steps[i].digitValue();
            QCOMPARE(d.isVisible() ? d.password_step() : 0, step);
            if (step == 0) break;
            QCOMPARE(d.Label1->palette().color(QPalette::WindowText), step == 1 ? QColor(0, 0, 255) : QColor(255, 0, 0));
            // A wrong or refused password stays as typed, in the focused entry;
            // passing step 1 empties the entry.
            QCOMPARE(d.Text1->text(), step == 1 || before == 2 ? inputs[i] : QString());
            QCOMPARE(d.focusWidget(), d.Text1);
            before = step;
        }
        QTEST(f.platform.texts(), "messages");
        for (const Message& m : f.platform.messages)  // wrong passwords and failures with the error icon
            QCOMPARE(m.icon, m.text.startsWith(u'新') || m.text.startsWith(u'パ') ? MsgIcon::None : MsgIcon::Critical);
        QCOMPARE(f.form->store().settings[Settings::LockPassword].display(), password);
        // The settings file holds the new password before the program ends;
        // without a new one no file changes.
        if (!blocked) QCOMPARE(read_lines(f.path("tzurio.ini")).value().value(Settings::LockPassword), password);
        if (password == stored) QVERIFY(folder_contents(f.dir.path()) == files);
    }
};

QTEST_MAIN(TestKeyset)
#include "tst_f_keyset.moc"
