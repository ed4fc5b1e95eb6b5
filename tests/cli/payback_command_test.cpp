// zelvanor-cli payback: one meeting's payouts, picks, marks and totals.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "core/store/store.hpp"
#include "core/views/payback.hpp"
#include "race_result_fixture.hpp"
#include "shell_run.hpp"
#include "temp_folder.hpp"

namespace {

using namespace zelvanor;
using nlohmann::json;

// Race 1 of ten runners with its result (3 - 5, the first ticket of 翠嶺 and 碧渦), race 2 of
// eight without one.
class PaybackCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        Database tran(folder / "tran.mdb");
        const MeetingTables m = fixture::makeMeeting(tran, "05", "98", "10", "03");
        fixture::addResultField(tran, m, 1, 10);
        fixture::addResultField(tran, m, 2, 8);
        // Horse k of the field runs as horse number k (its code ends in k).
        tran.exec("UPDATE U05981003 SET WakuUmaNo = CAST(substr(umacode, 7, 2) AS INTEGER)");
        tran.exec(
            "UPDATE D05981003 SET Kekka1No = 5, Kekka2No = 3, Kekka3No = 1, KekkaWakNo = '2 - 3', "
            "KekkaUmaNo = '3 - 5', Kekka1TanAm = 450, Kekka1FukAm = 150, Kekka2FukAm = 320, "
            "Kekka3FukAm = 210, KekkaWakAm = 1230, KekkaUmaAm = 4560 WHERE bango = 1");
    }

    Outcome payback(const std::string& args) {
        return runCli("--data " + folder.path().string() + " payback " + args, true);
    }

    TempFolder folder;
};

TEST_F(PaybackCommand, JsonHoldsEveryCellTheWindowShows) {
    const Outcome r = payback("D05981003 --stakes weighted --races all --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    EXPECT_EQ(j.at("heading"), "98 年 東京 4 回 1 日目  10 月 3 日 （土曜日）");
    EXPECT_EQ(j.at("personas"), json({" 翠嶺", " 碧渦", " User"}));
    // Keys are the stored races.
    EXPECT_EQ(j.at("results").size(), 2u);
    EXPECT_EQ(j.at("results").at("1"), json({"5", "3", "1", "450", "150", "320", "210", "2 - 3",
                                             "1,230", "3 - 5", "4,560"}));
    EXPECT_EQ(j.at("results").at("2"), json({"", "", "", "", "", "", "", " ", "", " ", ""}));
    EXPECT_EQ(j.at("picks").at("1").size(), 3u);
    EXPECT_EQ(j.at("picks").at("1").at(0),
              json({"5", "3 - 5", "1 - 5", "2 - 5", "1 - 3", "2 - 3", "1 - 2"}));
    EXPECT_EQ(j.at("marks").at("1"), json({"的中1", "的中1", " "}));
    EXPECT_EQ(j.at("marks").at("2"), json({" ", " ", " "}));
    // One race counted; the first ticket weighs 3 of a 1,000-yen stake.
    EXPECT_EQ(j.at("totals"), json({{"100%", "100%", "0%"},
                                    {"450%", "450%", "0%"},
                                    {"100%", "100%", "0%"},
                                    {"1368%", "1368%", "0%"}}));

    // The same as the core gives.
    Database tran(folder / "tran.mdb");
    const auto sheet = readPayback(tran, meetingOf("D05981003"), "User");
    ASSERT_TRUE(sheet);
    const PaybackOptions options{PaybackStakes::Weighted, 6, PaybackRange::All, PaybackMarks::Pair};
    EXPECT_EQ(j.at("totals"), json(paybackTotals(*sheet, options)));
    EXPECT_EQ(j.at("picks").at("2"), json(sheet->races[1].picks));
}

TEST_F(PaybackCommand, TextShowsTheGridsAndTheOptions) {
    const Outcome r = payback("D05981003 --marks win --tickets 1");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("98 年 東京 4 回 1 日目  10 月 3 日 （土曜日）\n"), std::string::npos);
    EXPECT_NE(r.out.find("的中表示: 単勝"), std::string::npos);
    EXPECT_NE(r.out.find("１点買い"), std::string::npos);
    EXPECT_NE(r.out.find("１着単勝"), std::string::npos);
    EXPECT_NE(r.out.find("１２Ｒ"), std::string::npos);
    EXPECT_NE(r.out.find("連回収"), std::string::npos);
    // 単勝 marks: the first picks of 翠嶺 and 碧渦 won race 1.
    EXPECT_NE(r.out.find("的中  的中"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("的中1"), std::string::npos);
}

TEST(PaybackArguments, WrongInputIsRefusedBeforeTheDataFolderIsTouched) {
    TempFolder parent;
    const std::filesystem::path data = parent / "data";
    const struct {
        const char* args;
        const char* says;
    } cases[] = {
        {"D05981003 --tickets 2", "--tickets に指定された 2 は連勝の買い点数ではありません。"},
        {"D05981003 --stakes double",
         "--stakes に指定された double は連勝の買い方ではありません。"},
        {"D05981003 --races night", "--races に指定された night はレースの選択ではありません。"},
        {"D05981003 --marks both", "--marks に指定された both は的中表示ではありません。"},
        {"D15981003", "D15981003 は開催の名前ではありません。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const Outcome r =
            runCli("--data " + data.string() + " payback " + std::string(c.args), true);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(std::filesystem::exists(data));
    }
}

TEST_F(PaybackCommand, AMeetingNotStoredIsTold) {
    const Outcome r = payback("D08981003 --json");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "京都 98/10/03 の出馬表データがありません。\n");
    EXPECT_TRUE(r.out.empty());
}

}  // namespace
