#pragma once

// The prediction engine's driver: for one stored race, computes every runner's indices (jockey
// and trainer of the day, running style, aptitude, speed figures, growth, ability values) and
// writes them into the runners' rows of the meeting's entries table.

#include <memory>
#include <string_view>

#include "shell/app_paths.hpp"

namespace zelvanor {

class Database;

// Computes races of meetings over two open databases. Construct it once per import or
// recalculation: it makes sure 定数, 騎手マスタ and 調教師マスタ exist (creating them, the
// masters empty) and reads the constants row once; masters are looked up through their indexes
// with prepared statements. It opens no transaction of its own: the caller's transaction on
// tran.mdb decides what is kept.
class RacePredictor {
  public:
    RacePredictor(Database& mast, Database& tran);
    ~RacePredictor();
    RacePredictor(const RacePredictor&) = delete;
    RacePredictor& operator=(const RacePredictor&) = delete;

    // Computes race `raceNumber` of the meeting. False, writing nothing, when the race table
    // holds no such race (or the race cannot be computed, e.g. a runner count of 0).
    bool predictRace(std::string_view raceTable, std::string_view entryTable, int raceNumber);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// One race on its own: opens both databases for it, in one transaction on tran.mdb.
bool predictRace(const AppPaths& paths, std::string_view raceTable, std::string_view entryTable,
                 int raceNumber);

}  // namespace zelvanor
