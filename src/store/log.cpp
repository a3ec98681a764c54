#include "store/log.h"

namespace tz {
Q_LOGGING_CATEGORY(lc_store, "tzurio.store")
}
