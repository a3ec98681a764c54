#include "rtf/log.h"

namespace tz::rtf {
Q_LOGGING_CATEGORY(lc_rtf, "tzurio.rtf")
}
