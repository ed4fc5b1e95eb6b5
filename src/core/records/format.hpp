#pragma once

#include <string>
#include <string_view>

namespace zelvanor {

// Formats a number with a display pattern of the classic BASIC Format function:
//   '0'  a digit, always shown;
//   '#'  a digit, shown only when significant ("##" of 0 is "", "##.0" of 0.5 is ".5");
//   '.'  the first one is the decimal point; the count of placeholders after it is the number
//        of decimals;
//   ','  between integer placeholders: group the integer digits by thousands;
//   '%'  multiplies the value by 100 and is shown where it stands;
//   anything else is shown as it is ("##:##" of 1525 is "15:25").
// Integer digits beyond the placeholders are all shown. Rounding is half away from zero, done on
// the value's 15-significant-digit decimal form, so 0.15 with "#0.0" gives "0.2". A value that
// rounds to zero shows no minus sign. Throws std::domain_error for NaN or infinity, and for a
// value that a '%' would scale beyond the range of double.
std::string formatNumber(double value, std::string_view pattern);

// formatNumber, read back as a number: the value the program stores after formatting to a fixed
// number of decimals. Grouping separators and blanks are ignored, a '%' divides by 100, and an
// empty result or a lone decimal point reads 0. Throws std::invalid_argument if the pattern
// produced other literals, and std::domain_error where formatNumber does or when the rounded
// number lies beyond the range of double (as it does for the largest doubles).
double formattedValue(double value, std::string_view pattern);

// The nearest whole number, halves to the even neighbour (2.5 -> 2, -1.5 -> -2): how numbers are
// rounded when written into 16-bit integer columns.
double roundHalfEven(double value);

// The single-precision value stored for a fractional engine output.
inline float toSingle(double value) {
    return static_cast<float>(value);
}

}  // namespace zelvanor
