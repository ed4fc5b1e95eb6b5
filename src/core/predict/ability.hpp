#pragma once

// Course bias and the six ability values of a runner: two (good and heavy going) for each of the
// three predictor personas.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/predict/engine_values.hpp"

namespace zelvanor {

// −2 to 3: how the course, distance and surface favour the runner's bracket (1 … 8) and running
// style (Tokusei3kaku). Turf is a track code from "11" to "22" compared as text; anything else
// counts as dirt. Courses other than "01" … "10" have no bias.
int courseBias(std::string_view course, std::int64_t distance, std::string_view track,
               std::int64_t bracket, std::string_view style);

// The runner's values as the earlier stages stored them, with the weighted aptitude values they
// handed on.
struct AbilityInputs {
    double spBase = 0;
    double spSeichou = 0;
    double tokuseiShisuu = 0;
    double omoTokuseiShisuu = 0;
    std::string tokusei3kaku = " ";
    std::int64_t kCoseRen = 0;
    std::int64_t cCoseRen = 0;
    std::int64_t wakuNo = 0;
    double weightedGood = 0;
    double weightedHeavy = 0;
    std::int64_t weightCarried = 0;  // today's, in tenths of a kilogram
};

// As stored: one decimal, single precision.
struct AbilityValues {
    double nouryoku1 = 0;  // 碧渦, ability values
    double omoNouryoku1 = 0;
    double nouryoku2 = 0;  // 翠嶺, overall evaluation
    double omoNouryoku2 = 0;
    double nouryoku3 = 0;  // the user's persona
    double omoNouryoku3 = 0;
};

AbilityValues abilityValues(const AbilityInputs& in, const RaceValues& race, const Multipliers& m);

}  // namespace zelvanor
