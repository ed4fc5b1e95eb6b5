#pragma once

#include <memory>

#include "core/shell/app_paths.hpp"

namespace zelvanor {
class InstanceLock;
}

namespace zelvanor::gui {

class MainWindow;

inline const char* const kSecondInstanceText =
    "「Zelvanor」は、既に起動しています。二重に起動はできません。";
inline const char* const kSecondInstanceTitle = "「Zelvanor」エラー";

// Makes the program speak Japanese and read well: Qt's own Japanese texts for the standard
// buttons and dialogs (はい, いいえ, the file dialog's labels), Japanese number and date
// formats, and a proportional Japanese font for every widget. Needs the QApplication; the
// program calls it first thing, and window tests call it to see what the user sees. Calling it
// again does nothing more.
void setUpJapaneseUi();

// The UI font: proportional, so Japanese text is not spread out as in a monospaced face, with
// digits of equal width, so figures in columns line up.
inline const char* const kUiFontFamily = "IPAPGothic";
inline constexpr int kUiFontPointSize = 9;

// Starts the program on a data folder: refuses a second instance (message, nothing touched),
// makes sure the constants record exists and returns the main window, not yet shown. Returns
// nullptr when the program must end.
std::unique_ptr<MainWindow> startProgram(const AppPaths& paths, const InstanceLock& lock);

}  // namespace zelvanor::gui
