#pragma once
// The editor opened over a stand-in main window: a real memo store on a folder of its own, the
// recording platform, and the main window's operations the editor asked for, in order.

#include "editor/f_kinyu.h"
#include "store/data_folder.h"
#include "support/fake_platform.h"
#include "support/test_folder.h"
#include "support/ui_driving.h"
#include "ui/fonts.h"
#include "ui/main_ops.h"
#include "ui/rich_text_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace tz::test {

inline void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

class EditorFixture : public MainOps {
public:
    EditorFixture() : store_(dir.path(), time.clock()) {
        install_test_fonts();
        for (const char* folder : {"memo1", "memo2"}) QDir(dir.path()).mkpath(QLatin1String(folder));
        store_.settings = Settings::first_start(0, 1200, 1500, 6975, 9450, 1215);
    }

    // Puts these memos and categories into the store and writes the data files (and, when asked,
    // each memo's body files holding its title). Row r of the list shows slot r.
    void fill(const std::vector<MemoRecord>& memos, const QStringList& categories, int counter, bool bodies = true) {
        maps = RowMaps();
        maps.row_memo_numbers.assign(memos.size() + 2, Value::number(0));
        for (const MemoRecord& m : memos) {
            store_.table.append(m);
            maps.row_memo_numbers[size_t(++maps.shown_count)] = m.memo_number;
            if (!bodies) continue;
            write_text_body(store_, m.memo_number, m.title.display());
            write_bytes(store_.rich_body_path(m.memo_number), crlf_lines({m.title.display()}));
        }
        store_.categories.set_entries(categories);
        store_.settings[Settings::Counter] = Value::number(counter);
        write_all(store_);
    }

    // Opens the editor in the given mode as the active window, where keys go to the focused control.
    F_kinyu& open(EditorMode mode = EditorMode::NewMemo) {
        hand.editor_mode = mode;
        dlg = std::make_unique<F_kinyu>(*this);
        dlg->show();
        if (!activate(dlg.get())) qWarning("editor not shown");
        return *dlg;
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }

    MemoStore& store() override { return store_; }
    HandOver& hand_over() override { return hand; }
    Platform& platform() override { return fake; }
    const RowMaps& row_maps() const override { return maps; }
    int current_row() const override { return row; }
    QWidget* main_widget() override { return &main; }
    QRect outer_geometry_twips() const override { return QRect(1500, 1200, 9450, 6975); }
    void full_rebuild() override { calls.append(QStringLiteral("full_rebuild")); }
    void set_hint(const QString&) override {}
    void empty_viewer() override { calls.append(QStringLiteral("empty_viewer")); }
    void set_caption() override { calls.append(QStringLiteral("set_caption:") + store_.main_caption()); }
    void append_category_to_box(const QString& name) override { calls.append(QStringLiteral("append_category:") + name); }
    void select_all_categories() override { calls.append(QStringLiteral("select_all_categories")); }
    void refill_category_box() override { calls.append(QStringLiteral("refill_category_box")); }
    void empty_keyword_box() override { calls.append(QStringLiteral("empty_keyword_box")); }
    // The search windows' operations; the editor uses none of them.
    void show_slots(const std::vector<int>&) override { calls.append(QStringLiteral("show_slots")); }
    void append_slots(const std::vector<int>&) override { calls.append(QStringLiteral("append_slots")); }
    void refill_keyword_box() override { calls.append(QStringLiteral("refill_keyword_box")); }
    QString viewer_text() const override { return QString(); }
    void select_in_viewer(int, int) override { calls.append(QStringLiteral("select_in_viewer")); }
    bool end_requested() const override { return false; }
    void begin_long_operation() override {}
    void end_long_operation() override {}

    QTemporaryDir dir;
    FixedClock time;
    FakePlatform fake;
    MemoStore store_;
    HandOver hand;
    RowMaps maps;
    int row = 1;
    QStringList calls;
    QWidget main;
    std::unique_ptr<F_kinyu> dlg;  // last: closed before the window it sits on
};

}  // namespace tz::test
