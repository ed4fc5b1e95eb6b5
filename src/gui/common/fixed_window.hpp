#pragma once

class QWidget;

namespace zelvanor::gui {

// Fixes a top-level window at the size it has now and takes away its maximise button: for windows
// whose panels and grids have fixed places, where more room would only stretch them into empty
// boxes. Call once the window is filled and sized, before it is shown.
void keepWindowSize(QWidget* window);

}  // namespace zelvanor::gui
