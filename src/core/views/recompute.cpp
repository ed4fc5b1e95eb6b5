#include "core/views/recompute.hpp"

#include <algorithm>

#include "core/predict/predict_race.hpp"
#include "core/store/store.hpp"
#include "core/tables/racing.hpp"

namespace zelvanor {

int recomputeMeetings(Database& mast, Database& tran, const std::vector<Meeting>& meetings,
                      const RecomputeStepFn& step) {
    Transaction tx(tran);
    RacePredictor predictor(mast, tran);
    int computed = 0;
    for (std::size_t i = 0; i < meetings.size(); ++i) {
        const Meeting& m = meetings[i];
        // A meeting deleted since it was listed has nothing left to compute.
        const bool stored = tran.hasTable(m.raceTable) && tran.hasTable(m.entriesTable);
        for (int race = 1; race <= kRacesPerMeeting; ++race) {
            if (step) step({i + 1, meetings.size(), race});
            if (stored && predictor.predictRace(m.raceTable, m.entriesTable, race)) ++computed;
        }
    }
    tx.commit();
    return computed;
}

int recomputeMeetings(Database& mast, Database& tran, const std::vector<Meeting>& meetings,
                      const ProgressFn& progress) {
    report(progress, 0);
    const int computed = recomputeMeetings(
        mast, tran, meetings, RecomputeStepFn([&](const RecomputeStep& s) {
            // Each meeting's share is counted once its races are done, that is
            // when the next one starts.
            if (s.race == 1 && s.meeting > 1) {
                report(progress, static_cast<int>(100 * (s.meeting - 1) / s.meetings));
            }
        }));
    if (!meetings.empty()) report(progress, 100);
    return computed;
}

std::vector<Meeting> meetingsOfCourses(Database& tran, const std::vector<std::string>& courses) {
    // The lists stand in course order and each in date order; joined, they keep both.
    std::vector<Meeting> found;
    for (const auto& list : meetingsByCourse(tran)) {
        if (list.empty()) continue;
        if (std::find(courses.begin(), courses.end(), list.front().course) == courses.end())
            continue;
        found.insert(found.end(), list.begin(), list.end());
    }
    return found;
}

}  // namespace zelvanor
