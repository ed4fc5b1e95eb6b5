#include "core/import/people_import.hpp"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <unordered_map>

#include "core/import/race_tables.hpp"
#include "core/records/cp932.hpp"
#include "core/records/layouts.hpp"
#include "core/records/numeric.hpp"
#include "core/records/people_layout.hpp"
#include "core/records/record_file.hpp"
#include "core/records/utf8.hpp"
#include "core/shell/housekeeping.hpp"

namespace zelvanor {

namespace {

// A set of counts of a group, bit k-1 standing for count k. In a group of eight the first four
// counts are flat (or turf) and the last four jump (or dirt).
constexpr unsigned kFirstTop = 0b0000'0011;   // counts 1, 2
constexpr unsigned kFirstAll = 0b0000'1111;   // counts 1 to 4
constexpr unsigned kSecondTop = 0b0011'0000;  // counts 5, 6
constexpr unsigned kSecondAll = 0b1111'0000;  // counts 5 to 8
constexpr unsigned kBothTop = 0b0011'0011;    // counts 1, 2, 5, 6
constexpr unsigned kBothAll = 0b1111'1111;    // counts 1 to 8

// A top-two rate: top / total × 100 over the named groups, 0 without runs.
struct RateDef {
    std::string_view column;
    std::span<const std::string_view> groups;
    unsigned top;
    unsigned total;
};

// Everything that tells the jockey import from the trainer import.
struct PeopleKind {
    std::string_view table;
    const RecordLayout& layout;
    std::string_view codeField;
    std::string_view codeLabel;  // how the messages name the code
    std::string_view dataName;   // how the messages name the file's contents
    std::string_view nameField;
    std::string_view shortNameColumn;  // empty when the table has none
    std::span<const IndexSpec> indexes;
    std::span<const RateDef> rates;
};

// ---- jockeys ----

constexpr std::string_view kDistanceGroups[] = {"H1600", "H2200", "H2201",
                                                "Z1600", "Z2200", "Z2201"};
constexpr std::string_view kUpTo1600[] = {"H1600", "Z1600"};
constexpr std::string_view kUpTo2200[] = {"H2200", "Z2200"};
constexpr std::string_view kFrom2201[] = {"H2201", "Z2201"};

// The course groups of this year and last year, by racecourse code "01" to "10".
constexpr std::string_view kSapporo[] = {"HSAP", "ZSAP"};
constexpr std::string_view kHakodate[] = {"HHAK", "ZHAK"};
constexpr std::string_view kFukushima[] = {"HFUK", "ZFUK"};
constexpr std::string_view kNiigata[] = {"HNIG", "ZNIG"};
constexpr std::string_view kTokyo[] = {"HTOK", "ZTOK"};
constexpr std::string_view kNakayama[] = {"HNAK", "ZNAK"};
constexpr std::string_view kChukyo[] = {"HCHU", "ZCHU"};
constexpr std::string_view kKyoto[] = {"HKYO", "ZKYO"};
constexpr std::string_view kHanshin[] = {"HHAN", "ZHAN"};
constexpr std::string_view kKokura[] = {"HKOK", "ZKOK"};

constexpr RateDef kJockeyRates[] = {
    {"KSougouRen", kDistanceGroups, kBothTop, kBothAll},
    {"KShibaSougouRen", kDistanceGroups, kFirstTop, kFirstAll},
    {"KDertSougouRen", kDistanceGroups, kSecondTop, kSecondAll},
    {"KShiba1600Ren", kUpTo1600, kFirstTop, kFirstAll},
    {"KShiba2200Ren", kUpTo2200, kFirstTop, kFirstAll},
    {"KShiba2201Ren", kFrom2201, kFirstTop, kFirstAll},
    {"KDert1600Ren", kUpTo1600, kSecondTop, kSecondAll},
    {"KDert2200Ren", kUpTo2200, kSecondTop, kSecondAll},
    {"KDert2201Ren", kFrom2201, kSecondTop, kSecondAll},
    {"K01Ren", kSapporo, kFirstTop, kFirstAll},
    {"K02Ren", kHakodate, kFirstTop, kFirstAll},
    {"K03Ren", kFukushima, kFirstTop, kFirstAll},
    {"K04Ren", kNiigata, kFirstTop, kFirstAll},
    {"K05Ren", kTokyo, kFirstTop, kFirstAll},
    {"K06Ren", kNakayama, kFirstTop, kFirstAll},
    {"K07Ren", kChukyo, kFirstTop, kFirstAll},
    {"K08Ren", kKyoto, kFirstTop, kFirstAll},
    {"K09Ren", kHanshin, kFirstTop, kFirstAll},
    {"K10Ren", kKokura, kFirstTop, kFirstAll},
};

constexpr IndexSpec kJockeyIndexes[] = {
    {"KISCODE", "KISCODE", true},
    {"KISKANJI2", "KISKANJI2", false},
    {"KISKANA", "KISKANA", false},
};

const PeopleKind kJockeys{
    .table = kJockeyTable,
    .layout = kKisiLayout,
    .codeField = "KISCODE",
    .codeLabel = "騎手コード",
    .dataName = "騎手データ",
    .nameField = "KISKANJI",
    .shortNameColumn = "KISKANJI2",
    .indexes = kJockeyIndexes,
    .rates = kJockeyRates,
};

// ---- trainers ----

constexpr std::string_view kCourseGroups[] = {
    "HSAP", "HHAK", "HFUK", "HNIG", "HTOK", "HNAK", "HCHU", "HKYO", "HHAN", "HKOK",
    "ZSAP", "ZHAK", "ZFUK", "ZNIG", "ZTOK", "ZNAK", "ZCHU", "ZKYO", "ZHAN", "ZKOK",
};

constexpr RateDef kTrainerRates[] = {
    {"CSougouRen", kCourseGroups, kFirstTop, kFirstAll},
    {"C01Ren", kSapporo, kFirstTop, kFirstAll},
    {"C02Ren", kHakodate, kFirstTop, kFirstAll},
    {"C03Ren", kFukushima, kFirstTop, kFirstAll},
    {"C04Ren", kNiigata, kFirstTop, kFirstAll},
    {"C05Ren", kTokyo, kFirstTop, kFirstAll},
    {"C06Ren", kNakayama, kFirstTop, kFirstAll},
    {"C07Ren", kChukyo, kFirstTop, kFirstAll},
    {"C08Ren", kKyoto, kFirstTop, kFirstAll},
    {"C09Ren", kHanshin, kFirstTop, kFirstAll},
    {"C10Ren", kKokura, kFirstTop, kFirstAll},
};

constexpr IndexSpec kTrainerIndexes[] = {{"chocode", "chocode", true}};

const PeopleKind kTrainers{
    .table = kTrainerTable,
    .layout = kChokLayout,
    .codeField = "chocode",
    .codeLabel = "調教師コード",
    .dataName = "調教師データ",
    .nameField = "CHOKANJI",
    .shortNameColumn = "",
    .indexes = kTrainerIndexes,
    .rates = kTrainerRates,
};

// ---- the shared routine ----

constexpr int kText = 255;
constexpr int kShortNameSize = 16;

std::vector<ColumnDef> columnsOf(const PeopleKind& kind) {
    std::vector<ColumnDef> cols;
    for (const FieldSpec& f : kind.layout.fields) {
        if (!isWholeField(f)) continue;
        cols.push_back({std::string(f.name), ColumnType::Text, kText});
        if (f.name == kind.nameField && !kind.shortNameColumn.empty()) {
            cols.push_back({std::string(kind.shortNameColumn), ColumnType::Text, kShortNameSize});
        }
    }
    for (const RateDef& r : kind.rates) cols.push_back({std::string(r.column), ColumnType::Double});
    return cols;
}

void createTableOf(Database& mast, const PeopleKind& kind) {
    const auto cols = columnsOf(kind);
    Transaction tx(mast);
    mast.createTable(kind.table, cols, kind.indexes);
    tx.commit();
}

// One count of a rate: where it lies and whether it is a top-two finish.
struct RateTerm {
    const FieldSpec* count;
    bool top;
};

// The counts each rate sums, looked up once per run rather than by name for every record.
std::vector<std::vector<RateTerm>> resolveRates(const PeopleKind& kind) {
    std::vector<std::vector<RateTerm>> out;
    for (const RateDef& r : kind.rates) {
        std::vector<RateTerm> terms;
        for (std::string_view group : r.groups) {
            for (unsigned k = 1; k <= 8; ++k) {
                const unsigned bit = 1u << (k - 1);
                if (!(r.total & bit)) continue;
                const std::string name = std::string(group) + "." + std::to_string(k);
                terms.push_back({&kind.layout.field(name), (r.top & bit) != 0});
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

// Reports each whole percentage once, so a long run does not flood the progress bar.
class Progress {
  public:
    explicit Progress(const ProgressFn& fn) : fn_(fn) {}
    void operator()(std::size_t done, std::size_t all, int from, int span) {
        const int percent = from + static_cast<int>(static_cast<std::size_t>(span) * done / all);
        if (percent == last_) return;
        last_ = percent;
        report(fn_, percent);
    }
    void at(int percent) { (*this)(0, 1, percent, 0); }

  private:
    const ProgressFn& fn_;
    int last_ = -1;
};

// Refuses a file without a whole record or ending in part of one: the service never ships an
// empty list, so such a file is a broken download and must not cost the master stored. Refuses a
// file that gives a code twice: the unique index would stop the run halfway; this names the code
// and the records instead.
void checkRecords(const PeopleKind& kind, const RecordFile& file) {
    const std::string fileName(kind.layout.fileName);
    if (const std::string problem = deliveryProblem(file, kind.layout, kind.dataName, true);
        !problem.empty()) {
        throw ImportError(problem);
    }
    const FieldSpec& codeField = kind.layout.field(kind.codeField);
    std::unordered_map<std::string, std::size_t> seen;
    for (std::size_t i = 1; i <= file.count(); ++i) {
        std::string code = decodeField(file.record(i), codeField);
        const auto [at, fresh] = seen.emplace(code, i);
        if (!fresh) {
            throw ImportError(fileName + " の" + std::string(kind.codeLabel) + " \"" + code +
                              "\" が重複しています（" + std::to_string(at->second) + " 件目と " +
                              std::to_string(i) + " 件目）。取り込みを中止しました。" +
                              std::string(kind.table) + "は元のままです。");
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
    const std::string fileName(kind.layout.fileName);
    const auto source = paths.extractionFolder() / fileName;
    // Checked before the table is touched: a missing file must not cost the old master.
    if (!std::filesystem::exists(source)) throw ImportError(fileName + " がありません.");

    std::optional<RecordFile> file;
    try {
        file.emplace(source, kind.layout.recordLength);
    } catch (const std::runtime_error& e) {
        throw ImportError(e.what());
    }
    checkRecords(kind, *file);

    // For the note on the predictions stored, computed from the master about to be replaced.
    const std::size_t meetings = storedMeetings(paths);

    const auto columns = columnsOf(kind);
    const auto rates = resolveRates(kind);
    std::vector<const FieldSpec*> textFields;
    for (const FieldSpec& f : kind.layout.fields) {
        if (isWholeField(f)) textFields.push_back(&f);
    }
    const FieldSpec& nameField = kind.layout.field(kind.nameField);

    Progress progress(progressFn);
    progress.at(0);
    {
        Database mast(paths.mastPath());
        // Emptying and refilling is one transaction: any failure leaves the old rows in place.
        Transaction tx(mast);
        if (!mast.hasTable(kind.table)) createTableOf(mast, kind);

        const std::string table = quoteIdentifier(kind.table);
        std::vector<std::int64_t> rowids;
        for (auto st = mast.prepare("SELECT rowid FROM " + table); st.step();) {
            rowids.push_back(st.int64(0));
        }
        auto remove = mast.prepare("DELETE FROM " + table + " WHERE rowid = ?1");
        for (std::size_t i = 0; i < rowids.size(); ++i) {
            remove.bind(1, rowids[i]);
            remove.run();
            remove.reset();
            progress(i + 1, rowids.size(), 0, 40);
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
                if (f == &nameField && !kind.shortNameColumn.empty()) {
                    row.emplace_back(jockeyShortName(decodeField(record, nameField)));
                }
            }
            for (const auto& terms : rates) row.emplace_back(rateOf(record, terms));

            for (std::size_t c = 0; c < columns.size(); ++c) {
                insert.bind(static_cast<int>(c + 1), convertForColumn(columns[c], row[c]));
            }
            insert.run();
            insert.reset();
            progress(i, n, 40, 60);
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

std::vector<ColumnDef> jockeyTableColumns() {
    return columnsOf(kJockeys);
}
std::vector<ColumnDef> trainerTableColumns() {
    return columnsOf(kTrainers);
}

void createJockeyTable(Database& mast) {
    createTableOf(mast, kJockeys);
}
void createTrainerTable(Database& mast) {
    createTableOf(mast, kTrainers);
}

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
