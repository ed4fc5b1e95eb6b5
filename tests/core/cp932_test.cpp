#include "core/records/cp932.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "core/records/numeric.hpp"

namespace zelvanor {
namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";

struct DecodeCase {
    const char* label;
    std::string bytes;
    std::string expected;
};

TEST(DecodeCp932, DecodesEachByteSequence) {
    const std::string fffd = kReplacement;
    const DecodeCase cases[] = {
        {"empty", "", ""},
        {"ascii", "AB 12", "AB 12"},
        {"hiragana", "\x82\xA0\x82\xA2", "あい"},
        {"half-width katakana", "\xB1\xB2\xDF", "ｱｲﾟ"},
        {"NEC circled digit", "\x87\x40", "①"},
        {"NEC roman numeral", "\x87\x55", "Ⅱ"},
        {"wave dash maps to full-width tilde", "\x81\x60", "\xEF\xBD\x9E"},
        {"0x5C second byte of so", "\x83\x5CX", "ソX"},
        {"0x5C second byte of hyou", "\x95\x5C\x8E\xA6", "表示"},
        {"invalid single byte mid-field", "A\x80Z", "A" + fffd + "Z"},
        {"unassigned pair resumes at second byte", "\x85\x40", fffd + "@"},
        {"lead byte with bad trail keeps the trail", "\x81\x20X", fffd + " X"},
        {"lead byte cut at the end", "AB\x82", "AB" + fffd},
        {"invalid bytes in a row", "\xFD\xFE\xFF", fffd + fffd + fffd},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decodeCp932(c.bytes), c.expected) << c.label;
    }
}

TEST(DecodeCp932, LargeFieldDecodesWhole) {
    std::string bytes;
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        bytes += "\x95\x5C\xB1z";
        expected += "表ｱz";
    }
    EXPECT_EQ(decodeCp932(bytes), expected);
}

TEST(EncodeCp932, RoundTripsMixedText) {
    const std::string text = "ｱｲｳ漢字①Ⅱ～ソ表ABC 123ー";
    const std::string bytes = encodeCp932(text);
    EXPECT_EQ(bytes.substr(0, 3), "\xB1\xB2\xB3");
    EXPECT_NE(bytes.find("\x87\x40\x87\x55\x81\x60\x83\x5C\x95\x5C"), std::string::npos);
    EXPECT_EQ(decodeCp932(bytes), text);
}

TEST(EncodeCp932, RejectsCharactersOutsideCp932) {
    EXPECT_THROW(encodeCp932("A€"), std::invalid_argument);
    EXPECT_THROW(encodeCp932("\xF0\x9F\x90\x8E"), std::invalid_argument);  // U+1F40E
    EXPECT_THROW(encodeCp932("\xE3\x81"), std::invalid_argument);          // truncated UTF-8
}

TEST(CharCount, CountsCodePoints) {
    EXPECT_EQ(charCount(""), 0u);
    EXPECT_EQ(charCount("AB"), 2u);
    EXPECT_EQ(charCount("Aｱあ①"), 4u);
    EXPECT_EQ(charCount("\xF0\x9F\x90\x8Ex"), 2u);
    // A full-width field of 8 bytes decodes to 4 characters.
    EXPECT_EQ(charCount(decodeCp932("\x83\x5C\x83\x5C\x95\x5C\x95\x5C")), 4u);
}

TEST(DecodeField, DecodesOnlyTheFieldAndStopsAtRecordEnd) {
    // "あい" then "XYZ": a field that cuts "い" in half must not borrow from the next field.
    const std::string record = "\x82\xA0\x82\xA2XYZ";
    EXPECT_EQ(decodeField(record, {"whole", 0, 4}), "あい");
    EXPECT_EQ(decodeField(record, {"cut", 0, 3}), std::string("あ") + kReplacement);
    EXPECT_EQ(decodeField(record, {"tail", 4, 3}), "XYZ");
    EXPECT_EQ(decodeField(record, {"past end", 5, 10}), "YZ");
    EXPECT_EQ(decodeField(record, {"beyond", 7, 2}), "");
    EXPECT_EQ(decodeField(record, {"far beyond", 100, 2}), "");
}

TEST(WriteField, EncodesLeftAlignsAndPads) {
    std::string record(10, '.');
    writeField(record, {"name", 2, 6}, "あX");
    EXPECT_EQ(record, "..\x82\xA0X   ..");
    EXPECT_EQ(decodeField(record, {"name", 2, 6}), "あX   ");

    writeField(record, {"name", 2, 6}, "ｱ", '*');
    EXPECT_EQ(record, "..\xB1*****..");

    writeField(record, {"name", 2, 6}, "表表表");  // exactly full
    EXPECT_EQ(decodeField(record, {"name", 2, 6}), "表表表");
}

TEST(WriteField, RejectsTextTooLongOrFieldOutsideRecord) {
    std::string record(10, ' ');
    const std::string before = record;
    EXPECT_THROW(writeField(record, {"name", 2, 6}, "あいうえ"), std::invalid_argument);
    EXPECT_THROW(writeField(record, {"name", 6, 6}, "A"), std::out_of_range);
    EXPECT_THROW(writeField(record, {"name", 2, 6}, "€"), std::invalid_argument);
    EXPECT_EQ(record, before);
}

TEST(WriteNumber, WritesZeroPaddedDigitsThatReadBack) {
    struct Case {
        std::int64_t value;
        std::size_t length;
        std::string expected;
    };
    const Case cases[] = {
        {42, 5, "00042"},
        {0, 3, "000"},
        {123, 3, "123"},
        {1234567890123, 13, "1234567890123"},
    };
    for (const auto& c : cases) {
        std::string record(c.length + 2, ' ');
        writeNumber(record, {"n", 1, c.length}, c.value);
        EXPECT_EQ(record, " " + c.expected + " ") << c.value;
        EXPECT_EQ(numericValue(record.substr(1, c.length)), c.value);
    }
}

// The table decoder against iconv itself: every sequence of one and two bytes, and many longer
// ones where lead bytes, trail bytes, invalid bytes and ASCII meet.
TEST(DecodeCp932, TheTableDecodesEveryInputAsIconvDoes) {
    int differences = 0;
    const auto check = [&](const std::string& bytes) {
        const std::string table = decodeCp932(bytes);
        const std::string iconv = decodeCp932WithIconv(bytes);
        if (table != iconv && ++differences <= 5) {
            std::string hex;
            for (const unsigned char b : bytes) hex += std::to_string(b) + " ";
            ADD_FAILURE() << "bytes " << hex << ": table \"" << table << "\", iconv \"" << iconv
                          << "\"";
        }
    };
    for (int a = 0; a < 256; ++a) {
        check(std::string(1, static_cast<char>(a)));
        for (int b = 0; b < 256; ++b) check({static_cast<char>(a), static_cast<char>(b)});
    }
    // Bytes drawn mostly from the interesting ranges: lead bytes, trail bytes, edges, ASCII.
    const unsigned char pool[] = {0x00, 0x20, 0x3F, 0x40, 0x41, 0x7E, 0x7F, 0x80, 0x81,
                                  0x82, 0x87, 0x9F, 0xA0, 0xA1, 0xDF, 0xE0, 0xEA, 0xED,
                                  0xEE, 0xF0, 0xF9, 0xFA, 0xFC, 0xFD, 0xFE, 0xFF};
    std::uint32_t state = 2463534242u;  // xorshift: the same sequences every run
    const auto next = [&] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    for (int i = 0; i < 100000; ++i) {
        std::string bytes(2 + next() % 6, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(next() % 3 == 0 ? next() % 256 : pool[next() % sizeof pool]);
        }
        check(bytes);
    }
    EXPECT_EQ(differences, 0);
}

TEST(WriteNumber, RejectsWhatDoesNotFit) {
    std::string record(6, ' ');
    EXPECT_THROW(writeNumber(record, {"n", 0, 3}, 1000), std::invalid_argument);
    EXPECT_THROW(writeNumber(record, {"n", 0, 3}, -1), std::invalid_argument);
    EXPECT_THROW(writeNumber(record, {"n", 4, 3}, 1), std::out_of_range);
    EXPECT_EQ(record, "      ");
}

}  // namespace
}  // namespace zelvanor
