#include "support/form_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
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

void FormFixture::combo_search(const QString& keyword) {
    auto* combo = find<QComboBox>("Combo2");
    combo->lineEdit()->selectAll();
    QTest::keyClick(combo->lineEdit(), Qt::Key_Delete);
    type_text(combo->lineEdit(), keyword);
    QTest::mouseClick(find<QPushButton>("Command5"), Qt::LeftButton);
}

}  // namespace tz::test
