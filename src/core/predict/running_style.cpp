#include "core/predict/running_style.hpp"

#include <stdexcept>
#include <string_view>

#include "core/records/format.hpp"

namespace zelvanor {

namespace {

constexpr double kAptitudeFactor = 1.2;
constexpr std::string_view kIndexPattern = "#####0.0";

// First sum greater: the first mark; else the second unless the second sum is 0.
std::string compareMarks(int first, int second, std::string_view firstMark,
                         std::string_view secondMark) {
    if (first > second) return std::string(firstMark);
    if (second != 0) return std::string(secondMark);
    return " ";
}

// Track codes are compared as texts, as they are stored.
bool between(std::string_view track, std::string_view low, std::string_view high) {
    return track >= low && track <= high;
}

bool isLeftHanded(std::string_view track) {
    return between(track, "11", "16") || track == "23";
}
bool isRightHanded(std::string_view track) {
    return between(track, "17", "22") || track == "24";
}
bool isTurf(std::string_view track) {
    return between(track, "11", "22");
}
bool isDirt(std::string_view track) {
    return track == "23" || track == "24";
}

std::string_view distanceBand(std::int64_t distance) {
    if (distance >= 1 && distance <= 1600) return "S";
    if (distance >= 1601 && distance <= 2200) return "M";
    return "L";
}

}  // namespace

std::string runningStyleOf(int index) {
    if (index < 2) return "逃げ";
    if (index <= 4) return "先行";
    if (index <= 8) return "差し";
    return "追い";
}

RunningStyle runningStyle(std::span<const std::string> histories) {
    const auto texts = characterTexts(histories);
    return runningStyle(std::span<const CharacterText>(texts.get(), histories.size()));
}

RunningStyle runningStyle(std::span<const CharacterText> histories) {
    double runnersSum = 0;
    double cornerSum = 0;
    int n = 0;
    for (const CharacterText& entry : histories) {
        if (entry.at(74, 2) == "00") continue;  // a race never run
        runnersSum += static_cast<double>(entry.valueAt(30, 2));
        cornerSum += static_cast<double>(entry.valueAt(74, 2));
        ++n;
    }
    // Without a field size there is nothing to set the corner position against.
    if (n == 0 || runnersSum == 0) return RunningStyle{};
    const double meanRunners = runnersSum / n;
    const double meanCorner = cornerSum / n;
    const int index = static_cast<int>(roundHalfEven(10 * meanCorner / meanRunners));
    return RunningStyle{index, runningStyleOf(index)};
}

AptitudeMarks aptitudeMarks(const AptitudePercentages& p) {
    AptitudeMarks marks;
    marks.direction =
        compareMarks(p.babaShibaR + p.babaDertR, p.babaShibaL + p.babaDertL, "右", "左");
    marks.surface =
        compareMarks(p.babaShibaR + p.babaShibaL, p.babaDertR + p.babaDertL, "芝", "ダ");
    marks.going = compareMarks(p.jotaiShibaRyo + p.jotaiDertRyo, p.jotaiShibaOmo + p.jotaiDertOmo,
                               "良", "重");

    const int s = p.kyoriShiba1600 + p.kyoriDert1600;
    const int m = p.kyoriShiba2200 + p.kyoriDert2200;
    const int l = p.kyoriShiba2201 + p.kyoriDert2201;
    const int rival = s > m ? s : m;
    if (rival > l) {
        marks.distance = s > m ? "S" : "M";
    } else {
        marks.distance = l != 0 ? "L" : " ";
    }
    return marks;
}

AptitudeIndices aptitudeIndices(const AptitudePercentages& p, const AptitudeMarks& marks,
                                const RaceValues& race, const Multipliers& m) {
    if (race.runners <= 0) {
        throw std::invalid_argument("aptitude index of a race without runners");
    }
    const double base = 100.0 / race.runners + p.babaSougou;
    double a = base;
    double w = base;
    auto apply = [&](float multiplier) {
        a = a * kAptitudeFactor;
        w = w * static_cast<double>(multiplier);
    };

    const std::string_view track = race.track;
    if ((isLeftHanded(track) && marks.direction == "左") ||
        (isRightHanded(track) && marks.direction == "右")) {
        apply(m.direction);
    }
    if ((isTurf(track) && marks.surface == "芝") || (isDirt(track) && marks.surface == "ダ")) {
        apply(m.surface);
    }
    if (marks.distance == distanceBand(race.distance)) apply(m.distance);

    double good = a / 10;
    double heavy = a / 10;
    double weightedGood = w / 10;
    double weightedHeavy = w / 10;
    if (marks.going == "良") {
        good = kAptitudeFactor * a / 10;
        weightedGood = static_cast<double>(m.going) * w / 10;
    } else if (marks.going == "重") {
        heavy = kAptitudeFactor * a / 10;
        weightedHeavy = static_cast<double>(m.going) * w / 10;
    }
    return AptitudeIndices{
        .good = storedSingle(good, kIndexPattern),
        .heavy = storedSingle(heavy, kIndexPattern),
        .weightedGood = formattedValue(weightedGood, kIndexPattern),
        .weightedHeavy = formattedValue(weightedHeavy, kIndexPattern),
    };
}

RunningStyleResult runningStyleAndAptitude(std::span<const std::string> histories,
                                           const AptitudePercentages& p, const RaceValues& race,
                                           const Multipliers& m) {
    const auto texts = characterTexts(histories);
    return runningStyleAndAptitude(std::span<const CharacterText>(texts.get(), histories.size()), p,
                                   race, m);
}

RunningStyleResult runningStyleAndAptitude(std::span<const CharacterText> histories,
                                           const AptitudePercentages& p, const RaceValues& race,
                                           const Multipliers& m) {
    RunningStyleResult r;
    r.style = runningStyle(histories);
    r.marks = aptitudeMarks(p);
    r.indices = aptitudeIndices(p, r.marks, race, m);
    return r;
}

}  // namespace zelvanor
