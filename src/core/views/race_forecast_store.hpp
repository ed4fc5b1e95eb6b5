#pragma once

// Reads what the personas' forecast of one race needs from a meeting's tables in tran.mdb.

#include <optional>
#include <string_view>
#include <vector>

#include "core/views/race_forecast.hpp"

namespace zelvanor {

class Database;

struct ForecastRace {
    bool goodGoing = true;  // RyoOmo is 1
    // Places 1 to tousuu (at most 18), place k being horse k + 1 with its bracket from the runner
    // entry; a runner whose horse has no entries row keeps all its values at 0.
    std::vector<PersonaRunner> runners;
};

// The race with bango = raceNumber, or nothing when the race table holds no such race.
std::optional<ForecastRace> readForecastRace(Database& tran, std::string_view raceTable,
                                             std::string_view entryTable, int raceNumber);

}  // namespace zelvanor
