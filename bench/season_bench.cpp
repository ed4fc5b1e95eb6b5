// The season benchmark: a generated JRA season imported step by step (jockeys, trainers, horses,
// race cards with the prediction engine, results) and as a whole, beside a bare SQLite bulk insert
// of the very rows the import leaves behind. Every repetition starts from a fresh data folder; the
// summary at the end gives each step's median, the bare insert's and their ratio.
//
//   zelvanor_season_bench [--size=meeting|weekend|season] [Google Benchmark flags]
//
// Five repetitions unless --benchmark_repetitions says otherwise. Read the Time column: each
// repetition times its own step by hand, while the CPU column also counts the untimed setup
// (copying the files, running the earlier steps).

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/horse_import.hpp"
#include "core/import/people_import.hpp"
#include "core/import/race_card_import.hpp"
#include "core/tables/race_tables.hpp"
#include "core/import/results_import.hpp"
#include "sampledata/generator.hpp"
#include "core/shell/app_paths.hpp"
#include "core/shell/constants.hpp"

namespace fs = std::filesystem;
using namespace zelvanor;

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kSeed = 1998;
sample::SampleSize gSize = sample::SampleSize::Season;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Writes back what earlier repetitions left in the page cache, so that their writeback does not
// land in the next timed region.
void settleDisk() {
    ::sync();
}

// A fresh folder under the system's temporary folder, removed with its contents at the end.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "zelvanor-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create " + pattern);
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

// The generated season, made once: its five record files and what they hold.
struct Season {
    Season()
        : data(sample::generateSample(gSize, kSeed)),
          recordFiles(sample::writeSample(data, files.path(), false)) {}

    sample::SampleData data;
    TempFolder files;
    std::vector<fs::path> recordFiles;
};

const Season& season() {
    static const Season s;
    return s;
}

// A data folder holding a copy of the season's record files and no database yet.
class DataFolder {
  public:
    DataFolder() : paths_(folder_.path()) {
        for (const auto& file : season().recordFiles) {
            fs::copy_file(file, folder_.path() / file.filename());
        }
    }
    const AppPaths& paths() const { return paths_; }

  private:
    TempFolder folder_;
    AppPaths paths_;
};

// ---- the import steps ----

enum class Step {
    Jockeys,
    Trainers,
    Horses,
    RaceCards,
    RaceCardsWithoutEngine,
    HorsesAndRaceCards,
    Results
};

// The order the command line imports in; the variant without engine stands in for race cards.
constexpr Step kImportOrder[] = {Step::Jockeys, Step::Trainers, Step::Horses, Step::RaceCards,
                                 Step::Results};

// Runs one step; throws when it read or wrote other than the season's counts, so that a broken
// import is not timed as a fast one.
void runStep(Step step, const AppPaths& paths) {
    const sample::SampleData& data = season().data;
    const auto expect = [](std::size_t got, int wanted, std::string_view what) {
        if (got != static_cast<std::size_t>(wanted)) {
            throw std::runtime_error(std::string(what) + ": " + std::to_string(got) +
                                     " instead of " + std::to_string(wanted));
        }
    };
    switch (step) {
        case Step::Jockeys:
            expect(importJockeys(paths).recordCount, data.jockeys, "jockeys read");
            break;
        case Step::Trainers:
            expect(importTrainers(paths).recordCount, data.trainers, "trainers read");
            break;
        case Step::Horses:
            expect(importHorses(paths, ProgressFn{}), data.horses, "horses read");
            break;
        case Step::RaceCards:
            expect(importRaceCards(paths, ProgressFn{}).recordCount, data.races, "race cards read");
            break;
        case Step::HorsesAndRaceCards: {
            // The horse archive's flow, which stores the horses while it makes the tables.
            const auto r = importRaceCardsIfPresent(paths, ProgressFn{});
            expect(r ? r->recordCount : 0, data.races, "race cards read");
            break;
        }
        case Step::RaceCardsWithoutEngine:
            expect(importRaceCards(paths, ProgressFn{}, RacePredictFn{}).recordCount, data.races,
                   "race cards read");
            break;
        case Step::Results: {
            const ResultsImportResult r = importResults(paths);
            if (r.stopped) throw std::runtime_error("results stopped: " + r.message);
            expect(r.racesUpdated, data.races, "races given results");
            break;
        }
    }
}

// The steps that must have run before this one, as the command line runs them.
std::vector<Step> stepsBefore(Step step) {
    const Step last = step == Step::RaceCardsWithoutEngine ? Step::RaceCards : step;
    std::vector<Step> before;
    for (Step s : kImportOrder) {
        if (s == last) break;
        before.push_back(s);
    }
    return before;
}

void prepareUpTo(Step step, const AppPaths& paths) {
    {
        Database mast(paths.mastPath());
        ensureConstantsTable(mast);
    }
    for (Step s : stepsBefore(step)) runStep(s, paths);
}

void importStep(benchmark::State& state, Step step) {
    for (auto _ : state) {
        const DataFolder folder;
        try {
            prepareUpTo(step, folder.paths());
            settleDisk();
            const auto start = Clock::now();
            runStep(step, folder.paths());
            state.SetIterationTime(secondsSince(start));
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
}

// The whole season as the command line imports the record files: the constants table, the
// jockeys, the trainers, the horses with the race cards, the results.
void importSeason(benchmark::State& state) {
    for (auto _ : state) {
        const DataFolder folder;
        try {
            settleDisk();
            const auto start = Clock::now();
            {
                Database mast(folder.paths().mastPath());
                ensureConstantsTable(mast);
            }
            for (Step s :
                 {Step::Jockeys, Step::Trainers, Step::HorsesAndRaceCards, Step::Results}) {
                runStep(s, folder.paths());
            }
            state.SetIterationTime(secondsSince(start));
            // The horses were stored alongside: counted, untimed.
            Database mast(folder.paths().mastPath());
            Statement count = mast.prepare("SELECT count(*) FROM " + quoteIdentifier(kHorseTable));
            count.step();
            if (count.int64(0) != season().data.horses) {
                throw std::runtime_error("horses stored: " + std::to_string(count.int64(0)));
            }
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
}

// ---- the bare insert ----

// Rows held for binding: each cell a type and either a number or a span of the text arena.
struct Cell {
    int type = SQLITE_NULL;
    std::int64_t integer = 0;
    double real = 0;
    std::size_t offset = 0;
    std::size_t length = 0;
};

struct BareTable {
    std::string name;
    std::string create;  // CREATE TABLE with the source's columns and declared types, nothing more
    int columns = 0;
    std::size_t rows = 0;
    std::vector<Cell> cells;  // row after row
    std::string text;
};

void check(sqlite3* db, int rc, std::string_view what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
    }
}

void exec(sqlite3* db, const std::string& sql) {
    check(db, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), sql);
}

class RawDatabase {
  public:
    explicit RawDatabase(const fs::path& file) {
        // Opened as the program opens its databases (without SQLite's per-call mutex), so that
        // the two differ only in the work they do.
        const int rc = sqlite3_open_v2(
            file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
            nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_close_v2(db_);
            throw std::runtime_error("cannot open " + file.string());
        }
    }
    ~RawDatabase() { sqlite3_close_v2(db_); }
    RawDatabase(const RawDatabase&) = delete;
    RawDatabase& operator=(const RawDatabase&) = delete;
    sqlite3* get() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

class RawStatement {
  public:
    RawStatement(sqlite3* db, const std::string& sql) {
        check(db, sqlite3_prepare_v2(db, sql.c_str(), -1, &st_, nullptr), sql);
    }
    ~RawStatement() { sqlite3_finalize(st_); }
    RawStatement(const RawStatement&) = delete;
    RawStatement& operator=(const RawStatement&) = delete;
    sqlite3_stmt* get() const { return st_; }

  private:
    sqlite3_stmt* st_ = nullptr;
};

std::vector<std::string> tableNames(sqlite3* db) {
    std::vector<std::string> names;
    RawStatement st(db, "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name");
    while (sqlite3_step(st.get()) == SQLITE_ROW) {
        names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0)));
    }
    return names;
}

// Starts a bare table with the columns and declared types of a source table.
BareTable bareTableLike(sqlite3* db, const std::string& source, std::string name) {
    BareTable t;
    t.name = std::move(name);
    t.create = "CREATE TABLE \"" + t.name + "\" (";
    RawStatement info(db, "SELECT name, type FROM pragma_table_info(?1)");
    sqlite3_bind_text(info.get(), 1, source.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(info.get()) == SQLITE_ROW) {
        if (t.columns++) t.create += ", ";
        t.create += "\"";
        t.create += reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 0));
        t.create += "\" ";
        t.create += reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 1));
    }
    t.create += ")";
    return t;
}

// Appends every row of a source table, as stored.
void appendRows(sqlite3* db, const std::string& source, BareTable& t) {
    RawStatement st(db, "SELECT * FROM \"" + source + "\"");
    if (sqlite3_column_count(st.get()) != t.columns) {
        throw std::runtime_error(source + " has other columns than " + t.name);
    }
    while (sqlite3_step(st.get()) == SQLITE_ROW) {
        for (int c = 0; c < t.columns; ++c) {
            Cell cell;
            cell.type = sqlite3_column_type(st.get(), c);
            if (cell.type == SQLITE_INTEGER) cell.integer = sqlite3_column_int64(st.get(), c);
            if (cell.type == SQLITE_FLOAT) cell.real = sqlite3_column_double(st.get(), c);
            if (cell.type == SQLITE_TEXT || cell.type == SQLITE_BLOB) {
                const auto* p = static_cast<const char*>(sqlite3_column_blob(st.get(), c));
                cell.length = static_cast<std::size_t>(sqlite3_column_bytes(st.get(), c));
                cell.offset = t.text.size();
                t.text.append(p, cell.length);
            }
            t.cells.push_back(cell);
        }
        ++t.rows;
    }
}

BareTable copyOf(sqlite3* db, const std::string& source, std::string name) {
    BareTable t = bareTableLike(db, source, std::move(name));
    appendRows(db, source, t);
    return t;
}

// One plain table with every row of the tables whose names pass the test (the meetings' race or
// entries tables), all of the same columns.
BareTable mergedCopy(sqlite3* db, const std::function<bool(std::string_view)>& wanted,
                     std::string name) {
    std::optional<BareTable> t;
    for (const auto& table : tableNames(db)) {
        if (!wanted(table)) continue;
        if (!t) t = bareTableLike(db, table, name);
        appendRows(db, table, *t);
    }
    if (!t) throw std::runtime_error("no table for " + name);
    return std::move(*t);
}

// An entries table name such as U05981003: the race table's name with U for D.
bool isEntryTableName(std::string_view name) {
    return name.size() == 9 && name[0] == 'U' &&
           name.find_first_not_of("0123456789", 1) == std::string_view::npos;
}

// The rows a season's import leaves behind, read back from a reference import.
struct BareRows {
    BareTable jockeys, trainers, horses, races, entries;
};

const BareRows& bareRows() {
    static const BareRows rows = [] {
        const DataFolder folder;
        {
            Database mast(folder.paths().mastPath());
            ensureConstantsTable(mast);
        }
        for (Step s : kImportOrder) runStep(s, folder.paths());
        BareRows r;
        {
            RawDatabase mast(folder.paths().mastPath());
            r.jockeys = copyOf(mast.get(), std::string(kJockeyTable), "jockeys");
            r.trainers = copyOf(mast.get(), std::string(kTrainerTable), "trainers");
            r.horses = copyOf(mast.get(), std::string(kHorseTable), "horses");
        }
        RawDatabase tran(folder.paths().tranPath());
        r.races = mergedCopy(tran.get(), isRaceTableName, "races");
        r.entries = mergedCopy(tran.get(), isEntryTableName, "entries");
        return r;
    }();
    return rows;
}

// The bare insert: a plain table, one transaction, one prepared statement, every cell bound as
// it is held.
void bareInsert(sqlite3* db, const BareTable& t) {
    exec(db, t.create);
    exec(db, "BEGIN");
    std::string sql = "INSERT INTO \"" + t.name + "\" VALUES (";
    for (int c = 0; c < t.columns; ++c) sql += c ? ", ?" : "?";
    sql += ")";
    RawStatement insert(db, sql);
    sqlite3_stmt* st = insert.get();
    const Cell* cell = t.cells.data();
    for (std::size_t r = 0; r < t.rows; ++r) {
        for (int c = 1; c <= t.columns; ++c, ++cell) {
            switch (cell->type) {
                case SQLITE_INTEGER:
                    sqlite3_bind_int64(st, c, cell->integer);
                    break;
                case SQLITE_FLOAT:
                    sqlite3_bind_double(st, c, cell->real);
                    break;
                case SQLITE_TEXT:
                case SQLITE_BLOB:
                    sqlite3_bind_text(st, c, t.text.data() + cell->offset,
                                      static_cast<int>(cell->length), SQLITE_STATIC);
                    break;
                default:
                    sqlite3_bind_null(st, c);
            }
        }
        check(db, sqlite3_step(st), "insert into " + t.name);
        sqlite3_reset(st);
    }
    exec(db, "COMMIT");
}

// The bare counterparts of the steps: which tables go into which database file.
struct BareStep {
    std::vector<const BareTable*> mast;
    std::vector<const BareTable*> tran;
};

void bareStep(benchmark::State& state, BareStep (*tables)(const BareRows&)) {
    const BareStep step = tables(bareRows());
    std::size_t rows = 0;
    for (const auto* t : step.mast) rows += t->rows;
    for (const auto* t : step.tran) rows += t->rows;
    for (auto _ : state) {
        const TempFolder folder;
        try {
            settleDisk();
            const auto start = Clock::now();
            for (const auto& [file, list] :
                 {std::pair{"mast.mdb", &step.mast}, std::pair{"tran.mdb", &step.tran}}) {
                if (list->empty()) continue;
                RawDatabase db(folder.path() / file);
                for (const auto* t : *list) bareInsert(db.get(), *t);
            }
            state.SetIterationTime(secondsSince(start));
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
    state.counters["rows"] = static_cast<double>(rows);
}

// ---- the summary ----

// Passes everything to the console and keeps each benchmark's times for the table at the end.
class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    SummaryReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) {
                failed_ = true;
                continue;
            }
            const double seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            auto& entry = times_[run.run_name.function_name];
            if (run.run_type == Run::RT_Iteration) entry.runs.push_back(seconds);
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                entry.median = seconds;
            }
        }
    }

    bool failed() const { return failed_; }

    // The median of a benchmark's repetitions; nothing when it did not run.
    std::optional<double> median(const std::string& name) const {
        const auto it = times_.find(name);
        if (it == times_.end()) return std::nullopt;
        if (it->second.median) return it->second.median;
        auto runs = it->second.runs;
        if (runs.empty()) return std::nullopt;
        std::sort(runs.begin(), runs.end());
        const std::size_t n = runs.size();
        return n % 2 ? runs[n / 2] : (runs[n / 2 - 1] + runs[n / 2]) / 2;
    }

  private:
    struct Times {
        std::vector<double> runs;
        std::optional<double> median;
    };
    std::map<std::string, Times> times_;
    bool failed_ = false;
};

struct SummaryLine {
    std::string label;
    std::string rows;
    std::string import;  // benchmark names
    std::string bare;
};

std::string seconds(std::optional<double> s) {
    if (!s) return "-";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f s", *s);
    return buf;
}

std::string ratio(std::optional<double> a, std::optional<double> b) {
    if (!a || !b || *b <= 0) return "-";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2fx", *a / *b);
    return buf;
}

std::string count(std::size_t n) {
    const std::string digits = std::to_string(n);
    std::string s;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) s += ',';
        s += digits[i];
    }
    return s;
}

void printSummary(const SummaryReporter& r) {
    const sample::SampleData& d = season().data;
    const std::vector<SummaryLine> lines = {
        {"jockeys", count(d.jockeys), "import/jockeys", "bare/jockeys"},
        {"trainers", count(d.trainers), "import/trainers", "bare/trainers"},
        {"horses", count(d.horses), "import/horses", "bare/horses"},
        {"race cards + engine", count(d.races) + " + " + count(d.runners), "import/race_cards",
         "bare/race_cards"},
        {"  (race cards, no engine)", count(d.races) + " + " + count(d.runners),
         "import/race_cards_without_engine", "bare/race_cards"},
        {"results", count(d.races), "import/results", ""},
        {"season, whole", "", "import/season", "bare/season"},
    };
    std::printf("\nSeason import, median of the repetitions (%d races, %d runners)\n", d.races,
                d.runners);
    std::printf("%-27s %18s %12s %12s %8s\n", "step", "rows", "import", "bare insert", "ratio");
    double sum = 0;
    bool complete = true;
    for (const auto& line : lines) {
        const auto imp = r.median(line.import);
        const auto bare = line.bare.empty() ? std::nullopt : r.median(line.bare);
        std::printf("%-27s %18s %12s %12s %8s\n", line.label.c_str(), line.rows.c_str(),
                    seconds(imp).c_str(), seconds(bare).c_str(), ratio(imp, bare).c_str());
        if (line.label.front() != ' ' && line.import != "import/season") {
            if (imp) sum += *imp;
            complete = complete && imp.has_value();
        }
    }
    if (complete) std::printf("%-27s %18s %12s\n", "sum of the steps", "", seconds(sum).c_str());

    const auto whole = r.median("import/season");
    const auto bare = r.median("bare/season");
    // The targets are a season's; a smaller size only shows the ratio.
    if (whole && bare && gSize == sample::SampleSize::Season) {
        std::printf(
            "\nwhole season %.3f s (target under 3 s: %s), %.2fx the bare insert "
            "(target at most 2x: %s)\n",
            *whole, *whole < 3.0 ? "met" : "missed", *whole / *bare,
            *whole <= 2.0 * *bare ? "met" : "missed");
    }
}

// ---- registration ----

BareStep bareJockeys(const BareRows& r) {
    return {{&r.jockeys}, {}};
}
BareStep bareTrainers(const BareRows& r) {
    return {{&r.trainers}, {}};
}
BareStep bareHorses(const BareRows& r) {
    return {{&r.horses}, {}};
}
BareStep bareRaceCards(const BareRows& r) {
    return {{}, {&r.races, &r.entries}};
}
BareStep bareSeason(const BareRows& r) {
    return {{&r.jockeys, &r.trainers, &r.horses}, {&r.races, &r.entries}};
}

void configure(benchmark::internal::Benchmark* b) {
    b->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
}

void registerBenchmarks() {
    const std::pair<const char*, Step> steps[] = {
        {"import/jockeys", Step::Jockeys},
        {"import/trainers", Step::Trainers},
        {"import/horses", Step::Horses},
        {"import/race_cards", Step::RaceCards},
        {"import/race_cards_without_engine", Step::RaceCardsWithoutEngine},
        {"import/results", Step::Results},
    };
    for (const auto& [name, step] : steps) {
        configure(benchmark::RegisterBenchmark(name, importStep, step));
    }
    configure(benchmark::RegisterBenchmark("import/season", importSeason));

    const std::pair<const char*, BareStep (*)(const BareRows&)> bare[] = {
        {"bare/jockeys", bareJockeys}, {"bare/trainers", bareTrainers},
        {"bare/horses", bareHorses},   {"bare/race_cards", bareRaceCards},
        {"bare/season", bareSeason},
    };
    for (const auto& [name, tables] : bare) {
        configure(benchmark::RegisterBenchmark(name, bareStep, tables));
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Our own flag is taken out; five repetitions come first so that the command line can
    // override them.
    std::vector<char*> args = {argv[0]};
    std::string repetitions = "--benchmark_repetitions=5";
    args.push_back(repetitions.data());
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.rfind("--size=", 0) == 0) {
            const auto size = sample::parseSampleSize(arg.substr(7));
            if (!size) {
                std::cerr << "unknown size: " << arg.substr(7) << " (meeting, weekend, season)\n";
                return 2;
            }
            gSize = *size;
            continue;
        }
        args.push_back(argv[i]);
    }
    int argCount = static_cast<int>(args.size());
    benchmark::Initialize(&argCount, args.data());
    if (benchmark::ReportUnrecognizedArguments(argCount, args.data())) return 2;

    const sample::SampleData& d = season().data;
    std::printf("generated: %d races, %d runners, %d horses, %d jockeys, %d trainers\n", d.races,
                d.runners, d.horses, d.jockeys, d.trainers);
    registerBenchmarks();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printSummary(reporter);
    return reporter.failed() ? 1 : 0;
}
