#pragma once

// The jockey and trainer of a runner as the race card shows them, from their rows in the jockey
// and trainer masters; and the rates the speed figures take from those masters.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/predict/speed_figure.hpp"
#include "core/tables/people_tables.hpp"

namespace zelvanor {

// The connection of the day as written into the runner's row.
struct DayConnection {
    std::string name;           // NameKisi or NameChok
    std::string touzai = " ";   // touzaiKisi or touzaiChok
    std::string minarai = " ";  // MinaraiKisi; unused for trainers
    double sougouRen = 0;       // KSougouRen or CSougouRen
    // KCoseRen or CCoseRen; nothing when the course is none of "01" … "10", so that the row keeps
    // what it held.
    std::optional<double> courseRate = 0.0;
};

// 1 … 10 for the course codes "01" … "10"; nothing for any other text.
std::optional<int> courseNumber(std::string_view course);

// Characters 1 to 3 of the name followed by character 9: the start of the family name and the
// first character of the given name.
std::string shortPersonName(std::string_view kanji);

// "東" for TOUZAI "1", "西" for "2", "招" for anything else.
std::string affiliationMark(std::string_view touzai);

// Today's jockey or trainer from the code of the runner entry and the master's row (null when the
// master does not hold the code: the name is then the code and the rates 0).
DayConnection dayConnection(std::string_view code, const MasterPerson* row,
                            std::string_view course);

// The connections of a past race at course number `course` (0 for any number outside 1 … 10):
// the jockey's allowance and rate from their rows, the trainer's rate from theirs (either row
// null when not found).
PastConnections pastConnections(const MasterPerson* jockey, const MasterPerson* trainer,
                                std::int64_t course);

}  // namespace zelvanor
