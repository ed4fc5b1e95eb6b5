// zelvanor-cli result: a race's result typed in on the command line.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/shell/instance_lock.hpp"
#include "core/store/store.hpp"
#include "race_result_fixture.hpp"
#include "shell_run.hpp"
#include "temp_folder.hpp"

namespace {

using namespace zelvanor;

// Race 1 has 10 runners, race 2 eight (race_result_fixture.hpp): 翠嶺 and 碧渦 rank horse 5
// first and horse 3 second.
class ResultCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        Database tran(folder / "tran.mdb");
        const MeetingTables m = fixture::makeMeeting(tran, "05", "98", "10", "03");
        fixture::addResultField(tran, m, 1, 10);
        fixture::addResultField(tran, m, 2, 8);
    }

    Outcome result(const std::string& args) {
        return runCli("--data " + folder.path().string() + " result " + args);
    }

    // The race's result columns, as text.
    std::string stored(int race) {
        Database tran(folder / "tran.mdb");
        auto st = tran.prepare(
            "SELECT Kekka1No, Kekka2No, Kekka3No, quote(KekkaWakNo), quote(KekkaUmaNo), "
            "Kekka1TanAm, Kekka1FukAm, Kekka2FukAm, Kekka3FukAm, KekkaWakAm, KekkaUmaAm "
            "FROM D05981003 WHERE bango = ?1");
        st.bind(1, std::int64_t{race});
        if (!st.step()) return "gone";
        std::string out;
        for (int c = 0; c < st.columnCount(); ++c) out += (c ? "|" : "") + st.text(c);
        return out;
    }

    TempFolder folder;
};

TEST_F(ResultCommand, StoresThePlacesPairsAndPayoutsAndNamesTheHits) {
    const Outcome r = result("D05981003 1 --places 5,3,1 --payouts 450,150,320,210,1230,4560");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(stored(1), "5|3|1|'2 - 3'|'3 - 5'|450|150|320|210|1230|4560");
    EXPECT_EQ(r.out,
              "更新を受け付けました。\n"
              "１着  5  単賞 450  複勝 150\n"
              "２着  3  複勝 320\n"
              "３着  1  複勝 210\n"
              "枠連  2 - 3  1,230\n"
              "馬連  3 - 5  4,560\n"
              "的中: 翠嶺 (本命 5、買い目 3 - 5)\n"
              "的中: 碧渦 (本命 5、買い目 3 - 5)\n");
}

TEST_F(ResultCommand, EightRunnersStoreNoQuinellaAndMissingPayoutsStoreZero) {
    const Outcome r = result("D05981003 2 --places 3,5 --payouts 450,,320");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(stored(2), "3|5|0|'2 - 3'|' '|450|0|320|0|0|0");
}

TEST_F(ResultCommand, WrongArgumentsAreNamedAndChangeNothing) {
    struct Case {
        std::string args;
        int status;
        std::string says;
    };
    const std::vector<Case> cases = {
        {"D05981003 1", 2, "--places"},
        {"D05981003 13 --places 5,3,1", 2, "13 はレース番号ではありません"},
        {"D0598100 1 --places 5,3,1", 2, "D0598100 は開催の名前ではありません"},
        {"D05981003 1 --places 5,3,1,2", 2, "--places に 4 個の値が指定されました"},
        {"D05981003 1 --places 5,5", 2, "--places に馬番 5 が二度指定されています"},
        {"D05981003 1 --places 5,,1", 2, "--places の 2 番目の馬番が空です"},
        {"D05981003 1 --places 5,0", 2, "--places の 0 は馬番ではありません"},
        {"D05981003 1 --places 5,123", 2, "--places の 123 は馬番ではありません"},
        {"D05981003 1 --places 11,3", 2, "１着の馬番 11 は出走頭数 (10 頭) を超えています"},
        {"D05981003 1 --places 5,3 --payouts 1,2,3,4,5,6,7", 2, "--payouts に 7 個の値"},
        {"D05981003 1 --places 5,3 --payouts 4a", 2, "--payouts の 4a は金額ではありません"},
        {"D05981003 1 --places 5,3 --payouts 3000000000", 2,
         "単賞の払戻金 3,000,000,000 は記録できません"},
        {"D05981003 5 --places 5,3", 1, "D05981003 の 5R の出馬表データがありません"},
        {"D06981003 1 --places 5,3", 1, "D06981003 の 1R の出馬表データがありません"},
    };
    for (const Case& c : cases) {
        const Outcome r = result(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.out;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << c.args << "\n" << r.out;
        EXPECT_EQ(stored(1), "|||NULL|NULL||||||") << c.args;
    }
}

TEST_F(ResultCommand, WaitsForTheWindowProgram) {
    const InstanceLock window(folder.path());
    ASSERT_TRUE(window.acquired());
    const Outcome r = result("D05981003 1 --places 5,3,1");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("は別の Zelvanor が使用中です"), std::string::npos) << r.out;
    EXPECT_EQ(stored(1), "|||NULL|NULL||||||");
}

}  // namespace
