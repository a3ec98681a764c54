#pragma once
// The text path of the RTF reader: body text from bytes and \uN to the sink.
// Text bytes wait until something else comes, so that both halves of a
// double-byte character are decoded together; decoded text waits until the
// format changes, so that a run of one format reaches the sink in one piece.
// A paragraph mark waits for more content, so that the mark at the end of a
// file does not open an empty paragraph.

#include "rtf/destinations.h"
#include "rtf/group_state.h"
#include "rtf/sink.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace tz::rtf {

class TextPath {
public:
    // The format of text is the one of the innermost group at the time it is sent.
    TextPath(Sink& sink, const std::vector<Group>& groups, const FontTable& fonts, const ColourTable& colours)
        : sink_(sink), want_formats_(sink.wants_formats()), groups_(groups), fonts_(fonts), colours_(colours) {}

    // Text bytes in a code page.
    void text_bytes(QByteArrayView bytes, int code_page) {
        if (!pending_bytes_.isEmpty() && code_page != pending_cp_) flush_bytes();
        pending_cp_ = code_page;
        pending_bytes_.append(bytes);
    }
    // Decodes the text bytes that wait.
    void flush_bytes() {
        if (!pending_bytes_.isEmpty()) decode_bytes();
    }
    // Sends the text that waits, in the format in force.
    void flush_out() {
        if (!out_.isEmpty()) send_out();
    }
    // Text of the current format.
    void emit_text(QStringView s);
    // One UTF-16 unit or code point of \uN.
    void emit_unit(std::uint32_t c) {
        if (c >= 0x20 && c < 0xD800 && c != 0x2028 && c != 0x2029 && pending_high_ == 0 && !par_pending_ && !cell_pending_)
            out_.append(QChar(char16_t(c)));
        else
            emit_other_unit(c);
    }
    // \par and \row.
    void paragraph(Align align) {
        paragraph_mark();
        par_align_ = align;
    }
    void row(Align align) {
        cell_pending_ = false;
        paragraph(align);
    }
    void line_break();
    void cell();
    void picture(const Picture& picture);
    // The end of the input; final_align is the alignment in force there.
    void finish(Align final_align);

private:
    void decode_bytes();
    void send_out();
    void emit_other_unit(std::uint32_t c);
    void send(QStringView run) { out_.append(run); }
    // A high surrogate that no low one follows is shown as U+FFFD.
    void resolve_pending_high() {
        if (pending_high_ == 0) return;
        pending_high_ = 0;
        send(u"\uFFFD");
    }
    void before_content();
    void paragraph_mark() {
        before_content();
        par_pending_ = true;
    }
    void ensure_format();

    Sink& sink_;
    const bool want_formats_;
    const std::vector<Group>& groups_;
    const FontTable& fonts_;
    const ColourTable& colours_;

    QByteArray pending_bytes_;  // text bytes and \'hh not yet decoded
    int pending_cp_ = 0;
    QString scratch_;
    QString out_;               // text of the current format not yet sent
    char16_t pending_high_ = 0;
    bool par_pending_ = false;  // a \par whose paragraph end waits for more content
    Align par_align_ = Align::Left;
    bool cell_pending_ = false;

    CharFormat sent_;
    bool sent_valid_ = false;
};

}  // namespace tz::rtf
