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
