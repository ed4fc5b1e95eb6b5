#pragma once

// One race of a meeting as the race card shows it: the header texts, the runner lines and the
// personas' forecast. Shared by the race card window and the command-line program.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/views/meetings.hpp"
#include "core/views/race_forecast.hpp"

namespace zelvanor {

class Database;

struct RaceRow {
    std::string basho, year, kaiji, hiji, month, day, youbi, htime, hondai;
    std::string jouken1, jouken3, jouken41, jouken42, jouken43, jouken44;
    std::string kyori, track, grade, tousuu;
    int bango = 0;
    int ryoOmo = 1;
};

// " 4 回 1 日目   98 年 10 月 3 日 （土曜日）" without the leading blank: the meeting's day line.
std::string dayLine(const RaceRow& race);
// "  11Ｒ  " + name + line break + … : the race title; `fullName` keeps the whole race name,
// otherwise its first 17 characters (the title panel's width).
std::string raceTitle(const RaceRow& race, bool fullName);
// "15:25".
std::string postTime(const RaceRow& race);
// "1600m芝・右 ".
std::string distanceAndTrack(const RaceRow& race);

struct RunnerLine {
    int bracket = 0;
    int number = 0;
    std::string umacode;
    std::string name;    // the first 10 characters of the horse name, without trailing blanks
    std::string weight;  // "55.0"
    std::string sex;
    int age = 0;
    std::string jockey, trainer, apprentice, style;
    int shisuu3kaku = 0;
    // The three displayed ability values of the race's going: 翠嶺's (the "指数" column), 碧渦's
    // ("Ｓ指数") and the user persona's ("穴指数"), formatted "##0.0".
    std::string index, sIndex, anaIndex;
    std::array<std::string, kPersonaCount> marks;  // in display order
    bool hasEntry = false;                         // false when the horse has no entries row
};

struct RaceCard {
    Meeting meeting;
    RaceRow race;
    bool goodGoing = true;
    std::vector<RunnerLine> runners;
    RaceForecast forecast;
    // Results as stored: the first three horse numbers, the pairs and the payouts.
    std::array<int, 3> placed{};
    std::string bracketPair, quinellaPair;
    std::array<std::int64_t, 6> payouts{};  // win, place ×3, bracket quinella, quinella
};

// The race numbers the meeting holds, ascending.
std::vector<int> storedRaces(Database& tran, const Meeting& meeting);

// The race, or nothing when the meeting holds no race of that number.
std::optional<RaceCard> readRaceCard(Database& tran, const Meeting& meeting, int raceNumber,
                                     std::string_view userName);

}  // namespace zelvanor
