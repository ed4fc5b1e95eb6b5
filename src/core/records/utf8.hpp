#pragma once

// Text held as UTF-8 but addressed, as the record files address it, by character position: a
// full-width character counts as one.

#include <cstddef>
#include <string_view>

namespace zelvanor {

// The characters first … first + count − 1 (1-based) of UTF-8 text; fewer near its end, none
// when first is 0.
std::string_view charactersAt(std::string_view utf8, std::size_t first, std::size_t count);

}  // namespace zelvanor
