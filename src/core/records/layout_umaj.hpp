#pragma once

// The horse file JRA#UMAJ.DAT in detail. kUmajLayout (records/layouts.hpp) lists every field of a
// 1825-byte record in byte order; the repeated parts are reached through the helpers below so that
// no reader has to count offsets:
//   - placing counts: 23 categories of four 3-digit counts (first, second, third, other places),
//     fields "placing01First" … "placing23Other";
//   - race history: five 136-byte entries "history1" (newest) … "history5", each laid out as
//     kUmajHistoryLayout;
//   - further entries: "furtherEntries", 50 entries laid out as kUmajFurtherEntryLayout.

#include <cstddef>
#include <string_view>

#include "core/records/layout.hpp"
#include "core/records/layouts.hpp"

namespace zelvanor {

inline constexpr int kUmajCategories = 23;
inline constexpr int kUmajCountsPerCategory = 4;  // first, second, third, other
inline constexpr int kUmajHistoryEntries = 5;
inline constexpr int kUmajFurtherEntries = 50;

// One race history entry, offsets relative to the entry's start. The fields raceName, otherHorse
// and jockeyName are full-width text; the fields named "unread…" (by byte offset) carry data no
// part of the program interprets.
extern const RecordLayout kUmajHistoryLayout;  // 136 bytes

// One of the 50 further entries, offsets relative to the entry's start (fields "item1" … "item6").
extern const RecordLayout kUmajFurtherEntryLayout;  // 10 bytes

// The count `count` (1 first, 2 second, 3 third, 4 other places) of placing category `category`
// (1 … 23). Throws std::out_of_range outside those ranges.
const FieldSpec& umajPlacingField(int category, int count);

// The whole of race history entry `entry` (1 newest … 5). Throws std::out_of_range otherwise.
const FieldSpec& umajHistoryEntryField(int entry);

// A field of kUmajHistoryLayout placed within the whole record, for history entry `entry`.
// Throws std::out_of_range for an unknown entry or field name.
FieldSpec umajHistoryField(int entry, std::string_view subField);

}  // namespace zelvanor
