// From one season to the next: the season's runs go into the horses' careers, horses age, move
// up by their wins or retire, and the people's yearly statistics roll over.

#include <algorithm>

#include "calendar.hpp"
#include "parts.hpp"
#include "record_builder.hpp"

namespace zelvanor::sample {

namespace {

std::string_view shortNameOf(const Race& race) {
    static constexpr std::array<std::string_view, 4> kNames = {"新　馬", "未勝利", "５００",
                                                               "９００"};
    if (race.surface == Surface::Jump && race.name.empty()) return "障未勝";
    if (race.name.empty() && race.level < k1600) return kNames[static_cast<std::size_t>(race.level)];
    return {};
}

PastRun runOf(const World& world, const Race& race, std::size_t index) {
    const RaceDay& rd = world.raceDays[static_cast<std::size_t>(race.raceDay)];
    const Runner& runner = race.runners[index];
    const auto runnerAt = [&](int i) -> const Runner& {
        return race.runners[static_cast<std::size_t>(i)];
    };
    PastRun r;
    r.day = rd.day;
    r.course = rd.course;
    r.kaiji = rd.kaiji;
    r.hiji = rd.hiji;
    r.raceNo = race.raceNo;
    r.surface = race.surface;
    r.distance = race.distance;
    r.track = race.track;
    r.going = race.going;
    r.level = race.level;
    r.grade = race.grade;
    const std::string_view fixed = shortNameOf(race);
    r.shortName = fixed.empty() ? fullWidthPadded(race.name, 3) : std::string(fixed);
    r.runners = static_cast<int>(race.runners.size());
    r.horseNumber = static_cast<int>(index) + 1;
    r.bracket = bracketOf(r.horseNumber, r.runners);
    r.position = runner.position;
    r.abnormal = runner.abnormal;
    r.time = runner.time;
    const bool won = static_cast<int>(index) == race.placed[0];
    // The winner's margin is its lead over the second.
    r.timeDiff = won ? -runnerAt(race.placed[1]).timeDiff : runner.timeDiff;
    r.weightCarried = runner.weight;
    r.bodyWeight = runner.bodyWeight;
    r.bodyWeightChange = runner.bodyWeightChange;
    r.corners = runner.corners;
    r.lastThree = runner.lastThree;
    r.popularity = runner.popularity;
    r.jockey = runner.jockey;
    const Runner& other = runnerAt(won ? race.placed[1] : race.placed[0]);
    r.otherHorse = world.horses[static_cast<std::size_t>(other.horse)].name;
    if (r.position >= 1 && r.position <= 5) {
        const long first = firstPrize(race.level, race.grade);
        const int share = kPlaceShares[static_cast<std::size_t>(r.position - 1)];
        r.prize = first * share / 100;
        r.added = !race.name.empty() && r.position <= 3 ? first / 25 * share / 100 : 0;
    }
    return r;
}

int winsOf(const Horse& h, bool jump) {
    return static_cast<int>(std::count_if(h.career.begin(), h.career.end(), [&](const PastRun& r) {
        return r.position == 1 && (r.surface == Surface::Jump) == jump;
    }));
}

// Whether a horse races on in `year`, and in which pool. Maidens cannot run on the flat past
// their three-year-old season; some go over fences instead.
bool carryOn(Horse& h, int year, Random& random) {
    if (h.firstCardDay < 0) return false;  // made for a season but never needed
    const int age = year - dateOf(h.birthDay).year;
    static constexpr std::array<int, 10> kRetirePercent = {0, 0, 0, 0, 12, 22, 35, 50, 70, 100};
    if (random.chance(kRetirePercent[static_cast<std::size_t>(std::min(age, 9))])) return false;
    if (age >= 4 && h.ability < 30 && random.chance(50)) return false;
    h.pool.group = std::clamp(age - 2, 0, 2);
    if (!h.pool.jump && h.career.empty()) {
        if (h.pool.group > 0) return false;
        h.pool.level = kNewcomer;
        return true;
    }
    if (!h.pool.jump) {
        const int wins = winsOf(h, false);
        if (wins == 0 && h.pool.group == 2) {
            if (!random.chance(25)) return false;
            h.pool.jump = true;
        }
        h.pool.level = static_cast<Level>(std::min<int>(kOpen, kMaiden + wins));
    }
    if (h.pool.jump) h.pool.level = winsOf(h, true) > 0 ? kOpen : kMaiden;
    return true;
}

void addTo(Counts& to, const Counts& from) { to.add(from); }

void addTo(RideYear& to, const RideYear& from) {
    addTo(to.flat, from.flat);
    addTo(to.jump, from.jump);
    for (std::size_t b = 0; b < to.band.size(); ++b) {
        for (std::size_t s = 0; s < 2; ++s) addTo(to.band[b][s], from.band[b][s]);
    }
    for (std::size_t c = 0; c < kCourses; ++c) {
        addTo(to.courseFlat[c], from.courseFlat[c]);
        addTo(to.courseJump[c], from.courseJump[c]);
    }
    to.prizeFlat += from.prizeFlat;
    to.addedFlat += from.addedFlat;
    to.prizeJump += from.prizeJump;
    to.addedJump += from.addedJump;
}

Counts capped(Counts counts) {
    for (int& n : counts.n) n = std::min(n, 9999);  // career counts have four digits
    return counts;
}

double shareOfYearBefore(int day) {
    const Ymd d = dateOf(day);
    return (day - dayNumber(d.year, 1, 1)) / 365.0;
}

}  // namespace

void recordRuns(World& world) {
    for (const Race& race : world.races) {
        for (std::size_t i = 0; i < race.runners.size(); ++i) {
            Horse& h = world.horses[static_cast<std::size_t>(race.runners[i].horse)];
            h.career.push_back(runOf(world, race, i));
            h.bodyWeight = race.runners[i].bodyWeight;
        }
    }
}

void startSeason(World& world, int year, std::vector<RaceDay> raceDays, Random& random) {
    const double shareBefore = shareOfYearBefore(world.asOfDay);
    world.year = year;
    world.raceDays = std::move(raceDays);
    world.races.clear();
    world.asOfDay = world.raceDays.front().day - 1;
    const double share = shareOfYearBefore(world.asOfDay);

    for (Horse& h : world.horses) {
        if (h.retired) continue;
        h.retired = !carryOn(h, year, random);
        if (h.retired) {
            h.career.clear();
            h.career.shrink_to_fit();
        }
    }

    // Last year's statistics are the whole of last year: its first days, in the files before,
    // and the rest of it; this year starts afresh.
    for (auto* people : {&world.jockeys, &world.trainers}) {
        for (Person& p : *people) {
            const RideYear rest =
                rideYear(p, static_cast<int>(p.flatPerYear * (1 - shareBefore)),
                         static_cast<int>(p.jumpPerYear * (1 - shareBefore)), random);
            p.lastYear = p.thisYear;
            addTo(p.lastYear, rest);
            p.thisYear = rideYear(p, static_cast<int>(p.flatPerYear * share),
                                  static_cast<int>(p.jumpPerYear * share), random);
            addTo(p.careerFlat, rest.flat);
            addTo(p.careerFlat, p.thisYear.flat);
            addTo(p.careerJump, rest.jump);
            addTo(p.careerJump, p.thisYear.jump);
            p.careerFlat = capped(p.careerFlat);
            p.careerJump = capped(p.careerJump);
            if (p.minarai != '0') {
                const int wins = p.careerFlat.n[0] + p.careerJump.n[0];
                p.minarai = wins < 30 ? '3' : wins < 50 ? '2' : wins < 100 ? '1' : '0';
            }
        }
    }
}

}  // namespace zelvanor::sample
