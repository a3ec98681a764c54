// The memo grid's batch replacement and its click events (left button only).

#include "ui/memo_grid.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

using namespace tz;

class TestMemoGrid : public QObject {
    Q_OBJECT
private slots:
    // A batch replacement is one model reset and keeps the current row number where it can. Only
    // the left button clicks: the others neither select nor report. The fixed column is never
    // current nor selected: a click there selects the row, a key that would land there stays put.
    // (Left clicks on rows and on the header are driven through the main window's list.)
    void batch_replacement_other_buttons_and_the_fixed_column() {
        MemoGrid g;
        g.resize(400, 200);
        QSignalSpy resets(g.grid_model(), &QAbstractItemModel::modelReset);
        g.set_data_rows(std::vector<GridRow>(30000, {"c", "d", "t"}));
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
};

QTEST_MAIN(TestMemoGrid)
#include "tst_memo_grid.moc"
