#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/store/store.hpp"
#include "core/views/race_card.hpp"
#include "race_card_fixture.hpp"
#include "temp_folder.hpp"

namespace zelvanor {
namespace {

using fixture::addRace;
using fixture::addRunner;
using fixture::runnerEntry;

class RaceCardView : public ::testing::Test {
  protected:
    TempFolder dir;
    Database tran{dir / "tran.mdb"};
    MeetingTables tables = fixture::makeMeeting(tran, "05", "98", "10", "03");
    Meeting meeting = meetingOf(tables.race);
};

TEST_F(RaceCardView, RunnerLinesShowEveryCellAndTooltip) {
    // A past race of 98-09-13 in class 005: characters 3-4 and 11-14 give the date, 15-17 the class.
    std::string inf1(107, ' ');
    inf1.replace(2, 2, "98");
    inf1.replace(10, 4, "0913");
    inf1.replace(14, 3, "005");
    addRunner(tran, tables, "95100001", 71.25, 60.0, 55.0,
              {{"bamei", std::string("サイレンススズカノ仔です")},
               {"keto1", std::string("サンデーサイレンス　　　　")},
               {"keto2", std::string("ワキア")},
               {"NameKisi", std::string("武豊")},
               {"CodeKisi", std::string("0666")},
               {"KSougouRen", std::int64_t{38}},
               {"KCoseRen", std::int64_t{41}},
               {"MinaraiKisi", std::string("1")},
               {"NameChok", std::string("橋田満")},
               {"chocode", std::string("0345")},
               {"CSougouRen", std::int64_t{22}},
               {"CCoseRen", std::int64_t{19}},
               {"touzaiChok", std::string("西")},
               {"Tokusei3kaku", std::string("逃げ")},
               {"Shisuu3kaku", std::int64_t{2}},
               {"TokuseiShisuu", 12.5},
               {"OmoTokuseiShisuu", 8.0},
               {"SpSeichou", 1.5},
               {"SpBase1", 62.3},
               {"SpBase2", 0.0},
               {"SpBase3", 58.0},
               {"SpBase4", 57.5},
               {"SpBase5", 56.0},
               {"inf1", inf1},
               {"shuutoku1", std::string("0000500")}});
    // The sex comes from the entry ("3"), not from the horse's row ("2").
    addRace(tran, tables, 11, {runnerEntry(2, "95100001", '3', 575)},
            {{"jouken41", std::string("000")}, {"jouken42", std::string("010")}});

    for (const bool good : {true, false}) {
        SCOPED_TRACE(good ? "good" : "heavy");
        ASSERT_TRUE(storeRaceGoing(tran, meeting, 11, good));
        const auto card = readRaceCard(tran, meeting, 11, "");
        ASSERT_TRUE(card);
        EXPECT_EQ(card->going, good ? "良" : "重");
        const RunnerLine& l = card->lines[0];
        EXPECT_TRUE(l.shown);
        EXPECT_TRUE(l.hasEntry);
        EXPECT_EQ(l.bracket, "2");
        EXPECT_EQ(l.bracketColour, 2);
        EXPECT_EQ(l.name, " サイレンススズカノ仔");
        EXPECT_EQ(l.nameTip, "95100001  父馬名 : サンデーサイレンス 母馬名 : ワキア");
        EXPECT_EQ(l.weight, "57.5");
        EXPECT_EQ(l.sex, "ｾﾝ");
        EXPECT_EQ(l.age, " 4");
        EXPECT_EQ(l.jockey, "武豊");
        EXPECT_EQ(l.jockeyTip, " 登録番号 ： 0666  総合連帯率 ： 38%   場所連帯率 ： 41% ");
        EXPECT_EQ(l.apprentice, "1");
        EXPECT_EQ(l.trainer, "橋田満");
        EXPECT_EQ(l.trainerTip, " 登録番号 ： 0345  総合連帯率 ： 22%   場所連帯率 ： 19% ");
        EXPECT_EQ(l.trainerPlace, "西");
        EXPECT_EQ(l.classChange, "格上初戦");  // 500万下 to the 4-year-olds' 1000万下
        EXPECT_EQ(l.rotation, "中３週");  // 20 days
        EXPECT_EQ(l.style, "逃げ");
        EXPECT_EQ(l.corner, "2");
        EXPECT_EQ(l.index, good ? "71.3" : "61.3");
        EXPECT_EQ(l.sIndex, good ? "60.0" : "50.0");
        EXPECT_EQ(l.anaIndex, good ? "55.0" : "45.0");
        EXPECT_EQ(l.indexTip, good ? " 特性指数： 12.5  成長率： 1.5  ５走： 62.3 0 58 57.5 56 "
                                   : " 特性指数： 8  成長率： 1.5  ５走： 62.3 0 58 57.5 56 ");
        EXPECT_EQ(l.marks[0], "◎");
    }
}

TEST_F(RaceCardView, PlacesWithoutARunnerAndRunnersWithoutARow) {
    addRunner(tran, tables, "98100001", 70, 70, 70);
    addRunner(tran, tables, "98100003", 60, 60, 60);
    // tousuu 05 over two runners with rows, an empty entry, a horse without a row, a short entry;
    // then a place the file fills with zeros and a blank one.
    addRace(tran, tables, 1,
            {runnerEntry(1, "98100001"), "", runnerEntry(3, "98100003"), runnerEntry(4, "98109999"),
             "5981", fixture::emptyPlace(), std::string(23, ' ')},
            {{"tousuu", std::string("05")}});
    const auto card = readRaceCard(tran, meeting, 1, "");
    ASSERT_TRUE(card);
    EXPECT_EQ(card->runnerCount, 5);
    std::vector<bool> shown;
    for (const RunnerLine& l : card->lines) shown.push_back(l.shown);
    EXPECT_EQ(shown, (std::vector<bool>{true, false, true, true, true, false, false, false, false,
                                        false, false, false, false, false, false, false, false,
                                        false}));
    const RunnerLine& noRow = card->lines[3];
    EXPECT_FALSE(noRow.hasEntry);
    EXPECT_EQ(noRow.umacode, "98109999");
    EXPECT_EQ(noRow.weight, "55.0");
    EXPECT_EQ(noRow.name, "");
    EXPECT_EQ(noRow.age, "");
    EXPECT_EQ(noRow.index, "");
    EXPECT_EQ(card->lines[4].umacode, "");
    EXPECT_EQ(card->lines[4].weight, "0.0");
    EXPECT_EQ(card->lines[17].number, 18);
    // Five places ranked, the three without a value unmarked.
    const auto& marks = card->forecast.personas[0].marks;
    EXPECT_EQ(marks, (std::vector<std::string>{"◎", "", "○", "", ""}));
    EXPECT_EQ(card->lines[2].marks[0], "○");
    // 70 and 60 then zeros: 10 clears the axis.
    EXPECT_EQ(card->forecast.verdict, "軸堅い");
}

TEST_F(RaceCardView, SmallFieldWithoutARuleHasNoVerdict) {
    const std::vector<double> values = {80, 78, 76, 74, 72};
    std::vector<std::string> entries;
    for (std::size_t k = 0; k < values.size(); ++k) {
        const std::string code = "9810000" + std::to_string(k + 1);
        addRunner(tran, tables, code, values[k], values[k], values[k]);
        entries.push_back(runnerEntry(static_cast<int>(k + 1), code));
    }
    addRace(tran, tables, 2, entries);
    const auto card = readRaceCard(tran, meeting, 2, "");
    ASSERT_TRUE(card);
    EXPECT_EQ(card->forecast.verdict, "");
}

TEST_F(RaceCardView, AgesCrossTheCentury) {
    const MeetingTables later = fixture::makeMeeting(tran, "05", "01", "01", "06");
    addRunner(tran, later, "98100001", 70, 70, 70, {{"seinen", std::string("980301")}});
    addRunner(tran, later, "99100002", 70, 70, 70, {{"seinen", std::string("      ")}});
    addRace(tran, later, 1, {runnerEntry(1, "98100001"), runnerEntry(1, "99100002")});
    const auto card = readRaceCard(tran, meetingOf(later.race), 1, "");
    ASSERT_TRUE(card);
    EXPECT_EQ(card->lines[0].age, " 4");
    EXPECT_EQ(card->lines[1].age, "");
}

TEST_F(RaceCardView, HeaderTextsTabsAndPersonas) {
    addRace(tran, tables, 3, {}, {{"hondai", std::string("毎日王冠記念ステークスという長い名前")},
                                  {"grade", std::string("B")},
                                  {"htime", std::string("0950")}});
    addRace(tran, tables, 12, {}, {{"hondai", std::string("　")}, {"RyoOmo", std::int64_t{2}}});
    const MeetingRaces races = meetingRaces(tran, meeting);
    EXPECT_EQ(races.dayLine, "4 回 1 日目   98 年 10 月 3 日 （土曜日）");
    ASSERT_EQ(races.tabs.size(), 2u);
    EXPECT_EQ(races.tabs[0].caption, " 3R");
    EXPECT_EQ(races.tabs[1].caption, " 12R");
    EXPECT_EQ(races.tabs[0].tooltip,
              "   3Ｒ  毎日王冠記念ステークスという長い名前\r\n　　　　　サラ系 ４歳上・ 1000万下  ＧⅡ"
              "（ハンデ）");

    const auto card = readRaceCard(tran, meeting, 3, "まさ");
    ASSERT_TRUE(card);
    EXPECT_EQ(card->title,
              "   3Ｒ  毎日王冠記念ステークスという長い名\r\n　　　　　サラ系 ４歳上・ 1000万下  ＧⅡ"
              "（ハンデ）");
    EXPECT_EQ(card->fullTitle, races.tabs[0].tooltip);
    EXPECT_EQ(card->postTime, "9:50");
    EXPECT_EQ(card->distanceAndTrack, "1600m芝・右 ");
    const auto& p = card->forecast.personas;
    EXPECT_EQ(p[2].name, "まさ");
    EXPECT_EQ(p[2].caption, "まさ（特性重視）");
    EXPECT_EQ(p[0].headingTip, "本誌の翠嶺君は、本命党です。");
    EXPECT_EQ(p[1].headingTip,
              "碧渦です。能力値を重視していますので、経験の浅い馬たちが出走すると苦手です。");
    EXPECT_EQ(p[2].headingTip,
              "本誌代表の まさ です。的中率はよくないですが、たまに万馬券を的中します。回収率Ｎｏ１！"
              "（？）");
    EXPECT_EQ(readRaceCard(tran, meeting, 12, "")->title, "  12Ｒ  サラ系 ４歳上・ 1000万下（ハンデ）");
    EXPECT_EQ(readRaceCard(tran, meeting, 12, "")->going, "重");
    EXPECT_FALSE(readRaceCard(tran, meeting, 4, ""));
}

TEST_F(RaceCardView, SameDayCoursesAndGoing) {
    fixture::makeMeeting(tran, "09", "98", "10", "03");
    fixture::makeMeeting(tran, "06", "98", "10", "04");
    std::vector<std::string> labels;
    for (const SameDayCourse& c : sameDayCourses(tran, meeting)) labels.push_back(c.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"東京", "阪神"}));
    EXPECT_EQ(sameDayCourses(tran, meeting)[1].meeting.entriesTable, "U09981003");

    addRace(tran, tables, 1, {});
    EXPECT_TRUE(storeRaceGoing(tran, meeting, 1, false));
    EXPECT_EQ(readRaceCard(tran, meeting, 1, "")->race.ryoOmo, 2);
    EXPECT_TRUE(storeRaceGoing(tran, meeting, 1, true));
    EXPECT_EQ(readRaceCard(tran, meeting, 1, "")->race.ryoOmo, 1);
    EXPECT_FALSE(storeRaceGoing(tran, meeting, 5, true));
    EXPECT_FALSE(storeRaceGoing(tran, meetingOf("D01981003"), 1, true));
}

}  // namespace
}  // namespace zelvanor
