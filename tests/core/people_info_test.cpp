#include "core/views/people_info.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/records/layouts.hpp"
#include "people_fixture.hpp"
#include "temp_folder.hpp"

using namespace zelvanor;
using fixture::PeopleRecord;

namespace {

using Row = std::vector<std::string>;

const RecordLayout& layoutOf(PersonKind kind) {
    return kind == PersonKind::Jockey ? kKisiLayout : kChokLayout;
}

PeopleRecord person(PersonKind kind, const std::string& code, const std::string& name) {
    PeopleRecord r(layoutOf(kind));
    r.text(kind == PersonKind::Jockey ? "KISCODE" : "chocode", code)
        .text(kind == PersonKind::Jockey ? "KISKANJI" : "CHOKANJI", name)
        .text("seinen", "700401")
        .text("mkdate", "981004");
    return r;
}

class PeopleInfoKinds : public ::testing::TestWithParam<PersonKind> {};

}  // namespace

// One row of the results grid from four counts: the cells, 合計 and the rounded 連率.
TEST(PeopleInfo, ResultsRowTotalsAndRates) {
    const struct {
        std::vector<std::int64_t> counts;
        Row shown;
    } cases[] = {
        {{0, 0, 0, 0}, {"", "", "", "", "", ""}},           // no runs: blank, 0 shows nothing
        {{3, 2, 1, 4}, {"3", "2", "1", "4", "10", "50"}},
        {{1, 0, 0, 7}, {"1", "", "", "7", "8", "12"}},      // 12.5 to the even 12
        {{3, 0, 0, 5}, {"3", "", "", "5", "8", "38"}},      // 37.5 to the even 38
        {{2, 0, 0, 2}, {"2", "", "", "2", "4", "50"}},
        {{0, 0, 3, 9}, {"", "", "3", "9", "12", ""}},       // runs without a top-two finish
        {{1, 1, 0, 1}, {"1", "1", "", "1", "3", "67"}},
        {{1, 0, 0, 0}, {"1", "", "", "", "1", "100"}},
    };
    for (const auto& c : cases) {
        PeopleRecord r = person(PersonKind::Jockey, "0001", "騎手");
        r.counts("HONNEN", {c.counts[0], c.counts[1], c.counts[2], c.counts[3]});
        const PersonInfo p = personInfo(PersonKind::Jockey, r.bytes());
        EXPECT_EQ(p.flatResults.cells[0], c.shown) << c.shown[4];
        EXPECT_EQ(p.jumpResults.cells[0], Row(6)) << "the jump counts are 5 to 8";
    }
}

TEST(PeopleInfo, RatesAreRoundedExactlyHalvesToEven) {
    EXPECT_EQ(topTwoRate(1, 0, 8), 12);
    EXPECT_EQ(topTwoRate(3, 0, 40), 8);  // 7.5: a double division would land either side
    EXPECT_EQ(topTwoRate(1, 0, 40), 2);  // 2.5
    EXPECT_EQ(topTwoRate(0, 0, 0), 0);
}

TEST_P(PeopleInfoKinds, ResultsGridsTakeThisYearLastYearAndCareer) {
    const PersonKind kind = GetParam();
    PeopleRecord r = person(kind, "0001", "名前");
    r.counts("HONNEN", {1, 2, 3, 4, 5, 0, 0, 5})
        .counts("ZENNEN", {0, 1, 0, 1})
        .counts("RUIKEI", {9999, 9999, 9999, 9999, 0, 0, 0, 1});
    const PersonInfo p = personInfo(kind, r.bytes());
    EXPECT_EQ(p.flatResults.rowHeadings, (Row{"本年", "前年", "累計"}));
    EXPECT_EQ(p.flatResults.cells[0], (Row{"1", "2", "3", "4", "10", "30"}));
    EXPECT_EQ(p.flatResults.cells[1], (Row{"", "1", "", "1", "2", "50"}));
    // A career of four 4-digit counts passes what a 16-bit sum holds: the true total is shown.
    EXPECT_EQ(p.flatResults.cells[2], (Row{"9999", "9999", "9999", "9999", "39996", "50"}));
    EXPECT_EQ(p.jumpResults.cells[0], (Row{"5", "", "", "5", "10", "50"}));
    EXPECT_EQ(p.jumpResults.cells[1], Row(6));  // no jump runs last year: a blank row
    EXPECT_EQ(p.jumpResults.cells[2], (Row{"", "", "", "1", "1", ""}));
}

TEST_P(PeopleInfoKinds, HeaderMoneyAndDates) {
    const PersonKind kind = GetParam();
    PeopleRecord r = person(kind, "0123", "武田　　　　　　一郎");
    r.text(kind == PersonKind::Jockey ? "KISKANA" : "CHOKANA", "ﾀｹﾀﾞ ｲﾁﾛｳ")
        .text("TOUZAI", "2")
        .number("HHONSHOU", 1234567)
        .number("HFUKASHO", 0)
        .number("SHONSHOU", 12)
        .number("SFUKASHO", 999999);
    const PersonInfo p = personInfo(kind, r.bytes());
    EXPECT_EQ(p.code, "0123 ");
    EXPECT_EQ(p.name.substr(0, p.name.find("一郎")), "武田　　　　　　");
    EXPECT_TRUE(p.kana.starts_with("ﾀｹﾀﾞ ｲﾁﾛｳ")) << p.kana;
    EXPECT_EQ(p.birthDate, " 1970年04月01日生まれ");
    EXPECT_EQ(p.touzai, "西");
    EXPECT_EQ(p.prizeMoney,
              (std::array<std::string, 5>{"1,234,567 ", " ", "12 ", "999,999 ", "2,234,578 "}));
    EXPECT_EQ(p.createdOn, "データ作成年月日 ： 1998年10月04日");

    // A full year is read 00-68 as 20xx: a record made in 2026 is not one of 1926. A birth date
    // lies before the record's date.
    const struct {
        const char* born;
        const char* made;
        const char* bornShown;
        const char* madeShown;
    } dates[] = {
        {"050102", "260315", " 2005年01月02日生まれ", "データ作成年月日 ： 2026年03月15日"},
        {"620508", "260315", " 1962年05月08日生まれ", "データ作成年月日 ： 2026年03月15日"},
        {"620508", "981002", " 1962年05月08日生まれ", "データ作成年月日 ： 1998年10月02日"},
        {"990101", "000101", " 1999年01月01日生まれ", "データ作成年月日 ： 2000年01月01日"},
        {"050102", "      ", " 2005年01月02日生まれ", "データ作成年月日 ： "},
        {"x50102", "981002", " 19x5年01月02日生まれ", "データ作成年月日 ： 1998年10月02日"},
    };
    for (const auto& d : dates) {
        r.text("seinen", d.born).text("mkdate", d.made);
        const PersonInfo later = personInfo(kind, r.bytes());
        EXPECT_EQ(later.birthDate, d.bornShown);
        EXPECT_EQ(later.createdOn, d.madeShown);
    }
    r.text("seinen", "      ");
    EXPECT_EQ(personInfo(kind, r.bytes()).birthDate, "");
}

TEST(PeopleInfo, JockeyAffiliationAndLabels) {
    const struct {
        const char* shozoku;
        const char* shown;
    } cases[] = {{"    ", " フリー"}, {"A123", "A123 "}};
    for (const auto& c : cases) {
        PeopleRecord r = person(PersonKind::Jockey, "0001", "騎手");
        r.text("SHOZOKU", c.shozoku).text("SHIKAKU", "2").text("minarai", "3");
        const PersonInfo p = personInfo(PersonKind::Jockey, r.bytes());
        EXPECT_EQ(p.affiliation, c.shown);
        EXPECT_EQ(p.qualification, " 平地");
        EXPECT_EQ(p.apprentice, " 3kg減");
    }
    const PersonInfo t = personInfo(PersonKind::Trainer, person(PersonKind::Trainer, "1", "x").bytes());
    EXPECT_EQ(t.affiliation, "");
    EXPECT_TRUE(t.distances.empty());
}

TEST_P(PeopleInfoKinds, CourseGridsWithTotals) {
    const PersonKind kind = GetParam();
    PeopleRecord r = person(kind, "0001", "名前");
    r.counts("HSAP", {1, 0, 0, 0})
        .counts("HTOK", {2, 1, 0, 7, 1, 0, 0, 1})
        .counts("ZKOK", {0, 0, 1, 1, 0, 1, 0, 0});
    const PersonInfo p = personInfo(kind, r.bytes());
    const TextGrid& flat = p.flatCourses[0];
    ASSERT_EQ(flat.rowHeadings.size(), 11u);
    EXPECT_EQ(flat.rowHeadings.front(), "札 幌");
    EXPECT_EQ(flat.rowHeadings.back(), "合 計");
    EXPECT_EQ(flat.cells[0], (Row{"1", "", "", "", "1", "100"}));
    EXPECT_EQ(flat.cells[4], (Row{"2", "1", "", "7", "10", "30"}));
    EXPECT_EQ(flat.cells[1], Row(6));
    EXPECT_EQ(flat.cells[10], (Row{"3", "1", "", "7", "11", "36"}));

    const TextGrid& jump = p.jumpCourses[0];
    EXPECT_EQ(jump.cells[0], Row(6));  // 札幌 and 函館 hold no jump counts
    EXPECT_EQ(jump.cells[4], (Row{"1", "", "", "1", "2", "50"}));
    EXPECT_EQ(jump.cells[10], (Row{"1", "", "", "1", "2", "50"}));

    EXPECT_EQ(p.flatCourses[1].cells[9], (Row{"", "", "1", "1", "2", ""}));
    EXPECT_EQ(p.jumpCourses[1].cells[9], (Row{"", "1", "", "", "1", "100"}));
    EXPECT_EQ(p.jumpCourses[1].cells[10], (Row{"", "1", "", "", "1", "100"}));
}

TEST(PeopleInfo, JockeyDistanceGridsKeepTheirFormatPrefix) {
    PeopleRecord r = person(PersonKind::Jockey, "0001", "騎手");
    r.counts("H1600", {1, 1, 0, 2}).counts("H2201", {0, 0, 0, 0, 0, 1, 0, 1});
    r.counts("Z2200", {1, 0, 0, 7});
    const PersonInfo p = personInfo(PersonKind::Jockey, r.bytes());
    ASSERT_EQ(p.distances.size(), 4u);
    EXPECT_EQ(p.distances[0].rowHeadings, (Row{"-1600", "1601-", "2201-", "合 計"}));
    EXPECT_EQ(p.distances[0].cells[0], (Row{"   1", "   1", "   ", "   2", "   4", "  50"}));
    EXPECT_EQ(p.distances[0].cells[1], (Row{"   ", "   ", "   ", "   ", "   ", "  "}));
    EXPECT_EQ(p.distances[1].cells[2], (Row{"   ", "   1", "   ", "   1", "   2", "  50"}));
    EXPECT_EQ(p.distances[2].cells[3], (Row{"   1", "   ", "   ", "   7", "   8", "  12"}));
    EXPECT_EQ(p.distances[3].cells[3], (Row{"   ", "   ", "   ", "   ", "   ", "  "}));
}

TEST_P(PeopleInfoKinds, GradedWins) {
    const PersonKind kind = GetParam();
    PeopleRecord r = person(kind, "0001", "名前");
    r.text("KACHIKU1.basho", "05")
        .text("KACHIKU1.year", "98")
        .text("KACHIKU1.kaiji", "4")
        .text("KACHIKU1.hiji", "8")
        .text("KACHIKU1.bango", "11")
        .text("KACHIKU1.hondai", "天皇賞（秋）")
        .text("KACHIKU1.bamei", "サンプルホース")
        .text("KACHIKU1.grade", "A")
        // A name without its course is no entry.
        .text("KACHIKU2.hondai", "名前だけ");
    const PersonInfo p = personInfo(kind, r.bytes());
    const auto& w = p.gradedWins[0];
    EXPECT_EQ(w[0], "東京");
    EXPECT_EQ(w[1], "98 年");
    EXPECT_EQ(w[2], "4 回");
    EXPECT_EQ(w[3], "8 日目");
    EXPECT_EQ(w[4], "11R");
    EXPECT_EQ(w[5].substr(0, std::string("天皇賞（秋）").size()), "天皇賞（秋）");
    EXPECT_TRUE(w[5].ends_with("  "));
    EXPECT_EQ(w[6].substr(0, std::string("サンプルホース").size()), "サンプルホース");
    EXPECT_EQ(w[7], "ＧⅠ");
    EXPECT_EQ(p.gradedWins[1], (std::array<std::string, 8>{}));
    EXPECT_EQ(p.gradedWins[2], (std::array<std::string, 8>{}));
}

// A record cut short or holding garbage shows what it holds: never a failure.
TEST_P(PeopleInfoKinds, DamagedRecordsShowWhatCanBeRead) {
    const PersonKind kind = GetParam();
    PeopleRecord r = person(kind, "0001", "名前");
    r.counts("HONNEN", {3, 2, 1, 4});
    std::string bytes = r.bytes();
    const auto& layout = layoutOf(kind);
    // Counts that are not digits: leading digits count, none reads 0.
    bytes.replace(layout.field("HONNEN.1").offset, 3, "2x9");
    bytes.replace(layout.field("HONNEN.2").offset, 3, "ab1");
    // A name with bytes that are no code page 932.
    bytes[layout.field(kind == PersonKind::Jockey ? "KISKANJI" : "CHOKANJI").offset] = '\x80';
    const PersonInfo p = personInfo(kind, bytes);
    EXPECT_EQ(p.flatResults.cells[0], (Row{"2", "", "1", "4", "7", "29"}));
    EXPECT_NE(p.name.find("\xEF\xBF\xBD"), std::string::npos);

    for (std::size_t length : {std::size_t{0}, std::size_t{3}, std::size_t{300},
                               layout.field("mkdate").offset + 3}) {
        const PersonInfo cut = personInfo(kind, std::string_view(bytes).substr(0, length));
        EXPECT_EQ(cut.flatCourses[1].cells[10], Row(6)) << length;
        EXPECT_EQ(cut.gradedWins[2], (std::array<std::string, 8>{})) << length;
    }
    const PersonInfo empty = personInfo(kind, "");
    EXPECT_EQ(empty.code, " ");
    EXPECT_EQ(empty.createdOn, "データ作成年月日 ： ");
    EXPECT_EQ(personInfo(kind, std::string_view(bytes).substr(0, 3)).code, "000 ");
}

TEST_P(PeopleInfoKinds, ListAndRecordsFromTheFile) {
    const PersonKind kind = GetParam();
    TempFolder folder;
    const AppPaths paths(folder.path());
    const auto file = personFilePath(paths, kind);
    EXPECT_EQ(file.filename(), kind == PersonKind::Jockey ? "JRA#KISI.DAT" : "JRA#CHOK.DAT");

    // Missing, then empty: no list, no record.
    EXPECT_TRUE(loadPeopleList(paths, kind).empty());
    EXPECT_FALSE(readPersonInfo(paths, kind, 1));
    std::ofstream(file, std::ios::binary).close();
    EXPECT_TRUE(loadPeopleList(paths, kind).empty());
    EXPECT_FALSE(readPersonInfo(paths, kind, 1));

    // Two whole records and the start of a third, cut off.
    const std::vector<PeopleRecord> records = {person(kind, "0001", "一"),
                                               person(kind, "0002", "二")};
    fixture::writeRecordFile(file, records, records[0].bytes().substr(0, 100));
    std::vector<int> progress;
    const auto list = loadPeopleList(paths, kind, [&](int p) { progress.push_back(p); });
    ASSERT_EQ(list.size(), 2u);
    EXPECT_TRUE(list[0].starts_with("0001  :  一"));
    EXPECT_TRUE(list[1].starts_with("0002  :  二"));
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), 100);
    EXPECT_EQ(readPersonInfo(paths, kind, 2)->code, "0002 ");
    EXPECT_FALSE(readPersonInfo(paths, kind, 0));
    EXPECT_FALSE(readPersonInfo(paths, kind, 3));
}

INSTANTIATE_TEST_SUITE_P(Both, PeopleInfoKinds,
                         ::testing::Values(PersonKind::Jockey, PersonKind::Trainer),
                         [](const auto& info) {
                             return info.param == PersonKind::Jockey ? "Jockey" : "Trainer";
                         });

TEST(PeopleInfo, NoDataMessages) {
    EXPECT_EQ(noPeopleMessage(PersonKind::Jockey),
              "現役騎手のデータがありません。\rＪＲＡ－ＶＡＮより現役騎手のデータを取得して"
              "Ｚｅｌｖａｎｏｒに取込んでください。");
    EXPECT_EQ(noPeopleMessage(PersonKind::Trainer),
              "現役調教師のデータがありません。\rＪＲＡ－ＶＡＮより現役調教師のデータを取得して"
              "Ｚｅｌｖａｎｏｒに取込んでください。");
}
