#include "rtf/reader.h"

#include "rtf/codepage.h"
#include "rtf/lexer.h"
#include "store/cp932.h"

#include <QString>

#include <array>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tz::rtf {
namespace {

// Upr: a \upr group, which holds the same text twice; only its \ud group (the
// Unicode version) is read, the rest (the ANSI version) is dropped.
enum class Dest : std::uint8_t { Body, Skip, FontTable, ColourTable, Picture, Upr };

enum class Cmd : std::uint8_t {
    Unknown,
    // destinations
    SkipDest, FontTable, ColourTable, Pict, ReadDest, NonShpPict, Upr,
    // document
    AnsiCpg, Deff, Uc, U,
    // font table
    F, FCharset, Cpg,
    // colour table
    Red, Green, Blue,
    // character format
    Plain, B, I, Ul, UlNone, Strike, StrikeD, Fs, Cf, V,
    // paragraph
    Pard, Ql, Qc, Qr, Qj, Par, Line, Tab, Cell, Row,
    // characters
    Char,
    // pictures
    PngBlip, JpegBlip, DiBitmap, WMetafile, EmfBlip, PictOther, PicW, PicH, PicWGoal, PicHGoal, PicScaleX, PicScaleY,
};

struct CmdInfo {
    Cmd cmd;
    char16_t ch = 0;  // Cmd::Char
};

// The control words this reader knows, in an open-addressing table: looking
// a word up is most of the work for a document full of format changes.
class CommandTable {
public:
    void emplace(std::string_view name, CmdInfo info) {
        std::size_t i = hash(name) & kMask;
        while (!slots_[i].name.empty()) {
            if (slots_[i].name == name) return;
            i = (i + 1) & kMask;
        }
        slots_[i] = Slot{name, info};
    }
    CmdInfo find(std::string_view name) const {
        std::size_t i = hash(name) & kMask;
        while (!slots_[i].name.empty()) {
            if (slots_[i].name == name) return slots_[i].info;
            i = (i + 1) & kMask;
        }
        return CmdInfo{Cmd::Unknown};
    }

private:
    static std::size_t hash(std::string_view name) {
        std::uint32_t h = 2166136261u;
        for (char c : name) h = (h ^ std::uint8_t(c)) * 16777619u;
        return h;
    }
    struct Slot {
        std::string_view name;
        CmdInfo info{Cmd::Unknown};
    };
    static constexpr std::size_t kMask = 1023;
    std::array<Slot, kMask + 1> slots_{};
};

const CommandTable& commands() {
    static const CommandTable table = [] {
        CommandTable t;
        for (const char* name :
             {"info", "stylesheet", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr",
              "footerf", "footnote", "annotation", "listtable", "listoverridetable", "revtbl", "rsidtbl", "fldinst",
              "xmlnstbl", "themedata", "colorschememapping", "latentstyles", "datastore", "generator", "pgdsctbl",
              "objdata", "private", "pntxta", "pntxtb", "atnid", "atnauthor", "atrfstart", "atrfend", "bkmkstart",
              "bkmkend", "comment", "doccomm", "author", "operator", "title", "subject", "keywords", "company",
              "template", "filetbl", "mmathPr", "txe", "xe", "tc", "ftnsep", "ftnsepc", "ftncn", "aftnsep",
              "aftnsepc", "aftncn", "fchars", "lchars", "userprops", "docvar", "pnseclvl", "listpicture",
              "shpinst", "falt", "panose", "fname", "blipuid", "picprop", "wgrffmtfilter", "pn", "background",
              "defchp", "defpap", "ffdeftext", "formfield", "datafield", "objclass", "objname"})
            t.emplace(name, CmdInfo{Cmd::SkipDest});
        // The result of objects, shapes and fields is what a reader without them shows.
        for (const char* name : {"shppict", "shprslt", "result", "fldrslt", "field", "ud", "pntext", "listtext"})
            t.emplace(name, CmdInfo{Cmd::ReadDest});
        t.emplace("object", CmdInfo{Cmd::ReadDest});
        t.emplace("upr", CmdInfo{Cmd::Upr});
        t.emplace("nonshppict", CmdInfo{Cmd::NonShpPict});
        t.emplace("fonttbl", CmdInfo{Cmd::FontTable});
        t.emplace("colortbl", CmdInfo{Cmd::ColourTable});
        t.emplace("pict", CmdInfo{Cmd::Pict});
        t.emplace("ansicpg", CmdInfo{Cmd::AnsiCpg});
        t.emplace("deff", CmdInfo{Cmd::Deff});
        t.emplace("uc", CmdInfo{Cmd::Uc});
        t.emplace("u", CmdInfo{Cmd::U});
        t.emplace("f", CmdInfo{Cmd::F});
        t.emplace("fcharset", CmdInfo{Cmd::FCharset});
        t.emplace("cpg", CmdInfo{Cmd::Cpg});
        t.emplace("red", CmdInfo{Cmd::Red});
        t.emplace("green", CmdInfo{Cmd::Green});
        t.emplace("blue", CmdInfo{Cmd::Blue});
        t.emplace("plain", CmdInfo{Cmd::Plain});
        t.emplace("b", CmdInfo{Cmd::B});
        t.emplace("i", CmdInfo{Cmd::I});
        for (const char* name : {"ul", "uld", "uldb", "ulw", "ulwave", "uldash", "uldashd", "uldashdd", "ulhwave",
                                 "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash",
                                 "ululdbwave"})
            t.emplace(name, CmdInfo{Cmd::Ul});
        t.emplace("ulnone", CmdInfo{Cmd::UlNone});
        t.emplace("strike", CmdInfo{Cmd::Strike});
        t.emplace("striked", CmdInfo{Cmd::StrikeD});
        t.emplace("fs", CmdInfo{Cmd::Fs});
        t.emplace("cf", CmdInfo{Cmd::Cf});
        t.emplace("v", CmdInfo{Cmd::V});
        t.emplace("pard", CmdInfo{Cmd::Pard});
        t.emplace("ql", CmdInfo{Cmd::Ql});
        t.emplace("qc", CmdInfo{Cmd::Qc});
        t.emplace("qr", CmdInfo{Cmd::Qr});
        t.emplace("qj", CmdInfo{Cmd::Qj});
        t.emplace("qd", CmdInfo{Cmd::Qj});
        t.emplace("par", CmdInfo{Cmd::Par});
        t.emplace("line", CmdInfo{Cmd::Line});
        t.emplace("tab", CmdInfo{Cmd::Tab});
        t.emplace("cell", CmdInfo{Cmd::Cell});
        t.emplace("nestcell", CmdInfo{Cmd::Cell});
        t.emplace("row", CmdInfo{Cmd::Row});
        t.emplace("nestrow", CmdInfo{Cmd::Row});
        t.emplace("emdash", CmdInfo{Cmd::Char, 0x2014});
        t.emplace("endash", CmdInfo{Cmd::Char, 0x2013});
        t.emplace("bullet", CmdInfo{Cmd::Char, 0x2022});
        t.emplace("lquote", CmdInfo{Cmd::Char, 0x2018});
        t.emplace("rquote", CmdInfo{Cmd::Char, 0x2019});
        t.emplace("ldblquote", CmdInfo{Cmd::Char, 0x201C});
        t.emplace("rdblquote", CmdInfo{Cmd::Char, 0x201D});
        t.emplace("emspace", CmdInfo{Cmd::Char, 0x2003});
        t.emplace("enspace", CmdInfo{Cmd::Char, 0x2002});
        t.emplace("qmspace", CmdInfo{Cmd::Char, 0x2005});
        t.emplace("zwj", CmdInfo{Cmd::Char, 0x200D});
        t.emplace("zwnj", CmdInfo{Cmd::Char, 0x200C});
        t.emplace("ltrmark", CmdInfo{Cmd::Char, 0x200E});
        t.emplace("rtlmark", CmdInfo{Cmd::Char, 0x200F});
        t.emplace("pngblip", CmdInfo{Cmd::PngBlip});
        t.emplace("jpegblip", CmdInfo{Cmd::JpegBlip});
        t.emplace("dibitmap", CmdInfo{Cmd::DiBitmap});
        t.emplace("wmetafile", CmdInfo{Cmd::WMetafile});
        t.emplace("emfblip", CmdInfo{Cmd::EmfBlip});
        for (const char* name : {"wbitmap", "macpict", "pmmetafile"}) t.emplace(name, CmdInfo{Cmd::PictOther});
        t.emplace("picw", CmdInfo{Cmd::PicW});
        t.emplace("pich", CmdInfo{Cmd::PicH});
        t.emplace("picwgoal", CmdInfo{Cmd::PicWGoal});
        t.emplace("pichgoal", CmdInfo{Cmd::PicHGoal});
        t.emplace("picscalex", CmdInfo{Cmd::PicScaleX});
        t.emplace("picscaley", CmdInfo{Cmd::PicScaleY});
        return t;
    }();
    return table;
}

struct State {
    Dest dest = Dest::Body;
    bool hidden = false;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    Align align = Align::Left;
    int font = -1;
    int half_points = 24;
    int colour = 0;
    int uc = 1;
};

struct FontEntry {
    QString name;
    int charset = -1;
    int cpg = 0;
};

constexpr int kHexValue[256] = {
#define N -1
    N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N,
    N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, N, N, N, N, N, N,
    N, 10, 11, 12, 13, 14, 15, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N,
    N, 10, 11, 12, 13, 14, 15, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N,
    N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N,
    N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N,
    N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N,
    N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N,
#undef N
};

class Interpreter {
public:
    Interpreter(QByteArrayView bytes, Sink& sink)
        : bytes_(bytes), lexer_(bytes), sink_(sink), want_formats_(sink.wants_formats()), want_pictures_(sink.wants_pictures()) {
        stack_.reserve(64);
        stack_.push_back(State{});
    }

    void run();

private:
    State& st() { return stack_.back(); }

    void open_group();
    void close_group();
    void word(const Token& t);
    void symbol(unsigned char c);
    void text_bytes(QByteArrayView bytes);
    void binary(QByteArrayView bytes);
    bool consume_skip();

    void flush_bytes();
    void flush_out();
    void emit_text(QStringView s);
    void send(QStringView run);
    void emit_unit(std::uint32_t c);
    void resolve_pending_high();
    void before_content();
    void paragraph_mark();
    void ensure_format();
    int body_code_page();
    int font_code_page(const FontEntry& f) const;
    void finish_font_name();
    void emit_picture();

    QByteArrayView bytes_;
    Lexer lexer_;
    Sink& sink_;
    const bool want_formats_;
    const bool want_pictures_;

    std::vector<State> stack_;
    int overflow_ = 0;          // groups opened below the deepest kept one
    bool star_ = false;         // \* seen: the next word names an optional destination
    int skip_ = 0;              // fallback units still to skip after \u
    bool done_ = false;

    int ansi_cp_ = 0;
    int deff_ = -1;
    // The code page of the last font looked up; fonts_changed_ says it may be stale.
    int cp_font_ = 0;
    int cp_ = 0;
    bool fonts_changed_ = true;
    std::unordered_map<int, FontEntry> fonts_;
    std::vector<std::optional<QRgb>> colours_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colour_set_ = false;

    int font_entry_ = -1;       // the font table entry being read
    QByteArray font_bytes_;
    QString font_name_;

    Picture pic_;
    std::size_t pict_depth_ = 0;  // stack size of the \pict group, 0 outside one
    int nibble_ = -1;

    QByteArray pending_bytes_;  // text bytes and \'hh not yet decoded
    int pending_cp_ = 0;
    QString scratch_;
    QString out_;               // text of the current format not yet sent
    char16_t pending_high_ = 0;
    bool par_pending_ = false;  // a \par whose paragraph end waits for more content
    Align par_align_ = Align::Left;
    bool cell_pending_ = false;
    Align final_align_ = Align::Left;

    CharFormat sent_;
    bool sent_valid_ = false;
};

void Interpreter::run() {
    while (!done_) {
        // Text that nobody reads is stepped over without being collected. In a
        // picture that text still ends a \* (as text_bytes() does).
        const Dest dest = st().dest;
        if (skip_ == 0 && (dest == Dest::Skip || (dest == Dest::Picture && !want_pictures_)) && lexer_.skip_text() &&
            dest == Dest::Picture)
            star_ = false;
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
    flush_bytes();
    resolve_pending_high();
    flush_out();
    // The last paragraph mark of a file ends the last paragraph; it does not
    // open an empty one.
    sink_.finish(par_pending_ ? par_align_ : final_align_);
}

void Interpreter::open_group() {
    flush_bytes();
    flush_out();
    star_ = false;
    skip_ = 0;
    if (int(stack_.size()) >= kMaxDepth) {
        ++overflow_;
        return;
    }
    stack_.push_back(stack_.back());
}

void Interpreter::close_group() {
    flush_bytes();
    flush_out();
    star_ = false;
    skip_ = 0;
    if (overflow_ > 0) {
        --overflow_;
        return;
    }
    if (stack_.size() <= 1) return;  // a stray closing brace
    if (st().dest == Dest::FontTable) finish_font_name();
    if (pict_depth_ == stack_.size()) {
        pict_depth_ = 0;
        emit_picture();
    }
    const Align align = st().align;
    stack_.pop_back();
    if (stack_.size() == 1) {
        // The outermost group is closed: whatever follows is not part of the document.
        done_ = true;
        final_align_ = align;
    }
}

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
        flush_bytes();
        emit_text(u"\u00A0");
        break;
    case '_':
        flush_bytes();
        emit_text(u"\u2011");
        break;
    default:  // \- optional hyphen, \: index entries, \| formulas and the rest show nothing
        break;
    }
}

void Interpreter::text_bytes(QByteArrayView bytes) {
    State& s = st();
    if (s.dest == Dest::Skip) return;
    star_ = false;
    if (skip_ > 0) {
        const qsizetype n = std::min<qsizetype>(skip_, bytes.size());
        skip_ -= int(n);
        bytes = bytes.sliced(n);
        if (bytes.isEmpty()) return;
    }
    switch (s.dest) {
    case Dest::Body: {
        if (s.hidden) return;
        const int cp = body_code_page();
        if (!pending_bytes_.isEmpty() && cp != pending_cp_) flush_bytes();
        pending_cp_ = cp;
        pending_bytes_.append(bytes);
        return;
    }
    case Dest::FontTable:
        for (char c : bytes) {
            if (c == ';')
                finish_font_name();
            else
                font_bytes_.append(c);
        }
        return;
    case Dest::ColourTable:
        for (char c : bytes) {
            if (c != ';') continue;
            if (int(colours_.size()) < kMaxColours)
                colours_.push_back(colour_set_ ? std::optional<QRgb>(qRgb(red_, green_, blue_)) : std::nullopt);
            red_ = green_ = blue_ = 0;
            colour_set_ = false;
        }
        return;
    case Dest::Picture:
        if (!want_pictures_) return;
        for (unsigned char c : bytes) {
            const int v = kHexValue[c];
            if (v < 0) continue;  // blanks and stray characters between the digits
            if (nibble_ < 0) {
                nibble_ = v;
            } else {
                pic_.data.append(char(nibble_ * 16 + v));
                nibble_ = -1;
            }
        }
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
    if (st().dest == Dest::Picture && want_pictures_) pic_.data.append(bytes);
}

void Interpreter::word(const Token& t) {
    State& s = st();
    if (s.dest == Dest::Skip) return;
    const bool star = star_;
    star_ = false;
    // \u is by far the most frequent word in text this program wrote.
    const CmdInfo info = t.name.size() == 1 && t.name[0] == 'u'
                             ? CmdInfo{Cmd::U}
                             : commands().find(std::string_view(t.name.data(), std::size_t(t.name.size())));
    const int p = t.param;
    const bool on = !t.has_param || p != 0;

    if (info.cmd == Cmd::U) {
        // \u is not itself part of a fallback being skipped: it starts a new one.
        skip_ = 0;
    } else if (consume_skip()) {
        return;
    }
    flush_bytes();
    if (info.cmd != Cmd::U) flush_out();

    switch (info.cmd) {
    case Cmd::Unknown:
        if (star) s.dest = Dest::Skip;
        return;
    case Cmd::SkipDest:
    case Cmd::NonShpPict:
        s.dest = Dest::Skip;
        return;
    case Cmd::Upr:
        s.dest = s.dest == Dest::Body ? Dest::Upr : Dest::Skip;
        return;
    case Cmd::ReadDest:
        if (s.dest == Dest::Upr && t.name == "ud") s.dest = Dest::Body;
        if (s.dest != Dest::Body) s.dest = Dest::Skip;
        if (t.name == "fldrslt" || t.name == "pntext" || t.name == "listtext") s.hidden = false;
        return;
    case Cmd::FontTable:
        s.dest = Dest::FontTable;
        font_entry_ = -1;
        font_bytes_.clear();
        font_name_.clear();
        return;
    case Cmd::ColourTable:
        s.dest = Dest::ColourTable;
        return;
    case Cmd::Pict:
        if (s.dest != Dest::Body) {
            s.dest = Dest::Skip;
            return;
        }
        s.dest = Dest::Picture;
        pic_ = Picture{};
        nibble_ = -1;
        pict_depth_ = stack_.size();
        return;
    case Cmd::AnsiCpg:
        if (t.has_param && p > 0) ansi_cp_ = p;
        fonts_changed_ = true;
        return;
    case Cmd::Deff:
        if (t.has_param) {
            deff_ = p;
            if (s.font < 0) s.font = p;
        }
        return;
    case Cmd::Uc:
        s.uc = std::clamp(t.has_param ? p : 1, 0, 16);
        return;
    case Cmd::U: {
        if (!t.has_param) return;
        const std::int64_t v = p < 0 ? std::int64_t(p) + 65536 : std::int64_t(p);
        const int fallback = s.uc;
        if (s.dest == Dest::Body && !s.hidden) {
            emit_unit(v < 0 ? 0xFFFD : std::uint32_t(v));
            // A run of \uN each with the usual one-character fallback is read
            // here, without a token each.
            std::int32_t next = 0;
            while (fallback == 1 && lexer_.skip_question_mark()) {
                if (!lexer_.unicode_word(next)) return;  // the fallback is skipped
                const std::int64_t w = next < 0 ? std::int64_t(next) + 65536 : std::int64_t(next);
                emit_unit(w < 0 ? 0xFFFD : std::uint32_t(w));
            }
        } else if (s.dest == Dest::FontTable) {
            const auto f = fonts_.find(font_entry_);
            const int cp = f != fonts_.end() ? font_code_page(f->second) : (ansi_cp_ > 0 ? ansi_cp_ : 932);
            decode_append(font_bytes_, cp, font_name_);  // keep the order of the name's parts
            font_bytes_.clear();
            if (v > 0 && v < 0x10000) font_name_.append(QChar(char16_t(v)));
        }
        skip_ = fallback;
        // The usual one-character fallback is stepped over here, without a token.
        if (skip_ == 1 && lexer_.skip_question_mark()) skip_ = 0;
        return;
    }
    default:
        break;
    }

    switch (s.dest) {
    case Dest::FontTable:
        fonts_changed_ = true;
        switch (info.cmd) {
        case Cmd::F:
            finish_font_name();
            font_entry_ = -1;
            if (t.has_param && (fonts_.count(p) || int(fonts_.size()) < kMaxFonts)) {
                font_entry_ = p;
                fonts_[p] = FontEntry{};
            }
            return;
        case Cmd::FCharset:
            if (font_entry_ >= 0) fonts_[font_entry_].charset = p;
            return;
        case Cmd::Cpg:
            if (font_entry_ >= 0) fonts_[font_entry_].cpg = p;
            return;
        default:
            return;
        }
    case Dest::ColourTable:
        switch (info.cmd) {
        case Cmd::Red:
            red_ = std::clamp(p, 0, 255);
            colour_set_ = true;
            return;
        case Cmd::Green:
            green_ = std::clamp(p, 0, 255);
            colour_set_ = true;
            return;
        case Cmd::Blue:
            blue_ = std::clamp(p, 0, 255);
            colour_set_ = true;
            return;
        default:
            return;
        }
    case Dest::Picture:
        switch (info.cmd) {
        case Cmd::PngBlip: pic_.kind = Picture::Png; return;
        case Cmd::JpegBlip: pic_.kind = Picture::Jpeg; return;
        case Cmd::DiBitmap: pic_.kind = Picture::Dib; return;
        case Cmd::WMetafile: pic_.kind = Picture::Wmf; return;
        case Cmd::EmfBlip: pic_.kind = Picture::Emf; return;
        case Cmd::PictOther: pic_.kind = Picture::Other; return;
        case Cmd::PicW: pic_.pic_w = std::max(p, 0); return;
        case Cmd::PicH: pic_.pic_h = std::max(p, 0); return;
        case Cmd::PicWGoal: pic_.goal_w = std::max(p, 0); return;
        case Cmd::PicHGoal: pic_.goal_h = std::max(p, 0); return;
        case Cmd::PicScaleX: pic_.scale_x = std::clamp(p, 1, 10000); return;
        case Cmd::PicScaleY: pic_.scale_y = std::clamp(p, 1, 10000); return;
        default: return;
        }
    case Dest::Skip:
        return;
    case Dest::Upr:
        // Formats given for both versions apply; what the ANSI version shows is dropped.
        switch (info.cmd) {
        case Cmd::Par: case Cmd::Row: case Cmd::Line: case Cmd::Tab: case Cmd::Cell: case Cmd::Char: return;
        default: break;
        }
        break;
    case Dest::Body:
        break;
    }

    switch (info.cmd) {
    case Cmd::F:
        s.font = t.has_param ? p : -1;
        return;
    case Cmd::Plain:
        s.font = deff_;
        s.half_points = 24;
        s.bold = s.italic = s.underline = s.strike = s.hidden = false;
        s.colour = 0;
        return;
    case Cmd::B: s.bold = on; return;
    case Cmd::I: s.italic = on; return;
    case Cmd::Ul: s.underline = on; return;
    case Cmd::UlNone: s.underline = false; return;
    case Cmd::Strike:
    case Cmd::StrikeD: s.strike = on; return;
    case Cmd::Fs: s.half_points = t.has_param && p > 0 ? std::min(p, 3276) : 24; return;
    case Cmd::Cf: s.colour = t.has_param ? p : 0; return;
    case Cmd::V: s.hidden = on; return;
    case Cmd::Pard: s.align = Align::Left; return;
    case Cmd::Ql: s.align = Align::Left; return;
    case Cmd::Qc: s.align = Align::Center; return;
    case Cmd::Qr: s.align = Align::Right; return;
    case Cmd::Qj: s.align = Align::Justify; return;
    case Cmd::Par:
        paragraph_mark();
        par_align_ = s.align;
        return;
    case Cmd::Row:
        cell_pending_ = false;
        paragraph_mark();
        par_align_ = s.align;
        return;
    case Cmd::Line:
        if (s.hidden) return;
        before_content();
        flush_out();
        sink_.line_break();
        return;
    case Cmd::Tab:
        if (!s.hidden) emit_text(u"\t");
        return;
    case Cmd::Cell:
        if (!s.hidden) {
            before_content();
            cell_pending_ = true;
        }
        return;
    case Cmd::Char:
        if (!s.hidden) emit_text(QStringView(&info.ch, 1));
        return;
    default:
        return;
    }
}

int Interpreter::font_code_page(const FontEntry& f) const {
    if (f.cpg > 0) return f.cpg;
    if (const int cp = code_page_of_charset(f.charset)) return cp;
    return ansi_cp_ > 0 ? ansi_cp_ : 932;
}

int Interpreter::body_code_page() {
    const int font = st().font;
    if (!fonts_changed_ && font == cp_font_) return cp_;
    const auto it = fonts_.find(font);
    cp_ = it != fonts_.end() ? font_code_page(it->second) : (ansi_cp_ > 0 ? ansi_cp_ : 932);
    cp_font_ = font;
    fonts_changed_ = false;
    return cp_;
}

void Interpreter::finish_font_name() {
    if (font_entry_ < 0) {
        font_bytes_.clear();
        font_name_.clear();
        return;
    }
    FontEntry& f = fonts_[font_entry_];
    decode_append(font_bytes_, font_code_page(f), font_name_);
    font_bytes_.clear();
    const QString name = font_name_.trimmed();
    font_name_.clear();
    if (!name.isEmpty()) f.name = name;
}

void Interpreter::flush_bytes() {
    if (pending_bytes_.isEmpty()) return;
    scratch_.truncate(0);
    decode_append(pending_bytes_, pending_cp_, scratch_);
    pending_bytes_.truncate(0);
    emit_text(scratch_);
}

void Interpreter::resolve_pending_high() {
    if (pending_high_ == 0) return;
    pending_high_ = 0;
    const char16_t r = 0xFFFD;
    send(QStringView(&r, 1));
}

void Interpreter::before_content() {
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

void Interpreter::paragraph_mark() {
    before_content();
    par_pending_ = true;
}

void Interpreter::ensure_format() {
    if (!want_formats_) return;
    const State& s = st();
    CharFormat f;
    const auto font = fonts_.find(s.font);
    if (font != fonts_.end()) f.font_name = font->second.name;
    f.half_points = s.half_points;
    f.bold = s.bold;
    f.italic = s.italic;
    f.underline = s.underline;
    f.strike = s.strike;
    if (s.colour >= 0 && s.colour < int(colours_.size())) f.colour = colours_[std::size_t(s.colour)];
    if (sent_valid_ && f == sent_) return;
    sent_ = f;
    sent_valid_ = true;
    sink_.format(f);
}

void Interpreter::send(QStringView run) { out_.append(run); }

void Interpreter::flush_out() {
    if (out_.isEmpty()) return;
    ensure_format();
    sink_.text(out_);
    out_.truncate(0);
}

// Text goes to the sink without characters that would change the structure of
// a document: paragraph and line separators become their events, other
// control characters and object or frame markers are dropped.
void Interpreter::emit_text(QStringView s) {
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
            par_align_ = st().align;
            before_content();
        } else if (c == 0x2028) {
            flush_out();
            sink_.line_break();
        }
    }
    send(s.sliced(start));
}

void Interpreter::emit_unit(std::uint32_t c) {
    if (c >= 0x20 && c < 0xD800 && c != 0x2028 && c != 0x2029 && pending_high_ == 0 && !par_pending_ && !cell_pending_) {
        out_.append(QChar(char16_t(c)));
        return;
    }
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

void Interpreter::emit_picture() {
    if (st().hidden) return;
    before_content();
    flush_out();
    ensure_format();
    if (nibble_ >= 0) nibble_ = -1;  // an odd digit at the end is dropped
    sink_.picture(pic_);
    pic_ = Picture{};
}

// Plain text: one paragraph a line, the line end of the last line not opening
// an empty paragraph.
void parse_plain(QByteArrayView bytes, Sink& sink) {
    QString text = cp932::decode(bytes);
    if (text.endsWith(u"\r\n"))
        text.chop(2);
    else if (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    qsizetype start = 0;
    bool first = true;
    auto line = [&](QStringView l) {
        if (!first) sink.paragraph_end(Align::Left);
        first = false;
        qsizetype run = 0;
        for (qsizetype i = 0; i < l.size(); ++i) {
            const char16_t c = l[i].unicode();
            const bool plain = (c >= 0x20 && c < 0x2028) || c == '\t' || (c > 0x2029 && c != 0xFDD0 && c != 0xFDD1 && c != 0xFFFC);
            if (plain) continue;
            if (i > run) sink.text(l.sliced(run, i - run));
            run = i + 1;
            if (c == 0x2029) sink.paragraph_end(Align::Left);
            if (c == 0x2028) sink.line_break();
        }
        if (l.size() > run) sink.text(l.sliced(run));
    };
    if (text.isEmpty()) {
        sink.finish(Align::Left);
        return;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        line(QStringView(text).sliced(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    line(QStringView(text).sliced(start));
    sink.finish(Align::Left);
}

// The bytes from the first one that is not a blank or a line end.
QByteArrayView after_blanks(QByteArrayView bytes) {
    qsizetype i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n')) ++i;
    return bytes.sliced(i);
}

}  // namespace

bool is_rtf(QByteArrayView bytes) { return after_blanks(bytes).startsWith("{\\rtf"); }

void parse(QByteArrayView bytes, Sink& sink) {
    if (!is_rtf(bytes)) {
        parse_plain(bytes, sink);
        return;
    }
    // The blanks before the header are not text of the document.
    Interpreter(after_blanks(bytes), sink).run();
}

}  // namespace tz::rtf
