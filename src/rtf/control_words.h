#pragma once
// The control words the RTF reader knows: for each its kind, as RTF sorts
// control words, and what it does in this reader. A word that is not in the
// table is Unknown; after \* it starts a destination that is skipped.

#include <QByteArrayView>

#include <array>
#include <cstdint>
#include <string_view>

namespace tz::rtf {

enum class WordKind : std::uint8_t {
    Flag,         // no parameter, or one this reader ignores: \pard, \plain, \pngblip
    Toggle,       // on bare or with a parameter other than 0, off with 0: \b, \b0
    Value,        // takes its parameter: \fs24, \f1, \uc1
    Destination,  // sends the text of its group elsewhere, or nowhere: \fonttbl, \pict, \info
    Symbol,       // stands for a character or a break in the text: \par, \tab, \emdash
};

enum class Action : std::uint8_t {
    Unknown,
    // destinations
    Skip,         // text that nothing here shows: \info, \stylesheet, \fldinst, ...
    Result,       // what a reader without the object, shape or field shows: \field, \shppict, ...
    ShownResult,  // the same, shown even where the field itself is hidden: \fldrslt, \pntext, \listtext
    Upr,          // the same text twice, ANSI and \ud
    Ud,           // the Unicode version inside \upr
    FontTable,
    ColourTable,
    Pict,
    // words that count wherever they stand
    AnsiCpg,
    Deff,
    Uc,
    U,
    // character and paragraph formats; \f also starts an entry of the font table
    Font,
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    FontSize,
    Colour,
    Hidden,
    Pard,
    Align,  // arg: the Align
    // symbols
    Par,
    Row,
    Line,
    Tab,
    Cell,
    Char,  // arg: the character
    // font table
    FCharset,
    Cpg,
    // colour table
    Red,
    Green,
    Blue,
    // pictures
    PictureFormat,  // arg: the Picture::Kind
    PicW,
    PicH,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
};

struct ControlWord {
    Action action = Action::Unknown;
    WordKind kind = WordKind::Flag;
    std::uint16_t arg = 0;
};

// The words in an open-addressing table made at compile time: looking a word
// up is most of the work for a document full of format changes.
class WordTable {
public:
    constexpr void add(std::string_view name, ControlWord word) {
        std::size_t i = hash(name) & kMask;
        while (!slots_[i].name.empty()) {
            if (slots_[i].name == name) return;  // the first entry of a name counts
            i = (i + 1) & kMask;
        }
        slots_[i] = Slot{name, word};
    }

    constexpr ControlWord find(std::string_view name) const {
        std::size_t i = hash(name) & kMask;
        while (!slots_[i].name.empty()) {
            if (slots_[i].name == name) return slots_[i].word;
            i = (i + 1) & kMask;
        }
        return ControlWord{};
    }

private:
    static constexpr std::size_t hash(std::string_view name) {
        std::uint32_t h = 2166136261u;
        for (char c : name) h = (h ^ std::uint8_t(c)) * 16777619u;
        return h;
    }

    struct Slot {
        std::string_view name;
        ControlWord word;
    };
    static constexpr std::size_t kMask = 1023;
    std::array<Slot, kMask + 1> slots_{};
};

extern const WordTable kControlWords;

inline ControlWord control_word(QByteArrayView name) {
    // \u is by far the most frequent word in text this program wrote.
    if (name.size() == 1 && name[0] == 'u') return ControlWord{Action::U, WordKind::Value};
    return kControlWords.find(std::string_view(name.data(), std::size_t(name.size())));
}

}  // namespace tz::rtf
