#include "core/views/race_forecast.hpp"

#include <algorithm>
#include <cmath>

#include "core/records/format.hpp"

namespace zelvanor {

namespace {

constexpr std::string_view kIndexPattern = "##0.0";

}  // namespace

std::string personaHeadingTip(Persona persona, std::string_view userName) {
    switch (persona) {
        case Persona::Suirei:
            return "本誌の翠嶺君は、本命党です。";
        case Persona::Hekika:
            return "碧渦です。能力値を重視していますので、経験の浅い馬たちが出走すると苦手です。";
        case Persona::User:
            break;
    }
    return "本誌代表の " + personaName(persona, userName) +
           " です。的中率はよくないですが、たまに万馬券を的中します。回収率Ｎｏ１！（？）";
}

double displayedPersonaValue(Persona persona, const AbilityValues& values, bool goodGoing) {
    const float stored = personaValue(persona, values, goodGoing);
    // A value that is no number cannot be shown; the card shows it as no index at all.
    if (!std::isfinite(stored)) return 0.0;
    const double shown = formattedValue(stored, kIndexPattern);
    return persona == Persona::User ? static_cast<double>(static_cast<float>(shown)) : shown;
}

std::vector<RankedPlace> rankRunners(std::span<const PersonaRunner> runners, Persona persona,
                                     bool goodGoing) {
    std::vector<RankedPlace> ranking;
    ranking.reserve(runners.size());
    for (std::size_t k = 0; k < runners.size(); ++k) {
        const PersonaRunner& r = runners[k];
        ranking.push_back({r.horseNumber, r.bracketNumber,
                           displayedPersonaValue(persona, r.ability, goodGoing),
                           static_cast<int>(k)});
    }
    rankPlaces(ranking);
    return ranking;
}

std::string paceLabel(std::span<const PersonaRunner> runners) {
    double sum = 0.0;
    int count = 0;
    for (const PersonaRunner& r : runners) {
        sum += r.shisuu3kaku;
        if (r.shisuu3kaku != 0) ++count;
    }
    if (count == 0) return "";
    const double average = sum / count;
    if (average < 4) return "ペースＨ";
    if (average <= 7) return "ペースＭ";
    return "ペースＳ";
}

std::string verdictLabel(std::span<const RankedPlace> suireiRanking) {
    const auto v = [&](std::size_t k) { return rankedValue(suireiRanking, k); };
    const std::size_t n = suireiRanking.size();
    if (v(0) - v(1) > 7) return "軸堅い";
    if (v(1) - v(2) > 3) return "連軸争い";
    if (v(2) - v(3) > 3) return "三つ巴";
    if (v(3) - v(4) > 3) return "人気通り";
    if (n < 6) return "";
    if (v(0) - v(5) > 10) return "人気通り";
    if (v(0) - v(5) > 5) return "混戦模様";
    return "波乱含み";
}

RaceForecast forecastRace(std::span<const PersonaRunner> runners, bool goodGoing,
                          std::string_view userName) {
    RaceForecast forecast;
    const int n = static_cast<int>(runners.size());
    for (Persona persona : kPersonas) {
        PersonaForecast& f = forecast.personas[static_cast<std::size_t>(persona)];
        f.persona = persona;
        f.name = personaName(persona, userName);
        f.caption = personaCaption(persona, userName);
        f.headingTip = personaHeadingTip(persona, userName);
        f.ranking = rankRunners(runners, persona, goodGoing);

        f.marks.assign(runners.size(), "");
        for (int k = 0; k < n; ++k) {
            const RankedPlace& p = f.ranking[static_cast<std::size_t>(k)];
            f.marks[static_cast<std::size_t>(p.place)] = markFor(k, n, p.value);
        }

        f.picks = ticketLabels(f.ranking, TicketGuard::RaceCard);

        const std::size_t shown = std::min<std::size_t>(f.ranking.size(), f.top.size());
        for (std::size_t k = 0; k < shown; ++k) {
            const RankedPlace& p = f.ranking[k];
            if (p.value == 0.0) continue;
            f.top[k] = {std::to_string(p.horseNumber), formatNumber(p.value, kIndexPattern)};
        }
    }
    forecast.pace = paceLabel(runners);
    forecast.verdict = verdictLabel(forecast.personas[0].ranking);
    return forecast;
}

}  // namespace zelvanor
