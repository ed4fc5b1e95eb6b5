#pragma once

// The jockey master 騎手マスタ and the trainer master 調教師マスタ in mast.mdb, refilled from the
// record files JRA#KISI.DAT and JRA#CHOK.DAT. Both imports are one routine driven by a
// description of each file: its layout, its table, its indexes and its top-two rates.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/import_report.hpp"
#include "core/import/progress.hpp"
#include "core/shell/app_paths.hpp"
#include "core/store/store.hpp"
#include "core/tables/people_tables.hpp"

namespace zelvanor {

struct PeopleImportResult {
    std::size_t recordCount = 0;  // records read from the file
    std::string message;  // the completion message to show, e.g. "JRA#KISI.DAT のデータ…"
    // Every record read is stored (a code given twice refuses the file). Its notes say when the
    // race cards in tran.mdb were predicted from the master as it was before.
    FileReport report;
};

// Replace the whole table with the records of the file in the extraction folder: progress goes
// 0 to 40 while the old rows are deleted and 40 to 100 while the records are added; mast.mdb is
// compacted afterwards. The table is created when missing.
// Throws ImportError, with nothing changed, when the file is missing ("JRA#KISI.DAT
// がありません."), holds a code twice, or holds no whole record or ends in part of one: the
// service never ships an empty list, so such a file is a broken download (deliveryProblem).
// Store and file failures throw StoreError or std::runtime_error; the table is then as it was,
// since the refill is one transaction.
//
// Several jockey and trainer imports in one run compact only after the last of them: the files
// end as they would after compacting every time, and each compaction copies the whole master
// (horses included) to mast.bak. A run that stops before the last one leaves the master
// uncompacted until the next jockey or trainer import, which changes no row.
enum class MastCompaction { AfterImport, LeftToLaterImport };
PeopleImportResult importJockeys(const AppPaths& paths, const ProgressFn& progress = {},
                                 MastCompaction compaction = MastCompaction::AfterImport);
PeopleImportResult importTrainers(const AppPaths& paths, const ProgressFn& progress = {},
                                  MastCompaction compaction = MastCompaction::AfterImport);

// KISKANJI2, the short name of a jockey from the decoded 32-byte name: the family name (characters
// 1-8) and the given name (characters 9-16), each without half-width blanks at either end. A
// family name of 8 characters is the short name; a shorter one is followed by "　" and the given
// name, the whole cut to 8 characters. Full-width blanks are kept.
std::string jockeyShortName(std::string_view name);

}  // namespace zelvanor
