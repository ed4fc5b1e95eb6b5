#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace zelvanor {

// One field of a fixed-length record: where it lies and how long it is, in bytes.
struct FieldSpec {
    std::string_view name;
    std::size_t offset;
    std::size_t length;
};

// A record file's layout, described once and used to read records, to write test fixtures and
// to generate sample data.
struct RecordLayout {
    std::string_view fileName;  // e.g. "JRA#KISI.DAT"
    std::size_t recordLength;   // bytes, line end included
    std::span<const FieldSpec> fields;

    // The field of that name; throws std::out_of_range for an unknown name.
    const FieldSpec& field(std::string_view name) const;
    // A field of this layout, which describes a group of bytes within a larger record, placed at
    // that group's position `group` in the record.
    FieldSpec placedIn(const FieldSpec& group, std::string_view name) const;
};

}  // namespace zelvanor
