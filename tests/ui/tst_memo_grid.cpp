// The memo grid's row operations and its click events (left button only).

#include "ui/memo_grid.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

using namespace tz;

namespace {

QStringList titles(const MemoGrid& g) {
    QStringList t;
    for (int r = 1; r < g.rows(); ++r) t.append(g.cell_text(r, 2));
    return t;
}

}  // namespace

class TestMemoGrid : public QObject {
    Q_OBJECT
private slots:
    void rows_insert_above_the_empty_row_and_remove() {
        MemoGrid g;
        QCOMPARE(g.rows(), 2);  // the header and the empty row
        g.add_item("c\td\tfirst", 1);
        g.add_item("c\td\tsecond", 2);  // at row k with k-1 memo rows: just above the empty row
        g.add_item("c\td\ttop", 1);
        QCOMPARE(titles(g), QStringList({"top", "first", "second", ""}));
        QCOMPARE(g.cell_text(1, 0), QStringLiteral("c"));
        QCOMPARE(g.cell_text(1, 1), QStringLiteral("d"));
        g.remove_item(2);
        QCOMPARE(titles(g), QStringList({"top", "second", ""}));
        for (int i = 0; i < 2; ++i) g.remove_item(1);
        QCOMPARE(g.rows(), 2);
        QCOMPARE(titles(g), QStringList({""}));
        g.remove_item(5);  // out of range: nothing happens
        QCOMPARE(g.rows(), 2);
    }

    void batch_replacement_keeps_the_current_row_number() {
        MemoGrid g;
        std::vector<GridRow> rows;
        for (int i = 0; i < 30000; ++i) rows.push_back({"c", "d", QString::number(i)});
        rows.push_back({});
        QSignalSpy resets(g.grid_model(), &QAbstractItemModel::modelReset);
        QSignalSpy inserts(g.grid_model(), &QAbstractItemModel::rowsInserted);
        g.set_data_rows(rows);
        QCOMPARE(resets.count(), 1);
        QCOMPARE(inserts.count(), 0);
        QCOMPARE(g.rows(), 30002);
        g.set_current_row(5);
        g.set_data_rows({{"a", "b", "c"}, {}});
        QCOMPARE(g.current_row(), 2);  // clamped to the rows there are
        g.set_current_row(0);
        QCOMPARE(g.current_row(), 0);
    }

    void clicks_make_the_cell_current_before_the_event() {
        MemoGrid g;
        g.resize(400, 200);
        g.set_data_rows({{"a", "1", "one"}, {"b", "2", "two"}, {}});
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        int row_at_click = -1;
        int clicks = 0, doubles = 0;
        connect(&g, &MemoGrid::grid_click, this, [&] { row_at_click = g.current_row(); ++clicks; });
        connect(&g, &MemoGrid::grid_dbl_click, this, [&] { ++doubles; });
        const QPoint second = g.visualRect(g.grid_model()->index(1, 2)).center();
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(row_at_click, 2);
        QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(doubles, 1);
        // A click on the header makes the header row current.
        QTest::mouseClick(g.horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
        QCOMPARE(row_at_click, 0);
        QTest::mouseDClick(g.horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
        QCOMPARE(doubles, 2);
        QCOMPARE(g.current_row(), 0);
        // Only the left button clicks: the others neither select nor report.
        const int clicked = clicks;
        QTest::mouseClick(g.viewport(), Qt::RightButton, {}, second);
        QTest::mouseDClick(g.viewport(), Qt::MiddleButton, {}, second);
        QTest::mouseDClick(g.horizontalHeader()->viewport(), Qt::RightButton, {}, QPoint(10, 5));
        QCOMPARE(clicks, clicked);
        QCOMPARE(doubles, 2);
        QCOMPARE(g.current_row(), 0);
        // Keyboard movement changes the row without a click.
        const int before = clicks;
        g.set_current_row(1);
        QTest::keyClick(&g, Qt::Key_Down);
        QCOMPARE(g.current_row(), 2);
        QCOMPARE(clicks, before);
        // The fixed column is never current nor selected: a click there
        // selects the row, a key that would land there stays put.
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(g.grid_model()->index(0, 0)).center());
        QTest::keyClick(&g, Qt::Key_Left);
        QCOMPARE(g.current_row(), 1);
        QCOMPARE(g.current_col(), 1);
        QVERIFY(g.selectionModel()->isSelected(g.grid_model()->index(0, 2)));
        QVERIFY(!g.selectionModel()->isSelected(g.grid_model()->index(0, 0)));
    }
};

QTEST_MAIN(TestMemoGrid)
#include "tst_memo_grid.moc"
