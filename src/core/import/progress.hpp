#pragma once

#include <stdexcept>

#include "core/shell/progress.hpp"

namespace zelvanor {

// An import that cannot go on. The message is the exact text to show the user; nothing was
// changed.
class ImportError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace zelvanor
