#pragma once

// Results records (JRA#SEI1.DAT) built from values through the record layout, and files made of
// them.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/records/cp932.hpp"
#include "core/records/layout_sei1.hpp"
#include "core/records/layouts.hpp"

namespace zelvanor::fixture {

class Sei1Record {
  public:
    // A race of the meeting course/yy/mm/dd with every other field blank: no payouts at all.
    Sei1Record(std::string_view course, std::string_view yy, std::string_view mm,
               std::string_view dd, int race)
        : bytes_(kSei1Layout.recordLength, ' ') {
        text("lineEnd", "\r\n");
        text("basho", course).text("year", yy).text("month", mm).text("day", dd);
        number("bango", race);
    }

    Sei1Record& text(std::string_view field, std::string_view utf8) {
        writeField(bytes_, kSei1Layout.field(field), utf8);
        return *this;
    }
    Sei1Record& number(std::string_view field, std::int64_t value) {
        writeNumber(bytes_, kSei1Layout.field(field), value);
        return *this;
    }
    // Entry k of the win list.
    Sei1Record& win(int k, int horse, std::int64_t payout) {
        return number(name("winNo", k), horse).number(name("winPay", k), payout);
    }
    // Entry k of the place list.
    Sei1Record& place(int k, int horse, std::int64_t payout) {
        return number(name("placeNo", k), horse).number(name("placePay", k), payout);
    }
    // Entry k of the bracket quinella list.
    Sei1Record& bracket(int k, int first, int second, std::int64_t payout) {
        return number(name("bracketFirst", k), first)
            .number(name("bracketSecond", k), second)
            .number(name("bracketPay", k), payout);
    }
    // Entry k of the quinella list.
    Sei1Record& quinella(int k, int first, int second, std::int64_t payout) {
        return number(name("quinellaFirst", k), first)
            .number(name("quinellaSecond", k), second)
            .number(name("quinellaPay", k), payout);
    }

    const std::string& bytes() const { return bytes_; }

  private:
    static std::string name(std::string_view list, int k) {
        return std::string(list) + std::to_string(k);
    }
    std::string bytes_;
};

// Writes the records one after the other, then `tail` (e.g. an incomplete record).
inline void writeSei1File(const std::filesystem::path& path, const std::vector<Sei1Record>& records,
                          std::string_view tail = {}) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const auto& r : records) out << r.bytes();
    out << tail;
}

}  // namespace zelvanor::fixture
