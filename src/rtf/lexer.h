#pragma once
// Splits RTF bytes into tokens: group braces, control words, control symbols,
// \'hh bytes, runs of text bytes and \bin data. The lexer never fails: every
// byte sequence yields a finite series of tokens ending in End.

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <string>

namespace tz::rtf {

struct Token {
    enum Kind : std::uint8_t {
        End,
        GroupOpen,
        GroupClose,
        Word,    // \name or \nameN; name holds up to 32 letters
        Symbol,  // \ followed by one non-letter other than ' and the escapes below
        Text,    // a run of text bytes: raw bytes (without CR and LF), \'hh and
                 // the escaped bytes \\ \{ \}, so both halves of a double-byte
                 // character come in one run however they are written
        Binary,  // the data of \binN, clamped to the bytes that are left
        Nothing, // internal: an escape that carried nothing (bad \'hh)
    };
    Token() = default;
    explicit Token(Kind k) : kind(k) {}

    Kind kind = End;
    bool has_param = false;
    unsigned char byte = 0;    // Symbol
    std::int32_t param = 0;    // Word
    QByteArrayView name;       // Word
    QByteArrayView data;       // Text and Binary; valid until the next token
};

class Lexer {
public:
    explicit Lexer(QByteArrayView bytes) : bytes_(bytes) {}

    Token next();
    // Reads a \uN word when one comes next, for the runs of them that make up
    // text other than ASCII; false, and nothing read, when not.
    bool unicode_word(std::int32_t& value);
    // Steps over a one-character \uN fallback, "?" or "\'3f", when one comes
    // next; false, and nothing read, when not.
    bool skip_question_mark() {
        const char* p = bytes_.data() + pos_;
        const qsizetype left = bytes_.size() - pos_;
        if (left >= 1 && p[0] == '?') {
            pos_ += 1;
            return true;
        }
        if (left >= 4 && p[0] == '\\' && p[1] == '\'' && p[2] == '3' && (p[3] == 'f' || p[3] == 'F')) {
            pos_ += 4;
            return true;
        }
        return false;
    }
    // Steps over text bytes (escaped ones and line ends included) up to the
    // next brace or control word, without collecting them: for a destination
    // whose text is dropped, such as picture data nobody decodes. True when
    // any text was stepped over.
    bool skip_text();
    qsizetype position() const { return pos_; }
    qsizetype size() const { return bytes_.size(); }

private:
    Token control();
    Token text_run();
    bool starts_text(qsizetype i) const;

    QByteArrayView bytes_;
    qsizetype pos_ = 0;
    QByteArray run_;  // grown without being filled
};

// True when a control word token has the given name.
inline bool is_word(const Token& t, QByteArrayView name) { return t.kind == Token::Word && t.name == name; }

}  // namespace tz::rtf
