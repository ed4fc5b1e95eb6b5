#include "core/predict/ability.hpp"

#include <initializer_list>

namespace zelvanor {

namespace {

constexpr std::string_view kAbilityPattern = "##0.0";

// The runner as the rules of one course see it.
struct Runner {
    std::int64_t distance;
    std::int64_t bracket;
    std::string_view style;

    bool at(std::initializer_list<std::int64_t> distances) const {
        for (std::int64_t d : distances) {
            if (distance == d) return true;
        }
        return false;
    }
    bool upTo(std::int64_t metres) const { return distance <= metres; }
    bool inner() const { return bracket == 1 || bracket == 2; }
    bool outer() const { return bracket == 7 || bracket == 8; }
    bool is(std::string_view s) const { return style == s; }
    bool front() const { return is("先行") || is("逃げ"); }
    bool closer() const { return is("追い") || is("差し"); }
};

int turfBias(std::string_view course, const Runner& r) {
    int score = 0;
    if (course == "01") {  // 札幌
        if (r.inner()) score = r.at({1000}) ? 2 : 1;
        if (r.at({1000}) && r.front()) score += 1;
        if (r.at({1200}) && (r.front() || r.is("差し"))) score += 1;
        if (r.at({1800, 2000}) && r.is("追い")) score += 1;
    } else if (course == "02") {  // 函館
        if (r.inner()) score = 1;
        if (r.upTo(1800) && r.front()) score += 1;
        if (r.upTo(2500) && r.is("逃げ")) score += 1;
        if (r.upTo(2000) && r.is("追い")) score += 1;
    } else if (course == "03") {  // 福島
        if (r.upTo(2000) && r.front()) score = 1;
        if (r.at({2600}) && r.outer()) score += 1;
    } else if (course == "04") {  // 新潟
        if (r.inner()) score = -1;
        if (r.outer()) score += 1;
        if (r.at({1000, 1200}) && r.front()) score += 2;
        if (r.at({1600, 2000, 2200}) && r.closer()) score += 1;
    } else if (course == "05") {  // 東京
        if (r.closer()) score = 2;
        if (r.at({1600}) && r.front()) score -= 1;
        if (r.at({2000}) && r.inner()) score -= 1;
    } else if (course == "06") {  // 中山
        if (r.at({1800})) {
            if (r.inner()) score = 1;
            if (r.front()) score += 1;
        } else if (r.closer()) {
            score = 1;
        }
        if (r.at({2500}) && r.outer()) score += 1;
    } else if (course == "07") {  // 中京
        if (r.at({1700, 1800})) {
            if (r.front()) score = 1;
        } else if (r.closer()) {
            score = 1;
        }
    } else if (course == "08") {  // 京都
        if (r.closer()) score = r.at({1800, 2000}) ? 2 : 1;
        if (r.at({1200, 1400}) && r.outer()) score += 1;
    } else if (course == "09") {  // 阪神
        if (r.closer()) score = 1;
        if (r.at({1600})) {
            if (r.outer()) score -= 1;
            if (r.is("逃げ")) score -= 1;
        }
    } else if (course == "10") {  // 小倉
        if (r.at({1700, 1800}) && r.inner()) score = 1;
        if (r.at({1000, 1200, 1700}) && r.front()) score += 1;
    }
    return score;
}

int dirtBias(std::string_view course, const Runner& r) {
    int score = 0;
    if (course == "02") {  // 函館
        if (r.outer()) score = 1;
    } else if (course == "03") {  // 福島
        if (r.at({1000}) && r.front()) score = 1;
        if (r.at({1700}) && r.outer()) score += 1;
    } else if (course == "04") {  // 新潟
        if (r.inner()) score = -1;
        if (r.outer()) score += 1;
        if (r.at({1000, 1200}) && r.front()) score += 2;
    } else if (course == "05") {  // 東京
        if (r.closer()) score = 2;
        if (r.at({1800}) && r.outer()) score += 1;
    } else if (course == "06") {  // 中山
        if (r.at({1200}) && r.closer()) score = 1;
        if (r.at({1800, 2400}) && r.front()) score += 1;
    } else if (course == "07") {  // 中京
        if (r.front()) score = r.at({1000}) ? 2 : 1;
    } else if (course == "08") {  // 京都
        if (r.front()) score = 1;
    } else if (course == "09") {  // 阪神
        if (r.at({1200}) && r.front()) score = 1;
        if (r.at({1800}) && r.closer()) score += 1;
    } else if (course == "10") {  // 小倉
        if (r.inner()) score = 1;
    }
    return score;  // 札幌 and any other course: none
}

}  // namespace

int courseBias(std::string_view course, std::int64_t distance, std::string_view track,
               std::int64_t bracket, std::string_view style) {
    const Runner runner{distance, bracket, style};
    const bool turf = track >= "11" && track <= "22";
    return turf ? turfBias(course, runner) : dirtBias(course, runner);
}

AbilityValues abilityValues(const AbilityInputs& in, const RaceValues& race, const Multipliers& m) {
    const double w = static_cast<double>(in.weightCarried) / 10;
    const double wAdj = (55 - w) * 2;
    const double sp = in.spBase;
    const double growth = in.spSeichou;
    const double kRen = static_cast<double>(in.kCoseRen);
    const double cRen = static_cast<double>(in.cCoseRen);
    const double bias =
        courseBias(race.course, race.distance, race.track, in.wakuNo, in.tokusei3kaku);

    AbilityValues out;
    const double n1 = sp + growth * sp / 100 + kRen / 10 + cRen / 20 + wAdj;
    out.nouryoku1 = storedSingle(n1, kAbilityPattern);
    out.omoNouryoku1 = out.nouryoku1;

    auto overall = [&](double aptitude) {
        double x = sp + growth * sp / 100 + wAdj;
        x = x + aptitude * x / 100;
        return storedSingle(x + kRen / 10 + cRen / 20, kAbilityPattern);
    };
    out.nouryoku2 = overall(in.tokuseiShisuu);
    out.omoNouryoku2 = overall(in.omoTokuseiShisuu);

    // The heavy-going value feels the course bias half as much.
    auto users = [&](double weightedAptitude, double biasFactor) {
        double x = sp + static_cast<double>(m.growth) * growth * sp / 100 + wAdj;
        x = x + 2 * 0.65 * weightedAptitude * sp / 100;
        x = x + biasFactor * bias * x / 100;
        return storedSingle(x + kRen * 0.25 * x * static_cast<double>(m.jockey) / 100 +
                                cRen * 0.1 * x * static_cast<double>(m.trainer) / 100,
                            kAbilityPattern);
    };
    out.nouryoku3 = users(in.weightedGood, 2);
    out.omoNouryoku3 = users(in.weightedHeavy, 1);
    return out;
}

}  // namespace zelvanor
