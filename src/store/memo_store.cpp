#include "store/memo_store.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace tz {

int MemoTable::find_slot(const Value& memo_number) const {
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].memo_number == memo_number) return int(i) + 1;
    return 0;
}

void MemoTable::resort() {
    // A stable sort gives the same order as exchanging neighbours whose stamps
    // rise until no pair does: newest first, equal stamps in their old order.
    std::stable_sort(slots_.begin(), slots_.end(), [](const MemoRecord& a, const MemoRecord& b) {
        const QString* x = a.updated_stamp.text_ptr();
        const QString* y = b.updated_stamp.text_ptr();
        if (x && y) return *y < *x;  // stamps are texts: compared in place, no copies
        return b.updated_stamp.display() < a.updated_stamp.display();
    });
}

bool CategoryList::has_memo_category(const QString& name) const {
    for (int i = 1; i < entries_.size(); ++i)
        if (entries_[i] == name) return true;
    return false;
}

Settings Settings::first_start(int state, int top, int left, int height, int width, int list_height) {
    Settings s;
    s[Counter] = Value::number(0);
    s[WindowState] = Value::number(state);
    s[WindowTop] = Value::number(top);
    s[WindowLeft] = Value::number(left);
    s[WindowHeight] = Value::number(height);
    s[WindowWidth] = Value::number(width);
    s[ListHeight] = Value::number(list_height);
    s[Reserved1] = Value::number(2);
    s[Reserved2] = Value(u"全部");
    s[Reserved3] = Value(QString());
    s[Reserved4] = Value(u"更新日");
    s[Reserved5] = Value::number(0);
    s[LockPassword] = Value(QString());
    return s;
}

Clock system_clock() {
    return [] { return QDateTime::currentDateTime(); };
}

QString plain_stamp_text(const QDateTime& t) {
    return t.toString(QStringLiteral("yy/MM/dd HH:mm:ss"));
}

QString stamp_text(const QDateTime& t) {
    QString s = plain_stamp_text(t);
    if (!s.isEmpty() && s[0] >= u'0' && s[0] <= u'4') s[0] = QChar(u'a' + (s[0].unicode() - u'0'));
    return s;
}

QString date_text(const QDate& d) {
    return d.toString(QStringLiteral("yyyy/MM/dd"));
}

QString program_title() {
    return QStringLiteral("【ツヅリオ】Ver.3.0");
}

QString main_caption(int memo_count) {
    return program_title() + QStringLiteral(" (") + QString::number(memo_count) + QStringLiteral("件)");
}

std::optional<qint64> memo_number_of(const Value& memo_number) {
    const std::optional<qint64> n = memo_number.as_whole();
    if (!n || *n < 1 || *n > kMaxMemoNumber) return std::nullopt;
    return n;
}

QString memo_digits(const Value& memo_number) {
    const std::optional<qint64> n = memo_number_of(memo_number);
    return n ? QStringLiteral("%1").arg(*n, 6, 10, QLatin1Char('0')) : QString();
}

MemoStore::MemoStore(QString app_folder, Clock clock) : clock_(std::move(clock)) {
    app_folder_ = QDir::toNativeSeparators(QDir(app_folder).absolutePath());
    if (!app_folder_.endsWith(QDir::separator())) app_folder_ += QDir::separator();
}

namespace {

QString body_path(const QString& folder, const char* kind, const Value& memo_number) {
    const QString digits = memo_digits(memo_number);
    if (digits.isEmpty()) return QString();
    return folder + QStringLiteral("memo") + QLatin1Char(kind[0]) + QDir::separator() + QStringLiteral("m") + QLatin1Char(kind[0]) +
           digits + QStringLiteral(".txt");
}

// The counter as a number; a counter that is not one (the load makes it one) counts as 0.
qint64 counter_of(const Settings& s) { return std::clamp<qint64>(s[Settings::Counter].as_whole().value_or(0), 0, kMaxMemoNumber); }

}  // namespace

QString MemoStore::text_body_path(const Value& memo_number) const { return body_path(app_folder_, "1", memo_number); }

QString MemoStore::rich_body_path(const Value& memo_number) const { return body_path(app_folder_, "2", memo_number); }

bool MemoStore::can_number_new_memo() const { return counter_of(settings) < kMaxMemoNumber; }

bool MemoStore::number_in_use(qint64 n) const {
    const Value v = Value::whole(n);
    return QFileInfo::exists(text_body_path(v)) || QFileInfo::exists(rich_body_path(v));
}

Value MemoStore::next_memo_number() {
    // Past the last number there is no number to give: an empty field, under
    // which no body file can be written.
    qint64 n = counter_of(settings);
    do {
        if (n >= kMaxMemoNumber) return Value();
        ++n;
    } while (number_in_use(n));
    settings[Settings::Counter] = Value::whole(n);
    return settings[Settings::Counter];
}

bool MemoStore::raise_counter(const Value& n) {
    const std::optional<qint64> number = memo_number_of(n);
    if (number && *number > counter_of(settings)) settings[Settings::Counter] = n;
    return bool(number);
}

void update_keyword_history(KeywordHistory& history, int p, const QString& t) {
    auto& e = history.entries;
    if (p < 0) {
        for (int i = KeywordHistory::kSize - 1; i > 0; --i) e[size_t(i)] = e[size_t(i - 1)];
    } else {
        p = std::min(p, KeywordHistory::kSize - 1);
        for (int i = p; i > 0; --i) e[size_t(i)] = e[size_t(i - 1)];
    }
    e[0] = t;
}

}  // namespace tz
