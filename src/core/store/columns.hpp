#pragma once

// Column definitions, the values columns hold, and what a value becomes when it is written into a
// column.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace zelvanor {

enum class ColumnType {
    Text,     // text with a maximum length in characters
    Integer,  // 16-bit signed
    Long,     // 32-bit signed
    Single,   // single precision
    Double,
};

struct ColumnDef {
    std::string name;
    ColumnType type;
    int size = 0;  // Text only: maximum length in characters; 0 = unlimited
};

// An index made with its table.
struct IndexSpec {
    std::string_view name;
    std::string_view column;
    bool unique = true;
};

// A column value: null, whole number, real number or text.
using Value = std::variant<std::monostate, std::int64_t, double, std::string>;

// Converts a value for writing into a column of the given definition: 16-bit and 32-bit columns
// take whole numbers rounded to nearest with halves to even, Single columns single precision,
// Text columns text within their size. Throws StoreError when the value does not fit.
Value convertForColumn(const ColumnDef& column, const Value& value);

}  // namespace zelvanor
