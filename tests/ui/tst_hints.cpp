// The hint line follows the mouse: a part's hint over the part's bare surface,
// never over a control inside it.

#include "support/ui_driving.h"
#include "ui/hints.h"

#include <QPushButton>
#include <QTest>

using namespace tz;
using namespace tz::test;

class TestHints : public QObject {
    Q_OBJECT
private slots:
    void a_part_hint_holds_over_its_bare_surface_only() {
        QWidget window;
        window.resize(300, 200);
        auto* frame = new QWidget(&window);
        frame->setGeometry(10, 10, 200, 100);
        auto* inside = new QPushButton(QStringLiteral("b"), frame);
        inside->setGeometry(10, 10, 50, 30);
        auto* plain = new QPushButton(QStringLiteral("p"), &window);
        plain->setGeometry(220, 10, 50, 30);
        QString line;
        auto* hints = new MouseHints(&window, [&](const QString& t) { line = t; });
        hints->add(&window, QStringLiteral("window"));
        hints->add(frame, QStringLiteral("frame"));
        hints->add(inside, QStringLiteral("inside"));

        // Moves passed on to a parent by a control inside it (the frame's button,
        // the window's button without a hint) show nothing.
        const std::pair<QWidget*, QPoint> moves[] = {{frame, {150, 50}}, {inside, {5, 5}}, {frame, {15, 15}},
                                                     {&window, {250, 150}}, {&window, {230, 20}}, {&window, {50, 50}}};
        QStringList seen;
        for (const auto& [w, at] : moves) {
            line = QStringLiteral("-");
            move_mouse(w, at);
            seen << line;
        }
        QCOMPARE(seen, QStringList({"frame", "inside", "-", "window", "-", "-"}));
        QVERIFY(window.hasMouseTracking() && frame->hasMouseTracking() && inside->hasMouseTracking());
    }
};

QTEST_MAIN(TestHints)
#include "tst_hints.moc"
