#pragma once

// A field for the result entry: horse 3 runs in bracket 2 and horse 5 in bracket 3; 翠嶺 and
// 碧渦 rank horse 5 first and horse 3 second (a first pick 3 - 5), the user persona horse 1, 2,
// 3 … in that order (no pick 3 - 5).

#include <string>
#include <vector>

#include "race_card_fixture.hpp"

namespace zelvanor::fixture {

// Race `race` of the meeting with `runners` runners (at most 10).
inline void addResultField(Database& tran, const MeetingTables& m, int race, int runners) {
    constexpr int kBrackets[] = {1, 2, 2, 3, 3, 4, 5, 6, 7, 8};
    std::vector<std::string> entries;
    for (int k = 1; k <= runners; ++k) {
        const std::string code =
            "98" + std::to_string(race) + "000" + (k < 10 ? "0" : "") + std::to_string(k);
        const double top = k == 5 ? 90 : k == 3 ? 85 : 60 - k;
        addRunner(tran, m, code, top, top, 80 - k);
        entries.push_back(runnerEntry(kBrackets[k - 1], code));
    }
    addRace(tran, m, race, entries);
}

}  // namespace zelvanor::fixture
