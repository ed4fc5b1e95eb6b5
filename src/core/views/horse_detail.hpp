#pragma once

// One runner of a race as the horse detail window shows it: identity, pedigree, connections,
// money, three summary figures and a panel for each of its five latest races, every text as
// displayed. Shared by the window and the command-line program, so that the two cannot disagree.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/views/meetings.hpp"

namespace zelvanor {

class Database;

inline constexpr int kPastRacePanels = 5;
inline constexpr int kPastRaceLines = 6;

// One of the five latest races, from inf1 … inf5 of the horse's entries row.
struct PastRacePanel {
    std::string caption;  // "前走（" + SpBase1 as stored + "）", "前々走（" …
    // False when the history entry holds no race (its month reads 0): every line is empty.
    bool hasRace = false;
    // Date and class; name, place, time and margin; distance, weight and jockey; field, bracket,
    // number, popularity and last three furlongs; the corners; the other placed horse.
    std::array<std::string, kPastRaceLines> lines;
    // The going of that race as the colour of line 2, "#RRGGBB" (good #0000FF, slightly heavy
    // #FFFFFF, heavy #FFFF00, bad #FF0000); empty for the normal text colour.
    std::string goingColour;
};

struct HorseDetail {
    std::string umacode;
    std::string bracket;                 // WakuNo, as a number ("" when not stored)
    int bracketColour = 0;               // 1 … 8 gives that bracket's colours; 0 the normal ones
    std::string number;                  // WakuUmaNo ("" when not stored)
    std::string blinker;                 // "B" with blinkers, else " "
    std::string name;                    // first 10 characters of bamei
    std::string sire, dam, damSire;      // "父：…", "母：…", "母父：…"
    std::string sex;                     // seibetsuLabel
    std::string age;                     // " 4"; "" when the birth year is not stored
    std::string coat;                    // moushokuLabel
    std::string style;                   // "脚質：" + Tokusei3kaku
    std::string distanceType;            // "Type：" + tokuseiKyoriLabel
    std::string wetTrack;                // "雨適正：◎", "雨適正：○" or "雨適正："
    std::string jockey, trainer, owner;  // "騎　手：…", "調教師：…", "馬　主：…"
    std::string prizeMoney, addedMoney, earnedMoney;  // "1,235万"
    std::string topTwoRate;                           // "38%"
    std::string ability;                              // "72P"
    std::string growth;                               // "1.5%"
    std::array<PastRacePanel, kPastRacePanels> pastRaces;
};

// The headings of the money and figure boxes and the six panel lines, as the window labels them.
inline constexpr std::array<std::string_view, 3> kMoneyHeadings = {"本賞金", "付加賞金",
                                                                   "収得賞金"};
inline constexpr std::array<std::string_view, 3> kFigureHeadings = {"連帯", "能力", "成長"};
inline constexpr std::array<std::string_view, kPastRaceLines> kPastRaceLineHeadings = {
    "開催場所日付グレード", "ﾚｰｽ名着順ﾀｲﾑﾀｲﾑ差", "距離芝ﾀﾞｰﾄ重量騎手",
    "頭数枠人気上がりﾀｲﾑ",  "各ｺｰﾅｰ順位",        "勝ち馬"};

// The wet-track grade from the top-two rates on heavy going, turf and dirt.
std::string wetTrackGrade(std::int64_t turfHeavy, std::int64_t dirtHeavy);

// Panel `k` (1 … 5) of a history entry (a 107-character inf text) with its speed figure as stored.
PastRacePanel pastRacePanel(int k, std::string_view inf, double speedFigure);

// The horse of code `umacode` (the 8-character text, matched as text so that leading zeros and
// letters count) in the meeting's entries table, seen in race `raceNumber` of the meeting: that
// race gives the year for the age and the runner entry for the blinker mark. Nothing when the
// meeting, the race or the horse is not stored.
std::optional<HorseDetail> readHorseDetail(Database& tran, const Meeting& meeting, int raceNumber,
                                           std::string_view umacode);

// The horse code in runner entry uma<number> of the race; nothing when the race is not stored or
// the place holds no horse.
std::optional<std::string> runnerCode(Database& tran, const Meeting& meeting, int raceNumber,
                                      int number);

// The horse handed to the detail window, kept in UserWork6 of the constants record as the
// numeric value of its code; false, changing nothing, when the record is missing.
bool storeHandedHorse(Database& mast, std::string_view umacode);

// The detail window's left and top edge in twips, kept in Pos1Left and Pos1Top of the constants
// record in one transaction; false, changing nothing, when the record is missing.
bool storeHorseWindowPosition(Database& mast, double left, double top);

}  // namespace zelvanor
