#pragma once
// The search across all memos: finds every memo whose body holds a keyword
// and lists exactly those in the main window's memo list, in memo table order.
// The bodies are read on worker threads; the window stays responsive, shows
// its progress in the caption, and "終了", Esc or the close box stop a
// running search at once.

#include <QDialog>
#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

namespace tz {

class BodySearch;
class BusyPointer;
class MainOps;
class SearchKeyword;

class F_zenbun : public QDialog {
    Q_OBJECT
public:
    explicit F_zenbun(MainOps& main);
    ~F_zenbun() override;

    // The caption of a search under way: "120 ﾌｧｲﾙ中 5 ﾌｧｲﾙ目を検索中".
    static QString progress_caption(int total, int current);
    // The hint line after a search stopped part-way, `settled` of `total` memos looked at.
    static QString stopped_hint(int total, int settled);

    bool searching() const;
    std::optional<int> history_pick() const;

    QLabel* Label2;  // what the window does
    QLabel* Label1;  // "キーワード"
    QComboBox* Combo1;
    QPushButton* Command1;  // 全文検索開始
    QPushButton* Command2;  // 終了

public slots:
    void Command1_Click();
    void Command2_Click();
    void reject() override;  // Esc and the close box

private:
    void rows_found(const std::vector<int>& hits);
    void search_done();
    void stop();

    MainOps& main_;
    SearchKeyword* keyword_ = nullptr;
    std::unique_ptr<BodySearch> search_;
    std::unique_ptr<BusyPointer> busy_;  // while a search runs
};

}  // namespace tz
