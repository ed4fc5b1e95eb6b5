#pragma once

// The generator's picture of a racing world, from which the record files are written: the
// people, the horses with their careers, the race days and the races with their results.

#include <array>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "names.hpp"
#include "random.hpp"

namespace zelvanor::sample {

// The first season's year; a sample of many seasons runs on from it.
inline constexpr int kSeasonYear = 1998;
inline constexpr int kCourses = 10;

enum class Surface { Turf, Dirt, Jump };

// Class levels of horses and races, lowest first.
enum Level { kNewcomer = 0, kMaiden, k500, k900, k1600, kOpen, kLevels };

struct CourseInfo {
    std::string_view code;  // "01" … "10"
    bool leftHanded;
    bool east;     // in the east, where the eastern jockeys ride most
    bool hasJump;  // holds steeplechases
};

// Racecourse 1 … 10.
const CourseInfo& courseInfo(int course);

// Distances a course runs on a surface, in metres; for flat racing only the combinations that
// have a standard time.
std::span<const int> courseDistances(int course, Surface surface);

// The standard time in tenths of a second for a flat course, surface and distance; for jump
// races (which have none) an estimate from the distance.
int expectedTime(int course, Surface surface, int distance);

// Track code of a race: "11"/"17" turf left/right, "23"/"24" dirt left/right, "51"/"52" jump.
std::string trackCode(int course, Surface surface, Random& random);

// "701", "703", "005", "009", "016", "999".
std::string_view classCode(Level level);

// First prize of a race in thousands of yen; grade 'A', 'B', 'C' or ' '.
int firstPrize(Level level, char grade);

// Prize of place 1 … 5 as a share of the first prize, in percent.
inline constexpr std::array<int, 5> kPlaceShares = {100, 40, 25, 15, 10};

// Bracket number (1 … 8) of horse number `number` in a field of `runners`: up to eight runners
// each have a bracket of their own; beyond that the last brackets take the extra runners.
int bracketOf(int number, int runners);

// Finishing-time pieces shared by race histories and results.
int winnerTime(int course, Surface surface, int distance, int going, Level level, Random& random);
int marginTenths(Random& random);
int lastThreeFurlongs(Surface surface, int distance, int going, int behindTenths, double style,
                      Random& random);
// Positions at the four corners; the first two are 0 on a race with only two turns.
std::array<int, 4> cornerPositions(int runners, int position, double style, Surface surface,
                                   int distance, Random& random);
// "1345" for 94.5 s: minutes, then seconds in tenths.
std::string timeText(int tenths);
// The time behind the winner as 4 characters: " 0.3", "12.5", or "-0.2" for the winner's lead.
std::string timeDifferenceText(int tenths);

// A change of body weight as 3 characters: "+04", "-12".
std::string signedChange(int change);

// Three racecourses that race on the days of a month, the first two the main ones.
std::array<int, 3> coursesOfMonth(int month);

// Placing counts: first, second, third, other finishes.
struct Counts {
    std::array<int, 4> n{};
    void add(int position) {
        ++n[static_cast<std::size_t>(position >= 1 && position <= 3 ? position - 1 : 3)];
    }
    void add(const Counts& other) {
        for (std::size_t i = 0; i < 4; ++i) n[i] += other.n[i];
    }
    int total() const { return n[0] + n[1] + n[2] + n[3]; }
};

struct GradedWin {
    int course;
    int year;  // two digits
    int kaiji, hiji, raceNo;
    std::string raceName;
    std::string horseName;
    char grade;
};

// A ride or run of someone's career summed up: what the record files count.
struct RideYear {
    Counts flat, jump;
    std::array<std::array<Counts, 2>, 3> band{};  // distance band × turf/dirt, flat only
    std::array<Counts, kCourses> courseFlat{}, courseJump{};
    long prizeFlat = 0, addedFlat = 0, prizeJump = 0, addedJump = 0;
};

struct Milestone {  // a first ride or first win
    int day = -1;
    int course = 0, kaiji = 0, hiji = 0, raceNo = 0;
    std::string horseName;
};

struct Person {
    std::string code;
    PersonName name;
    int birthDay = 0;
    int licenseYear = 0;
    char touzai = '1';  // '1' east, '2' west
    int skill = 50;     // 1 … 100
    // Jockeys only.
    char shikaku = '2';  // '1' flat and jump, '2' flat, '3' jump
    char minarai = '0';
    std::string shozoku;    // trainer code, empty for a freelance jockey
    std::string shortName;  // the name as race histories write it
    RideYear thisYear, lastYear;
    int flatPerYear = 0, jumpPerYear = 0;  // rides (runners) in a whole year
    Counts careerFlat, careerJump;
    std::vector<GradedWin> gradedWins;
    Milestone firstRide, firstWin;

    bool ridesFlat() const { return shikaku == '1' || shikaku == '2'; }
    bool ridesJump() const { return shikaku == '1' || shikaku == '3'; }
};

struct PastRun {
    int day = 0;
    int course = 1;
    int kaiji = 1, hiji = 1, raceNo = 1;
    Surface surface = Surface::Turf;
    int distance = 0;
    std::string track;
    int going = 1;
    Level level = kMaiden;
    char grade = ' ';
    std::string shortName;  // three full-width characters
    int runners = 0, horseNumber = 0, bracket = 0, position = 0;
    char abnormal = '0';
    int time = 0, timeDiff = 0;
    int weightCarried = 0, bodyWeight = 0, bodyWeightChange = 0;
    std::array<int, 4> corners{};
    int lastThree = 0;
    int popularity = 0;
    int jockey = 0;
    std::string otherHorse;
    long prize = 0, added = 0;
};

// Which horses a runner's place in a race is for.
struct PoolKey {
    int group = 0;  // 0 born two years before the season, 1 three years, 2 older
    Level level = kMaiden;
    bool jump = false;
    bool operator==(const PoolKey&) const = default;
};

struct Horse {
    std::string code;
    std::string name;
    char sex = '1';
    int birthDay = 0;
    std::string coat;
    int trainer = 0;
    std::string breeder, owner, birthplace;
    std::array<std::string, 4> pedigree;
    PoolKey pool;
    int ability = 50;    // 1 … 100
    double style = 0.5;  // 0 always in front … 1 always from behind
    Surface preferred = Surface::Turf;
    int preferredDistance = 1600;
    int bodyWeight = 460;
    bool blinker = false;
    int firstCardDay = -1;
    int lastRunDay = -1000;
    int firstSeason = 0;  // the year of the season the horse was made for
    bool retired = false;
    std::vector<PastRun> career;  // oldest first
};

struct RaceDay {
    int day = 0;
    int course = 1;
    int kaiji = 1, hiji = 1;
    char youbi = '1';  // '1' Saturday, '2' Sunday
};

struct Runner {
    int horse = 0;
    int jockey = 0;
    int weight = 0;  // tenths of a kilogram
    // Result.
    int position = 0;
    char abnormal = '0';
    int time = 0, timeDiff = 0;
    std::array<int, 4> corners{};
    int lastThree = 0;
    int popularity = 0;
    int odds = 0;  // tenths
    int bodyWeight = 0, bodyWeightChange = 0;
};

struct Race {
    int raceDay = 0;  // index into the race days
    int raceNo = 1;
    std::string type;  // jouken1
    Level level = kMaiden;
    char weightRule = '3';
    std::array<std::string, 4> conditions;  // by age 3, 4, 5, 6 and over
    Surface surface = Surface::Turf;
    int distance = 1600;
    std::string track;
    char grade = ' ';
    std::string name;  // empty for an unnamed race
    int edition = 0;
    int postTime = 1000;
    std::vector<PoolKey> slots;
    std::vector<Runner> runners;        // in horse-number order
    std::array<int, 4> courseRecord{};  // year, meeting, day and race of the course record
    // Result.
    int going = 1, weather = 1;
    std::vector<int> laps;        // tenths of a second per 200 m, the first lap possibly shorter
    std::array<int, 3> placed{};  // runner indices of the first three
    long winPay = 0, bracketPay = 0, quinellaPay = 0;  // yen for 100
    std::array<long, 3> placePay{};
};

struct World {
    int year = kSeasonYear;  // the season whose race days and races the world holds
    int asOfDay = 0;  // the day the files are made: the day before the first race day
    std::vector<Person> jockeys, trainers;
    std::vector<Horse> horses;
    std::vector<RaceDay> raceDays;
    std::vector<Race> races;
    std::set<std::string> horseNames;  // every horse's name is its own
    std::vector<std::string> stallions;
};

}  // namespace zelvanor::sample
