#pragma once

// The verification run: how the three personas' picks would have fared, bought over every stored
// meeting of the chosen courses and every race of the chosen kind that has results. Counts the
// meetings and races, and per persona and bet type the hits and the money returned, and gives the
// two rate tables as the window shows them. Shared by the window and the command line.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/tables/racing.hpp"
#include "core/views/meeting_entries.hpp"
#include "core/views/persona_ranking.hpp"

namespace zelvanor {

class Database;

inline constexpr std::string_view kVerifyNoRaceText =
    "該当する開催のレースがありませんでした。条件を設定し直してください。";

inline constexpr int kVerifyCourses = kCourseCount;
inline constexpr int kVerifyRaceNumbers = kRacesPerMeeting;

// The race conditions, by the index of their option button.
inline constexpr std::array<std::string_view, 10> kRaceSelectionCaptions = {
    "午前のレース",
    "午後のレース",
    "特別３レース＆メイン（＊注）",
    "全レース",
    "全レース（新馬・未出走・未勝利・障害を除く）",
    "レース番号で選ぶ",
    "５００万クラス",
    "９００万クラス",
    "オープンクラス（重賞含む）",
    "重賞（ＧⅠ・ＧⅡ・ＧⅢ）",
};
inline constexpr int kAllRacesSelection = 3;
// The one condition that takes the ticked race numbers.
inline constexpr int kRaceNumberSelection = 5;

// The bet types, in the tables' column order.
enum class BetType { Win = 0, Place = 1, BracketQuinella = 2, Quinella = 3 };
inline constexpr int kBetTypes = 4;
// The tables' column headings, each with its leading blank.
inline constexpr std::array<std::string_view, kBetTypes> kBetTypeHeadings = {" 単勝", " 複勝",
                                                                             " 枠連", " 馬連"};
// What one race stakes on a bet type: one 100-yen ticket on win and place, six on the pairs,
// whatever number of tickets the field forms.
inline constexpr std::array<int, kBetTypes> kStakes = {100, 100, 600, 600};

struct VerificationConditions {
    std::array<bool, kVerifyCourses> courses = {true, true, true, true, true,
                                                true, true, true, true, true};
    int selection = kAllRacesSelection;  // 0 … 9, the index of kRaceSelectionCaptions
    std::array<bool, kVerifyRaceNumbers> raceNumbers{};  // races 1 … 12, for kRaceNumberSelection
};

// The columns of a race row the run reads, numbers taken as numbers.
struct VerifiedRace {
    int raceNumber = 0;
    std::string jouken41, jouken42, track, grade;
    std::int64_t runnerCount = 0;                // tousuu
    bool goodGoing = true;                       // RyoOmo is 1
    std::array<std::int64_t, 3> placed{};        // Kekka1No … Kekka3No
    std::int64_t winPayout = 0;                  // Kekka1TanAm
    std::array<std::int64_t, 3> placePayouts{};  // Kekka1FukAm … Kekka3FukAm
    std::string bracketPair;                     // KekkaWakNo, "2 - 3"
    std::int64_t bracketPayout = 0;              // KekkaWakAm
    std::string quinellaPair;                    // KekkaUmaNo
    std::int64_t quinellaPayout = 0;             // KekkaUmaAm
};

// Whether the race passes the condition. Texts compare as stored: jouken41 and jouken42 against
// "701" to "703", "005", "009" and "999", track against "50" as text, grade against "A" to "C".
bool raceSelected(const VerificationConditions& conditions, const VerifiedRace& race);

// A runner of a race whose horse has an entries row.
using VerifiedRunner = FieldRunner;

// Hits and yen returned, per persona (display order) and bet type.
struct VerificationTotals {
    int meetings = 0;
    int races = 0;
    std::array<std::array<std::int64_t, kBetTypes>, kPersonaCount> hits{};
    std::array<std::array<std::int64_t, kBetTypes>, kPersonaCount> returns{};
};

// Adds one race with results to the totals: its found runners, in the order of their entries,
// fill the race's tousuu places, at most 18 (places left over stay blank and never hit; runners
// beyond the places are left out), each persona ranks its copy (rankField) and buys its picks.
void verifyRace(const VerifiedRace& race, std::span<const VerifiedRunner> runners,
                VerificationTotals& totals);

// What the window and the command line show.
struct Verification {
    VerificationTotals totals;
    // The row headings " 翠嶺", " 碧渦", " " + the user's name.
    std::array<std::string, kPersonaCount> personas;
    // "##0%" texts of hits / races and of returns / (stake × races); all "" when no race counted.
    std::array<std::array<std::string, kBetTypes>, kPersonaCount> hitRates;
    std::array<std::array<std::string, kBetTypes>, kPersonaCount> returnRates;
};

// " 翠嶺", " 碧渦", " " + userName ("User" when empty).
std::array<std::string, kPersonaCount> verificationHeadings(std::string_view userName);

// The rate texts of the totals, with the headings of userName.
Verification verificationOf(const VerificationTotals& totals, std::string_view userName);

// "##0%": the ratio times 100, rounded to a whole number with halves away from zero, and "%".
std::string rateText(double ratio);

// Called before each meeting is read with the meetings done and the meetings in all.
using VerifyProgressFn = std::function<void(int done, int total)>;

// The run over tran.mdb: the stored meetings of the ticked courses in the order of their race
// tables' names (course, then date), races 1 to 12 of each, every selected race whose KekkaWakAm
// is above 0. A meeting without an entries table finds no runner. Reads each meeting's race rows
// in one query and its entries rows in another, and only when one of its races counts.
Verification runVerification(Database& tran, std::string_view userName,
                             const VerificationConditions& conditions,
                             const VerifyProgressFn& progress = {});

}  // namespace zelvanor
