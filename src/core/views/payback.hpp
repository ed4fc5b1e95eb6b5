#pragma once

// One meeting's payouts beside the three personas' picks: the results and the picks are read
// once into the texts the payback window shows, and the hit marks and the totals are worked out
// from those texts alone, so that changing how the user bets never reads the database again.
// Shared by the payback window and the command line.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "core/tables/racing.hpp"
#include "core/views/meetings.hpp"
#include "core/views/persona_ranking.hpp"

namespace zelvanor {

class Database;

inline constexpr int kPaybackRaces = kRacesPerMeeting;
// The results grid's data columns: １着 … ３着, １着単勝, １着複勝 … ３着複勝, 枠連番, 枠払戻,
// 馬連番, 馬払戻.
inline constexpr int kPaybackResultColumns = 11;
// Per persona: the first pick's horse number, then the six tickets.
inline constexpr int kPaybackPickColumns = 7;
inline constexpr int kPaybackTickets = 6;

// Positions in PaybackRace::results (the results grid's column minus one).
enum PaybackResultColumn {
    kPlace1 = 0,
    kPlace2,
    kPlace3,
    kWinPayout,
    kPlacePayout1,
    kPlacePayout2,
    kPlacePayout3,
    kBracketPair,
    kBracketPayout,
    kQuinellaPair,
    kQuinellaPayout,
};

// What one race row of the grids shows.
struct PaybackRace {
    bool stored = false;  // the meeting holds the race; otherwise every cell is ""
    std::array<std::string, kPaybackResultColumns> results;
    std::array<std::array<std::string, kPaybackPickColumns>, kPersonaCount> picks;
};

// What the window reads from the database, once.
struct PaybackSheet {
    Meeting meeting;
    std::string heading;                              // from race 1; "" without it
    std::array<std::string, kPersonaCount> personas;  // " 翠嶺", " 碧渦", " " + user
    std::array<PaybackRace, kPaybackRaces> races;     // race r at r - 1
};

// The results grid's race labels, "　１Ｒ" … "１２Ｒ", and its column headings (columns 1 to 11).
std::string paybackRaceLabel(int raceNumber);
extern const std::array<std::string_view, kPaybackResultColumns> kPaybackResultHeadings;
// The totals grid's row labels: 単的中, 単回収, 連的中, 連回収.
extern const std::array<std::string_view, 4> kPaybackTotalLabels;

// "98 年 東京 5 回 8 日目  11 月 29 日 （日曜日）".
std::string paybackHeading(std::string_view year, std::string_view basho, std::string_view kaiji,
                           std::string_view hiji, std::string_view month, std::string_view day,
                           std::string_view youbi);

// The meeting's races 1 to 12 as the grids show them, or nothing when its race table or its
// entries table is not stored. userName names the third persona ("User" when empty).
std::optional<PaybackSheet> readPayback(Database& tran, const Meeting& meeting,
                                        std::string_view userName);

// What to say when readPayback finds no meeting: "東京 98/10/03 の出馬表データがありません。".
std::string paybackMissingText(const Meeting& meeting);

// The six tickets of one ranking as the picks grid shows them: pairLabel texts of horse numbers,
// " " for a ticket the field does not form (the 4th to 6th need more than 5, 6 and 7 runners,
// and none reaches beyond the field however small it is).
std::array<std::string, kPaybackTickets> paybackTickets(std::span<const RankedPlace> ranking);

// How the totals bet.
enum class PaybackStakes { Equal, Weighted };  // 均等買い, 指数比例買い
enum class PaybackRange { All, Afternoon, Main };  // 全レース対象, 午後のレース, 特別＆メイン
enum class PaybackMarks { Win, Pair };  // 的中表示: 単勝, 連勝

struct PaybackOptions {
    PaybackStakes stakes = PaybackStakes::Equal;
    int tickets = 6;  // 1, 3 or 6
    PaybackRange range = PaybackRange::All;
    PaybackMarks marks = PaybackMarks::Pair;
};

// The first and last race the totals count.
std::pair<int, int> paybackRaceRange(PaybackRange range);
// How many 100-yen units the ticket at position k (1 … tickets) is bought with.
int paybackWeight(PaybackStakes stakes, int tickets, int k);
// The yen a race is bought for: 100 per unit of every ticket bought.
int paybackStake(PaybackStakes stakes, int tickets);

// The mark columns of races 1 to 12, per persona: " ", "的中" (単勝: the first pick won), or
// "的中" + k (連勝: ticket k of the first `tickets` is the quinella pair, or the bracket pair
// when the quinella cell names no horses, as " - " of a small field; a later ticket overwrites
// an earlier one). Every race is marked whatever the race range.
using PaybackMarkCells = std::array<std::array<std::string, kPersonaCount>, kPaybackRaces>;
PaybackMarkCells paybackMarks(const PaybackSheet& sheet, const PaybackOptions& options);

// The totals grid's data cells: rows 単的中, 単回収, 連的中, 連回収, a column per persona, each
// "###0%", or " " when no race of the range has a result. Worked out from the shown texts: a
// payout is read back from its cell, a hit on an empty payout cell returns nothing, and a race
// whose quinella payout is empty or 0 is judged on the bracket pair and its payout.
using PaybackTotalCells = std::array<std::array<std::string, kPersonaCount>, 4>;
PaybackTotalCells paybackTotals(const PaybackSheet& sheet, const PaybackOptions& options);

}  // namespace zelvanor
