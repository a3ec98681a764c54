#pragma once
// What the RTF reader keeps for each group: where its text goes and the
// formats in force in it. A group starts as a copy of the group around it.

#include "rtf/sink.h"

#include <cstdint>

namespace tz::rtf {

// Where the text of a group goes. Upr: a \upr group, which holds the same text
// twice; only its \ud group (the Unicode version) is read, the rest (the ANSI
// version) is dropped.
enum class Dest : std::uint8_t { Body, Skip, FontTable, ColourTable, Picture, Upr };

struct Group {
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
    int uc = 1;  // fallback units after \uN
};

}  // namespace tz::rtf
