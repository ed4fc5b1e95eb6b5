#pragma once

// One row of a meeting's race table ("D…") as the program reads it, and the one reader of it.
// The race card, the payback sheet, the verification, the horse window, the result entry and the
// engine all read races through here, so a column is named and converted in one place.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/store/statement.hpp"
#include "core/tables/racing.hpp"

namespace zelvanor {

class Database;

// The results of a race, in the order of kRaceResultColumns.
struct RaceResults {
    std::array<int, 3> placed{};            // Kekka1No … Kekka3No: the first three horse numbers
    std::string bracketPair, quinellaPair;  // KekkaWakNo, KekkaUmaNo: "2 - 3"
    // Kekka1TanAm, Kekka1FukAm … Kekka3FukAm, KekkaWakAm, KekkaUmaAm: win, place ×3, bracket
    // quinella, quinella.
    std::array<std::int64_t, 6> payouts{};
};

struct RaceRow {
    int bango = 0;  // the race number, always read

    // kRaceDayPart: the meeting's day.
    std::string basho, year, kaiji, hiji, month, day, youbi;
    // kRaceTitlePart: what the card's title shows besides the conditions.
    std::string htime, hondai, jouken1, jouken3;
    // kRaceConditionsPart: class, distance, track, grade, field and going.
    std::string jouken41, jouken42, jouken43, jouken44, kyori, track, grade, tousuu;
    int ryoOmo = 1;  // RyoOmo: 1 good going, 2 heavy; a missing value reads 0

    RaceResults results;  // kResultsPart

    // kEntriesPart: uma1 … uma18, each a runner entry (see runner_entry.hpp).
    std::array<std::string, kPlacesPerRace> entries;
};

// What a reader reads of each row; bango always. Reading less is for the runs over many meetings.
enum RacePart : unsigned {
    kRaceDayPart = 1u,
    kRaceTitlePart = 2u,
    kRaceConditionsPart = 4u,
    kResultsPart = 8u,
    kEntriesPart = 16u,
    // The entries are selected but not copied into the row: entry() shows them, for a run that
    // needs them of few races and knows which from the other parts.
    kEntriesOnDemandPart = 32u,
    kRacePart = kRaceDayPart | kRaceTitlePart | kRaceConditionsPart,
    kWholeRace = kRacePart | kResultsPart | kEntriesPart,
};

// Reads rows of one race table, which must exist. Rows are read into the caller's RaceRow, whose
// strings keep their storage from row to row: a run over a season reads tens of thousands.
class RaceRows {
  public:
    RaceRows(Database& tran, std::string_view raceTable, unsigned parts);

    // The race with bango = number; false, the row left as it was, when the table holds none.
    bool find(int number, RaceRow& row);
    // The meeting's races 1 to 12 in race order, one per call (rows of other numbers passed
    // over); false after the last.
    bool next(RaceRow& row);
    // With kEntriesOnDemandPart: entry uma<place> (1 … 18) of the row next() read last, valid
    // until the next call.
    std::string_view entry(int place) const;

  private:
    void fill(const Statement& st, RaceRow& row) const;
    Database& tran_;
    std::string select_;  // the columns and the table, without a WHERE
    unsigned parts_;
    int entriesColumn_;  // where uma1 stands among the selected columns
    std::optional<Statement> byNumber_, inOrder_;
};

// The race of that number from the table, or nothing when the table holds none.
std::optional<RaceRow> readRaceRow(Database& tran, std::string_view raceTable, int number,
                                   unsigned parts = kWholeRace);

}  // namespace zelvanor
