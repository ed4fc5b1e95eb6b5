#include "core/predict/running_style.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "predict_fixture.hpp"

using namespace zelvanor;

namespace {

std::string ran(std::string runners, std::string corner) {
    return historyText({.runners = std::move(runners), .corner3 = std::move(corner)});
}

TEST(RunningStyle, MeanCornerAgainstMeanFieldSkippingRacesNeverRun) {
    // Means 14 and 4: 10 × 4 / 14 = 2.86, stored 3.
    const std::vector<std::string> histories = {ran("12", "03"), neverRunText(), ran("16", "05"),
                                                neverRunText(), neverRunText()};
    const RunningStyle s = runningStyle(histories);
    EXPECT_EQ(s.index, 3);
    EXPECT_EQ(s.style, "先行");
}

TEST(RunningStyle, IndexRoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(runningStyle(std::vector{ran("20", "05")}).index, 2);  // 2.5
    EXPECT_EQ(runningStyle(std::vector{ran("20", "07")}).index, 4);  // 3.5
    EXPECT_EQ(runningStyle(std::vector{ran("08", "07")}).index, 9);  // 8.75
}

TEST(RunningStyle, NothingToGoOnGivesNoStyle) {
    const std::vector<std::vector<std::string>> cases = {
        {},                                                // no history at all
        {neverRunText(), neverRunText(), neverRunText()},  // never raced
        {ran("00", "03"), ran("", "05"), neverRunText()},  // positions without a field size
    };
    for (const auto& histories : cases) {
        const RunningStyle s = runningStyle(histories);
        EXPECT_EQ(s.index, 0);
        EXPECT_EQ(s.style, " ");
    }
}

TEST(RunningStyle, StyleBandsOfTheIndex) {
    const std::pair<int, const char*> cases[] = {
        {0, "逃げ"}, {1, "逃げ"}, {2, "先行"}, {4, "先行"},
        {5, "差し"}, {8, "差し"}, {9, "追い"}, {15, "追い"},
    };
    for (const auto& [index, style] : cases) EXPECT_EQ(runningStyleOf(index), style) << index;
}

TEST(AptitudeMarks, EachMarkComparesTwoSumsAndTiesGoToTheSecond) {
    struct Case {
        AptitudePercentages p;
        AptitudeMarks want;
    };
    const Case cases[] = {
        {{}, {" ", " ", " ", " "}},
        // 40 against 40: the second mark, "左", as for the surface and going.
        {{.babaShibaR = 30, .babaShibaL = 10, .babaDertR = 10, .babaDertL = 30},
         {"左", "ダ", " ", " "}},
        {{.babaShibaR = 50, .babaShibaL = 20, .babaDertL = 10}, {"右", "芝", " ", " "}},
        {{.jotaiShibaRyo = 20, .jotaiShibaOmo = 30, .jotaiDertRyo = 10}, {" ", " ", "重", " "}},
        {{.jotaiDertRyo = 1}, {" ", " ", "良", " "}},
        // Distance: S, M, L as sums of turf and dirt.
        {{.kyoriShiba1600 = 30, .kyoriShiba2200 = 20, .kyoriDert1600 = 10, .kyoriDert2201 = 30},
         {" ", " ", " ", "S"}},
        {{.kyoriShiba1600 = 40, .kyoriShiba2201 = 40}, {" ", " ", " ", "L"}},
        {{.kyoriShiba1600 = 40, .kyoriShiba2200 = 40, .kyoriShiba2201 = 10}, {" ", " ", " ", "M"}},
        {{.kyoriShiba1600 = 10, .kyoriShiba2200 = 40, .kyoriDert2201 = 40}, {" ", " ", " ", "L"}},
        {{.kyoriShiba1600 = 50}, {" ", " ", " ", "S"}},
    };
    for (const auto& c : cases) {
        const AptitudeMarks m = aptitudeMarks(c.p);
        EXPECT_EQ(m.direction, c.want.direction);
        EXPECT_EQ(m.surface, c.want.surface);
        EXPECT_EQ(m.going, c.want.going);
        EXPECT_EQ(m.distance, c.want.distance);
    }
}

AptitudeMarks marks(const char* direction, const char* surface, const char* going,
                    const char* distance) {
    return AptitudeMarks{direction, surface, going, distance};
}

TEST(AptitudeIndex, LeftHandedTurfHorseSuitedThreeWaysOnGoodGoing) {
    const AptitudePercentages p{.babaSougou = 30};
    const RaceValues race{.course = "05", .track = "11", .runners = 10, .distance = 2000};
    // A = 40 × 1.2 × 1.2 × 1.2 = 69.12.
    const auto a = aptitudeIndices(p, marks("左", "芝", "良", "M"), race, Multipliers{});
    EXPECT_EQ(a.good, double{8.3f});
    EXPECT_EQ(a.heavy, double{6.9f});

    // The weighted values take the user's multipliers instead: W = 40 × 1.0 × 1.6 × 1.4 = 89.6,
    // good going 1.6 × 89.6 / 10 = 14.336, heavy 8.96; the plain ones do not change.
    Multipliers m;
    m.direction = 1.0f;
    m.surface = 1.6f;
    m.distance = 1.4f;
    m.going = 1.6f;
    const auto w = aptitudeIndices(p, marks("左", "芝", "良", "M"), race, m);
    EXPECT_EQ(w.good, double{8.3f});
    EXPECT_EQ(w.heavy, double{6.9f});
    EXPECT_DOUBLE_EQ(w.weightedGood, 14.3);
    EXPECT_DOUBLE_EQ(w.weightedHeavy, 9.0);

    // On "重" the going factor moves to the heavy-going values.
    const auto h = aptitudeIndices(p, marks("左", "芝", "重", "M"), race, m);
    EXPECT_EQ(h.good, double{6.9f});
    EXPECT_EQ(h.heavy, double{8.3f});
    EXPECT_DOUBLE_EQ(h.weightedGood, 9.0);
    EXPECT_DOUBLE_EQ(h.weightedHeavy, 14.3);
}

TEST(AptitudeIndex, NoAptitudeInASixteenRunnerRace) {
    const RaceValues race{.course = "05", .track = "11", .runners = 16, .distance = 1600};
    const AptitudePercentages none{};
    const auto a = aptitudeIndices(none, aptitudeMarks(none), race, Multipliers{});
    EXPECT_EQ(a.good, double{0.6f});  // 6.25 / 10
    EXPECT_EQ(a.heavy, double{0.6f});
    EXPECT_DOUBLE_EQ(a.weightedGood, 0.6);
    EXPECT_DOUBLE_EQ(a.weightedHeavy, 0.6);
}

TEST(AptitudeIndex, WhichFactorsApplyOnWhichTrack) {
    // base 100 / 10 + 0 = 10; each factor that applies multiplies by 1.2 (1.44 for two, 1.728
    // for three), shown as index / 10.
    const AptitudePercentages p{};
    struct Case {
        const char* track;
        std::int64_t distance;
        AptitudeMarks m;
        float want;
    };
    const Case cases[] = {
        {"11", 1600, marks("左", "芝", " ", "S"), 1.7f},  // left turf: all three
        {"16", 1600, marks("右", "芝", " ", "S"), 1.4f},  // right mark on a left track
        {"17", 1601, marks("右", "芝", " ", "M"), 1.7f},  // right turf
        {"22", 2200, marks("右", "ダ", " ", "M"), 1.4f},
        {"23", 2201, marks("左", "ダ", " ", "L"), 1.7f},  // left dirt
        {"24", 1000, marks("右", "ダ", " ", "S"), 1.7f},  // right dirt
        {"24", 1000, marks("左", "芝", " ", "M"), 1.0f},
        {"52", 3000, marks("左", "芝", " ", "L"), 1.2f},  // steeplechase: distance only
        {"52", 3000, marks("右", "ダ", " ", "S"), 1.0f},
        {"11", 0, marks(" ", " ", " ", "L"), 1.2f},  // no distance is "L"
    };
    const RaceValues base{.course = "05", .runners = 10};
    for (const auto& c : cases) {
        RaceValues race = base;
        race.track = c.track;
        race.distance = c.distance;
        const auto a = aptitudeIndices(p, c.m, race, Multipliers{});
        EXPECT_EQ(a.good, double{c.want}) << c.track << " " << c.distance;
    }
}

TEST(AptitudeIndex, ARaceWithoutRunnersIsRefused) {
    const RaceValues race{.course = "05", .track = "11", .runners = 0, .distance = 1600};
    EXPECT_THROW(aptitudeIndices({}, {}, race, Multipliers{}), std::invalid_argument);
}

}  // namespace

namespace {

TEST(CharacterPositions, CountFullWidthCharactersAsOneAndStopAtTheEnd) {
    const std::string text = "05天皇賞 12";  // characters: 0 5 天 皇 賞 ␠ 1 2
    struct Case {
        std::size_t first;
        std::size_t count;
        const char* want;
    };
    const Case cases[] = {
        {1, 2, "05"}, {3, 3, "天皇賞"}, {4, 1, "皇"}, {6, 3, " 12"}, {7, 5, "12"},
        {9, 1, ""},   {20, 2, ""},      {0, 2, ""},   {2, 0, ""},
    };
    const CharacterText indexed(text);
    for (const auto& c : cases) {
        EXPECT_EQ(charactersAt(text, c.first, c.count), c.want) << c.first << "," << c.count;
        EXPECT_EQ(indexed.at(c.first, c.count), c.want) << c.first << "," << c.count;
    }
    EXPECT_EQ(indexed.valueAt(6, 3), 12);  // a leading blank is skipped
    EXPECT_EQ(valueAt(text, 3, 3), 0);
    EXPECT_EQ(CharacterText("").at(1, 1), "");

    // Longer than what is indexed in place.
    std::string longText;
    for (int i = 0; i < 150; ++i) longText += "天a";
    const CharacterText longIndexed(longText);
    EXPECT_EQ(longIndexed.at(299, 5), "天a");
    EXPECT_EQ(longIndexed.at(2, 1), "a");
}

// The index skips runs of ASCII a word at a time; it must find the same characters as a plain
// scan wherever ASCII and longer characters meet, and past what is indexed in place.
TEST(CharacterPositions, AgreeWithAPlainScanOnMixedTexts) {
    const char* pieces[] = {"a", "7", " ", "天", "ｱ", "é", "\xF0\x9F\x90\x8E"};
    std::uint32_t state = 12345;
    CharacterText indexed;
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int length = round % 230;
        for (int i = 0; i < length; ++i) {
            state = state * 1103515245u + 12345u;
            // Mostly ASCII, as a history is.
            const std::uint32_t pick = (state >> 16) % 20;
            text += pieces[pick < 14 ? pick % 3 : 3 + (pick - 14) % 4];
        }
        indexed.index(text);
        for (std::size_t first = 0; first <= static_cast<std::size_t>(length) + 1; ++first) {
            for (std::size_t count : {1u, 3u, 9u}) {
                ASSERT_EQ(indexed.at(first, count), charactersAt(text, first, count))
                    << "round " << round << " at " << first << "," << count;
            }
        }
    }
}

}  // namespace
