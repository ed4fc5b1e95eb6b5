#include "core/views/race_result.hpp"

#include <algorithm>
#include <limits>

#include "core/records/format.hpp"
#include "core/records/numeric.hpp"
#include "core/store/store.hpp"
#include "core/tables/race_row.hpp"
#include "core/tables/race_tables.hpp"

namespace zelvanor {

namespace {

constexpr std::array<std::string_view, kResultPlaces> kPlaceNames = {"１着", "２着", "３着"};
constexpr std::array<std::string_view, kResultPayouts> kPayoutNames = {
    "単賞", "１着の複勝", "２着の複勝", "３着の複勝", "枠連", "馬連"};

// The payout columns are 32-bit.
constexpr std::int64_t kLargestPayout = std::numeric_limits<std::int32_t>::max();

std::string numberText(std::int64_t n) {
    return formatNumber(static_cast<double>(n), "##");
}

bool isBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

// A pair as stored: what the box shows when it holds more than a blank.
std::string storedPair(std::string_view shown) {
    return shown > kNoResultPair ? std::string(shown) : std::string(kNoResultPair);
}

int bracketOf(int horse, std::span<const RunnerLine> lines) {
    if (horse < 1 || horse > static_cast<int>(lines.size())) return 0;
    return static_cast<int>(numericValue(lines[static_cast<std::size_t>(horse - 1)].bracket));
}

}  // namespace

std::string resultPair(int a, int b) {
    if (a > b) std::swap(a, b);
    return numberText(a) + " - " + numberText(b);
}

ResultPairs resultPairs(int first, int second, std::span<const RunnerLine> lines) {
    if (first <= 0 || second <= 0) return {};
    const int lo = std::min(first, second);
    const int hi = std::max(first, second);
    // In horse-number order, as the brackets are drawn: the lower horse never has the higher one.
    return {numberText(bracketOf(lo, lines)) + " - " + numberText(bracketOf(hi, lines)),
            resultPair(lo, hi)};
}

ResultHits resultHits(const RaceForecast& forecast, std::int64_t firstPlace,
                      std::string_view quinellaPair) {
    ResultHits hits;
    for (std::size_t p = 0; p < forecast.personas.size(); ++p) {
        const PersonaForecast& f = forecast.personas[p];
        // Compared as numbers, so that a winner typed with a leading zero still counts.
        const std::string& top = f.top[0].horseNumber;
        hits.top[p] = firstPlace > 0 && !top.empty() && numericValue(top) == firstPlace;
        for (std::size_t k = 0; k < f.picks.size(); ++k) {
            hits.picks[p][k] = !isBlank(quinellaPair) && f.picks[k] == quinellaPair;
        }
    }
    return hits;
}

std::string placeText(std::int64_t horseNumber) {
    return numberText(horseNumber);
}

std::string payoutText(std::int64_t payout) {
    return formatNumber(static_cast<double>(payout), "#,###");
}

std::int64_t payoutValue(std::string_view text) {
    std::string digits;
    for (const char c : text) {
        if (c != ',') digits += c;
    }
    return numericValue(digits);
}

RaceResultEntry resultEntry(const std::array<std::int64_t, kResultPlaces>& placed,
                            const std::array<std::int64_t, kResultPayouts>& payouts,
                            std::span<const RunnerLine> lines) {
    RaceResultEntry entry;
    entry.placed = placed;
    entry.payouts = payouts;
    // Horse numbers have two digits at most; anything larger names no runner either.
    const auto horse = [](std::int64_t n) {
        return static_cast<int>(std::clamp<std::int64_t>(n, 0, 99));
    };
    const ResultPairs pairs = resultPairs(horse(placed[0]), horse(placed[1]), lines);
    entry.bracketPair = pairs.bracket;
    entry.quinellaPair = pairs.quinella;
    return entry;
}

ResultProblem resultEntryProblem(const RaceResultEntry& entry, int runnerCount) {
    for (std::size_t k = 0; k < entry.placed.size(); ++k) {
        if (entry.placed[k] > runnerCount) {
            return {std::string(kPlaceNames[k]) + "の馬番 " + std::to_string(entry.placed[k]) +
                        " は出走頭数 (" + std::to_string(runnerCount) +
                        " 頭) を超えています。正しい馬番を入力してください。",
                    static_cast<int>(k), -1};
        }
    }
    for (std::size_t k = 0; k < entry.payouts.size(); ++k) {
        if (entry.payouts[k] > kLargestPayout) {
            return {std::string(kPayoutNames[k]) + "の払戻金 " + payoutText(entry.payouts[k]) +
                        " は記録できません。" + payoutText(kLargestPayout) +
                        " までの金額を入力してください。",
                    -1, static_cast<int>(k)};
        }
    }
    return {};
}

bool storeRaceResult(Database& tran, const Meeting& meeting, int raceNumber,
                     const RaceResultEntry& entry) {
    if (!tran.hasTable(meeting.raceTable)) return false;
    const std::string table = quoteIdentifier(meeting.raceTable);
    Transaction tx(tran);
    const auto row = readRaceRow(tran, meeting.raceTable, raceNumber, kRaceConditionsPart);
    if (!row) return false;
    const bool quinella = numericValue(row->tousuu) > 8;

    const std::array<Value, kRaceResultColumns.size()> values = {
        entry.placed[0],
        entry.placed[1],
        entry.placed[2],
        storedPair(entry.bracketPair),
        quinella ? storedPair(entry.quinellaPair) : std::string(kNoResultPair),
        entry.payouts[0],
        entry.payouts[1],
        entry.payouts[2],
        entry.payouts[3],
        entry.payouts[4],
        entry.payouts[5],
    };
    std::string sql = "UPDATE " + table + " SET ";
    for (std::size_t i = 0; i < kRaceResultColumns.size(); ++i) {
        if (i) sql += ", ";
        sql += quoteIdentifier(kRaceResultColumns[i]) + " = ?" + std::to_string(i + 1);
    }
    sql += " WHERE bango = ?" + std::to_string(kRaceResultColumns.size() + 1);
    auto update = tran.prepare(sql);
    for (std::size_t i = 0; i < values.size(); ++i) {
        update.bind(
            static_cast<int>(i + 1),
            convertForColumn(tran.column(meeting.raceTable, kRaceResultColumns[i]), values[i]));
    }
    update.bind(static_cast<int>(values.size() + 1), std::int64_t{raceNumber});
    update.run();
    tx.commit();
    return true;
}

}  // namespace zelvanor
