#include "core/records/utf8.hpp"

namespace zelvanor {

std::string_view charactersAt(std::string_view utf8, std::size_t first, std::size_t count) {
    if (first == 0 || count == 0) return {};
    auto isLead = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; };
    std::size_t begin = utf8.size();
    std::size_t end = utf8.size();
    std::size_t index = 0;  // 1-based number of the character starting at byte i
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (!isLead(utf8[i])) continue;
        ++index;
        if (index == first) begin = i;
        if (index == first + count) {
            end = i;
            break;
        }
    }
    return begin < end ? utf8.substr(begin, end - begin) : std::string_view{};
}

}  // namespace zelvanor
