#include "rtf/control_words.h"

#include "rtf/sink.h"


namespace tz::rtf {
namespace {

using K = WordKind;
using A = Action;

// Destinations whose text nothing here shows: document information, tables of
// styles, lists and revisions, headers and footers, notes, field instructions,
// object data, and the copy of a picture for readers without shapes.
constexpr std::string_view kSkipped[] = {
    "info", "stylesheet", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf",
    "footnote", "annotation", "listtable", "listoverridetable", "revtbl", "rsidtbl", "fldinst", "xmlnstbl",
    "themedata", "colorschememapping", "latentstyles", "datastore", "generator", "pgdsctbl", "objdata", "private",
    "pntxta", "pntxtb", "atnid", "atnauthor", "atrfstart", "atrfend", "bkmkstart", "bkmkend", "comment", "doccomm",
    "author", "operator", "title", "subject", "keywords", "company", "template", "filetbl", "mmathPr", "txe", "xe",
    "tc", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn", "fchars", "lchars", "userprops", "docvar",
    "pnseclvl", "listpicture", "shpinst", "falt", "panose", "fname", "blipuid", "picprop", "wgrffmtfilter", "pn",
    "background", "defchp", "defpap", "ffdeftext", "formfield", "datafield", "objclass", "objname", "nonshppict",
};

// The result of objects, shapes and fields is what a reader without them shows.
constexpr std::string_view kResults[] = {"shppict", "shprslt", "result", "field", "object"};

constexpr std::string_view kUnderlines[] = {
    "ul", "uld", "uldb", "ulw", "ulwave", "uldash", "uldashd", "uldashdd", "ulhwave", "ulldash", "ulth", "ulthd",
    "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave",
};

struct Entry {
    std::string_view name;
    ControlWord word;
};

constexpr std::uint16_t arg(Align a) { return std::uint16_t(a); }
constexpr std::uint16_t arg(Picture::Kind k) { return std::uint16_t(k); }

constexpr Entry kWords[] = {
    {"fldrslt", {A::ShownResult, K::Destination}},
    {"pntext", {A::ShownResult, K::Destination}},
    {"listtext", {A::ShownResult, K::Destination}},
    {"upr", {A::Upr, K::Destination}},
    {"ud", {A::Ud, K::Destination}},
    {"fonttbl", {A::FontTable, K::Destination}},
    {"colortbl", {A::ColourTable, K::Destination}},
    {"pict", {A::Pict, K::Destination}},

    {"ansicpg", {A::AnsiCpg, K::Value}},
    {"deff", {A::Deff, K::Value}},
    {"uc", {A::Uc, K::Value}},
    {"u", {A::U, K::Value}},

    {"f", {A::Font, K::Value}},
    {"plain", {A::Plain, K::Flag}},
    {"b", {A::Bold, K::Toggle}},
    {"i", {A::Italic, K::Toggle}},
    {"ulnone", {A::UnderlineNone, K::Flag}},
    {"strike", {A::Strike, K::Toggle}},
    {"striked", {A::Strike, K::Toggle}},
    {"fs", {A::FontSize, K::Value}},
    {"cf", {A::Colour, K::Value}},
    {"v", {A::Hidden, K::Toggle}},
    {"pard", {A::Pard, K::Flag}},
    {"ql", {A::Align, K::Flag, arg(Align::Left)}},
    {"qc", {A::Align, K::Flag, arg(Align::Center)}},
    {"qr", {A::Align, K::Flag, arg(Align::Right)}},
    {"qj", {A::Align, K::Flag, arg(Align::Justify)}},
    {"qd", {A::Align, K::Flag, arg(Align::Justify)}},

    {"par", {A::Par, K::Symbol}},
    {"line", {A::Line, K::Symbol}},
    {"tab", {A::Tab, K::Symbol}},
    {"cell", {A::Cell, K::Symbol}},
    {"nestcell", {A::Cell, K::Symbol}},
    {"row", {A::Row, K::Symbol}},
    {"nestrow", {A::Row, K::Symbol}},
    {"emdash", {A::Char, K::Symbol, 0x2014}},
    {"endash", {A::Char, K::Symbol, 0x2013}},
    {"bullet", {A::Char, K::Symbol, 0x2022}},
    {"lquote", {A::Char, K::Symbol, 0x2018}},
    {"rquote", {A::Char, K::Symbol, 0x2019}},
    {"ldblquote", {A::Char, K::Symbol, 0x201C}},
    {"rdblquote", {A::Char, K::Symbol, 0x201D}},
    {"emspace", {A::Char, K::Symbol, 0x2003}},
    {"enspace", {A::Char, K::Symbol, 0x2002}},
    {"qmspace", {A::Char, K::Symbol, 0x2005}},
    {"zwj", {A::Char, K::Symbol, 0x200D}},
    {"zwnj", {A::Char, K::Symbol, 0x200C}},
    {"ltrmark", {A::Char, K::Symbol, 0x200E}},
    {"rtlmark", {A::Char, K::Symbol, 0x200F}},

    {"fcharset", {A::FCharset, K::Value}},
    {"cpg", {A::Cpg, K::Value}},
    {"red", {A::Red, K::Value}},
    {"green", {A::Green, K::Value}},
    {"blue", {A::Blue, K::Value}},

    // The parameter of \dibitmapN, \wmetafileN and the like names a variant
    // that the picture's own header tells as well.
    {"pngblip", {A::PictureFormat, K::Flag, arg(Picture::Png)}},
    {"jpegblip", {A::PictureFormat, K::Flag, arg(Picture::Jpeg)}},
    {"dibitmap", {A::PictureFormat, K::Flag, arg(Picture::Dib)}},
    {"wmetafile", {A::PictureFormat, K::Flag, arg(Picture::Wmf)}},
    {"emfblip", {A::PictureFormat, K::Flag, arg(Picture::Emf)}},
    {"wbitmap", {A::PictureFormat, K::Flag, arg(Picture::Other)}},
    {"macpict", {A::PictureFormat, K::Flag, arg(Picture::Other)}},
    {"pmmetafile", {A::PictureFormat, K::Flag, arg(Picture::Other)}},
    {"picw", {A::PicW, K::Value}},
    {"pich", {A::PicH, K::Value}},
    {"picwgoal", {A::PicWGoal, K::Value}},
    {"pichgoal", {A::PicHGoal, K::Value}},
    {"picscalex", {A::PicScaleX, K::Value}},
    {"picscaley", {A::PicScaleY, K::Value}},
};

}  // namespace

constinit const WordTable kControlWords = [] {
    WordTable t;
    for (std::string_view name : kSkipped) t.add(name, {A::Skip, K::Destination});
    for (std::string_view name : kResults) t.add(name, {A::Result, K::Destination});
    for (std::string_view name : kUnderlines) t.add(name, {A::Underline, K::Toggle});
    for (const Entry& e : kWords) t.add(e.name, e.word);
    return t;
}();

}  // namespace tz::rtf
