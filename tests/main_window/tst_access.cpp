// Keyboard, screen reader, input method and the manual: Tab goes round the main
// window and back, every control of every window has a name a screen reader can
// say and is named in the user's manual (data/manual.wri, opened by 使い方),
// which the program's own RTF reader reads whole; the password boxes take no
// input-method text, and the message boxes answer keys.

#include "dialogs/f_bunrui.h"
#include "dialogs/f_hakor.h"
#include "dialogs/f_keyset.h"
#include "dialogs/f_sakujo.h"
#include "dialogs/f_secpassin.h"
#include "dialogs/f_zenbun.h"
#include "dialogs/f_zenbun2.h"
#include "editor/f_kinyu.h"
#include "rtf/document.h"
#include "rtf/reader.h"
#include "support/form_fixture.h"
#include "ui/accessible_names.h"
#include "ui/platform.h"
#include "ui/qt_texts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>

using namespace tz;
using namespace tz::test;

namespace {

// A window of the program over the main window; none for the main window itself.
std::unique_ptr<QWidget> open_window(const QString& name, Main_form& form) {
    form.hand_over().editor_mode = EditorMode::NewMemo;
    if (name == u"F_kinyu") return std::make_unique<F_kinyu>(form);
    if (name == u"F_sakujo") return std::make_unique<F_sakujo>(form);
    if (name == u"F_secpassin") return std::make_unique<F_secpassin>(form);
    if (name == u"F_keyset") return std::make_unique<F_keyset>(form);
    if (name == u"F_bunrui") return std::make_unique<F_bunrui>(form);
    if (name == u"F_zenbun") return std::make_unique<F_zenbun>(form);
    if (name == u"F_zenbun2") return std::make_unique<F_zenbun2>(form);
    if (name == u"F_hakor") return std::make_unique<F_hakor>(form);
    return nullptr;
}

// What a user works or reads: every widget of the window that takes the focus,
// every button, list and progress bar; not the parts of another control (a
// list's scroll bars and header, the menu bar's overflow button, a combo box's
// text field, which is checked with its box).
bool is_control(const QWidget* w, const QWidget* window) {
    if (w->window() != window) return false;
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QAbstractScrollArea*>(p) || qobject_cast<const QComboBox*>(p) || qobject_cast<const QMenuBar*>(p))
            return false;
    return (w->focusPolicy() & Qt::TabFocus) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QProgressBar*>(w);
}

QString name_of(QObject* o) { return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name); }

QByteArray manual_bytes() {
    QFile f(QStringLiteral(TZ_TEST_DATA "/../../data/manual.wri"));
    if (!f.open(QIODevice::ReadOnly)) qFatal("data/manual.wri is missing");
    return f.readAll();
}

// What the user reads on a control: its caption without the access key's "&".
QString shown(QString caption) { return caption.remove(u'&'); }

// The window title, menu items, buttons and short labels (those that name a box) of one window.
QStringList texts_of(QWidget& window) {
    QStringList texts{window.windowTitle()};
    for (const QAbstractButton* b : window.findChildren<QAbstractButton*>())
        if (!b->text().isEmpty()) texts.append(shown(b->text()));
    for (const QLabel* l : window.findChildren<QLabel*>())
        if (!l->text().isEmpty() && l->text().size() <= 12) texts.append(l->text());
    if (auto* main = qobject_cast<QMainWindow*>(&window)) {
        for (QAction* top : main->menuBar()->actions()) {
            texts.append(shown(top->text()));
            if (top->menu())
                for (const QAction* item : top->menu()->actions())
                    if (!item->isSeparator()) texts.append(shown(item->text()));
        }
    }
    return texts;
}

}  // namespace

class TestAccess : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { install_accessible_names(); }

    void the_manual_reads_whole() {
        const QByteArray bytes = manual_bytes();
        QVERIFY(rtf::is_rtf(bytes));  // the desktop's handler for .wri files reads it by its content
        QTextDocument doc;
        rtf::read_into(bytes, doc);
        const QString text = doc.toPlainText();
        QCOMPARE(rtf::plain_text(bytes), text);
        // One paragraph for every \par of the file: nothing swallowed by a group read as skipped, nothing
        // merged; and no markup or undecodable byte shows through.
        const qsizetype pars = QString::fromLatin1(bytes).count(QRegularExpression(QStringLiteral("\\\\par(?![a-z])")));
        QStringList paragraphs = text.split(u'\n');
        if (paragraphs.last().isEmpty()) paragraphs.removeLast();
        QCOMPARE(paragraphs.size(), pars);
        QVERIFY(!paragraphs.contains(QString()));  // the manual has no empty paragraph
        for (const QChar c : {QChar(u'\\'), QChar(u'{'), QChar(u'}'), QChar(QChar::ReplacementCharacter)})
            QVERIFY2(!text.contains(c), qPrintable(c));
        QVERIFY(text.contains(u"（éや絵文字など）"_qs));  // a character the code page lacks, as \uN
        QCOMPARE(paragraphs.first(), u"【ツヅリオ】Ver.3.0　使い方"_qs);
        QCOMPARE(paragraphs.last(), u"― 以上 ―"_qs);

        // The chapters "N. name" are numbered 1, 2, ... in order, bold and larger than the text; every
        // reference 「N. name」 in the text names one of them.
        const QRegularExpression chapter(QStringLiteral("^(\\d+)\\. \\S"));
        QStringList chapters;
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            const QRegularExpressionMatch m = chapter.match(block.text());
            if (!m.hasMatch()) continue;
            QCOMPARE(m.captured(1).toInt(), chapters.size() + 1);
            const QTextCharFormat format = block.begin().fragment().charFormat();
            QVERIFY2(format.font().bold() && format.fontPointSize() > 12, qPrintable(block.text()));
            chapters.append(block.text());
        }
        QVERIFY(chapters.size() >= 10);
        const QRegularExpression reference(QStringLiteral("「(\\d+\\. [^」]+)」"));
        for (const QRegularExpressionMatch& m : reference.globalMatch(text))
            QVERIFY2(chapters.contains(m.captured(1)), qPrintable(m.captured(1)));
    }

    // Tab from the category box goes through every control and back to it
    // (Shift+Tab, the same order backwards, is Qt's). The hint line is not in
    // the cycle, and a click on it hands the focus to 登録.
    void tab_goes_round_the_main_window_data() {
        QTest::addColumn<bool>("fast");  // fast mode, and a web address selected
        QTest::addColumn<QStringList>("cycle");
        QTest::newRow("detailed") << false
            << QStringList{"Combo1", "Combo2", "Command5", "Option2", "Grid1", "RTB1", "Command6", "Command8", "Command7",
                           "Command9"};
        QTest::newRow("fast, web address selected") << true
            << QStringList{"Combo1", "Combo2", "Command5", "Option1", "Grid1", "RTB1", "Command1", "Command6", "Command8",
                           "Command7", "Command9"};
    }
    void tab_goes_round_the_main_window() {
        QFETCH(bool, fast);
        QFETCH(QStringList, cycle);
        FormFixture f;
        Main_form& form = f.start();
        QVERIFY(activate(&form));
        if (fast) QTest::mouseClick(form.Option1, Qt::LeftButton);  // Tab then stops at the chosen mode
        form.Command1->setVisible(fast);
        form.Combo1->setFocus(Qt::TabFocusReason);
        QStringList seen;  // from the category box round to it
        for (int i = 0; i <= cycle.size(); ++i) {
            seen << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(seen, cycle + QStringList{cycle.first()});
        QTest::mouseClick(form.Text1, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), form.Command6);
    }

    // Each control says what it is for: a name, its label's text where a
    // label captions it, never only the value it holds; an editable box's text
    // field (where the focus goes) says the same. Captions are linked to their
    // boxes, no list reads out a heading in English, and every check box and
    // option button has room for its box. The window and what the user reads on
    // it are in the manual, in 「」 as shown (a window title as it stands), so a
    // control added or renamed without the manual fails here.
    void every_control_has_a_name_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("captions");  // labels that caption a control
        QTest::newRow("main window") << "" << QStringList{"Label1", "Label2"};
        QTest::newRow("editor") << "F_kinyu" << QStringList{"Label1", "Label2", "Label6", "Label3", "Label4", "Label5"};
        QTest::newRow("delete") << "F_sakujo" << QStringList{};
        QTest::newRow("unlock") << "F_secpassin" << QStringList{"Label1"};
        QTest::newRow("password") << "F_keyset" << QStringList{"Label1"};
        QTest::newRow("categories") << "F_bunrui" << QStringList{};
        QTest::newRow("search all") << "F_zenbun" << QStringList{"Label1"};
        QTest::newRow("search shown") << "F_zenbun2" << QStringList{"Label1"};
        QTest::newRow("import") << "F_hakor" << QStringList{};
    }
    void every_control_has_a_name() {
        QFETCH(QString, window);
        QFETCH(QStringList, captions);
        FormFixture f;
        f.start();
        const std::unique_ptr<QWidget> opened = open_window(window, *f.form);
        QWidget* top = opened ? opened.get() : f.form.get();
        top->show();
        QVERIFY(QTest::qWaitForWindowExposed(top));
        int controls = 0;
        for (QWidget* w : top->findChildren<QWidget*>()) {
            if (!is_control(w, top)) continue;
            ++controls;
            const QByteArray where = w->objectName().toUtf8() + " (" + w->metaObject()->className() + ")";
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            const QString name = a->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty(), where);
            if (qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w)) QVERIFY2(name != a->text(QAccessible::Value), where);
            for (const QLabel* label : top->findChildren<QLabel*>())
                if (label->buddy() == w) QCOMPARE(name, label->text());
            if (auto* box = qobject_cast<QComboBox*>(w); box && box->lineEdit()) QCOMPARE(name_of(box->lineEdit()), name);
            if (QAccessibleTableInterface* table = a->tableInterface())
                for (int c = 0; c < table->columnCount(); ++c) {
                    const QString heading = table->columnDescription(c);
                    QVERIFY2(!heading.contains(QRegularExpression("[A-Za-z]")), where + " " + heading.toUtf8());
                }
            if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
                const auto box = qobject_cast<QRadioButton*>(w) ? QStyle::PM_ExclusiveIndicatorHeight : QStyle::PM_IndicatorHeight;
                QVERIFY2(w->height() >= w->style()->pixelMetric(box, nullptr, w), where);
            }
        }
        QVERIFY(controls >= 2);
        for (const QString& caption : captions) QVERIFY2(top->findChild<QLabel*>(caption)->buddy(), caption.toUtf8());
        if (!opened) QVERIFY(QAccessible::queryAccessibleInterface(f.form->Text1)->state().readOnly);  // the hint line
        const QString manual = rtf::plain_text(manual_bytes());  // as the_manual_reads_whole reads it
        const QStringList texts = texts_of(*top);
        QVERIFY2(manual.contains(texts.first()) || !opened, qPrintable(texts.first()));
        for (const QString& t : texts.mid(1)) QVERIFY2(manual.contains(u'「' + t + u'」'), qPrintable(t));
    }

    // An input method asks the focused box whether it takes composed text
    // before it sends any: the password boxes say no, and text sent anyway
    // (a conversion committed as the focus moves in) is not taken. Keys are.
    void password_boxes_take_no_input_method_text_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("takes");
        QTest::newRow("unlock") << "F_secpassin" << "Text1" << false;
        QTest::newRow("password setting") << "F_keyset" << "Text1" << false;
        QTest::newRow("editor's title, for comparison") << "F_kinyu" << "Text2" << true;
    }
    void password_boxes_take_no_input_method_text() {
        QFETCH(QString, window);
        QFETCH(QString, box);
        QFETCH(bool, takes);
        FormFixture f;
        f.start();
        const std::unique_ptr<QWidget> w = open_window(window, *f.form);
        w->show();
        QVERIFY(activate(w.get()));
        auto* edit = w->findChild<QLineEdit*>(box);
        edit->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(QApplication::focusObject(), edit);
        QInputMethodQueryEvent query(Qt::ImEnabled);
        QApplication::sendEvent(QApplication::focusObject(), &query);
        QCOMPARE(query.value(Qt::ImEnabled).toBool(), takes);
        QInputMethodEvent composing(QStringLiteral("かいぎ"), {});
        QApplication::sendEvent(edit, &composing);
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("会議"));
        QApplication::sendEvent(edit, &commit);
        QTest::keyClicks(edit, "pw");
        QCOMPARE(edit->text(), takes ? QStringLiteral("会議pw") : QStringLiteral("pw"));
        QCOMPARE(edit->echoMode(), QLineEdit::Normal);  // a password is shown as typed, like any text
    }

    // The real message boxes the program shows, driven as a user drives them.
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

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
