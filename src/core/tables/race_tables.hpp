#pragma once

// The tables that hold races and horses: one race table ("D…") and one entries table ("U…") per
// meeting in tran.mdb, and the horse master 競走馬 in mast.mdb, which has the entries' columns.

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "core/store/store.hpp"
#include "core/tables/racing.hpp"

namespace zelvanor {

inline constexpr std::string_view kHorseTable = "競走馬";

std::span<const ColumnDef> raceTableColumns();

// The result columns of a race row: the three places, the bracket quinella and quinella pairs,
// then the payouts (win, three places, bracket quinella, quinella). The results import and the
// race card's result entry write them alike.
inline constexpr std::array<std::string_view, 11> kRaceResultColumns = {
    "Kekka1No",    "Kekka2No",    "Kekka3No",    "KekkaWakNo", "KekkaUmaNo", "Kekka1TanAm",
    "Kekka1FukAm", "Kekka2FukAm", "Kekka3FukAm", "KekkaWakAm", "KekkaUmaAm",
};
// The 89 columns shared by every entries table and 競走馬.
std::span<const ColumnDef> horseTableColumns();

struct MeetingTables {
    std::string race;     // "D" + course + yy + mm + dd
    std::string entries;  // "U" + course + yy + mm + dd
};

// The table names of a meeting. Each part must be exactly two ASCII digits, as the record files
// carry them; anything else throws StoreError, since the names become SQL identifiers.
MeetingTables meetingTables(std::string_view course, std::string_view yy, std::string_view mm,
                            std::string_view dd);

// " WHERE bango BETWEEN 1 AND 12 ORDER BY bango": a meeting's races from its race table, in race
// order, rows of other race numbers passed over.
std::string meetingRacesClause();

// True for a race table name such as D05981003.
bool isRaceTableName(std::string_view name);

// Each creates the table with its columns in order and its unique index, in one transaction.
void createRaceTable(Database& tran, std::string_view name);
void createEntryTable(Database& tran, std::string_view name);
void createHorseTable(Database& mast);

}  // namespace zelvanor
