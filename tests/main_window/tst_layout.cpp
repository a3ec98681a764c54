// The main window's layout rule and the splitter band, as numbers and on the
// real window at several pixel densities.

#include "main_window/main_layout.h"
#include "support/form_fixture.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"
#include "ui/twips.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tz;
using namespace tz::test;

namespace {

// Equal within a pixel's rounding.
bool near(int a, int b) { return std::abs(a - b) <= 15; }

}  // namespace

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void layout_rule_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("list");
        QTest::addColumn<bool>("after_big");  // laid out at 10450 × 7475 before, else as drawn
        QTest::addColumn<QSize>("wanted");
        QTest::addColumn<int>("title_column");
        // Grid1, RTB1, then Combo2, Command5, Frame1, Command1, Text1, Command9, 8, 7, 6 as far as given.
        QTest::addColumn<QList<QRect>>("rects");
        const QList<QRect> drawn{{30, 420, 9315, 1215}, {0, 1740, 9315, 4035}, {4260, 60, 2715, 315}, {7020, 60, 675, 315},
                                 {7740, -60, 1575, 435}, {5640, 5400, 3665, 340}, {60, 5850, 5535, 315}, {5640, 5820, 795, 315},
                                 {6480, 5820, 795, 315}, {7320, 5820, 795, 315}, {8160, 5820, 1155, 315}};
        QTest::newRow("as drawn") << QSize(9450, 6975) << 1215 << false << QSize(9450, 6975) << 6365 << drawn;
        // Wider by 1000 and higher by 500: the list and viewer take both.
        QTest::newRow("larger") << QSize(10450, 7475) << 1215 << false << QSize(10450, 7475) << 7365
            << QList<QRect>{{30, 420, 10315, 1215}, {0, 1740, 10315, 4535}, {4260, 60, 3715, 315}, {8020, 60, 675, 315},
                            {8740, -60, 1575, 435}, {6640, 5900, 3665, 340}, {60, 6350, 5535, 315}, {6640, 6320, 795, 315},
                            {7480, 6320, 795, 315}, {8320, 6320, 795, 315}, {9160, 6320, 1155, 315}};
        // A tall list leaves the viewer its 1000 twips and shrinks instead.
        QTest::newRow("tall list") << QSize(9450, 6975) << 5000 << false << QSize(9450, 6975) << 6365
            << QList<QRect>{{30, 420, 9315, 4250}, {0, 4775, 9315, 1000}};
        QTest::newRow("a twip too narrow and low snaps back") << QSize(9449, 6974) << 1215 << true << QSize(9450, 6975) << 6365 << drawn;
        // The minimised height is left alone, and so are the list's and viewer's heights.
        QTest::newRow("minimised") << QSize(9450, 540) << 1215 << true << QSize(9450, 540) << 6365
            << QList<QRect>{{30, 420, 9315, 1215}, {0, 1740, 9315, 4535}};
    }
    void layout_rule() {
        QFETCH(QSize, size);
        QFETCH(int, list);
        QFETCH(bool, after_big);
        QFETCH(QList<QRect>, rects);
        const MainLayout before = after_big ? main_layout(10450, 7475, 1215, MainLayout()) : MainLayout();
        const MainLayout l = main_layout(size.width(), size.height(), list, before);
        QTEST(QSize(l.width, l.height), "wanted");
        QTEST(l.title_column, "title_column");
        const QList<QRect> all{l.Grid1, l.RTB1, l.Combo2, l.Command5, l.Frame1, l.Command1, l.Text1, l.Command9, l.Command8, l.Command7, l.Command6};
        QCOMPARE(all.mid(0, rects.size()), rects);
    }

    void split_rule_data() {
        QTest::addColumn<int>("y");
        QTest::addColumn<QList<int>>("split");  // list height, viewer top, viewer height
        QTest::newRow("above the top clamp") << 1000 << QList<int>{1000, 1525, 4250};
        QTest::newRow("the last y that follows the mouse") << 4725 << QList<int>{4255, 4780, 995};
        QTest::newRow("one below") << 4726 << QList<int>{4250, 4775, 1000};
    }
    void split_rule() {
        QFETCH(int, y);
        const Split s = split_for_y(y, 6975);
        QTEST((QList<int>{s.list_height, s.viewer_top, s.viewer_height}), "split");
    }

    // At each density nothing overlaps and every caption fits; with many categories the category box's list
    // shows 20 rows and scrolls; a resize moves the controls and a too small size snaps back; the band can
    // be dragged.
    void the_window_lays_out_its_controls_data() {
        QTest::addColumn<double>("dpi");
        QTest::newRow("96") << 96.0;
        QTest::newRow("120") << 120.0;
        QTest::newRow("144") << 144.0;
    }
    void the_window_lays_out_its_controls() {
        QFETCH(double, dpi);
        twips::set_dpi(dpi);
        FormFixture f;
        Main_form& form = f.start();
        auto geometry = [&](const char* name) { return f.find<QWidget>(name)->geometry(); };
        const char* row[] = {"Text1", "Command9", "Command8", "Command7", "Command6"};
        for (size_t i = 0; i + 1 < std::size(row); ++i) QVERIFY2(geometry(row[i]).right() < geometry(row[i + 1]).left(), row[i]);
        for (const char* name : {"Command5", "Command6", "Command7", "Command8", "Command9", "Command1"}) {
            auto* b = f.find<QPushButton>(name);
            QVERIFY2(b->fontMetrics().horizontalAdvance(b->text()) <= b->width(), name);
        }
        QVERIFY(geometry("Grid1").bottom() < geometry("RTB1").top());
        QVERIFY(geometry("RTB1").bottom() < geometry("Command6").top());
        QVERIFY(geometry("Command6").right() <= geometry("form_surface").width());
        for (int i = 0; i < 100; ++i) form.store().categories.append(QString::number(i));
        form.refill_category_box();
        form.Combo1->showPopup();
        const QAbstractItemView* list = form.Combo1->view();
        QTRY_VERIFY(list->isVisible());
        const int rows = list->viewport()->height() / list->sizeHintForRow(0);
        QVERIFY2(rows >= 19 && rows <= 20, QByteArray::number(rows));
        form.Combo1->hidePopup();

        const QRect outer = form.outer_geometry_twips();
        form.set_outer_geometry_twips(QRect(outer.left(), outer.top(), 11450, 8975));
        QTRY_VERIFY(near(form.outer_geometry_twips().width(), 11450));  // each place in layout_rule
        QVERIFY(near(form.Grid1->col_width_twips(2), 6365 + 2000));
        form.set_outer_geometry_twips(QRect(outer.left(), outer.top(), 6000, 4000));
        QTRY_VERIFY(near(form.outer_geometry_twips().width(), 9450));
        QWidget* surface = f.find<QWidget>("form_surface");
        const auto at = [](int y) { return QPoint(300, twips::to_px(y)); };
        // Away from the band a press does nothing.
        move_mouse(surface, at(200));
        QTest::mousePress(surface, Qt::LeftButton, {}, at(200));
        QTest::mouseMove(surface, at(3000));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, at(3000));
        QCOMPARE(form.list_height_twips(), 1215);
        // Over the band: the sizing pointer and a hint; the drag follows the mouse.
        move_mouse(surface, at(420 + 1215 + 50));
        QCOMPARE(surface->cursor().shape(), Qt::SizeVerCursor);
        QVERIFY(!form.Text1->text().isEmpty());
        QTest::mousePress(surface, Qt::LeftButton, {}, at(420 + 1215 + 50));
        QTest::mouseMove(surface, at(2400));
        QVERIFY(near(form.list_height_twips(), 2400 - 470));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, at(3000));
        QVERIFY(near(form.list_height_twips(), 2530));
        // After the release moves no longer drag.
        move_mouse(surface, at(1500));
        QVERIFY(near(form.list_height_twips(), 2530));
        QCOMPARE(form.Text1->text(), QString());
        form.close();  // the exit save keeps the dragged height for the next start
        const QStringList ini = QString::fromLatin1(read_bytes(f.path("tzurio.ini"))).split("\r\n");
        QCOMPARE(ini.value(6), QString(" %1 ").arg(form.list_height_twips()));
        twips::set_dpi(0);
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
