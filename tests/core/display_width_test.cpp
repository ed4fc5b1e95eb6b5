#include "core/records/display_width.hpp"

#include <gtest/gtest.h>

using namespace zelvanor;

namespace {

TEST(DisplayWidth, ColumnsAsAJapaneseTerminalDrawsThem) {
    const struct {
        const char* text;
        std::size_t width;
    } cases[] = {
        {"", 0},
        {"Ab 1", 4},
        {"翠嶺", 4},
        {"ＡＢ", 4},    // full-width Latin
        {"ｱｲｳﾞ", 4},    // half-width katakana and its voicing mark
        {"◎○▲△×", 10},  // the marks, of ambiguous width, all drawn wide
        {"①", 2},
        {"e\xCC\x81", 1},         // e and a combining acute accent
        {"\xF0\x9F\x90\x8E", 2},  // an emoji
        {"A\xFF"
         "B",
         4},  // a stray byte counts as the U+FFFD put in its place
    };
    for (const auto& c : cases) EXPECT_EQ(displayWidth(c.text), c.width) << c.text;
}

TEST(DisplayWidth, IllFormedBytesAreReplacedOneByOne) {
    EXPECT_TRUE(isWellFormedUtf8("翠嶺 ｱ A"));
    const struct {
        const char* text;
        const char* replaced;
    } cases[] = {
        {"A\xFF", "A\xEF\xBF\xBD"},
        {"\xE7\xBF", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // cut off before its third byte
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // overlong
        {"\xED\xA0\x80!", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD!"},                // surrogate
        {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // past U+10FFFF
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(isWellFormedUtf8(c.text));
        const std::string out = withReplacementCharacters(c.text);
        EXPECT_EQ(out, c.replaced);
        EXPECT_TRUE(isWellFormedUtf8(out));
        EXPECT_EQ(displayWidth(out), displayWidth(c.text));
    }
}

}  // namespace
