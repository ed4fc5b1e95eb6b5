#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/records/layout.hpp"

namespace zelvanor {

// Code page 932 bytes to UTF-8. An invalid byte becomes U+FFFD and decoding resumes at the byte
// after it; a lead byte cut off by the end of the input also becomes U+FFFD. Callers decode each
// field on its own so that a damaged field never swallows the first byte of the next one.
std::string decodeCp932(std::string_view bytes);
// Decodes onto the end of `out`, as decodeCp932 would.
void appendCp932(std::string& out, std::string_view bytes);
// Whether every byte is part of a code page 932 character: decodeCp932 would put no U+FFFD in.
bool decodesAsText(std::string_view bytes);
// The same through iconv call by call: what decodeCp932's table is made from, and checked against.
std::string decodeCp932WithIconv(std::string_view bytes);

// UTF-8 to code page 932. Throws std::invalid_argument for a character code page 932 cannot hold
// (or for malformed UTF-8).
std::string encodeCp932(std::string_view utf8);

// Number of code points in UTF-8 text: a full-width character counts as one.
std::size_t charCount(std::string_view utf8);

// The field's bytes of a record, decoded. A field running past the end of the record decodes the
// bytes that exist (none if it starts past the end).
std::string decodeField(std::string_view record, const FieldSpec& field);
// Decodes the field onto the end of `out`, as decodeField would.
void appendField(std::string& out, std::string_view record, const FieldSpec& field);

// Writes text into a field, encoded to code page 932, left-aligned and padded with `pad`.
// Throws std::invalid_argument if the encoded text is longer than the field, and
// std::out_of_range if the field does not lie within the record.
void writeField(std::string& record, const FieldSpec& field, std::string_view utf8, char pad = ' ');

// Writes a number into a field as right-aligned, zero-padded decimal digits. Throws
// std::invalid_argument for a negative value or one with more digits than the field holds, and
// std::out_of_range if the field does not lie within the record.
void writeNumber(std::string& record, const FieldSpec& field, std::int64_t value);

}  // namespace zelvanor
