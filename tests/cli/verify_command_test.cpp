// zelvanor-cli verify: the rate tables as JSON and text, and arguments refused before anything
// is opened.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "core/store/store.hpp"
#include "core/views/verification.hpp"
#include "race_result_fixture.hpp"
#include "shell_run.hpp"
#include "temp_folder.hpp"

namespace {

using namespace zelvanor;

// 東京 98/10/03 races 1 (10 runners) and 2 (8 runners) with results: horse 5 wins, horse 3
// second, the bracket quinella 2 - 3 pays 1230 and the quinella 3 - 5 4560.
class VerifyCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        Database tran(folder / "tran.mdb");
        const MeetingTables m = fixture::makeMeeting(tran, "05", "98", "10", "03");
        fixture::addResultField(tran, m, 1, 10);
        fixture::addResultField(tran, m, 2, 8);
        // Horse numbers from the codes, brackets as the fixture's runner entries give them.
        tran.exec(
            "UPDATE U05981003 SET WakuUmaNo = CAST(substr(umacode, 7, 2) AS INTEGER), "
            "WakuNo = CAST(substr('1223345678', CAST(substr(umacode, 7, 2) AS INTEGER), 1) AS "
            "INTEGER)");
        tran.exec(
            "UPDATE D05981003 SET Kekka1No = 5, Kekka2No = 3, Kekka3No = 1, Kekka1TanAm = 450, "
            "Kekka1FukAm = 150, Kekka2FukAm = 320, Kekka3FukAm = 210, KekkaWakNo = '2 - 3', "
            "KekkaWakAm = 1230, KekkaUmaNo = '3 - 5', KekkaUmaAm = 4560");
    }

    Outcome verify(const std::string& args) {
        return runCli("--data " + folder.path().string() + " verify " + args, true);
    }

    TempFolder folder;
};

TEST_F(VerifyCommand, JsonCarriesTheWindowsCellsInPersonaAndBetOrder) {
    const Outcome r = verify("--json");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const auto json = nlohmann::json::parse(r.out);

    Database tran(folder / "tran.mdb");
    const Verification v = runVerification(tran, "User", VerificationConditions{});
    ASSERT_EQ(v.totals.races, 2);
    EXPECT_EQ(json.size(), 5u);
    EXPECT_EQ(json.at("meetings"), 1);
    EXPECT_EQ(json.at("races"), 2);
    EXPECT_EQ(json.at("personas"), nlohmann::json({" 翠嶺", " 碧渦", " User"}));
    EXPECT_EQ(json.at("hit"), nlohmann::json(v.hitRates));
    EXPECT_EQ(json.at("return"), nlohmann::json(v.returnRates));
    // 翠嶺 picks horse 5, the winner, in both races.
    EXPECT_EQ(json.at("hit")[0][0], "100%");
    EXPECT_EQ(json.at("return")[0][0], "450%");
}

TEST_F(VerifyCommand, TextShowsTheCountsAndBothTables) {
    const Outcome r = verify("--courses 05,08 --select 0");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("該当開催数  1\n該当レース数  2\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("的中率\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("回収率\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" 単勝   複勝   枠連   馬連"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" 翠嶺   100%"), std::string::npos) << r.out;
}

TEST_F(VerifyCommand, NoRaceTellsSoAndLeavesTheCellsBlank) {
    const Outcome r = verify("--select 5 --races 3,7 --json");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "該当する開催のレースがありませんでした。条件を設定し直してください。\n");
    const auto json = nlohmann::json::parse(r.out);
    EXPECT_EQ(json.at("meetings"), 1);
    EXPECT_EQ(json.at("races"), 0);
    EXPECT_EQ(json.at("hit")[2][3], "");
    EXPECT_EQ(json.at("return")[0][0], "");
}

TEST(VerifyArguments, WrongOnesAreRefusedBeforeTheDataFolderIsTouched) {
    const struct {
        const char* args;
        const char* message;
    } cases[] = {
        {"--courses 11", "11 は競馬場のコード (01～10) ではありません。"},
        {"--courses 5", "5 は競馬場のコード (01～10) ではありません。"},
        {"--courses 01,x", "x は競馬場のコード (01～10) ではありません。"},
        {"--select 10", "--select に指定された 10 は選択の条件ではありません。"},
        {"--select -1", "--select"},
        {"--select 5 --races 13", "--races に指定された 13 はレース番号ではありません。"},
        {"--select 5 --races 0", "--races に指定された 0 はレース番号ではありません。"},
        {"--races 3", "--races は --select 5 (レース番号で選ぶ) と一緒に指定してください"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        TempFolder parent;
        const auto data = parent / "data";
        const Outcome r = runCli("--data " + data.string() + " verify " + c.args, true);
        EXPECT_EQ(r.status, 2) << r.out << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(data));
    }
}

}  // namespace
