#include "store/value.h"

#include <cmath>

namespace tz {

std::optional<double> parse_number(const QString& text) {
    const QString t = text.trimmed();
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

QString format_number(double n) {
    if (n == std::floor(n) && std::fabs(n) < 1e15) return QString::number(static_cast<long long>(n));
    return QString::number(n, 'g', 15);
}

QString Value::display() const {
    if (const double* n = std::get_if<double>(&v_)) return format_number(*n);
    return std::get<QString>(v_);
}

std::optional<double> Value::as_number() const {
    if (const double* n = std::get_if<double>(&v_)) return *n;
    return parse_number(std::get<QString>(v_));
}

QString Value::file_line() const {
    if (const double* n = std::get_if<double>(&v_)) {
        const QString digits = format_number(std::fabs(*n));
        return (*n < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + digits + QStringLiteral(" ");
    }
    return std::get<QString>(v_);
}

bool operator==(const Value& a, const Value& b) {
    if (!a.is_number() && !b.is_number()) return std::get<QString>(a.v_) == std::get<QString>(b.v_);
    const std::optional<double> x = a.as_number();
    const std::optional<double> y = b.as_number();
    return x && y && *x == *y;
}

}  // namespace tz
