#pragma once

// The constants table 定数 in mast.mdb: its definition and row ID 1, which holds the seven
// prediction weights, the third persona's name and a few window values kept between runs.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelvanor {

class Database;

inline constexpr std::string_view kConstantsTable = "定数";

// The weight columns in slider order 0 to 6, named as every reader and writer addresses them.
inline constexpr std::array<std::string_view, 7> kWeightColumns = {
    "umamigihidari", "umaShibadart", "umaKyori", "umaRyoOmo", "umaSeichou", "KisiRen", "ChokRen"};
inline constexpr std::array<int, 7> kDefaultWeights = {2, 2, 2, 2, 1, 1, 1};
inline constexpr std::string_view kDefaultUserName = "User";
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

// Row ID 1, or nothing when the table or the row is missing.
std::optional<ConstantsRow> readConstants(Database& mast);

// Each writes its fields of row ID 1 in one transaction; false, changing nothing, when the table
// or the row is missing.
bool writeHandedHorse(Database& mast, std::int64_t code);
bool writeHorseWindowPosition(Database& mast, double left, double top);

// Writes the weights and the name into row ID 1, adding the row (and 定数) when missing, in one
// transaction. The caller checks the values.
void writeWeightsAndName(Database& mast, const std::array<int, 7>& weights,
                         std::string_view userName);

}  // namespace zelvanor
