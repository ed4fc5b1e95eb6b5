#pragma once

#include <string>

namespace zelvanor {

// How the core tells the user something: a message box in the windows, a line on the terminal
// in the command-line program.
class Notifier {
  public:
    enum class Icon { None, Information, Exclamation, Critical };

    virtual ~Notifier() = default;
    // An empty title means a box without a title.
    virtual void notify(const std::string& text, const std::string& title, Icon icon) = 0;
};

inline constexpr const char* kApplicationTitle = "Zelvanor";

}  // namespace zelvanor
