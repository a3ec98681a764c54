#pragma once
// Lines for a report of what the RTF engine could not keep: a picture it
// could not read (shown as a placeholder) or could not write. Shown on the
// standard error output; QT_LOGGING_RULES="tzurio.rtf=false" silences them.

#include <QLoggingCategory>

namespace tz::rtf {
Q_DECLARE_LOGGING_CATEGORY(lc_rtf)
}
