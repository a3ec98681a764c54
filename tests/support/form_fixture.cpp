#include "support/form_fixture.h"

#include "ui/fonts.h"

#include <QTest>

namespace tz::test {

Main_form& FormFixture::start(bool show) {
    install_test_fonts();
    form = std::make_unique<Main_form>(platform, dir.path(), time.clock());
    form->start();
    if (show) {
        form->show_as_stored();
        if (!QTest::qWaitForWindowExposed(form.get())) qWarning("main window not exposed");
    }
    return *form;
}

void install_test_fonts() {
    static bool done = false;
    if (!done) fonts::install_substitutes();
    done = true;
}

}  // namespace tz::test

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace tz::test {

void on_next_modal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start();
}

void answer_unlock(const QString& password, bool move_to_top, bool cancel) {
    on_next_modal([=](QWidget* dialog) {
        auto* entry = dialog->findChild<QLineEdit*>("Text1");
        QTest::keyClicks(entry, password);
        if (move_to_top) QTest::mouseClick(dialog->findChild<QCheckBox*>("Check1"), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>(cancel ? "Command1" : "Command2"), Qt::LeftButton);
    });
}

void pick_from_list(QComboBox* combo, int index) {
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
}

}  // namespace tz::test

#include <QInputMethodEvent>

namespace tz::test {

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

}  // namespace tz::test

#include <QMouseEvent>

namespace tz::test {

void move_mouse(QWidget* w, const QPoint& pos) {
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

}  // namespace tz::test

namespace tz::test {

void FormFixture::combo_search(const QString& keyword) {
    auto* combo = find<QComboBox>("Combo2");
    combo->lineEdit()->selectAll();
    QTest::keyClick(combo->lineEdit(), Qt::Key_Delete);
    type_text(combo->lineEdit(), keyword);
    QTest::mouseClick(find<QPushButton>("Command5"), Qt::LeftButton);
}

}  // namespace tz::test

#include "ui/memo_grid.h"

namespace tz::test {

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

}  // namespace tz::test
