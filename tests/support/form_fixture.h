#pragma once
// A main window started on a data folder of its own, with the recording
// platform and a clock the test moves.

#include "main_window/main_form.h"
#include "support/fake_platform.h"
#include "support/test_folder.h"

#include <QTemporaryDir>
#include <functional>
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
    // Types a keyword into the keyword box and clicks the search button.
    void combo_search(const QString& keyword);
    QString store_keyword(int i) const { return form->store().keywords.entries[size_t(i)]; }
};

// Installs the font stand-ins once for the test program.
void install_test_fonts();

}  // namespace tz::test

namespace tz::test {

// Runs `act` on the next modal window as soon as it is open (a dialog the code
// under test shows with exec()).
void on_next_modal(std::function<void(QWidget*)> act);

// Types into the unlock dialog and closes it: OK with `password`, or CANCEL
// when `cancel`; ticks its move-to-top box when asked.
void answer_unlock(const QString& password, bool move_to_top = false, bool cancel = false);

// Picks entry `index` of a combo box's list with the mouse, as a user does.
void pick_from_list(class QComboBox* combo, int index);

}  // namespace tz::test

namespace tz::test {
// Types text as a user does: ASCII by keys, Japanese through an input-method commit.
void type_text(QWidget* w, const QString& text);
}  // namespace tz::test

namespace tz::test {
// A mouse move over a widget with no button held, as the window system sends it.
void move_mouse(QWidget* w, const QPoint& pos);
}  // namespace tz::test

namespace tz {
class MemoGrid;
}

namespace tz::test {
// The titles of the memo rows of the list (the empty row left out).
QStringList grid_titles(MemoGrid* grid);
// A mouse click on the title cell of row r (1-based).
void click_row(MemoGrid* grid, int r);
}  // namespace tz::test
