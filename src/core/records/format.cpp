#include "core/records/format.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace zelvanor {

namespace {

bool isPlaceholder(char c) {
    return c == '0' || c == '#';
}

// The magnitude of `value` rounded half away from zero to `decimals` decimals, as the decimal
// digits of value * 10^decimals without leading zeros ("0" for zero). Rounding works on the
// 15-significant-digit decimal form so that 0.15, stored as 0.1499999..., still rounds up.
std::string roundedDigits(double magnitude, std::size_t decimals) {
    // The same text as printf's "%.14e", without its locale and format parsing: the engine
    // formats several values of every runner.
    char buf[40];
    const auto written =
        std::to_chars(buf, buf + sizeof buf - 1, magnitude, std::chars_format::scientific, 14);
    *written.ptr = '\0';
    std::string mantissa;
    mantissa += buf[0];
    const char* p = buf + 2;
    while (*p != 'e') mantissa += *p++;
    const long exponent = std::strtol(p + 1, nullptr, 10);

    // How many leading mantissa digits are kept: those down to 10^-decimals.
    const long keep = exponent + 1 + static_cast<long>(decimals);
    if (keep < 0) return "0";
    std::string digits = mantissa.substr(0, std::min<std::size_t>(keep, mantissa.size()));
    if (static_cast<std::size_t>(keep) > mantissa.size())
        digits.append(keep - mantissa.size(), '0');
    if (static_cast<std::size_t>(keep) < mantissa.size() && mantissa[keep] >= '5') {
        auto it = digits.rbegin();
        for (; it != digits.rend() && *it == '9'; ++it) *it = '0';
        if (it == digits.rend()) {
            digits.insert(digits.begin(), '1');
        } else {
            ++*it;
        }
    }
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

}  // namespace

std::string formatNumber(double value, std::string_view pattern) {
    if (!std::isfinite(value)) throw std::domain_error("cannot format a non-finite number");

    const std::size_t point = pattern.find('.');
    const std::string_view intPart = pattern.substr(0, point);
    const std::string_view fracPart =
        point == std::string_view::npos ? std::string_view{} : pattern.substr(point + 1);

    std::size_t intPlaceholders = 0;
    std::size_t forcedDigits = 0;  // from the leftmost '0' to the decimal point
    for (const char c : intPart) {
        if (isPlaceholder(c)) {
            ++intPlaceholders;
            if (c == '0' || forcedDigits > 0) ++forcedDigits;
        }
    }
    // A comma counts as grouping only with integer placeholders on both sides of it.
    const std::size_t firstPlaceholder = intPart.find_first_of("0#");
    const std::size_t lastPlaceholder = intPart.find_last_of("0#");
    auto isGroupingComma = [&](std::size_t i) {
        return intPart[i] == ',' && firstPlaceholder != std::string_view::npos &&
               i > firstPlaceholder && i < lastPlaceholder;
    };
    bool grouping = false;
    for (std::size_t i = 0; i < intPart.size(); ++i) grouping = grouping || isGroupingComma(i);

    const std::size_t decimals =
        static_cast<std::size_t>(std::count_if(fracPart.begin(), fracPart.end(), isPlaceholder));
    if (pattern.find('%') != std::string_view::npos) {
        value *= 100.0;
        if (!std::isfinite(value)) throw std::domain_error("the percentage is too large to format");
    }

    const std::string rounded = roundedDigits(std::fabs(value), decimals);
    const bool isZero = rounded == "0";
    std::string intDigits;
    std::string fracDigits(decimals, '0');
    if (isZero) {
        // No significant digit: only '0' placeholders show anything.
    } else if (rounded.size() > decimals) {
        intDigits = rounded.substr(0, rounded.size() - decimals);
        fracDigits = rounded.substr(rounded.size() - decimals);
    } else {
        fracDigits.replace(decimals - rounded.size(), rounded.size(), rounded);
    }
    if (intDigits.size() < forcedDigits) intDigits.insert(0, forcedDigits - intDigits.size(), '0');

    std::string out;
    if (value < 0 && !isZero) out += '-';

    // Integer digits fill the placeholders from the right; the leftmost placeholder takes any
    // digits left over.
    const std::size_t digitCount = intDigits.size();
    auto emitDigits = [&](std::size_t from, std::size_t to) {  // [from, to) of intDigits
        for (std::size_t d = from; d < to; ++d) {
            out += intDigits[d];
            const std::size_t fromRight = digitCount - 1 - d;
            if (grouping && fromRight > 0 && fromRight % 3 == 0) out += ',';
        }
    };
    std::size_t placeholder = 0;
    for (std::size_t i = 0; i < intPart.size(); ++i) {
        const char c = intPart[i];
        if (isPlaceholder(c)) {
            const std::size_t fromRight = intPlaceholders - 1 - placeholder;
            if (placeholder == 0 && digitCount > intPlaceholders) {
                emitDigits(0, digitCount - intPlaceholders + 1);
            } else if (fromRight < digitCount) {
                const std::size_t d = digitCount - 1 - fromRight;
                emitDigits(d, d + 1);
            }
            ++placeholder;
        } else if (!isGroupingComma(i)) {
            out += c;
        }
    }
    if (intPlaceholders == 0) emitDigits(0, digitCount);

    if (point == std::string_view::npos) return out;
    out += '.';
    // Trailing zeros under '#' placeholders are dropped.
    std::size_t shown = decimals;
    for (std::size_t i = fracPart.size(); i-- > 0 && shown > 0;) {
        if (!isPlaceholder(fracPart[i])) continue;
        if (fracPart[i] == '#' && fracDigits[shown - 1] == '0') {
            --shown;
        } else {
            break;
        }
    }
    std::size_t digit = 0;
    for (const char c : fracPart) {
        if (isPlaceholder(c)) {
            if (digit < shown) out += fracDigits[digit];
            ++digit;
        } else {
            out += c;
        }
    }
    return out;
}

double formattedValue(double value, std::string_view pattern) {
    // A plain numeric pattern needs no text: the rounded digits over a power of ten are the
    // double nearest the formatted number, which is what reading the text back would give.
    // The engine rounds several values of every runner this way.
    const bool plain = std::isfinite(value) &&
                       pattern.find_first_not_of("#0,.") == std::string_view::npos &&
                       std::count(pattern.begin(), pattern.end(), '.') <= 1;
    const std::size_t point = pattern.find('.');
    const std::size_t decimals =
        point == std::string_view::npos
            ? 0
            : static_cast<std::size_t>(
                  std::count_if(pattern.begin() + point + 1, pattern.end(), isPlaceholder));
    // Dividing by 10^decimals is exact, and so the same as reading the text, only while that
    // power of ten is itself a double: up to 10^22.
    if (plain && decimals <= 22) {
        const double scale = std::pow(10.0, static_cast<double>(decimals));
        const double x = std::fabs(value) * scale;
        // Away from a half, rounding the product decides as the 15-digit text would: below a
        // million the text differs from the value by far less than the margin kept here.
        if (x < 1e6) {
            const double below = std::floor(x);
            const double fraction = x - below;
            if (std::fabs(fraction - 0.5) > 1e-6) {
                const double scaled = (fraction > 0.5 ? below + 1 : below) / scale;
                return scaled == 0 ? 0.0 : (value < 0 ? -scaled : scaled);
            }
        }
        const std::string digits = roundedDigits(std::fabs(value), decimals);
        if (digits.size() <= 15) {
            double whole = 0;
            for (const char c : digits) whole = whole * 10 + (c - '0');
            const double scaled = whole / std::pow(10.0, static_cast<double>(decimals));
            return scaled == 0 ? 0.0 : (value < 0 ? -scaled : scaled);
        }
    }
    const std::string text = formatNumber(value, pattern);
    std::string number;
    bool percent = false;
    for (const char c : text) {
        if (c == ',' || c == ' ') continue;
        if (c == '%') {
            percent = true;
        } else {
            number += c;
        }
    }
    // Zero under '#' placeholders shows no digit at all, at most the decimal point (".").
    if (number.empty() || number == ".") return 0.0;
    // Only what formatNumber makes of a number: a sign, digits and one point. from_chars would
    // also take literals such as "E5" or "inf" as part of a number.
    const std::size_t body = number[0] == '-' ? 1 : 0;
    const bool decimal = number.find_first_not_of("0123456789.", body) == std::string::npos &&
                         std::count(number.begin(), number.end(), '.') <= 1 && number.size() > body;
    if (!decimal) {
        throw std::invalid_argument("\"" + text + "\" (pattern \"" + std::string(pattern) +
                                    "\") does not read back as a number");
    }
    double result = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), result,
                                           std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range && end == number.data() + number.size()) {
        // Rounding to 15 digits can carry the largest doubles past the largest double.
        throw std::domain_error("\"" + text + "\" is beyond the range of a double");
    }
    if (ec != std::errc{} || end != number.data() + number.size()) {
        throw std::invalid_argument("\"" + text + "\" (pattern \"" + std::string(pattern) +
                                    "\") does not read back as a number");
    }
    return percent ? result / 100.0 : result;
}

double roundHalfEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction < 0.5) return below;
    if (fraction > 0.5) return below + 1.0;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

}  // namespace zelvanor
