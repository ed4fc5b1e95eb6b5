#pragma once

// Race card records (JRA#DEN1.DAT) built from values through the record layout, and files made
// of them.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/records/cp932.hpp"
#include "core/records/layout_den1.hpp"
#include "core/records/layouts.hpp"

namespace zelvanor::fixture {

class Den1Record {
  public:
    // A race of the meeting course/yy/mm/dd with every other field blank and no runners.
    Den1Record(std::string_view course, std::string_view yy, std::string_view mm,
               std::string_view dd, int race)
        : bytes_(kDen1Layout.recordLength, ' ') {
        text("lineEnd", "\r\n");
        text("basho", course).text("year", yy).text("month", mm).text("day", dd);
        number("bango", race);
    }

    Den1Record& text(std::string_view field, std::string_view utf8) {
        writeField(bytes_, kDen1Layout.field(field), utf8);
        return *this;
    }
    Den1Record& number(std::string_view field, std::int64_t value) {
        writeNumber(bytes_, kDen1Layout.field(field), value);
        return *this;
    }
    // The runner entry of horse number `slot` (1 … 18).
    Den1Record& runner(int slot, std::string_view umacode, int bracket = 1,
                       std::string_view jockey = "0001", std::string_view trainer = "0002") {
        writeNumber(bytes_, den1RunnerSubField(slot, "WakuNo"), bracket);
        writeField(bytes_, den1RunnerSubField(slot, "umacode"), umacode);
        writeField(bytes_, den1RunnerSubField(slot, "seibetsu"), "1");
        writeField(bytes_, den1RunnerSubField(slot, "blinker"), "0");
        writeNumber(bytes_, den1RunnerSubField(slot, "futan"), 550);
        writeField(bytes_, den1RunnerSubField(slot, "CodeKisi"), jockey);
        writeField(bytes_, den1RunnerSubField(slot, "spare"), "0");
        writeField(bytes_, den1RunnerSubField(slot, "chocode"), trainer);
        return *this;
    }

    // The decoded text of a field, as the race table stores it.
    std::string decoded(std::string_view field) const {
        return decodeField(bytes_, kDen1Layout.field(field));
    }
    const std::string& bytes() const { return bytes_; }

  private:
    std::string bytes_;
};

// Writes the records one after the other, then `tail` (e.g. an incomplete record).
inline void writeDen1File(const std::filesystem::path& path, const std::vector<Den1Record>& records,
                          std::string_view tail = {}) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const auto& r : records) out << r.bytes();
    out << tail;
}

}  // namespace zelvanor::fixture
