// The real message boxes the program shows, driven as a user drives them.

#include "support/ui_driving.h"
#include "ui/platform.h"
#include "ui/qt_texts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>

using namespace tz;
using namespace tz::test;

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void messages_show_their_text_title_icon_and_buttons() {
        QtPlatform platform;
        // The box shows its text (a CR is a line break) and its whole title, with
        // room beside it for the window manager's icon and three buttons.
        const QString title = QStringLiteral("メモの数が限界を越えます");
        on_next_modal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            QFont caption = w->font();
            caption.setBold(true);
            QVERIFY(w->width() >= QFontMetrics(caption).horizontalAdvance(title) + 4 * QFontMetrics(caption).height());
            QCOMPARE(box->windowTitle(), title);
            QCOMPARE(box->text(), QStringLiteral("一行目\n二行目"));
            QCOMPARE(box->icon(), QMessageBox::Critical);
            QTest::keyClick(box, Qt::Key_Return);
        });
        QCOMPARE(platform.message(nullptr, QStringLiteral("一行目\r二行目"), title, MsgIcon::Critical, MsgButtons::Ok), MsgAnswer::Ok);

        // Questions: Yes is the default, only No cancels, Esc is No, and Qt's buttons speak Japanese.
        QVERIFY2(install_japanese_qt_texts(qApp), "Qt's Japanese translations (qt6-translations-l10n) are missing");
        QString yes;
        on_next_modal([&](QWidget* w) {
            yes = qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->text();
            QTest::keyClick(w, Qt::Key_Return);
        });
        QCOMPARE(platform.message(nullptr, "?", "t", MsgIcon::Question, MsgButtons::YesNo), MsgAnswer::Yes);
        QCOMPARE(yes, QStringLiteral("はい(&Y)"));
        on_next_modal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        QCOMPARE(platform.message(nullptr, "?", "t", MsgIcon::Question, MsgButtons::YesNo), MsgAnswer::No);
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
