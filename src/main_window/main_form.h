#pragma once
// The main window: the memo list with its category and keyword boxes, the
// viewer, the command buttons, the hint line and the menu bar. It owns the
// memo store for the whole run, fills it at start and writes it back at exit.

#include "main_window/main_layout.h"
#include "main_window/memo_list.h"
#include "store/data_folder.h"
#include "store/memo_store.h"
#include "ui/main_ops.h"

#include <QFuture>
#include <QMainWindow>
#include <atomic>
#include <future>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

namespace tz {

class MemoGrid;
class RichTextBox;
class Platform;

// What the start-up makes on a second thread while the window is built: the
// memo index as its file holds it, and the list rows of all its memos.
struct ReadAhead {
    std::optional<IndexFile> index;
    ShownRows all;
};
ReadAhead read_ahead(const QString& index_path);

class Main_form : public QMainWindow, public MainOps {
    Q_OBJECT
public:
    Main_form(Platform& platform, const QString& app_folder, Clock clock = system_clock(), QWidget* parent = nullptr);
    ~Main_form() override;

    // Start-up: places the window, creates what is missing in the data folder,
    // loads it and fills the list and boxes. The window is not shown yet. A
    // data file that cannot be read ends the program here (ended() is true)
    // with a message, and nothing is written. `ahead`, where given, is the
    // memo index and its list being made on another thread (read_ahead).
    void start(std::future<ReadAhead> ahead = {});
    // Shows the window in the state the settings give (normal, minimised,
    // maximised); what start-up found wrong with the files is said over it.
    // A normal window gets its stored outer size once the window system has
    // framed it.
    void show_as_stored();

    // Saves the settings, memo index, category file and keyword file and ends
    // the program. Runs once; closing the window, both quit items, a
    // termination signal and the session's logout all come here.
    void save_all_and_end();
    bool ended() const { return ended_; }
    // A stop signal or the session's end: the exit save now, or, while a long
    // operation runs, as soon as it has stopped.
    void request_end();

    // What other windows may ask of the main window.
    MemoStore& store() override { return store_; }
    HandOver& hand_over() override { return hand_over_; }
    Platform& platform() override { return platform_; }
    const RowMaps& row_maps() const override { return maps_; }
    int current_row() const override;
    QWidget* main_widget() override { return this; }
    QRect outer_geometry_twips() const override;
    void full_rebuild() override;
    void set_hint(const QString& text) override;
    void empty_viewer() override;
    void set_caption() override;
    void append_category_to_box(const QString& name) override;
    void select_all_categories() override;
    void refill_category_box() override;
    void empty_keyword_box() override;
    void show_slots(const std::vector<int>& memo_slots) override;
    void append_slots(const std::vector<int>& memo_slots) override;
    void refill_keyword_box() override;
    QString viewer_text() const override;
    void select_in_viewer(int start, int length) override;
    bool end_requested() const override { return end_requested_ || ended_; }
    void begin_long_operation() override { ++long_operations_; }
    void end_long_operation() override;

    void category_rebuild();
    // The window's place and size in twips (frame, caption and menu bar included).
    void set_outer_geometry_twips(const QRect& r);
    int window_state_number() const;

    // Controls, named as the program names them.
    QLabel* Label1;
    QComboBox* Combo1;
    QLabel* Label2;
    QComboBox* Combo2;
    QPushButton* Command5;
    QGroupBox* Frame1;
    QRadioButton* Option2;
    QRadioButton* Option1;
    MemoGrid* Grid1;
    RichTextBox* RTB1;
    QPushButton* Command1;
    QLineEdit* Text1;
    QPushButton* Command9;
    QPushButton* Command8;
    QPushButton* Command7;
    QPushButton* Command6;

    QMenu* Menu_file;
    QAction* Menu_file_pass;
    QAction* Menu_file_bar1;
    QAction* Menu_hakor;
    QAction* Menu_file_bar2;
    QAction* Menu_file_quit;
    QMenu* Menu_zenbun;
    QAction* Menu_zenbun_all;
    QAction* Menu_zenbun_current;
    QAction* Menu_bunrui;
    QAction* menu_tukaikata;
    QAction* Menu_quit;

    // The history pick index of the keyword box: no value at start, the
    // position of a picked entry, -1 after the user edited the box, 0 after a search.
    std::optional<int> history_pick() const { return history_pick_; }
    int list_height_twips() const { return list_height_; }
    const MainLayout& layout() const { return layout_; }

    // Gives the memo a new updated stamp, re-sorts, shows every memo with it
    // current and empties the keyword box. Nothing is written to a file.
    void move_to_top(Value memo_number);  // by value: the list it may come from is rebuilt
    // Shows the memo of row r in the viewer (asking for the password of a locked memo).
    void show_row(int r);

public slots:
    void Combo1_Click();
    void Combo2_Click(int index);
    void Command5_Click();
    void Grid1_Click();
    void Grid1_DblClick();
    void Option1_Click();
    void Option2_Click();
    void menu_tukaikata_Click();
    void Menu_bunrui_Click();
    void Menu_file_pass_Click();
    void Menu_hakor_Click();
    void Menu_zenbun_all_Click();
    void Menu_zenbun_current_Click();
    void Command1_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void RTB1_MouseUp();
    // The window's own surface: the splitter band between list and viewer (y in twips).
    void Form_MouseMove(int y);
    void Form_MouseDown(int y);
    void Form_MouseUp(int y);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void build_controls();
    void build_menu();
    void apply_layout();
    void apply_split(int y);
    void apply_rows(const ListRows& rows);
    void apply_shown(ShownRows shown);
    void fill_keyword_box();
    void connect_list_events();
    void connect_commands();
    // A locked memo: the message, the unlock dialog, and the wrong-password
    // message. True when the right password was given.
    bool unlock_locked_memo(EditorMode editor_mode);
    // The hint line shows the text at once, before a window opens.
    void show_hint_now(const QString& text);
    // The viewer's text from the text body file, or from the rich body file as RTF.
    void show_body(const Value& memo_number);
    Settings first_start_settings() const;
    // The day's backup of a soundly read data folder, on a worker thread once
    // the window shows; a failure is said once in the hint line.
    void start_daily_backup();
    // Says which data files another writer had changed, where their versions
    // were kept (once, after the window that wrote the files has closed).
    void tell_other_versions();
    // Waits for the window system's frame, then applies the stored outer size.
    void await_frame();

    Platform& platform_;
    MemoStore store_;
    HandOver hand_over_;
    RowMaps maps_;
    std::optional<ShownRows> rows_ahead_;  // every memo's rows, made at start-up, until the first list
    std::optional<int> history_pick_;  // no value at start
    MainLayout layout_;
    int start_state_ = 0;
    std::optional<QRect> stored_outer_;  // the place and size to open at, twips
    QString start_problems_;              // said once the window is up
    int list_height_ = main_design::kListHeight;  // twips, as the list has it now
    bool ended_ = false;
    bool start_sound_ = false;  // every data file was read without damage
    std::shared_ptr<std::atomic<bool>> backup_stop_ = std::make_shared<std::atomic<bool>>(false);
    QFuture<void> backup_;
    bool end_requested_ = false;
    int long_operations_ = 0;
    int dragging_flag_ = 0;  // 1 while the splitter band is dragged
    QWidget* surface_ = nullptr;
};

}  // namespace tz
