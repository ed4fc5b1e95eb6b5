#include "core/import/people_import.hpp"
#include "core/import/record_delivery.hpp"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <unordered_map>

#include "core/records/cp932.hpp"
#include "core/records/layouts.hpp"
#include "core/records/numeric.hpp"
#include "core/records/people_layout.hpp"
#include "core/records/record_file.hpp"
#include "core/records/utf8.hpp"
#include "core/shell/housekeeping.hpp"
#include "core/tables/people_tables.hpp"
#include "core/tables/race_tables.hpp"

namespace zelvanor {

namespace {

// What tells the jockey import from the trainer import beyond their tables.
struct PeopleKind {
    const PeopleTable& master;
    std::string_view codeLabel;  // how the messages name the code
    std::string_view dataName;   // how the messages name the file's contents
};

const PeopleKind kJockeys{kJockeyMaster, "騎手コード", "騎手データ"};
const PeopleKind kTrainers{kTrainerMaster, "調教師コード", "調教師データ"};

// ---- the shared routine ----

// One count of a rate: where it lies and whether it is a top-two finish.
struct RateTerm {
    const FieldSpec* count;
    bool top;
};

// The counts each rate sums, looked up once per run rather than by name for every record.
std::vector<std::vector<RateTerm>> resolveRates(const PeopleKind& kind) {
    std::vector<std::vector<RateTerm>> out;
    for (const PeopleRate& r : kind.master.rates) {
        std::vector<RateTerm> terms;
        for (std::string_view group : r.groups) {
            for (unsigned k = 1; k <= 8; ++k) {
                const unsigned bit = 1u << (k - 1);
                if (!(r.total & bit)) continue;
                const std::string name = std::string(group) + "." + std::to_string(k);
                terms.push_back({&kind.master.layout.field(name), (r.top & bit) != 0});
            }
        }
        out.push_back(std::move(terms));
    }
    return out;
}

double rateOf(std::string_view record, const std::vector<RateTerm>& terms) {
    std::int64_t top = 0;
    std::int64_t total = 0;
    for (const RateTerm& t : terms) {
        const std::int64_t n = numericValue(decodeField(record, *t.count));
        total += n;
        if (t.top) top += n;
    }
    // 100 × top / total rather than top / total × 100: the same rate, but exact whenever the
    // percentage is (3 of 10 is 30, not 30.000000000000004), so later rounding sees the true value.
    return total == 0 ? 0.0 : 100.0 * static_cast<double>(top) / static_cast<double>(total);
}

// Refuses a file that gives a code twice: the unique index would stop the run halfway; this
// names the code and the records instead.
void checkCodes(const PeopleKind& kind, const RecordFile& file) {
    const std::string fileName(kind.master.layout.fileName);
    const FieldSpec& codeField = kind.master.layout.field(kind.master.codeField);
    std::unordered_map<std::string, std::size_t> seen;
    for (std::size_t i = 1; i <= file.count(); ++i) {
        std::string code = decodeField(file.record(i), codeField);
        const auto [at, fresh] = seen.emplace(code, i);
        if (!fresh) {
            throw ImportError(fileName + " の" + std::string(kind.codeLabel) + " \"" + code +
                              "\" が重複しています（" + std::to_string(at->second) + " 件目と " +
                              std::to_string(i) + " 件目）。取り込みを中止しました。" +
                              std::string(kind.master.table) + "は元のままです。");
        }
    }
}

// The meetings stored in tran.mdb, whose predictions were computed from the master as it was.
// Counted without creating tran.mdb when there is none. A tran.mdb that cannot be read holds no
// prediction anyone can see: it is counted as none rather than holding up an import that does
// not write it.
std::size_t storedMeetings(const AppPaths& paths) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(paths.tranPath(), ec)) return 0;
    try {
        // The connection is kept when closed, so the race card import after this one does not
        // parse the schema again.
        Database tran(paths.tranPath());
        const auto tables = tran.userTables();
        return static_cast<std::size_t>(
            std::count_if(tables.begin(), tables.end(), isRaceTableName));
    } catch (const StoreError&) {
        return 0;
    }
}

PeopleImportResult importPeople(const AppPaths& paths, const ProgressFn& progressFn,
                                const PeopleKind& kind, MastCompaction compaction) {
    const std::string fileName(kind.master.layout.fileName);
    // Checked before the table is touched: a missing or broken file must not cost the old
    // master, and the service never ships an empty list.
    std::optional<RecordFile> file = openDelivery(paths, kind.master.layout, kind.dataName,
                                                  WhenMissing::Refuse, WhenEmpty::Refuse);
    checkCodes(kind, *file);

    // For the note on the predictions stored, computed from the master about to be replaced.
    const std::size_t meetings = storedMeetings(paths);

    const auto columns = peopleTableColumns(kind.master);
    const auto rates = resolveRates(kind);
    std::vector<const FieldSpec*> textFields;
    for (const FieldSpec& f : kind.master.layout.fields) {
        if (isWholeField(f)) textFields.push_back(&f);
    }
    const FieldSpec& nameField = kind.master.layout.field(kind.master.nameField);

    ProgressSteps progress(progressFn);
    progress.show(0);
    {
        Database mast(paths.mastPath());
        // Emptying and refilling is one transaction: any failure leaves the old rows in place.
        Transaction tx(mast);
        if (!mast.hasTable(kind.master.table)) createPeopleTable(mast, kind.master);

        const std::string table = quoteIdentifier(kind.master.table);
        std::vector<std::int64_t> rowids;
        for (auto st = mast.prepare("SELECT rowid FROM " + table); st.step();) {
            rowids.push_back(st.int64(0));
        }
        auto remove = mast.prepare("DELETE FROM " + table + " WHERE rowid = ?1");
        for (std::size_t i = 0; i < rowids.size(); ++i) {
            remove.bind(1, rowids[i]);
            remove.run();
            remove.reset();
            progress.show(i + 1, rowids.size(), 0, 40);
        }

        std::string names;
        std::string marks;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            names += (c ? ", " : "") + quoteIdentifier(columns[c].name);
            marks += c ? ", ?" : "?";
        }
        auto insert =
            mast.prepare("INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")");

        const std::size_t n = file->count();
        for (std::size_t i = 1; i <= n; ++i) {
            const std::string_view record = file->record(i);
            std::vector<Value> row;
            row.reserve(columns.size());
            for (const FieldSpec* f : textFields) {
                row.emplace_back(decodeField(record, *f));
                if (f == &nameField && !kind.master.shortNameColumn.empty()) {
                    row.emplace_back(jockeyShortName(decodeField(record, nameField)));
                }
            }
            for (const auto& terms : rates) row.emplace_back(rateOf(record, terms));

            for (std::size_t c = 0; c < columns.size(); ++c) {
                insert.bind(static_cast<int>(c + 1), convertForColumn(columns[c], row[c]));
            }
            insert.run();
            insert.reset();
            progress.show(i, n, 40, 60);
        }
        tx.commit();
    }
    // Compacted only once the new rows are committed and the database is closed. The rows are in
    // by then, so a compaction that fails is told as such, never as an import that failed.
    std::string compactionFailure;
    try {
        if (compaction == MastCompaction::AfterImport) compactMast(paths);
    } catch (const std::exception& e) {
        compactionFailure = std::string("mast.mdb の最適化に失敗しました（") + e.what() +
                            "）。取り込んだデータはそのまま使えます。";
    }

    PeopleImportResult result;
    result.recordCount = file->count();
    result.message = fileName + " のデータコンバートが終了しました。";
    result.report.file = fileName;
    result.report.read = file->count();
    result.report.stored = file->count();
    if (meetings > 0) {
        const std::string data(kind.dataName);
        result.report.notes.push_back("取り込み済みの出馬表 " + std::to_string(meetings) +
                                      " 開催分の予想は、取り込む前の" + data +
                                      "で計算されたままです。新しい" + data +
                                      "で計算し直すには再計算（recompute）を実行してください。");
    }
    if (!compactionFailure.empty()) result.report.notes.push_back(compactionFailure);
    return result;
}

std::string_view trimHalfWidthBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

}  // namespace

PeopleImportResult importJockeys(const AppPaths& paths, const ProgressFn& progress,
                                 MastCompaction compaction) {
    return importPeople(paths, progress, kJockeys, compaction);
}

PeopleImportResult importTrainers(const AppPaths& paths, const ProgressFn& progress,
                                  MastCompaction compaction) {
    return importPeople(paths, progress, kTrainers, compaction);
}

std::string jockeyShortName(std::string_view name) {
    const std::string_view family = trimHalfWidthBlanks(charactersAt(name, 1, 8));
    const std::string_view given = trimHalfWidthBlanks(charactersAt(name, 9, 8));
    std::string joined(family);
    if (charCount(family) < 8) {
        joined += "　";
        joined += given;
    }
    return std::string(charactersAt(joined, 1, 8));
}

}  // namespace zelvanor
