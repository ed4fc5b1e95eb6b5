#pragma once

// The constants record: row ID 1 of 定数 in mast.mdb, holding the seven prediction weights, the
// third persona's name and a few window values that persist between runs.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/shell/app_paths.hpp"

namespace zelvanor {

class Database;

inline constexpr std::string_view kConstantsTable = "定数";

// The weight columns in slider order 0 to 6, named as every reader and writer addresses them.
inline constexpr std::array<std::string_view, 7> kWeightColumns = {
    "umamigihidari", "umaShibadart", "umaKyori", "umaRyoOmo", "umaSeichou", "KisiRen", "ChokRen"};
inline constexpr std::array<int, 7> kDefaultWeights = {2, 2, 2, 2, 1, 1, 1};
// What each weight is called where the user sets it, in the same order.
inline constexpr std::array<std::string_view, 7> kWeightCaptions = {
    "左右の得意・不得意", "芝・ダートの適正",   "距離の適正",          "良・重の適正",
    "成長率の重み",       "騎手のコース連帯率", "調教師のコース連帯率"};
inline constexpr std::string_view kDefaultUserName = "User";
// The name box takes at most this many characters.
inline constexpr int kUserNameMaxChars = 2;
// UserName holds this many bytes of code page 932: two full-width or four half-width characters
// (the default "User" among them).
inline constexpr std::size_t kUserNameColumnBytes = 4;

struct ConstantsRow {
    std::array<double, 7> weights{};
    std::string userName;
    std::int64_t userWork6 = 0;  // horse code handed from the race card to the horse window
    double pos1Left = 0;
    double pos1Top = 0;
};

// Creates 定数 with its unique index ID and the default row, in one transaction.
void createConstantsTable(Database& mast);

// Creates 定数 with its default row when the table is missing; leaves an existing one untouched.
void ensureConstantsTable(Database& mast);

// Row ID 1, or nothing when the table or the row is missing.
std::optional<ConstantsRow> readConstants(Database& mast);

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
