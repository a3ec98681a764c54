#include "store/value.h"

#include <cmath>
#include <limits>

namespace tz {

std::optional<double> parse_number(const QString& text) {
    const QStringView t = QStringView(text).trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) ++i;
    qsizetype digits = 0;
    while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') { ++i; ++digits; }
    if (i < t.size() && t[i] == u'.') {
        ++i;
        while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') { ++i; ++digits; }
    }
    if (digits == 0 || i != t.size()) return std::nullopt;
    bool ok = false;
    const double n = t.toDouble(&ok);
    if (!ok || !std::isfinite(n)) return std::nullopt;
    return n;
}

std::optional<qint64> parse_whole(const QString& text) {
    // A view: a field read from the index is parsed without a copy.
    const QStringView t = QStringView(text).trimmed();
    qsizetype i = 0;
    const bool negative = i < t.size() && t[i] == u'-';
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) ++i;
    quint64 n = 0;
    qsizetype digits = 0;
    for (; i < t.size() && t[i] >= u'0' && t[i] <= u'9'; ++i, ++digits) {
        const unsigned d = t[i].unicode() - u'0';
        if (n > (quint64(std::numeric_limits<qint64>::max()) - d) / 10) return std::nullopt;
        n = n * 10 + d;
    }
    if (i < t.size() && t[i] == u'.') {
        for (++i; i < t.size() && t[i] == u'0'; ++i) ++digits;
    }
    if (digits == 0 || i != t.size()) return std::nullopt;
    return negative ? -qint64(n) : qint64(n);
}

namespace {
// Doubles count whole numbers exactly up to here.
constexpr double kExactWhole = 9007199254740992.0;  // 2^53
}  // namespace

QString format_number(double n) {
    if (n == std::floor(n)) return QString::number(n, 'f', 0);
    return QString::number(n, 'g', 15);
}

Value Value::number(double n) {
    Value v;
    if (n == std::floor(n) && std::fabs(n) <= kExactWhole)
        v.v_ = qint64(n);
    else
        v.v_ = n;
    return v;
}

QString Value::display() const {
    if (const qint64* n = std::get_if<qint64>(&v_)) return QString::number(*n);
    if (const double* n = std::get_if<double>(&v_)) return format_number(*n);
    return std::get<QString>(v_);
}

std::optional<double> Value::as_number() const {
    if (const qint64* n = std::get_if<qint64>(&v_)) return double(*n);
    if (const double* n = std::get_if<double>(&v_)) return *n;
    return parse_number(std::get<QString>(v_));
}

std::optional<qint64> Value::as_whole() const {
    if (const qint64* n = std::get_if<qint64>(&v_)) return *n;
    if (const double* n = std::get_if<double>(&v_)) {
        if (*n == std::floor(*n) && std::fabs(*n) <= kExactWhole) return qint64(*n);
        return std::nullopt;
    }
    return parse_whole(std::get<QString>(v_));
}

QString Value::file_line() const {
    if (const QString* text = std::get_if<QString>(&v_)) return *text;
    const QString digits = display();
    // A blank where a minus sign would stand, and one after.
    return (digits.startsWith(u'-') ? digits : QStringLiteral(" ") + digits) + QStringLiteral(" ");
}

bool operator==(const Value& a, const Value& b) {
    if (!a.is_number() && !b.is_number()) return std::get<QString>(a.v_) == std::get<QString>(b.v_);
    // Whole numbers compare exactly, however large; others as doubles.
    const std::optional<qint64> i = a.as_whole();
    const std::optional<qint64> j = b.as_whole();
    if (i && j) return *i == *j;
    const std::optional<double> x = a.as_number();
    const std::optional<double> y = b.as_number();
    return x && y && *x == *y;
}

}  // namespace tz
