#include "gui/common/fixed_window.hpp"

#include <QWidget>

namespace zelvanor::gui {

void keepWindowSize(QWidget* window) {
    window->setFixedSize(window->size());
    // Window managers grey out maximise for a window whose least and largest sizes agree, but not
    // all do; the hints leave no button to offer.
    const Qt::WindowFlags flags = window->windowFlags();
    window->setWindowFlags((flags | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                            Qt::WindowCloseButtonHint) &
                           ~Qt::WindowMaximizeButtonHint);
}

}  // namespace zelvanor::gui
