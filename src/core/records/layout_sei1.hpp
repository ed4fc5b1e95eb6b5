#pragma once

// The results file JRA#SEI1.DAT in detail. kSei1Layout (records/layouts.hpp) lists every field of
// a 1323-byte record in byte order. The results import reads the race's identity and the first
// entries of four payout lists:
//   win list             "winNo1" … "winNo3" (horse number), "winPay1" … "winPay3";
//   place list           "placeNo1" … "placeNo5", "placePay1" … "placePay5";
//   bracket quinella     "bracketFirst1" … 3, "bracketSecond1" … 3 (bracket numbers),
//                        "bracketPay1" … "bracketPay3";
//   quinella             "quinellaFirst1" … 3, "quinellaSecond1" … 3 (horse numbers),
//                        "quinellaPay1" … "quinellaPay3".
// A list entry that is not used is blank. The remaining fields carry race data the program does
// not read; their names say what the sample data puts there: the race's conditions, 25 lap times
// ("lap1" … "lap25", tenths of a second per 200 m) and one 52-byte result per runner
// ("runner1" … "runner18", slot k being horse number k), laid out as kSei1RunnerLayout.

#include <string_view>

#include "core/records/layout.hpp"
#include "core/records/layouts.hpp"

namespace zelvanor {

inline constexpr int kSei1RunnerSlots = 18;
inline constexpr std::size_t kSei1RunnerLength = 52;
inline constexpr int kSei1Laps = 25;

// One runner's result, offsets relative to the entry's start: "position", "bracket",
// "horseNumber", "umacode", "jockeyCode", "weightCarried" (tenths of a kilogram), "abnormalCode"
// ("0" for a normal finish), "finishTime" (minute and tenths of seconds, as in the race history),
// "timeDifference", "corner1" … "corner4", "lastThreeFurlongs" (tenths of a second),
// "popularity", "odds" (win odds in tenths), "bodyWeight" (kg) and "bodyWeightChange".
extern const RecordLayout kSei1RunnerLayout;  // 52 bytes

// The whole result entry of slot `slot` (1 … 18). Throws std::out_of_range otherwise.
const FieldSpec& sei1RunnerField(int slot);

// A field of kSei1RunnerLayout placed within the whole record, for slot `slot`.
// Throws std::out_of_range for an unknown slot or field name.
FieldSpec sei1RunnerSubField(int slot, std::string_view subField);

}  // namespace zelvanor
