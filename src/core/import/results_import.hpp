#pragma once

// The results import: the first three placings and the win, place, bracket quinella and quinella
// payouts of JRA#SEI1.DAT into the race rows of the meetings whose race cards were imported.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/import_report.hpp"
#include "core/import/progress.hpp"
#include "core/shell/app_paths.hpp"
#include "core/shell/notifier.hpp"

namespace zelvanor {

inline constexpr std::string_view kResultsDoneText = "成績データの取込が終了しました。";
inline constexpr std::string_view kNoRaceCardTitle = "置き換えの確認";

// The message that ends a results import: the completion message, or the stop at a meeting whose
// race card was never imported.
struct ResultsImportResult {
    std::size_t recordCount = 0;   // records in the file
    std::size_t racesUpdated = 0;  // race rows that received results
    bool stopped = false;          // true when a meeting had no race table
    std::string currentRaceTable;  // the race table of the last record read; empty when none
    std::string message;           // the text to show, and how
    std::string title;
    Notifier::Icon icon = Notifier::Icon::None;
    // The meetings of the file, in file order, by race table name ("D05981003"): those whose
    // results were written (at least one race) and those whose were not (no race card, or the
    // import stopped before them). meetingName() gives the text the user reads. A meeting of
    // which only some races were written is among the stored ones; the stop message marks it
    // "（一部）".
    std::vector<std::string> storedMeetings;
    std::vector<std::string> notStoredMeetings;
    // replaced counts races that held results before (imported, typed in, or given by an earlier
    // record); refused the records of races missing from their race table (a race number other
    // than 01 to 12 among them, each named in a note) and those from the stop on.
    FileReport report;
};

// "東京 98/10/03 の": the course name, then year/month/day as the record carries them.
std::string meetingLabel(std::string_view course, std::string_view yy, std::string_view mm,
                         std::string_view dd);

// "東京 98/10/03": the meeting of a race table name such as D05981003, as the user reads it; the
// name itself when it is not one.
std::string meetingName(std::string_view raceTable);

// Writes the results of JRA#SEI1.DAT in the extraction folder into the race rows found by race
// number; a race missing from its race table is skipped. Progress goes from 0 to 100.
//
// At the first record whose meeting has no race table the import stops with a message naming that
// meeting, followed by the meetings whose results were taken in and those whose were not; the
// results of the records before it are kept. A missing or empty file is not an error: only the
// completion message is returned. Before anything is touched, throws ImportError when the file
// cannot be read, ends in part of a record (a download cut short), or holds a record that names
// no meeting (recordMeetingTables). Any other failure leaves every race row as it was.
ResultsImportResult importResults(const AppPaths& paths, const ProgressFn& progress = {});

}  // namespace zelvanor
