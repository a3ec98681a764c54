#include "dialogs/f_hakor.h"

#include "store/data_folder.h"
#include "store/hakor_import.h"
#include "ui/accessible_names.h"
#include "ui/controls.h"
#include "ui/dialog_frame.h"
#include "ui/fonts.h"
#include "ui/main_ops.h"
#include "ui/platform.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>

namespace tz {
namespace {

constexpr int kInsideWidth = 7800;
constexpr int kInsideHeight = 5520;
constexpr int kProgressEveryMs = 100;

// Messages of this window carry the program's short name unless told otherwise.
QString message_title() { return QStringLiteral("ツヅリオ"); }

// The mounted volumes that can be read: the root first, then the others by path.
QStringList volume_roots() {
    QStringList roots;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && !roots.contains(v.rootPath())) roots.append(v.rootPath());
    std::sort(roots.begin(), roots.end(), [](const QString& a, const QString& b) {
        if ((a == u"/") != (b == u"/")) return a == u"/";
        return a < b;
    });
    return roots;
}

// The folder chooser's model: the folders by name, one column. The file
// system model's other columns (size, kind, date, in English) are neither
// shown nor read out by a screen reader.
class FolderNames : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole) return QStringLiteral("フォルダ");
        return QSortFilterProxyModel::headerData(section, orientation, role);
    }

protected:
    bool filterAcceptsColumn(int source_column, const QModelIndex&) const override { return source_column == 0; }
};

QString with_separator(const QString& path) {
    const QString native = QDir::toNativeSeparators(path);
    return native.endsWith(QDir::separator()) ? native : native + QDir::separator();
}

}  // namespace

F_hakor::F_hakor(MainOps& main) : QDialog(main.main_widget()), main_(main) {
    setObjectName(QStringLiteral("F_hakor"));
    setFont(fonts::font(fonts::proportional_gothic(), 9));

    const auto label = [&](const char* name, const QString& text, int top, int height) {
        auto* l = make<QLabel>(this, name, text, {240, top, 7320, height});
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    Label1 = label("Label1",
                   QStringLiteral("【ハコネル】のデータを読み込むには、【ハコネル】がインストールされているフォルダ（ディレクトリ)を指定して、"
                                  "[変換実行]ボタンをクリックして下さい。"),
                   120, 480);
    Label2 = label("Label2",
                   QStringLiteral("【ハコネル】のデータは、現在の【ツヅリオ】のデータの後に追加されます。何度も[変換実行]を行うと、"
                                  "同じデータが何度も追加されてしまいますので、注意して下さい。"),
                   660, 480);
    Label3 = label("Label3",
                   QStringLiteral("この機能は、【ハコネル】をお使いの方が、そのデータを【ツヅリオ】のデータに変換するためのものです。"
                                  "【ハコネル】をお使いでない方は、ご使用になる必要はありません。"),
                   1200, 480);
    Label4 = label("Label4",
                   QStringLiteral("なお、この機能で変換できるのは、【ハコネル】Ver.1.6のデータです。これより古いバージョンをお使いの方は、"
                                  "必ずVer.1.6にバージョンアップしてから変換して下さい。"),
                   1740, 480);

    Drive1 = make<QComboBox>(this, "Drive1", {240, 2340, 2760, 330});
    Command3 = make<QPushButton>(this, "Command3", QStringLiteral("ホーム"), {3060, 2340, 780, 330});
    Dir1 = make<QTreeView>(this, "Dir1", {240, 2730, 3600, 2070});
    File1 = make<QListWidget>(this, "File1", {3960, 2340, 3600, 2460});
    ProgressBar1 = make<QProgressBar>(this, "ProgressBar1", {240, 4980, 3600, 300});
    Command1 = make<QPushButton>(this, "Command1", QStringLiteral("変換実行"), {4320, 4920, 1500, 420});
    Command2 = make<QPushButton>(this, "Command2", QStringLiteral("終了"), {6060, 4920, 1500, 420});
    ProgressBar1->hide();

    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folders_->setReadOnly(true);
    folder_names_ = new FolderNames(this);
    folder_names_->setSourceModel(folders_);
    Dir1->setModel(folder_names_);
    Dir1->setHeaderHidden(true);
    name_control(Drive1, QStringLiteral("ドライブ"));
    name_control(Dir1, QStringLiteral("フォルダ"));
    name_control(File1, QStringLiteral("ファイル一覧"));
    name_control(ProgressBar1, QStringLiteral("変換の進み具合"));
    setTabOrder(Drive1, Command3);
    setTabOrder(Command3, Dir1);
    File1->setSelectionMode(QAbstractItemView::NoSelection);
    File1->setFocusPolicy(Qt::NoFocus);

    // The drive the current folder is on is chosen without reporting a change.
    const QString here = QDir::currentPath();
    const QString here_root = QStorageInfo(here).rootPath();
    {
        const QSignalBlocker block(Drive1);
        for (const QString& root : volume_roots()) Drive1->addItem(QDir::toNativeSeparators(root), root);
        last_good_drive_ = Drive1->findData(here_root);
        Drive1->setCurrentIndex(last_good_drive_);
    }
    connect(Drive1, &QComboBox::currentIndexChanged, this, &F_hakor::Drive1_Change);
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this, &F_hakor::Dir1_Change);
    // Folders are read in the background: the chosen one is brought into view as they arrive.
    const auto bring_into_view = [this] { Dir1->scrollTo(Dir1->currentIndex(), QAbstractItemView::PositionAtCenter); };
    connect(folders_, &QFileSystemModel::directoryLoaded, this, bring_into_view);
    QTimer::singleShot(0, this, bring_into_view);  // once the window is shown
    connect(Command1, &QPushButton::clicked, this, &F_hakor::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &F_hakor::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &F_hakor::Command3_Click);
    show_folder(here);

    setWindowTitle(QStringLiteral("【ハコネル】→【ツヅリオ】 データ変換"));
    const QRect outer = centred_over(main_.outer_geometry_twips(), kInsideWidth + kDialogBorderTwips, kInsideHeight + kDialogCaptionTwips);
    make_fixed_dialog(this, outer, kInsideWidth);
    Command1->setFocus();
}

void F_hakor::show_folder(const QString& path) {
    const QString root = QStorageInfo(path).rootPath();
    folders_->setRootPath(root);
    // The volume's own folder is the tree's top, so it can be chosen too.
    Dir1->setRootIndex(root == u"/" ? QModelIndex() : folder_names_->mapFromSource(folders_->index(root).parent()));
    const QModelIndex at = folder_names_->mapFromSource(folders_->index(path));
    Dir1->setCurrentIndex(at);
    Dir1->expand(at);
    Dir1->scrollTo(at, QAbstractItemView::PositionAtCenter);
    Dir1_Change();
}

void F_hakor::Drive1_Change() {
    const QString root = Drive1->currentData().toString();
    if (!QStorageInfo(root).isReady() || !QDir(root).isReadable()) {
        main_.platform().beep();
        main_.platform().message(this, QStringLiteral("ドライブの準備ができていません。"), message_title());
        const QSignalBlocker block(Drive1);
        Drive1->setCurrentIndex(last_good_drive_);
        return;
    }
    // A volume's current folder is the process's when it lies there, else its root.
    const QString here = QDir::currentPath();
    show_folder(QStorageInfo(here).rootPath() == root ? here : root);
    last_good_drive_ = Drive1->currentIndex();
}

void F_hakor::Command3_Click() {
    // The user's home folder, on whichever volume it lies; the drive chooser follows.
    const QString home = QDir::homePath();
    if (const int drive = Drive1->findData(QStorageInfo(home).rootPath()); drive >= 0) {
        const QSignalBlocker block(Drive1);
        Drive1->setCurrentIndex(drive);
        last_good_drive_ = drive;
    }
    show_folder(home);
}

void F_hakor::Dir1_Change() {
    const QString path = folders_->filePath(folder_names_->mapToSource(Dir1->currentIndex()));
    if (path.isEmpty()) return;
    File1->clear();
    File1->addItems(QDir(path).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
    source_ = with_separator(path);
}

void F_hakor::Command2_Click() { reject(); }

void F_hakor::reject() {
    if (!running_) QDialog::reject();
}

void F_hakor::closeEvent(QCloseEvent* event) {
    if (running_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void F_hakor::Command1_Click() {
    if (running_) return;
    running_ = true;
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    run();
    running_ = false;
    Command1->setEnabled(true);
    Command2->setEnabled(true);
    ProgressBar1->hide();
}

void F_hakor::run() {
    using namespace hakor;
    Platform& ui = main_.platform();
    MemoStore& store = main_.store();

    if (const Missing m = check_source(source_); m != Missing::Nothing) {
        ui.message(this, missing_text(m), message_title());
        return;
    }
    // hakor.dat is read, and refused when it is no text, before the backups change anything.
    DatRead dat = read_index(source_);
    if (dat.problem != DatProblem::None) {
        ui.message(this, dat_problem_text(dat.problem), message_title(),
                   dat.problem == DatProblem::Unreadable ? MsgIcon::Critical : MsgIcon::None);
        return;
    }
    if (const QString failed = make_backups(store); !failed.isEmpty()) {
        ui.message(this, QStringLiteral("%1 をバックアップできなかったので、変換を実行できません。").arg(failed), message_title(), MsgIcon::Critical);
        return;
    }
    ui.message(this, backups_made_text(), message_title());
    if (main_.end_requested()) return;  // the program ended while the message stood

    BusyPointer busy;
    HakorImport import(store, source_, std::move(dat.index));
    if (import.total() == 0) {
        busy.end();
        ui.message(this, QStringLiteral("【ハコネル】のデータが０件です。"), message_title());
        return;
    }

    // The list, the category file and the box follow once at the end, not per record.
    ProgressBar1->setRange(0, import.total());
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    QElapsedTimer since_shown;
    since_shown.start();
    // A stop signal between two records stops the run there; what was
    // imported is written, then the program ends without another word.
    const LongOperation long_operation(main_);
    HakorImport::Step step = HakorImport::Step::Imported;
    while (!import.at_end() && !main_.end_requested() && (step = import.import_next()) == HakorImport::Step::Imported) {
        if (since_shown.elapsed() >= kProgressEveryMs) {
            ProgressBar1->setValue(import.done());
            since_shown.restart();
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ProgressBar1->setValue(import.done());

    // Whatever ended the run, what was imported reaches the files.
    const bool completed = step == HakorImport::Step::Imported && import.at_end();
    const QStringList not_written = import.finish(completed);
    if (main_.end_requested()) return;
    for (const QString& name : import.added_categories()) main_.append_category_to_box(name);
    if (import.done() > 0) main_.select_all_categories();
    if (completed) {
        main_.full_rebuild();
        main_.empty_viewer();
    }
    main_.set_caption();
    busy.end();

    if (completed && !not_written.isEmpty()) {
        // Every record is in the memo table, so the window closes as after any completed run,
        // but the end is not reported as a success.
        ui.message(this, import.end_not_saved_text(not_written), program_title(), MsgIcon::Critical);
        accept();
        return;
    }
    if (!not_written.isEmpty()) ui.message(this, not_written_text(not_written), program_title(), MsgIcon::Critical);
    switch (step) {
    case HakorImport::Step::MemoLimit:
        ui.message(this, QStringLiteral("これ以上メモを登録できません。"), QStringLiteral("メモの数が限界(30000)を越えます"));
        break;
    case HakorImport::Step::CategoryLimit:
        ui.message(this, QStringLiteral("これ以上分類を登録できません。処理を中断します。"), QStringLiteral("分類の数が限界(1000)を越えます"));
        break;
    case HakorImport::Step::BodyNotWritten:
        ui.message(this, not_written_text({import.unwritten_body()}) + QStringLiteral("\r変換を中断しました。"), program_title(),
                   MsgIcon::Critical);
        break;
    case HakorImport::Step::Imported:
        ui.message(this, import.end_text(), message_title());
        accept();
        return;
    }
    if (!import.notes().isEmpty()) ui.message(this, import.notes(), message_title());
}

}  // namespace tz
