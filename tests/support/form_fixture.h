#pragma once
// A main window started on a data folder of its own, with the recording
// platform and a clock the test moves.

#include "main_window/main_form.h"
#include "support/fake_platform.h"
#include "support/test_folder.h"

#include <QTemporaryDir>
#include <memory>

class QWidget;

namespace tz::test {

struct FormFixture {
    QTemporaryDir dir;
    FixedClock time;
    FakePlatform platform;
    std::unique_ptr<Main_form> form;

    QString path(const QString& name) const { return dir.filePath(name); }
    // Creates the window and runs its start-up; `show` also shows it.
    Main_form& start(bool show = true);
    // A control of the main window (or any window) by object name.
    template <typename W>
    W* find(const char* name) const { return form->findChild<W*>(QLatin1String(name)); }
};

// Installs the font stand-ins once for the test program.
void install_test_fonts();

}  // namespace tz::test
