#include "core/views/race_result.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/import/race_card_import.hpp"
#include "core/import/results_import.hpp"
#include "core/store/store.hpp"
#include "den1_fixture.hpp"
#include "race_result_fixture.hpp"
#include "sei1_fixture.hpp"
#include "temp_folder.hpp"

namespace zelvanor {
namespace {

class RaceResult : public ::testing::Test {
  protected:
    // Race `race` with `n` runners (race_result_fixture.hpp).
    void addField(int race, int n) { fixture::addResultField(tran, tables, race, n); }

    RaceCard card(int race) {
        auto c = readRaceCard(tran, meeting, race, "");
        if (!c) throw std::runtime_error("no race");
        return *c;
    }

    TempFolder dir;
    Database tran{dir / "tran.mdb"};
    MeetingTables tables = fixture::makeMeeting(tran, "05", "98", "10", "03");
    Meeting meeting = meetingOf(tables.race);
};

TEST_F(RaceResult, TenRunnersWithFiveAndThreeGiveThePairsAndHitTheFavourites) {
    addField(1, 10);
    const RaceCard c = card(1);
    ASSERT_EQ(c.forecast.personas[0].picks[0], "3 - 5");

    const ResultPairs pairs = resultPairs(5, 3, c.lines);
    EXPECT_EQ(pairs.bracket, "2 - 3");
    EXPECT_EQ(pairs.quinella, "3 - 5");

    const ResultHits hits = resultHits(c.forecast, 5, pairs.quinella);
    EXPECT_EQ(hits.top, (std::array<bool, 3>{true, true, false}));
    for (std::size_t p = 0; p < kPersonaCount; ++p) {
        for (std::size_t k = 0; k < 6; ++k) {
            EXPECT_EQ(hits.picks[p][k], c.forecast.personas[p].picks[k] == "3 - 5")
                << "persona " << p << " line " << k;
        }
    }
    EXPECT_TRUE(hits.picks[0][0]);
    EXPECT_TRUE(hits.picks[1][0]);
}

TEST(ResultRules, PairsVisibilityAndPayoutTexts) {
    EXPECT_EQ(resultPair(3, 12), "3 - 12");
    EXPECT_EQ(resultPair(12, 3), "3 - 12");
    EXPECT_EQ(resultPair(18, 18), "18 - 18");

    struct Field {
        int runners;
        bool third, quinella;
    };
    for (const Field f : {Field{7, false, false}, Field{8, true, false}, Field{9, true, true},
                          Field{18, true, true}}) {
        SCOPED_TRACE(f.runners);
        EXPECT_EQ(showsThirdPlace(f.runners), f.third);
        EXPECT_EQ(showsQuinella(f.runners), f.quinella);
    }

    struct Payout {
        std::int64_t value;
        std::string text;
    };
    for (const Payout& p : {Payout{0, ""}, Payout{150, "150"}, Payout{1230, "1,230"},
                            Payout{2147483647, "2,147,483,647"}}) {
        EXPECT_EQ(payoutText(p.value), p.text);
        EXPECT_EQ(payoutValue(p.text), p.value);
    }
    // A grouped amount partly deleted still reads its digits; anything after them is left out.
    EXPECT_EQ(payoutValue("1,23"), 123);
    EXPECT_EQ(payoutValue("45x6"), 45);
    EXPECT_EQ(placeText(0), "");
    EXPECT_EQ(placeText(12), "12");
}

TEST(ResultRules, PairsNeedBothPlacesAndHitsCompareTexts) {
    std::array<RunnerLine, kRaceCardLines> lines{};
    for (int k = 0; k < 12; ++k)
        lines[static_cast<std::size_t>(k)].bracket = std::to_string(k / 2 + 1);
    struct Case {
        int first, second;
        std::string bracket, quinella;
    };
    for (const Case& c : {Case{5, 3, "2 - 3", "3 - 5"}, Case{12, 3, "2 - 6", "3 - 12"},
                          Case{3, 0, "", ""}, Case{0, 3, "", ""}, Case{0, 0, "", ""},
                          // A horse beyond the lines has no bracket.
                          Case{1, 20, "1 - ", "1 - 20"}}) {
        SCOPED_TRACE(std::to_string(c.first) + "," + std::to_string(c.second));
        const ResultPairs p = resultPairs(c.first, c.second, lines);
        EXPECT_EQ(p.bracket, c.bracket);
        EXPECT_EQ(p.quinella, c.quinella);
    }

    RaceForecast f;
    f.personas[0].top[0].horseNumber = "12";
    f.personas[0].picks = {"3 - 12", "12 - 3", "", " ", " ", " "};
    f.personas[1].picks = {" ", " ", " ", " ", " ", " "};
    // A pick 3 - 12 matches the pair of places 12 and 3.
    ResultHits hits = resultHits(f, 12, resultPair(12, 3));
    EXPECT_TRUE(hits.top[0]);
    EXPECT_FALSE(hits.top[1]);  // no top horse: nothing to hit
    EXPECT_EQ(hits.picks[0], (std::array<bool, 6>{true, false, false, false, false, false}));
    // A stored blank pair never matches the blank of a ticket the field does not form.
    hits = resultHits(f, 0, " ");
    EXPECT_FALSE(hits.top[0]);
    for (const auto& persona : hits.picks) {
        for (const bool hit : persona) EXPECT_FALSE(hit);
    }
}

TEST(ResultRules, PlacesAboveTheFieldAndPayoutsBeyondTheColumnAreRefused) {
    RaceResultEntry e;
    e.placed = {5, 3, 10};
    e.payouts = {450, 150, 320, 210, 1230, 2147483647};
    EXPECT_EQ(resultEntryProblem(e, 10).message, "");

    e.placed[1] = 11;
    ResultProblem p = resultEntryProblem(e, 10);
    EXPECT_EQ(p.placeBox, 1);
    EXPECT_EQ(p.message,
              "２着の馬番 11 は出走頭数 (10 頭) を超えています。正しい馬番を入力してください。");

    e.placed[1] = 3;
    e.payouts[4] = 2147483648;
    p = resultEntryProblem(e, 10);
    EXPECT_EQ(p.payoutBox, 4);
    EXPECT_EQ(p.message,
              "枠連の払戻金 2,147,483,648 は記録できません。2,147,483,647 までの金額を入力して"
              "ください。");
}

TEST_F(RaceResult, StoredResultReadsBackOnTheCard) {
    addField(1, 10);
    const RaceCard before = card(1);
    const RaceResultEntry entry =
        resultEntry({5, 3, 10}, {450, 150, 320, 210, 1230, 0}, before.lines);
    ASSERT_TRUE(storeRaceResult(tran, meeting, 1, entry));

    const RaceCard after = card(1);
    EXPECT_EQ(after.placed, (std::array<int, 3>{5, 3, 10}));
    EXPECT_EQ(after.bracketPair, "2 - 3");
    EXPECT_EQ(after.quinellaPair, "3 - 5");
    EXPECT_EQ(after.payouts, (std::array<std::int64_t, 6>{450, 150, 320, 210, 1230, 0}));
}

TEST_F(RaceResult, SmallFieldsAndMissingPairsStoreABlank) {
    struct Case {
        int runners;
        std::array<std::int64_t, 3> placed;
        std::string bracket, quinella;  // as stored
    };
    // Eight runners: the quinella row is hidden and its pair is not stored even when derived.
    // A first or second place missing leaves both pairs blank.
    const Case cases[] = {
        {8, {5, 3, 1}, "2 - 3", " "}, {9, {5, 3, 1}, "2 - 3", "3 - 5"}, {10, {5, 0, 0}, " ", " "}};
    int race = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.runners);
        addField(++race, c.runners);
        const RaceResultEntry entry = resultEntry(c.placed, {}, card(race).lines);
        ASSERT_TRUE(storeRaceResult(tran, meeting, race, entry));
        const RaceCard after = card(race);
        EXPECT_EQ(after.bracketPair, c.bracket);
        EXPECT_EQ(after.quinellaPair, c.quinella);
        EXPECT_EQ(after.payouts, (std::array<std::int64_t, 6>{}));
    }
}

TEST_F(RaceResult, AVanishedRaceStoresNothing) {
    addField(1, 10);
    addField(2, 10);
    RaceResultEntry entry = resultEntry({5, 3, 1}, {450}, card(1).lines);
    // Race 3 was never there; the meeting's tables are then dropped under the card.
    EXPECT_FALSE(storeRaceResult(tran, meeting, 3, entry));
    EXPECT_EQ(card(1).placed, (std::array<int, 3>{}));
    EXPECT_EQ(card(2).placed, (std::array<int, 3>{}));
    ASSERT_TRUE(deleteMeeting(tran, meeting));
    EXPECT_FALSE(storeRaceResult(tran, meeting, 1, entry));
}

// Verification and payback read typed-in results like imported ones: the same values of the same
// storage types in every result column.
TEST(ResultStore, StoresTheColumnsAsTheResultsImportDoes) {
    TempFolder folder;
    const AppPaths paths(folder.path());
    std::vector<fixture::Den1Record> cards;
    for (int race = 1; race <= 2; ++race) {
        cards.emplace_back("05", "98", "10", "03", race);
        cards.back().text("tousuu", "12");
    }
    fixture::writeDen1File(folder / "JRA#DEN1.DAT", cards);
    importRaceCards(paths, {}, RacePredictFn{});
    fixture::writeSei1File(folder / "JRA#SEI1.DAT", {fixture::Sei1Record("05", "98", "10", "03", 1)
                                                         .win(1, 3, 450)
                                                         .place(1, 3, 150)
                                                         .place(2, 12, 320)
                                                         .place(3, 7, 210)
                                                         .bracket(1, 3, 5, 1230)
                                                         .quinella(1, 3, 12, 4560)});
    importResults(paths);

    Database tran(paths.tranPath());
    RaceResultEntry typed;
    typed.placed = {3, 12, 7};
    typed.bracketPair = "3 - 5";
    typed.quinellaPair = resultPair(3, 12);
    typed.payouts = {450, 150, 320, 210, 1230, 4560};
    ASSERT_TRUE(storeRaceResult(tran, meetingOf("D05981003"), 2, typed));

    for (const char* column :
         {"Kekka1No", "Kekka2No", "Kekka3No", "KekkaWakNo", "KekkaUmaNo", "Kekka1TanAm",
          "Kekka1FukAm", "Kekka2FukAm", "Kekka3FukAm", "KekkaWakAm", "KekkaUmaAm"}) {
        SCOPED_TRACE(column);
        auto st = tran.prepare(std::string("SELECT typeof(") + column + "), " + column +
                               " FROM D05981003 ORDER BY bango");
        ASSERT_TRUE(st.step());
        const std::string importedType = st.text(0);
        const Value imported = st.value(1);
        ASSERT_TRUE(st.step());
        EXPECT_EQ(st.text(0), importedType);
        EXPECT_EQ(st.value(1), imported);
    }
}

}  // namespace
}  // namespace zelvanor
