#pragma once
// The RTF interpreter behind parse(): one pass over the lexer's tokens with an
// explicit stack of group states (no recursion, bounded depth).

#include "rtf/sink.h"

#include <QByteArrayView>

namespace tz::rtf {

// Reads bytes that begin with the RTF header into a sink.
void interpret(QByteArrayView bytes, Sink& sink);

}  // namespace tz::rtf
