#pragma once

// Text as a terminal draws it: well-formed UTF-8 and the columns each character takes.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zelvanor {

// The code point starting at `pos`, with `pos` moved past it; nothing, with `pos` moved one
// byte on, where the bytes there are not well-formed UTF-8 (a stray or missing continuation
// byte, an overlong form, a surrogate, a value past U+10FFFF).
std::optional<char32_t> nextCodePoint(std::string_view utf8, std::size_t& pos);

bool isWellFormedUtf8(std::string_view text);

// The text with every byte that nextCodePoint refuses replaced by U+FFFD.
std::string withReplacementCharacters(std::string_view text);

// Columns a terminal set up for Japanese gives the character: 2 for wide and full-width ones
// and for those of ambiguous width (◎ ○ ▲ △ ×, Greek, box drawing), 0 for combining marks and
// format characters, 1 for the rest (half-width katakana included).
int columnWidth(char32_t c);

// The columns of the text; a byte that is not well-formed UTF-8 counts as the U+FFFD that
// withReplacementCharacters puts in its place.
std::size_t displayWidth(std::string_view text);

}  // namespace zelvanor
