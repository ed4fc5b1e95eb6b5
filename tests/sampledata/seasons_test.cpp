// Consecutive seasons: years follow each other across 1999 → 2000, the horses carry on with
// their earlier runs in their histories, and the importers take the seasons one after another.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/import/archive_import.hpp"
#include "core/records/cp932.hpp"
#include "core/records/layout_den1.hpp"
#include "core/records/layout_sei1.hpp"
#include "core/records/layout_umaj.hpp"
#include "core/records/layouts.hpp"
#include "core/records/numeric.hpp"
#include "core/store/store.hpp"
#include "sampledata/generator.hpp"
#include "record_reading.hpp"
#include "temp_folder.hpp"

namespace zelvanor::sample {
namespace {

std::vector<SampleData> seasons(SampleSize size, int count, std::uint32_t seed) {
    std::vector<SampleData> out;
    generateSeasons(size, count, seed, [&](const SampleData& data) { out.push_back(data); });
    return out;
}

// Horse code → its horse record.
std::map<std::string, std::string_view> horsesOf(const SampleData& data) {
    std::map<std::string, std::string_view> out;
    for (std::string_view r : recordsOf(data.umaj, kUmajLayout)) {
        out.emplace(text(r, kUmajLayout.field("umacode")), r);
    }
    return out;
}

class SeasonsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        weekends_ = new std::vector<SampleData>(seasons(SampleSize::Weekend, 3, 5));
    }
    static void TearDownTestSuite() {
        delete weekends_;
        weekends_ = nullptr;
    }
    static const std::vector<SampleData>& weekends() { return *weekends_; }

  private:
    static std::vector<SampleData>* weekends_;
};
std::vector<SampleData>* SeasonsTest::weekends_ = nullptr;

TEST_F(SeasonsTest, YearsFollowEachOtherAndTheFirstIsTheSingleSeason) {
    ASSERT_EQ(weekends().size(), 3u);
    const SampleData single = generateSample(SampleSize::Weekend, 5);
    EXPECT_EQ(weekends()[0].umaj, single.umaj);
    EXPECT_EQ(weekends()[0].den1, single.den1);
    EXPECT_EQ(weekends()[0].sei1, single.sei1);
    EXPECT_EQ(weekends()[0].kisi, single.kisi);

    for (int s = 0; s < 3; ++s) {
        const SampleData& season = weekends()[static_cast<std::size_t>(s)];
        const int year = kFirstSeason + s;
        EXPECT_EQ(season.year, year);
        EXPECT_EQ(season.firstRaceDay.substr(0, 5), std::to_string(year) + "-");
        EXPECT_EQ(season.races, 72);
        for (std::string_view card : recordsOf(season.den1, kDen1Layout)) {
            ASSERT_EQ(value(card, kDen1Layout.field("year")), year % 100);
        }
        for (std::string_view result : recordsOf(season.sei1, kSei1Layout)) {
            ASSERT_EQ(value(result, kSei1Layout.field("year")), year % 100);
        }
        // Every runner is of racing age, counted modulo 100 across 1999 → 2000.
        const auto horses = horsesOf(season);
        for (std::string_view card : recordsOf(season.den1, kDen1Layout)) {
            const int runners = static_cast<int>(value(card, kDen1Layout.field("tousuu")));
            for (int k = 1; k <= runners; ++k) {
                const std::string code = text(card, den1RunnerSubField(k, "umacode"));
                const auto birth = numericValue(text(horses.at(code), kUmajLayout.field("seinen")));
                const auto age = (year % 100 - birth / 10000 + 100) % 100;
                ASSERT_GE(age, 2) << code;
                ASSERT_LE(age, 10) << code;
            }
        }
    }
    // The same seed gives the same later seasons.
    EXPECT_EQ(seasons(SampleSize::Meeting, 2, 3)[1].umaj,
              seasons(SampleSize::Meeting, 2, 3)[1].umaj);
}

TEST_F(SeasonsTest, HorsesOfASeasonRunOnWithItsRunsInTheirHistories) {
    for (int s = 1; s < 3; ++s) {
        const SampleData& before = weekends()[static_cast<std::size_t>(s - 1)];
        const SampleData& now = weekends()[static_cast<std::size_t>(s)];
        const int yearBefore = before.year % 100;
        // Where each horse finished in the season before: its last run of that season.
        std::map<std::string, std::pair<std::int64_t, std::int64_t>> finished;  // day, position
        for (std::string_view result : recordsOf(before.sei1, kSei1Layout)) {
            const auto day = value(result, kSei1Layout.field("month")) * 100 +
                             value(result, kSei1Layout.field("day"));
            const int runners = static_cast<int>(value(result, kSei1Layout.field("tousuu")));
            for (int k = 1; k <= runners; ++k) {
                const std::string code = text(result, sei1RunnerSubField(k, "umacode"));
                const auto position = value(result, sei1RunnerSubField(k, "position"));
                auto& last = finished[code];
                if (day >= last.first) last = {day, position};
            }
        }
        const auto horsesBefore = horsesOf(before);
        int carried = 0;
        int youngsters = 0;
        for (const auto& [code, record] : horsesOf(now)) {
            const auto it = horsesBefore.find(code);
            if (it == horsesBefore.end()) {
                const auto birth = numericValue(text(record, kUmajLayout.field("seinen")));
                if (birth / 10000 == (now.year - 2) % 100) ++youngsters;
                continue;
            }
            ++carried;
            EXPECT_EQ(text(record, kUmajLayout.field("seinen")),
                      text(it->second, kUmajLayout.field("seinen")));
            EXPECT_EQ(text(record, kUmajLayout.field("bamei")),
                      text(it->second, kUmajLayout.field("bamei")));
            // Its newest history entry is its last run of the season before, as the results
            // file of that season has it.
            const auto ran = finished.find(code);
            ASSERT_NE(ran, finished.end()) << code;
            const auto entry = [&](std::string_view name) {
                return value(record, umajHistoryField(1, name));
            };
            EXPECT_EQ(entry("year"), yearBefore) << code;
            EXPECT_EQ(entry("month") * 100 + entry("day"), ran->second.first) << code;
            EXPECT_EQ(entry("position"), ran->second.second) << code;
            // The older history moves down a place.
            EXPECT_EQ(text(record, umajHistoryField(2, "raceName")),
                      text(it->second, umajHistoryField(1, "raceName")))
                << code;
        }
        EXPECT_GT(carried, 200) << now.year;
        EXPECT_GT(youngsters, 50) << now.year;
    }
}

TEST_F(SeasonsTest, TheImportsTakeTheSeasonsOneAfterAnother) {
    TempFolder out, data;
    const AppPaths paths(data.path());
    class Problems final : public Notifier {
      public:
        void notify(const std::string& text, const std::string&, Icon icon) override {
            if (icon == Icon::Critical || icon == Icon::Exclamation) all += text + "\n";
        }
        std::string all;
    } problems;
    const std::pair<ArchiveKind, std::string_view> order[] = {
        {ArchiveKind::Jockeys, kJockeysArchive},
        {ArchiveKind::Trainers, kTrainersArchive},
        {ArchiveKind::Horses, kHorsesAndCardsArchive},
        {ArchiveKind::Results, kResultsArchive},
    };
    std::vector<std::string> meetings;
    for (const SampleData& season : weekends()) {
        const auto folder = seasonFolder(out.path(), season.year);
        writeSample(season, folder, true);
        for (const auto& [kind, archive] : order) {
            const ImportRun run =
                extractAndImport(kind, folder / std::string(archive), paths, problems, {});
            ASSERT_TRUE(run) << season.year << " " << archive << "\n" << problems.all;
            for (const FileReport& file : run.report.files) {
                EXPECT_EQ(file.refused, 0u) << season.year << " " << file.file;
                EXPECT_EQ(file.stored, file.read) << season.year << " " << file.file;
            }
        }
        const std::string_view card = recordsOf(season.den1, kDen1Layout).front();
        char name[16];
        std::snprintf(name, sizeof name, "D%s%02d%02d%02d",
                      text(card, kDen1Layout.field("basho")).c_str(),
                      static_cast<int>(value(card, kDen1Layout.field("year"))),
                      static_cast<int>(value(card, kDen1Layout.field("month"))),
                      static_cast<int>(value(card, kDen1Layout.field("day"))));
        meetings.push_back(name);
    }
    EXPECT_EQ(problems.all, "");
    ASSERT_EQ(meetings.size(), 3u);
    EXPECT_EQ(meetings[2].substr(3, 2), "00");
    for (const std::string& meeting : meetings) {
        EXPECT_TRUE(tableExists(paths.tranPath(), meeting)) << meeting;
    }
}

}  // namespace
}  // namespace zelvanor::sample
