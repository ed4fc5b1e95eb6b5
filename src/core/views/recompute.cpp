#include "core/views/recompute.hpp"

#include <algorithm>

#include "core/predict/predict_race.hpp"
#include "core/store/store.hpp"

namespace zelvanor {

int recomputeMeetings(const AppPaths& paths, const std::vector<Meeting>& meetings,
                      const ProgressFn& progress) {
    Database mast(paths.mastPath());
    Database tran(paths.tranPath());
    Transaction tx(tran);
    RacePredictor predictor(mast, tran);
    int computed = 0;
    report(progress, 0);
    for (std::size_t i = 0; i < meetings.size(); ++i) {
        const Meeting& m = meetings[i];
        if (tran.hasTable(m.raceTable) && tran.hasTable(m.entriesTable)) {
            for (int race = 1; race <= 12; ++race) {
                if (predictor.predictRace(m.raceTable, m.entriesTable, race)) ++computed;
            }
        }
        report(progress, static_cast<int>(100 * (i + 1) / meetings.size()));
    }
    tx.commit();
    return computed;
}

std::vector<Meeting> meetingsOfCourses(const AppPaths& paths,
                                       const std::vector<std::string>& courses) {
    Database tran(paths.tranPath());
    // The lists stand in course order and each in date order, so joining them gives ascending
    // table name order.
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
