#include "core/predict/speed_figure.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "predict_fixture.hpp"

using namespace zelvanor;

namespace {

TEST(SpeedTables, HoldTheHundredAndOneKeysOfTheCourses) {
    const auto keys = speedKeys();
    ASSERT_EQ(keys.size(), 101u);
    // Within one surface and course a longer race has a longer standard time and no larger
    // factor: a transposed digit in the table shows up here.
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_GT(standardTime(keys[i]), 0) << keys[i];
        EXPECT_GT(timeFactor(keys[i]), 0.0f) << keys[i];
        if (i > 0 && keys[i] / 10'000 == keys[i - 1] / 10'000) {
            EXPECT_GT(standardTime(keys[i]), standardTime(keys[i - 1])) << keys[i];
            EXPECT_LE(timeFactor(keys[i]), timeFactor(keys[i - 1])) << keys[i];
        }
    }
    struct Known {
        std::int64_t key;
        int time;
        float factor;
    };
    const Known known[] = {
        {1011000, 581, 1.7f},  {1021700, 1048, 1.0f}, {1051600, 956, 1.0f},  {1063600, 2278, 0.4f},
        {1083200, 2023, 0.5f}, {1092000, 1256, 0.8f}, {1102600, 1648, 0.6f}, {2052100, 1330, 0.8f},
        {2072300, 1507, 0.7f}, {2101000, 612, 1.6f},  {2101700, 1099, 0.9f},
    };
    for (const auto& k : known) {
        EXPECT_EQ(standardTime(k.key), k.time) << k.key;
        EXPECT_EQ(timeFactor(k.key), k.factor) << k.key;
    }
    for (std::int64_t missing : {0, 1051900, 1051601, 2051800, 3051600, 51600}) {
        EXPECT_EQ(standardTime(missing), 0) << missing;
        EXPECT_EQ(timeFactor(missing), 0.0f) << missing;
    }
    EXPECT_EQ(speedKey(1, 5, 1600), 1051600);
    EXPECT_EQ(speedKey(2, 10, 1000), 2101000);
}

TEST(SpeedFigure, TokyoTurfMileWithAndWithoutConnections) {
    // Standard 956, time 945, factor 1.0, 57 kg: 1.1 + 80 + 4.
    EXPECT_DOUBLE_EQ(speedFigure({}, 945, 1600, 570, 5, 11, "1"), 85.1);
    // Jockey rate 20, trainer rate 10: 85.1 − (85.1 × 0.05 + 85.1 × 0.01).
    EXPECT_NEAR(speedFigure({.jockeyRate = 20, .trainerRate = 10}, 945, 1600, 570, 5, 11, "1"),
                79.994, 1e-9);
    // An apprentice's allowance adds before the connections take their share.
    EXPECT_NEAR(speedFigure({.allowance = 3, .jockeyRate = 20}, 945, 1600, 570, 5, 11, "1"),
                88.1 * 0.95, 1e-9);
}

TEST(SpeedFigure, GoingAdjustsByTurfOrDirt) {
    // 東京 turf and dirt 1600 m run in their standard times at 55 kg rate 80.
    struct Case {
        std::int64_t track;
        std::int64_t time;
        const char* going;
        double want;
    };
    const Case cases[] = {
        {11, 956, "1", 80.0}, {11, 956, "2", 80.5}, {11, 956, "3", 81.0},
        {11, 956, "4", 81.5}, {17, 956, "5", 80.0}, {23, 984, "1", 80.0},
        {23, 984, "2", 79.0}, {23, 984, "3", 80.0}, {24, 984, "4", 80.5},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(speedFigure({}, c.time, 1600, 550, 5, c.track, c.going), c.want)
            << c.track << " " << c.going;
    }
}

TEST(SpeedFigure, WithoutAStandardTimeEveryRaceRatesSeventy) {
    const PastConnections strong{.allowance = 3, .jockeyRate = 50, .trainerRate = 50};
    EXPECT_EQ(speedFigure(strong, 1, 1900, 570, 5, 11, "4"), 70);     // turf 1900 m
    EXPECT_EQ(speedFigure(strong, 9999, 3000, 600, 5, 52, "2"), 70);  // steeplechase
    EXPECT_EQ(speedFigure(strong, 945, 1600, 570, 11, 11, "1"), 70);  // no such course
}

// Jockeys and the trainer of the masters, as the lookup serves them.
struct FakeMasters {
    std::map<std::string, PastConnections> jockeys;  // by name, for course 5
    std::vector<std::pair<std::string, std::int64_t>> asked;

    ConnectionsLookup lookup() {
        return [this](std::string_view name, std::int64_t course) {
            asked.emplace_back(std::string(name), course);
            const auto it = jockeys.find(std::string(name));
            return it == jockeys.end() || course != 5 ? PastConnections{} : it->second;
        };
    }
};

PastRace tokyoMile(std::string time, std::string jockey = "岡部　幸雄") {
    return {.course = "05",
            .distance = "1600",
            .track = "11",
            .going = "1",
            .runners = "12",
            .corner3 = "03",
            .abnormal = "0",
            .time = std::move(time),
            .weight = "570",
            .jockey = std::move(jockey)};
}

TEST(SpeedFigures, RatedRacesAskTheMastersByTheTrimmedJockeyName) {
    FakeMasters masters;
    masters.jockeys["岡部　幸雄"] = {.jockeyRate = 20, .trainerRate = 10};
    const std::vector<std::string> histories = {historyText(tokyoMile("1345")), neverRunText(),
                                                historyText(tokyoMile("1345", "田中")), "", ""};
    const SpeedFigures s = speedFigures(histories, masters.lookup());
    EXPECT_EQ(s.figures[0], double{80.0f});  // 79.994
    EXPECT_EQ(s.figures[1], 0);
    EXPECT_EQ(s.figures[2], double{85.1f});
    EXPECT_EQ(s.figures[3], 0);
    EXPECT_EQ(s.mean, double{82.5f});    // (79.994 + 85.1) / 2 = 82.547
    EXPECT_EQ(s.growth, double{-3.1f});  // (80 / 82.55 − 1) × 100, from the stored figures
    const std::vector<std::pair<std::string, std::int64_t>> asked = {{"岡部　幸雄", 5},
                                                                     {"田中", 5}};
    EXPECT_EQ(masters.asked, asked);
}

TEST(SpeedFigures, AbnormalOrUntimedRacesAreNotRated) {
    FakeMasters masters;
    PastRace fell = tokyoMile("1345");
    fell.abnormal = "4";
    const std::vector<std::string> histories = {historyText(fell), historyText(tokyoMile("0000")),
                                                historyText(tokyoMile("    ")), neverRunText(), ""};
    const SpeedFigures s = speedFigures(histories, masters.lookup());
    for (double f : s.figures) EXPECT_EQ(f, 0);
    EXPECT_EQ(s.mean, 70);
    EXPECT_EQ(s.growth, 0);
    EXPECT_TRUE(masters.asked.empty());
}

TEST(SpeedFigures, TheMeanTakesTheFiguresBeforeRounding) {
    // 東京 dirt 1600 m in standard time at 55 kg rates 80, less 0.2 per point of jockey rate:
    // 79.96, 79.96 and 79.86 are stored 80.0, 80.0 and 79.9 (mean 79.97 → 80.0), while their
    // own mean 79.927 gives 79.9.
    FakeMasters masters;
    masters.jockeys["甲"] = {.jockeyRate = 0.2};
    masters.jockeys["乙"] = {.jockeyRate = 0.7};
    auto dirtMile = [](const char* jockey) {
        return historyText({.course = "05",
                            .distance = "1600",
                            .track = "23",
                            .going = "1",
                            .abnormal = "0",
                            .time = "1384",
                            .weight = "550",
                            .jockey = jockey});
    };
    const std::vector<std::string> histories = {dirtMile("甲"), dirtMile("甲"), dirtMile("乙")};
    const SpeedFigures s = speedFigures(histories, masters.lookup());
    EXPECT_EQ(s.figures[0], double{80.0f});
    EXPECT_EQ(s.figures[2], double{79.9f});
    EXPECT_EQ(s.mean, double{79.9f});
}

TEST(GrowthRate, RecentTwoAgainstAllOfTheStoredFigures) {
    EXPECT_EQ(growthRate(std::vector{84.0, 0.0, 80.0, 76.0, 0.0}), double{5.0f});
    EXPECT_EQ(growthRate(std::vector{0.0, 0.0, 80.0, 76.0, 0.0}), 0);  // no recent figure
    EXPECT_EQ(growthRate(std::vector{0.0, 0.0, 0.0, 0.0, 0.0}), 0);
    EXPECT_EQ(growthRate(std::vector{76.0, 84.0, 0.0, 0.0, 0.0}), 0);  // only recent ones
    EXPECT_EQ(growthRate(std::vector{70.0, 0.0, 90.0, 0.0, 0.0}), double{-12.5f});
}

}  // namespace
