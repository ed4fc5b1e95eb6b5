#include "core/views/race_forecast_store.hpp"

#include <algorithm>
#include <string>

#include "core/records/numeric.hpp"
#include "core/records/runner_entry.hpp"
#include "core/store/store.hpp"
#include "core/tables/racing.hpp"

namespace zelvanor {

namespace {

// The race card has one row per horse number up to this.
constexpr std::int64_t kMaxRunners = kPlacesPerRace;

float singleColumn(const Table& table, std::string_view column) {
    return static_cast<float>(table.real(column));
}

}  // namespace

std::optional<ForecastRace> readForecastRace(Database& tran, std::string_view raceTable,
                                             std::string_view entryTable, int raceNumber) {
    Table races(tran, raceTable);
    races.setIndex("bango");
    if (!races.seek(Value{std::int64_t{raceNumber}})) return std::nullopt;

    ForecastRace race;
    race.goodGoing = races.integer("RyoOmo") == 1;
    const std::int64_t count = std::min(numericValue(races.text("tousuu")), kMaxRunners);

    Table entries(tran, entryTable);
    entries.setIndex("umacode");
    for (std::int64_t k = 0; k < count; ++k) {
        const std::string text = races.text("uma" + std::to_string(k + 1));
        const RunnerEntry entry = readRunnerEntry(text);
        PersonaRunner runner;
        runner.horseNumber = static_cast<std::int16_t>(k + 1);
        runner.bracketNumber = static_cast<std::int16_t>(entry.bracketNumber);
        if (entry.hasHorse && entries.seek(Value{std::string(entry.umacode)})) {
            runner.ability = {
                singleColumn(entries, "Nouryoku1"),    singleColumn(entries, "Nouryoku2"),
                singleColumn(entries, "Nouryoku3"),    singleColumn(entries, "OmoNouryoku1"),
                singleColumn(entries, "OmoNouryoku2"), singleColumn(entries, "OmoNouryoku3")};
            runner.shisuu3kaku = static_cast<std::int16_t>(entries.integer("Shisuu3kaku"));
        }
        race.runners.push_back(runner);
    }
    return race;
}

}  // namespace zelvanor
