// The verification run over a data folder of many meetings, beside a bare read of the same columns
// of the same tables with the raw SQLite API: the run cannot be faster than reading what it needs,
// so the ratio says what its own work costs.
//
//   zelvanor_verify_bench DATA_FOLDER [RUNS]
//
// Prints the median of RUNS (default 5) for opening tran.mdb (its schema is read then), the run
// over every meeting and every race, the run for graded races only (most meetings then read no
// entries), and the bare read; the data folder is only read.

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/shell/app_paths.hpp"
#include "core/shell/data_session.hpp"
#include "core/store/store.hpp"
#include "core/views/verification.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Medians of the wall time and of the process's processor time: on a shared machine the wall
// time grows with the other work, the processor time much less.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

Timing median(int runs, const std::function<void()>& work) {
    std::vector<double> walls, cpus;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        const double cpuStart = cpuMs();
        work();
        cpus.push_back(cpuMs() - cpuStart);
        walls.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

void check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE) {
        std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
        std::exit(1);
    }
}

// Every meeting's race rows 1 to 12 and entries rows, the columns the run reads, stepped through
// with each value fetched; one prepared statement per table, as the run prepares its own.
long long bareRead(sqlite3* db, const std::vector<std::string>& raceTables) {
    std::string raceColumns =
        "bango, jouken41, jouken42, track, grade, tousuu, RyoOmo, Kekka1No, Kekka2No, Kekka3No, "
        "Kekka1TanAm, Kekka1FukAm, Kekka2FukAm, Kekka3FukAm, KekkaWakNo, KekkaWakAm, KekkaUmaNo, "
        "KekkaUmaAm";
    for (int k = 1; k <= 18; ++k) raceColumns += ", uma" + std::to_string(k);
    const std::string entryColumns =
        "umacode, WakuUmaNo, WakuNo, Nouryoku1, Nouryoku2, Nouryoku3, OmoNouryoku1, "
        "OmoNouryoku2, OmoNouryoku3";
    long long touched = 0;
    for (const std::string& race : raceTables) {
        const std::string sqls[] = {
            "SELECT " + raceColumns + " FROM \"" + race + "\" WHERE bango BETWEEN 1 AND 12",
            "SELECT " + entryColumns + " FROM \"U" + race.substr(1) + "\""};
        for (const std::string& sql : sqls) {
            sqlite3_stmt* st = nullptr;
            check(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), db, "prepare");
            int rc;
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                for (int c = 0; c < sqlite3_column_count(st); ++c) {
                    if (sqlite3_column_type(st, c) == SQLITE_TEXT) {
                        touched += sqlite3_column_bytes(st, c);
                    } else {
                        touched += sqlite3_column_int64(st, c);
                    }
                }
            }
            check(rc, db, "step");
            sqlite3_finalize(st);
        }
    }
    return touched;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DATA_FOLDER [RUNS]\n", argv[0]);
        return 2;
    }
    const zelvanor::AppPaths paths(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    if (!std::filesystem::exists(paths.tranPath())) {
        std::fprintf(stderr, "no %s\n", paths.tranPath().c_str());
        return 2;
    }

    const Timing open = median(runs, [&] {
        zelvanor::Database tran(paths.tranPath());
        tran.userTables();
    });
    // The connection the verification window uses.
    zelvanor::DataSession session(paths);
    zelvanor::Database& tran = session.tran();
    zelvanor::Verification all;
    const Timing run = median(runs, [&] {
        all = zelvanor::runVerification(tran, "User", zelvanor::VerificationConditions{});
    });
    zelvanor::VerificationConditions graded;
    graded.selection = 9;
    zelvanor::Verification gradedResult;
    const Timing gradedRun =
        median(runs, [&] { gradedResult = zelvanor::runVerification(tran, "User", graded); });

    sqlite3* db = nullptr;
    check(sqlite3_open_v2(paths.tranPath().c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                          nullptr),
          db, "open");
    std::vector<std::string> raceTables;
    {
        sqlite3_stmt* st = nullptr;
        check(sqlite3_prepare_v2(db,
                                 "SELECT name FROM sqlite_schema WHERE type = 'table' AND "
                                 "name LIKE 'D%' ORDER BY name",
                                 -1, &st, nullptr),
              db, "list");
        while (sqlite3_step(st) == SQLITE_ROW)
            raceTables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
    }
    long long touched = 0;
    const Timing bare = median(runs, [&] { touched = bareRead(db, raceTables); });
    sqlite3_close(db);

    std::printf("data folder: %s (%d meetings, %d races with results; graded: %d races)\n", argv[1],
                all.totals.meetings, all.totals.races, gradedResult.totals.races);
    std::printf("bare read touched %lld (bytes of text and sum of numbers)\n", touched);
    std::printf("median of %d runs, ms                wall   processor\n", runs);
    const auto line = [](const char* what, const Timing& t) {
        std::printf("  %-30s %9.1f %9.1f\n", what, t.wall, t.cpu);
    };
    line("open tran.mdb (schema)", open);
    line("verify, all races", run);
    line("verify, graded races only", gradedRun);
    line("bare read, same columns", bare);
    std::printf("  %-30s %9.2f %9.2f\n", "verify / bare", run.wall / bare.wall, run.cpu / bare.cpu);
    std::printf("  翠嶺 win hit rate %s, return rate %s\n", all.hitRates[0][0].c_str(),
                all.returnRates[0][0].c_str());
    return 0;
}
