#include "core/views/meeting_entries.hpp"

#include <algorithm>

#include "core/records/runner_entry.hpp"
#include "core/store/store.hpp"
#include "core/tables/entry_row.hpp"
#include "core/tables/race_row.hpp"

namespace zelvanor {

void MeetingEntries::read(Database& tran, std::string_view entriesTable) {
    rows_.clear();
    EntryRows rows(tran, entriesTable, kEntryPlacePart | kEntryAbilityPart);
    for (EntryRow row; rows.next(row);) {
        FieldRunner r;
        r.horseNumber = static_cast<std::int16_t>(row.wakuUmaNo.value_or(0));
        r.bracketNumber = static_cast<std::int16_t>(row.wakuNo.value_or(0));
        // Single columns: the values as stored, NULL reading 0.
        const auto single = [](double v) { return static_cast<float>(v); };
        r.values = {single(row.nouryoku1),    single(row.nouryoku2),    single(row.nouryoku3),
                    single(row.omoNouryoku1), single(row.omoNouryoku2), single(row.omoNouryoku3)};
        rows_.emplace_back(row.umacode, r);
    }
    // Stable, so that of two rows of one horse the first read is the one found.
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

const FieldRunner* MeetingEntries::find(std::string_view umacode) const {
    const auto it =
        std::lower_bound(rows_.begin(), rows_.end(), umacode,
                         [](const auto& row, std::string_view code) { return row.first < code; });
    return it != rows_.end() && it->first == umacode ? &it->second : nullptr;
}

RaceUmacodes raceUmacodes(const RaceRows& races) {
    RaceUmacodes codes;
    for (std::size_t k = 0; k < codes.size(); ++k) {
        const RunnerEntry entry = readRunnerEntry(races.entry(static_cast<int>(k) + 1));
        if (entry.hasHorse) codes[k] = entry.umacode;
    }
    return codes;
}

RaceUmacodes raceUmacodes(const RaceRow& race) {
    RaceUmacodes codes;
    for (std::size_t k = 0; k < codes.size(); ++k) {
        const RunnerEntry entry = readRunnerEntry(race.entries[k]);
        if (entry.hasHorse) codes[k] = entry.umacode;
    }
    return codes;
}

std::size_t fieldPlaces(std::int64_t tousuu) {
    return static_cast<std::size_t>(std::clamp<std::int64_t>(tousuu, 0, kRunnerSlots));
}

void findRunners(const RaceUmacodes& umacodes, const MeetingEntries& entries,
                 std::vector<FieldRunner>& found) {
    found.clear();
    for (const std::string& code : umacodes) {
        if (code.empty()) continue;
        if (const FieldRunner* runner = entries.find(code)) found.push_back(*runner);
    }
}

void rankField(std::span<const FieldRunner> found, std::int64_t tousuu, Persona persona,
               bool goodGoing, std::vector<RankedPlace>& ranking) {
    const std::size_t places = fieldPlaces(tousuu);
    const std::size_t filled = std::min(places, found.size());
    ranking.resize(places);
    for (std::size_t k = 0; k < places; ++k) {
        const int place = static_cast<int>(k);
        if (k < filled) {
            const FieldRunner& r = found[k];
            ranking[k] = {r.horseNumber, r.bracketNumber,
                          personaValue(persona, r.values, goodGoing), place};
        } else {
            ranking[k] = {0, 0, 0.0, place};
        }
    }
    rankPlaces(ranking);
}

}  // namespace zelvanor
