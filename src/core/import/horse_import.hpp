#pragma once

// The horse import: JRA#UMAJ.DAT into the horse master 競走馬 (mast.mdb), with the aptitude
// percentages computed from the placing counts, and the copy of one horse from 競走馬 into a
// meeting's entries table (tran.mdb).

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/import/import_report.hpp"
#include "core/import/progress.hpp"
#include "core/records/layout_umaj.hpp"
#include "core/records/text_map.hpp"
#include "core/shell/app_paths.hpp"
#include "core/store/store.hpp"

namespace zelvanor {

// The four placing counts of one racing category.
struct PlacingCounts {
    std::int64_t first = 0;
    std::int64_t second = 0;
    std::int64_t third = 0;
    std::int64_t other = 0;
};

using CategoryCounts = std::array<PlacingCounts, kUmajCategories>;

// (first + second) / all runs × 100, in double precision; nullopt when there are no runs.
std::optional<double> placingRate(const PlacingCounts& counts);

// The aptitude columns of 競走馬, in the order aptitudeRates returns their values.
inline constexpr std::array<std::string_view, 17> kAptitudeColumns = {
    "BabaShibaR",     "BabaShibaL",     "BabaDertR",      "BabaDertL",      "BabaSougou",
    "JotaiShibaRyo",  "JotaiShibaOmo",  "JotaiDertRyo",   "JotaiDertOmo",   "JotaiShogaiRyo",
    "JotaiShogaiOmo", "KyoriShiba1600", "KyoriShiba2200", "KyoriShiba2201", "KyoriDert1600",
    "KyoriDert2200",  "KyoriDert2201",
};

// The values of kAptitudeColumns as they are stored: whole percentages, halves rounded to the
// even neighbour. Category 5 feeds none of them.
std::array<int, kAptitudeColumns.size()> aptitudeRates(const CategoryCounts& counts);

// A 136-byte race history entry as stored in inf1 … inf5: each field decoded on its own and the
// texts joined in field order (107 characters when the full-width fields are full-width
// throughout), so that the character positions of the fields do not depend on their neighbours.
std::string decodeHistoryEntry(std::string_view entry);

// The columns the horse import writes into 競走馬 and copyHorseToEntries copies into an entries
// row, in table order. The other columns of 競走馬 stay empty.
inline constexpr std::array<std::string_view, 49> kHorseCopyColumns = {
    "umacode",        "delflg",         "bamei",          "chocode",        "seisan",
    "umanushi",       "hinshu",         "seibetsu",       "moushoku",       "seinen",
    "sanchi",         "umakigou",       "shoutaiCode",    "shoutaiName",    "keto1",
    "keto2",          "keto3",          "keto4",          "honshou",        "fukashou",
    "shuutoku1",      "shuutoku2",      "seiseki1",       "seiseki2",       "seiseki3",
    "seiseki4",       "inf1",           "inf2",           "inf3",           "inf4",
    "inf5",           "mkdate",         "BabaShibaR",     "BabaShibaL",     "BabaDertR",
    "BabaDertL",      "BabaSougou",     "JotaiShibaRyo",  "JotaiShibaOmo",  "JotaiDertRyo",
    "JotaiDertOmo",   "JotaiShogaiRyo", "JotaiShogaiOmo", "KyoriShiba1600", "KyoriShiba2200",
    "KyoriShiba2201", "KyoriDert1600",  "KyoriDert2200",  "KyoriDert2201",
};

// Replaces the contents of 競走馬 with the horses of JRA#UMAJ.DAT in the extraction folder and
// returns the number of records read. Progress goes from 0 to 10.
//
// The file is checked before anything is touched: a missing file throws ImportError
// ("JRA#UMAJ.DAT がありません."), an unreadable one ImportError ("JRA#UMAJ.DAT
// を読み込めません。"), and so does a file without a whole record or ending in part of one: the
// service never ships an empty list, so such a file is a broken download (deliveryProblem).
// Creating 競走馬 when missing, emptying it and refilling it is one transaction, so any failure
// (a StoreError, or an exception from the progress callback) leaves the previous rows intact.
std::size_t importHorses(const AppPaths& paths, const ProgressFn& progress);

// One horse's kHorseCopyColumns as read from 競走馬, their texts held in one buffer: a season's
// race card import keeps some twelve thousand of them.
class HorseValues {
  public:
    // The first `count` columns of the statement's row.
    void read(const Statement& row, std::size_t count);
    std::size_t size() const { return cells_.size(); }
    Value value(std::size_t column) const;
    // SQLite's fundamental type of the column's value (SQLITE_INTEGER … SQLITE_NULL).
    int type(std::size_t column) const { return cells_.at(column).type; }
    // A text column's bytes; "" for null (or a number).
    std::string_view textView(std::size_t column) const;
    // A whole number column's value; 0 for null (or a text).
    std::int64_t integer(std::size_t column) const;
    // The values as 競走馬 stores them when they are written as given (see StoredHorses).
    void assign(std::span<const Value> values);
    // Binds the column's value as it was read; a text is bound without copying, so these values
    // must outlive the statement's next run.
    void bindTo(Statement& st, int index, std::size_t column) const;

  private:
    struct Cell {
        int type = 0;  // SQLite's fundamental type
        std::int64_t integer = 0;
        double real = 0;
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    std::string text_;
    std::vector<Cell> cells_;
};

// The horses an import stored, by code, as reading them back from 競走馬 would give them: for a
// caller that reads them next (the combined import). Filled only when 競走馬 stores every row
// as it is written (exact): its columns keep the values given, only the horse code replaces a
// row, and no trigger acts on it. A later record of a code replaces an earlier one, as in the
// table.
struct StoredHorses {
    bool exact = false;
    TextMap<HorseValues> byCode;
};
// The horse import, also keeping what it stores in `stored`.
std::size_t importHorses(const AppPaths& paths, const ProgressFn& progress, StoredHorses& stored);
// The horse import with its figures: replaced counts the records whose horse code an earlier
// record of the file already gave (the later one is kept).
std::size_t importHorses(const AppPaths& paths, const ProgressFn& progress, FileReport& report);
std::size_t importHorses(const AppPaths& paths, const ProgressFn& progress, StoredHorses& stored,
                         FileReport& report);

// Copies horses from 競走馬 into entries tables. Meant to be constructed once per race card import
// with both databases open, and to outlive none of them; its statements are prepared on first use
// and kept per entries table. It writes outside of any transaction of its own: the caller's
// transaction on tran decides what is kept.
class HorseCopier {
  public:
    HorseCopier(Database& mast, Database& tran);
    HorseCopier(const HorseCopier&) = delete;
    HorseCopier& operator=(const HorseCopier&) = delete;

    // Copies the kHorseCopyColumns of the horse from 競走馬 into the entries table: into the row
    // of the same horse code if there is one (its other columns keep their values), else into a
    // new row. False, writing nothing, when 競走馬 does not hold the horse (or does not exist).
    // Throws StoreError when the entries table does not exist.
    bool copy(std::string_view entriesTable, std::string_view umacode);

    // Reads the horses of `codes` from 競走馬 in one pass and keeps them, so that copy() and
    // lookUp() need no query: a code not kept is not in the master. `onRow` sees each kept row as
    // it is read (kHorseCopyColumns in order).
    void preload(
        const TextSet& codes,
        const std::function<void(const std::string& code, const Statement& row)>& onRow = {});
    // Takes horses already in hand instead of reading them (after importHorses kept them
    // exactly): copy() and lookUp() then need no query, and a code not given is not in the master.
    void adopt(TextMap<HorseValues> horses);
    // An entries table the caller has just created: which horses have rows in it is then known
    // without a query, as every row comes through this copier or the caller's noteRow.
    void tableIsNew(std::string_view entriesTable);
    // False only when the horse surely has no row in the entries table.
    bool mayHaveRow(std::string_view entriesTable, std::string_view umacode) const;
    // The caller wrote a row of the horse into the entries table itself.
    void noteRow(std::string_view entriesTable, std::string_view umacode);

    // The steps of copy, for a caller that writes the row itself along with columns of its own.
    // The horse's kHorseCopyColumns from 競走馬; nullptr when it has none. Valid until the next
    // look-up.
    const HorseValues* lookUp(std::string_view umacode);
    // Binds those values to parameters `first` … `first` + 48 of `write`, each converted as the
    // entries table stores it.
    void bindCopied(std::string_view entriesTable, Statement& write, int first,
                    const HorseValues& horse);
    // The entries table's definitions of kHorseCopyColumns.
    const std::vector<ColumnDef>& entryColumns(std::string_view entriesTable);
    // Whether the entries table defines every copied column as 競走馬 does, so that it stores
    // the master's values unchanged. False when there is no 競走馬.
    bool storesAsIs(std::string_view entriesTable);

  private:
    struct CopyStatements {
        Statement find;
        Statement update;
        Statement insert;
    };
    struct EntryStatements {
        std::vector<ColumnDef> columns;      // the entries table's definitions of kHorseCopyColumns
        bool asIs = false;                   // columns match 競走馬's
        std::optional<CopyStatements> copy;  // prepared when copy() first needs them
    };
    EntryStatements& statementsFor(std::string_view entriesTable);

    Database& mast_;
    Database& tran_;
    std::optional<Statement> horse_;
    std::vector<ColumnDef> horseColumns_;  // 競走馬's definitions of kHorseCopyColumns
    std::unordered_map<std::string, EntryStatements> entries_;
    bool preloaded_ = false;
    TextMap<HorseValues> horses_;  // kept by preload
    HorseValues looked_;           // the last horse queried
    // Tables created by the caller, with the horses that have rows in them.
    TextMap<TextSet> newTables_;
};

// One copy, opening mast.mdb and tran.mdb for it. False when there is no such horse.
bool copyHorseToEntries(const AppPaths& paths, std::string_view entriesTable,
                        std::string_view umacode);

}  // namespace zelvanor
