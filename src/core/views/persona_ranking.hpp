#pragma once

// How the three predictor personas rank the runners of a race and turn a ranking into marks and
// six pair tickets. The race card, the verification run and the payback window all rank and pick
// this way; they differ only in which values they feed in and in the guards of the tickets.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zelvanor {

// The personas in display order: 翠嶺 (overall evaluation), 碧渦 (ability values) and the
// user's persona (aptitude).
enum class Persona { Suirei = 0, Hekika = 1, User = 2 };
inline constexpr int kPersonaCount = 3;
inline constexpr std::array<Persona, kPersonaCount> kPersonas = {Persona::Suirei, Persona::Hekika,
                                                                 Persona::User};

// A runner's six ability values as the engine stores them (single precision).
struct AbilityValues {
    float nouryoku1 = 0.0f;
    float nouryoku2 = 0.0f;
    float nouryoku3 = 0.0f;
    float omoNouryoku1 = 0.0f;
    float omoNouryoku2 = 0.0f;
    float omoNouryoku3 = 0.0f;
};

// The value the persona ranks by: 翠嶺 Nouryoku2, 碧渦 Nouryoku1, the user Nouryoku3, or their
// Omo… counterparts when the going is not good (a race's going is good when RyoOmo is 1).
float personaValue(Persona persona, const AbilityValues& values, bool goodGoing);

// The entries-table column of personaValue, for readers that select it directly.
std::string_view personaColumn(Persona persona, bool goodGoing);

// "翠嶺", "碧渦", or the user's name ("User" when it is empty).
std::string personaName(Persona persona, std::string_view userName);

// The race card's frame caption: "翠嶺（総合評価）", "碧渦（能力値重視）", name + "（特性重視）".
std::string personaCaption(Persona persona, std::string_view userName);

// One place of a ranking.
struct RankedPlace {
    std::int16_t horseNumber = 0;
    std::int16_t bracketNumber = 0;
    double value = 0.0;
    int place = 0;  // the place in the list before sorting, so results can be written back
};

// Sorts largest value first by exchange: for i < j, places i and j swap only when the value at i
// is less than the value at j. Equal values are never swapped directly, so ties end up in the
// order this exact procedure leaves (5, 5, 7 ranks as 7, the second 5, the first 5); callers
// rely on that order, so this must not become a stable or any other sort.
void rankPlaces(std::span<RankedPlace> places);

// The value at a ranked position; positions beyond the field read 0, which keeps small fields
// from reading past their end in the pick and verdict rules.
double rankedValue(std::span<const RankedPlace> ranking, std::size_t position);

// A favourite is clear when it leads the second by more than 7.
bool hasClearFavourite(std::span<const RankedPlace> ranking);

// The mark of ranked position `position` in a field of `fieldSize`: "◎", "○", "▲", "△", then
// "×" for the fifth from 8 runners and the sixth from 12; "" for a value of 0 and below that.
std::string_view markFor(int position, int fieldSize, double value);

// Which tickets a field forms beyond the first three.
enum class TicketGuard {
    // Race card and payback: the 4th, 5th and 6th tickets need 6, 7 and 8 runners.
    RaceCard,
    // Verification: the wheel's 4th, 5th and 6th tickets need 5, 6 and 7 runners; the box is
    // formed whatever the field.
    Verification,
};

// A ticket as two ranked positions.
struct TicketPair {
    int first = 0;
    int second = 0;
    bool operator==(const TicketPair&) const = default;
};

// The six tickets: with a clear favourite the wheel (0,1) (0,2) (0,3) (0,4) (0,5) (0,6), else the
// box of the first four (0,1) (0,2) (0,3) (1,2) (1,3) (2,3). A ticket the guard does not form is
// nullopt.
std::array<std::optional<TicketPair>, 6> ticketPairs(bool clearFavourite, int fieldSize,
                                                     TicketGuard guard);

// What a ticket shows when it is not formed.
inline constexpr std::string_view kNoTicket = " ";

enum class TicketNumbers { Horse, Bracket };

// The six tickets of a ranking as pairLabel texts of horse (or bracket) numbers, "" when either
// runner's value is 0 or its position lies beyond the field; kNoTicket for tickets not formed.
// The field size is the ranking's size.
std::array<std::string, 6> ticketLabels(std::span<const RankedPlace> ranking, TicketGuard guard,
                                        TicketNumbers numbers = TicketNumbers::Horse);

}  // namespace zelvanor
