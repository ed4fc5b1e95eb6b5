// The verification run: what one race adds to the totals, which races count, and the rate texts.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/store/store.hpp"
#include "core/views/meetings.hpp"
#include "core/views/payback.hpp"
#include "core/views/verification.hpp"
#include "race_card_fixture.hpp"
#include "temp_folder.hpp"

namespace {

using namespace zelvanor;

constexpr auto kWin = static_cast<std::size_t>(BetType::Win);
constexpr auto kPlace = static_cast<std::size_t>(BetType::Place);
constexpr auto kBracket = static_cast<std::size_t>(BetType::BracketQuinella);
constexpr auto kQuinella = static_cast<std::size_t>(BetType::Quinella);

// Runners 1 … values.size() in brackets equal to their numbers, every persona valuing them alike
// on good going (heavy going values far apart, so reading them would show).
std::vector<VerifiedRunner> runners(const std::vector<float>& values) {
    std::vector<VerifiedRunner> out;
    for (std::size_t k = 0; k < values.size(); ++k) {
        const float v = values[k];
        VerifiedRunner r;
        r.horseNumber = static_cast<std::int16_t>(k + 1);
        r.bracketNumber = static_cast<std::int16_t>(k + 1);
        r.values = {v, v, v, -v, -v, -v};
        out.push_back(r);
    }
    return out;
}

VerifiedRace race(int field) {
    VerifiedRace r;
    r.raceNumber = 11;
    r.runnerCount = field;
    r.placed = {9, 9, 9};
    r.winPayout = 250;
    r.placePayouts = {110, 120, 130};
    r.bracketPair = "8 - 8";
    r.bracketPayout = 900;
    r.quinellaPair = "17 - 18";
    r.quinellaPayout = 3000;
    return r;
}

VerificationTotals verify(const VerifiedRace& r, const std::vector<VerifiedRunner>& field) {
    VerificationTotals t;
    verifyRace(r, field, t);
    return t;
}

// Hits and returns of the one bet type, the same for every persona when they value alike.
void expectEveryPersona(const VerificationTotals& t, std::size_t bet, std::int64_t hits,
                        std::int64_t returns) {
    for (std::size_t p = 0; p < kPersonaCount; ++p) {
        EXPECT_EQ(t.hits[p][bet], hits) << "persona " << p << " bet " << bet;
        EXPECT_EQ(t.returns[p][bet], returns) << "persona " << p << " bet " << bet;
    }
}

TEST(VerifyRace, ThirdPlacePaysFromEightRunners) {
    // The first pick, horse 1, comes third.
    const struct {
        int field;
        std::int64_t hits, returns;
    } cases[] = {{7, 0, 0}, {8, 1, 130}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        VerifiedRace r = race(c.field);
        r.placed = {3, 2, 1};
        const auto t = verify(r, runners({90, 80, 70, 60, 50, 40, 30, 20}));
        EXPECT_EQ(t.races, 1);
        expectEveryPersona(t, kPlace, c.hits, c.returns);
        expectEveryPersona(t, kWin, 0, 0);
    }
}

TEST(VerifyRace, WinAndPlaceOfTheFirstPick) {
    VerifiedRace r = race(10);
    r.placed = {1, 4, 2};
    const auto t = verify(r, runners({90, 80, 70, 60, 50, 40, 30, 20, 10, 5}));
    expectEveryPersona(t, kWin, 1, 250);
    expectEveryPersona(t, kPlace, 1, 110);
}

TEST(VerifyRace, GapAboveSevenWheelsFromTheFirstPickElseBoxesTheFirstFour) {
    // Ten runners: the quinella is judged on its own result. (2, 3) lies only in the box of the
    // first four, (1, 5) only on the wheel.
    const struct {
        float top;
        const char* pair;
        std::int64_t hits;
    } cases[] = {{87.0f, "2 - 3", 1}, {87.0f, "1 - 5", 0}, {87.5f, "2 - 3", 0},
                 {87.5f, "1 - 5", 1}, {87.5f, "1 - 7", 1}, {87.5f, "1 - 8", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.top) + " " + c.pair);
        VerifiedRace r = race(10);
        r.quinellaPair = c.pair;
        const auto t = verify(r, runners({c.top, 80, 70, 60, 50, 40, 30, 20, 10, 5}));
        expectEveryPersona(t, kQuinella, c.hits, c.hits * 3000);
    }
}

TEST(VerifyRace, FiveRunnerWheelHoldsFourPairsAndTwoBlankTicketsThatNeverHit) {
    // Five runners: both pair bets are judged on the bracket quinella result.
    const struct {
        const char* pair;
        std::int64_t hits;
    } cases[] = {{"1 - 5", 1}, {"1 - 2", 1}, {" ", 0}, {"", 0}, {"2 - 3", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("'") + c.pair + "'");
        VerifiedRace r = race(5);
        r.bracketPair = c.pair;
        r.quinellaPair = c.pair;
        const auto t = verify(r, runners({99, 80, 70, 60, 50}));
        expectEveryPersona(t, kBracket, c.hits, c.hits * 900);
        expectEveryPersona(t, kQuinella, c.hits, c.hits * 900);
    }
}

TEST(VerifyRace, QuinellaOfSmallFieldsIsJudgedOnTheBracketResult) {
    const struct {
        int field;
        std::int64_t hits, returns;
    } cases[] = {{8, 1, 900}, {9, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        VerifiedRace r = race(c.field);
        r.bracketPair = "1 - 2";  // the horse pair of the first two picks
        r.quinellaPair = "5 - 6";
        const auto t = verify(r, runners({90, 85, 20, 10, 9, 8, 7, 6, 5}));
        expectEveryPersona(t, kQuinella, c.hits, c.returns);
    }
    // From nine runners the quinella result itself counts.
    VerifiedRace r = race(9);
    r.quinellaPair = "1 - 2";
    expectEveryPersona(verify(r, runners({90, 85, 20, 10, 9, 8, 7, 6, 5})), kQuinella, 1, 3000);
}

TEST(VerifyRace, SameBracketTwiceHitsTwice) {
    // Horses 2 and 3 share bracket 2; the box's (1, 2) and (1, 3) are both bracket pair 1 - 2.
    auto field = runners({90, 85, 84, 80, 10, 9, 8, 7, 6, 5});
    field[2].bracketNumber = 2;
    VerifiedRace r = race(10);
    r.bracketPair = "1 - 2";
    expectEveryPersona(verify(r, field), kBracket, 2, 1800);
}

TEST(VerifyRace, TiesKeepTheExchangeSortsOrder) {
    // 5, 5, 5, 5, 7 ranks 7 (horse 5), then horses 2, 3, 4 and last horse 1: the box of the first
    // four leaves out horse 1, where a stable sort would leave out horse 4.
    const struct {
        const char* pair;
        std::int64_t hits;
    } cases[] = {{"4 - 5", 1}, {"1 - 5", 0}, {"2 - 4", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pair);
        VerifiedRace r = race(5);
        r.placed = {5, 1, 2};
        r.bracketPair = c.pair;
        const auto t = verify(r, runners({5, 5, 5, 5, 7}));
        expectEveryPersona(t, kBracket, c.hits, c.hits * 900);
        expectEveryPersona(t, kWin, 1, 250);
    }
}

TEST(VerifyRace, SmallAndOverfullFieldsStayWithinTheField) {
    const struct {
        int field;
        std::vector<float> values;
        const char* pair;
        int winner;
        std::int64_t winHits, pairHits;
    } cases[] = {
        // Three runners: the box's pairs with a fourth are blank.
        {3, {90, 85, 84}, "2 - 3", 2, 0, 1},
        {2, {90, 85}, "1 - 2", 1, 1, 1},
        {1, {90}, "1 - 2", 1, 1, 0},
        // No runner at all: nothing names a horse, not even against a result of 0.
        {0, {}, "1 - 2", 0, 0, 0},
        {4, {}, "1 - 2", 0, 0, 0},
        // Five runners found for a field of three: the two beyond it are left out.
        {3, {50, 40, 30, 99, 98}, "4 - 5", 4, 0, 0},
        {3, {50, 40, 30, 99, 98}, "1 - 2", 1, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + " " + c.pair);
        VerifiedRace r = race(c.field);
        r.placed = {c.winner, 0, 0};
        r.bracketPair = c.pair;
        const auto t = verify(r, runners(c.values));
        expectEveryPersona(t, kWin, c.winHits, c.winHits * 250);
        expectEveryPersona(t, kBracket, c.pairHits, c.pairHits * 900);
    }
}

TEST(VerifyRace, EachPersonaRanksByItsOwnValueOfTheGoing) {
    // Good going: 翠嶺 (Nouryoku2) picks horse 2, 碧渦 (Nouryoku1) horse 1, the user (Nouryoku3)
    // horse 3; on heavy going 翠嶺 (OmoNouryoku2) horse 3, 碧渦 horse 2, the user horse 1.
    std::vector<VerifiedRunner> field(3);
    for (std::size_t k = 0; k < 3; ++k) {
        field[k].horseNumber = static_cast<std::int16_t>(k + 1);
        field[k].bracketNumber = static_cast<std::int16_t>(k + 1);
    }
    field[0].values = {90, 10, 10, 10, 10, 90};
    field[1].values = {10, 90, 10, 90, 10, 10};
    field[2].values = {10, 10, 90, 10, 90, 10};
    for (const bool good : {true, false}) {
        SCOPED_TRACE(good);
        for (int winner = 1; winner <= 3; ++winner) {
            VerifiedRace r = race(3);
            r.goodGoing = good;
            r.placed = {winner, 0, 0};
            const auto t = verify(r, field);
            const int suirei = good ? 2 : 3;
            const int hekika = good ? 1 : 2;
            const int user = good ? 3 : 1;
            EXPECT_EQ(t.hits[0][kWin], winner == suirei ? 1 : 0) << winner;
            EXPECT_EQ(t.hits[1][kWin], winner == hekika ? 1 : 0) << winner;
            EXPECT_EQ(t.hits[2][kWin], winner == user ? 1 : 0) << winner;
        }
    }
}

TEST(RaceSelection, EachConditionOnTheRaceRow) {
    VerifiedRace plain;
    plain.jouken41 = "000";
    plain.jouken42 = "010";
    plain.track = "17";
    plain.grade = " ";
    const auto with = [&](int number, auto change) {
        VerifiedRace r = plain;
        r.raceNumber = number;
        change(r);
        return r;
    };
    const auto same = [](VerifiedRace&) {};
    std::array<bool, kVerifyRaceNumbers> tickedThree{};
    tickedThree[2] = true;
    const struct {
        int selection;
        VerifiedRace race;
        bool selected;
        std::array<bool, kVerifyRaceNumbers> ticked = {};
    } cases[] = {
        {0, with(5, same), true},
        {0, with(6, same), false},
        {1, with(5, same), false},
        {1, with(6, same), true},
        {2, with(7, same), false},
        {2, with(8, same), true},
        {2, with(11, same), true},
        {2, with(12, same), false},
        {3, with(1, same), true},
        {4, with(1, same), true},
        {4, with(1, [](VerifiedRace& r) { r.jouken41 = "701"; }), false},
        {4, with(1, [](VerifiedRace& r) { r.jouken42 = "703"; }), false},
        {4, with(1, [](VerifiedRace& r) { r.jouken42 = "704"; }), true},
        {4, with(1, [](VerifiedRace& r) { r.track = "49"; }), true},
        {4, with(1, [](VerifiedRace& r) { r.track = "50"; }), false},
        {4, with(1, [](VerifiedRace& r) { r.track = "5"; }), true},  // text: "5" < "50"
        {5, with(3, same), false},
        {5, with(3, same), true, tickedThree},
        {5, with(4, same), false, tickedThree},
        {6, with(1, [](VerifiedRace& r) { r.jouken42 = "005"; }), true},
        {6, with(1, [](VerifiedRace& r) { r.jouken41 = "005"; }), false},
        {7, with(1, [](VerifiedRace& r) { r.jouken42 = "009"; }), true},
        {8, with(1, [](VerifiedRace& r) { r.jouken42 = "999"; }), true},
        {8, with(1, same), false},
        {9, with(11, [](VerifiedRace& r) { r.grade = "C"; }), true},
        {9, with(11, [](VerifiedRace& r) { r.grade = "D"; }), false},
        {9, with(11, same), false},
    };
    for (const auto& c : cases) {
        VerificationConditions conditions;
        conditions.selection = c.selection;
        conditions.raceNumbers = c.ticked;
        EXPECT_EQ(raceSelected(conditions, c.race), c.selected)
            << "option " << c.selection << " race " << c.race.raceNumber << " " << c.race.jouken41
            << "/" << c.race.jouken42 << " track " << c.race.track << " grade " << c.race.grade;
    }
}

TEST(VerificationTexts, RatesRoundHalvesAwayFromZero) {
    const struct {
        double ratio;
        const char* text;
    } cases[] = {{0, "0%"},     {0.857, "86%"}, {1.234, "123%"}, {0.125, "13%"},
                 {0.004, "0%"}, {0.005, "1%"},  {12.5, "1250%"}};
    for (const auto& c : cases) EXPECT_EQ(rateText(c.ratio), c.text) << c.ratio;
}

TEST(VerificationTexts, HeadingsAndRatesOfTheTotals) {
    EXPECT_EQ(verificationHeadings(""), (std::array<std::string, 3>{" 翠嶺", " 碧渦", " User"}));
    EXPECT_EQ(verificationHeadings("ab")[2], " ab");

    VerificationTotals t;
    t.races = 7;
    t.hits[0] = {6, 7, 1, 0};
    t.returns[0] = {1200, 700, 4200, 0};
    const Verification v = verificationOf(t, "");
    EXPECT_EQ(v.hitRates[0], (std::array<std::string, 4>{"86%", "100%", "14%", "0%"}));
    // Win and place stake 100 a race, the pairs 600.
    EXPECT_EQ(v.returnRates[0], (std::array<std::string, 4>{"171%", "100%", "100%", "0%"}));
    EXPECT_EQ(v.hitRates[2][3], "0%");

    // No race: the cells stay blank.
    t.races = 0;
    const Verification none = verificationOf(t, "");
    for (const auto& row : none.hitRates)
        for (const auto& cell : row) EXPECT_EQ(cell, "");
    for (const auto& row : none.returnRates)
        for (const auto& cell : row) EXPECT_EQ(cell, "");
}

// ---------------------------------------------------------------------------------------------
// The run over stored meetings.

// Race `bango` with runners 1 … values.size() (brackets equal to their numbers; codes made of
// the course, race and number) and the result columns of `result`.
void addField(Database& tran, const MeetingTables& m, int bango, const std::vector<double>& values,
              const fixture::Columns& result) {
    std::vector<std::string> entries;
    for (std::size_t k = 0; k < values.size(); ++k) {
        char code[32];
        std::snprintf(code, sizeof code, "%s%02d%04zu", m.race.substr(1, 2).c_str(), bango, k + 1);
        const auto number = static_cast<std::int64_t>(k + 1);
        fixture::addRunner(tran, m, code, values[k], values[k], values[k],
                           {{"WakuUmaNo", number}, {"WakuNo", number}});
        entries.push_back(fixture::runnerEntry(static_cast<int>(k + 1), code));
    }
    fixture::addRace(tran, m, bango, entries, result);
}

// Horse 1 wins at 250 yen, the first two brackets pay 900.
fixture::Columns favouriteWins(fixture::Columns more = {}) {
    fixture::Columns c = {{"Kekka1No", std::int64_t{1}},      {"Kekka2No", std::int64_t{2}},
                          {"Kekka3No", std::int64_t{3}},      {"Kekka1TanAm", std::int64_t{250}},
                          {"Kekka1FukAm", std::int64_t{110}}, {"Kekka2FukAm", std::int64_t{120}},
                          {"Kekka3FukAm", std::int64_t{130}}, {"KekkaWakNo", std::string("1 - 2")},
                          {"KekkaWakAm", std::int64_t{900}},  {"KekkaUmaNo", std::string("1 - 2")},
                          {"KekkaUmaAm", std::int64_t{1500}}};
    // The race row takes the last value given for a column.
    c.insert(c.end(), more.begin(), more.end());
    return c;
}

const std::vector<double> kTen = {90, 80, 70, 60, 50, 40, 30, 20, 10, 5};

class VerificationRun : public ::testing::Test {
  protected:
    // 東京 98/10/03: race 1 (a newcomers' race), race 6 (results without a bracket payout) and
    // race 11 (a graded race), each of ten runners with results. 京都 98/10/04: race 3, a jump
    // race. 札幌 stores nothing.
    void SetUp() override {
        Database tran(folder / "tran.mdb");
        const MeetingTables tokyo = fixture::makeMeeting(tran, "05", "98", "10", "03");
        addField(tran, tokyo, 1, kTen, favouriteWins({{"jouken42", std::string("701")}}));
        addField(tran, tokyo, 6, kTen, favouriteWins({{"KekkaWakAm", std::int64_t{0}}}));
        addField(tran, tokyo, 11, kTen,
                 favouriteWins({{"grade", std::string("B")}, {"jouken42", std::string("999")}}));
        const MeetingTables kyoto = fixture::makeMeeting(tran, "08", "98", "10", "04");
        addField(tran, kyoto, 3, kTen, favouriteWins({{"track", std::string("51")}}));
    }

    Verification run(const VerificationConditions& conditions, const char* userName = "") {
        Database tran(folder / "tran.mdb");
        return runVerification(tran, userName, conditions);
    }

    TempFolder folder;
};

TEST_F(VerificationRun, CountsTheTickedCoursesMeetingsAndTheSelectedRacesWithResults) {
    const auto courses = [](std::initializer_list<int> codes) {
        std::array<bool, kVerifyCourses> ticked{};
        for (int code : codes) ticked[static_cast<std::size_t>(code - 1)] = true;
        return ticked;
    };
    const auto all = VerificationConditions{}.courses;
    std::array<bool, kVerifyRaceNumbers> raceThree{};
    raceThree[2] = true;
    const struct {
        const char* name;
        std::array<bool, kVerifyCourses> courses;
        int selection;
        std::array<bool, kVerifyRaceNumbers> races;
        int meetings, counted;
    } cases[] = {
        // Race 6 has results but no bracket payout: it never counts.
        {"all races", all, 3, {}, 2, 3},
        {"東京 only", courses({5}), 3, {}, 1, 2},
        {"札幌 only", courses({1}), 3, {}, 0, 0},
        {"no course", courses({}), 3, {}, 0, 0},
        // The meeting counts even when none of its races does.
        {"afternoon", all, 1, {}, 2, 1},
        {"race numbers, none ticked", all, 5, {}, 2, 0},
        {"race number 3", all, 5, raceThree, 2, 1},
        {"flat races past the newcomers", all, 4, {}, 2, 1},
        {"open class", all, 8, {}, 2, 1},
        {"graded", courses({8}), 9, {}, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VerificationConditions conditions;
        conditions.courses = c.courses;
        conditions.selection = c.selection;
        conditions.raceNumbers = c.races;
        const Verification v = run(conditions);
        EXPECT_EQ(v.totals.meetings, c.meetings);
        EXPECT_EQ(v.totals.races, c.counted);
        // Horse 1 is everyone's first pick and wins every counted race.
        EXPECT_EQ(v.totals.hits[1][kWin], c.counted);
        EXPECT_EQ(v.hitRates[0][kWin], c.counted ? "100%" : "");
    }
}

TEST_F(VerificationRun, FillsTheRateTablesAsTheWindowShowsThem) {
    const Verification v = run(VerificationConditions{}, "ab");
    EXPECT_EQ(v.personas, (std::array<std::string, 3>{" 翠嶺", " 碧渦", " ab"}));
    ASSERT_EQ(v.totals.races, 3);
    // Ten runners, horse 1 clear by 10: the wheel from it holds 1 - 2 once, and horse 1 wins.
    for (std::size_t p = 0; p < kPersonaCount; ++p) {
        EXPECT_EQ(v.hitRates[p], (std::array<std::string, 4>{"100%", "100%", "100%", "100%"}));
        EXPECT_EQ(v.returnRates[p], (std::array<std::string, 4>{"250%", "110%", "150%", "250%"}));
    }
}

TEST_F(VerificationRun, ReadsTheGoingMissingValuesAndRunnersWithoutAnEntriesRow) {
    Database tran(folder / "tran.mdb");
    const MeetingTables m = fixture::makeMeeting(tran, "06", "98", "10", "03");
    // Heavy going: the heavy values rank horse 2 above horse 1 for every persona.
    addField(tran, m, 1, {90, 85, 20, 10}, favouriteWins({{"RyoOmo", std::int64_t{2}}}));
    tran.exec(
        "UPDATE U06981003 SET OmoNouryoku1 = 99, OmoNouryoku2 = 99, OmoNouryoku3 = 99 "
        "WHERE umacode = '06010002'");
    // Horse 1's values are missing: it reads 0 and falls behind the others.
    addField(tran, m, 2, {90, 85, 20, 10}, favouriteWins());
    tran.exec(
        "UPDATE U06981003 SET Nouryoku1 = NULL, Nouryoku2 = NULL, Nouryoku3 = NULL "
        "WHERE umacode = '06020001'");
    // Horse 1 has no entries row: the found runners move up a place.
    addField(tran, m, 3, {90, 85, 20, 10},
             favouriteWins({{"Kekka1No", std::int64_t{2}}, {"Kekka2No", std::int64_t{1}}}));
    tran.exec("DELETE FROM U06981003 WHERE umacode = '06030001'");

    VerificationConditions conditions;
    conditions.courses = {};
    conditions.courses[5] = true;
    const Verification v = runVerification(tran, "", conditions);
    ASSERT_EQ(v.totals.races, 3);
    // Race 3 is the only win: horse 2, now first of the three found.
    EXPECT_EQ(v.totals.hits[2][kWin], 1);
    EXPECT_EQ(v.totals.returns[2][kWin], 250);
    // Horse 2 is every first pick: second in races 1 and 2 (120 each), first in race 3 (110).
    EXPECT_EQ(v.totals.hits[2][kPlace], 3);
    EXPECT_EQ(v.totals.returns[2][kPlace], 350);
    // The bracket pair 1 - 2 only in race 1: in race 2 horse 1 reads 0 (its pairs are empty
    // labels), race 3 does not find it.
    EXPECT_EQ(v.totals.hits[0][kBracket], 1);

    // A meeting whose entries table is gone counts its races and finds no runner.
    tran.exec("DROP TABLE U06981003");
    const Verification gone = runVerification(tran, "", conditions);
    EXPECT_EQ(gone.totals.races, 3);
    for (std::size_t p = 0; p < kPersonaCount; ++p) {
        for (std::size_t b = 0; b < kBetTypes; ++b) EXPECT_EQ(gone.totals.hits[p][b], 0);
    }
}

// The payback window ranks each race as the run does: at most 18 places whatever tousuu the row
// stores, filled by the runners found in entry order, those beyond tousuu left out.
TEST(RankedField, VerificationAndPaybackRankTheSameStoredField) {
    // Horse 1 best, every value below 0: a blank place (value 0) would rank above them all.
    std::vector<double> belowZero;
    for (int k = 0; k < 18; ++k) belowZero.push_back(-10.0 - k);
    std::vector<double> lastBest = belowZero;
    lastBest[17] = 50;
    const struct {
        const char* tousuu;
        std::vector<double> values;
        int pick;          // everyone's first pick, and the winner
        const char* pair;  // everyone's first ticket, and the quinella paid
    } cases[] = {
        {"19", belowZero, 1, "1 - 2"},
        {"20", belowZero, 1, "1 - 2"},
        {"99", belowZero, 1, "1 - 2"},
        // Horse 18 clear by 60: the wheel from it.
        {"18", lastBest, 18, "1 - 18"},
        // Horse 18 lies beyond a field of 17.
        {"17", lastBest, 1, "1 - 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("tousuu ") + c.tousuu);
        TempFolder folder;
        Database tran(folder / "tran.mdb");
        const MeetingTables m = fixture::makeMeeting(tran, "05", "98", "10", "03");
        addField(tran, m, 11, c.values,
                 favouriteWins({{"tousuu", std::string(c.tousuu)},
                                {"Kekka1No", std::int64_t{c.pick}},
                                {"KekkaUmaNo", std::string(c.pair)}}));

        const Verification v = runVerification(tran, "", VerificationConditions{});
        ASSERT_EQ(v.totals.races, 1);
        expectEveryPersona(v.totals, kWin, 1, 250);
        expectEveryPersona(v.totals, kQuinella, 1, 1500);

        const auto sheet = readPayback(tran, meetingOf(m.race), "");
        ASSERT_TRUE(sheet);
        for (const auto& picks : sheet->races[10].picks) {
            EXPECT_EQ(picks[0], std::to_string(c.pick));
            EXPECT_EQ(picks[1], c.pair);
        }
    }
}

TEST_F(VerificationRun, ReportsProgressPerMeeting) {
    Database tran(folder / "tran.mdb");
    std::vector<std::pair<int, int>> steps;
    runVerification(tran, "", VerificationConditions{},
                    [&](int done, int total) { steps.emplace_back(done, total); });
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}, {2, 2}}));
}

}  // namespace
