#include "rtf/interpreter.h"

#include "rtf/control_words.h"
#include "rtf/destinations.h"
#include "rtf/group_state.h"
#include "rtf/lexer.h"
#include "rtf/reader.h"
#include "rtf/text_path.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace tz::rtf {
namespace {

// \uN gives units above 32767 as negative numbers.
std::int64_t code_point(std::int32_t n) { return n < 0 ? std::int64_t(n) + 65536 : std::int64_t(n); }

std::uint32_t unit(std::int32_t n) {
    const std::int64_t v = code_point(n);
    return v < 0 ? 0xFFFD : std::uint32_t(v);
}

// A control word is looked up in the table of control words. A destination
// word sends the content of its group to a destination; the other words and
// the text go to the destination of the group they stand in: the body's
// formats and text path, the font table, the colour table or the picture.
class Interpreter {
public:
    Interpreter(QByteArrayView bytes, Sink& sink);
    void run();

private:
    Group& st() { return stack_.back(); }

    void step_over_unread_text();
    void open_group();
    void close_group();
    void symbol(unsigned char c);
    void text_bytes(QByteArrayView bytes);
    void binary(QByteArrayView bytes);
    bool consume_skip();

    void word(const Token& t);
    void enter_destination(const ControlWord& w, Group& g);
    bool document_word(const ControlWord& w, const Token& t, Group& g);
    void unicode(const Token& t, Group& g);
    void format_word(const ControlWord& w, const Token& t, Group& g);
    void symbol_word(const ControlWord& w, const Group& g);

    Lexer lexer_;
    const bool want_pictures_;

    std::vector<Group> stack_;
    int overflow_ = 0;   // groups opened below the deepest kept one
    bool star_ = false;  // \* seen: the next word names an optional destination
    int skip_ = 0;       // fallback units still to skip after \u
    bool done_ = false;
    Align final_align_ = Align::Left;
    int deff_ = -1;

    FontTable fonts_;
    ColourTable colours_;
    PictureData picture_;
    TextPath text_;
};

Interpreter::Interpreter(QByteArrayView bytes, Sink& sink)
    : lexer_(bytes), want_pictures_(sink.wants_pictures()), text_(sink, stack_, fonts_, colours_) {
    stack_.reserve(64);
    stack_.push_back(Group{});
}

void Interpreter::run() {
    while (!done_) {
        step_over_unread_text();
        const Token t = lexer_.next();
        switch (t.kind) {
        case Token::End:
        case Token::Nothing:
            done_ = true;
            final_align_ = st().align;
            break;
        case Token::GroupOpen:
            open_group();
            break;
        case Token::GroupClose:
            close_group();
            break;
        case Token::Word:
            word(t);
            break;
        case Token::Symbol:
            symbol(t.byte);
            break;
        case Token::Text:
            text_bytes(t.data);
            break;
        case Token::Binary:
            binary(t.data);
            break;
        }
    }
    text_.finish(final_align_);
}

// Text that nobody reads is stepped over without being collected. In a picture
// that text still ends a \*, as text_bytes() does.
void Interpreter::step_over_unread_text() {
    if (skip_ != 0) return;
    const Dest dest = st().dest;
    if (dest == Dest::Skip) {
        lexer_.skip_text();
    } else if (dest == Dest::Picture && !want_pictures_) {
        const bool stepped = lexer_.skip_text();
        if (stepped) star_ = false;
    }
}

void Interpreter::open_group() {
    text_.flush_bytes();
    text_.flush_out();
    star_ = false;
    skip_ = 0;
    if (int(stack_.size()) >= kMaxDepth) {
        ++overflow_;
        return;
    }
    stack_.push_back(stack_.back());
}

void Interpreter::close_group() {
    text_.flush_bytes();
    text_.flush_out();
    star_ = false;
    skip_ = 0;
    if (overflow_ > 0) {
        --overflow_;
        return;
    }
    if (stack_.size() <= 1) return;  // a stray closing brace
    if (st().dest == Dest::FontTable) fonts_.end_group();
    if (picture_.ends_with(stack_.size())) {
        const Picture picture = picture_.take();
        if (!st().hidden) text_.picture(picture);
    }
    const Align align = st().align;
    stack_.pop_back();
    if (stack_.size() == 1) {
        // The outermost group is closed: whatever follows is not part of the document.
        done_ = true;
        final_align_ = align;
    }
}

// One unit of the fallback of a \uN, when one is still to be skipped.
bool Interpreter::consume_skip() {
    if (skip_ == 0) return false;
    --skip_;
    return true;
}

void Interpreter::symbol(unsigned char c) {
    const Dest dest = st().dest;
    if (dest == Dest::Skip) return;
    if (c == '*') {
        star_ = true;
        return;
    }
    star_ = false;
    if (consume_skip()) return;
    if (dest != Dest::Body) return;
    switch (c) {
    case '~':
        text_.flush_bytes();
        text_.emit_text(u"\u00A0");
        break;
    case '_':
        text_.flush_bytes();
        text_.emit_text(u"\u2011");
        break;
    default:  // \- optional hyphen, \: index entries, \| formulas and the rest show nothing
        break;
    }
}

void Interpreter::text_bytes(QByteArrayView bytes) {
    const Group& g = st();
    if (g.dest == Dest::Skip) return;
    star_ = false;
    if (skip_ > 0) {
        const qsizetype n = std::min<qsizetype>(skip_, bytes.size());
        skip_ -= int(n);
        bytes = bytes.sliced(n);
        if (bytes.isEmpty()) return;
    }
    switch (g.dest) {
    case Dest::Body:
        if (!g.hidden) text_.text_bytes(bytes, fonts_.code_page(g.font));
        return;
    case Dest::FontTable:
        fonts_.text(bytes);
        return;
    case Dest::ColourTable:
        colours_.text(bytes);
        return;
    case Dest::Picture:
        if (want_pictures_) picture_.hex(bytes);
        return;
    case Dest::Skip:
    case Dest::Upr:
        return;
    }
}

void Interpreter::binary(QByteArrayView bytes) {
    if (st().dest == Dest::Skip) return;
    star_ = false;
    if (consume_skip()) return;
    if (st().dest == Dest::Picture && want_pictures_) picture_.binary(bytes);
}

// A control word: a destination word changes where the group's content goes,
// the document's words count wherever they stand, and the others belong to the
// destination of the group they stand in.
void Interpreter::word(const Token& t) {
    Group& g = st();
    if (g.dest == Dest::Skip) return;
    const bool star = std::exchange(star_, false);
    const ControlWord w = control_word(t.name);
    if (w.action == Action::U)
        skip_ = 0;  // \u is not itself part of a fallback being skipped: it starts a new one
    else if (consume_skip())
        return;
    text_.flush_bytes();
    if (w.action != Action::U) text_.flush_out();

    if (w.action == Action::Unknown) {
        if (star) g.dest = Dest::Skip;  // a destination this reader does not know
        return;
    }
    if (w.kind == WordKind::Destination) {
        enter_destination(w, g);
        return;
    }
    if (document_word(w, t, g)) return;
    switch (g.dest) {
    case Dest::Body:
        if (w.kind == WordKind::Symbol)
            symbol_word(w, g);
        else
            format_word(w, t, g);
        return;
    case Dest::Upr:
        // Formats given for both versions apply; what the ANSI version shows is dropped.
        if (w.kind != WordKind::Symbol) format_word(w, t, g);
        return;
    case Dest::FontTable:
        fonts_.word(w, t);
        return;
    case Dest::ColourTable:
        colours_.word(w, t);
        return;
    case Dest::Picture:
        picture_.word(w, t);
        return;
    case Dest::Skip:
        return;
    }
}

// A control word that sends the group's text elsewhere. Results of fields,
// objects and shapes, and the Unicode version of \upr, are read as text only
// where text is read; any other destination inside them is skipped.
void Interpreter::enter_destination(const ControlWord& w, Group& g) {
    switch (w.action) {
    case Action::Skip:
        g.dest = Dest::Skip;
        return;
    case Action::Upr:
        g.dest = g.dest == Dest::Body ? Dest::Upr : Dest::Skip;
        return;
    case Action::Ud:
        if (g.dest == Dest::Upr) g.dest = Dest::Body;
        [[fallthrough]];
    case Action::Result:
        if (g.dest != Dest::Body) g.dest = Dest::Skip;
        return;
    case Action::ShownResult:
        if (g.dest != Dest::Body) g.dest = Dest::Skip;
        g.hidden = false;
        return;
    case Action::FontTable:
        g.dest = Dest::FontTable;
        fonts_.begin();
        return;
    case Action::ColourTable:
        g.dest = Dest::ColourTable;
        return;
    case Action::Pict:
        if (g.dest != Dest::Body) {
            g.dest = Dest::Skip;
            return;
        }
        g.dest = Dest::Picture;
        picture_.begin(stack_.size());
        return;
    default:
        return;
    }
}

bool Interpreter::document_word(const ControlWord& w, const Token& t, Group& g) {
    switch (w.action) {
    case Action::AnsiCpg:
        fonts_.ansi_code_page(t);
        return true;
    case Action::Deff:
        if (t.has_param) {
            deff_ = t.param;
            if (g.font < 0) g.font = t.param;
        }
        return true;
    case Action::Uc:
        g.uc = std::clamp(t.has_param ? t.param : 1, 0, 16);
        return true;
    case Action::U:
        unicode(t, g);
        return true;
    default:
        return false;
    }
}

// \uN: a character in the body or in a font's name, followed by \ucN units of
// fallback for readers without Unicode, which are skipped.
void Interpreter::unicode(const Token& t, Group& g) {
    if (!t.has_param) return;
    const int fallback = g.uc;
    if (g.dest == Dest::Body && !g.hidden) {
        text_.emit_unit(unit(t.param));
        // A run of \uN each with the usual one-character fallback is read
        // here, without a token each.
        std::int32_t next = 0;
        while (fallback == 1 && lexer_.skip_question_mark()) {
            if (!lexer_.unicode_word(next)) return;  // the fallback is skipped
            text_.emit_unit(unit(next));
        }
    } else if (g.dest == Dest::FontTable) {
        fonts_.unicode(code_point(t.param));
    }
    skip_ = fallback;
    // The usual one-character fallback is stepped over here, without a token.
    if (skip_ == 1 && lexer_.skip_question_mark()) skip_ = 0;
}

// Character and paragraph formats, in the body and in both versions of \upr.
void Interpreter::format_word(const ControlWord& w, const Token& t, Group& g) {
    const int p = t.param;
    const bool on = !t.has_param || p != 0;
    switch (w.action) {
    case Action::Font: g.font = t.has_param ? p : -1; return;
    case Action::Plain:
        g.font = deff_;
        g.half_points = 24;
        g.bold = g.italic = g.underline = g.strike = g.hidden = false;
        g.colour = 0;
        return;
    case Action::Bold: g.bold = on; return;
    case Action::Italic: g.italic = on; return;
    case Action::Underline: g.underline = on; return;
    case Action::UnderlineNone: g.underline = false; return;
    case Action::Strike: g.strike = on; return;
    case Action::FontSize: g.half_points = t.has_param && p > 0 ? std::min(p, 3276) : 24; return;
    case Action::Colour: g.colour = t.has_param ? p : 0; return;
    case Action::Hidden: g.hidden = on; return;
    case Action::Pard: g.align = Align::Left; return;
    case Action::Align: g.align = Align(w.arg); return;
    default: return;
    }
}

// Paragraph and row ends count in hidden text too; what would show does not.
void Interpreter::symbol_word(const ControlWord& w, const Group& g) {
    switch (w.action) {
    case Action::Par: text_.paragraph(g.align); return;
    case Action::Row: text_.row(g.align); return;
    default: break;
    }
    if (g.hidden) return;
    switch (w.action) {
    case Action::Line: text_.line_break(); return;
    case Action::Tab: text_.emit_text(u"\t"); return;
    case Action::Cell: text_.cell(); return;
    case Action::Char: {
        const char16_t ch = char16_t(w.arg);
        text_.emit_text(QStringView(&ch, 1));
        return;
    }
    default: return;
    }
}

}  // namespace

void interpret(QByteArrayView bytes, Sink& sink) { Interpreter(bytes, sink).run(); }

}  // namespace tz::rtf
