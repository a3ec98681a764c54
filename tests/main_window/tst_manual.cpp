// The user's manual shipped beside the program (data/manual.wri, opened by 使い方): the program's own
// RTF reader reads it whole, its chapters are headings that the text refers to correctly, and it names
// every window, menu item, button and short label of the program as the user sees them.

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

#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>

using namespace tz;
using namespace tz::test;

namespace {

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

class TestManual : public QObject {
    Q_OBJECT
private slots:
    void read_whole() {
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

    // Every window the program opens, and what the user reads on it, is in the manual, in 「」 as it is shown
    // (a window title as it stands), so a control added or renamed without the manual fails here.
    void names_every_control() {
        const QString text = rtf::plain_text(manual_bytes());  // as read_whole reads it
        FormFixture f;
        Main_form& main = f.start(false);
        const std::unique_ptr<QWidget> windows[] = {
            std::make_unique<F_kinyu>(main), std::make_unique<F_sakujo>(main), std::make_unique<F_secpassin>(main),
            std::make_unique<F_keyset>(main), std::make_unique<F_bunrui>(main), std::make_unique<F_zenbun>(main),
            std::make_unique<F_zenbun2>(main), std::make_unique<F_hakor>(main)};
        QList<QWidget*> all{&main};
        for (const auto& w : windows) all << w.get();
        for (QWidget* window : all) {
            const QStringList texts = texts_of(*window);
            QVERIFY2(text.contains(texts.first()) || window == &main, qPrintable(texts.first()));
            for (const QString& t : texts.mid(1))
                QVERIFY2(text.contains(u'「' + t + u'」'), qPrintable(window->windowTitle() + u": "_qs + t));
        }
    }
};

QTEST_MAIN(TestManual)
#include "tst_manual.moc"
