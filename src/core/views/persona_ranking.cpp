#include "core/views/persona_ranking.hpp"

#include <utility>

#include "core/shell/codes.hpp"

namespace zelvanor {

float personaValue(Persona persona, const AbilityValues& values, bool goodGoing) {
    switch (persona) {
        case Persona::Suirei:
            return goodGoing ? values.nouryoku2 : values.omoNouryoku2;
        case Persona::Hekika:
            return goodGoing ? values.nouryoku1 : values.omoNouryoku1;
        case Persona::User:
            return goodGoing ? values.nouryoku3 : values.omoNouryoku3;
    }
    return 0.0f;
}

std::string_view personaColumn(Persona persona, bool goodGoing) {
    switch (persona) {
        case Persona::Suirei:
            return goodGoing ? "Nouryoku2" : "OmoNouryoku2";
        case Persona::Hekika:
            return goodGoing ? "Nouryoku1" : "OmoNouryoku1";
        case Persona::User:
            return goodGoing ? "Nouryoku3" : "OmoNouryoku3";
    }
    return {};
}

std::string personaName(Persona persona, std::string_view userName) {
    switch (persona) {
        case Persona::Suirei:
            return "翠嶺";
        case Persona::Hekika:
            return "碧渦";
        case Persona::User:
            break;
    }
    return userName.empty() ? "User" : std::string(userName);
}

std::string personaCaption(Persona persona, std::string_view userName) {
    switch (persona) {
        case Persona::Suirei:
            return "翠嶺（総合評価）";
        case Persona::Hekika:
            return "碧渦（能力値重視）";
        case Persona::User:
            break;
    }
    return personaName(persona, userName) + "（特性重視）";
}

void rankPlaces(std::span<RankedPlace> places) {
    const std::size_t n = places.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            if (places[i].value < places[j].value) std::swap(places[i], places[j]);
        }
    }
}

double rankedValue(std::span<const RankedPlace> ranking, std::size_t position) {
    return position < ranking.size() ? ranking[position].value : 0.0;
}

bool hasClearFavourite(std::span<const RankedPlace> ranking) {
    return rankedValue(ranking, 0) - rankedValue(ranking, 1) > 7;
}

std::string_view markFor(int position, int fieldSize, double value) {
    if (value == 0.0) return "";
    switch (position) {
        case 0:
            return "◎";
        case 1:
            return "○";
        case 2:
            return "▲";
        case 3:
            return "△";
        case 4:
            return fieldSize >= 8 ? "×" : "";
        case 5:
            return fieldSize >= 12 ? "×" : "";
        default:
            return "";
    }
}

std::array<std::optional<TicketPair>, 6> ticketPairs(bool clearFavourite, int fieldSize,
                                                     TicketGuard guard) {
    static constexpr std::array<TicketPair, 6> kWheel = {
        {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {0, 6}}};
    static constexpr std::array<TicketPair, 6> kBox = {
        {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}}};
    const auto& pairs = clearFavourite ? kWheel : kBox;

    std::array<std::optional<TicketPair>, 6> tickets;
    for (int k = 0; k < 6; ++k) {
        // The least field that forms ticket k; the first three are always formed.
        int needed = 0;
        if (k >= 3) {
            if (guard == TicketGuard::RaceCard) {
                needed = k + 3;
            } else if (clearFavourite) {
                needed = k + 2;
            }
        }
        if (fieldSize >= needed) tickets[k] = pairs[k];
    }
    return tickets;
}

std::array<std::string, 6> ticketLabels(std::span<const RankedPlace> ranking, TicketGuard guard,
                                        TicketNumbers numbers) {
    const auto pairs =
        ticketPairs(hasClearFavourite(ranking), static_cast<int>(ranking.size()), guard);
    std::array<std::string, 6> labels;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        if (!pairs[k]) {
            labels[k] = kNoTicket;
            continue;
        }
        const auto a = static_cast<std::size_t>(pairs[k]->first);
        const auto b = static_cast<std::size_t>(pairs[k]->second);
        // A position beyond the field is a runner without a value: pairLabel leaves it empty.
        if (b >= ranking.size()) {
            labels[k] = "";
            continue;
        }
        const RankedPlace& x = ranking[a];
        const RankedPlace& y = ranking[b];
        const bool byHorse = numbers == TicketNumbers::Horse;
        labels[k] = pairLabel(byHorse ? x.horseNumber : x.bracketNumber,
                              byHorse ? y.horseNumber : y.bracketNumber,
                              static_cast<float>(x.value), static_cast<float>(y.value));
    }
    return labels;
}

}  // namespace zelvanor
