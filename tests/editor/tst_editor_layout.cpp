// The editor's layout rule against its table of places and sizes.

#include "editor/editor_layout.h"

#include <QTest>

using namespace tz;

class TestEditorLayout : public QObject {
    Q_OBJECT
private slots:
    void layout_data() {
        QTest::addColumn<QSize>("previous");  // the size laid out before; empty: as drawn
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("wanted");    // the size the editor must take
        // RTB_kinyu, Command1, Text1, Frame2, then the rest as far as given.
        QTest::addColumn<QList<QRect>>("rects");
        const QSize drawn, large(11000, 8000);
        const QList<QRect> kept{{0, 840, 10865, 5780}, {7740, 6665, 3065, 435}, {6530, 0, 1275, 375}, {0, 6665, 6555, 915}};
        QTest::newRow("larger") << drawn << QSize(10450, 7775) << QSize(10450, 7775)
            << QList<QRect>{{0, 840, 10315, 5555}, {7740, 6440, 2515, 435}, {5980, 0, 1275, 375}, {0, 6440, 6555, 915},
                            {60, 60, 450, 225}, {600, 0, 4255, 345}, {5020, 60, 915, 225}, {7240, 0, 675, 375},
                            {8260, 120, 1575, 195}, {60, 480, 480, 225}, {600, 420, 9715, 390}, {6600, 6440, 1095, 435}};
        // Below the minimum the part still large enough follows; the rest stays.
        QTest::newRow("narrower") << large << QSize(9000, 7000) << QSize(9450, 7000)
            << QList<QRect>{{0, 840, 10865, 4780}, {7740, 5665, 3065, 435}, {6530, 0, 1275, 375}, {0, 5665, 6555, 915}};
        QTest::newRow("one twip lower") << large << QSize(9450, 6474) << QSize(9450, 6475)
            << QList<QRect>{{0, 840, 9315, 5780}, {7740, 6665, 1515, 435}, {4980, 0, 1275, 375}, {0, 6665, 6555, 915}};
        // Minimised (540 high): kept as it is, no snapping.
        QTest::newRow("minimised") << large << QSize(11000, 540) << QSize(11000, 540) << kept;
        QTest::newRow("541 high snaps back") << large << QSize(11000, 541) << QSize(11000, 6475) << kept;
    }

    void layout() {
        QFETCH(QSize, previous);
        QFETCH(QSize, size);
        QFETCH(QList<QRect>, rects);
        EditorLayout before = editor_design_layout();
        if (previous.isValid()) before = editor_layout(previous.width(), previous.height(), before);
        const EditorLayout l = editor_layout(size.width(), size.height(), before);
        QTEST(QSize(l.width, l.height), "wanted");
        const QList<QRect> all{l.RTB_kinyu, l.Command1, l.Text1, l.Frame2, l.Label1, l.Combo1,
                               l.Label2, l.Command3, l.Check3, l.Label6, l.Text2, l.Command2};
        QCOMPARE(all.mid(0, rects.size()), rects);
    }
};

QTEST_APPLESS_MAIN(TestEditorLayout)
#include "tst_editor_layout.moc"
