#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/records/layout.hpp"

namespace zelvanor::sample {

// One fixed-length record being filled field by field: blanks to begin with, the 2-byte line
// end in place. Text is UTF-8 and written in code page 932.
class RecordBuilder {
  public:
    explicit RecordBuilder(const RecordLayout& layout);

    // Half-width text, left-aligned and padded with blanks.
    void text(const FieldSpec& field, std::string_view utf8);
    void text(std::string_view name, std::string_view utf8) { text(layout_.field(name), utf8); }

    // Full-width text, padded with full-width blanks so that the field decodes to half as many
    // characters as it has bytes.
    void wide(const FieldSpec& field, std::string_view utf8);
    void wide(std::string_view name, std::string_view utf8) { wide(layout_.field(name), utf8); }

    // Zero-padded digits.
    void number(const FieldSpec& field, std::int64_t value);
    void number(std::string_view name, std::int64_t value) { number(layout_.field(name), value); }

    const FieldSpec& field(std::string_view name) const { return layout_.field(name); }
    const std::string& bytes() const { return bytes_; }

  private:
    const RecordLayout& layout_;
    std::string bytes_;
};

// Text of exactly `chars` full-width characters: `utf8` cut or padded with full-width blanks.
std::string fullWidthPadded(std::string_view utf8, int chars);

}  // namespace zelvanor::sample
