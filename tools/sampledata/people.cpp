#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "calendar.hpp"
#include "parts.hpp"
#include "record_builder.hpp"
#include "core/records/layouts.hpp"

namespace zelvanor::sample {

namespace {

// Distance bands of the jockey record: up to 1600 m, up to 2200 m, beyond.
constexpr std::array<int, 3> kBandWeights = {50, 38, 12};

// Finishing place of a ride by the rider's skill (4: any other place): a top jockey is among
// the first three in 60 % of rides, a weak one in 10 %.
int ridePlace(int skill, Random& random) {
    const int share = 30 + skill * 17 / 10;  // per mille for each of the first three places
    const int roll = random.below(1000);
    if (roll < share) return 1;
    if (roll < 2 * share) return 2;
    if (roll < 3 * share) return 3;
    return 4;
}

int courseFor(const Person& person, Random& random) {
    std::array<int, kCourses> weights{};
    for (int c = 1; c <= kCourses; ++c) {
        const CourseInfo& info = courseInfo(c);
        const bool home = info.east == (person.touzai == '1');
        weights[static_cast<std::size_t>(c - 1)] = c <= 2 ? 1 : home ? 4 : 1;
    }
    return random.weighted(weights) + 1;
}

Level rideLevel(Random& random) {
    static constexpr std::array<int, kLevels> kWeights = {8, 30, 28, 16, 9, 9};
    return static_cast<Level>(random.weighted(kWeights));
}

}  // namespace

RideYear rideYear(const Person& person, int flatRides, int jumpRides, Random& random) {
    RideYear year;
    for (int i = 0; i < flatRides; ++i) {
        const int course = courseFor(person, random);
        const int place = ridePlace(person.skill, random);
        const int band = random.weighted(kBandWeights);
        const int surface = random.below(2);
        year.flat.add(place);
        year.band[static_cast<std::size_t>(band)][static_cast<std::size_t>(surface)].add(place);
        year.courseFlat[static_cast<std::size_t>(course - 1)].add(place);
        if (place <= 3) {
            const int prize = firstPrize(rideLevel(random), ' ') *
                              kPlaceShares[static_cast<std::size_t>(place - 1)] / 100;
            year.prizeFlat += prize;
            year.addedFlat += place == 1 ? prize / 40 : 0;
        }
    }
    for (int i = 0; i < jumpRides; ++i) {
        int course = courseFor(person, random);
        if (course <= 2) course += 2;  // no steeplechases in the north
        const int place = ridePlace(person.skill, random);
        year.jump.add(place);
        year.courseJump[static_cast<std::size_t>(course - 1)].add(place);
        if (place <= 3) {
            const Level level = random.chance(70) ? kMaiden : kOpen;
            const int prize =
                firstPrize(level, ' ') * kPlaceShares[static_cast<std::size_t>(place - 1)] / 100;
            year.prizeJump += prize;
            year.addedJump += place == 1 ? prize / 40 : 0;
        }
    }
    return year;
}

namespace {

// Counts of the years before last year, from the rates of the two known years.
Counts earlierYears(const Counts& known, int years, int ridesPerYear, Random& random) {
    Counts out;
    const int total = known.total();
    if (years <= 0 || ridesPerYear <= 0) return out;
    const double rides = ridesPerYear * years * (0.6 + 0.4 * random.unit());
    for (std::size_t k = 0; k < 3; ++k) {
        const double rate = total > 0 ? static_cast<double>(known.n[k]) / total : 0.05;
        out.n[k] = static_cast<int>(rides * rate * (0.8 + 0.3 * random.unit()));
    }
    out.n[3] = std::max(0, static_cast<int>(rides) - out.n[0] - out.n[1] - out.n[2]);
    return out;
}

Counts capped(Counts counts, int limit) {
    for (int& n : counts.n) n = std::min(n, limit);
    return counts;
}

// A weekend day of the year, before `before`: the first race days of a career are in spring.
Milestone milestone(int year, int before, Random& random, const std::string& horse) {
    Milestone m;
    const int march = dayNumber(year, 3, 1);
    int day = march + random.below(std::clamp(before - march - 7, 1, 150));
    while (weekdayOf(day) != 6 && weekdayOf(day) != 0) ++day;
    m.day = day;
    m.course = random.between(1, kCourses);
    m.kaiji = random.between(1, 4);
    m.hiji = random.between(1, 8);
    m.raceNo = random.between(1, 12);
    m.horseName = horse;
    return m;
}

std::vector<GradedWin> gradedWins(const Person& person, int count, int lastYear, Random& random) {
    std::vector<GradedWin> wins;
    static constexpr std::array<int, 3> kGradeWeights = {15, 35, 50};
    for (int i = 0; i < count; ++i) {
        GradedWin w;
        w.course = random.between(3, kCourses);
        w.year = random.between(std::min(person.licenseYear + 2, lastYear), lastYear) % 100;
        w.kaiji = random.between(1, 5);
        w.hiji = random.between(1, 8);
        w.raceNo = 11;
        w.raceName = raceName(random, 10);
        w.horseName = horseName(random);
        w.grade = "ABC"[random.weighted(kGradeWeights)];
        wins.push_back(w);
    }
    return wins;
}

// How many rides (runners) a year: busy people ride many times more than the others.
int yearlyFlat(const Person& p, Random& random) {
    return std::max(20, 60 + p.skill * 6 + static_cast<int>(random.bell(60)));
}

int skillOf(Random& random) {
    const int roll = random.below(100);
    if (roll < 6) return random.between(80, 100);
    if (roll < 30) return random.between(50, 79);
    return random.between(8, 49);
}

// Fills the statistics of a person from the rides of two years and the career before them.
void fillStatistics(Person& p, int season, int flatPerYear, int jumpPerYear,
                    double thisYearShare, Random& random) {
    p.flatPerYear = flatPerYear;
    p.jumpPerYear = jumpPerYear;
    const int yearsBefore = std::max(0, season - 1 - p.licenseYear);
    const bool lastYear = p.licenseYear < season;
    p.lastYear = lastYear ? rideYear(p, flatPerYear, jumpPerYear, random) : RideYear{};
    p.thisYear = rideYear(p, static_cast<int>(flatPerYear * thisYearShare),
                          static_cast<int>(jumpPerYear * thisYearShare), random);
    Counts knownFlat = p.thisYear.flat;
    knownFlat.add(p.lastYear.flat);
    Counts knownJump = p.thisYear.jump;
    knownJump.add(p.lastYear.jump);
    p.careerFlat = knownFlat;
    p.careerFlat.add(earlierYears(knownFlat, yearsBefore, flatPerYear, random));
    p.careerJump = knownJump;
    p.careerJump.add(earlierYears(knownJump, yearsBefore, jumpPerYear, random));
    // Career counts have four digits.
    p.careerFlat = capped(p.careerFlat, 9999);
    p.careerJump = capped(p.careerJump, 9999);
}

std::string fourDigits(int value) {
    std::string text = std::to_string(value);
    return std::string(4 - std::min<std::size_t>(4, text.size()), '0') + text;
}

}  // namespace

void makePeople(World& world, int jockeys, int trainers, Random& random) {
    const Ymd asOf = dateOf(world.asOfDay);
    const double thisYearShare = (world.asOfDay - dayNumber(asOf.year, 1, 1)) / 365.0;
    // Licences are granted in March; graded races of this year only count once it is under way.
    const int lastLicense = asOf.month >= 4 ? asOf.year : asOf.year - 1;

    std::set<std::string> names;
    int code = 1000;
    for (int i = 0; i < trainers; ++i) {
        Person p;
        code += random.between(1, 9);
        p.code = fourDigits(code);
        do {
            p.name = personName(random);
        } while (!names.insert(p.name.family + p.name.given).second);
        const int birthYear = random.between(1928, 1962);
        p.birthDay = dayNumber(birthYear, random.between(1, 12), random.between(1, 28));
        p.licenseYear = std::min(lastLicense, birthYear + random.between(30, 40));
        p.touzai = random.chance(50) ? '1' : '2';
        p.skill = skillOf(random);
        const int runners = 120 + p.skill * 3 + static_cast<int>(random.bell(40));
        const int jumpers = random.chance(40) ? random.between(5, 30) : 0;
        fillStatistics(p, world.year, runners, jumpers, thisYearShare, random);
        if (p.skill >= 70 || random.chance(p.skill / 4)) {
            p.gradedWins = gradedWins(p, random.between(1, 3), lastLicense, random);
        }
        world.trainers.push_back(std::move(p));
    }

    std::set<std::string> families;
    code = 100;
    for (int i = 0; i < jockeys; ++i) {
        Person p;
        code += random.between(1, 7);
        p.code = fourDigits(code);
        // Race histories name jockeys by family name alone, so family names stay unique.
        do {
            p.name = personName(random);
        } while (!families.insert(p.name.family).second);
        p.shortName = fullWidthPadded(p.name.family, 8);
        const bool apprentice = random.chance(12);
        const int birthYear = apprentice ? random.between(1976, 1980) : random.between(1950, 1977);
        p.birthDay = dayNumber(birthYear, random.between(1, 12), random.between(1, 28));
        p.licenseYear = apprentice ? random.between(lastLicense - 2, lastLicense)
                                   : std::min(lastLicense - 3, birthYear + random.between(18, 22));
        p.touzai = random.chance(50) ? '1' : '2';
        p.skill = apprentice ? random.between(8, 40) : skillOf(random);
        const int kind = random.below(100);
        p.shikaku = kind < 7 ? '3' : kind < 35 ? '1' : '2';
        const int flat = p.shikaku == '3' ? 0 : yearlyFlat(p, random);
        const int jump = p.shikaku == '2' ? 0 : random.between(p.shikaku == '3' ? 60 : 15, 150);
        fillStatistics(p, world.year, flat, jump, thisYearShare, random);
        if (apprentice) {
            const int wins = p.careerFlat.n[0] + p.careerJump.n[0];
            p.minarai = wins < 30 ? '3' : wins < 50 ? '2' : wins < 100 ? '1' : '0';
        }
        if (!world.trainers.empty() && random.chance(70)) {
            const auto& trainer = world.trainers[static_cast<std::size_t>(
                random.below(static_cast<int>(world.trainers.size())))];
            p.shozoku = trainer.code;
        }
        if (p.careerFlat.total() + p.careerJump.total() > 0) {
            p.firstRide = milestone(p.licenseYear, world.asOfDay, random, horseName(random));
        }
        if (p.careerFlat.n[0] + p.careerJump.n[0] > 0) {
            p.firstWin = milestone(p.licenseYear, world.asOfDay, random, horseName(random));
            if (p.firstWin.day < p.firstRide.day) std::swap(p.firstWin.day, p.firstRide.day);
        }
        if (!apprentice && (p.skill >= 75 || random.chance(p.skill / 5))) {
            p.gradedWins = gradedWins(p, random.between(1, 3), lastLicense, random);
        }
        world.jockeys.push_back(std::move(p));
    }
}

int pickJockey(const World& world, Surface surface, Random& random) {
    const int count = static_cast<int>(world.jockeys.size());
    // Drawing until one fits weights by skill without building a list for every past race.
    for (int attempt = 0; attempt < 100000; ++attempt) {
        const int i = random.below(count);
        const Person& j = world.jockeys[static_cast<std::size_t>(i)];
        const bool fits = surface == Surface::Jump ? j.ridesJump() : j.ridesFlat();
        if (fits && random.below(100) < 20 + j.skill) return i;
    }
    return random.below(count);
}

namespace {

std::string milestoneText(const Milestone& m) {
    if (m.day < 0) return "";
    char head[16];
    std::snprintf(head, sizeof head, "%s%s%d%d%02d", yymmdd(m.day).c_str(),
                  std::string(courseInfo(m.course).code).c_str(), m.kaiji, m.hiji, m.raceNo);
    return head + fullWidthPadded(m.horseName, 18);
}

void writeGradedWins(RecordBuilder& r, const std::vector<GradedWin>& wins) {
    for (std::size_t e = 0; e < 3 && e < wins.size(); ++e) {
        const GradedWin& w = wins[e];
        const std::string prefix = "KACHIKU" + std::to_string(e + 1) + ".";
        r.text(prefix + "basho", courseInfo(w.course).code);
        r.number(prefix + "year", w.year);
        r.number(prefix + "kaiji", w.kaiji);
        r.number(prefix + "hiji", w.hiji);
        r.number(prefix + "bango", w.raceNo);
        r.wide(prefix + "hondai", w.raceName);
        r.wide(prefix + "bamei", w.horseName);
        r.text(prefix + "grade", std::string(1, w.grade));
    }
}

// A group of four counts, or of eight: the second four from `more`.
void writeCounts(RecordBuilder& r, std::string_view group, const Counts& first,
                 const Counts* more = nullptr) {
    for (int k = 0; k < 4; ++k) {
        const std::string base = std::string(group) + ".";
        r.number(base + std::to_string(k + 1), first.n[static_cast<std::size_t>(k)]);
        if (more != nullptr) {
            r.number(base + std::to_string(k + 5), more->n[static_cast<std::size_t>(k)]);
        }
    }
}

// The yearly groups that jockey and trainer records share; `prefix` is "H" or "Z".
void writeCourseGroups(RecordBuilder& r, char prefix, const RideYear& y) {
    static constexpr std::array<std::string_view, kCourses> kGroups = {
        "SAP", "HAK", "FUK", "NIG", "TOK", "NAK", "CHU", "KYO", "HAN", "KOK"};
    for (std::size_t c = 0; c < kCourses; ++c) {
        const std::string group = prefix + std::string(kGroups[c]);
        writeCounts(r, group, y.courseFlat[c], c < 2 ? nullptr : &y.courseJump[c]);
    }
}

void writePersonHead(RecordBuilder& r, const Person& p, std::string_view kanjiField,
                     std::string_view kanaField) {
    r.text("delflg", "0");
    r.wide(kanjiField, fullWidthPadded(p.name.family, 8) + fullWidthPadded(p.name.given, 8));
    r.text(kanaField, p.name.familyKana + " " + p.name.givenKana);
    r.text("seinen", yymmdd(p.birthDay));
    r.number("HATSUMEN", p.licenseYear % 100);
    r.text("TOUZAI", std::string(1, p.touzai));
    writeGradedWins(r, p.gradedWins);
    r.number("HHONSHOU", p.thisYear.prizeFlat);
    r.number("HFUKASHO", p.thisYear.addedFlat);
    r.number("SHONSHOU", p.thisYear.prizeJump);
    r.number("SFUKASHO", p.thisYear.addedJump);
    writeCounts(r, "HONNEN", p.thisYear.flat, &p.thisYear.jump);
    writeCounts(r, "RUIKEI", p.careerFlat, &p.careerJump);
    writeCounts(r, "ZENNEN", p.lastYear.flat, &p.lastYear.jump);
    writeCourseGroups(r, 'H', p.thisYear);
    writeCourseGroups(r, 'Z', p.lastYear);
}

}  // namespace

std::string jockeyFile(const World& world) {
    std::string out;
    for (const Person& p : world.jockeys) {
        RecordBuilder r(kKisiLayout);
        r.text("KISCODE", p.code);
        writePersonHead(r, p, "KISKANJI", "KISKANA");
        r.text("HATSUSHO", milestoneText(p.firstWin));
        r.text("HATSUKI", milestoneText(p.firstRide));
        r.text("SHOZOKU", p.shozoku);
        r.text("SHIKAKU", std::string(1, p.shikaku));
        r.text("minarai", std::string(1, p.minarai));
        static constexpr std::array<std::string_view, 3> kBands = {"1600", "2200", "2201"};
        for (std::size_t b = 0; b < 3; ++b) {
            writeCounts(r, "H" + std::string(kBands[b]), p.thisYear.band[b][0],
                        &p.thisYear.band[b][1]);
            writeCounts(r, "Z" + std::string(kBands[b]), p.lastYear.band[b][0],
                        &p.lastYear.band[b][1]);
        }
        r.text("mkdate", yymmdd(world.asOfDay));
        out += r.bytes();
    }
    return out;
}

std::string trainerFile(const World& world) {
    std::string out;
    for (const Person& p : world.trainers) {
        RecordBuilder r(kChokLayout);
        r.text("chocode", p.code);
        writePersonHead(r, p, "CHOKANJI", "CHOKANA");
        r.text("mkdate", yymmdd(world.asOfDay));
        out += r.bytes();
    }
    return out;
}

}  // namespace zelvanor::sample
