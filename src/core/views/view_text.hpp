#pragma once

// How the views turn stored values into the texts the windows show.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelvanor {

class Statement;

// Texts are stored padded to their width with blanks, half-width or full-width; a view shows
// them without.
std::string_view trimRight(std::string_view s);
std::string_view trimLeft(std::string_view s);

// The first `count` characters, without the blanks that pad them.
std::string firstCharacters(std::string_view text, std::size_t count);

// A single-precision value as stored, in the fewest digits that read back as the same value.
std::string singleText(double value);

// An integer column as stored; a null shows nothing.
std::string wholeText(const std::optional<std::int64_t>& value);

}  // namespace zelvanor
