#include "rtf/lexer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace tz::rtf {
namespace {

bool is_letter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }

constexpr auto kHex = [] {
    std::array<signed char, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[size_t(c)] = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    return t;
}();

inline int hex_value(unsigned char c) { return kHex[c]; }

constexpr qsizetype kMaxName = 32;

// Bytes that end a plain stretch of text: braces, backslash, line ends.
constexpr auto kSpecial = [] {
    std::array<bool, 256> t{};
    for (unsigned char c : {'{', '}', '\\', '\r', '\n'}) t[c] = true;
    return t;
}();
// Bytes that end a stretch of text that is stepped over: braces, backslash.
constexpr auto kSkipStop = [] {
    std::array<bool, 256> t{};
    for (unsigned char c : {'{', '}', '\\'}) t[c] = true;
    return t;
}();

// The byte of an escape at p (a backslash with at least one byte after it) that
// is text: \'hh, \\, \{ or \}; -1 when the escape is not text. *len is its length.
inline int escaped_byte(const unsigned char* p, qsizetype left, qsizetype* len) {
    const unsigned char d = p[1];
    if (d == '\\' || d == '{' || d == '}') {
        *len = 2;
        return d;
    }
    if (d != '\'' || left < 4) return -1;
    const int hi = hex_value(p[2]), lo = hex_value(p[3]);
    if (hi < 0 || lo < 0) return -1;
    *len = 4;
    return hi * 16 + lo;
}

}  // namespace

Token Lexer::next() {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data());
    const qsizetype n = bytes_.size();
    while (pos_ < n) {
        const unsigned char c = p[pos_];
        switch (c) {
        case '{':
            ++pos_;
            return Token{Token::GroupOpen};
        case '}':
            ++pos_;
            return Token{Token::GroupClose};
        case '\\': {
            if (starts_text(pos_)) return text_run();
            Token t = control();
            if (t.kind == Token::Nothing) continue;
            return t;
        }
        case '\r':
        case '\n':
            ++pos_;
            continue;
        default:
            return text_run();
        }
    }
    return Token{Token::End};
}

// True when the backslash at i begins a byte of text: \'hh, \\, \{ or \}.
bool Lexer::starts_text(qsizetype i) const {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data());
    const qsizetype n = bytes_.size();
    if (i + 1 >= n) return false;
    qsizetype len = 0;
    return escaped_byte(p + i, n - i, &len) >= 0;
}

Token Lexer::text_run() {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data());
    const qsizetype n = bytes_.size();
    // A run never holds more bytes than are left to read; the buffer only grows.
    if (run_.size() < n - pos_) run_.resize(n - pos_);
    char* const out = run_.data();
    qsizetype k = 0;
    qsizetype i = pos_;  // a local: the bytes written could alias a member
    while (i < n) {
        const unsigned char c = p[i];
        if (!kSpecial[c]) {
            const qsizetype start = i;
            do ++i;
            while (i < n && !kSpecial[p[i]]);
            std::memcpy(out + k, p + start, size_t(i - start));
            k += i - start;
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c != '\\' || i + 1 >= n) break;
        if (p[i + 1] == '\'' && i + 3 < n && (kHex[p[i + 2]] | kHex[p[i + 3]]) >= 0) {  // \'hh, the most of a text
            out[k++] = char(kHex[p[i + 2]] * 16 + kHex[p[i + 3]]);
            i += 4;
            continue;
        }
        qsizetype len = 0;
        const int b = escaped_byte(p + i, n - i, &len);
        if (b < 0) break;
        out[k++] = char(b);
        i += len;
    }
    pos_ = i;
    Token t{Token::Text};
    t.data = QByteArrayView(out, k);
    return t;
}

bool Lexer::skip_text() {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data());
    const qsizetype n = bytes_.size();
    bool text = false;
    while (pos_ < n) {
        const unsigned char c = p[pos_];
        if (!kSkipStop[c]) {
            const qsizetype start = pos_;
            do ++pos_;
            while (pos_ < n && !kSkipStop[p[pos_]]);
            // Line ends alone are no text.
            for (qsizetype i = start; i < pos_ && !text; ++i) text = p[i] != '\r' && p[i] != '\n';
            continue;
        }
        if (c != '\\' || pos_ + 1 >= n) break;
        qsizetype len = 0;
        if (escaped_byte(p + pos_, n - pos_, &len) < 0) break;
        pos_ += len;
        text = true;
    }
    return text;
}

bool Lexer::unicode_word(std::int32_t& value) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data());
    const qsizetype n = bytes_.size();
    qsizetype i = pos_;
    if (i + 2 >= n || p[i] != '\\' || p[i + 1] != 'u') return false;
    i += 2;
    const bool negative = p[i] == '-';
    if (negative) ++i;
    if (i >= n || !is_digit(p[i])) return false;
    std::int64_t v = 0;
    while (i < n && is_digit(p[i])) {
        if (v <= std::numeric_limits<std::int32_t>::max()) v = v * 10 + (p[i] - '0');
        ++i;
    }
    if (i < n && p[i] == ' ') ++i;
    v = std::clamp<std::int64_t>(negative ? -v : v, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max());
    value = std::int32_t(v);
    pos_ = i;
    return true;
}

Token Lexer::control() {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data());
    const qsizetype n = bytes_.size();
    ++pos_;  // the backslash
    if (pos_ >= n) return Token{Token::Nothing};
    const unsigned char c = p[pos_];
    if (is_letter(c)) {
        const qsizetype start = pos_;
        while (pos_ < n && is_letter(p[pos_])) ++pos_;
        Token t{Token::Word};
        t.name = bytes_.sliced(start, std::min(pos_ - start, kMaxName));
        bool negative = false;
        if (pos_ + 1 < n && p[pos_] == '-' && is_digit(p[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        if (pos_ < n && is_digit(p[pos_])) {
            std::int64_t value = 0;
            while (pos_ < n && is_digit(p[pos_])) {
                if (value <= std::numeric_limits<std::int32_t>::max()) value = value * 10 + (p[pos_] - '0');
                ++pos_;
            }
            if (negative) value = -value;
            value = std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                             std::numeric_limits<std::int32_t>::max());
            t.has_param = true;
            t.param = std::int32_t(value);
        }
        if (pos_ < n && p[pos_] == ' ') ++pos_;  // the delimiter belongs to the word
        if (t.name.size() == 3 && t.name[0] == 'b' && t.name[1] == 'i' && t.name[2] == 'n') {
            // The data follows the delimiter; a missing or negative count means none.
            const qsizetype want = t.has_param && t.param > 0 ? qsizetype(t.param) : 0;
            const qsizetype len = std::min(want, n - pos_);
            Token b{Token::Binary};
            b.data = bytes_.sliced(pos_, len);
            pos_ += len;
            return b;
        }
        return t;
    }
    ++pos_;
    switch (c) {
    case '\'':
        // A bad \'hh (good ones are text): the escape and a lone hex digit are dropped.
        if (pos_ < n && hex_value(p[pos_]) >= 0) ++pos_;
        return Token{Token::Nothing};
    case '\r':
    case '\n': {
        // A backslash before a line end is a paragraph mark.
        Token t{Token::Word};
        t.name = "par";
        return t;
    }
    default: {
        Token t{Token::Symbol};
        t.byte = c;
        return t;
    }
    }
}

}  // namespace tz::rtf
