#include "core/views/view_text.hpp"

#include <charconv>

#include "core/records/utf8.hpp"
#include "core/store/store.hpp"

namespace zelvanor {

namespace {
constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";
}  // namespace

std::string_view trimRight(std::string_view s) {
    for (;;) {
        if (!s.empty() && s.back() == ' ') {
            s.remove_suffix(1);
        } else if (s.ends_with(kIdeographicSpace)) {
            s.remove_suffix(kIdeographicSpace.size());
        } else {
            return s;
        }
    }
}

std::string_view trimLeft(std::string_view s) {
    for (;;) {
        if (!s.empty() && s.front() == ' ') {
            s.remove_prefix(1);
        } else if (s.starts_with(kIdeographicSpace)) {
            s.remove_prefix(kIdeographicSpace.size());
        } else {
            return s;
        }
    }
}

std::string firstCharacters(std::string_view text, std::size_t count) {
    return std::string(trimRight(charactersAt(text, 1, count)));
}

std::string singleText(double value) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<float>(value));
    return std::string(buf, r.ptr);
}

std::string wholeText(const std::optional<std::int64_t>& value) {
    return value ? std::to_string(*value) : std::string();
}

}  // namespace zelvanor
