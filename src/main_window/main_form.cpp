#include "main_window/main_form.h"

#include "dialogs/f_bunrui.h"
#include "dialogs/f_keyset.h"
#include "dialogs/f_hakor.h"

#include "store/backup.h"
#include "store/changes.h"
#include "store/file_io.h"
#include "ui/accessible_names.h"
#include "ui/controls.h"
#include "ui/editable_box.h"
#include "ui/fonts.h"
#include "ui/memo_grid.h"
#include "ui/platform.h"
#include "ui/rich_text_box.h"
#include "ui/twips.h"
#include "ui/window_geometry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QFutureWatcher>
#include <QtConcurrent>

#include <utility>

namespace tz {

using namespace main_design;

namespace {

int number_or(const Value& v, int fallback) {
    const std::optional<double> n = v.as_number();
    return n ? int(*n) : fallback;
}

}  // namespace

Main_form::Main_form(Platform& platform, const QString& app_folder, Clock clock, QWidget* parent)
    : QMainWindow(parent), platform_(platform), store_(app_folder, std::move(clock)) {
    setObjectName(QStringLiteral("Main_form"));
    setFont(fonts::font(fonts::proportional_gothic(), 9));
    build_controls();
    build_menu();
    layout_ = main_layout(kMinWidth, kMinHeight, kListHeight, MainLayout{});
}

Main_form::~Main_form() {
    // A backup under way stops at its next file; what it made so far is not kept.
    backup_stop_->store(true);
    backup_.waitForFinished();
}

void Main_form::build_controls() {
    surface_ = new QWidget(this);
    surface_->setObjectName(QStringLiteral("form_surface"));
    surface_->setMouseTracking(true);
    setCentralWidget(surface_);

    Label1 = make<QLabel>(surface_, "Label1", QStringLiteral("分類"), {60, 120, 390, 195});
    Combo1 = make<QComboBox>(surface_, "Combo1");
    limit_list_rows(Combo1, 20);  // up to 999 categories
    place(Combo1, {540, 60, 2475, 315});
    Label2 = make<QLabel>(surface_, "Label2", QStringLiteral("検索ｷｰﾜｰﾄﾞ"), {3180, 120, 1020, 195});
    Combo2 = make<QComboBox>(surface_, "Combo2");
    make_editable_box(Combo2);  // the keyword searched is the text typed, letter case kept
    Combo2->setMaxVisibleItems(KeywordHistory::kSize);
    place(Combo2, {4260, 60, 2715, 315});
    Command5 = make<QPushButton>(surface_, "Command5", QStringLiteral("検索"), {7020, 60, 675, 315});

    Frame1 = make<QGroupBox>(surface_, "Frame1", {7740, -60, 1575, 435});
    Option2 = make<QRadioButton>(Frame1, "Option2", QStringLiteral("詳細"), {60, 180, 735, 195});
    Option1 = make<QRadioButton>(Frame1, "Option1", QStringLiteral("高速"), {780, 180, 735, 195});
    fit_indicator(Option2);
    fit_indicator(Option1);
    Option2->setChecked(true);

    Grid1 = make<MemoGrid>(surface_, "Grid1", {30, kListTop, 7695, kListHeight});

    RTB1 = make<RichTextBox>(surface_, "RTB1");
    RTB1->set_default_font(fonts::font(fonts::gothic(), 10));
    // Nothing typed into the viewer would be kept: it only shows, selects and copies.
    RTB1->setReadOnly(true);
    RTB1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    place(RTB1, {0, 2820, 9315, 2955});

    Command1 = make<QPushButton>(surface_, "Command1", QStringLiteral("選択したURLのWebサイトを開く"), {5640, 5400, 3665, 340});
    Text1 = make<QLineEdit>(surface_, "Text1");
    Text1->setReadOnly(true);
    // Out of the Tab cycle: a click still gives it the focus, which it hands on.
    Text1->setFocusPolicy(Qt::ClickFocus);
    QPalette hint = Text1->palette();
    hint.setColor(QPalette::Base, QColor(255, 255, 192));
    hint.setColor(QPalette::Text, QColor(0, 0, 255));
    Text1->setPalette(hint);
    place(Text1, {60, 5850, 5535, 315});
    Command9 = make<QPushButton>(surface_, "Command9", QStringLiteral("印刷"), {5640, 5820, 795, 315});
    Command8 = make<QPushButton>(surface_, "Command8", QStringLiteral("訂正"), {6480, 5820, 795, 315});
    Command7 = make<QPushButton>(surface_, "Command7", QStringLiteral("削除"), {7320, 5820, 795, 315});
    Command6 = make<QPushButton>(surface_, "Command6", QStringLiteral("登録"), {8160, 5820, 1155, 315});

    Grid1->set_header_texts({QStringLiteral("分類"), QStringLiteral("年/月/日"), QStringLiteral("タイトル")});
    Grid1->set_col_width_twips(0, kCategoryColumn);
    Grid1->set_col_width_twips(1, kDateColumn);
    Grid1->set_col_width_twips(2, kTitleColumn);

    // Tab goes round every control and from the last back to the first.
    QWidget* const order[] = {Combo1, Combo2, Command5, Option2, Option1, Grid1,
                              RTB1, Command1, Command6, Command8, Command7, Command9};
    for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

    link_label(Label1, Combo1);
    link_label(Label2, Combo2);
    name_control(Grid1, QStringLiteral("メモ一覧"));
    name_control(RTB1, QStringLiteral("メモ本文"));
    name_control(Text1, QStringLiteral("ヒント"));
    // Enter presses the focused button, as in every window of the program.
    for (QPushButton* b : {Command1, Command5, Command6, Command7, Command8, Command9}) b->setAutoDefault(true);

    connect_list_events();
    connect_commands();

    resize(twips::to_px(kClientWidth), twips::to_px(kClientHeight));
}

void Main_form::build_menu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menu_bar"));
    auto action = [this](const char* name, const QString& text) {
        QAction* a = new QAction(text, this);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    Menu_file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    Menu_file->setObjectName(QStringLiteral("Menu_file"));
    Menu_file_pass = action("Menu_file_pass", QStringLiteral("鍵の設定(&P)"));
    Menu_file_bar1 = action("Menu_file_bar1", QString());
    Menu_file_bar1->setSeparator(true);
    Menu_hakor = action("Menu_hakor", QStringLiteral("ハコネルのデータ読込み(&K)"));
    Menu_file_bar2 = action("Menu_file_bar2", QString());
    Menu_file_bar2->setSeparator(true);
    Menu_file_quit = action("Menu_file_quit", QStringLiteral("終了(&Q)"));
    Menu_file->addActions({Menu_file_pass, Menu_file_bar1, Menu_hakor, Menu_file_bar2, Menu_file_quit});

    Menu_zenbun = bar->addMenu(QStringLiteral("全文検索(&Z)"));
    Menu_zenbun->setObjectName(QStringLiteral("Menu_zenbun"));
    Menu_zenbun_all = action("Menu_zenbun_all", QStringLiteral("すべてのメモから検索(&A)"));
    Menu_zenbun_current = action("Menu_zenbun_current", QStringLiteral("現在表示しているメモから検索(&C)"));
    Menu_zenbun->addActions({Menu_zenbun_all, Menu_zenbun_current});

    Menu_bunrui = action("Menu_bunrui", QStringLiteral("分類の編集(&B)"));
    menu_tukaikata = action("menu_tukaikata", QStringLiteral("使い方(&U)"));
    Menu_quit = action("Menu_quit", QStringLiteral("終了(&Q)"));
    bar->addAction(Menu_bunrui);
    bar->addAction(menu_tukaikata);
    bar->addAction(Menu_quit);

    connect(Menu_file_quit, &QAction::triggered, this, &Main_form::save_all_and_end);
    connect(Menu_quit, &QAction::triggered, this, &Main_form::save_all_and_end);
    connect(menu_tukaikata, &QAction::triggered, this, &Main_form::menu_tukaikata_Click);
    connect(Menu_bunrui, &QAction::triggered, this, &Main_form::Menu_bunrui_Click);
    connect(Menu_file_pass, &QAction::triggered, this, &Main_form::Menu_file_pass_Click);
    connect(Menu_zenbun_all, &QAction::triggered, this, &Main_form::Menu_zenbun_all_Click);
    connect(Menu_zenbun_current, &QAction::triggered, this, &Main_form::Menu_zenbun_current_Click);
    connect(Menu_hakor, &QAction::triggered, this, &Main_form::Menu_hakor_Click);
}

Settings Main_form::first_start_settings() const {
    const QRect g = outer_geometry_twips();
    return Settings::first_start(window_state_number(), g.top(), g.left(), g.height(), g.width(), kListHeight);
}

ReadAhead read_ahead(const QString& index_path) {
    ReadAhead a;
    a.index = read_index_file(index_path);
    if (a.index->read) a.all = shown_rows_for(a.index->table, all_rows(a.index->table));
    return a;
}

void Main_form::start(std::future<ReadAhead> ahead) {
    // Centre the window on the screen at its designed size. Until the window
    // system frames it, its outer size is its own size: snapped to the
    // minimum, the design outer size, which the first start stores.
    resize(twips::to_px(kClientWidth), twips::to_px(kClientHeight) + menuBar()->sizeHint().height());
    apply_layout();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->geometry();
        const QRect g = frameGeometry();
        move(avail.left() + (avail.width() - g.width()) / 2, avail.top() + (avail.height() - g.height()) / 2);
    }

    LoadReport report;
    std::optional<ReadAhead> made;
    if (ahead.valid()) made = ahead.get();
    load_data_folder(store_, first_start_settings(), report, made ? &made->index : nullptr);
    // The index read ahead taken, the rows made from it list the table.
    if (made && !made->index) rows_ahead_ = std::move(made->all);
    start_problems_ = load_report_text(report);
    start_sound_ = report.ok();
    if (report.must_end()) {
        ended_ = true;
        platform_.message(nullptr, start_problems_, program_title(), MsgIcon::Critical);
        return;
    }

    const Settings& s = store_.settings;
    start_state_ = number_or(s[Settings::WindowState], 0);
    if (start_state_ == 0) {
        list_height_ = std::max(1, number_or(s[Settings::ListHeight], kListHeight));
        const QRect now = outer_geometry_twips();
        stored_outer_ = QRect(number_or(s[Settings::WindowLeft], now.left()), number_or(s[Settings::WindowTop], now.top()),
                              number_or(s[Settings::WindowWidth], now.width()), number_or(s[Settings::WindowHeight], now.height()));
        // A place on no screen (a folder carried from a larger display) keeps
        // the centred place, so the window can always be reached.
        const QRect stored_px = twips::to_px(*stored_outer_);
        bool on_a_screen = false;
        for (const QScreen* screen : QGuiApplication::screens()) on_a_screen |= screen->availableGeometry().intersects(stored_px);
        if (!on_a_screen) stored_outer_->moveTopLeft(now.topLeft());
        set_outer_geometry_twips(*stored_outer_);
    }
    apply_layout();

    // Choosing the first category fills the list as a pick does; with "全部"
    // first that is every memo, so the list is built once, here.
    Combo1->addItems(store_.categories.entries());
    select_all_categories();
    fill_keyword_box();
    Combo2->setEditText(QString());

    set_caption();
    Text1->clear();
    empty_viewer();
    Command1->hide();
    Grid1->set_current_row(1);
}

void Main_form::show_as_stored() {
    if (ended_) return;
    switch (start_state_) {
    case 1: showMinimized(); break;
    case 2: showMaximized(); break;
    default:
        show();
        await_frame();
        break;
    }
    if (start_sound_) QTimer::singleShot(0, this, &Main_form::start_daily_backup);
    if (!start_problems_.isEmpty()) {
        // Said once the window is up, so the message stands over it.
        QTimer::singleShot(0, this, [this] {
            if (!ended_) platform_.message(this, std::exchange(start_problems_, QString()), program_title(), MsgIcon::Exclamation);
        });
    }
}

void Main_form::await_frame() {
    // The stored size is the outer one. The window manager frames the window
    // a moment after it is shown; until then the frame counts as nothing. Once
    // it is known, the outer size is set again and the layout follows. Where
    // no frame comes (no window manager), the window keeps the size it has.
    const auto apply_stored = [this] {
        if (stored_outer_ && outer_geometry_twips() != *stored_outer_) set_outer_geometry_twips(*stored_outer_);
        apply_layout();
    };
    if (!frame_extra_px(this).isNull()) {
        apply_stored();
        return;
    }
    auto* poll = new QTimer(this);
    poll->setInterval(20);
    connect(poll, &QTimer::timeout, this, [this, poll, apply_stored, polls_left = 50]() mutable {
        const bool framed = !frame_extra_px(this).isNull();
        if (!framed && --polls_left > 0) return;
        poll->stop();
        poll->deleteLater();
        if (framed && !ended_ && windowState() == Qt::WindowNoState) apply_stored();
    });
    poll->start();
}

int Main_form::window_state_number() const {
    if (isMinimized()) return 1;
    if (isMaximized()) return 2;
    return 0;
}

QRect Main_form::outer_geometry_twips() const { return tz::outer_geometry_twips(this); }

void Main_form::set_outer_geometry_twips(const QRect& r) {
    // The smallest size follows the frame first, or it would hold the new size back.
    set_minimum_outer_twips(this, kMinWidth, kMinHeight);
    tz::set_outer_geometry_twips(this, r);
}

void Main_form::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    apply_layout();
}

void Main_form::apply_layout() {
    if (isMinimized()) return;
    // The window manager stops a drag of the frame at the smallest size.
    set_minimum_outer_twips(this, kMinWidth, kMinHeight);
    const QRect outer = outer_geometry_twips();
    layout_ = main_layout(outer.width(), outer.height(), list_height_, layout_);
    if (layout_.width != outer.width() || layout_.height != outer.height()) {
        // Below the minimum size the window snaps back.
        const QSize frame = frame_extra_px(this);
        resize(twips::to_px(layout_.width) - frame.width(), twips::to_px(layout_.height) - frame.height());
        return;
    }
    list_height_ = layout_.Grid1.height();
    place(Combo2, layout_.Combo2);
    place(Command5, layout_.Command5);
    place(Frame1, layout_.Frame1);
    place(Grid1, layout_.Grid1);
    place(RTB1, layout_.RTB1);
    place(Command1, layout_.Command1);
    place(Text1, layout_.Text1);
    place(Command9, layout_.Command9);
    place(Command8, layout_.Command8);
    place(Command7, layout_.Command7);
    place(Command6, layout_.Command6);
    Grid1->set_col_width_twips(2, layout_.title_column);
}

void Main_form::apply_split(int y) {
    const Split split = split_for_y(y, layout_.height);
    list_height_ = split.list_height;
    layout_.Grid1.setHeight(split.list_height);
    layout_.RTB1 = QRect(layout_.RTB1.left(), split.viewer_top, layout_.RTB1.width(), split.viewer_height);
    place(Grid1, layout_.Grid1);
    place(RTB1, layout_.RTB1);
}

void Main_form::apply_rows(const ListRows& rows) { apply_shown(shown_rows_for(store_.table, rows)); }

void Main_form::apply_shown(ShownRows shown) {
    maps_ = std::move(shown.maps);
    Grid1->set_data_rows(std::move(shown.grid));
}

void Main_form::full_rebuild() { apply_rows(all_rows(store_.table)); }

void Main_form::category_rebuild() {
    // The start-up's first list, "全部" first, has its rows made already.
    std::optional<ShownRows> made = std::exchange(rows_ahead_, std::nullopt);
    if (made && Combo1->currentText() == CategoryList::all())
        apply_shown(std::move(*made));
    else
        apply_rows(category_rows(store_.table, Combo1->currentText()));
    Combo2->setEditText(QString());
}

void Main_form::Combo1_Click() { category_rebuild(); }

void Main_form::fill_keyword_box() {
    Combo2->clear();
    for (const QString& k : store_.keywords.entries) Combo2->addItem(k);
}

void Main_form::set_hint(const QString& text) { Text1->setText(text); }

void Main_form::empty_viewer() { RTB1->set_text(QString()); }

void Main_form::set_caption() { setWindowTitle(store_.main_caption()); }

void Main_form::append_category_to_box(const QString& name) { Combo1->addItem(name); }

void Main_form::select_all_categories() {
    Combo1->setCurrentIndex(0);
    Combo1_Click();
}

void Main_form::refill_category_box() {
    Combo1->clear();
    Combo1->addItems(store_.categories.entries());
}

int Main_form::current_row() const { return Grid1->current_row(); }

void Main_form::menu_tukaikata_Click() {
    // A folder carried from another system may hold MANUAL.WRI or Manual.wri.
    QString manual = store_.file_path(QStringLiteral("manual.wri"));
    if (!QFileInfo::exists(manual)) {
        const QDir folder(store_.app_folder());
        for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
            if (name.compare(QLatin1String("manual.wri"), Qt::CaseInsensitive) != 0) continue;
            manual = folder.filePath(name);
            break;
        }
    }
    if (QFileInfo::exists(manual))
        platform_.open_url(QUrl::fromLocalFile(manual));
    else
        platform_.message(this, QStringLiteral("MANUAL.WRIファイルが無いので、使い方を表示できません。"), QStringLiteral("ツヅリオ"));
}

void Main_form::Menu_bunrui_Click() {
    F_bunrui window(*this);
    window.exec();
    tell_other_versions();
}

void Main_form::Menu_hakor_Click() {
    F_hakor dialog(*this);
    dialog.exec();
    tell_other_versions();
}

void Main_form::Menu_file_pass_Click() {
    F_keyset dialog(*this);
    dialog.exec();
    tell_other_versions();
}

void Main_form::save_all_and_end() {
    if (ended_) return;
    ended_ = true;
    Settings& s = store_.settings;
    const QRect g = outer_geometry_twips();
    s[Settings::WindowState] = Value::number(window_state_number());
    s[Settings::WindowTop] = Value::number(g.top());
    s[Settings::WindowLeft] = Value::number(g.left());
    s[Settings::WindowHeight] = Value::number(g.height());
    s[Settings::WindowWidth] = Value::number(g.width());
    s[Settings::ListHeight] = Value::number(list_height_);
    if (const ChangeResult saved = store_at_exit(store_); !saved.done)
        platform_.message(this, not_written_text(saved.not_written), program_title(), MsgIcon::Critical);
    if (const QString other = take_other_versions_text(store_); !other.isEmpty())
        platform_.message(this, other, program_title(), MsgIcon::Information);
    close();
    platform_.end_program();
}

void Main_form::start_daily_backup() {
    const QDate today = store_.now().date();
    if (ended_ || backup::has_daily(store_.app_folder(), today)) return;
    const QString folder = store_.app_folder();
    const std::shared_ptr<std::atomic<bool>> stop = backup_stop_;
    auto* watcher = new QFutureWatcher<backup::Result>(this);
    connect(watcher, &QFutureWatcher<backup::Result>::finished, this, [this, watcher, stop] {
        const backup::Result r = watcher->result();
        watcher->deleteLater();
        if (!r.made && !stop->load()) set_hint(QStringLiteral("バックアップを作れませんでした。") + r.error);
    });
    const QFuture<backup::Result> run =
        QtConcurrent::run([folder, today, stop] { return backup::make(folder, backup::daily_name(today), backup::hard_link(), stop.get()); });
    watcher->setFuture(run);
    backup_ = QFuture<void>(run);
}

void Main_form::tell_other_versions() {
    if (ended_) return;  // the exit save tells it
    if (const QString other = take_other_versions_text(store_); !other.isEmpty())
        platform_.message(this, other, program_title(), MsgIcon::Information);
}

void Main_form::request_end() {
    if (ended_) return;
    end_requested_ = true;
    if (long_operations_ == 0) save_all_and_end();
}

void Main_form::end_long_operation() {
    // The exit save runs once the window's handler has returned, so that
    // nothing of it runs after the files are written.
    if (--long_operations_ == 0 && end_requested_) QTimer::singleShot(0, this, &Main_form::save_all_and_end);
}

void Main_form::closeEvent(QCloseEvent* event) {
    save_all_and_end();
    event->accept();
}

}  // namespace tz
