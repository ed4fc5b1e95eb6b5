#include "gui/common/twips.hpp"

#include <QWidget>
#include <cmath>

namespace zelvanor::gui {

int twipsToPixels(const QWidget* widget, int twips) {
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return static_cast<int>(std::lround(twips * (dpi > 0 ? dpi : 96) / 1440.0));
}

}  // namespace zelvanor::gui
