// The display formats and the code tables. The first eight bytes are a double (any bit pattern,
// NaN and infinities included), the rest is the pattern, and the same bytes serve as codes.

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "fuzz_support.hpp"
#include "core/records/format.hpp"
#include "core/shell/codes.hpp"

using zelvanor::fuzz::require;

namespace {

bool isPlainPattern(std::string_view pattern) {
    return pattern.find_first_not_of("#0,.") == std::string_view::npos &&
           std::count(pattern.begin(), pattern.end(), '.') <= 1;
}

// The number formatNumber's text stands for, read as formattedValue reads it.
double readBack(const std::string& text) {
    std::string number;
    for (const char c : text) {
        if (c != ',') number += c;
    }
    if (number.empty() || number == ".") return 0.0;
    double result = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), result);
    require(ec == std::errc{} && end == number.data() + number.size(),
            "a plain pattern's text is a number");
    return result;
}

void checkFormat(double value, std::string_view pattern) {
    const bool finite = std::isfinite(value);
    const bool scaled = pattern.find('%') != std::string_view::npos;
    std::string text;
    try {
        text = zelvanor::formatNumber(value, pattern);
        require(finite, "only finite numbers format");
    } catch (const std::domain_error&) {
        require(!finite || (scaled && !std::isfinite(value * 100.0)), "finite numbers format");
        return;
    }
    try {
        const double read = zelvanor::formattedValue(value, pattern);
        require(std::isfinite(read), "a formatted value is finite");
        if (isPlainPattern(pattern)) {
            require(read == readBack(text), "the quick rounding agrees with the text");
        }
    } catch (const std::invalid_argument&) {
        require(!isPlainPattern(pattern), "a plain pattern always reads back");
    } catch (const std::domain_error&) {
        // Digits among a pattern's literals ("3#5555…") can make the text any number at all.
        require(std::fabs(value) * (scaled ? 100.0 : 1.0) > 1.79e308 ||
                    pattern.find_first_of("123456789") != std::string_view::npos,
                "only the largest numbers round beyond the range of double");
    }
    require(zelvanor::roundHalfEven(value) == std::nearbyint(value), "halves round to even");
}

void checkCodes(std::string_view code, const std::uint8_t* data, std::size_t size) {
    using namespace zelvanor;
    for (auto label : {seibetsuLabel, classLabel, joukenLabel, futanLabel, shubetsuLabel,
                       bashoLabel, shibaDertMark, trackLabel, touzaiLabel, gradeLabel, ijouLabel,
                       youbiLabel, shikakuLabel, minaraiLabel, moushokuLabel, tokuseiKyoriLabel}) {
        require(fuzz::isUtf8(label(code)), "labels are UTF-8");
    }
    auto byte = [&](std::size_t i) { return i < size ? static_cast<int>(data[i]) : 0; };
    (void)rotationLabel(byte(0) - 28, byte(1) - 28, byte(2) - 28, code.substr(0, 8));
    const std::array<std::string_view, 4> conditions = {
        code.substr(0, 3), code.substr(std::min<std::size_t>(code.size(), 3), 3),
        code.substr(std::min<std::size_t>(code.size(), 6), 3), code};
    (void)classChangeLabel(code.substr(0, 3), static_cast<std::int16_t>(byte(3) * 256 + byte(4)),
                           code.substr(std::min<std::size_t>(code.size(), 4)), conditions);
    (void)circledNumber(byte(5) - 128);
    (void)pairLabel(static_cast<std::int16_t>(byte(6) - 128), static_cast<std::int16_t>(byte(7)),
                    static_cast<float>(byte(8)) - 1.0f, static_cast<float>(byte(9)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    double value = 0;
    std::memcpy(&value, data, std::min(size, sizeof value));
    const std::string_view rest =
        size > sizeof value ? std::string_view(reinterpret_cast<const char*>(data) + sizeof value,
                                               size - sizeof value)
                            : std::string_view{};
    // Patterns beyond a few dozen characters only repeat what shorter ones reach.
    checkFormat(value, rest.substr(0, 64));
    checkCodes(std::string_view(reinterpret_cast<const char*>(data), size), data, size);
    return 0;
}
