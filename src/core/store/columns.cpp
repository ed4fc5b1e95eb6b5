#include "core/store/columns.hpp"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <limits>
#include <string>
#include <variant>

#include "core/store/columns_internal.hpp"
#include "core/store/errors.hpp"
#include "core/store/utf8_characters.hpp"

namespace zelvanor {

namespace {

std::string describe(const Value& v) {
    if (std::holds_alternative<std::int64_t>(v)) return std::to_string(std::get<std::int64_t>(v));
    if (std::holds_alternative<double>(v)) return std::to_string(std::get<double>(v));
    if (std::holds_alternative<std::string>(v)) return "\"" + std::get<std::string>(v) + "\"";
    return "Null";
}

// A whole number from a value written into a numeric column: halves go to the even neighbour,
// as the store's 16-bit and 32-bit columns have always rounded.
std::int64_t toWhole(const ColumnDef& column, const Value& value, std::int64_t lo,
                     std::int64_t hi) {
    double d = 0;
    if (std::holds_alternative<std::int64_t>(value)) {
        const auto i = std::get<std::int64_t>(value);
        if (i < lo || i > hi) {
            throw StoreError("列 " + column.name + " に入りきらない値です: " + describe(value));
        }
        return i;
    }
    if (std::holds_alternative<double>(value)) {
        d = std::get<double>(value);
    } else {
        const auto& s = std::get<std::string>(value);
        std::size_t used = 0;
        try {
            d = std::stod(s, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        while (used < s.size() && s[used] == ' ') ++used;
        if (s.empty() || used != s.size()) {
            throw StoreError("列 " + column.name +
                             " に数値でない値は書けません: " + describe(value));
        }
    }
    if (!std::isfinite(d)) {
        throw StoreError("列 " + column.name + " に書けない値です: " + describe(value));
    }
    const double r = std::nearbyint(d);  // default rounding mode: nearest, halves to even
    if (r < static_cast<double>(lo) || r > static_cast<double>(hi)) {
        throw StoreError("列 " + column.name + " に入りきらない値です: " + describe(value));
    }
    return static_cast<std::int64_t>(r);
}

}  // namespace

double toReal(const ColumnDef& column, const Value& value) {
    if (std::holds_alternative<std::int64_t>(value)) {
        return static_cast<double>(std::get<std::int64_t>(value));
    }
    if (std::holds_alternative<double>(value)) return std::get<double>(value);
    const auto& s = std::get<std::string>(value);
    std::size_t used = 0;
    double d = 0;
    try {
        d = std::stod(s, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    while (used < s.size() && s[used] == ' ') ++used;
    if (s.empty() || used != s.size()) {
        throw StoreError("列 " + column.name + " に数値でない値は書けません: " + describe(value));
    }
    return d;
}

Value convertForColumn(const ColumnDef& column, const Value& value) {
    if (std::holds_alternative<std::monostate>(value)) return value;
    switch (column.type) {
        case ColumnType::Integer:
            return toWhole(column, value, std::numeric_limits<std::int16_t>::min(),
                           std::numeric_limits<std::int16_t>::max());
        case ColumnType::Long:
            return toWhole(column, value, std::numeric_limits<std::int32_t>::min(),
                           std::numeric_limits<std::int32_t>::max());
        case ColumnType::Single: {
            const double d = toReal(column, value);
            if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) {
                throw StoreError("列 " + column.name + " に入りきらない値です: " + describe(value));
            }
            return static_cast<double>(static_cast<float>(d));
        }
        case ColumnType::Double:
            return toReal(column, value);
        case ColumnType::Text: {
            std::string s;
            if (std::holds_alternative<std::string>(value)) {
                s = std::get<std::string>(value);
            } else if (std::holds_alternative<std::int64_t>(value)) {
                s = std::to_string(std::get<std::int64_t>(value));
            } else {
                char buf[64];
                std::snprintf(buf, sizeof buf, "%.15g", std::get<double>(value));
                s = buf;
            }
            if (column.size > 0 && utf8Length(s) > static_cast<std::size_t>(column.size)) {
                throw StoreError("列 " + column.name + " (" + std::to_string(column.size) +
                                 " 文字まで) に入りきらない値です: " + describe(value));
            }
            return s;
        }
    }
    return value;
}

}  // namespace zelvanor
