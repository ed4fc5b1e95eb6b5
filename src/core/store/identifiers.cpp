#include "core/store/identifiers.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/store/errors.hpp"
#include "core/store/utf8_characters.hpp"

namespace zelvanor {

void validateIdentifier(std::string_view name) {
    bool ok = !name.empty() && name.size() <= 128;
    for (std::size_t i = 0; ok && i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7F || c == '"' || c == '\'' || c == '`' || c == '[' || c == ']' ||
            c == '.' || c == ';') {
            ok = false;
        }
    }
    if (ok && normalizeName(name).rfind("sqlite_", 0) == 0) ok = false;
    // Valid UTF-8 only: a stray byte would make the name differ from what the user sees.
    for (std::size_t i = 0; ok && i < name.size();) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        const std::size_t extra = c < 0x80         ? 0
                                  : (c >> 5) == 6  ? 1
                                  : (c >> 4) == 14 ? 2
                                  : (c >> 3) == 30 ? 3
                                                   : 9;
        if (extra == 9 || i + extra >= name.size()) {
            ok = false;
            break;
        }
        for (std::size_t k = 1; ok && k <= extra; ++k) {
            ok = isUtf8Continuation(static_cast<unsigned char>(name[i + k]));
        }
        i += extra + 1;
    }
    if (!ok) throw StoreError("使えない名前です: \"" + std::string(name) + "\"");
}

std::string quoteIdentifier(std::string_view name) {
    validateIdentifier(name);
    std::string quoted;
    quoted.reserve(name.size() + 2);
    quoted.append(1, '"').append(name).append(1, '"');
    return quoted;
}

std::string schemaIdentifier(std::string_view name) {
    validateIdentifier(name);
    // Bare where SQL reads the name as written: letters, digits and underscores, not starting
    // with a digit, and no keyword.
    const bool bare =
        !std::isdigit(static_cast<unsigned char>(name.front())) &&
        std::all_of(name.begin(), name.end(),
                    [](char c) {
                        const auto u = static_cast<unsigned char>(c);
                        return u < 0x80 && (std::isalnum(u) || c == '_');
                    }) &&
        sqlite3_keyword_check(name.data(), static_cast<int>(name.size())) == 0;
    return bare ? std::string(name) : quoteIdentifier(name);
}

std::string normalizeName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        // U+FF01..U+FF5E (full-width ASCII) is EF BC 81..EF BD 9E in UTF-8.
        if (c == 0xEF && i + 2 < name.size()) {
            const unsigned char c1 = static_cast<unsigned char>(name[i + 1]);
            const unsigned char c2 = static_cast<unsigned char>(name[i + 2]);
            const unsigned cp = ((c & 0x0Fu) << 12) | ((c1 & 0x3Fu) << 6) | (c2 & 0x3Fu);
            if (isUtf8Continuation(c1) && isUtf8Continuation(c2) && cp >= 0xFF01 && cp <= 0xFF5E) {
                out += static_cast<char>(std::tolower(static_cast<int>(cp - 0xFEE0)));
                i += 2;
                continue;
            }
        }
        out += c < 0x80 ? static_cast<char>(std::tolower(c)) : static_cast<char>(c);
    }
    return out;
}

}  // namespace zelvanor
