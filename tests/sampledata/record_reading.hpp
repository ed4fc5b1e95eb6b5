#pragma once

// The checks read the generated files only through the record layouts, as the importers will.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/records/cp932.hpp"
#include "core/records/layout.hpp"
#include "core/records/numeric.hpp"

namespace zelvanor::sample {

inline std::vector<std::string_view> recordsOf(const std::string& file,
                                               const RecordLayout& layout) {
    std::vector<std::string_view> out;
    for (std::size_t at = 0; at + layout.recordLength <= file.size(); at += layout.recordLength) {
        out.push_back(std::string_view(file).substr(at, layout.recordLength));
    }
    return out;
}

inline std::string text(std::string_view record, const FieldSpec& field) {
    return decodeField(record, field);
}
inline std::string text(std::string_view record, const RecordLayout& layout,
                        std::string_view name) {
    return text(record, layout.field(name));
}
inline std::int64_t value(std::string_view record, const FieldSpec& field) {
    return numericValue(text(record, field));
}
inline std::int64_t value(std::string_view record, const RecordLayout& layout,
                          std::string_view name) {
    return value(record, layout.field(name));
}

}  // namespace zelvanor::sample
