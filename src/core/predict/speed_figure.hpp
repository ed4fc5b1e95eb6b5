#pragma once

// Speed figures: each of a runner's last five races rated by its time against the standard time of
// the course and distance, corrected for weight, apprentice allowance and going and reduced by the
// share credited to jockey and trainer; then the mean figure and the growth rate.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/predict/engine_values.hpp"

namespace zelvanor {

// surface (1 turf, 2 dirt) × 1,000,000 + course × 10,000 + distance.
std::int64_t speedKey(int surface, std::int64_t course, std::int64_t distance);

// Standard time of a key in tenths of a second; 0 for a key outside the table.
int standardTime(std::int64_t key);
// Points per second of a key, single precision; 0 for a key outside the table.
float timeFactor(std::int64_t key);
// Every key of the table in ascending order, for those who must walk it.
std::span<const std::int64_t> speedKeys();

// 1 for track numbers 11-22 (turf), 2 for 23 and 24 (dirt), 0 otherwise.
int surfaceOf(std::int64_t track);

// What the masters say about the connections of one past race.
struct PastConnections {
    double allowance = 0;    // the jockey's apprentice allowance, 0 to 3
    double jockeyRate = 0;   // the jockey's top-two rate at that race's course, percent
    double trainerRate = 0;  // the trainer's top-two rate at that course, percent
};

// The figure of one past race: 70 when the course and distance have no standard time. Times and
// weights are in tenths; `going` is the going code character.
double speedFigure(const PastConnections& connections, std::int64_t time, std::int64_t distance,
                   std::int64_t weight, std::int64_t course, std::int64_t track,
                   std::string_view going);

// The connections of a past race from the jockey's name as the history entry gives it (already
// without half-width blanks at its ends) and the course number; the trainer is today's.
using ConnectionsLookup =
    std::function<PastConnections(std::string_view jockeyName, std::int64_t course)>;

// SpBase1 … SpBase5, SpBase and SpSeichou as stored (one decimal, single precision).
struct SpeedFigures {
    std::array<double, 5> figures{};  // 0 for a race not rated
    double mean = 70;
    double growth = 0;
};

// Rates inf1 … inf5 (an entry is rated when its time, characters 60-63, is not 0 and its
// abnormal-result code, character 59, reads 0). The lookup is asked only for rated entries.
SpeedFigures speedFigures(std::span<const std::string> histories, const ConnectionsLookup& lookup);
SpeedFigures speedFigures(std::span<const CharacterText> histories,
                          const ConnectionsLookup& lookup);

// (mean of the non-zero of the first two / mean of the non-zero of all − 1) × 100, or 0 when
// either mean is missing or 0; formatted as stored.
double growthRate(std::span<const double> stored);

}  // namespace zelvanor
