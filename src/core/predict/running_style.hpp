#pragma once

// Running style and aptitude: where a runner lay at the third corner of its recent races, which
// direction, surface, going and distance its record favours, and how well today's race suits
// those aptitudes. Pure functions over the runner's own values and today's race.

#include <span>
#include <string>

#include "core/predict/engine_values.hpp"

namespace zelvanor {

// Shisuu3kaku and Tokusei3kaku.
struct RunningStyle {
    int index = 0;            // 10 × mean third-corner position / mean field size, half to even
    std::string style = " ";  // "逃げ", "先行", "差し", "追い" or " "
};

// From the race history texts inf1 … inf5 (an entry counts unless its third-corner position,
// characters 74-75, reads "00"). No counted entry gives index 0 and style " "; so do counted
// entries whose field sizes (characters 30-31) all read 0, since their position cannot be set
// against a field.
RunningStyle runningStyle(std::span<const std::string> histories);
RunningStyle runningStyle(std::span<const CharacterText> histories);

// The style of an index: below 2 "逃げ", 2-4 "先行", 5-8 "差し", above 8 "追い".
std::string runningStyleOf(int index);

// The aptitude percentages of the runner's row (whole numbers 0 to 100).
struct AptitudePercentages {
    int babaShibaR = 0;
    int babaShibaL = 0;
    int babaDertR = 0;
    int babaDertL = 0;
    int babaSougou = 0;
    int jotaiShibaRyo = 0;
    int jotaiShibaOmo = 0;
    int jotaiDertRyo = 0;
    int jotaiDertOmo = 0;
    int kyoriShiba1600 = 0;
    int kyoriShiba2200 = 0;
    int kyoriShiba2201 = 0;
    int kyoriDert1600 = 0;
    int kyoriDert2200 = 0;
    int kyoriDert2201 = 0;
};

// TokuseiMigiHidari, TokuseiShibaDert, TokuseiTenkou and TokuseiKyori.
struct AptitudeMarks {
    std::string direction = " ";  // "右", "左" or " "
    std::string surface = " ";    // "芝", "ダ" or " "
    std::string going = " ";      // "良", "重" or " "
    std::string distance = " ";   // "S", "M", "L" or " "
};

AptitudeMarks aptitudeMarks(const AptitudePercentages& p);

// The aptitude indices as stored (TokuseiShisuu, OmoTokuseiShisuu) and the weighted values handed
// to the third persona, all formatted to one decimal.
struct AptitudeIndices {
    double good = 0;           // TokuseiShisuu, single precision as stored
    double heavy = 0;          // OmoTokuseiShisuu, single precision as stored
    double weightedGood = 0;   // not stored: kept in double precision
    double weightedHeavy = 0;  // not stored: kept in double precision
};

// Throws std::invalid_argument when race.runners is not positive: the base of the index is
// 100 / runners.
AptitudeIndices aptitudeIndices(const AptitudePercentages& p, const AptitudeMarks& marks,
                                const RaceValues& race, const Multipliers& m);

// The whole stage for one runner.
struct RunningStyleResult {
    RunningStyle style;
    AptitudeMarks marks;
    AptitudeIndices indices;
};

RunningStyleResult runningStyleAndAptitude(std::span<const std::string> histories,
                                           const AptitudePercentages& p, const RaceValues& race,
                                           const Multipliers& m);
RunningStyleResult runningStyleAndAptitude(std::span<const CharacterText> histories,
                                           const AptitudePercentages& p, const RaceValues& race,
                                           const Multipliers& m);

}  // namespace zelvanor
