#pragma once

// The runner entry of a race row (uma1 … uma18) taken apart: the one reader of its fields for the
// race card, the engine and the import. The entry is addressed by character, as the record files
// address their texts; its fields are those of kDen1RunnerLayout.

#include <cstdint>
#include <string_view>

namespace zelvanor {

// The fields of one entry. The texts view the entry, which must outlive them. A field the entry is
// too short to hold reads as the characters it does hold (possibly none): a short, blank or empty
// entry is a runner without a horse, never an error.
struct RunnerEntry {
    std::string_view bracket;      // WakuNo, as stored: "0" … "8", or what else stands there
    std::string_view umacode;      // the horse code, 8 characters when there is a horse
    std::string_view sexCode;      // seibetsu
    std::string_view blinker;      // "0" for none
    std::string_view weightText;   // futan, tenths of a kilogram
    std::string_view jockeyCode;   // CodeKisi
    std::string_view trainerCode;  // chocode
    std::int64_t bracketNumber = 0;  // the numeric value of the bracket (0 for none or not digits)
    std::int64_t weight = 0;         // the numeric value of the weight, tenths of a kilogram
    bool hasHorse = false;           // the horse code is there in full and not blank

    // The race card hides the row of a place without a runner: its bracket is "0", or the entry
    // holds no bracket at all (an empty or blank place).
    bool isRunner() const;
};

RunnerEntry readRunnerEntry(std::string_view entry);

}  // namespace zelvanor
