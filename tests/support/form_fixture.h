#pragma once
// A main window started on a data folder of its own, with the recording
// platform and a clock the test moves.

#include "main_window/main_form.h"
#include "support/fake_platform.h"
#include "support/test_folder.h"
#include "support/ui_driving.h"

#include <QTemporaryDir>
#include <memory>

namespace tz::test {

struct FormFixture {
    QTemporaryDir dir;
    QTemporaryDir home;  // the user's data folder (XDG_DATA_HOME), where the backups go
    FixedClock time;
    FakePlatform platform;
    std::unique_ptr<Main_form> form;

    QString path(const QString& name) const { return dir.filePath(name); }
    // Creates the window and runs its start-up; `show` also shows it.
    Main_form& start(bool show = true);
    // A control of the main window (or any window) by object name.
    template <typename W>
    W* find(const char* name) const { return form->findChild<W*>(QLatin1String(name)); }
    // Types a keyword into the keyword box and clicks the search button.
    void combo_search(const QString& keyword);
    // The store's keyword history, all its entries.
    QStringList history() const { return QStringList(form->store().keywords.entries.begin(), form->store().keywords.entries.end()); }
};

}  // namespace tz::test
