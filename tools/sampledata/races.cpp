#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <map>

#include "calendar.hpp"
#include "parts.hpp"
#include "record_builder.hpp"
#include "core/records/layout_den1.hpp"
#include "core/records/layout_sei1.hpp"
#include "core/records/layouts.hpp"

namespace zelvanor::sample {

namespace {

constexpr int kSeasonWeekends = 49;
constexpr int kRacesPerDay = 12;
constexpr int kRestDays = 14;  // a horse runs at most once a fortnight
constexpr std::array<int, kRacesPerDay> kPostTimes = {1000, 1030, 1100, 1130, 1220, 1250,
                                                      1320, 1350, 1425, 1500, 1535, 1610};

// Whom a race is for: the youngest horses racing, their elders, or jumpers.
enum class Field { Young, Older, Jump };

// What the program of a race day asks for in one race.

struct Plan {
    Field field;
    Level level;
    bool named;
};

// Which young-horse races a month holds: two-year-olds (in the age count of the race cards,
// three-year-olds) start in June, their elders race among themselves until May.
bool youngRaceAllowed(Level level, int month) {
    const bool spring = month <= 5;
    switch (level) {
        case kNewcomer:
            return spring ? month <= 3 : true;
        case kMaiden:
            return spring || month >= 7;
        case k500:
            return spring ? month >= 2 : month >= 9;
        case k900:
            return spring && month >= 4;
        default:
            return false;
    }
}

Plan planOf(int raceNo, int month, bool jumpToday, bool jumpOpen, bool sunday) {
    auto young = [&](Level wanted, Level fallback) {
        return Plan{Field::Young, youngRaceAllowed(wanted, month) ? wanted : fallback, false};
    };
    const Level youngFirst = youngRaceAllowed(kMaiden, month) ? kMaiden : kNewcomer;
    switch (raceNo) {
        case 1:
        case 2:
            return young(kMaiden, kNewcomer);
        case 3:
            return young(kNewcomer, kMaiden);
        case 4:
            if (jumpToday) return Plan{Field::Jump, jumpOpen ? kOpen : kMaiden, jumpOpen};
            return Plan{Field::Older, k500, false};
        case 5:
            return young(kNewcomer, youngFirst);
        case 6:
            return Plan{Field::Older, k500, false};
        case 7:
            return youngRaceAllowed(k500, month) ? young(k500, k500)
                                                 : Plan{Field::Older, k500, false};
        case 8:
            return youngRaceAllowed(k900, month) ? young(k900, k900)
                                                 : Plan{Field::Older, k900, false};
        case 9:
            return Plan{Field::Older, k900, true};
        case 10:
            return Plan{Field::Older, k1600, true};
        case 11:
            return Plan{Field::Older, kOpen, true};
        default:
            return Plan{Field::Older, sunday ? k900 : k500, false};
    }
}

int distanceWeight(int distance, Level level) {
    if (level <= kMaiden && distance > 2000) return 0;
    if (distance <= 1000) return 2;
    if (distance <= 1400) return 5;
    if (distance <= 1800) return 6;
    if (distance <= 2000) return 5;
    if (distance <= 2400) return 3;
    if (distance <= 2600) return 2;
    return 1;
}

Surface surfaceOf(const Plan& plan, Random& random) {
    if (plan.field == Field::Jump) return Surface::Jump;
    const int turfPercent = plan.level == kOpen     ? 80
                            : plan.level == k1600   ? 60
                            : plan.level <= kMaiden ? 50
                                                    : 45;
    return random.chance(turfPercent) ? Surface::Turf : Surface::Dirt;
}

int distanceOf(int course, Surface surface, Level level, Random& random) {
    const std::span<const int> distances = courseDistances(course, surface);
    std::vector<int> weights;
    for (int d : distances) weights.push_back(distanceWeight(d, level));
    if (std::all_of(weights.begin(), weights.end(), [](int w) { return w == 0; })) {
        return distances.front();
    }
    return distances[static_cast<std::size_t>(random.weighted(weights))];
}

char weightRuleOf(const Race& race, Random& random) {
    if (race.surface == Surface::Jump) return race.level == kOpen ? '2' : '4';
    if (race.grade == 'A') return '4';
    if (race.level == kOpen) return random.chance(35) ? '1' : '2';
    if (!race.name.empty()) return random.chance(35) ? '1' : '2';
    return race.type == "11" || race.type == "12" ? '3' : '4';
}

std::string_view conditionsPattern(std::string_view type) {
    // Which of the age groups 3, 4, 5 and 6-and-over a race type admits.
    if (type == "11") return "1000";
    if (type == "12") return "0100";
    if (type == "14" || type == "19") return "0011";
    return "0111";  // "13", "18"
}

}  // namespace

int firstSaturdayOf(int year) {
    const int fifth = dayNumber(year, 1, 5);
    return fifth + (6 - weekdayOf(fifth));
}

std::vector<RaceDay> seasonRaceDays(int year) {
    const int firstSaturday = firstSaturdayOf(year);
    std::array<int, kCourses> daysRun{};
    std::vector<RaceDay> days;
    for (int w = 0; w < kSeasonWeekends; ++w) {
        const int saturday = firstSaturday + 7 * w;
        const std::array<int, 3> courses = coursesOfMonth(dateOf(saturday).month);
        for (int d = 0; d < 2; ++d) {
            for (int course : courses) {
                int& run = daysRun[static_cast<std::size_t>(course - 1)];
                RaceDay rd;
                rd.day = saturday + d;
                rd.course = course;
                rd.kaiji = std::min(9, 1 + run / 8);  // a meeting is eight race days
                rd.hiji = run % 8 + 1;
                rd.youbi = d == 0 ? '1' : '2';
                ++run;
                days.push_back(rd);
            }
        }
    }
    return days;
}

void planRaces(World& world, Random& random) {
    for (std::size_t d = 0; d < world.raceDays.size(); ++d) {
        const RaceDay& rd = world.raceDays[d];
        const int month = dateOf(rd.day).month;
        const bool spring = month <= 5;
        const bool sunday = rd.youbi == '2';
        const bool mainCourse = coursesOfMonth(month)[2] != rd.course;
        const bool jumpToday = courseInfo(rd.course).hasJump && random.chance(45);
        const bool jumpOpen = random.chance(25);
        const bool graded = sunday && mainCourse;
        for (int raceNo = 1; raceNo <= kRacesPerDay; ++raceNo) {
            const Plan plan = planOf(raceNo, month, jumpToday, jumpOpen, sunday);
            Race race;
            race.raceDay = static_cast<int>(d);
            race.raceNo = raceNo;
            race.level = plan.level;
            switch (plan.field) {
                case Field::Young:
                    race.type = spring ? "12" : "11";
                    break;
                case Field::Older:
                    race.type = spring ? "14" : "13";
                    break;
                case Field::Jump:
                    race.type = spring ? "19" : "18";
                    break;
            }
            const std::string_view pattern = conditionsPattern(race.type);
            for (std::size_t a = 0; a < 4; ++a) {
                race.conditions[a] = pattern[a] == '1' ? std::string(classCode(plan.level)) : "000";
            }
            race.surface = surfaceOf(plan, random);
            race.distance = distanceOf(rd.course, race.surface, plan.level, random);
            race.track = trackCode(rd.course, race.surface, random);
            if (raceNo == 11 && graded) {
                static constexpr std::array<int, 3> kGradeWeights = {15, 35, 50};
                race.grade = "ABC"[random.weighted(kGradeWeights)];
            }
            if (plan.named) {
                race.name = raceName(random, 14);
                race.edition = random.between(race.grade == ' ' ? 1 : 20, 60);
            }
            race.weightRule = weightRuleOf(race, random);
            race.postTime = kPostTimes[static_cast<std::size_t>(raceNo - 1)];
            race.courseRecord = {random.between(88, 97), random.between(1, 5), random.between(1, 8),
                                 random.between(1, 12)};

            static constexpr std::array<int, 10> kFieldWeights = {3,  5,  7,  8,  9,
                                                                  11, 14, 16, 14, 13};
            int runners = 9 + random.weighted(kFieldWeights);
            if (race.surface == Surface::Jump) runners = std::min(runners, random.between(9, 14));
            if (plan.level == kNewcomer) runners = std::min(runners, 16);
            for (int k = 0; k < runners; ++k) {
                PoolKey key;
                key.level = plan.level;
                key.jump = plan.field == Field::Jump;
                if (race.type == "11") {
                    key.group = 0;
                } else if (race.type == "12") {
                    key.group = 1;
                } else if (race.type == "14" || race.type == "19") {
                    key.group = 2;
                } else {
                    key.group = random.chance(30) ? 1 : 2;
                }
                race.slots.push_back(key);
            }
            world.races.push_back(std::move(race));
        }
    }
}

namespace {

struct Pool {
    PoolKey key;
    int demand = 0;
    std::deque<int> queue;  // least recently run first
};

Pool& poolFor(std::vector<Pool>& pools, const PoolKey& key) {
    for (Pool& p : pools) {
        if (p.key == key) return p;
    }
    pools.push_back(Pool{key, 0, {}});
    return pools.back();
}

// The horse for one place: one of the first rested horses of the pool, or a new one when every
// horse of the pool has run within the last fortnight.
int takeHorse(World& world, Pool& pool, int day, Random& random) {
    constexpr int kChoice = 12;
    int rested = 0;
    while (rested < kChoice && rested < static_cast<int>(pool.queue.size()) &&
           world.horses[static_cast<std::size_t>(pool.queue[static_cast<std::size_t>(rested)])]
                   .lastRunDay <= day - kRestDays) {
        ++rested;
    }
    int horse;
    if (rested == 0) {
        horse = makeHorse(world, pool.key, random);
    } else {
        const auto at = pool.queue.begin() + random.below(rested);
        horse = *at;
        pool.queue.erase(at);
    }
    pool.queue.push_back(horse);
    Horse& h = world.horses[static_cast<std::size_t>(horse)];
    h.lastRunDay = day;
    if (h.firstCardDay < 0) h.firstCardDay = day;
    return horse;
}

// Jockeys spend a weekend at one racecourse, mostly in their own region. Those who also ride
// over fences are spread evenly first so that every steeplechase finds its riders.
std::map<int, std::vector<int>> jockeysByCourse(const World& world, const std::vector<int>& courses,
                                                Random& random) {
    std::map<int, std::vector<int>> at;
    std::map<int, int> jumpRiders;
    std::vector<int> order(world.jockeys.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    random.shuffle(order);
    std::stable_partition(order.begin(), order.end(), [&](int j) {
        return world.jockeys[static_cast<std::size_t>(j)].ridesJump();
    });
    const std::size_t cap = (order.size() + courses.size() - 1) / courses.size();
    for (int j : order) {
        const Person& p = world.jockeys[static_cast<std::size_t>(j)];
        // Lower is better: fewest fence riders for those who ride over fences, else home
        // region first, then the emptiest course.
        auto score = [&](int c) {
            if (p.ridesJump()) return jumpRiders[c] * 1000 + static_cast<int>(at[c].size());
            const bool home = courseInfo(c).east == (p.touzai == '1');
            return (home ? 0 : 100000) + static_cast<int>(at[c].size());
        };
        int best = -1;
        for (int c : courses) {
            if (at[c].size() >= cap) continue;
            if (best < 0 || score(c) < score(best)) best = c;
        }
        if (best < 0) best = courses.front();
        at[best].push_back(j);
        if (p.ridesJump()) ++jumpRiders[best];
    }
    return at;
}

int baseWeight(const Race& race, const Horse& h, bool spring) {
    int base = race.surface == Surface::Jump ? (race.level == kOpen ? 610 : 600)
               : h.pool.group == 0           ? 540
               : h.pool.group == 1           ? (spring ? 550 : 560)
                                             : 570;
    if (h.sex == '2') base -= 20;
    return base;
}

int weightCarried(const Race& race, const Horse& h, const Person& jockey, bool spring,
                  Random& random) {
    const int base = baseWeight(race, h, spring);
    int weight = base;
    switch (race.weightRule) {
        case '1':  // handicap: the better horse carries more
            weight = std::clamp((base - 30 + (h.ability - 60) * 2) / 10 * 10, 480, 600);
            break;
        case '2':
            weight = base + random.between(0, 3) * 10;
            break;
        default:
            break;
    }
    if (race.name.empty() && race.surface != Surface::Jump) weight -= (jockey.minarai - '0') * 10;
    return weight;
}

}  // namespace

void enterRunners(World& world, double runsPerHorse, Random& random) {
    std::vector<Pool> pools;
    for (const Race& race : world.races) {
        for (const PoolKey& key : race.slots) ++poolFor(pools, key).demand;
    }
    // Horses of earlier seasons still in training come first, least recently run first; new
    // horses make up what the season needs beyond them.
    std::vector<int> carried;
    for (std::size_t i = 0; i < world.horses.size(); ++i) {
        const Horse& h = world.horses[i];
        if (!h.retired && h.firstSeason < world.year) carried.push_back(static_cast<int>(i));
    }
    std::stable_sort(carried.begin(), carried.end(), [&](int a, int b) {
        return world.horses[static_cast<std::size_t>(a)].lastRunDay <
               world.horses[static_cast<std::size_t>(b)].lastRunDay;
    });
    for (int horse : carried) {
        for (Pool& pool : pools) {
            if (pool.key == world.horses[static_cast<std::size_t>(horse)].pool) {
                pool.queue.push_back(horse);
                break;
            }
        }
    }
    for (Pool& pool : pools) {
        const int horses = static_cast<int>(std::ceil(pool.demand / std::max(1.0, runsPerHorse))) -
                           static_cast<int>(pool.queue.size());
        for (int i = 0; i < horses; ++i) pool.queue.push_back(makeHorse(world, pool.key, random));
    }

    std::map<int, std::vector<int>> atCourse;
    int weekend = -1;
    for (Race& race : world.races) {
        const RaceDay& rd = world.raceDays[static_cast<std::size_t>(race.raceDay)];
        const int saturday = rd.youbi == '2' ? rd.day - 1 : rd.day;
        if (saturday != weekend) {
            weekend = saturday;
            std::vector<int> courses;
            for (const RaceDay& other : world.raceDays) {
                const int otherSaturday = other.youbi == '2' ? other.day - 1 : other.day;
                if (otherSaturday == saturday &&
                    std::find(courses.begin(), courses.end(), other.course) == courses.end()) {
                    courses.push_back(other.course);
                }
            }
            atCourse = jockeysByCourse(world, courses, random);
        }

        // Riders first: a race has no more runners than riders.
        std::vector<int> riders;
        for (int j : atCourse[rd.course]) {
            const Person& p = world.jockeys[static_cast<std::size_t>(j)];
            if (race.surface == Surface::Jump ? p.ridesJump() : p.ridesFlat()) riders.push_back(j);
        }
        const std::size_t runners = std::min(race.slots.size(), riders.size());
        std::vector<int> chosenRiders;
        for (std::size_t k = 0; k < runners; ++k) {
            std::vector<int> weights;
            for (int j : riders) {
                weights.push_back(20 + world.jockeys[static_cast<std::size_t>(j)].skill);
            }
            const auto at = static_cast<std::size_t>(random.weighted(weights));
            chosenRiders.push_back(riders[at]);
            riders.erase(riders.begin() + static_cast<std::ptrdiff_t>(at));
        }

        const bool spring = dateOf(rd.day).month <= 5;
        for (std::size_t k = 0; k < runners; ++k) {
            Runner runner;
            runner.horse = takeHorse(world, poolFor(pools, race.slots[k]), rd.day, random);
            runner.jockey = chosenRiders[k];
            race.runners.push_back(runner);
        }
        random.shuffle(race.runners);  // horse numbers are drawn
        for (Runner& runner : race.runners) {
            runner.weight = weightCarried(
                race, world.horses[static_cast<std::size_t>(runner.horse)],
                world.jockeys[static_cast<std::size_t>(runner.jockey)], spring, random);
        }
    }
}

namespace {

double gumbel(Random& random) {
    const double u = (random.below(1000000) + 0.5) / 1000000.0;
    return -std::log(-std::log(u));
}

long roundedPayout(double yen, long limit) {
    const long value = static_cast<long>(yen / 10) * 10;
    return std::clamp(value, 110L, limit);
}

void runRace(World& world, Race& race, int going, int weather, Random& random) {
    const RaceDay& rd = world.raceDays[static_cast<std::size_t>(race.raceDay)];
    race.going = going;
    race.weather = weather;
    const int n = static_cast<int>(race.runners.size());
    auto horseOf = [&](const Runner& r) -> Horse& {
        return world.horses[static_cast<std::size_t>(r.horse)];
    };
    auto skillOf = [&](const Runner& r) {
        return world.jockeys[static_cast<std::size_t>(r.jockey)].skill;
    };

    // The betting public's view, and from it odds and popularity.
    std::vector<double> chance(static_cast<std::size_t>(n));
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        const Runner& r = race.runners[static_cast<std::size_t>(i)];
        chance[static_cast<std::size_t>(i)] =
            std::exp((horseOf(r).ability + skillOf(r) / 8.0) / 9.0);
        sum += chance[static_cast<std::size_t>(i)];
    }
    for (double& c : chance) c /= sum;
    for (int i = 0; i < n; ++i) {
        race.runners[static_cast<std::size_t>(i)].odds =
            std::clamp(static_cast<int>(8.0 / chance[static_cast<std::size_t>(i)]), 11, 9999);
    }
    std::vector<int> byOdds(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) byOdds[static_cast<std::size_t>(i)] = i;
    std::stable_sort(byOdds.begin(), byOdds.end(), [&](int a, int b) {
        return race.runners[static_cast<std::size_t>(a)].odds <
               race.runners[static_cast<std::size_t>(b)].odds;
    });
    for (int rank = 0; rank < n; ++rank) {
        race.runners[static_cast<std::size_t>(byOdds[static_cast<std::size_t>(rank)])].popularity =
            rank + 1;
    }

    // The race itself.
    std::vector<std::pair<double, int>> performance;
    for (int i = 0; i < n; ++i) {
        Runner& r = race.runners[static_cast<std::size_t>(i)];
        double value = horseOf(r).ability + skillOf(r) / 8.0 + gumbel(random) * 10;
        if (random.below(1000) < 5) {
            r.abnormal = '4';  // pulled up: behind every finisher
            value = -1000 - i;
        }
        performance.emplace_back(value, i);
    }
    std::stable_sort(performance.begin(), performance.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });

    const Level level = race.grade != ' ' ? kOpen : race.level;
    const int winner = winnerTime(rd.course, race.surface, race.distance, going, level, random);
    int behind = 0;
    for (int place = 1; place <= n; ++place) {
        const int i = performance[static_cast<std::size_t>(place - 1)].second;
        Runner& r = race.runners[static_cast<std::size_t>(i)];
        const Horse& h = horseOf(r);
        if (place > 1) behind += marginTenths(random);
        if (place <= 3) race.placed[static_cast<std::size_t>(place - 1)] = i;
        r.position = r.abnormal == '0' ? place : 0;
        r.time = r.abnormal == '0' ? winner + behind : 0;
        r.timeDiff = r.abnormal == '0' ? behind : 0;
        r.corners = cornerPositions(n, place, h.style, race.surface, race.distance, random);
        r.lastThree = r.abnormal == '0' ? lastThreeFurlongs(race.surface, race.distance, going,
                                                            behind, h.style, random)
                                        : 0;
        if (r.abnormal != '0') r.corners[3] = 0;
        r.bodyWeightChange = static_cast<int>(random.bell(8)) / 2 * 2;
        r.bodyWeight = std::clamp(h.bodyWeight + r.bodyWeightChange, 380, 580);
    }

    // Payouts: what the pools would pay at a 20 to 22.5 % take for the chances above.
    auto chanceOf = [&](int i) { return chance[static_cast<std::size_t>(i)]; };
    auto exacta = [&](int a, int b) { return chanceOf(a) * chanceOf(b) / (1 - chanceOf(a)); };
    const Runner& first = race.runners[static_cast<std::size_t>(race.placed[0])];
    race.winPay = static_cast<long>(first.odds) * 10;
    for (std::size_t k = 0; k < 3; ++k) {
        const Runner& r = race.runners[static_cast<std::size_t>(race.placed[k])];
        race.placePay[k] = roundedPayout(100 + (r.odds * 10 - 100) / 4.0, 9999990);
    }
    const int a = race.placed[0];
    const int b = race.placed[1];
    race.quinellaPay = roundedPayout(77.5 / (exacta(a, b) + exacta(b, a)), 99999990);
    const int bracketA = bracketOf(a + 1, n);
    const int bracketB = bracketOf(b + 1, n);
    double bracketChance = 0;
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y) {
            if (x == y) continue;
            const int bx = bracketOf(x + 1, n);
            const int by = bracketOf(y + 1, n);
            if ((bx == bracketA && by == bracketB) || (bx == bracketB && by == bracketA)) {
                bracketChance += exacta(x, y);
            }
        }
    }
    race.bracketPay = roundedPayout(77.5 / bracketChance, 9999990);

    // Laps of 200 m, the first one shorter when the distance is not a multiple of 200.
    const int laps = (race.distance + 199) / 200;
    const int firstLap = race.distance - 200 * (laps - 1);
    std::vector<double> share(static_cast<std::size_t>(laps - 3));
    double shares = 0;
    for (int k = 0; k < laps - 3; ++k) {
        const double length = k == 0 ? firstLap / 200.0 : 1.0;
        share[static_cast<std::size_t>(k)] = length * (k == 0 ? 1.08 : 1.0 + random.bell(0.04));
        shares += share[static_cast<std::size_t>(k)];
    }
    const int finish = first.lastThree;
    const int early = first.time - finish;
    race.laps.clear();
    int used = 0;
    for (int k = 0; k < laps - 3; ++k) {
        const int lap =
            static_cast<int>(std::lround(early * share[static_cast<std::size_t>(k)] / shares));
        race.laps.push_back(lap);
        used += lap;
    }
    if (!race.laps.empty()) race.laps.back() += early - used;
    const int l1 = finish / 3 + static_cast<int>(random.bell(3));
    const int l2 = finish / 3 + static_cast<int>(random.bell(3));
    race.laps.push_back(l1);
    race.laps.push_back(l2);
    race.laps.push_back(finish - l1 - l2);
}

}  // namespace

void runRaces(World& world, Random& random) {
    static constexpr std::array<int, 4> kWeather = {55, 30, 12, 3};
    static constexpr std::array<std::array<int, 4>, 4> kGoing = {
        {{85, 12, 3, 0}, {60, 30, 8, 2}, {10, 35, 35, 20}, {30, 45, 20, 5}}};
    int day = -1;
    int going = 1;
    int weather = 1;
    for (Race& race : world.races) {
        if (race.raceDay != day) {
            day = race.raceDay;
            weather = random.weighted(kWeather) + 1;
            going = random.weighted(kGoing[static_cast<std::size_t>(weather - 1)]) + 1;
        }
        runRace(world, race, going, weather, random);
    }
}

namespace {

void writeIdentity(RecordBuilder& r, const World& world, const Race& race) {
    const RaceDay& rd = world.raceDays[static_cast<std::size_t>(race.raceDay)];
    const Ymd date = dateOf(rd.day);
    r.text("basho", courseInfo(rd.course).code);
    r.number("year", date.year % 100);
    r.number("kaiji", rd.kaiji);
    r.number("hiji", rd.hiji);
    r.number("bango", race.raceNo);
    r.number("month", date.month);
    r.number("day", date.day);
    r.text("youbi", std::string(1, rd.youbi));
}

void writeConditions(RecordBuilder& r, const Race& race) {
    r.text("jouken1", race.type);
    r.text("jouken2", classCode(race.level));
    r.text("jouken3", std::string(1, race.weightRule));
    r.number("nkai", race.edition);
    r.number("kyori", race.distance);
    r.text("track", race.track);
    r.text("grade", std::string(1, race.grade));
    r.number("tousuu", static_cast<int>(race.runners.size()));
    r.wide("hondai", race.name);
    const long first = firstPrize(race.level, race.grade);
    for (std::size_t k = 0; k < 5; ++k) {
        r.number("honshou" + std::to_string(k + 1), first * kPlaceShares[k] / 100);
    }
    for (std::size_t k = 0; k < 3; ++k) {
        const long added = race.name.empty() ? 0 : first / 25 * kPlaceShares[k] / 100;
        r.number("fukashou" + std::to_string(k + 1), added);
    }
}

}  // namespace

std::string raceCardFile(const World& world) {
    std::string out;
    for (const Race& race : world.races) {
        RecordBuilder r(kDen1Layout);
        writeIdentity(r, world, race);
        writeConditions(r, race);
        r.number("htime", race.postTime);
        for (std::size_t a = 0; a < 4; ++a)
            r.text("jouken4" + std::to_string(a + 1), race.conditions[a]);
        r.text("kyousouy", "0");
        r.number("recYear", race.courseRecord[0]);
        r.number("recKaiji", race.courseRecord[1]);
        r.number("recHiji", race.courseRecord[2]);
        r.number("recBango", race.courseRecord[3]);
        r.text("recKubun", "1");
        const int n = static_cast<int>(race.runners.size());
        for (int k = 1; k <= n; ++k) {
            const Runner& runner = race.runners[static_cast<std::size_t>(k - 1)];
            const Horse& h = world.horses[static_cast<std::size_t>(runner.horse)];
            const Person& jockey = world.jockeys[static_cast<std::size_t>(runner.jockey)];
            r.number(den1RunnerSubField(k, "WakuNo"), bracketOf(k, n));
            r.text(den1RunnerSubField(k, "umacode"), h.code);
            r.text(den1RunnerSubField(k, "seibetsu"), std::string(1, h.sex));
            r.text(den1RunnerSubField(k, "blinker"), h.blinker ? "1" : "0");
            r.number(den1RunnerSubField(k, "futan"), runner.weight);
            r.text(den1RunnerSubField(k, "CodeKisi"), jockey.code);
            r.text(den1RunnerSubField(k, "spare"), std::string(1, jockey.minarai));
            r.text(den1RunnerSubField(k, "chocode"),
                   world.trainers[static_cast<std::size_t>(h.trainer)].code);
        }
        out += r.bytes();
    }
    return out;
}

std::string resultsFile(const World& world) {
    std::string out;
    for (const Race& race : world.races) {
        RecordBuilder r(kSei1Layout);
        writeIdentity(r, world, race);
        writeConditions(r, race);
        r.text("raceSymbol", "000");
        r.number("weather", race.weather);
        r.number("going", race.going);
        r.number("honshou6", 0);
        r.number("honshou7", 0);
        r.number("fukashou4", 0);
        r.number("fukashou5", 0);

        const int n = static_cast<int>(race.runners.size());
        auto number = [](int index) { return index + 1; };
        r.number("winNo1", number(race.placed[0]));
        r.number("winPay1", race.winPay);
        for (std::size_t k = 0; k < 3; ++k) {
            r.number("placeNo" + std::to_string(k + 1), number(race.placed[k]));
            r.number("placePay" + std::to_string(k + 1), race.placePay[k]);
        }
        const int a = number(race.placed[0]);
        const int b = number(race.placed[1]);
        const int bracketA = bracketOf(a, n);
        const int bracketB = bracketOf(b, n);
        r.number("bracketFirst1", std::min(bracketA, bracketB));
        r.number("bracketSecond1", std::max(bracketA, bracketB));
        r.number("bracketPay1", race.bracketPay);
        r.number("quinellaFirst1", std::min(a, b));
        r.number("quinellaSecond1", std::max(a, b));
        r.number("quinellaPay1", race.quinellaPay);
        for (std::size_t k = 0; k < race.laps.size() && k < static_cast<std::size_t>(kSei1Laps);
             ++k) {
            r.number("lap" + std::to_string(k + 1), std::clamp(race.laps[k], 0, 999));
        }

        for (int k = 1; k <= n; ++k) {
            const Runner& runner = race.runners[static_cast<std::size_t>(k - 1)];
            auto field = [&](std::string_view name) { return sei1RunnerSubField(k, name); };
            r.number(field("position"), runner.position);
            r.number(field("bracket"), bracketOf(k, n));
            r.number(field("horseNumber"), k);
            r.text(field("umacode"), world.horses[static_cast<std::size_t>(runner.horse)].code);
            r.text(field("jockeyCode"),
                   world.jockeys[static_cast<std::size_t>(runner.jockey)].code);
            r.number(field("weightCarried"), runner.weight);
            r.text(field("abnormalCode"), std::string(1, runner.abnormal));
            r.text(field("finishTime"), timeText(runner.time));
            r.text(field("timeDifference"), timeDifferenceText(runner.timeDiff));
            for (int c = 0; c < 4; ++c) {
                r.number(field("corner" + std::to_string(c + 1)),
                         runner.corners[static_cast<std::size_t>(c)]);
            }
            r.number(field("lastThreeFurlongs"), runner.lastThree);
            r.number(field("popularity"), runner.popularity);
            r.number(field("odds"), runner.odds);
            r.number(field("bodyWeight"), runner.bodyWeight);
            r.text(field("bodyWeightChange"), signedChange(runner.bodyWeightChange));
        }
        out += r.bytes();
    }
    return out;
}

}  // namespace zelvanor::sample
