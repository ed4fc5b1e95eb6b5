#pragma once

// The race card import: JRA#DEN1.DAT into the meetings' race tables of tran.mdb, every runner's
// horse row copied from 競走馬 into the meeting's entries table, and the prediction engine run
// for each race stored. Also the combined import of horses and race cards.

#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/import/import_report.hpp"
#include "core/import/progress.hpp"
#include "core/shell/app_paths.hpp"
#include "core/store/store.hpp"

namespace zelvanor {

// The per-race computation of the prediction engine, called once for every race stored, after
// its race row and its runners' entries rows are written.
using RacePredictFn =
    std::function<void(std::string_view raceTable, std::string_view entryTable, int raceNumber)>;

// Makes the per-race computation over the import's own open databases (once per import). The
// engine has to read and write through these connections: the import holds a write transaction on
// tran.mdb, which another connection could neither see into nor write past.
using RacePredictorFactory = std::function<RacePredictFn(Database& mast, Database& tran)>;

// The combined import failed in its race card part after it had stored the horses: those stay,
// the race cards are as they were. what() is the cause.
class HorsesStoredError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct RaceCardImportResult {
    std::size_t recordCount = 0;   // records (races) read from the file
    std::string currentRaceTable;  // the meeting of the last record; empty when there was none
    std::string currentEntryTable;
    // JRA#DEN1.DAT: every race read is stored; replaced counts the races whose row was there
    // before (from an earlier import, or from an earlier record of the same race).
    FileReport report;
    std::optional<FileReport> horses;  // JRA#UMAJ.DAT, from the combined import only
};

// Stores every race of JRA#DEN1.DAT in the extraction folder. A meeting's entries and race tables
// are created when its race table is missing; a race row is added, or replaced column by column
// with its result columns (Kekka…) kept, and RyoOmo set to 1; each runner found in 競走馬 is
// copied into the entries table; then the engine runs for the race. Progress goes from 10 to 100.
//
// The whole import is one transaction on tran.mdb: any failure (a StoreError, an exception from
// the engine or from the progress callback) leaves every meeting as it was. Before anything is
// touched, throws ImportError when the file is missing ("JRA#DEN1.DAT がありません."), cannot be
// read, ends in part of a record (a download cut short), or holds a record that names no meeting
// or race (recordMeetingTables). An empty file stores nothing.
RaceCardImportResult importRaceCards(const AppPaths& paths, const ProgressFn& progress,
                                     const RacePredictorFactory& makePredictor);
// The same with a computation that needs no access to the import's databases (may be empty).
RaceCardImportResult importRaceCards(const AppPaths& paths, const ProgressFn& progress,
                                     const RacePredictFn& predict);

// With the prediction engine. Each runner's horse columns and engine columns are written
// together, in one statement, with the same result as copying every runner first and then
// running the engine over the race as stored (enginePredictor).
RaceCardImportResult importRaceCards(const AppPaths& paths, const ProgressFn& progress);

// The prediction engine as a per-race computation: one RacePredictor over the import's own
// databases, so it sees the rows just written and writes inside the import's transaction.
RacePredictorFactory enginePredictor();

// The combined import: when JRA#DEN1.DAT is in the extraction folder, the horse import and then
// the race card import; otherwise nothing at all, and nullopt. A race card file that would be
// refused is refused before the horses are touched. The horses are stored on a second thread
// while the race card import makes its tables (progress shows 0, then 10 once they are stored);
// a failure is reported as if the two had run one after the other: the horses' own first, and
// then nothing of the race cards is kept, or the race cards' after the horses were stored, which
// throws HorsesStoredError (an exception from the progress callback passes as it is).
std::optional<RaceCardImportResult> importRaceCardsIfPresent(
    const AppPaths& paths, const ProgressFn& progress, const RacePredictorFactory& makePredictor);
std::optional<RaceCardImportResult> importRaceCardsIfPresent(const AppPaths& paths,
                                                             const ProgressFn& progress,
                                                             const RacePredictFn& predict);
// With the prediction engine, as importRaceCards(paths, progress).
std::optional<RaceCardImportResult> importRaceCardsIfPresent(const AppPaths& paths,
                                                             const ProgressFn& progress);

}  // namespace zelvanor
