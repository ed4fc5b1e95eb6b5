#pragma once

// Builds JRA#UMAJ.DAT records from values, through the record layout: no offsets are counted here.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/records/cp932.hpp"
#include "core/records/layout_umaj.hpp"
#include "core/records/layouts.hpp"

class UmajRecord {
  public:
    // A blank record: every text field blank, every placing count 0, the line end in place.
    explicit UmajRecord(std::string_view umacode = "00000000")
        : bytes_(zelvanor::kUmajLayout.recordLength, ' ') {
        for (int g = 1; g <= zelvanor::kUmajCategories; ++g) counts(g, 0, 0, 0, 0);
        text("lineEnd", "\r\n");
        text("umacode", umacode);
    }

    UmajRecord& text(std::string_view field, std::string_view utf8) {
        zelvanor::writeField(bytes_, zelvanor::kUmajLayout.field(field), utf8);
        return *this;
    }
    UmajRecord& number(std::string_view field, std::int64_t value) {
        zelvanor::writeNumber(bytes_, zelvanor::kUmajLayout.field(field), value);
        return *this;
    }
    UmajRecord& counts(int category, int first, int second, int third, int other) {
        const int values[] = {first, second, third, other};
        for (int k = 1; k <= zelvanor::kUmajCountsPerCategory; ++k) {
            zelvanor::writeNumber(bytes_, zelvanor::umajPlacingField(category, k), values[k - 1]);
        }
        return *this;
    }
    // A field of race history entry `entry` (1 … 5), by its name in kUmajHistoryLayout.
    UmajRecord& history(int entry, std::string_view field, std::string_view utf8) {
        zelvanor::writeField(bytes_, zelvanor::umajHistoryField(entry, field), utf8);
        return *this;
    }
    // Raw bytes into a field of the record, for input that is not valid text.
    UmajRecord& raw(const zelvanor::FieldSpec& field, std::string_view bytes) {
        if (bytes.size() > field.length)
            throw std::invalid_argument("too many bytes for the field");
        bytes_.replace(field.offset, bytes.size(), bytes);
        return *this;
    }

    const std::string& bytes() const { return bytes_; }

  private:
    std::string bytes_;
};

// Writes the records one after the other, then `tail` (e.g. an incomplete record).
inline void writeUmajFile(const std::filesystem::path& path, const std::vector<UmajRecord>& records,
                          std::string_view tail = {}) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const auto& r : records) out << r.bytes();
    out << tail;
}
