#include "core/shell/codes.hpp"

#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <utility>

#include "core/records/numeric.hpp"

namespace zelvanor {

namespace {

struct Entry {
    std::string_view code;
    std::string_view label;
};

std::string lookup(std::initializer_list<Entry> table, std::string_view code,
                   std::string_view fallback) {
    for (const Entry& entry : table) {
        if (entry.code == code) return std::string(entry.label);
    }
    return std::string(fallback);
}

// The value of a code made of exactly two ASCII digits, or -1. Range rows of the track tables
// must not match "5", " 52" or "5A", so numericValue is too lenient here.
int twoDigitCode(std::string_view code) {
    if (code.size() != 2) return -1;
    for (char c : code) {
        if (c < '0' || c > '9') return -1;
    }
    return (code[0] - '0') * 10 + (code[1] - '0');
}

// One two-character piece of a YYMMDD date; a piece past the end of a short text reads as blank.
int datePiece(std::string_view date, std::size_t offset) {
    if (offset >= date.size()) return 0;
    return static_cast<int>(numericValue(date.substr(offset, 2)));
}

}  // namespace

std::string seibetsuLabel(std::string_view code) {
    return lookup({{"1", "牡"}, {"2", "牝"}, {"3", "ｾﾝ"}}, code, " ");
}

std::string classLabel(std::string_view code) {
    const std::int64_t value = numericValue(code);
    if (value > 100) {
        return lookup({{"701", "新　馬"}, {"702", "未出走"}, {"703", "未勝利"}, {"999", "ｵｰﾌﾟﾝ"}},
                      code, " ");
    }
    // Money classes count in units of 1,000,000 yen; the label counts in 10,000 yen.
    return std::to_string(value * 100) + "万";
}

std::string joukenLabel(std::string_view code) {
    return lookup({{"701", "新　馬"}, {"702", "未出走"}, {"703", "未勝利"}, {"999", "オープン"}},
                  code, " ");
}

std::string futanLabel(std::string_view code) {
    return lookup({{"1", "（ハンデ）"}, {"2", "（別定）"}, {"3", "（馬齢）"}, {"4", "（定量）"}},
                  code, "");
}

std::string shubetsuLabel(std::string_view code) {
    return lookup({{"11", "サラ系 ３歳指定"},
                   {"12", "サラ系 ４歳指定"},
                   {"13", "サラ系 ４歳上"},
                   {"14", "サラ系 ５歳上"},
                   {"18", "サラ系障害 ４歳上"},
                   {"19", "サラ系障害 ５歳上"},
                   {"21", "アラ系 ３歳指定"},
                   {"22", "アラ系 ４歳指定"},
                   {"23", "アラ系 ４歳上"},
                   {"24", "アラ系 ５歳上"}},
                  code, "");
}

std::string bashoLabel(std::string_view code) {
    return lookup({{"01", "札幌"},
                   {"02", "函館"},
                   {"03", "福島"},
                   {"04", "新潟"},
                   {"05", "東京"},
                   {"06", "中山"},
                   {"07", "中京"},
                   {"08", "京都"},
                   {"09", "阪神"},
                   {"10", "小倉"}},
                  code, "？？");
}

std::string shibaDertMark(std::string_view code) {
    const int track = twoDigitCode(code);
    if (track >= 11 && track <= 22) return "芝";
    if (track == 23 || track == 24) return "ダ";
    if (track >= 51 && track <= 59) return "障";
    return " ";
}

std::string trackLabel(std::string_view code) {
    const int track = twoDigitCode(code);
    if (track >= 11 && track <= 16) return "芝・左 ";
    if (track >= 17 && track <= 22) return "芝・右 ";
    if (track == 23) return "ダート・左 ";
    if (track == 24) return "ダート・右 ";
    if (track == 52) return "芝→ダート ";
    if (track >= 51 && track <= 59) return "芝・左 ";
    return " ";
}

std::string touzaiLabel(std::string_view code) {
    return lookup({{"1", "東"}, {"2", "西"}, {"3", "招待"}}, code, "?");
}

std::string gradeLabel(std::string_view code) {
    return lookup({{"A", "ＧⅠ"}, {"B", "ＧⅡ"}, {"C", "ＧⅢ"}, {"  ", " "}}, code, "ｵｰﾌﾟﾝ");
}

std::string ijouLabel(std::string_view code) {
    return lookup({{"0", " "},
                   {"1", "出走取消"},
                   {"2", "発走除外"},
                   {"3", "競走除外"},
                   {"4", "競走中止"},
                   {"5", "　失格　"},
                   {"6", "落馬再騎"},
                   {"7", "　降着　"}},
                  code, "");
}

std::string rotationLabel(int curYY, int curMM, int curDD, std::string_view prevYYMMDD) {
    const int prevYY = datePiece(prevYYMMDD, 0);
    const int prevMM = datePiece(prevYYMMDD, 2);
    const int prevDD = datePiece(prevYYMMDD, 4);
    if (prevYY == 0 && prevMM == 0 && prevDD == 0) return "初戦";

    // Two-digit years wrap at the century; take the nearer of the two readings so that 99 -> 00
    // is one year on and 00 -> 99 one year back.
    int years = ((curYY - prevYY) % 100 + 100) % 100;
    if (years >= 50) years -= 100;
    const int days = years * 365 + (curMM - prevMM) * 30 + (curDD - prevDD);
    if (days < 0) return " ";

    const long weeks = std::lround(days / 7.0);
    if (weeks <= 1) return "連闘";
    if (weeks == 2) return "中２週";
    if (weeks == 3) return "中３週";
    if (weeks == 4) return "１ヶ月";
    if (weeks <= 7) return "１ヶ月半";
    if (weeks <= 11) return "２ヶ月";
    if (weeks <= 15) return "３ヶ月";
    if (weeks <= 18) return "４ヶ月";
    if (weeks <= 22) return "５ヶ月";
    if (weeks <= 27) return "半年";
    if (weeks <= 32) return "７ヶ月";
    if (weeks <= 36) return "８ヶ月";
    if (weeks <= 41) return "９ヶ月";
    if (weeks <= 45) return "１０ヶ月";
    if (weeks <= 49) return "１１ヶ月";
    if (weeks <= 54) return "１年";
    return "初戦";
}

std::string classChangeLabel(std::string_view prevClass, std::int16_t age,
                             std::string_view earnings,
                             const std::array<std::string_view, 4>& conditionsByAge) {
    const auto startsWith7 = [](std::string_view code) {
        return !code.empty() && code.front() == '7';
    };

    if (age <= 3) {
        if (prevClass == "000") return "新馬";
        if (numericValue(earnings) < 400) return "未勝利";
        if (prevClass == "701" || prevClass == "702" || prevClass == "703") return "格上初戦";
        return "同条件";
    }

    const std::size_t group = age >= 6 ? 3 : static_cast<std::size_t>(age - 3);
    const std::string_view current = conditionsByAge[group];
    if (prevClass == "000") return "未出走";
    if (startsWith7(current)) return "同条件";
    if (current > prevClass) return "格上初戦";
    // Leaving a maiden or newcomer class for a money class is a step up too.
    if (startsWith7(prevClass)) return "格上初戦";
    if (current < prevClass) return "特別下り";
    return "同条件";
}

std::string youbiLabel(std::string_view code) {
    return lookup({{"1", "（土曜日）"},
                   {"2", "（日曜日）"},
                   {"3", "（祝日）"},
                   {"4", "（月曜日）"},
                   {"5", "（火曜日）"},
                   {"6", "（水曜日）"},
                   {"7", "（木曜日）"},
                   {"8", "（金曜日）"}},
                  code, " ");
}

std::string shikakuLabel(std::string_view code) {
    return lookup({{"0", " 資格無し"}, {"1", " 平・障"}, {"2", " 平地"}, {"3", " 障害"}}, code,
                  " ");
}

std::string minaraiLabel(std::string_view code) {
    return lookup({{"1", " 1kg減"}, {"2", " 2kg減"}, {"3", " 3kg減"}}, code, " ");
}

std::string moushokuLabel(std::string_view code) {
    return lookup({{"01", "栗毛"},
                   {"02", "栃栗毛"},
                   {"03", "鹿毛"},
                   {"04", "黒鹿毛"},
                   {"05", "青鹿毛"},
                   {"06", "青毛"},
                   {"07", "芦毛"},
                   {"08", "栗粕毛"},
                   {"09", "鹿粕毛"},
                   {"10", "青粕毛"},
                   {"11", "白毛"}},
                  code, " ");
}

std::string tokuseiKyoriLabel(std::string_view code) {
    return lookup({{"L", "ｽﾃｲﾔｰ"}, {"M", "ﾏｲﾗｰ"}, {"S", "ｽﾌﾟﾘﾝﾀｰ"}}, code, " ");
}

std::string circledNumber(int number) {
    static constexpr std::array<std::string_view, 18> kCircled = {
        "①", "②", "③", "④", "⑤", "⑥", "⑦", "⑧", "⑨", "⑩", "⑪", "⑫", "⑬", "⑭", "⑮", "⑯", "⑰", "⑱"};
    if (number < 1 || number > 18) return "";
    return std::string(kCircled[static_cast<std::size_t>(number - 1)]);
}

std::string pairLabel(std::int16_t a, std::int16_t b, float va, float vb) {
    if (va == 0.0f || vb == 0.0f) return "";
    if (a > b) std::swap(a, b);
    return std::to_string(a) + " - " + std::to_string(b);
}

}  // namespace zelvanor
