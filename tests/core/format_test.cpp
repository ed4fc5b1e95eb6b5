#include "core/records/format.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <utility>

namespace zelvanor {
namespace {

struct FormatCase {
    double value;
    const char* pattern;
    const char* expected;
};

TEST(FormatNumber, PatternsOfTheProgram) {
    const FormatCase cases[] = {
        // One decimal: rounding on the decimal form, so binary near-halves still round up.
        {12.34, "##0.0", "12.3"},
        {0, "##0.0", "0.0"},
        {1234.56, "##0.0", "1234.6"},
        {99.95, "##0.0", "100.0"},
        {-3.25, "##0.0", "-3.3"},
        {-0.04, "##0.0", "0.0"},
        {0.15, "#0.0", "0.2"},
        {1.45, "#0.0", "1.5"},
        {79.994, "#0.0", "80.0"},
        {9.96, "#0.0", "10.0"},
        {-0.05, "#0.0", "-0.1"},
        {123456.78, "#####0.0", "123456.8"},
        {0, "#####0.0", "0.0"},
        // Grouping.
        {1234567, "##,##0", "1,234,567"},
        {12, "##,##0", "12"},
        {0, "##,##0", "0"},
        {999.5, "##,##0", "1,000"},
        {-1234, "##,##0", "-1,234"},
        {123456789012, "##,##0", "123,456,789,012"},
        {1234, "###,###", "1,234"},
        {123, "###,###", "123"},
        {0, "###,###", ""},
        {0.4, "###,###", ""},
        {1e15, "###,###", "1,000,000,000,000,000"},
        {1000, "#,###", "1,000"},
        {0, "#,###", ""},
        {1234567, "##,###,### ", "1,234,567 "},
        {0, "##,###,### ", " "},
        // Percent.
        {0.123, "##0%", "12%"},
        {0.125, "##0%", "13%"},
        {0, "##0%", "0%"},
        {1.5, "##0%", "150%"},
        {0.4567, "###0%", "46%"},
        {12.3456, "###0%", "1235%"},
        // Whole numbers.
        {0, "##", ""},
        {2.5, "##", "3"},
        {-2.5, "##", "-3"},
        {3.5, "##", "4"},
        {-0.4, "##", ""},
        {123, "##", "123"},
        {0, "#0", "0"},
        {0.5, "#0", "1"},
        {-0.4, "#0", "0"},
        {2000, "####", "2000"},
        {0, "####", ""},
        {0, "###0", "0"},
        {1600.5, "###0", "1601"},
        {45.5, "###", "46"},
        {0, "###", ""},
        {12345, "#####", "12345"},
        // Literals and optional integer digits before the point.
        {1525, "##:##", "15:25"},
        {950, "##:##", "9:50"},
        {123456, "##:##", "1234:56"},
        {0.5, "##.0", ".5"},
        {12.25, "##.0", "12.3"},
        {0, "##.0", ".0"},
        // Optional decimals drop trailing zeros but keep the point.
        {1.5, "0.##", "1.5"},
        {1, "0.##", "1."},
        {1.005, "0.00", "1.01"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatNumber(c.value, c.pattern), c.expected)
            << c.value << " with \"" << c.pattern << "\"";
    }
}

TEST(FormatNumber, RejectsNonFiniteValues) {
    EXPECT_THROW(formatNumber(std::numeric_limits<double>::quiet_NaN(), "#0.0"), std::domain_error);
    EXPECT_THROW(formatNumber(std::numeric_limits<double>::infinity(), "##"), std::domain_error);
    // Finite, but not once a '%' has scaled it.
    EXPECT_THROW(formatNumber(1e307, "0%"), std::domain_error);
}

TEST(FormattedValue, ReadsBackTheFormattedText) {
    struct Case {
        double value;
        const char* pattern;
        double expected;
    };
    const Case cases[] = {
        {79.994, "#0.0", 80.0}, {0.15, "##0.0", 0.2}, {-0.04, "##0.0", 0.0},
        {-3.25, "##0.0", -3.3}, {0.5, "##.0", 0.5},   {1234.56, "##,##0", 1235.0},
        {0.123, "##0%", 0.12},  {0, "##", 0.0},       {1234567, "##,###,### ", 1234567.0},
        {0, "##.%", 0.0},  // the text is ".%"
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(formattedValue(c.value, c.pattern), c.expected)
            << c.value << " with \"" << c.pattern << "\"";
    }
    // Literals that a number parser would take for part of the number are literals all the same.
    const std::pair<double, const char*> literals[] = {
        {1525, "##:##"}, {1525, "0E0"}, {0, "inf#"}, {0, "nan"}};
    for (const auto& [value, pattern] : literals) {
        EXPECT_THROW(formattedValue(value, pattern), std::invalid_argument) << pattern;
    }
    // 1.79769313486232e308, the 15-digit form of the largest double, is not a double.
    EXPECT_THROW(formattedValue(std::numeric_limits<double>::max(), "#,0"), std::domain_error);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    const double cases[][2] = {
        {0.5, 0},  {1.5, 2},  {2.5, 2},    {-2.5, -2}, {-1.5, -2},           {-0.5, 0},
        {0.49, 0}, {2.51, 3}, {-2.51, -3}, {3, 3},     {1234567.5, 1234568}, {0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(roundHalfEven(c[0]), c[1]) << c[0];
    }
}

}  // namespace
}  // namespace zelvanor

namespace {

// formattedValue skips the text for plain patterns; it must still be exactly the number the text
// reads back as, halves and all.
TEST(FormattedValue, EqualsTheFormattedTextReadBack) {
    std::uint32_t state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1664525u + 1013904223u;
        // Values near halves of the last kept digit are where a shortcut would go wrong.
        const double value =
            (static_cast<double>(state % 2000001) - 1000000.0) / 2000.0 + (i % 3 == 0 ? 0.05 : 0.0);
        for (const char* pattern : {"##0.0", "#0.0", "#####0.0", "##", "##,##0"}) {
            std::string text = zelvanor::formatNumber(value, pattern);
            text.erase(std::remove(text.begin(), text.end(), ','), text.end());
            const double expected = text.empty() ? 0.0 : std::strtod(text.c_str(), nullptr);
            ASSERT_EQ(zelvanor::formattedValue(value, pattern), expected)
                << value << " " << pattern << " " << text;
        }
    }
    // Beyond 22 decimals the power of ten is no longer exact in a double.
    for (const char* pattern : {"0.0000000000000000000000000000", "#.#########################"}) {
        for (const double value : {1.9e-28, 3.3e-25, 7.77e-30, 0.1, 123.456}) {
            const std::string text = zelvanor::formatNumber(value, pattern);
            EXPECT_EQ(zelvanor::formattedValue(value, pattern), std::strtod(text.c_str(), nullptr))
                << value << " " << pattern << " " << text;
        }
    }
}

}  // namespace
