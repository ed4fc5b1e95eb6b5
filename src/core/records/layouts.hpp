#pragma once

// The record layouts of the five files the data service ships, each described once, as data.
// The same descriptions read records, write test fixtures and generate sample data.

#include "core/records/layout.hpp"

namespace zelvanor {

extern const RecordLayout kUmajLayout;  // JRA#UMAJ.DAT, horses, 1825 bytes
extern const RecordLayout kDen1Layout;  // JRA#DEN1.DAT, race cards, 584 bytes
extern const RecordLayout kSei1Layout;  // JRA#SEI1.DAT, results, 1323 bytes
extern const RecordLayout kKisiLayout;  // JRA#KISI.DAT, jockeys, 1065 bytes
extern const RecordLayout kChokLayout;  // JRA#CHOK.DAT, trainers, 811 bytes

}  // namespace zelvanor
