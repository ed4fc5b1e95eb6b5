#pragma once

// Jockey (JRA#KISI.DAT) and trainer (JRA#CHOK.DAT) records built from values through their
// layouts, and record files made of them.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "core/records/cp932.hpp"
#include "core/records/layout.hpp"

namespace zelvanor::fixture {

class PeopleRecord {
  public:
    // Every field blank, every count 0, and the line end in place.
    explicit PeopleRecord(const RecordLayout& layout)
        : layout_(&layout), bytes_(layout.recordLength, ' ') {
        for (const FieldSpec& f : layout.fields) {
            if (isCount(f)) writeNumber(bytes_, f, 0);
        }
        bytes_.replace(layout.recordLength - 2, 2, "\r\n");
    }

    PeopleRecord& text(std::string_view field, std::string_view value) {
        writeField(bytes_, layout_->field(field), value);
        return *this;
    }
    PeopleRecord& number(std::string_view field, std::int64_t value) {
        writeNumber(bytes_, layout_->field(field), value);
        return *this;
    }
    // Counts 1, 2, … of a group, as many as given.
    PeopleRecord& counts(std::string_view group, std::span<const std::int64_t> values) {
        int k = 0;
        for (std::int64_t v : values) number(std::string(group) + "." + std::to_string(++k), v);
        return *this;
    }
    PeopleRecord& counts(std::string_view group, std::initializer_list<std::int64_t> values) {
        return counts(group, std::span<const std::int64_t>(values.begin(), values.size()));
    }

    const RecordLayout& layout() const { return *layout_; }
    const std::string& bytes() const { return bytes_; }

  private:
    // A count is a part named group + "." + digit.
    static bool isCount(const FieldSpec& f) {
        const auto dot = f.name.find('.');
        return dot != std::string_view::npos && dot + 2 == f.name.size() && f.name.back() >= '1' &&
               f.name.back() <= '9';
    }

    const RecordLayout* layout_;
    std::string bytes_;
};

// Writes the records one after the other, then `tail` (e.g. the start of a cut-off record).
inline void writeRecordFile(const std::filesystem::path& file,
                            std::span<const PeopleRecord> records, std::string_view tail = {}) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const PeopleRecord& r : records) out << r.bytes();
    out << tail;
}

}  // namespace zelvanor::fixture
