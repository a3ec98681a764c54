// The main window's layout rule and the splitter band, as numbers and on the
// real window.

#include "main_window/main_layout.h"
#include "store/cp932.h"
#include "support/form_fixture.h"
#include "ui/memo_grid.h"
#include "ui/rich_text_box.h"
#include "ui/twips.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tz;
using namespace tz::test;

namespace {

QRect twips_of(QWidget* w) {
    const QRect g = w->geometry();
    return QRect(twips::from_px(g.x()), twips::from_px(g.y()), twips::from_px(g.width()), twips::from_px(g.height()));
}

// Equal within a pixel's rounding.
bool near(int a, int b) { return std::abs(a - b) <= 15; }

}  // namespace

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void layout_rule_against_its_numbers() {
        const MainLayout none;
        const MainLayout design = main_layout(9450, 6975, 1215, none);
        QCOMPARE(design.Combo2, QRect(4260, 60, 2715, 315));
        QCOMPARE(design.Command5, QRect(7020, 60, 675, 315));
        QCOMPARE(design.Frame1, QRect(7740, -60, 1575, 435));
        QCOMPARE(design.Grid1, QRect(30, 420, 9315, 1215));
        QCOMPARE(design.RTB1, QRect(0, 1740, 9315, 4035));  // viewer: 6975-420-1215-105-1200
        QCOMPARE(design.Command6, QRect(8160, 5820, 1155, 315));
        QCOMPARE(design.Command1, QRect(5640, 5400, 3665, 340));
        QCOMPARE(design.Text1, QRect(60, 5850, 5535, 315));
        QCOMPARE(design.title_column, 6365);

        // Wider by 1000 and higher by 500: the list and viewer take both.
        const MainLayout big = main_layout(10450, 7475, 1215, design);
        QCOMPARE(big.Combo2.width(), 3715);
        QCOMPARE(big.Command5.left(), 8020);
        QCOMPARE(big.Frame1.left(), 8740);
        QCOMPARE(big.Grid1, QRect(30, 420, 10315, 1215));
        QCOMPARE(big.RTB1, QRect(0, 1740, 10315, 4535));
        QCOMPARE(big.title_column, 7365);
        for (const QRect& r : {big.Command9, big.Command8, big.Command7, big.Command6}) QCOMPARE(r.top(), 6320);
        QCOMPARE(QList<int>({big.Command9.left(), big.Command8.left(), big.Command7.left(), big.Command6.left(), big.Command1.left()}),
                 QList<int>({6640, 7480, 8320, 9160, 6640}));
        QCOMPARE(big.Command1.top(), 5900);
        QCOMPARE(big.Text1.top(), 6350);

        // A tall list leaves the viewer its 1000 twips and shrinks instead.
        const MainLayout clamp = main_layout(9450, 6975, 5000, design);
        QCOMPARE(clamp.Grid1.height(), 6975 - 2725);
        QCOMPARE(clamp.RTB1, QRect(0, 6975 - 2725 + 525, 9315, 1000));

        // Below the minimum the window snaps back; the minimised height is left alone.
        const MainLayout small = main_layout(8000, 5000, 1215, design);
        QCOMPARE(small.width, 9450);
        QCOMPARE(small.height, 6975);
        const MainLayout minimised = main_layout(9450, 540, 1215, big);
        QCOMPARE(minimised.height, 540);
        QCOMPARE(minimised.Grid1.height(), big.Grid1.height());  // keeps the last sizes
        QCOMPARE(minimised.RTB1.top(), big.RTB1.top());
        QCOMPARE(minimised.RTB1.height(), big.RTB1.height());
    }

    void split_rule_against_its_numbers() {
        const Split top = split_for_y(1000, 6975);
        QCOMPARE(QList<int>({top.list_height, top.viewer_top, top.viewer_height}), QList<int>({1000, 1525, 6975 - 1470 - 55 - 1200}));
        const Split middle = split_for_y(3000, 6975);
        QCOMPARE(QList<int>({middle.list_height, middle.viewer_top, middle.viewer_height}), QList<int>({2530, 3055, 2720}));
        const Split bottom = split_for_y(6000, 6975);
        QCOMPARE(QList<int>({bottom.list_height, bottom.viewer_top, bottom.viewer_height}), QList<int>({4250, 4775, 1000}));
        const Split edge = split_for_y(6975 - 2250, 6975);  // the last y that follows the mouse
        QCOMPARE(edge.list_height, 6975 - 2250 - 470);
    }

    void resizing_the_window_moves_its_controls() {
        FormFixture f;
        Main_form& form = f.start();
        const QRect outer = form.outer_geometry_twips();
        form.set_outer_geometry_twips(QRect(outer.left(), outer.top(), 11450, 8975));
        QTRY_VERIFY(near(form.outer_geometry_twips().width(), 11450));
        QVERIFY(near(twips_of(f.find<QWidget>("Grid1")).width(), 9315 + 2000));
        QVERIFY(near(twips_of(f.find<QWidget>("RTB1")).height(), 8975 - 420 - 1215 - 105 - 1200));
        QVERIFY(near(twips_of(f.find<QWidget>("Command6")).left(), 8160 + 2000));
        QVERIFY(near(twips_of(f.find<QWidget>("Command6")).top(), 5820 + 2000));
        QVERIFY(near(f.find<MemoGrid>("Grid1")->col_width_twips(2), 6365 + 2000));
        QCOMPARE(f.find<MemoGrid>("Grid1")->col_width_twips(0), 1500);
        // Too small: it snaps back to the minimum.
        form.set_outer_geometry_twips(QRect(outer.left(), outer.top(), 6000, 4000));
        QTRY_VERIFY(near(form.outer_geometry_twips().width(), 9450));
        QTRY_VERIFY(near(form.outer_geometry_twips().height(), 6975));
    }

    void dragging_the_band_moves_the_boundary_and_survives_a_restart() {
        QTemporaryDir dir;
        {
            FormFixture f;
            Main_form& form = f.start();
            QWidget* surface = f.find<QWidget>("form_surface");
            auto* hint = f.find<QLineEdit>("Text1");
            const int band_y = twips::to_px(420 + form.list_height_twips() + 50);
            // Away from the band a press does nothing.
            move_mouse(surface, QPoint(300, twips::to_px(200)));
            QCOMPARE(surface->cursor().shape(), Qt::ArrowCursor);
            QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(300, twips::to_px(200)));
            QTest::mouseMove(surface, QPoint(300, twips::to_px(3000)));
            QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(300, twips::to_px(3000)));
            QCOMPARE(form.list_height_twips(), 1215);
            // Over the band: the sizing pointer and the hint; the drag follows the mouse.
            move_mouse(surface, QPoint(300, band_y));
            QCOMPARE(surface->cursor().shape(), Qt::SizeVerCursor);
            QCOMPARE(hint->text(), QStringLiteral("マウスでドラッグして表示エリアのサイズを変更できます。"));
            QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(300, band_y));
            QTest::mouseMove(surface, QPoint(300, twips::to_px(2400)));
            QVERIFY(near(form.list_height_twips(), 2400 - 470));
            QVERIFY(near(twips_of(f.find<QWidget>("RTB1")).top(), 2455));
            QTest::mouseMove(surface, QPoint(300, twips::to_px(100)));  // above the top clamp
            QCOMPARE(form.list_height_twips(), 1000);
            QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(300, twips::to_px(3000)));
            QVERIFY(near(form.list_height_twips(), 2530));
            QCOMPARE(surface->cursor().shape(), Qt::ArrowCursor);
            // After the release moves no longer drag.
            move_mouse(surface, QPoint(300, twips::to_px(1500)));
            QVERIFY(near(form.list_height_twips(), 2530));
            QCOMPARE(hint->text(), QString());
            const int dragged = form.list_height_twips();
            form.close();
            // The next start on the same folder has the dragged height.
            FormFixture again;
            for (const char* name : {"tzurio.ini", "tzurio.dat", "bunrui.dat", "kensaku.dat"})
                write_bytes(again.path(name), read_bytes(f.path(name)));
            Main_form& next = again.start();
            QCOMPARE(next.list_height_twips(), dragged);
            QVERIFY(near(twips_of(again.find<QWidget>("Grid1")).height(), dragged));
        }
    }

    void nothing_overlaps_at_higher_densities_data() {
        QTest::addColumn<double>("dpi");
        QTest::newRow("96") << 96.0;
        QTest::newRow("120") << 120.0;
        QTest::newRow("144") << 144.0;
    }
    void nothing_overlaps_at_higher_densities() {
        QFETCH(double, dpi);
        twips::set_dpi(dpi);
        FormFixture f;
        f.start();
        const char* row[] = {"Text1", "Command9", "Command8", "Command7", "Command6"};
        for (size_t i = 0; i + 1 < std::size(row); ++i) {
            const QRect a = f.find<QWidget>(row[i])->geometry();
            const QRect b = f.find<QWidget>(row[i + 1])->geometry();
            QVERIFY2(a.right() < b.left(), row[i]);
        }
        for (const char* name : {"Command5", "Command6", "Command7", "Command8", "Command9", "Command1"}) {
            auto* b = f.find<QPushButton>(name);
            QVERIFY2(b->fontMetrics().horizontalAdvance(b->text()) <= b->width(), name);
        }
        QVERIFY(f.find<QWidget>("Grid1")->geometry().bottom() < f.find<QWidget>("RTB1")->geometry().top());
        QVERIFY(f.find<QWidget>("RTB1")->geometry().bottom() < f.find<QWidget>("Command6")->geometry().top());
        QVERIFY(f.find<QWidget>("Command6")->geometry().right() <= f.find<QWidget>("form_surface")->width());
        twips::set_dpi(0);
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
