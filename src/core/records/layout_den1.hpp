#pragma once

// The race card file JRA#DEN1.DAT in detail. kDen1Layout (records/layouts.hpp) lists every field
// of a 584-byte record in byte order, the runner entries as "uma1" … "uma18" (slot k is horse
// number k). Each entry is one 23-byte text laid out as kDen1RunnerLayout; the race table stores
// it whole and the engine and the race card take it apart.

#include <string_view>

#include "core/records/layout.hpp"
#include "core/records/layouts.hpp"

namespace zelvanor {

inline constexpr int kDen1RunnerSlots = 18;
inline constexpr std::size_t kDen1RunnerLength = 23;

// One runner entry, offsets relative to the entry's start: "WakuNo" (bracket number), "umacode",
// "seibetsu", "blinker" ("0" for none), "futan" (weight carried, tenths of a kilogram),
// "CodeKisi" (jockey code), "spare" (not interpreted) and "chocode" (trainer code).
extern const RecordLayout kDen1RunnerLayout;  // 23 bytes

// The whole runner entry of slot `slot` (1 … 18). Throws std::out_of_range otherwise.
const FieldSpec& den1RunnerField(int slot);

// A field of kDen1RunnerLayout placed within the whole record, for slot `slot`.
// Throws std::out_of_range for an unknown slot or field name.
FieldSpec den1RunnerSubField(int slot, std::string_view subField);

}  // namespace zelvanor
