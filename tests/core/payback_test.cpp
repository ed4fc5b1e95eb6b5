#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/store/store.hpp"
#include "core/views/payback.hpp"
#include "race_card_fixture.hpp"
#include "temp_folder.hpp"

namespace zelvanor {
namespace {

using fixture::addRace;
using fixture::addRunner;
using fixture::runnerEntry;

// ---------------------------------------------------------------------------------------------
// Marks and totals over the shown texts.

using Picks = std::array<std::string, kPaybackPickColumns>;

const Picks kBox = {"1", "1 - 2", "1 - 3", "1 - 4", "2 - 3", "2 - 4", "3 - 4"};
// What a persona holds unless a test gives it picks: nothing that any result here pays.
const Picks kMiss = {"99", "11 - 12", "11 - 13", "11 - 14", "12 - 13", "12 - 14", "13 - 14"};

struct SheetBuilder {
    PaybackSheet sheet;

    // The result cells as shown: winner and its payout, bracket pair and payout, quinella pair
    // and payout.
    SheetBuilder& result(int r, std::string winner, std::string win, std::string bracket,
                         std::string bracketPay, std::string quinella, std::string quinellaPay) {
        PaybackRace& race = at(r);
        race.results[kPlace1] = std::move(winner);
        race.results[kWinPayout] = std::move(win);
        race.results[kBracketPair] = std::move(bracket);
        race.results[kBracketPayout] = std::move(bracketPay);
        race.results[kQuinellaPair] = std::move(quinella);
        race.results[kQuinellaPayout] = std::move(quinellaPay);
        return *this;
    }
    SheetBuilder& picks(int r, int persona, Picks p) {
        at(r).picks[static_cast<std::size_t>(persona)] = std::move(p);
        return *this;
    }
    PaybackRace& at(int r) {
        PaybackRace& race = sheet.races[static_cast<std::size_t>(r - 1)];
        if (!race.stored) {
            race.stored = true;
            race.results.fill("");
            race.results[kBracketPair] = " ";
            race.results[kQuinellaPair] = " ";
            race.picks.fill(kMiss);
        }
        return race;
    }
};

Picks withTicket(int k, const std::string& pair, std::string first = "9") {
    Picks p = kMiss;
    p[0] = std::move(first);
    p[static_cast<std::size_t>(k)] = pair;
    return p;
}

PaybackOptions options(PaybackStakes stakes, int tickets, PaybackRange range = PaybackRange::All,
                       PaybackMarks marks = PaybackMarks::Pair) {
    return {stakes, tickets, range, marks};
}

// Race 8: the quinella 1 - 3 paid 1,230, hit by 翠嶺's 2nd ticket, 碧渦's 1st and the user's
// 4th; race 9 paid 5 - 6 and nobody had it. 翠嶺's first pick won race 8 (450 yen), 碧渦's
// race 9 (1,520 yen).
PaybackSheet twoRaces() {
    SheetBuilder b;
    b.result(8, "1", "450", "1 - 2", "380", "1 - 3", "1,230")
        .picks(8, 0, withTicket(2, "1 - 3", "1"))
        .picks(8, 1, withTicket(1, "1 - 3"))
        .picks(8, 2, withTicket(4, "1 - 3"));
    b.result(9, "6", "1,520", "3 - 3", "900", "5 - 6", "800")
        .picks(9, 0, withTicket(1, "9 - 10"))
        .picks(9, 1, withTicket(1, "9 - 10", "6"))
        .picks(9, 2, withTicket(1, "9 - 10"));
    return b.sheet;
}

TEST(PaybackTotals, PairTotalsFollowStakesAndTickets) {
    const PaybackSheet sheet = twoRaces();
    struct Case {
        PaybackStakes stakes;
        int tickets;
        std::array<std::string, 3> hits, returns;
    };
    const Case cases[] = {
        // 1,230 over two races of 600 yen.
        {PaybackStakes::Equal, 6, {"50%", "50%", "50%"}, {"103%", "103%", "103%"}},
        // Weights 3, 2, 2, 1, 1, 1 and 1,000 yen a race: 2 460, 3 690 and 1 230 over 2 000.
        {PaybackStakes::Weighted, 6, {"50%", "50%", "50%"}, {"123%", "185%", "62%"}},
        // Three tickets: the user's 4th is not bought; 300 yen a race.
        {PaybackStakes::Equal, 3, {"50%", "50%", "0%"}, {"205%", "205%", "0%"}},
        // Weights 3, 2, 1 and 600 yen a race.
        {PaybackStakes::Weighted, 3, {"50%", "50%", "0%"}, {"205%", "308%", "0%"}},
        // One ticket is 100 yen either way.
        {PaybackStakes::Equal, 1, {"0%", "50%", "0%"}, {"0%", "615%", "0%"}},
        {PaybackStakes::Weighted, 1, {"0%", "50%", "0%"}, {"0%", "615%", "0%"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.tickets) +
                     (c.stakes == PaybackStakes::Equal ? " equal" : " weighted"));
        const auto totals = paybackTotals(sheet, options(c.stakes, c.tickets));
        EXPECT_EQ(totals[2], c.hits);
        EXPECT_EQ(totals[3], c.returns);
        // The win rows do not depend on the pair bets.
        EXPECT_EQ(totals[0], (std::array<std::string, 3>{"50%", "50%", "0%"}));
        EXPECT_EQ(totals[1], (std::array<std::string, 3>{"225%", "760%", "0%"}));
    }
}

TEST(PaybackTotals, StakesAndWeights) {
    EXPECT_EQ(paybackStake(PaybackStakes::Equal, 1), 100);
    EXPECT_EQ(paybackStake(PaybackStakes::Equal, 3), 300);
    EXPECT_EQ(paybackStake(PaybackStakes::Equal, 6), 600);
    EXPECT_EQ(paybackStake(PaybackStakes::Weighted, 1), 100);
    EXPECT_EQ(paybackStake(PaybackStakes::Weighted, 3), 600);
    EXPECT_EQ(paybackStake(PaybackStakes::Weighted, 6), 1000);
    std::vector<int> six;
    for (int k = 1; k <= 6; ++k) six.push_back(paybackWeight(PaybackStakes::Weighted, 6, k));
    EXPECT_EQ(six, (std::vector<int>{3, 2, 2, 1, 1, 1}));
}

TEST(PaybackTotals, RangeCountsItsRacesWhileMarksCoverTheDay) {
    SheetBuilder b;
    // Race 3 (morning) and race 8 (main) both hit by 翠嶺's first ticket; race 12 has no result.
    b.result(3, "1", "300", "1 - 1", "200", "1 - 2", "1,000").picks(3, 0, kBox);
    b.result(8, "1", "500", "1 - 1", "200", "1 - 2", "2,000").picks(8, 0, kBox);
    b.at(12);
    const PaybackSheet& sheet = b.sheet;

    const auto all = paybackTotals(sheet, options(PaybackStakes::Equal, 1));
    EXPECT_EQ(all[0][0], "100%");
    EXPECT_EQ(all[1][0], "400%");   // 800 over two races
    EXPECT_EQ(all[3][0], "1500%");  // 3,000 over two races of 100 yen

    const auto main = paybackTotals(sheet, options(PaybackStakes::Equal, 1, PaybackRange::Main));
    EXPECT_EQ(main[1][0], "500%");
    EXPECT_EQ(main[3][0], "2000%");
    const auto marks = paybackMarks(sheet, options(PaybackStakes::Equal, 1, PaybackRange::Main));
    EXPECT_EQ(marks[2][0], "的中1");
    EXPECT_EQ(marks[7][0], "的中1");
    EXPECT_EQ(marks[11][0], " ");

    // Races 6 to 12 hold no result but race 8's; a day of morning results alone totals blank.
    SheetBuilder morning;
    morning.result(3, "1", "300", "1 - 1", "200", "1 - 2", "1,000");
    morning.at(9);
    for (const auto range : {PaybackRange::Afternoon, PaybackRange::Main}) {
        const auto totals = paybackTotals(morning.sheet, options(PaybackStakes::Equal, 6, range));
        for (const auto& row : totals) EXPECT_EQ(row, (std::array<std::string, 3>{" ", " ", " "}));
    }
}

TEST(PaybackTotals, MeetingWithoutRacesTotalsBlank) {
    const PaybackSheet empty;
    for (const auto& row : paybackTotals(empty, {})) {
        EXPECT_EQ(row, (std::array<std::string, 3>{" ", " ", " "}));
    }
    for (const auto& row : paybackMarks(empty, {})) {
        EXPECT_EQ(row, (std::array<std::string, 3>{" ", " ", " "}));
    }
}

TEST(PaybackTotals, WithoutQuinellaTheBracketPairCounts) {
    SheetBuilder b;
    // A small field: no quinella, the bracket pair 2 - 5 paid 640; 翠嶺 held it as 3rd ticket.
    b.result(1, "2", "210", "2 - 5", "640", " ", "").picks(1, 0, withTicket(3, "2 - 5"));
    // A quinella pair shown without its payout: the marks still judge the quinella pair (the
    // user's 6th ticket), the totals the bracket pair and its payout (碧渦's 1st ticket).
    b.result(2, "3", "330", "1 - 2", "450", "3 - 4", "")
        .picks(2, 1, withTicket(1, "1 - 2"))
        .picks(2, 2, withTicket(6, "3 - 4"));
    // A field of 8 or fewer as the results import stores it: the quinella pair " - " names no
    // horses, so the bracket pair 4 - 6 counts in the marks as in the totals (the user's 2nd).
    b.result(3, "6", "500", "4 - 6", "820", " - ", "").picks(3, 2, withTicket(2, "4 - 6"));
    const auto marks = paybackMarks(b.sheet, options(PaybackStakes::Equal, 6));
    EXPECT_EQ(marks[0], (std::array<std::string, 3>{"的中3", " ", " "}));
    EXPECT_EQ(marks[1], (std::array<std::string, 3>{" ", " ", "的中6"}));
    EXPECT_EQ(marks[2], (std::array<std::string, 3>{" ", " ", "的中2"}));
    const auto totals = paybackTotals(b.sheet, options(PaybackStakes::Equal, 6));
    EXPECT_EQ(totals[2], (std::array<std::string, 3>{"33%", "33%", "33%"}));
    // 640, 450 and 820 over three races of 600 yen.
    EXPECT_EQ(totals[3], (std::array<std::string, 3>{"36%", "25%", "46%"}));
}

TEST(PaybackTotals, HitOnAnEmptyPayoutReturnsNothing) {
    SheetBuilder b;
    b.result(5, "1", "", "1 - 2", "", "1 - 2", "");
    for (int p = 0; p < kPersonaCount; ++p) b.picks(5, p, kBox);
    const auto totals = paybackTotals(b.sheet, options(PaybackStakes::Equal, 6));
    for (const std::size_t row : {0u, 2u}) {
        EXPECT_EQ(totals[row], (std::array<std::string, 3>{"100%", "100%", "100%"}));
    }
    for (const std::size_t row : {1u, 3u}) {
        EXPECT_EQ(totals[row], (std::array<std::string, 3>{"0%", "0%", "0%"}));
    }
}

TEST(PaybackMarks, WinAndPairDisplays) {
    const PaybackSheet sheet = twoRaces();
    const auto win =
        paybackMarks(sheet, options(PaybackStakes::Equal, 6, PaybackRange::All, PaybackMarks::Win));
    EXPECT_EQ(win[7], (std::array<std::string, 3>{"的中", " ", " "}));
    EXPECT_EQ(win[8], (std::array<std::string, 3>{" ", "的中", " "}));
    EXPECT_EQ(win[0], (std::array<std::string, 3>{" ", " ", " "}));

    const auto six = paybackMarks(sheet, options(PaybackStakes::Equal, 6));
    EXPECT_EQ(six[7], (std::array<std::string, 3>{"的中2", "的中1", "的中4"}));
    EXPECT_EQ(six[8], (std::array<std::string, 3>{" ", " ", " "}));
    // Only the tickets bought are marked.
    const auto three = paybackMarks(sheet, options(PaybackStakes::Weighted, 3));
    EXPECT_EQ(three[7], (std::array<std::string, 3>{"的中2", "的中1", " "}));

    // Two tickets with the pair: the later one shows.
    SheetBuilder b;
    b.result(4, "1", "200", "1 - 2", "300", "5 - 6", "700")
        .picks(4, 0, {"5", "5 - 6", "1 - 5", "5 - 6", " ", " ", " "});
    EXPECT_EQ(paybackMarks(b.sheet, options(PaybackStakes::Equal, 6))[3][0], "的中3");
}

// ---------------------------------------------------------------------------------------------
// Reading the meeting.

class PaybackRead : public ::testing::Test {
  protected:
    TempFolder dir;
    Database tran{dir / "tran.mdb"};
    MeetingTables tables = fixture::makeMeeting(tran, "05", "98", "11", "29");
    Meeting meeting = meetingOf(tables.race);

    // Horse `number` (code 951000nn) with the three good-going values; heavy going is each
    // less 10.
    void runner(int number, double suirei, double hekika, double user) {
        addRunner(tran, tables, code(number), suirei, hekika, user,
                  {{"WakuUmaNo", std::int64_t{number}}});
    }
    static std::string code(int number) {
        return "951000" + std::string(number < 10 ? "0" : "") + std::to_string(number);
    }
    static std::vector<std::string> entries(int count) {
        std::vector<std::string> e;
        for (int n = 1; n <= count; ++n) e.push_back(runnerEntry((n + 1) / 2, code(n)));
        return e;
    }
};

TEST_F(PaybackRead, HeadingAndResultCells) {
    for (int n = 1; n <= 10; ++n) runner(n, 50 + n, 40 + n, 30 + n);
    addRace(tran, tables, 1, entries(10),
            {{"kaiji", std::string("5")},
             {"hiji", std::string("8")},
             {"youbi", std::string("2")},
             {"Kekka1No", std::int64_t{10}},
             {"Kekka2No", std::int64_t{3}},
             {"Kekka3No", std::int64_t{0}},
             {"Kekka1TanAm", std::int64_t{1230}},
             {"Kekka1FukAm", std::int64_t{150}},
             {"Kekka2FukAm", std::int64_t{0}},
             {"Kekka3FukAm", std::int64_t{123456}},
             {"KekkaWakNo", std::string("")},
             {"KekkaWakAm", std::int64_t{0}},
             {"KekkaUmaNo", std::string("3 - 10")},
             {"KekkaUmaAm", std::int64_t{4560}}});
    // Race 2 without results, race 12 stored, the rest missing.
    addRace(tran, tables, 2, entries(10));
    addRace(tran, tables, 12, entries(10));

    const auto sheet = readPayback(tran, meeting, "");
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->heading, "98 年 東京 5 回 8 日目  11 月 29 日 （日曜日）");
    EXPECT_EQ(sheet->personas, (std::array<std::string, 3>{" 翠嶺", " 碧渦", " User"}));
    EXPECT_EQ(sheet->races[0].results,
              (std::array<std::string, 11>{"10", "3", "", "1,230", "150", "", "123,456", " ", "",
                                           "3 - 10", "4,560"}));
    EXPECT_EQ(sheet->races[1].results,
              (std::array<std::string, 11>{"", "", "", "", "", "", "", " ", "", " ", ""}));
    std::vector<int> stored;
    for (int r = 1; r <= 12; ++r) {
        if (sheet->races[static_cast<std::size_t>(r - 1)].stored) stored.push_back(r);
    }
    EXPECT_EQ(stored, (std::vector<int>{1, 2, 12}));
    EXPECT_EQ(sheet->races[2].results[0], "");
    EXPECT_EQ(sheet->races[2].picks[0][0], "");

    // No race 1: no heading.
    tran.exec("DELETE FROM " + quoteIdentifier(tables.race) + " WHERE bango = 1");
    EXPECT_EQ(readPayback(tran, meeting, "ゆう")->heading, "");
    EXPECT_EQ(readPayback(tran, meeting, "ゆう")->personas[2], " ゆう");
}

TEST_F(PaybackRead, PicksPerPersonaAndGoing) {
    // Horse numbers are the entries rows' WakuUmaNo: entry k runs as horse 19 - k here.
    const std::vector<double> suirei = {60, 70, 65, 50, 55, 45, 40, 30};
    std::vector<std::string> e;
    for (int k = 1; k <= 8; ++k) {
        const int number = 19 - k;
        const auto v = suirei[static_cast<std::size_t>(k - 1)];
        // 碧渦 has a clear favourite (horse 18 by 10), the user ranks by the reverse order.
        addRunner(tran, tables, code(k), v, k == 1 ? 90.0 : 80.0 - k, 10.0 + k,
                  {{"WakuUmaNo", std::int64_t{number}}});
        e.push_back(runnerEntry(1, code(k)));
    }
    addRace(tran, tables, 5, e);
    const auto good = readPayback(tran, meeting, "")->races[4].picks;
    // 翠嶺 ranks 17, 16, 18, 14, 15, …: the box of the first four.
    EXPECT_EQ(good[0],
              (Picks{"17", "16 - 17", "17 - 18", "14 - 17", "16 - 18", "14 - 16", "14 - 18"}));
    // 碧渦: 18 leads 17 by more than 7, so the wheel from 18 over seven more runners.
    EXPECT_EQ(good[1],
              (Picks{"18", "17 - 18", "16 - 18", "15 - 18", "14 - 18", "13 - 18", "12 - 18"}));
    EXPECT_EQ(good[2][0], "11");

    // Heavy going ranks by the Omo… values (each 10 less here, so the same order), and the
    // user's all 0 or below give no pair labels.
    tran.exec("UPDATE " + quoteIdentifier(tables.race) + " SET RyoOmo = 2");
    tran.exec("UPDATE " + quoteIdentifier(tables.entries) + " SET OmoNouryoku3 = 0");
    const auto heavy = readPayback(tran, meeting, "")->races[4].picks;
    EXPECT_EQ(heavy[0], good[0]);
    EXPECT_EQ(heavy[2], (Picks{"18", "", "", "", "", "", ""}));
}

TEST_F(PaybackRead, SmallAndOverfullFields) {
    for (int n = 1; n <= 6; ++n) runner(n, 60 - n, 60 - n, 60 - n);
    // Six runners, top-two gap 1: the box's first four, then the 5th and 6th tickets need more
    // than 6 and 7 runners.
    addRace(tran, tables, 1, entries(6));
    // Three runners: the tickets reaching a fourth runner are not formed either.
    addRace(tran, tables, 2, entries(3));
    // Six runners found though tousuu says 3: only the first three are ranked.
    addRace(tran, tables, 3, entries(6), {{"tousuu", std::string("03")}});
    // Five places, two of them taken by horses without entries rows: places 4 and 5 read 0.
    auto e = entries(3);
    e.push_back(runnerEntry(3, "99999998"));
    e.push_back(runnerEntry(3, "99999999"));
    addRace(tran, tables, 4, e);

    const auto sheet = readPayback(tran, meeting, "");
    ASSERT_TRUE(sheet);
    const auto picks = [&](int r) {
        return sheet->races[static_cast<std::size_t>(r - 1)].picks[0];
    };
    EXPECT_EQ(picks(1), (Picks{"1", "1 - 2", "1 - 3", "1 - 4", "2 - 3", " ", " "}));
    EXPECT_EQ(picks(2), (Picks{"1", "1 - 2", "1 - 3", " ", " ", " ", " "}));
    EXPECT_EQ(picks(3), picks(2));
    // The places without a runner rank last with value 0: their pairs are empty labels.
    EXPECT_EQ(picks(4), (Picks{"1", "1 - 2", "1 - 3", "", " ", " ", " "}));
}

TEST_F(PaybackRead, MissingTablesAndEmptyMeeting) {
    // Tables but no race rows: every race blank.
    const auto empty = readPayback(tran, meeting, "");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->heading, "");
    for (const auto& race : empty->races) EXPECT_FALSE(race.stored);

    tran.dropTable(tables.entries);
    EXPECT_FALSE(readPayback(tran, meeting, ""));
    EXPECT_FALSE(readPayback(tran, meetingOf("D01981003"), ""));
    EXPECT_EQ(paybackMissingText(meeting), "東京 98/11/29 の出馬表データがありません。");
}

TEST(PaybackLabels, RaceLabels) {
    EXPECT_EQ(paybackRaceLabel(1), "　１Ｒ");
    EXPECT_EQ(paybackRaceLabel(9), "　９Ｒ");
    EXPECT_EQ(paybackRaceLabel(10), "１０Ｒ");
    EXPECT_EQ(paybackRaceLabel(12), "１２Ｒ");
}

}  // namespace
}  // namespace zelvanor
