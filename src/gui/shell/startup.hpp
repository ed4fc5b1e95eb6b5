#pragma once

#include <memory>

#include "core/shell/app_paths.hpp"

namespace zelvanor {
class InstanceLock;
}

namespace zelvanor::gui {

class FormStart;

inline const char* const kSecondInstanceText =
    "「Zelvanor」は、既に起動しています。二重に起動はできません。";
inline const char* const kSecondInstanceTitle = "「Zelvanor」エラー";

// Starts the program on a data folder: refuses a second instance (message, nothing touched),
// makes sure the constants record exists and returns the main window, not yet shown. Returns
// nullptr when the program must end.
std::unique_ptr<FormStart> startProgram(const AppPaths& paths, const InstanceLock& lock);

}  // namespace zelvanor::gui
