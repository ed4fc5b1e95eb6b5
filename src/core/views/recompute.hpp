#pragma once

// Recomputing stored meetings with the prediction engine, as the race-day selection does after the
// user changed the weights or imported new jockey or trainer data.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/shell/progress.hpp"
#include "core/views/meetings.hpp"

namespace zelvanor {

class Database;

inline constexpr const char* kRecomputedText =
    "設定されている予想定数の内容で再計算が終了しました。\r"
    "再計算された内容は予想画面又は予想検証画面で確認できます。";

// Where a recomputation stands: race `race` (1 … 12) of meeting `meeting` (1 … meetings) is about
// to be computed.
struct RecomputeStep {
    std::size_t meeting = 0;
    std::size_t meetings = 0;
    int race = 0;
};
using RecomputeStepFn = std::function<void(const RecomputeStep&)>;

// Races 1 to 12 of each meeting, in order, in one transaction: a failure leaves every meeting as
// it was. Numbers a meeting does not hold are passed over (the step is still reported, so that a
// window can count twelve steps per meeting whatever it holds). Returns the number of races
// computed.
int recomputeMeetings(Database& mast, Database& tran, const std::vector<Meeting>& meetings,
                      const RecomputeStepFn& step);

// The same with progress 0 to 100 over the meetings.
int recomputeMeetings(Database& mast, Database& tran, const std::vector<Meeting>& meetings,
                      const ProgressFn& progress);

// The stored meetings of the given courses ("01" … "10"), in course order and each course's in
// date order.
std::vector<Meeting> meetingsOfCourses(Database& tran, const std::vector<std::string>& courses);

}  // namespace zelvanor
