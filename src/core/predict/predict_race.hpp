#pragma once

// The prediction engine's driver: for one stored race, computes every runner's indices (jockey
// and trainer of the day, running style, aptitude, speed figures, growth, ability values) and
// writes them into the runners' rows of the meeting's entries table.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/predict/engine_values.hpp"
#include "core/predict/running_style.hpp"
#include "core/store/store.hpp"
#include "core/tables/racing.hpp"

namespace zelvanor {

// Today's race as the engine reads it from the race row.
struct RaceInputs {
    std::int64_t bango = 0;
    RaceValues values;
    std::array<std::string, 18> entries;  // uma1 … uma18
};

// What the engine reads of a runner's entries row.
struct RunnerInputs {
    std::array<std::string, 5> histories;  // inf1 … inf5
    std::string chocode;
    AptitudePercentages aptitude;
    std::int64_t kCoseRen = 0;  // as held: a course outside "01" … "10" keeps them
    std::int64_t cCoseRen = 0;
};

// The race from its row's bango, basho, track, tousuu, kyori and uma1 … uma18, read as a
// statement reads them (bango as a whole number, the others as texts); nullopt when its runner
// count is not positive, as such a race is left alone.
std::optional<RaceInputs> raceInputs(std::int64_t bango, std::string basho, std::string track,
                                     std::string_view tousuu, std::string_view kyori,
                                     std::array<std::string, kPlacesPerRace> entries);
// The race table columns raceInputs reads, in its order (uma1 … uma18 last).
std::span<const std::string_view> raceInputColumns();

inline constexpr std::size_t kRunnerInputCount = 21;

// The entries columns RunnerInputs comes from, besides KCoseRen and CCoseRen: inf1 … inf5,
// chocode, then the fifteen aptitude percentages in AptitudePercentages order.
std::span<const std::string_view> runnerInputColumns();
// Those inputs from a statement's row, `columns` giving where each runnerInputColumns() column
// is; kCoseRen and cCoseRen are left 0. Null reads as "" and 0, as from a stored row.
RunnerInputs runnerInputs(const Statement& st, std::span<const int> columns);

// The entries columns the engine writes, in the order computeRunner gives them.
std::span<const std::string_view> engineOutputColumns();
// The entries table's definitions of engineOutputColumns(); throws StoreError naming a column the
// table lacks.
std::vector<ColumnDef> outputDefs(Database& tran, std::string_view entryTable);

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

    // The steps of predictRace, for a caller that holds the runners' values already (the race
    // card import computes each runner as it writes it, instead of reading it back).
    // The race as stored; nullopt when there is no such race or its runner count is not positive,
    // as such a race is left alone.
    std::optional<RaceInputs> readRace(std::string_view raceTable, int raceNumber);
    // Runner `slot` (1 … 18) from its stored entries row, found by the horse code in the race's
    // entry; false, writing nothing, when there is no such row.
    bool predictStoredRunner(std::string_view entryTable, const RaceInputs& race, int slot);
    // Runner `slot` from values in hand: the engine's columns, converted for `defs` (the entries
    // table's outputDefs) into `out`. A null value means the column keeps what it holds.
    void computeRunner(const RaceInputs& race, int slot, const RunnerInputs& runner,
                       std::span<const ColumnDef> defs, std::span<Value> out);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zelvanor
