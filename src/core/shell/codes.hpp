#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The racing vocabulary of the record files: each function turns a stored code into the Japanese
// label the windows show. Codes match only as the exact, whole text ("5" is not "05"); anything
// unlisted gets the table's fallback label. All labels are UTF-8.
namespace zelvanor {

// Sex of a horse: "牡", "牝", "ｾﾝ"; otherwise " ".
std::string seibetsuLabel(std::string_view code);

// Class of a past race (three digits). Above 100 it is a named class ("新　馬", "未出走", "未勝利",
// "ｵｰﾌﾟﾝ", otherwise " "); up to 100 it is a prize-money class, e.g. "016" -> "1600万".
std::string classLabel(std::string_view code);

// Race-card condition code above 100: "新　馬", "未出走", "未勝利", "オープン"; otherwise " ".
std::string joukenLabel(std::string_view code);

// Weight rule: "（ハンデ）", "（別定）", "（馬齢）", "（定量）"; otherwise "".
std::string futanLabel(std::string_view code);

// Race type, e.g. "13" -> "サラ系 ４歳上"; otherwise "".
std::string shubetsuLabel(std::string_view code);

// Racecourse "01".."10" -> "札幌".."小倉"; otherwise "？？".
std::string bashoLabel(std::string_view code);

// Track code to its surface mark: "芝", "ダ", "障"; otherwise " ".
std::string shibaDertMark(std::string_view code);

// Track code to surface and direction, e.g. "芝・右 "; otherwise " ".
std::string trackLabel(std::string_view code);

// East/west affiliation: "東", "西", "招待"; otherwise "?".
std::string touzaiLabel(std::string_view code);

// Grade: "ＧⅠ", "ＧⅡ", "ＧⅢ"; two blanks give " "; anything else "ｵｰﾌﾟﾝ".
std::string gradeLabel(std::string_view code);

// Abnormal result of a runner, e.g. "4" -> "競走中止"; "0" gives " "; otherwise "".
std::string ijouLabel(std::string_view code);

// Interval since the previous race, e.g. "中２週", "３ヶ月", "初戦". The current date is given
// as two-digit year, month and day; the previous one as "YYMMDD" (blank when none).
//
// Open points settled here:
// - Intervals are counted modulo 100 years, taking the nearer reading, so "991225" before
//   00-01-08 is 18 days back, not 99 years ahead. Real intervals never come near 50 years.
// - A previous date whose pieces all read 0 ("000000", blanks, empty) means no previous race and
//   gives "初戦", also for a current year 00.
// - Weeks are days / 7 rounded to nearest; days are whole, so a half week never occurs and the
//   rounding mode does not matter.
// - Zero weeks (0 to 3 days back) gives "連闘": the runner raced again within the week, which is
//   what that label tells the reader. A previous date later than the current one is not an
//   interval at all and gives " ", the blank every grid table shows for unknown data. The label
//   "１年以上" is therefore never produced.
std::string rotationLabel(int curYY, int curMM, int curDD, std::string_view prevYYMMDD);

// Class change since the previous race: "新馬", "未勝利", "未出走", "格上初戦", "特別下り" or
// "同条件". conditionsByAge holds the current race's condition codes jouken41..jouken44, for ages
// 3, 4, 5 and 6-and-over. Ages below 3 cannot race, but a bad age field is read as the youngest
// group rather than an older one, so it never looks at another group's condition.
std::string classChangeLabel(std::string_view prevClass, std::int16_t age,
                             std::string_view earnings,
                             const std::array<std::string_view, 4>& conditionsByAge);

// Day of a meeting: "（土曜日）" .. "（金曜日）"; otherwise " ".
std::string youbiLabel(std::string_view code);

// Riding qualification of a jockey, e.g. " 平地"; otherwise " ".
std::string shikakuLabel(std::string_view code);

// Apprentice weight allowance, e.g. " 2kg減"; otherwise " ".
std::string minaraiLabel(std::string_view code);

// Coat colour "01".."11", e.g. "03" -> "鹿毛"; otherwise " ".
std::string moushokuLabel(std::string_view code);

// Distance type the engine assigns: "ｽﾃｲﾔｰ", "ﾏｲﾗｰ", "ｽﾌﾟﾘﾝﾀｰ"; otherwise " ".
std::string tokuseiKyoriLabel(std::string_view code);

// Horse number 1..18 as "①".."⑱"; otherwise "".
std::string circledNumber(int number);

// A predicted pair as "3 - 12", smaller number first; "" when either index value is zero.
std::string pairLabel(std::int16_t a, std::int16_t b, float va, float vb);

}  // namespace zelvanor
