#include "rtf/body_search.h"

#include "rtf/document.h"
#include "store/file_io.h"
#include "store/text_fold.h"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

namespace tz {

bool body_contains(QByteArrayView bytes, QStringView folded_keyword) {
    return folded_keyword.isEmpty() || contains_folded(rtf::plain_text(bytes), folded_keyword);
}

// What the workers and the caller's thread share; it outlives the search
// object only as long as a worker still holds it.
struct BodySearch::Shared {
    Shared(QStringList p, QString k, size_t n) : paths(std::move(p)), keyword(std::move(k)), outcomes(n) {}
    const QStringList paths;
    const QString keyword;  // folded
    std::vector<std::atomic<unsigned char>> outcomes;
    std::atomic<int> next{0};
    std::atomic<int> workers_left{0};
    std::atomic<bool> cancelled{false};
};

BodySearch::BodySearch(QStringList paths, const QString& keyword, QObject* parent)
    : QObject(parent), paths_(std::move(paths)) {
    shared_ = std::make_shared<Shared>(paths_, fold_for_search(keyword), size_t(paths_.size()));
    timer_.setInterval(kBatchMs);
    connect(&timer_, &QTimer::timeout, this, &BodySearch::collect);
}

BodySearch::~BodySearch() {
    cancel();
    for (QFuture<void>& w : workers_) w.waitForFinished();
}

void BodySearch::start() {
    running_ = true;
    if (paths_.isEmpty()) {
        QMetaObject::invokeMethod(this, &BodySearch::collect, Qt::QueuedConnection);
        return;
    }
    QThreadPool* pool = QThreadPool::globalInstance();
    const int workers = std::clamp(pool->maxThreadCount(), 1, int(paths_.size()));
    shared_->workers_left = workers;
    for (int w = 0; w < workers; ++w) {
        workers_.push_back(QtConcurrent::run(pool, [s = shared_, this] {
            const int n = int(s->paths.size());
            while (!s->cancelled.load(std::memory_order_relaxed)) {
                const int i = s->next.fetch_add(1, std::memory_order_relaxed);
                if (i >= n) break;
                const std::optional<QByteArray> bytes = read_file(s->paths[i]);
                const Outcome o = !bytes ? Unreadable : body_contains(*bytes, s->keyword) ? Hit : Miss;
                s->outcomes[size_t(i)].store(o, std::memory_order_release);
            }
            // The last worker wakes the caller at once rather than at the next tick.
            if (s->workers_left.fetch_sub(1) == 1 && !s->cancelled)
                QMetaObject::invokeMethod(this, &BodySearch::collect, Qt::QueuedConnection);
        }));
    }
    timer_.start();
}

void BodySearch::cancel() {
    shared_->cancelled = true;
    timer_.stop();
    running_ = false;
}

void BodySearch::collect() {
    if (!running_) return;
    std::vector<int> hits;
    const int before = settled_;
    const int n = total();
    while (settled_ < n) {
        const unsigned char o = shared_->outcomes[size_t(settled_)].load(std::memory_order_acquire);
        if (o == Pending) break;
        if (o == Hit) hits.push_back(settled_);
        if (o == Unreadable) ++unreadable_;
        ++settled_;
    }
    if (settled_ == n) {
        timer_.stop();
        running_ = false;
    }
    if (settled_ > before) emit advanced(hits);
    if (settled_ == n) emit finished();
}

}  // namespace tz
