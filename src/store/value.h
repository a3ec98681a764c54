#pragma once
// A field or settings value: text or a number. Everything read from a file is
// text; numbers arise where the program computes them. A text that reads as a
// number equals that number, so " 12 " read back equals a computed 12.

#include <QString>
#include <QtGlobal>
#include <optional>
#include <variant>

namespace tz {

class Value {
public:
    Value() = default;
    Value(const QString& text) : v_(text) {}           // NOLINT: a text is a value
    Value(QString&& text) : v_(std::move(text)) {}     // NOLINT
    Value(const char16_t* text) : v_(QString::fromUtf16(text)) {}  // NOLINT
    // A whole number is kept whole (as 64 bits), so that counting on from a
    // large memo number never stands still.
    static Value number(double n);
    static Value whole(qint64 n) { Value v; v.v_ = n; return v; }

    bool is_number() const { return !std::holds_alternative<QString>(v_); }

    // The text as shown in a window: a text unchanged, a number in plain digits.
    QString display() const;

    // The text itself without a copy, or nothing for a number.
    const QString* text_ptr() const { return std::get_if<QString>(&v_); }

    // The value read as a number (a text with blanks around digits reads as one).
    std::optional<double> as_number() const;
    // The value read as a whole number, exactly: a text of digits (a fraction
    // of zeros allowed) within 64 bits; nothing otherwise.
    std::optional<qint64> as_whole() const;

    // The line written to a file: a text unchanged; a number as blank (or minus),
    // digits, blank.
    QString file_line() const;

    // Text against text: code unit by code unit. A number against a text: the
    // text read as a number, unequal when it does not read as one.
    friend bool operator==(const Value& a, const Value& b);

private:
    std::variant<QString, double, qint64> v_;
};

// The number a text reads as: optional sign, digits, optional fraction, blanks
// around allowed; nothing otherwise.
std::optional<double> parse_number(const QString& text);

// The whole number a text reads as: optional sign, digits, optionally "." and
// zeros, blanks around allowed, within 64 bits; nothing otherwise.
std::optional<qint64> parse_whole(const QString& text);

// A number in plain decimal: whole numbers without a fraction or exponent, "." as point.
QString format_number(double n);

}  // namespace tz
