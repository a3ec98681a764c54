#pragma once
// A main window for the editor's tests: a real memo store on a folder of its
// own, the recording platform, and a record of every operation the editor
// asked of the main window, in order.

#include "store/data_folder.h"
#include "store/memo_store.h"
#include "support/fake_platform.h"
#include "support/test_folder.h"
#include "ui/fonts.h"
#include "ui/main_ops.h"

#include <QDir>
#include <QTemporaryDir>
#include <QWidget>

namespace tz::test {

class FakeMainOps : public MainOps {
public:
    FakeMainOps() : store_(dir.path(), time.clock()) {
        static bool fonts_done = false;
        if (!fonts_done) fonts::install_substitutes();
        fonts_done = true;
        QDir(dir.path()).mkpath(QStringLiteral("memo1"));
        QDir(dir.path()).mkpath(QStringLiteral("memo2"));
        store_.settings = Settings::first_start(0, 1200, 1500, 6975, 9450, 1215);
        store_.categories.set_entries({QStringLiteral("全部")});
        hand.editor_mode = QStringLiteral("sinki");
    }

    // Puts these memos and categories into the store and writes the data files
    // (and, when asked, each memo's body files holding its title).
    void fill(const std::vector<MemoRecord>& memos, const QStringList& categories, int counter, bool bodies = true) {
        store_.table.clear();
        for (const MemoRecord& m : memos) {
            store_.table.append(m);
            if (bodies) {
                write_text_body(store_, m.memo_number, m.title.display());
                write_bytes(store_.rich_body_path(m.memo_number), crlf_lines({m.title.display()}));
            }
        }
        store_.categories.set_entries(categories);
        store_.settings[Settings::Counter] = Value::number(counter);
        write_all(store_);
        rebuild_maps();
    }

    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }

    MemoStore& store() override { return store_; }
    HandOver& hand_over() override { return hand; }
    Platform& platform() override { return fake; }
    const RowMaps& row_maps() const override { return maps; }
    int current_row() const override { return row; }
    QWidget* main_widget() override { return &main; }
    QRect outer_geometry_twips() const override { return outer; }

    void full_rebuild() override {
        calls.append(QStringLiteral("full_rebuild"));
        rebuild_maps();
    }
    void set_hint(const QString& text) override {
        hint = text;
        ++hints;
    }
    void empty_viewer() override { calls.append(QStringLiteral("empty_viewer")); }
    void set_caption() override { calls.append(QStringLiteral("set_caption:") + store_.main_caption()); }
    void append_category_to_box(const QString& name) override { calls.append(QStringLiteral("append_category:") + name); }
    void select_all_categories() override { calls.append(QStringLiteral("select_all_categories")); }

    // The list as the main window would show it: row r is slot r.
    void rebuild_maps() {
        maps = RowMaps();
        maps.shown_count = store_.table.count();
        maps.row_memo_numbers.assign(size_t(store_.table.count() + 2), Value::number(0));
        maps.row_lock_flags.assign(size_t(store_.table.count() + 2), Value());
        for (int i = 1; i <= store_.table.count(); ++i) {
            maps.row_memo_numbers[size_t(i)] = store_.table.slot(i).memo_number;
            maps.row_lock_flags[size_t(i)] = store_.table.slot(i).lock_flag;
        }
    }

    QTemporaryDir dir;
    FixedClock time;
    FakePlatform fake;
    HandOver hand;
    RowMaps maps;
    int row = 1;
    QWidget main;
    QRect outer{1500, 1200, 9450, 6975};
    QStringList calls;
    QString hint;
    int hints = 0;

private:
    MemoStore store_;
};

}  // namespace tz::test
