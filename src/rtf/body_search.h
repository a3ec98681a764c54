#pragma once
// The search across all memo bodies. Each rich body file is read through the
// RTF reader's plain-text path (the text the rich-text box shows, never the
// markup; a body that is not RTF is its plain text), folded and scanned for
// the folded keyword. The files are read on the worker threads of Qt
// Concurrent; the outcomes are handed to the caller in the order of the files
// given, in batches, on the caller's thread.

#include <QByteArrayView>
#include <QFuture>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <memory>
#include <vector>

namespace tz {

// Whether the body of these bytes holds the keyword, already folded with
// fold_for_search(). An empty keyword is held by every body.
bool body_contains(QByteArrayView bytes, QStringView folded_keyword);

class BodySearch : public QObject {
    Q_OBJECT
public:
    // Searches the files for keyword (as the user typed it).
    BodySearch(QStringList paths, const QString& keyword, QObject* parent = nullptr);
    // Stops the search and waits for the reads under way.
    ~BodySearch() override;

    void start();
    // Stops at once: no file is begun after this, no signal comes after it.
    void cancel();
    bool running() const { return running_; }

    int total() const { return int(paths_.size()); }
    // Files settled in order: outcomes 0..settled()-1 are known.
    int settled() const { return settled_; }
    // Files that were missing or could not be read, among the settled ones.
    int unreadable() const { return unreadable_; }

    // How often the outcomes are handed on while the search runs.
    static constexpr int kBatchMs = 100;

signals:
    // Files settled_before..settled()-1 are settled; hits holds the indices
    // among them whose body holds the keyword, ascending.
    void advanced(const std::vector<int>& hits);
    // Every file is settled.
    void finished();

private:
    enum Outcome : unsigned char { Pending, Miss, Hit, Unreadable };
    struct Shared;
    void collect();

    QStringList paths_;
    std::shared_ptr<Shared> shared_;
    std::vector<QFuture<void>> workers_;
    QTimer timer_;
    int settled_ = 0;
    int unreadable_ = 0;
    bool running_ = false;
};

}  // namespace tz
