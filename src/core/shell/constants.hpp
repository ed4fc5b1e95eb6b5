#pragma once

// The constants record as the program uses it: the weights as the options dialog shows them, the
// third persona's name and what a name may be.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/tables/constants_table.hpp"

namespace zelvanor {

class Database;

// What each weight is called where the user sets it, in the same order.
inline constexpr std::array<std::string_view, 7> kWeightCaptions = {
    "左右の得意・不得意", "芝・ダートの適正",   "距離の適正",          "良・重の適正",
    "成長率の重み",       "騎手のコース連帯率", "調教師のコース連帯率"};
// The name box takes at most this many characters.
inline constexpr int kUserNameMaxChars = 2;

// Creates 定数 with its default row when the table is missing; leaves an existing one untouched.
void ensureConstantsTable(Database& mast);

// The third persona's name: UserName, or "User" when the row is missing or the name is blank.
std::string personaName(const std::optional<ConstantsRow>& row);

struct OptionsValues {
    std::array<int, 7> sliders{};
    std::string userName;
};

// What the options dialog shows: the stored weights as slider positions 0 to 3 and the name,
// with the defaults when there is no row. Creates 定数 first when it is missing.
OptionsValues loadConstantsIntoOptions(Database& mast);

// Why the text cannot be stored as the third persona's name, or empty when it can: a stored name
// is well-formed UTF-8 without control characters (every reader shows it, and the command line
// prints it as JSON) that fits UserName in code page 932.
std::string storedUserNameProblem(std::string_view name);
// Why the text cannot be taken as a name the user gives: what storedUserNameProblem refuses, and
// more than kUserNameMaxChars characters.
std::string userNameProblem(std::string_view name);

// Stores the seven slider positions and the name in row ID 1, adding the row (and 定数) when it
// is missing, in one transaction. Throws std::invalid_argument, changing nothing, for a position
// outside 0 to 3 or, with storedUserNameProblem's text, for a name that cannot be stored.
void saveConstants(Database& mast, const std::array<int, 7>& sliders, std::string_view userName);

}  // namespace zelvanor
