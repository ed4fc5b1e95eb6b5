#include "record_builder.hpp"

#include <stdexcept>

#include "core/records/cp932.hpp"

namespace zelvanor::sample {

namespace {

constexpr std::string_view kFullWidthBlankCp932 = "\x81\x40";
constexpr std::string_view kFullWidthBlank = "\u3000";

}  // namespace

RecordBuilder::RecordBuilder(const RecordLayout& layout)
    : layout_(layout), bytes_(layout.recordLength, ' ') {
    bytes_[bytes_.size() - 2] = '\r';
    bytes_[bytes_.size() - 1] = '\n';
}

void RecordBuilder::text(const FieldSpec& field, std::string_view utf8) {
    writeField(bytes_, field, utf8);
}

void RecordBuilder::wide(const FieldSpec& field, std::string_view utf8) {
    std::string encoded = encodeCp932(utf8);
    if (encoded.size() > field.length) {
        throw std::invalid_argument("text too long for field " + std::string(field.name));
    }
    while (encoded.size() + 2 <= field.length) encoded += kFullWidthBlankCp932;
    if (field.offset + field.length > bytes_.size()) {
        throw std::out_of_range("field " + std::string(field.name) + " outside the record");
    }
    bytes_.replace(field.offset, encoded.size(), encoded);
}

void RecordBuilder::number(const FieldSpec& field, std::int64_t value) {
    writeNumber(bytes_, field, value);
}

std::string fullWidthPadded(std::string_view utf8, int chars) {
    std::string out;
    int count = 0;
    std::size_t i = 0;
    while (i < utf8.size() && count < chars) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t width = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        out.append(utf8.substr(i, width));
        i += width;
        ++count;
    }
    for (; count < chars; ++count) out += kFullWidthBlank;
    return out;
}

}  // namespace zelvanor::sample
