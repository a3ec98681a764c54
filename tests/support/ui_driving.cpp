#include "support/ui_driving.h"

#include "ui/memo_grid.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

namespace tz::test {

QObject* on_next_modal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    // Acts once the window is also active (its focus set), or after a second
    // where the platform never activates it.
    QObject::connect(timer, &QTimer::timeout, [timer, act, ticks = 0]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && (QApplication::activeWindow() == modal || ++ticks > 100)) {
            timer->stop();
            timer->deleteLater();
            act(modal);
            // A check that failed in `act` left its window open: ended here, the test reports at once.
            if (QTest::currentTestFailed())
                while (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->done(QDialog::Rejected);
        }
    });
    timer->start(10);
    return timer;
}

void answer_unlock(const QString& password, bool move_to_top, bool cancel) {
    on_next_modal([=](QWidget* dialog) {
        QTest::keyClicks(dialog->findChild<QWidget*>("Text1"), password);
        if (move_to_top) QTest::mouseClick(dialog->findChild<QWidget*>("Check1"), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QWidget*>(cancel ? "Command1" : "Command2"), Qt::LeftButton);
    });
}

void pick_from_list(QComboBox* combo, int index) {
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
}

void type_text(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(w, QString(c));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(w, &commit);
        }
    }
}

void move_mouse(QWidget* w, const QPoint& pos) {
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

QStringList grid_titles(MemoGrid* g) {
    QStringList t;
    for (int r = 1; r < g->rows() - 1; ++r) t.append(g->cell_text(r, 2));
    return t;
}

void click_row(MemoGrid* g, int r) {
    const QModelIndex cell = g->grid_model()->index(r - 1, 2);
    g->scrollTo(cell);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(cell).center());
}

void double_click_row(MemoGrid* g, int r) {
    click_row(g, r);
    const QModelIndex cell = g->grid_model()->index(r - 1, 2);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(cell).center());
}

QStringList combo_items(const QComboBox* c) {
    QStringList items;
    for (int i = 0; i < c->count(); ++i) items.append(c->itemText(i));
    return items;
}

bool activate(QWidget* w) {
    QApplication::setActiveWindow(w);
    return QTest::qWaitForWindowActive(w);
}

}  // namespace tz::test
