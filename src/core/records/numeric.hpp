#pragma once

#include <cstdint>
#include <string_view>

namespace zelvanor {

// The value of a text field as the record files mean it: the leading decimal digits after any
// leading blanks (half-width or full-width). Blank or non-digit text reads 0. Digits beyond what
// fits in 64 bits saturate rather than wrap, so garbage never turns into a negative number.
std::int64_t numericValue(std::string_view text);

// Whether the text is one or more ASCII decimal digits and nothing else.
bool allDigits(std::string_view text);

// The year a record's two-digit year stands for: 00-68 as 20xx, 69-99 as 19xx.
constexpr int fullYear(int twoDigitYear) {
    return twoDigitYear < 69 ? 2000 + twoDigitYear : 1900 + twoDigitYear;
}

}  // namespace zelvanor
