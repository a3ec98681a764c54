#pragma once
// The RTF reader: one pass over the bytes, an explicit stack of group states
// (no recursion, bounded depth) and events to a Sink. A file that does not
// begin with an RTF header is read as plain CP932 text, one paragraph a line.

#include "rtf/sink.h"

#include <QByteArrayView>

namespace tz::rtf {

// True when the bytes begin with "{\rtf" (after blanks or line ends).
bool is_rtf(QByteArrayView bytes);

// Reads RTF or plain text into a sink. Any input ends in a result.
void parse(QByteArrayView bytes, Sink& sink);

// Deepest group nesting that is kept; deeper groups are read as part of the
// deepest kept one.
inline constexpr int kMaxDepth = 1000;
// Entries of the font table and of the colour table that are kept.
inline constexpr int kMaxFonts = 65536;
inline constexpr int kMaxColours = 65536;

}  // namespace tz::rtf
