#pragma once

// Characters of UTF-8 text, as names and Text columns count them; for the store's own units.

#include <cstddef>
#include <string_view>

namespace zelvanor {

inline bool isUtf8Continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

inline std::size_t utf8Length(std::string_view s) {
    std::size_t n = 0;
    for (unsigned char c : s) {
        if (!isUtf8Continuation(c)) ++n;
    }
    return n;
}

}  // namespace zelvanor
