// Code page 932 decoding and encoding, the numeric value rule, character addressing and display
// width, on arbitrary bytes.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "fuzz_support.hpp"
#include "core/records/cp932.hpp"
#include "core/records/display_width.hpp"
#include "core/records/numeric.hpp"
#include "core/records/utf8.hpp"

using zelvanor::fuzz::isUtf8;
using zelvanor::fuzz::require;

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

void checkCharactersAt(std::string_view text, std::size_t first, std::size_t count) {
    const std::string_view part = zelvanor::charactersAt(text, first, count);
    require(part.empty() || (part.data() >= text.data() &&
                             part.data() + part.size() <= text.data() + text.size()),
            "charactersAt returns a piece of its text");
    if (!isUtf8(text)) return;
    const std::size_t total = zelvanor::charCount(text);
    const std::size_t expected =
        first == 0 || first > total ? 0 : std::min(count, total - first + 1);
    require(zelvanor::charCount(part) == expected, "charactersAt returns the characters asked");
    if (first == 0 || count < 2) return;
    // Two adjoining pieces make the piece that spans both.
    const std::size_t split = count / 2;
    const std::string joined =
        std::string(zelvanor::charactersAt(text, first, split)) +
        std::string(zelvanor::charactersAt(text, first + split, count - split));
    require(joined == part, "adjoining pieces join up");
}

// The terminal's view of arbitrary bytes: what the command line prints and aligns by.
void checkDisplayWidth(std::string_view bytes) {
    const std::string shown = zelvanor::withReplacementCharacters(bytes);
    require(zelvanor::isWellFormedUtf8(shown), "replacement gives well-formed UTF-8");
    require(!zelvanor::isWellFormedUtf8(bytes) || shown == bytes,
            "well-formed text is printed as it is");
    require(zelvanor::displayWidth(bytes) == zelvanor::displayWidth(shown),
            "a bad byte takes the columns of its replacement");
    std::size_t points = 0;
    for (std::size_t pos = 0; pos < shown.size(); ++points) {
        const std::size_t before = pos;
        require(zelvanor::nextCodePoint(shown, pos).has_value(), "replaced text reads whole");
        require(pos > before && pos <= shown.size(), "reading moves on within the text");
    }
    require(zelvanor::displayWidth(shown) <= 2 * points,
            "no character takes more than two columns");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::string decoded = zelvanor::decodeCp932(bytes);
    require(isUtf8(decoded), "decoding gives well-formed UTF-8");
    require(zelvanor::charCount(decoded) <= bytes.size(), "no byte decodes to two characters");
    require(decoded == zelvanor::decodeCp932WithIconv(bytes), "the table decodes as iconv does");
    std::string appended = "前";
    zelvanor::appendCp932(appended, bytes);
    require(appended == "前" + decoded, "appending decodes alike");

    // What decoding produced (apart from the replacement character) encodes, and decodes back
    // to itself; byte lengths are kept, so a decoded field always fits its field again.
    if (decoded.find(kReplacement) == std::string::npos) {
        std::string encoded;
        try {
            encoded = zelvanor::encodeCp932(decoded);
        } catch (const std::invalid_argument&) {
            require(false, "decoded text encodes");
        }
        require(encoded.size() == bytes.size(), "encoding keeps the byte length");
        require(zelvanor::decodeCp932(encoded) == decoded, "encoded text decodes back");
    }
    // Arbitrary bytes as UTF-8: encoding refuses or gives something that decodes.
    try {
        const std::string encoded = zelvanor::encodeCp932(bytes);
        require(isUtf8(bytes), "only well-formed UTF-8 encodes");
        require(isUtf8(zelvanor::decodeCp932(encoded)), "encoded text decodes");
    } catch (const std::invalid_argument&) {
    }

    require(zelvanor::numericValue(bytes) >= 0, "raw numeric value is not negative");
    require(zelvanor::numericValue(decoded) >= 0, "decoded numeric value is not negative");

    const std::size_t first = size > 0 ? data[0] % 40 : 1;
    const std::size_t count = size > 1 ? data[1] % 40 : 3;
    checkCharactersAt(decoded, first, count);
    checkCharactersAt(bytes, first, count);
    checkDisplayWidth(bytes);
    checkDisplayWidth(decoded);
    return 0;
}
