#pragma once

// One active jockey or trainer as the information windows show them, read straight from the
// record files JRA#KISI.DAT and JRA#CHOK.DAT in the extraction folder: the list to choose from and,
// for one record, every text of the window as displayed. Shared by the windows and the
// command-line program, so that the two cannot disagree.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/shell/app_paths.hpp"
#include "core/shell/progress.hpp"

namespace zelvanor {

struct RecordLayout;

enum class PersonKind { Jockey, Trainer };

// The record file of that kind (JRA#KISI.DAT or JRA#CHOK.DAT).
const RecordLayout& personLayout(PersonKind kind);
std::filesystem::path personFilePath(const AppPaths& paths, PersonKind kind);

// The columns of every results grid, as headed.
inline constexpr std::array<std::string_view, 6> kPlacingHeadings = {"１ 着", "２ 着", "３ 着",
                                                                     "着 外", "合 計", "連 率"};
inline constexpr std::size_t kPlacingColumns = kPlacingHeadings.size();
// The headings of the graded-race wins table.
inline constexpr std::array<std::string_view, 8> kGradedWinHeadings = {
    "場所", "年", "回次", "日次", "出走番号", "重賞名", "馬名", "グレード"};

// A grid of texts with its row headings (the column headings are fixed per grid kind).
struct TextGrid {
    std::vector<std::string> rowHeadings;
    std::vector<std::vector<std::string>> cells;  // one row per heading
};

struct PersonInfo {
    std::string code;       // code + " "
    std::string name;       // name + " ", in the name panel and the headings of the other tabs
    std::string kana;       // jockeys: kana + "  "; trainers: kana
    std::string birthDate;  // " 1970年04月01日生まれ"; empty when the record gives no date
    // Jockeys only (empty for trainers): affiliation code + " " or " フリー", qualification and
    // apprentice allowance labels.
    std::string affiliation, qualification, apprentice;
    std::string touzai;  // east/west label
    // Flat prize money, flat added money, jump prize money, jump added money and their total,
    // each "##,###,### " (thousands of yen).
    std::array<std::string, 5> prizeMoney;
    TextGrid flatResults, jumpResults;                      // 本年, 前年, 累計
    std::array<TextGrid, 2> flatCourses, jumpCourses;       // [0] this year, [1] last year
    std::vector<TextGrid> distances;                        // jockeys: 本年芝, 本年ダート, 前年芝, 前年ダート
    std::string createdOn;                                  // "データ作成年月日 ： 1998年10月04日"
    std::array<std::array<std::string, 8>, 3> gradedWins;  // empty texts for an empty entry
};

// The list of the window: code + "  :  " + name for every whole record of the file, in record
// order, with progress 0 to 100 as they are read. Empty when the file is missing or holds no
// whole record; a part of a record at the end is not listed.
std::vector<std::string> loadPeopleList(const AppPaths& paths, PersonKind kind,
                                        const ProgressFn& progress = {});

// Record n (1-based) of the file, as the window shows it. Nothing when the file is missing or n
// is not a record of it.
std::optional<PersonInfo> readPersonInfo(const AppPaths& paths, PersonKind kind, std::size_t n);

// The texts of one record's bytes. A record cut short shows what it holds (the missing fields
// blank); bytes that are not code page 932 show as U+FFFD; a count that is not digits reads as
// the value of its leading digits, 0 for none.
PersonInfo personInfo(PersonKind kind, std::string_view record);

// The message when the file gives no one to show, with a carriage return as its line break.
std::string noPeopleMessage(PersonKind kind);

// Display formats of the windows. A count with "###" (prefix "" or, for the distance grids,
// "   "): digits after the prefix, the prefix alone for 0. Money with "##,###,### ": grouped
// digits and a blank, the blank alone for 0.
std::string countText(std::int64_t value, std::string_view prefix = {});
std::string moneyText(std::int64_t value);
// The top-two rate (first + second) / total × 100 as a whole number, halves to the even
// neighbour, worked out exactly on the integers; 0 without runs.
std::int64_t topTwoRate(std::int64_t first, std::int64_t second, std::int64_t total);
// A yymmdd date as "YYYY年MM月DD日", empty for a blank field. Without a reference, years 00-68
// are 20xx and 69-99 19xx; with one (a yymmdd date, read the same way), the year is the latest
// that is not after the reference's: a birth date before the date the record was made.
std::string fullDate(std::string_view yymmdd, std::string_view reference = {});

}  // namespace zelvanor
