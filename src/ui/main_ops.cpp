#include "ui/main_ops.h"

namespace tz {

QRect centred_over(const QRect& main, int width, int height) {
    return QRect(main.left() + (main.width() - width) / 2, main.top() + (main.height() - height) / 2, width, height);
}

}  // namespace tz
