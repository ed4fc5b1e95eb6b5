#include "core/predict/ability.hpp"

#include <gtest/gtest.h>

#include <utility>

using namespace zelvanor;

namespace {

TEST(CourseBias, RulesOfEachCourseInOrder) {
    struct Case {
        const char* course;
        std::int64_t distance;
        const char* track;
        std::int64_t bracket;
        const char* style;
        int want;
    };
    const Case cases[] = {
        // 札幌 turf: inner sets 2 at 1000 m, a front runner adds 1 there; dirt has no rule.
        {"01", 1000, "11", 1, "逃げ", 3},
        {"01", 1200, "11", 2, "差し", 2},
        {"01", 2000, "17", 5, "追い", 1},
        {"01", 1000, "23", 1, "逃げ", 0},
        // 函館 turf: a front runner up to 1800 m counts twice when it leads.
        {"02", 1800, "17", 1, "逃げ", 3},
        {"02", 2500, "17", 5, "逃げ", 1},
        {"02", 2000, "17", 5, "追い", 1},
        {"02", 2600, "17", 5, "追い", 0},
        {"02", 1700, "24", 8, "差し", 1},
        // 福島
        {"03", 2000, "11", 5, "先行", 1},
        {"03", 2600, "11", 7, "先行", 1},
        {"03", 1000, "24", 1, "逃げ", 1},
        {"03", 1700, "24", 8, "差し", 1},
        // 新潟, both surfaces: inner −1, outer +1, sprint front runners +2; turf closers +1.
        {"04", 1000, "11", 1, "逃げ", 1},
        {"04", 1200, "23", 8, "先行", 3},
        {"04", 2000, "11", 3, "追い", 1},
        {"04", 2000, "23", 3, "追い", 0},
        {"04", 1800, "11", 2, "追い", -1},
        // 東京: closers 2 on both surfaces; a blank style has no bias.
        {"05", 1600, "11", 4, " ", 0},
        {"05", 2400, "11", 4, "差し", 2},
        {"05", 1600, "11", 4, "先行", -1},
        {"05", 2000, "11", 1, "追い", 1},
        {"05", 1800, "23", 8, "追い", 3},
        {"05", 1600, "52", 4, "逃げ", 0},  // a steeplechase counts as dirt
        // 中山 turf
        {"06", 1800, "17", 2, "先行", 2},
        {"06", 2000, "17", 2, "先行", 0},
        {"06", 1800, "17", 5, "差し", 0},
        {"06", 2500, "17", 8, "差し", 2},
        {"06", 1200, "24", 3, "追い", 1},
        {"06", 2400, "24", 3, "逃げ", 1},
        // 中京
        {"07", 1700, "11", 3, "先行", 1},
        {"07", 1700, "11", 3, "差し", 0},
        {"07", 2000, "11", 3, "差し", 1},
        {"07", 1000, "23", 3, "逃げ", 2},
        {"07", 1700, "23", 3, "先行", 1},
        // 京都
        {"08", 2000, "17", 4, "追い", 2},
        {"08", 1400, "17", 8, "差し", 2},
        {"08", 1200, "17", 8, "逃げ", 1},
        {"08", 1800, "24", 4, "逃げ", 1},
        // 阪神
        {"09", 1600, "17", 8, "逃げ", -2},
        {"09", 1600, "17", 8, "差し", 0},
        {"09", 2000, "17", 8, "差し", 1},
        {"09", 1200, "24", 5, "先行", 1},
        {"09", 1800, "24", 5, "差し", 1},
        // 小倉
        {"10", 1700, "17", 1, "逃げ", 2},
        {"10", 1200, "17", 1, "逃げ", 1},
        {"10", 1800, "24", 2, "追い", 1},
        // Any other course
        {"11", 1600, "11", 1, "逃げ", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(courseBias(c.course, c.distance, c.track, c.bracket, c.style), c.want)
            << c.course << " " << c.distance << " " << c.track << " " << c.bracket << " "
            << c.style;
    }
}

// SpBase 80.0, SpSeichou 5.0, KCoseRen 20, CCoseRen 10, 57 kg, at 東京 turf 2400 m where a
// "先行" runner from bracket 4 has no bias.
AbilityInputs runner() {
    AbilityInputs in;
    in.spBase = 80;
    in.spSeichou = 5;
    in.tokuseiShisuu = double{8.3f};
    in.omoTokuseiShisuu = double{6.9f};
    in.tokusei3kaku = "先行";
    in.kCoseRen = 20;
    in.cCoseRen = 10;
    in.wakuNo = 4;
    in.weightedGood = 10;
    in.weightedHeavy = 5;
    in.weightCarried = 570;
    return in;
}

const RaceValues kTokyo2400{.course = "05", .track = "11", .runners = 12, .distance = 2400};

TEST(AbilityValues, WorkedRunner) {
    Multipliers m;  // all 1.2
    m.growth = 1.0f;
    const AbilityValues v = abilityValues(runner(), kTokyo2400, m);
    // 80 + 4 + 2 + 0.5 − 4
    EXPECT_EQ(v.nouryoku1, double{82.5f});
    EXPECT_EQ(v.omoNouryoku1, double{82.5f});
    // x = 80 + 4 − 4 = 80; 80 + 8.3 × 0.8 = 86.64; + 2 + 0.5
    EXPECT_EQ(v.nouryoku2, double{89.1f});
    // 80 + 6.9 × 0.8 = 85.52; + 2.5
    EXPECT_EQ(v.omoNouryoku2, double{88.0f});
    // x = 80 + 1.0 × 4 − 4 = 80; + 1.3 × 10 × 0.8 = 90.4; no bias;
    // + 20 × 0.25 × 1.2 % + 10 × 0.1 × 1.2 % of x = 90.4 × 1.072 = 96.9088
    EXPECT_EQ(v.nouryoku3, double{96.9f});
    // x = 80 + 1.3 × 5 × 0.8 = 85.2; × 1.072 = 91.3344
    EXPECT_EQ(v.omoNouryoku3, double{91.3f});
}

TEST(AbilityValues, CourseBiasGivesFourPercentOnGoodGoingAndTwoOnHeavy) {
    // No growth, no aptitude, no connections, 55 kg: x = SpBase = 80 before the bias.
    AbilityInputs in;
    in.spBase = 80;
    in.weightCarried = 550;
    in.tokusei3kaku = "先行";
    in.wakuNo = 2;
    const RaceValues nakayama1800{.course = "06", .track = "17", .runners = 12, .distance = 1800};
    const AbilityValues biased = abilityValues(in, nakayama1800, Multipliers{});  // bias 2
    EXPECT_EQ(biased.nouryoku3, double{83.2f});
    EXPECT_EQ(biased.omoNouryoku3, double{81.6f});
    EXPECT_EQ(biased.nouryoku1, double{80.0f});  // the other personas ignore the bias
    EXPECT_EQ(biased.nouryoku2, double{80.0f});

    RaceValues nakayama2000 = nakayama1800;
    nakayama2000.distance = 2000;  // bias 0
    const AbilityValues plain = abilityValues(in, nakayama2000, Multipliers{});
    EXPECT_EQ(plain.nouryoku3, double{80.0f});
    EXPECT_EQ(plain.omoNouryoku3, double{80.0f});
}

TEST(AbilityValues, GrowthMultiplierZeroTouchesOnlyTheThirdPersona) {
    AbilityInputs in = runner();
    in.kCoseRen = 0;
    in.cCoseRen = 0;
    in.weightedGood = 0;
    in.weightedHeavy = 0;
    in.weightCarried = 550;
    Multipliers m;
    m.growth = 0.0f;
    const AbilityValues v = abilityValues(in, kTokyo2400, m);
    EXPECT_EQ(v.nouryoku3, double{80.0f});
    EXPECT_EQ(v.omoNouryoku3, double{80.0f});
    EXPECT_EQ(v.nouryoku1, double{84.0f});  // 80 + 5 % of 80
    m.growth = 1.2f;
    EXPECT_EQ(abilityValues(in, kTokyo2400, m).nouryoku3, double{84.8f});  // 80 + 1.2 × 4
}

TEST(AbilityValues, WeightCarriedCountsTwoPointsAKilogram) {
    AbilityInputs in;
    in.spBase = 80;
    const std::pair<std::int64_t, float> cases[] = {{520, 86.0f}, {555, 79.0f}, {600, 70.0f}};
    for (const auto& [tenths, want] : cases) {
        in.weightCarried = tenths;
        const AbilityValues v = abilityValues(in, kTokyo2400, Multipliers{});
        EXPECT_EQ(v.nouryoku1, double{want}) << tenths;
        EXPECT_EQ(v.nouryoku2, double{want}) << tenths;
        EXPECT_EQ(v.nouryoku3, double{want}) << tenths;
    }
}

}  // namespace
