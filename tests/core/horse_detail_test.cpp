#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/records/utf8.hpp"
#include "core/shell/constants.hpp"
#include "core/store/store.hpp"
#include "core/views/horse_detail.hpp"
#include "race_card_fixture.hpp"
#include "temp_folder.hpp"

namespace zelvanor {
namespace {

using fixture::addRace;
using fixture::addRunner;
using fixture::runnerEntry;

// A 107-character history entry built by character position, as the import decodes it.
class History {
  public:
    History() : chars_(107, " ") {}
    History& put(std::size_t first, std::string_view text) {
        for (std::size_t i = 0; i < 107; ++i) {
            const std::string_view c = charactersAt(text, i + 1, 1);
            if (c.empty()) break;
            chars_.at(first - 1 + i) = std::string(c);
        }
        return *this;
    }
    std::string text() const {
        std::string s;
        for (const auto& c : chars_) s += c;
        return s;
    }

  private:
    std::vector<std::string> chars_;
};

// Fourth of 16 at the 3rd Tokyo meeting on 10/03, a 1600 m turf race of the 900万 class on going
// `going`, finishing with abnormal-result code `abnormal`.
std::string pastRace(std::string_view going = "1", std::string_view abnormal = "0",
                     std::string_view grade = " ") {
    return History()
        .put(1, "05")
        .put(3, "98")
        .put(5, "3")
        .put(9, "07")
        .put(11, "10")
        .put(13, "03")
        .put(15, "009")
        .put(18, "1600")
        .put(22, "11")
        .put(24, "府中Ｓ")
        .put(27, grade)
        .put(29, going)
        .put(30, "16")
        .put(32, "サクラローレル　　　　　　　　　　　")
        .put(50, " 0.4")
        .put(54, "4")
        .put(57, "04")
        .put(59, abnormal)
        .put(60, "1345")
        .put(64, "575")
        .put(67, "(2)")
        .put(70, "0102030404")
        .put(81, "345")
        .put(84, "武豊　　　　　　")
        .put(92, "03")
        .text();
}

TEST(HorseDetailPanel, LinesOfAPastRace) {
    const PastRacePanel p = pastRacePanel(1, pastRace(), 62.3);
    EXPECT_EQ(p.caption, "前走（62.3）");
    EXPECT_TRUE(p.hasRace);
    EXPECT_EQ(p.lines[0], "3回 東京 10/03 900万");
    EXPECT_EQ(p.lines[1], "府中Ｓ  04着 1345  0.4");
    EXPECT_EQ(p.lines[2], "1600m芝 57.5 武豊　(2)");
    EXPECT_EQ(p.lines[3], "16ﾄ 4枠⑦ 3人気   34.5");
    EXPECT_EQ(p.lines[4], "ｺｰﾅｰ順 01/02/03/04");
    EXPECT_EQ(p.lines[5], "サクラローレル　　　　　　　　　　　");
    EXPECT_EQ(p.goingColour, "#0000FF");
}

TEST(HorseDetailPanel, GradeGoingAndAbnormalResults) {
    struct Case {
        const char* going;
        const char* abnormal;
        const char* grade;
        const char* line1;
        const char* line2;
        const char* colour;
    };
    const Case cases[] = {
        {"2", "4", " ", "3回 東京 10/03 900万", "府中Ｓ  競走中止   0.4", "#FFFFFF"},
        {"3", "1", "A", "3回 東京 10/03 ＧⅠ", "府中Ｓ  出走取消   0.4", "#FFFF00"},
        {"4", "0", "C", "3回 東京 10/03 ＧⅢ", "府中Ｓ  04着 1345  0.4", "#FF0000"},
        // An unknown going leaves the colour alone; an unknown grade letter shows the class.
        {"9", "0", "D", "3回 東京 10/03 900万", "府中Ｓ  04着 1345  0.4", ""},
        // A code the abnormal-result table does not know still replaces place and time.
        {"1", "8", " ", "3回 東京 10/03 900万", "府中Ｓ     0.4", "#0000FF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.going) + c.abnormal + c.grade);
        const PastRacePanel p = pastRacePanel(3, pastRace(c.going, c.abnormal, c.grade), 0);
        EXPECT_EQ(p.caption, "３走前（0）");
        EXPECT_EQ(p.lines[0], c.line1);
        EXPECT_EQ(p.lines[1], c.line2);
        EXPECT_EQ(p.goingColour, c.colour);
    }
}

TEST(HorseDetailPanel, NoRaceWhereTheMonthReadsZero) {
    for (const std::string& inf :
         {std::string(), std::string(107, ' '), History().put(1, "05").put(11, "00").text(),
          std::string("0501")}) {
        const PastRacePanel p = pastRacePanel(5, inf, 0);
        EXPECT_EQ(p.caption, "５走前（0）");
        EXPECT_FALSE(p.hasRace);
        for (const auto& line : p.lines) EXPECT_EQ(line, "");
        EXPECT_EQ(p.goingColour, "");
    }
}

TEST(HorseDetailPanel, WetTrackGrades) {
    struct Case {
        int turf, dirt;
        const char* grade;
    };
    for (const Case& c :
         {Case{55, 0, "雨適正：◎"}, Case{0, 50, "雨適正：◎"}, Case{25, 10, "雨適正：○"},
          Case{49, 20, "雨適正：○"}, Case{15, 10, "雨適正："}, Case{19, 19, "雨適正："},
          Case{0, 0, "雨適正："}}) {
        EXPECT_EQ(wetTrackGrade(c.turf, c.dirt), c.grade) << c.turf << " " << c.dirt;
    }
}

class HorseDetailRead : public ::testing::Test {
  protected:
    TempFolder dir;
    Database tran{dir / "tran.mdb"};
    MeetingTables tables = fixture::makeMeeting(tran, "05", "00", "01", "08");
    Meeting meeting = meetingOf(tables.race);
};

TEST_F(HorseDetailRead, EveryFieldOfTheWindow) {
    addRunner(tran, tables, "00012345", 70, 72.5, 60,
              {{"bamei", std::string("サイレンススズカノ仔です　　")},
               {"keto1", std::string("サンデーサイレンス　　　　")},
               {"keto2", std::string("ワキア")},
               {"keto3", std::string("ミスワキ")},
               {"seinen", std::string("980401")},
               {"seibetsu", std::string("1")},
               {"moushoku", std::string("03")},
               {"WakuNo", std::int64_t{3}},
               {"WakuUmaNo", std::int64_t{2}},
               {"Tokusei3kaku", std::string("逃げ")},
               {"TokuseiKyori", std::string("M")},
               {"JotaiShibaOmo", std::int64_t{25}},
               {"JotaiDertOmo", std::int64_t{10}},
               {"NameKisi", std::string("武豊")},
               {"NameChok", std::string("橋田満")},
               {"umanushi", std::string("　大川　義雄　　")},
               {"honshou", std::string("0012345")},
               {"fukashou", std::string("000500")},
               {"shuutoku1", std::string("0000004")},
               {"BabaSougou", std::int64_t{38}},
               {"SpSeichou", 1.5},
               {"SpBase1", 62.3},
               {"SpBase2", 58.0},
               {"SpBase3", 0.0},
               {"inf1", pastRace()},
               {"inf2", pastRace("3", "4")},
               {"inf3", pastRace("2")}});
    // Horse number 2 carries blinkers: character 11 of its runner entry.
    std::string blinkered = runnerEntry(3, "00012345");
    blinkered[10] = '1';
    addRace(tran, tables, 11, {runnerEntry(1, "00099999"), blinkered});

    const auto d = readHorseDetail(tran, meeting, 11, "00012345");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->umacode, "00012345");
    EXPECT_EQ(d->bracket, "3");
    EXPECT_EQ(d->bracketColour, 3);
    EXPECT_EQ(d->number, "2");
    EXPECT_EQ(d->blinker, "B");
    EXPECT_EQ(d->name, "サイレンススズカノ仔");
    EXPECT_EQ(d->sire, "父：サンデーサイレンス");
    EXPECT_EQ(d->dam, "母：ワキア");
    EXPECT_EQ(d->damSire, "母父：ミスワキ");
    EXPECT_EQ(d->sex, "牡");
    EXPECT_EQ(d->age, " 3");  // born 98, racing in 00
    EXPECT_EQ(d->coat, "鹿毛");
    EXPECT_EQ(d->style, "脚質：逃げ");
    EXPECT_EQ(d->distanceType, "Type：ﾏｲﾗｰ");
    EXPECT_EQ(d->wetTrack, "雨適正：○");
    EXPECT_EQ(d->jockey, "騎　手：武豊");
    EXPECT_EQ(d->trainer, "調教師：橋田満");
    EXPECT_EQ(d->owner, "馬　主：大川　義");
    EXPECT_EQ(d->prizeMoney, "1,235万");  // 12345 / 10, rounded half away from zero
    EXPECT_EQ(d->addedMoney, "50万");
    EXPECT_EQ(d->earnedMoney, "0万");
    EXPECT_EQ(d->topTwoRate, "38%");
    EXPECT_EQ(d->ability, "73P");
    EXPECT_EQ(d->growth, "1.5%");

    // Three past races: panels 1 to 3 filled, 4 and 5 empty.
    const auto& p = d->pastRaces;
    EXPECT_EQ(p[0].caption, "前走（62.3）");
    EXPECT_EQ(p[1].caption, "前々走（58）");
    EXPECT_EQ(p[2].caption, "３走前（0）");
    EXPECT_EQ(p[1].lines[1], "府中Ｓ  競走中止   0.4");
    EXPECT_EQ(p[1].goingColour, "#FFFF00");
    for (int k = 0; k < 3; ++k) EXPECT_TRUE(p[static_cast<std::size_t>(k)].hasRace) << k;
    for (int k = 3; k < 5; ++k) {
        EXPECT_FALSE(p[static_cast<std::size_t>(k)].hasRace) << k;
        EXPECT_EQ(p[static_cast<std::size_t>(k)].lines[0], "") << k;
    }
    EXPECT_EQ(p[3].caption, "４走前（0）");
}

TEST_F(HorseDetailRead, SeeksTheCodeAsText) {
    // Codes that read as the same number, and one with a letter: each finds only its own row.
    for (const char* code : {"00012345", "012345", "0001234A"}) {
        addRunner(tran, tables, code, 60, 60, 60, {{"bamei", "馬" + std::string(code)}});
    }
    addRace(tran, tables, 1, {runnerEntry(1, "00012345")});
    for (const char* code : {"00012345", "012345", "0001234A"}) {
        const auto d = readHorseDetail(tran, meeting, 1, code);
        ASSERT_TRUE(d) << code;
        EXPECT_EQ(d->name, "馬" + std::string(code));
    }
    EXPECT_FALSE(readHorseDetail(tran, meeting, 1, "00012346"));
    EXPECT_FALSE(readHorseDetail(tran, meeting, 1, "12345"));     // the same number, not the text
    EXPECT_FALSE(readHorseDetail(tran, meeting, 2, "00012345"));  // no race 2
    EXPECT_FALSE(readHorseDetail(tran, meetingOf("D06000108"), 1, "00012345"));
}

TEST_F(HorseDetailRead, AgesAcrossTheCentury) {
    // The meeting is of year 00; other race years come from hand-made meetings.
    struct Case {
        const char* raceYear;
        const char* seinen;
        const char* age;
    };
    const Case cases[] = {{"00", "980401", " 3"}, {"00", "970401", " 4"}, {"99", "970401", " 3"},
                          {"01", "990401", " 3"}, {"98", "950401", " 4"}, {"00", "      ", ""}};
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        const MeetingTables m = fixture::makeMeeting(tran, "0" + std::to_string(n % 9 + 1),
                                                     c.raceYear, "02", "0" + std::to_string(n));
        addRunner(tran, m, "00000001", 60, 60, 60, {{"seinen", std::string(c.seinen)}});
        addRace(tran, m, 1, {runnerEntry(1, "00000001")});
        const auto d = readHorseDetail(tran, meetingOf(m.race), 1, "00000001");
        ASSERT_TRUE(d);
        EXPECT_EQ(d->age, c.age) << c.raceYear << " " << c.seinen;
    }
}

TEST_F(HorseDetailRead, EmptyRowAndTheRunnerOfANumber) {
    // A row with nothing but its code: no engine values, no history, no bracket.
    addRunner(tran, tables, "00000007", 0, 0, 0);
    addRace(tran, tables, 3,
            {runnerEntry(1, "00000001"), fixture::emptyPlace(), runnerEntry(2, "00000007")});
    const auto d = readHorseDetail(tran, meeting, 3, "00000007");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->bracket, "");
    EXPECT_EQ(d->bracketColour, 0);
    EXPECT_EQ(d->blinker, " ");
    EXPECT_EQ(d->prizeMoney, "0万");
    EXPECT_EQ(d->wetTrack, "雨適正：");
    for (const auto& p : d->pastRaces) EXPECT_FALSE(p.hasRace);

    EXPECT_EQ(runnerCode(tran, meeting, 3, 3), "00000007");
    EXPECT_EQ(runnerCode(tran, meeting, 3, 1), "00000001");
    EXPECT_FALSE(runnerCode(tran, meeting, 3, 2));  // a place without a horse
    EXPECT_FALSE(runnerCode(tran, meeting, 3, 4));  // beyond the field
    EXPECT_FALSE(runnerCode(tran, meeting, 3, 19));
    EXPECT_FALSE(runnerCode(tran, meeting, 4, 1));  // no such race
}

TEST(HorseDetailConstants, HandOverAndPositionNeedTheRecord) {
    TempFolder dir;
    Database mast(dir / "mast.mdb");
    EXPECT_FALSE(storeHandedHorse(mast, "00012345"));
    EXPECT_FALSE(storeHorseWindowPosition(mast, 1440, 720));
    createConstantsTable(mast);

    EXPECT_TRUE(storeHandedHorse(mast, "00012345"));
    EXPECT_TRUE(storeHorseWindowPosition(mast, 1440, 720.5));
    auto row = readConstants(mast);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->userWork6, 12345);
    EXPECT_EQ(row->pos1Left, 1440);
    EXPECT_EQ(row->pos1Top, 720.5);
    EXPECT_EQ(row->userName, "User");  // the rest of the record stays

    // A code with a letter keeps its leading digits, as the number column can hold them.
    EXPECT_TRUE(storeHandedHorse(mast, "9812A456"));
    EXPECT_EQ(readConstants(mast)->userWork6, 9812);

    mast.exec("DELETE FROM \"定数\"");
    EXPECT_FALSE(storeHorseWindowPosition(mast, 0, 0));
    EXPECT_FALSE(readConstants(mast));
}

}  // namespace
}  // namespace zelvanor
