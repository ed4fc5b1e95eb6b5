#include <algorithm>
#include <cmath>
#include <cstdio>

#include "calendar.hpp"
#include "parts.hpp"
#include "record_builder.hpp"
#include "core/records/layout_umaj.hpp"
#include "core/records/layouts.hpp"

namespace zelvanor::sample {

namespace {

constexpr std::array<std::string_view, 8> kCoats = {"01", "02", "03", "04", "05", "06", "07", "11"};
constexpr std::array<int, 8> kCoatWeights = {22, 3, 40, 15, 6, 2, 11, 1};

int birthYearOf(int season, int group, Random& random) {
    if (group == 0) return season - 2;
    if (group == 1) return season - 3;
    static constexpr std::array<int, 5> kWeights = {40, 30, 17, 9, 4};
    return season - 4 - random.weighted(kWeights);
}

int abilityOf(const PoolKey& pool, Random& random) {
    static constexpr std::array<int, kLevels> kBase = {36, 34, 46, 56, 66, 76};
    const int base =
        pool.jump ? (pool.level == kOpen ? 64 : 42) : kBase[static_cast<std::size_t>(pool.level)];
    return std::clamp(static_cast<int>(std::lround(base + random.bell(16))), 1, 100);
}

std::string horseCode(int birthYear, int serial) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d%06d", birthYear % 100, 100000 + serial * 7 % 900000);
    return text;
}

}  // namespace

int makeHorse(World& world, const PoolKey& pool, Random& random) {
    Horse h;
    h.pool = pool;
    h.firstSeason = world.year;
    const int birthYear = birthYearOf(world.year, pool.group, random);
    h.birthDay = dayNumber(birthYear, random.between(2, 5), random.between(1, 28));
    h.code = horseCode(birthYear, static_cast<int>(world.horses.size()) + 1);
    do {
        h.name = horseName(random);
    } while (!world.horseNames.insert(h.name).second);
    const int sex = random.below(100);
    h.sex = pool.group == 2 && sex < 10 ? '3' : sex < 58 ? '1' : '2';
    h.coat = kCoats[static_cast<std::size_t>(random.weighted(kCoatWeights))];
    h.trainer = random.below(static_cast<int>(world.trainers.size()));
    h.breeder = breederName(random);
    h.owner = ownerName(random);
    h.birthplace = birthplace(random);
    // Stallions stand for many horses, so sires come from a short list.
    if (world.stallions.empty()) {
        for (int i = 0; i < 60; ++i) world.stallions.push_back(horseName(random));
    }
    h.pedigree = {random.pick(world.stallions), horseName(random), random.pick(world.stallions),
                  horseName(random)};
    h.ability = abilityOf(pool, random);
    h.style = random.unit();
    h.preferred = random.chance(50) ? Surface::Turf : Surface::Dirt;
    static constexpr std::array<int, 4> kDistances = {1200, 1600, 2000, 2500};
    static constexpr std::array<int, 4> kDistanceWeights = {30, 30, 28, 12};
    h.preferredDistance = kDistances[static_cast<std::size_t>(random.weighted(kDistanceWeights))];
    h.bodyWeight = random.between(420, 530) / 2 * 2;
    h.blinker = random.chance(10);
    world.horses.push_back(std::move(h));
    return static_cast<int>(world.horses.size()) - 1;
}

namespace {

struct CareerPlan {
    int runs = 0;
    int flatWins = 0;
    int jumpRuns = 0;  // the last runs of the career
    int jumpWins = 0;
};

CareerPlan planCareer(const Horse& h, Random& random) {
    CareerPlan plan;
    const PoolKey& pool = h.pool;
    const int older = pool.group == 2 ? random.between(0, 18) : 0;
    if (pool.jump) {
        plan.runs = random.between(4, 12) + older;
        plan.flatWins = random.between(0, 2);
        if (pool.level == kOpen) {
            plan.jumpRuns = random.between(2, 8);
            plan.jumpWins = random.between(1, std::min(3, plan.jumpRuns));
        } else {
            plan.jumpRuns = random.between(0, 3);
        }
        return plan;
    }
    switch (pool.level) {
        case kNewcomer:
            return plan;
        case kMaiden:
            plan.runs = random.between(1, pool.group == 0 ? 4 : 8) + older / 3;
            return plan;
        default:
            break;
    }
    plan.flatWins = pool.level == kOpen ? random.between(4, 7) : static_cast<int>(pool.level) - 1;
    plan.runs =
        plan.flatWins + random.between(pool.group == 0 ? 0 : 2, pool.group == 0 ? 4 : 10) + older;
    return plan;
}

// Distances near the horse's best are run far more often.
int distanceFor(const Horse& h, int course, Surface surface, Random& random) {
    const std::span<const int> distances = courseDistances(course, surface);
    std::vector<int> weights;
    for (int d : distances) {
        const double off = std::abs(d - h.preferredDistance) / 200.0;
        weights.push_back(static_cast<int>(100 / (1 + off * off)) + 1);
    }
    return distances[static_cast<std::size_t>(random.weighted(weights))];
}

int courseOn(int day, Surface surface, Random& random) {
    const std::array<int, 3> courses = coursesOfMonth(dateOf(day).month);
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int c = courses[static_cast<std::size_t>(random.below(3))];
        if (surface != Surface::Jump || courseInfo(c).hasJump) return c;
    }
    return 6;  // 中山 always has fences
}

std::string shortNameOf(Level level, bool jump, char grade, Random& random) {
    if (grade != ' ' || level >= k1600) return fullWidthPadded(raceName(random, 10), 3);
    if (jump) return "障未勝";
    static constexpr std::array<std::string_view, 4> kNames = {"新　馬", "未勝利", "５００",
                                                               "９００"};
    return std::string(kNames[static_cast<std::size_t>(level)]);
}

int goingOf(Random& random) {
    static constexpr std::array<int, 4> kWeights = {62, 20, 11, 7};
    return random.weighted(kWeights) + 1;
}

int runnersOf(Random& random) {
    static constexpr std::array<int, 10> kWeights = {3, 5, 7, 8, 9, 11, 14, 16, 14, 13};
    return 9 + random.weighted(kWeights);  // 9 … 18
}

PastRun pastRun(const World& world, const Horse& h, int day, Level level, bool jump, bool win,
                int previousWeight, Random& random) {
    PastRun r;
    r.day = day;
    r.surface =
        jump ? Surface::Jump
             : (random.chance(75) ? h.preferred
                                  : (h.preferred == Surface::Turf ? Surface::Dirt : Surface::Turf));
    r.course = courseOn(day, r.surface, random);
    r.distance = distanceFor(h, r.course, r.surface, random);
    r.track = trackCode(r.course, r.surface, random);
    r.level = level;
    if (level == kOpen && !jump && random.chance(25)) {
        static constexpr std::array<int, 3> kGradeWeights = {10, 30, 60};
        r.grade = "ABC"[random.weighted(kGradeWeights)];
    }
    r.shortName = shortNameOf(level, jump, r.grade, random);
    r.going = goingOf(random);
    r.kaiji = random.between(1, 5);
    r.hiji = random.between(1, 8);
    r.raceNo = jump ? 4 : level <= kMaiden ? random.between(1, 6) : random.between(6, 12);
    if (level == kOpen) r.raceNo = 11;
    r.runners = runnersOf(random);
    r.horseNumber = random.between(1, r.runners);
    r.bracket = bracketOf(r.horseNumber, r.runners);

    if (win) {
        r.position = 1;
    } else {
        // Better horses finish nearer the front.
        int place = random.between(2, r.runners);
        if (random.below(100) < h.ability) place = std::min(place, random.between(2, r.runners));
        r.position = place;
        if (random.chance(1)) r.abnormal = '4';  // pulled up
    }

    const int winner = winnerTime(r.course, r.surface, r.distance, r.going, level, random);
    int behind = 0;
    for (int p = 2; p <= r.position; ++p) behind += marginTenths(random);
    r.timeDiff = win ? -std::max(1, marginTenths(random)) : behind;
    r.time = winner + behind;
    r.weightCarried = (jump                ? 600
                       : h.pool.group == 0 ? 540
                                           : 560) -
                      (h.sex == '2' ? 20 : 0) + random.between(0, 2) * 10;
    r.bodyWeight = std::clamp(h.bodyWeight + static_cast<int>(random.bell(10)) / 2 * 2, 380, 580);
    r.bodyWeightChange = previousWeight > 0 ? r.bodyWeight - previousWeight : 0;
    r.corners = cornerPositions(r.runners, r.position, h.style, r.surface, r.distance, random);
    r.lastThree = lastThreeFurlongs(r.surface, r.distance, r.going, behind, h.style, random);
    const int popularity =
        r.position + static_cast<int>(std::lround(random.bell(3.0))) - (h.ability - 50) / 15;
    r.popularity = std::clamp(popularity, 1, r.runners);
    r.jockey = pickJockey(world, r.surface, random);
    r.otherHorse = horseName(random);
    if (r.abnormal != '0') {
        r.position = 0;
        r.time = 0;
        r.corners[3] = 0;
        r.lastThree = 0;
    }
    if (r.position >= 1 && r.position <= 5) {
        r.prize = static_cast<long>(firstPrize(level, r.grade)) *
                  kPlaceShares[static_cast<std::size_t>(r.position - 1)] / 100;
        r.added = r.position == 1 && (level >= k1600 || r.grade != ' ') ? r.prize / 25 : 0;
    }
    return r;
}

void makeCareer(const World& world, Horse& h, Random& random) {
    CareerPlan plan = planCareer(h, random);
    if (plan.runs == 0 || h.firstCardDay < 0) return;
    // Runs fall on weekends from the summer of the second year of life up to a week before
    // the horse's first race here.
    const Ymd born = dateOf(h.birthDay);
    const int earliest = dayNumber(born.year + 2, 6, 1);
    const int weeks = (h.firstCardDay - 7 - earliest) / 7;
    if (weeks <= 0) return;
    const int minimum = std::max(1, plan.flatWins + plan.jumpWins);
    plan.runs = std::clamp(std::min(plan.runs, weeks / 2), std::min(minimum, weeks), weeks);
    plan.jumpRuns = std::min(plan.jumpRuns, plan.runs - (plan.runs > 1 ? 1 : 0));
    plan.jumpWins = std::min(plan.jumpWins, plan.jumpRuns);
    plan.flatWins = std::min(plan.flatWins, plan.runs - plan.jumpRuns);

    const int window = std::min(weeks, plan.runs * random.between(3, 6));
    std::vector<int> weekIndex(static_cast<std::size_t>(window));
    for (int i = 0; i < window; ++i) weekIndex[static_cast<std::size_t>(i)] = i;
    for (int i = 0; i < plan.runs; ++i) {  // the first `runs` of a partial shuffle
        const int j = random.between(i, window - 1);
        std::swap(weekIndex[static_cast<std::size_t>(i)], weekIndex[static_cast<std::size_t>(j)]);
    }
    std::vector<int> days;
    const bool sunday = weekdayOf(h.firstCardDay) == 0;
    for (int i = 0; i < plan.runs; ++i) {
        int day = h.firstCardDay - 7 * (weekIndex[static_cast<std::size_t>(i)] + 1);
        if (random.chance(50)) day += sunday ? -1 : 1;  // the other day of that weekend
        days.push_back(day);
    }
    std::sort(days.begin(), days.end());

    // Which runs were won: flat wins among the flat runs, jump wins among the jump runs.
    const int flatRuns = plan.runs - plan.jumpRuns;
    std::vector<bool> won(static_cast<std::size_t>(plan.runs), false);
    auto chooseWins = [&](int from, int count, int wins) {
        for (int placed = 0; placed < wins;) {
            const int i = from + random.below(count);
            if (!won[static_cast<std::size_t>(i)]) {
                won[static_cast<std::size_t>(i)] = true;
                ++placed;
            }
        }
    };
    chooseWins(0, flatRuns, plan.flatWins);
    chooseWins(flatRuns, plan.jumpRuns, plan.jumpWins);

    int flatWins = 0;
    int jumpWins = 0;
    int weight = 0;
    for (int i = 0; i < plan.runs; ++i) {
        const bool jump = i >= flatRuns;
        Level level;
        if (jump) {
            level = jumpWins > 0 ? kOpen : kMaiden;
        } else if (i == 0 && random.chance(75)) {
            level = kNewcomer;
        } else {
            level = static_cast<Level>(std::min<int>(kOpen, kMaiden + flatWins));
        }
        const bool win = won[static_cast<std::size_t>(i)];
        PastRun run =
            pastRun(world, h, days[static_cast<std::size_t>(i)], level, jump, win, weight, random);
        weight = run.bodyWeight;
        (jump ? jumpWins : flatWins) += win ? 1 : 0;
        h.career.push_back(std::move(run));
    }
    h.bodyWeight = weight;
}

}  // namespace

void makeCareers(World& world, Random& random) {
    // Horses of earlier seasons have their careers already.
    for (Horse& h : world.horses) {
        if (h.firstSeason == world.year) makeCareer(world, h, random);
    }
}

namespace {

// Placing categories of the horse record.
struct Placings {
    std::array<Counts, kUmajCategories> category{};
    long prize = 0, added = 0, earnings = 0;
};

Placings placingsOf(const Horse& h) {
    Placings p;
    auto add = [&](int category, int position) {
        p.category[static_cast<std::size_t>(category - 1)].add(position);
    };
    for (const PastRun& r : h.career) {
        const int position = r.abnormal == '0' ? r.position : 0;
        if (r.surface == Surface::Jump) {
            add(5, position);
            add(13 + r.going, position);  // 14, 15 good going; 16, 17 heavy
        } else {
            const bool turf = r.surface == Surface::Turf;
            const bool left = courseInfo(r.course).leftHanded;
            add(turf ? (left ? 2 : 1) : (left ? 4 : 3), position);
            add((turf ? 5 : 9) + r.going, position);  // 6 … 9 turf, 10 … 13 dirt by going
            const int band = r.distance <= 1600 ? 0 : r.distance <= 2200 ? 1 : 2;
            add((turf ? 18 : 21) + band, position);
        }
        p.prize += r.prize;
        p.added += r.added;
        if (r.position == 1) p.earnings += r.prize / 2;
    }
    return p;
}

void writeEmptyHistory(RecordBuilder& r, int entry) {
    for (const FieldSpec& f : kUmajHistoryLayout.fields) {
        const FieldSpec placed = umajHistoryField(entry, f.name);
        if (f.name == "raceName" || f.name == "otherHorse" || f.name == "jockeyName") {
            r.wide(placed, "");
        } else {
            r.text(placed, std::string(f.length, '0'));  // a race never run is all zeros
        }
    }
}

void writeHistory(RecordBuilder& r, int entry, const PastRun& run, const World& world) {
    auto field = [&](std::string_view name) { return umajHistoryField(entry, name); };
    const Ymd date = dateOf(run.day);
    r.text(field("course"), courseInfo(run.course).code);
    r.number(field("year"), date.year % 100);
    r.number(field("meeting"), run.kaiji);
    r.number(field("unread5"), run.hiji);
    r.number(field("unread6"), run.raceNo);
    r.number(field("horseNumber"), run.horseNumber);
    r.number(field("month"), date.month);
    r.number(field("day"), date.day);
    r.text(field("classCode"), classCode(run.level));
    r.number(field("distance"), run.distance);
    r.text(field("trackCode"), run.track);
    r.wide(field("raceName"), run.shortName);
    r.text(field("gradeCode"), std::string(1, run.grade));
    r.number(field("unread30"), run.going <= 2 ? 1 : 3);  // the weather
    r.number(field("goingCode"), run.going);
    r.number(field("runners"), run.runners);
    r.wide(field("otherHorse"), run.otherHorse);
    r.text(field("timeDifference"), timeDifferenceText(run.timeDiff));
    r.number(field("bracket"), run.bracket);
    r.number(field("unread75"), 0);
    r.number(field("position"), run.position);
    r.text(field("abnormalCode"), std::string(1, run.abnormal));
    r.text(field("finishTime"), timeText(run.time));
    r.number(field("weightCarried"), run.weightCarried);
    r.number(field("jockeyMark"), run.bodyWeight);
    for (int c = 0; c < 4; ++c) {
        r.number(field("corner" + std::to_string(c + 1)), run.corners[static_cast<std::size_t>(c)]);
    }
    r.text(field("unread98"), signedChange(run.bodyWeightChange));
    r.number(field("lastThreeFurlongs"), run.lastThree);
    r.wide(field("jockeyName"), world.jockeys[static_cast<std::size_t>(run.jockey)].shortName);
    r.number(field("popularity"), run.popularity);
    for (int at = 122; at <= 134; at += 2) r.number(field("unread" + std::to_string(at)), 0);
}

void writeFurtherEntries(RecordBuilder& r, const Horse& h) {
    // The runs before the five of the race history, newest first.
    const FieldSpec& all = r.field("furtherEntries");
    const int older = static_cast<int>(h.career.size()) - kUmajHistoryEntries;
    for (int e = 0; e < kUmajFurtherEntries && e < older; ++e) {
        const PastRun& run = h.career[static_cast<std::size_t>(older - 1 - e)];
        const std::array<int, 6> values = {
            0, dateOf(run.day).year % 100, run.kaiji, run.hiji, run.raceNo, run.position};
        for (std::size_t i = 0; i < kUmajFurtherEntryLayout.fields.size(); ++i) {
            const FieldSpec& item = kUmajFurtherEntryLayout.fields[i];
            const FieldSpec placed{
                item.name,
                all.offset + static_cast<std::size_t>(e) * kUmajFurtherEntryLayout.recordLength +
                    item.offset,
                item.length};
            if (i == 0) {
                r.text(placed, courseInfo(run.course).code);
            } else {
                r.number(placed, values[i]);
            }
        }
    }
}

}  // namespace

std::string horseFile(const World& world) {
    // The horses on the season's cards.
    std::vector<bool> onCards(world.horses.size(), false);
    for (const Race& race : world.races) {
        for (const Runner& runner : race.runners) {
            onCards[static_cast<std::size_t>(runner.horse)] = true;
        }
    }
    std::vector<const Horse*> entered;
    for (std::size_t i = 0; i < world.horses.size(); ++i) {
        if (onCards[i]) entered.push_back(&world.horses[i]);
    }
    std::sort(entered.begin(), entered.end(),
              [](const Horse* a, const Horse* b) { return a->code < b->code; });
    std::string out;
    out.reserve(entered.size() * kUmajLayout.recordLength);
    for (const Horse* h : entered) {
        RecordBuilder r(kUmajLayout);
        r.text("umacode", h->code);
        r.text("delflg", "0");
        r.wide("bamei", h->name);
        r.text("chocode", world.trainers[static_cast<std::size_t>(h->trainer)].code);
        r.wide("seisan", h->breeder);
        r.wide("umanushi", h->owner);
        r.text("hinshu", "1");
        r.text("seibetsu", std::string(1, h->sex));
        r.text("moushoku", h->coat);
        r.text("seinen", yymmdd(h->birthDay));
        r.wide("sanchi", h->birthplace);
        const bool imported = h->birthplace == "米国" || h->birthplace == "愛国";
        r.text("umakigou", imported ? "01" : "00");
        r.text("shoutaiCode", "0");
        r.wide("shoutaiName", "");
        for (std::size_t k = 0; k < 4; ++k) r.wide("keto" + std::to_string(k + 1), h->pedigree[k]);
        const Placings p = placingsOf(*h);
        r.number("honshou", p.prize);
        r.number("fukashou", p.added);
        r.number("shuutoku1", p.earnings);
        r.number("shuutoku2", p.earnings + p.prize / 20);
        for (int g = 1; g <= kUmajCategories; ++g) {
            for (int k = 1; k <= kUmajCountsPerCategory; ++k) {
                r.number(
                    umajPlacingField(g, k),
                    p.category[static_cast<std::size_t>(g - 1)].n[static_cast<std::size_t>(k - 1)]);
            }
        }
        const int runs = static_cast<int>(h->career.size());
        for (int entry = 1; entry <= kUmajHistoryEntries; ++entry) {
            if (entry <= runs) {
                writeHistory(r, entry, h->career[static_cast<std::size_t>(runs - entry)], world);
            } else {
                writeEmptyHistory(r, entry);
            }
        }
        r.text("mkdate", yymmdd(world.asOfDay));
        writeFurtherEntries(r, *h);
        out += r.bytes();
    }
    return out;
}

}  // namespace zelvanor::sample
