#pragma once
// Lines for a report of what went wrong with the files, beside the messages
// the user sees: a write the system refused (with its reason), a file that
// could not be read, a damaged data file, a lock held by another copy.
// Shown on the standard error output; QT_LOGGING_RULES="tzurio.store=false"
// silences them.

#include <QLoggingCategory>

namespace tz {
Q_DECLARE_LOGGING_CATEGORY(lc_store)
}
