#pragma once
// The destinations of an RTF document other than its text: the font table,
// the colour table and pictures. Each keeps what it has read and takes the
// control words and text of its groups; the interpreter decides which one a
// group's content goes to.

#include "rtf/control_words.h"
#include "rtf/lexer.h"
#include "rtf/sink.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <unordered_map>
#include <vector>

namespace tz::rtf {

// {\fonttbl{\f0\fcharset128 name;}...}: \fN starts an entry, \fcharsetN and
// \cpgN give its code page, and the text up to ";" its name.
class FontTable {
public:
    // \fonttbl: what the entries read so far hold is kept.
    void begin();
    void word(const ControlWord& w, const Token& t);
    void text(QByteArrayView bytes);
    // \uN in a name.
    void unicode(std::int64_t v);
    // A group of the table closes: the name read in it is complete.
    void end_group() { finish_name(); }
    // \ansicpgN: the code page of fonts that name none.
    void ansi_code_page(const Token& t);

    // The code page of text in a font: its \cpg, else its \fcharset, else
    // \ansicpg, else 932. Text asks at every run, so the last answer is kept.
    int code_page(int font) { return changed_ || font != cp_font_ ? look_up_code_page(font) : cp_; }
    // The font's name; empty for a font the table does not name.
    QString name(int font) const;

private:
    struct Font {
        QString name;
        int charset = -1;
        int cpg = 0;
    };
    int fallback_code_page() const { return ansi_cp_ > 0 ? ansi_cp_ : 932; }
    int code_page_of(const Font& f) const;
    int look_up_code_page(int font);
    void finish_name();

    std::unordered_map<int, Font> fonts_;
    int ansi_cp_ = 0;
    int entry_ = -1;    // the entry being read
    QByteArray bytes_;  // the part of its name not yet decoded
    QString name_;
    // The code page of the last font looked up; changed_ says it may be stale.
    int cp_font_ = 0;
    int cp_ = 0;
    bool changed_ = true;
};

// {\colortbl;\red255\green0\blue0;...}: each ";" ends an entry, and an entry
// without a colour word is the automatic colour.
class ColourTable {
public:
    void word(const ControlWord& w, const Token& t);
    void text(QByteArrayView bytes);
    // The colour of \cfN; nothing for the automatic colour and for an index the table lacks.
    std::optional<QRgb> colour(int index) const {
        return index >= 0 && index < int(colours_.size()) ? colours_[std::size_t(index)] : std::nullopt;
    }

private:
    std::vector<std::optional<QRgb>> colours_;
    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;
    bool set_ = false;  // a colour word came since the last ";"
};

// {\pict\pngblip\picwN... hex digits or \binN data}: the picture is complete
// when the group that holds \pict closes.
class PictureData {
public:
    // \pict in the group at this depth of the group stack.
    void begin(std::size_t depth);
    // True when the group at this depth is the one that holds \pict.
    bool ends_with(std::size_t depth) const { return depth_ == depth; }
    void word(const ControlWord& w, const Token& t);
    // The data as hex digits; blanks and stray characters between them are ignored.
    void hex(QByteArrayView bytes);
    void binary(QByteArrayView bytes) { pic_.data.append(bytes); }
    // The picture read; an odd digit at the end is dropped.
    Picture take();

private:
    Picture pic_;
    std::size_t depth_ = 0;  // stack size of the \pict group, 0 outside one
    int nibble_ = -1;        // a first hex digit waiting for its second
};

}  // namespace tz::rtf
