#include "core/shell/codes.hpp"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace zelvanor {
namespace {

using LabelFn = std::string (*)(std::string_view);

struct LabelCase {
    std::string_view code;
    std::string_view label;
};

// Every row of a code table, its fallback, and codes that only look like a listed one.
void expectLabels(LabelFn label, std::initializer_list<LabelCase> cases) {
    for (const LabelCase& c : cases) {
        EXPECT_EQ(label(c.code), c.label) << "code \"" << c.code << "\"";
    }
}

TEST(CodesTest, SeibetsuLabel) {
    expectLabels(seibetsuLabel,
                 {{"1", "牡"}, {"2", "牝"}, {"3", "ｾﾝ"}, {"0", " "}, {"01", " "}, {"", " "}});
}

TEST(CodesTest, ClassLabelNamedAndMoneyClasses) {
    expectLabels(classLabel, {{"701", "新　馬"},
                              {"702", "未出走"},
                              {"703", "未勝利"},
                              {"999", "ｵｰﾌﾟﾝ"},
                              {"101", " "},
                              {"704", " "},
                              {"1000", " "},
                              {"005", "500万"},
                              {"010", "1000万"},
                              {"016", "1600万"},
                              {"100", "10000万"},
                              // Money classes are read as numbers, so width does not matter.
                              {"5", "500万"},
                              {"000", "0万"},
                              {"   ", "0万"},
                              {"ab", "0万"}});
}

TEST(CodesTest, JoukenLabel) {
    expectLabels(joukenLabel, {{"701", "新　馬"},
                               {"702", "未出走"},
                               {"703", "未勝利"},
                               {"999", "オープン"},
                               {"016", " "},
                               {"99", " "},
                               {"", " "}});
}

TEST(CodesTest, FutanLabel) {
    expectLabels(futanLabel, {{"1", "（ハンデ）"},
                              {"2", "（別定）"},
                              {"3", "（馬齢）"},
                              {"4", "（定量）"},
                              {"5", ""},
                              {"01", ""}});
}

TEST(CodesTest, ShubetsuLabel) {
    expectLabels(shubetsuLabel, {{"11", "サラ系 ３歳指定"},
                                 {"12", "サラ系 ４歳指定"},
                                 {"13", "サラ系 ４歳上"},
                                 {"14", "サラ系 ５歳上"},
                                 {"18", "サラ系障害 ４歳上"},
                                 {"19", "サラ系障害 ５歳上"},
                                 {"21", "アラ系 ３歳指定"},
                                 {"22", "アラ系 ４歳指定"},
                                 {"23", "アラ系 ４歳上"},
                                 {"24", "アラ系 ５歳上"},
                                 {"15", ""},
                                 {"20", ""},
                                 {"011", ""}});
}

TEST(CodesTest, BashoLabel) {
    expectLabels(bashoLabel, {{"01", "札幌"},
                              {"02", "函館"},
                              {"03", "福島"},
                              {"04", "新潟"},
                              {"05", "東京"},
                              {"06", "中山"},
                              {"07", "中京"},
                              {"08", "京都"},
                              {"09", "阪神"},
                              {"10", "小倉"},
                              {"5", "？？"},
                              {" 5", "？？"},
                              {"00", "？？"},
                              {"11", "？？"}});
}

TEST(CodesTest, ShibaDertMarkRanges) {
    expectLabels(shibaDertMark, {{"10", " "},
                                 {"11", "芝"},
                                 {"17", "芝"},
                                 {"22", "芝"},
                                 {"23", "ダ"},
                                 {"24", "ダ"},
                                 {"25", " "},
                                 {"50", " "},
                                 {"51", "障"},
                                 {"52", "障"},
                                 {"59", "障"},
                                 {"60", " "},
                                 {"1", " "},
                                 {"011", " "},
                                 {" 11", " "},
                                 {"1A", " "}});
}

TEST(CodesTest, TrackLabelRanges) {
    expectLabels(trackLabel, {{"10", " "},
                              {"11", "芝・左 "},
                              {"16", "芝・左 "},
                              {"17", "芝・右 "},
                              {"22", "芝・右 "},
                              {"23", "ダート・左 "},
                              {"24", "ダート・右 "},
                              {"25", " "},
                              {"50", " "},
                              {"51", "芝・左 "},
                              {"52", "芝→ダート "},
                              {"53", "芝・左 "},
                              {"59", "芝・左 "},
                              {"60", " "},
                              {"023", " "},
                              {"2", " "}});
}

TEST(CodesTest, TouzaiLabel) {
    expectLabels(touzaiLabel,
                 {{"1", "東"}, {"2", "西"}, {"3", "招待"}, {"0", "?"}, {"01", "?"}, {"", "?"}});
}

TEST(CodesTest, GradeLabel) {
    expectLabels(gradeLabel, {{"A", "ＧⅠ"},
                              {"B", "ＧⅡ"},
                              {"C", "ＧⅢ"},
                              {"  ", " "},
                              {"D", "ｵｰﾌﾟﾝ"},
                              {"a", "ｵｰﾌﾟﾝ"},
                              {" ", "ｵｰﾌﾟﾝ"},
                              {"", "ｵｰﾌﾟﾝ"}});
}

TEST(CodesTest, IjouLabel) {
    expectLabels(ijouLabel, {{"0", " "},
                             {"1", "出走取消"},
                             {"2", "発走除外"},
                             {"3", "競走除外"},
                             {"4", "競走中止"},
                             {"5", "　失格　"},
                             {"6", "落馬再騎"},
                             {"7", "　降着　"},
                             {"8", ""},
                             {"00", ""},
                             {" ", ""}});
}

TEST(CodesTest, YoubiLabel) {
    expectLabels(youbiLabel, {{"1", "（土曜日）"},
                              {"2", "（日曜日）"},
                              {"3", "（祝日）"},
                              {"4", "（月曜日）"},
                              {"5", "（火曜日）"},
                              {"6", "（水曜日）"},
                              {"7", "（木曜日）"},
                              {"8", "（金曜日）"},
                              {"9", " "},
                              {"01", " "}});
}

TEST(CodesTest, ShikakuLabel) {
    expectLabels(shikakuLabel, {{"0", " 資格無し"},
                                {"1", " 平・障"},
                                {"2", " 平地"},
                                {"3", " 障害"},
                                {"4", " "},
                                {"", " "}});
}

TEST(CodesTest, MinaraiLabel) {
    expectLabels(minaraiLabel,
                 {{"1", " 1kg減"}, {"2", " 2kg減"}, {"3", " 3kg減"}, {"0", " "}, {"03", " "}});
}

TEST(CodesTest, MoushokuLabel) {
    expectLabels(moushokuLabel, {{"01", "栗毛"},
                                 {"02", "栃栗毛"},
                                 {"03", "鹿毛"},
                                 {"04", "黒鹿毛"},
                                 {"05", "青鹿毛"},
                                 {"06", "青毛"},
                                 {"07", "芦毛"},
                                 {"08", "栗粕毛"},
                                 {"09", "鹿粕毛"},
                                 {"10", "青粕毛"},
                                 {"11", "白毛"},
                                 {"12", " "},
                                 {"1", " "}});
}

TEST(CodesTest, TokuseiKyoriLabel) {
    expectLabels(tokuseiKyoriLabel,
                 {{"L", "ｽﾃｲﾔｰ"}, {"M", "ﾏｲﾗｰ"}, {"S", "ｽﾌﾟﾘﾝﾀｰ"}, {"l", " "}, {"", " "}});
}

// The same glyph in full width and half width looks alike in the tables above, so the labels
// whose width is part of the contract are checked here by code point.
TEST(CodesTest, CharacterWidthOfLabels) {
    struct Case {
        std::string_view what;
        std::string actual;
        std::string_view expected;
    };
    const Case cases[] = {
        {"class 701, full-width blank", classLabel("701"), "\u65B0\u3000\u99AC"},
        {"condition 701, full-width blank", joukenLabel("701"), "\u65B0\u3000\u99AC"},
        {"class 999, half-width", classLabel("999"), "\uFF75\uFF70\uFF8C\uFF9F\uFF9D"},
        {"condition 999, full-width", joukenLabel("999"), "\u30AA\u30FC\u30D7\u30F3"},
        {"gelding, half-width", seibetsuLabel("3"), "\uFF7E\uFF9D"},
        {"unknown course, full-width ?", bashoLabel("5"), "\uFF1F\uFF1F"},
        {"unknown affiliation, half-width ?", touzaiLabel("5"), "?"},
        {"weight rule, full-width parentheses", futanLabel("2"), "\uFF08\u5225\u5B9A\uFF09"},
        {"day, full-width parentheses", youbiLabel("3"), "\uFF08\u795D\u65E5\uFF09"},
        {"disqualified, full-width blanks", ijouLabel("5"), "\u3000\u5931\u683C\u3000"},
        {"grade I, full-width G", gradeLabel("A"), "\uFF27\u2160"},
        {"race type, half-width blank", shubetsuLabel("13"),
         "\u30B5\u30E9\u7CFB \uFF14\u6B73\u4E0A"},
        {"track, trailing half-width blank", trackLabel("24"), "\u30C0\u30FC\u30C8\u30FB\u53F3 "},
        {"allowance, half-width digits", minaraiLabel("2"), " 2kg\u6E1B"},
        {"stayer, half-width", tokuseiKyoriLabel("L"), "\uFF7D\uFF83\uFF72\uFF94\uFF70"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;
}

TEST(CodesTest, CircledNumber) {
    // U+2460 .. U+2471 share their first two UTF-8 bytes.
    for (int n = 1; n <= 18; ++n) {
        const std::string expected = {'\xE2', '\x91', static_cast<char>(0xA0 + n - 1)};
        EXPECT_EQ(circledNumber(n), expected) << n;
    }
    for (int n : {0, 19, -1, 100}) EXPECT_EQ(circledNumber(n), "") << n;
}

TEST(CodesTest, PairLabel) {
    struct Case {
        std::int16_t a, b;
        float va, vb;
        std::string_view expected;
    };
    // Numeric order, not text order; only a zero value, of either sign, hides the pair.
    const Case cases[] = {
        {12, 3, 1.0f, 1.0f, "3 - 12"},  {3, 12, 1.0f, 1.0f, "3 - 12"},
        {10, 9, 0.1f, 52.3f, "9 - 10"}, {5, 5, 1.0f, 1.0f, "5 - 5"},
        {1, 18, -2.5f, 0.5f, "1 - 18"}, {12, 3, 0.0f, 1.0f, ""},
        {12, 3, 1.0f, 0.0f, ""},        {12, 3, -0.0f, 1.0f, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pairLabel(c.a, c.b, c.va, c.vb), c.expected)
            << c.a << "," << c.b << " values " << c.va << "," << c.vb;
    }
}

TEST(CodesTest, RotationLabelFromDates) {
    struct Case {
        int yy, mm, dd;
        std::string_view prev;
        std::string_view expected;
        std::string_view why;
    };
    const Case cases[] = {
        {5, 3, 15, "050308", "連闘", "7 days"},
        {5, 3, 15, "050305", "連闘", "10 days, 1.43 weeks"},
        {5, 3, 15, "050304", "中２週", "11 days, 1.57 weeks"},
        {5, 6, 20, "040515", "初戦", "400 days, 57 weeks"},
        {5, 3, 15, "050215", "１ヶ月", "across a month: 30 days"},
        // No previous race, also in a year 00 where the formula alone would read 10 weeks.
        {5, 3, 15, "      ", "初戦", "blank previous date"},
        {5, 3, 15, "000000", "初戦", "zero previous date"},
        {5, 3, 15, "", "初戦", "empty previous date"},
        {0, 2, 10, "000000", "初戦", "zero previous date in year 00"},
        // The century wrap reads like any other new year: both intervals are 18 formula days.
        {0, 1, 8, "991225", "中３週", "99-12-25 to 00-01-08"},
        {5, 1, 8, "041225", "中３週", "04-12-25 to 05-01-08"},
        {0, 3, 1, "991001", "５ヶ月", "155 days across the century"},
        // Zero weeks: raced again within the week.
        {5, 3, 15, "050315", "連闘", "same day"},
        {5, 3, 15, "050312", "連闘", "3 days"},
        // A previous date after the current one is no interval at all.
        {5, 3, 15, "050316", " ", "1 day later"},
        {5, 3, 15, "050415", " ", "a month later"},
        {5, 3, 15, "060315", " ", "a year later"},
        {0, 1, 8, "010108", " ", "a year later across the century"},
        // A short text leaves its missing pieces blank: 05-03-00 is 15 days back.
        {5, 3, 15, "0503", "中２週", "day piece missing"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rotationLabel(c.yy, c.mm, c.dd, c.prev), c.expected) << c.why;
    }
}

// A previous date the given number of formula days (year 365, month 30) before 10-12-30.
std::string daysBefore(int days) {
    const auto twoDigits = [](int n) {
        return std::string{char('0' + n / 10), char('0' + n % 10)};
    };
    return twoDigits(10 - days / 365) + twoDigits(12 - days % 365 / 30) +
           twoDigits(30 - days % 365 % 30);
}

TEST(CodesTest, RotationLabelWeekBands) {
    struct Band {
        int firstWeek, lastWeek;
        std::string_view label;
    };
    const Band bands[] = {
        {1, 1, "連闘"},     {2, 2, "中２週"},     {3, 3, "中３週"},     {4, 4, "１ヶ月"},
        {5, 7, "１ヶ月半"}, {8, 11, "２ヶ月"},    {12, 15, "３ヶ月"},   {16, 18, "４ヶ月"},
        {19, 22, "５ヶ月"}, {23, 27, "半年"},     {28, 32, "７ヶ月"},   {33, 36, "８ヶ月"},
        {37, 41, "９ヶ月"}, {42, 45, "１０ヶ月"}, {46, 49, "１１ヶ月"}, {50, 54, "１年"},
        {55, 520, "初戦"},
    };
    // Three days either side of a whole week still round to it, so these are the extreme
    // intervals of each band.
    for (const Band& band : bands) {
        for (int days : {band.firstWeek * 7 - 3, band.lastWeek * 7 + 3}) {
            EXPECT_EQ(rotationLabel(10, 12, 30, daysBefore(days)), band.label)
                << days << " days, previous " << daysBefore(days);
        }
    }
}

TEST(CodesTest, ClassChangeLabel) {
    // Condition codes of the current race for ages 3, 4, 5 and 6-and-over.
    const std::array<std::string_view, 4> money = {"703", "005", "010", "016"};
    struct Case {
        std::string_view prev;
        std::int16_t age;
        std::string_view earnings;
        std::array<std::string_view, 4> conditions;
        std::string_view expected;
    };
    const Case cases[] = {
        // Three-year-olds: the race's conditions play no part.
        {"000", 3, "900", money, "新馬"},
        {"703", 3, "399", money, "未勝利"},
        {"005", 3, "    ", money, "未勝利"},
        {"701", 3, "400", money, "格上初戦"},
        {"702", 3, "400", money, "格上初戦"},
        {"703", 3, "0400", money, "格上初戦"},
        {"005", 3, "400", money, "同条件"},
        {"000", 2, "0", money, "新馬"},  // a bad age reads as the youngest group
        // Older runners use their own age group's condition.
        {"010", 4, "0", money, "特別下り"},
        {"010", 5, "0", money, "同条件"},
        {"010", 6, "0", money, "格上初戦"},
        {"016", 9, "0", money, "同条件"},
        {"000", 4, "0", money, "未出走"},
        {"005", 4, "0", {"", "701", "", ""}, "同条件"},
        {"016", 5, "0", {"", "", "999", ""}, "格上初戦"},
        {"703", 4, "0", {"", "005", "", ""}, "格上初戦"},
        {"010", 4, "0", {"", "005", "", ""}, "特別下り"},
        {"999", 6, "0", {"", "", "", "016"}, "特別下り"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(classChangeLabel(c.prev, c.age, c.earnings, c.conditions), c.expected)
            << "previous " << c.prev << ", age " << c.age << ", earnings \"" << c.earnings << "\"";
    }
}

}  // namespace
}  // namespace zelvanor
