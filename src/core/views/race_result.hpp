#pragma once

// The result of a race as the race card's result frame shows it and the user types it in: the
// first three horse numbers, the bracket quinella and quinella pairs derived from the first two,
// the six payouts, the forecast lines that hit, and storing it all into the race row in the
// columns the results import fills. Shared by the window and the command line.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/views/meetings.hpp"
#include "core/views/race_card.hpp"
#include "core/views/race_forecast.hpp"

namespace zelvanor {

class Database;

inline constexpr std::string_view kResultStoredText = "更新を受け付けました。";
inline constexpr std::string_view kResultRaceGoneText =
    "このレースは出馬表データから削除されているため、結果を記録できませんでした。";

inline constexpr std::size_t kResultPlaces = 3;
// Win, the place payouts of the first, second and third, bracket quinella, quinella.
inline constexpr std::size_t kResultPayouts = 6;
// What the result columns hold for a pair that is not there.
inline constexpr std::string_view kNoResultPair = " ";

// The third place is entered from 8 runners, the quinella from 9.
inline bool showsThirdPlace(int runnerCount) {
    return runnerCount > 7;
}
inline bool showsQuinella(int runnerCount) {
    return runnerCount > 8;
}

// "3 - 12": two numbers without leading zeros, the smaller first.
std::string resultPair(int a, int b);

struct ResultPairs {
    std::string bracket;   // "2 - 3": the brackets of the two horses, in horse-number order
    std::string quinella;  // "3 - 5"
};

// The pairs of the first two places, or both "" unless both places are greater than 0. The
// brackets are those the runner lines show; a horse beyond them has bracket 0, shown as "".
ResultPairs resultPairs(int first, int second, std::span<const RunnerLine> lines);

// Which lines of the persona frames hit: the top line of a persona whose top horse won, and each
// pick equal to the quinella pair. Blank picks (a ticket the field does not form) and blank pairs
// hit nothing.
struct ResultHits {
    std::array<bool, kPersonaCount> top{};
    std::array<std::array<bool, 6>, kPersonaCount> picks{};
};
ResultHits resultHits(const RaceForecast& forecast, std::int64_t firstPlace,
                      std::string_view quinellaPair);

// How the boxes show a stored result: a horse number without leading zero ("" for 0), a payout
// grouped by thousands ("1,230", "" for 0).
std::string placeText(std::int64_t horseNumber);
std::string payoutText(std::int64_t payout);
// A payout box read back: its leading digits, thousands separators allowed ("1,230" is 1230).
std::int64_t payoutValue(std::string_view text);

// What 記録 stores: the boxes' values and the pair texts as shown.
struct RaceResultEntry {
    std::array<std::int64_t, kResultPlaces> placed{};
    std::string bracketPair;
    std::string quinellaPair;
    std::array<std::int64_t, kResultPayouts> payouts{};
};

// The entry of the given places and payouts with the pairs derived from the first two.
RaceResultEntry resultEntry(const std::array<std::int64_t, kResultPlaces>& placed,
                            const std::array<std::int64_t, kResultPayouts>& payouts,
                            std::span<const RunnerLine> lines);

// Why the entry cannot be stored, for the user; "" when it can. A horse number above the field
// names no runner; a payout beyond the column's range would fail the store.
struct ResultProblem {
    std::string message;
    int placeBox = -1;   // the place box at fault, or -1
    int payoutBox = -1;  // the payout box at fault, or -1
};
ResultProblem resultEntryProblem(const RaceResultEntry& entry, int runnerCount);

// Stores the entry into the race row of `raceNumber`, in one transaction, in the columns and
// with the conversions of the results import: the places and payouts as numbers, the bracket pair
// as shown (kNoResultPair when blank), the quinella pair only when the row counts more than 8
// runners (else kNoResultPair). False, storing nothing, when the race row is gone.
bool storeRaceResult(Database& tran, const Meeting& meeting, int raceNumber,
                     const RaceResultEntry& entry);

}  // namespace zelvanor
