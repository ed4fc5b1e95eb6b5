#pragma once

// One race of a meeting as the race card shows it: the header texts, the eighteen runner lines
// with every cell and tooltip as displayed, and the personas' forecast. Shared by the race card
// window and the command-line program, so that the two cannot disagree.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/tables/race_row.hpp"
#include "core/tables/racing.hpp"
#include "core/views/meetings.hpp"
#include "core/views/race_forecast.hpp"

namespace zelvanor {

class Database;

// "4 回 1 日目   98 年 10 月 3 日 （土曜日）": the meeting's day line.
std::string dayLine(const RaceRow& race);
// "  11Ｒ  " + name + line break + … : the race title; `fullName` keeps the whole race name,
// otherwise its first 17 characters (the title panel's width).
std::string raceTitle(const RaceRow& race, bool fullName);
// "15:25".
std::string postTime(const RaceRow& race);
// "1600m芝・右 ".
std::string distanceAndTrack(const RaceRow& race);

// The race card has a line for every horse number up to this.
inline constexpr int kRaceCardLines = kPlacesPerRace;

// One line of the runner grid: horse number `number`, from runner entry uma<number>. The texts
// are the cells as shown. A line whose horse has no entries row has only the cells its entry
// gives (bracket, number, weight, sex); a place without a runner has only its number.
struct RunnerLine {
    int number = 0;
    // False for a place without a runner (its entry's bracket is "0", or blank): the row is hidden.
    bool shown = false;
    std::string bracket;    // 枠: the entry's first character
    int bracketColour = 0;  // 1 … 8 when the bracket is one of "1" … "8"; 0 leaves the colours
    std::string umacode;    // from the entry; "" when it holds none
    bool hasEntry = false;  // the horse has a row in the meeting's entries table
    std::string name;       // " " + the first 10 characters of bamei
    std::string nameTip;    // umacode + "  父馬名 : " + keto1 + " 母馬名 : " + keto2
    std::string weight;     // "55.0"
    std::string sex;        // seibetsuLabel of the entry's sex code
    std::string age;        // " 4"
    std::string jockey, jockeyTip, apprentice;      // 騎手, its tooltip, 見
    std::string trainer, trainerTip, trainerPlace;  // 調教師, its tooltip, 場
    std::string classChange, rotation;              // クラス, ﾛｰﾃｰｼｮﾝ
    std::string style;                              // 脚質
    // The three ability values of the race's going, "##0.0": 翠嶺's (指数), 碧渦's (Ｓ指数) and
    // the user persona's (穴指数); indexTip is the 指数 cell's tooltip.
    std::string index, indexTip, sIndex, anaIndex;
    std::string corner;                            // 3角
    std::array<std::string, kPersonaCount> marks;  // in display order
};

struct RaceCard {
    Meeting meeting;
    RaceRow race;
    bool goodGoing = true;
    int runnerCount = 0;           // tousuu, at most 18: the field the personas rank
    std::string going;             // "良" or "重", the track condition button
    std::string title;             // the title panel: race name cut to 17 characters
    std::string fullTitle;         // the race tab's tooltip: the whole race name
    std::string postTime;          // "15:25"
    std::string distanceAndTrack;  // "1600m芝・右 "
    std::array<RunnerLine, kRaceCardLines> lines;
    RaceForecast forecast;
    // Results as stored: the first three horse numbers, the pairs and the payouts.
    std::array<int, 3> placed{};
    std::string bracketPair, quinellaPair;
    std::array<std::int64_t, 6> payouts{};  // win, place ×3, bracket quinella, quinella
};

// The race numbers the meeting holds, ascending.
std::vector<int> storedRaces(Database& tran, const Meeting& meeting);

// A race's tab: " 1R" … " 12R", with the race title (whole name) as its tooltip.
struct RaceTab {
    int raceNumber = 0;
    std::string caption;
    std::string tooltip;
};

// The tabs of a meeting's races 1 to 12 and the day line, read from its first race.
struct MeetingRaces {
    std::string dayLine;
    std::vector<RaceTab> tabs;
};

MeetingRaces meetingRaces(Database& tran, const Meeting& meeting);

// A meeting of the same day as another, with its course's name for the course selector.
struct SameDayCourse {
    Meeting meeting;
    std::string label;  // bashoLabel of the course
};

// The meetings stored for the day of `meeting`, in course-code order (the race tables' names).
std::vector<SameDayCourse> sameDayCourses(Database& tran, const Meeting& meeting);

// The race, or nothing when the meeting holds no race of that number. userName names the third
// persona.
std::optional<RaceCard> readRaceCard(Database& tran, const Meeting& meeting, int raceNumber,
                                     std::string_view userName);

// Stores the going of one race, RyoOmo 1 for good and 2 for heavy, in one transaction. False,
// changing nothing, when the meeting holds no race of that number.
bool storeRaceGoing(Database& tran, const Meeting& meeting, int raceNumber, bool good);

}  // namespace zelvanor
