#include "core/records/layout_sei1.hpp"

#include <iterator>
#include <stdexcept>
#include <string>

namespace zelvanor {

namespace {

constexpr std::size_t kRecordLength = 1323;

// JRA#SEI1.DAT: one run race per record.
constexpr FieldSpec kFields[] = {
    {"basho", 0, 2},  // racecourse code
    {"year", 2, 2},
    {"kaiji", 4, 1},  // meeting number
    {"hiji", 5, 1},   // day within the meeting
    {"bango", 6, 2},  // race number
    {"month", 8, 2},
    {"day", 10, 2},
    {"youbi", 12, 1},    // day code
    {"jouken1", 13, 2},  // race type
    {"jouken2", 15, 3},  // class
    {"nkai", 18, 3},
    {"jouken3", 21, 1},  // weight rule
    {"kyori", 22, 4},    // metres
    {"track", 26, 2},
    {"hondai", 28, 60},  // race name, full-width
    {"raceSymbol", 88, 3},
    {"grade", 91, 1},
    {"weather", 92, 1},
    {"going", 93, 1},
    {"tousuu", 94, 2},  // number of runners
    {"honshou1", 96, 7},
    {"honshou2", 103, 7},
    {"honshou3", 110, 7},
    {"honshou4", 117, 7},
    {"honshou5", 124, 7},
    {"honshou6", 131, 7},
    {"honshou7", 138, 7},
    {"fukashou1", 145, 6},
    {"fukashou2", 151, 6},
    {"fukashou3", 157, 6},
    {"fukashou4", 163, 6},
    {"fukashou5", 169, 6},
    // Win list: horse number and payout.
    {"winNo1", 175, 2},
    {"winPay1", 177, 7},
    {"winNo2", 184, 2},
    {"winPay2", 186, 7},
    {"winNo3", 193, 2},
    {"winPay3", 195, 7},
    // Place list: horse number and payout.
    {"placeNo1", 202, 2},
    {"placePay1", 204, 7},
    {"placeNo2", 211, 2},
    {"placePay2", 213, 7},
    {"placeNo3", 220, 2},
    {"placePay3", 222, 7},
    {"placeNo4", 229, 2},
    {"placePay4", 231, 7},
    {"placeNo5", 238, 2},
    {"placePay5", 240, 7},
    // Bracket quinella list: two bracket numbers and the payout.
    {"bracketFirst1", 247, 1},
    {"bracketSecond1", 248, 1},
    {"bracketPay1", 249, 7},
    {"bracketFirst2", 256, 1},
    {"bracketSecond2", 257, 1},
    {"bracketPay2", 258, 7},
    {"bracketFirst3", 265, 1},
    {"bracketSecond3", 266, 1},
    {"bracketPay3", 267, 7},
    // Quinella list: two horse numbers and the payout.
    {"quinellaFirst1", 274, 2},
    {"quinellaSecond1", 276, 2},
    {"quinellaPay1", 278, 8},
    {"quinellaFirst2", 286, 2},
    {"quinellaSecond2", 288, 2},
    {"quinellaPay2", 290, 8},
    {"quinellaFirst3", 298, 2},
    {"quinellaSecond3", 300, 2},
    {"quinellaPay3", 302, 8},
    {"lap1", 310, 3},
    {"lap2", 313, 3},
    {"lap3", 316, 3},
    {"lap4", 319, 3},
    {"lap5", 322, 3},
    {"lap6", 325, 3},
    {"lap7", 328, 3},
    {"lap8", 331, 3},
    {"lap9", 334, 3},
    {"lap10", 337, 3},
    {"lap11", 340, 3},
    {"lap12", 343, 3},
    {"lap13", 346, 3},
    {"lap14", 349, 3},
    {"lap15", 352, 3},
    {"lap16", 355, 3},
    {"lap17", 358, 3},
    {"lap18", 361, 3},
    {"lap19", 364, 3},
    {"lap20", 367, 3},
    {"lap21", 370, 3},
    {"lap22", 373, 3},
    {"lap23", 376, 3},
    {"lap24", 379, 3},
    {"lap25", 382, 3},
    {"runner1", 385, 52},
    {"runner2", 437, 52},
    {"runner3", 489, 52},
    {"runner4", 541, 52},
    {"runner5", 593, 52},
    {"runner6", 645, 52},
    {"runner7", 697, 52},
    {"runner8", 749, 52},
    {"runner9", 801, 52},
    {"runner10", 853, 52},
    {"runner11", 905, 52},
    {"runner12", 957, 52},
    {"runner13", 1009, 52},
    {"runner14", 1061, 52},
    {"runner15", 1113, 52},
    {"runner16", 1165, 52},
    {"runner17", 1217, 52},
    {"runner18", 1269, 52},
    {"lineEnd", 1321, 2},
};

constexpr std::size_t kFirstRunnerIndex = std::size(kFields) - 1 - kSei1RunnerSlots;

constexpr FieldSpec kRunnerFields[] = {
    {"position", 0, 2},        {"bracket", 2, 1},
    {"horseNumber", 3, 2},     {"umacode", 5, 8},
    {"jockeyCode", 13, 4},     {"weightCarried", 17, 3},
    {"abnormalCode", 20, 1},   {"finishTime", 21, 4},
    {"timeDifference", 25, 4}, {"corner1", 29, 2},
    {"corner2", 31, 2},        {"corner3", 33, 2},
    {"corner4", 35, 2},        {"lastThreeFurlongs", 37, 3},
    {"popularity", 40, 2},     {"odds", 42, 4},
    {"bodyWeight", 46, 3},     {"bodyWeightChange", 49, 3},
};

static_assert(kFields[kFirstRunnerIndex].offset == 385);
static_assert(kFields[std::size(kFields) - 1].offset + 2 == kRecordLength);
static_assert(kRunnerFields[std::size(kRunnerFields) - 1].offset + 3 == kSei1RunnerLength);

}  // namespace

constinit const RecordLayout kSei1Layout{"JRA#SEI1.DAT", kRecordLength, kFields};
constinit const RecordLayout kSei1RunnerLayout{"JRA#SEI1.DAT", kSei1RunnerLength, kRunnerFields};

const FieldSpec& sei1RunnerField(int slot) {
    if (slot < 1 || slot > kSei1RunnerSlots) {
        throw std::out_of_range("no result slot " + std::to_string(slot));
    }
    return kFields[kFirstRunnerIndex + static_cast<std::size_t>(slot - 1)];
}

FieldSpec sei1RunnerSubField(int slot, std::string_view subField) {
    return kSei1RunnerLayout.placedIn(sei1RunnerField(slot), subField);
}

}  // namespace zelvanor
