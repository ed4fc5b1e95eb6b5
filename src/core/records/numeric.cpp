#include "core/records/numeric.hpp"

#include <algorithm>
#include <limits>

namespace zelvanor {

std::int64_t numericValue(std::string_view text) {
    std::size_t i = 0;
    constexpr std::string_view kFullWidthBlank = "\xE3\x80\x80";  // U+3000
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
        } else if (text.substr(i, kFullWidthBlank.size()) == kFullWidthBlank) {
            i += kFullWidthBlank.size();
        } else {
            break;
        }
    }
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value > (kMax - digit) / 10) return kMax;
        value = value * 10 + digit;
    }
    return value;
}

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace zelvanor
