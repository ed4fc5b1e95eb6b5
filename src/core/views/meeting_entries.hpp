#pragma once

// A meeting's entries rows as the personas rank them, and the field of one race built from them.
// The verification run and the payback window both rank a race this way, so that the two windows
// never disagree about who ran: tousuu places (never more than a race can hold) filled in entry
// order uma1 … uma18 by the runners whose horse has an entries row.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/tables/racing.hpp"
#include "core/views/persona_ranking.hpp"

namespace zelvanor {

class Database;
struct RaceRow;
class RaceRows;

// uma1 … uma18: the entries of a race row, and the most runners a field holds.
inline constexpr int kRunnerSlots = kPlacesPerRace;

// A runner whose horse has an entries row, with the values stored there (a missing value reads 0).
struct FieldRunner {
    std::int16_t horseNumber = 0;    // WakuUmaNo
    std::int16_t bracketNumber = 0;  // WakuNo
    AbilityValues values;
};

// One meeting's entries rows by horse code. Read in one query and kept sorted for lookup: a seek
// per runner would cost a statement step and a B-tree descent each, eighteen times per race.
// Reading again reuses the storage, so one object serves a run over many meetings.
class MeetingEntries {
  public:
    // Replaces the rows with those of the entries table, which must exist.
    void read(Database& tran, std::string_view entriesTable);
    // No rows: every lookup fails, as for a meeting without an entries table.
    void clear() { rows_.clear(); }
    // The row of the horse, the first one read when the table holds it twice; null without one.
    const FieldRunner* find(std::string_view umacode) const;

  private:
    std::vector<std::pair<std::string, FieldRunner>> rows_;
};

// The horse codes of a race row's entries uma1 … uma18, "" for a place without a horse.
using RaceUmacodes = std::array<std::string, kRunnerSlots>;

// The horse codes of the race's entries.
RaceUmacodes raceUmacodes(const RaceRow& race);
// The same of the race a reader with kEntriesOnDemandPart read last.
RaceUmacodes raceUmacodes(const RaceRows& races);

// The places of a field of tousuu runners: tousuu, but never below 0 nor above 18.
std::size_t fieldPlaces(std::int64_t tousuu);

// The runners of the race found in the entries, in entry order; `found` is emptied first.
void findRunners(const RaceUmacodes& umacodes, const MeetingEntries& entries,
                 std::vector<FieldRunner>& found);

// The persona's ranking of a field of tousuu runners: the fieldPlaces(tousuu) places filled in
// order by the found runners (those beyond the places are left out), places left over blank
// (numbers and value 0), then ranked by rankPlaces. `place` is each place's position before the
// ranking.
void rankField(std::span<const FieldRunner> found, std::int64_t tousuu, Persona persona,
               bool goodGoing, std::vector<RankedPlace>& ranking);

}  // namespace zelvanor
