// What one action of the race card window costs on a tran.mdb holding ten seasons of meetings:
// showing another race, toggling a race's going and showing it again, and changing the course.
// The connection is opened once and kept, as the windows keep theirs.
//
//   zelvanor_bench --benchmark_filter=race_card

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "../tests/core/race_card_fixture.hpp"
#include "core/store/store.hpp"
#include "core/views/race_card.hpp"

namespace {

using namespace zelvanor;
namespace fs = std::filesystem;

std::string twoDigits(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

// A table pair for three courses on both days of 52 weekends a year over ten years (3,120
// meetings, 6,240 tables), every table empty but those of one meeting, which holds twelve races
// of eighteen runners.
class TenSeasons {
  public:
    TenSeasons() {
        std::string pattern = (fs::temp_directory_path() / "zelvanor-card-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create " + pattern);
        folder_ = pattern;
        tran_ = std::make_unique<Database>(folder_ / "tran.mdb");
        Database& tran = *tran_;
        {
            Transaction tx(tran);
            for (int year = 90; year < 100; ++year) {
                for (int week = 0; week < 52; ++week) {
                    for (int day = 0; day < 2; ++day) {
                        const std::string mm = twoDigits(1 + week % 12);
                        const std::string dd = twoDigits(1 + (week / 12) * 7 + day);
                        for (const char* course : {"05", "06", "09"}) {
                            fixture::makeMeeting(tran, course, twoDigits(year), mm, dd);
                        }
                    }
                }
            }
            tx.commit();
        }
        // A day the weekends above do not use.
        Transaction tx(tran);
        const MeetingTables m = fixture::makeMeeting(tran, "05", "99", "10", "03");
        for (int race = 1; race <= 12; ++race) {
            std::vector<std::string> entries;
            for (int k = 1; k <= 18; ++k) {
                const std::string code = "99" + twoDigits(race) + "00" + twoDigits(k);
                fixture::addRunner(tran, m, code, 60 + k * 1.5, 70 - k, 50 + (k * 7) % 18,
                                   {{"NameKisi", std::string("騎手")},
                                    {"NameChok", std::string("調教師")},
                                    {"inf1", std::string(107, '0')}});
                entries.push_back(fixture::runnerEntry((k + 1) / 2 > 8 ? 8 : (k + 1) / 2, code));
            }
            fixture::addRace(tran, m, race, entries);
        }
        tx.commit();
        meeting_ = meetingOf(m.race);
    }
    ~TenSeasons() {
        tran_.reset();
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    Database& tran() { return *tran_; }
    const Meeting& meeting() const { return meeting_; }

  private:
    fs::path folder_;
    std::unique_ptr<Database> tran_;
    Meeting meeting_;
};

TenSeasons& tenSeasons() {
    static TenSeasons data;
    return data;
}

void race_card_switch_race(benchmark::State& state) {
    TenSeasons& data = tenSeasons();
    int race = 0;
    for (auto _ : state) {
        auto card = readRaceCard(data.tran(), data.meeting(), race % 12 + 1, "User");
        if (!card) state.SkipWithError("no race");
        benchmark::DoNotOptimize(card);
        ++race;
    }
}
BENCHMARK(race_card_switch_race)->Unit(benchmark::kMillisecond);

void race_card_toggle_going(benchmark::State& state) {
    TenSeasons& data = tenSeasons();
    bool good = false;
    for (auto _ : state) {
        if (!storeRaceGoing(data.tran(), data.meeting(), 11, good)) state.SkipWithError("no race");
        auto card = readRaceCard(data.tran(), data.meeting(), 11, "User");
        benchmark::DoNotOptimize(card);
        good = !good;
    }
}
BENCHMARK(race_card_toggle_going)->Unit(benchmark::kMillisecond);

void race_card_change_course(benchmark::State& state) {
    TenSeasons& data = tenSeasons();
    for (auto _ : state) {
        auto courses = sameDayCourses(data.tran(), data.meeting());
        auto races = meetingRaces(data.tran(), data.meeting());
        auto card = readRaceCard(data.tran(), data.meeting(), races.tabs.at(0).raceNumber, "User");
        benchmark::DoNotOptimize(courses);
        benchmark::DoNotOptimize(card);
    }
}
BENCHMARK(race_card_change_course)->Unit(benchmark::kMillisecond);

}  // namespace
