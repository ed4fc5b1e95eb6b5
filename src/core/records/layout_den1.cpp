#include "core/records/layout_den1.hpp"

#include <iterator>
#include <stdexcept>
#include <string>

namespace zelvanor {

namespace {

constexpr std::size_t kRecordLength = 584;

// JRA#DEN1.DAT: one race per record. Every field but the line end is stored in the race table
// column of the same name.
// clang-format off
constexpr FieldSpec kFields[] = {
    {"basho", 0, 2},      // racecourse code
    {"year", 2, 2},
    {"kaiji", 4, 1},      // meeting number
    {"hiji", 5, 1},       // day within the meeting
    {"bango", 6, 2},      // race number
    {"month", 8, 2},
    {"day", 10, 2},
    {"youbi", 12, 1},     // day code
    {"htime", 13, 4},     // post time hhmm
    {"hondai", 17, 60},   // race name, full-width
    {"nkai", 77, 3},
    {"jouken1", 80, 2},   // race type
    {"jouken2", 82, 3},   // class
    {"jouken3", 85, 1},   // weight rule
    {"jouken41", 86, 3},  // conditions for ages 3, 4, 5, 6 and over
    {"jouken42", 89, 3},
    {"jouken43", 92, 3},
    {"jouken44", 95, 3},
    {"kyori", 98, 4},     // metres
    {"track", 102, 2},
    {"grade", 104, 1},
    {"tousuu", 105, 2},   // number of runners
    {"honshou1", 107, 7},
    {"honshou2", 114, 7},
    {"honshou3", 121, 7},
    {"honshou4", 128, 7},
    {"honshou5", 135, 7},
    {"fukashou1", 142, 6},
    {"fukashou2", 148, 6},
    {"fukashou3", 154, 6},
    {"kyousouy", 160, 1},
    {"recYear", 161, 2},
    {"recKaiji", 163, 1},
    {"recHiji", 164, 1},
    {"recBango", 165, 2},
    {"recKubun", 167, 1},
    {"uma1", 168, 23},
    {"uma2", 191, 23},
    {"uma3", 214, 23},
    {"uma4", 237, 23},
    {"uma5", 260, 23},
    {"uma6", 283, 23},
    {"uma7", 306, 23},
    {"uma8", 329, 23},
    {"uma9", 352, 23},
    {"uma10", 375, 23},
    {"uma11", 398, 23},
    {"uma12", 421, 23},
    {"uma13", 444, 23},
    {"uma14", 467, 23},
    {"uma15", 490, 23},
    {"uma16", 513, 23},
    {"uma17", 536, 23},
    {"uma18", 559, 23},
    {"lineEnd", 582, 2},
};

constexpr FieldSpec kRunnerFields[] = {
    {"WakuNo", 0, 1},     // bracket number
    {"umacode", 1, 8},    // horse code
    {"seibetsu", 9, 1},   // sex code
    {"blinker", 10, 1},   // "0": none; anything else: blinkers
    {"futan", 11, 3},     // weight carried, tenths of a kilogram
    {"CodeKisi", 14, 4},  // jockey code
    {"spare", 18, 1},     // not interpreted
    {"chocode", 19, 4},   // trainer code
};
// clang-format on

constexpr std::size_t kFirstRunnerIndex = std::size(kFields) - 1 - kDen1RunnerSlots;

static_assert(kFields[kFirstRunnerIndex].offset == 168);
static_assert(kFields[kFirstRunnerIndex + kDen1RunnerSlots - 1].offset == 559);
static_assert(kFields[std::size(kFields) - 1].offset + 2 == kRecordLength);

}  // namespace

constinit const RecordLayout kDen1Layout{"JRA#DEN1.DAT", kRecordLength, kFields};
constinit const RecordLayout kDen1RunnerLayout{"JRA#DEN1.DAT", kDen1RunnerLength, kRunnerFields};

const FieldSpec& den1RunnerField(int slot) {
    if (slot < 1 || slot > kDen1RunnerSlots) {
        throw std::out_of_range("no runner slot " + std::to_string(slot));
    }
    return kFields[kFirstRunnerIndex + static_cast<std::size_t>(slot - 1)];
}

FieldSpec den1RunnerSubField(int slot, std::string_view subField) {
    return kDen1RunnerLayout.placedIn(den1RunnerField(slot), subField);
}

}  // namespace zelvanor
