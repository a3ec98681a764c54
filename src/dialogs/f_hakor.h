#pragma once
// The import window: the user picks the folder 【ハコネル】 is installed in and
// its memos are appended to this memo book as new memos, after backups of the
// memo index, settings file and category file.

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTreeView;

namespace tz {

class MainOps;

class F_hakor : public QDialog {
    Q_OBJECT
public:
    explicit F_hakor(MainOps& main);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QComboBox* Drive1;   // the machine's mounted volumes, the root first
    QPushButton* Command3;  // ホーム: the user's home folder in the folder chooser
    QTreeView* Dir1;     // the folders of the chosen volume
    QListWidget* File1;  // the chosen folder's files, display only
    QProgressBar* ProgressBar1;  // records imported, while a run goes on
    QPushButton* Command1;  // 変換実行
    QPushButton* Command2;  // 終了

    // The folder the predecessor's files are read from, ending in a separator.
    const QString& source_folder() const { return source_; }

public slots:
    void Drive1_Change();
    void Dir1_Change();
    void Command1_Click();
    void Command3_Click();
    void Command2_Click();

public:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void show_folder(const QString& path);
    void run();

    MainOps& main_;
    QFileSystemModel* folders_;
    QSortFilterProxyModel* folder_names_;  // what the folder chooser shows of it
    QString source_;
    int last_good_drive_ = -1;
    bool running_ = false;
};

}  // namespace tz
