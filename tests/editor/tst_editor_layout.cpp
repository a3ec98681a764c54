// The editor's layout rule against its table of places and sizes.

#include "editor/editor_layout.h"

#include <QTest>

using namespace tz;

Q_DECLARE_METATYPE(QRect)

class TestEditorLayout : public QObject {
    Q_OBJECT
private slots:
    void follows_size_data();
    void follows_size();
    void snaps_back_data();
    void snaps_back();
    void minimised_keeps_everything();
};

void TestEditorLayout::follows_size_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("expected");

    // The smallest editor: dW = 0, dH = -500.
    const int w0 = 9450, h0 = 6475;
    QTest::newRow("min Label1") << w0 << h0 << "Label1" << QRect(60, 60, 450, 225);
    QTest::newRow("min Combo1") << w0 << h0 << "Combo1" << QRect(600, 0, 3255, 345);
    QTest::newRow("min Label2") << w0 << h0 << "Label2" << QRect(4020, 60, 915, 225);
    QTest::newRow("min Text1") << w0 << h0 << "Text1" << QRect(4980, 0, 1275, 375);
    QTest::newRow("min Command3") << w0 << h0 << "Command3" << QRect(6240, 0, 675, 375);
    QTest::newRow("min Check3") << w0 << h0 << "Check3" << QRect(7260, 120, 1575, 195);
    QTest::newRow("min Label6") << w0 << h0 << "Label6" << QRect(60, 480, 480, 225);
    QTest::newRow("min Text2") << w0 << h0 << "Text2" << QRect(600, 420, 8715, 390);
    QTest::newRow("min RTB_kinyu") << w0 << h0 << "RTB_kinyu" << QRect(0, 840, 9315, 4255);
    QTest::newRow("min Frame2") << w0 << h0 << "Frame2" << QRect(0, 5140, 6555, 915);
    QTest::newRow("min Command2") << w0 << h0 << "Command2" << QRect(6600, 5140, 1095, 435);
    QTest::newRow("min Command1") << w0 << h0 << "Command1" << QRect(7740, 5140, 1515, 435);

    // Larger: dW = 1000, dH = 800.
    const int w1 = 10450, h1 = 7775;
    QTest::newRow("big Label1") << w1 << h1 << "Label1" << QRect(60, 60, 450, 225);
    QTest::newRow("big Combo1") << w1 << h1 << "Combo1" << QRect(600, 0, 4255, 345);
    QTest::newRow("big Label2") << w1 << h1 << "Label2" << QRect(5020, 60, 915, 225);
    QTest::newRow("big Text1") << w1 << h1 << "Text1" << QRect(5980, 0, 1275, 375);
    QTest::newRow("big Command3") << w1 << h1 << "Command3" << QRect(7240, 0, 675, 375);
    QTest::newRow("big Check3") << w1 << h1 << "Check3" << QRect(8260, 120, 1575, 195);
    QTest::newRow("big Label6") << w1 << h1 << "Label6" << QRect(60, 480, 480, 225);
    QTest::newRow("big Text2") << w1 << h1 << "Text2" << QRect(600, 420, 9715, 390);
    QTest::newRow("big RTB_kinyu") << w1 << h1 << "RTB_kinyu" << QRect(0, 840, 10315, 5555);
    QTest::newRow("big Frame2") << w1 << h1 << "Frame2" << QRect(0, 6440, 6555, 915);
    QTest::newRow("big Command2") << w1 << h1 << "Command2" << QRect(6600, 6440, 1095, 435);
    QTest::newRow("big Command1") << w1 << h1 << "Command1" << QRect(7740, 6440, 2515, 435);

    // Only wider, at the designed height (dH = 0).
    QTest::newRow("wide RTB_kinyu") << 12000 << 6975 << "RTB_kinyu" << QRect(0, 840, 11865, 4755);
    QTest::newRow("wide Command1") << 12000 << 6975 << "Command1" << QRect(7740, 5640, 4065, 435);
}

static QRect pick(const EditorLayout& l, const QString& name) {
    const std::pair<const char*, QRect> all[] = {
        {"Label1", l.Label1}, {"Combo1", l.Combo1},     {"Label2", l.Label2},         {"Text1", l.Text1},
        {"Command3", l.Command3}, {"Check3", l.Check3}, {"Label6", l.Label6},         {"Text2", l.Text2},
        {"RTB_kinyu", l.RTB_kinyu}, {"Frame2", l.Frame2}, {"Command2", l.Command2}, {"Command1", l.Command1}};
    for (const auto& [n, r] : all)
        if (name == QLatin1String(n)) return r;
    return QRect();
}

void TestEditorLayout::follows_size() {
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(QString, control);
    QFETCH(QRect, expected);
    const EditorLayout l = editor_layout(w, h, editor_design_layout());
    QCOMPARE(l.width, w);
    QCOMPARE(l.height, h);
    QCOMPARE(pick(l, control), expected);
}

void TestEditorLayout::snaps_back_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("want_w");
    QTest::addColumn<int>("want_h");
    QTest::newRow("narrow") << 9000 << 7000 << 9450 << 7000;
    QTest::newRow("low") << 10000 << 6000 << 10000 << 6475;
    QTest::newRow("both") << 100 << 100 << 9450 << 6475;
    QTest::newRow("one twip low") << 9450 << 6474 << 9450 << 6475;
    QTest::newRow("one twip narrow") << 9449 << 6475 << 9450 << 6475;
    QTest::newRow("just above minimised") << 9450 << 541 << 9450 << 6475;
}

void TestEditorLayout::snaps_back() {
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, want_w);
    QFETCH(int, want_h);
    // Laid out at 11000 × 8000 first; a size below the minimum changes only the
    // part that is still large enough, and asks for the snapped size.
    const EditorLayout before = editor_layout(11000, 8000, editor_design_layout());
    const EditorLayout l = editor_layout(w, h, before);
    QCOMPARE(l.width, want_w);
    QCOMPARE(l.height, want_h);
    const QRect body = l.RTB_kinyu;
    if (w < 9450) {
        QCOMPARE(body.width(), before.RTB_kinyu.width());
        QCOMPARE(l.Command1.width(), before.Command1.width());
        QCOMPARE(l.Text1.left(), before.Text1.left());
    } else {
        QCOMPARE(body.width(), 9315 + w - 9450);
    }
    if (h < 6475) {
        QCOMPARE(body.height(), before.RTB_kinyu.height());
        QCOMPARE(l.Frame2.top(), before.Frame2.top());
    } else {
        QCOMPARE(body.height(), 4755 + h - 6975);
    }
}

void TestEditorLayout::minimised_keeps_everything() {
    const EditorLayout before = editor_layout(11000, 8000, editor_design_layout());
    const EditorLayout l = editor_layout(11000, 540, before);
    QCOMPARE(l.height, 540);  // no snapping while minimised
    QCOMPARE(l.width, 11000);
    QCOMPARE(l.RTB_kinyu, before.RTB_kinyu);
    QCOMPARE(l.Frame2, before.Frame2);
    QCOMPARE(l.Command1, before.Command1);
    QCOMPARE(l.Command2, before.Command2);
}

QTEST_APPLESS_MAIN(TestEditorLayout)
#include "tst_editor_layout.moc"
