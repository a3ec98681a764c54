#include "rtf/text_path.h"

#include "rtf/codepage.h"

namespace tz::rtf {

void TextPath::decode_bytes() {
    scratch_.truncate(0);
    decode_append(pending_bytes_, pending_cp_, scratch_);
    pending_bytes_.truncate(0);
    emit_text(scratch_);
}

void TextPath::send_out() {
    ensure_format();
    sink_.text(out_);
    out_.truncate(0);
}

// Text goes to the sink without characters that would change the structure of
// a document: paragraph and line separators become their events, other
// control characters and object or frame markers are dropped.
void TextPath::emit_text(QStringView s) {
    if (s.isEmpty()) return;
    before_content();
    qsizetype start = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        const bool plain = (c >= 0x20 && c < 0x2028) || c == '\t' || (c > 0x2029 && c != 0xFDD0 && c != 0xFDD1 && c != 0xFFFC);
        if (plain) continue;
        send(s.sliced(start, i - start));
        start = i + 1;
        if (c == 0x2029) {
            paragraph_mark();
            par_align_ = groups_.back().align;
            before_content();
        } else if (c == 0x2028) {
            flush_out();
            sink_.line_break();
        }
    }
    send(s.sliced(start));
}

// A unit that needs more than appending: a surrogate, a code point beyond
// UTF-16's first plane, a control character or separator, or one that follows
// something still waiting.
void TextPath::emit_other_unit(std::uint32_t c) {
    if (c >= 0xD800 && c < 0xDC00) {
        resolve_pending_high();
        before_content();
        pending_high_ = char16_t(c);
        return;
    }
    if (c >= 0xDC00 && c < 0xE000) {
        if (pending_high_ != 0) {
            const char16_t pair[2] = {pending_high_, char16_t(c)};
            pending_high_ = 0;
            before_content();
            send(QStringView(pair, 2));
        } else {
            emit_text(u"\uFFFD");
        }
        return;
    }
    if (c > 0xFFFF) {
        if (c > 0x10FFFF) {
            emit_text(u"\uFFFD");
            return;
        }
        const char16_t pair[2] = {QChar::highSurrogate(c), QChar::lowSurrogate(c)};
        before_content();
        send(QStringView(pair, 2));
        return;
    }
    const char16_t ch = char16_t(c);
    emit_text(QStringView(&ch, 1));
}

// Content follows: what waited for it goes first.
void TextPath::before_content() {
    resolve_pending_high();
    if (par_pending_) {
        flush_out();
        par_pending_ = false;
        sink_.paragraph_end(par_align_);
    }
    if (cell_pending_) {
        cell_pending_ = false;
        send(u"\t");
    }
}

void TextPath::line_break() {
    before_content();
    flush_out();
    sink_.line_break();
}

// The end of a table cell is a tab before what follows, unless the row ends there.
void TextPath::cell() {
    before_content();
    cell_pending_ = true;
}

void TextPath::picture(const Picture& picture) {
    before_content();
    flush_out();
    ensure_format();
    sink_.picture(picture);
}

void TextPath::finish(Align final_align) {
    flush_bytes();
    resolve_pending_high();
    flush_out();
    // The last paragraph mark of a file ends the last paragraph; it does not
    // open an empty one.
    sink_.finish(par_pending_ ? par_align_ : final_align);
}

void TextPath::ensure_format() {
    if (!want_formats_) return;
    const Group& g = groups_.back();
    CharFormat f;
    f.font_name = fonts_.name(g.font);
    f.half_points = g.half_points;
    f.bold = g.bold;
    f.italic = g.italic;
    f.underline = g.underline;
    f.strike = g.strike;
    f.colour = colours_.colour(g.colour);
    if (sent_valid_ && f == sent_) return;
    sent_ = f;
    sent_valid_ = true;
    sink_.format(f);
}

}  // namespace tz::rtf
