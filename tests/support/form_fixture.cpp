#include "support/form_fixture.h"

#include "ui/fonts.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThreadPool>
#include <future>

namespace tz::test {

Main_form& FormFixture::start(bool show) {
    [[maybe_unused]] static const bool fonts_installed = (fonts::install_substitutes(), true);  // once per program
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    form = std::make_unique<Main_form>(platform, dir.path(), time.clock());
    // Started as the program starts it: the index and its list made on a second thread.
    form->start(std::async(std::launch::async, [index = dir.filePath(QStringLiteral("tzurio.dat"))] { return read_ahead(index); }));
    if (show) {
        form->show_as_stored();
        if (!QTest::qWaitForWindowExposed(form.get())) qWarning("main window not exposed");
        // The day's backup, made on another thread once the window shows, ends before the test goes
        // on: a test that then blocks a data file would otherwise race with its copying.
        QCoreApplication::processEvents();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }
    return *form;
}

void FormFixture::combo_search(const QString& keyword) {
    form->Combo2->lineEdit()->selectAll();
    QTest::keyClick(form->Combo2->lineEdit(), Qt::Key_Delete);
    type_text(form->Combo2->lineEdit(), keyword);
    QTest::mouseClick(form->Command5, Qt::LeftButton);
}

}  // namespace tz::test
