#pragma once

class QWidget;

namespace zelvanor::gui {

// Window positions and sizes are given in twips (1/1440 inch); this turns them into pixels at
// the screen's logical resolution.
int twipsToPixels(const QWidget* widget, int twips);

}  // namespace zelvanor::gui
