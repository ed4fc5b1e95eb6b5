#pragma once

// What the race card shows of the three personas for one race: each persona's ranking, marks,
// top six and six picks, the pace forecast and the verdict. Everything is derived from the
// runners' stored values at display time; nothing here is stored.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/views/persona_ranking.hpp"

namespace zelvanor {

// One runner of the race card, in horse-number order: place k of the field is horse k + 1.
struct PersonaRunner {
    std::int16_t horseNumber = 0;
    std::int16_t bracketNumber = 0;
    AbilityValues ability;
    std::int16_t shisuu3kaku = 0;  // running-style index, the grid's 3角 column
};

// A line of a persona's top list: horse number and value as shown, both "" when unused.
struct TopLine {
    std::string horseNumber;
    std::string value;
};

struct PersonaForecast {
    Persona persona = Persona::Suirei;
    std::string name;     // mark column heading
    std::string caption;  // frame caption
    std::string headingTip;  // the mark column heading's tooltip
    // The whole field, best first, with the values the grid shows (one decimal).
    std::vector<RankedPlace> ranking;
    // The mark of every runner, in the order the runners were given: "◎" "○" "▲" "△" "×" or "".
    std::vector<std::string> marks;
    // The six picks: pair labels such as "1 - 5", "" for a pair with a runner without value,
    // kNoTicket (" ") for a pick the field does not form.
    std::array<std::string, 6> picks;
    // The first six of the ranking that have a value.
    std::array<TopLine, 6> top;
};

struct RaceForecast {
    std::array<PersonaForecast, kPersonaCount> personas;
    std::string pace;     // "ペースＨ", "ペースＭ", "ペースＳ" or ""
    std::string verdict;  // "軸堅い" … "波乱含み" or ""
};

// The tooltip of a persona's mark column heading, the user's name in the third.
std::string personaHeadingTip(Persona persona, std::string_view userName);

// The value a persona ranks a runner by: the ability value as the grid shows it ("##0.0") and
// reads it back. The user's persona keeps it in single precision.
double displayedPersonaValue(Persona persona, const AbilityValues& values, bool goodGoing);

// One persona's ranking of the field (horse-number order in, best first out).
std::vector<RankedPlace> rankRunners(std::span<const PersonaRunner> runners, Persona persona,
                                     bool goodGoing);

// From the running-style indices of the field: the average over the runners whose index is not
// 0 gives "ペースＨ" below 4, "ペースＭ" from 4 to 7 and "ペースＳ" above 7; "" when none has one.
std::string paceLabel(std::span<const PersonaRunner> runners);

// The verdict from 翠嶺's ranking, first matching rule: "軸堅い", "連軸争い", "三つ巴",
// "人気通り", and from six runners "人気通り", "混戦模様" or "波乱含み". Positions beyond the
// field read 0; a field under six that matches none of the first four rules gets "".
std::string verdictLabel(std::span<const RankedPlace> suireiRanking);

// The whole forecast. The field is every runner given; userName names the third persona.
RaceForecast forecastRace(std::span<const PersonaRunner> runners, bool goodGoing,
                          std::string_view userName);

}  // namespace zelvanor
