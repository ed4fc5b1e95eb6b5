// zelvanor-cli jockeys / trainers / jockey N / trainer N: the lists and the records as the
// information windows show them.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "shell_run.hpp"
#include "temp_folder.hpp"

namespace {

class PeopleCommandTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder = new TempFolder;
        TempFolder archives;
        const std::string gen = std::string(ZELVANOR_SAMPLE) + " --size meeting --seed 11 --out " +
                                archives.path().string() + " > /dev/null";
        ASSERT_EQ(std::system(gen.c_str()), 0);
        const Outcome imported = runCli(data() + " import " + (archives / "kisi.lzh").string() +
                                        " " + (archives / "chok.lzh").string());
        ASSERT_EQ(imported.status, 0) << imported.out;
    }
    static void TearDownTestSuite() { delete folder; }

    static std::string data() { return "--data " + folder->path().string(); }

    static TempFolder* folder;
};

TempFolder* PeopleCommandTest::folder = nullptr;

TEST_F(PeopleCommandTest, ListAndRecordAgree) {
    for (const std::string kind : {"jockey", "trainer"}) {
        const Outcome list = runCli(data() + " " + kind + "s --json", true);
        ASSERT_EQ(list.status, 0) << list.err;
        const auto items = nlohmann::json::parse(list.out);
        ASSERT_GT(items.size(), 2u);
        const auto& second = items[1];
        EXPECT_EQ(second["record"], 2);
        EXPECT_EQ(second["item"], second["code"].get<std::string>() + "  :  " +
                                      second["name"].get<std::string>());

        const Outcome shown = runCli(data() + " " + kind + " 2 --json", true);
        ASSERT_EQ(shown.status, 0) << shown.err;
        const auto p = nlohmann::json::parse(shown.out);
        EXPECT_EQ(p["record"], 2);
        EXPECT_EQ(p["code"], second["code"].get<std::string>() + " ");
        EXPECT_EQ(p["name"], second["name"].get<std::string>() + " ");
        EXPECT_EQ(p["results"]["flat"]["columns"],
                  (nlohmann::json{"１ 着", "２ 着", "３ 着", "着 外", "合 計", "連 率"}));
        EXPECT_EQ(p["results"]["flat"]["rows"][2]["heading"], "累計");
        EXPECT_EQ(p["results"]["jump"]["rows"][0]["cells"].size(), 6u);
        EXPECT_EQ(p["courses"]["jump"]["lastYear"]["rows"].size(), 11u);
        // 札幌 holds no jump counts: a blank row.
        EXPECT_EQ(p["courses"]["jump"]["thisYear"]["rows"][0]["cells"],
                  (nlohmann::json{"", "", "", "", "", ""}));
        EXPECT_EQ(p["gradedWins"]["rows"].size(), 3u);
        EXPECT_EQ(p["createdOn"].get<std::string>().rfind("データ作成年月日 ： 19", 0), 0u);
        EXPECT_EQ(p.contains("distances"), kind == "jockey");
        EXPECT_EQ(p.contains("affiliation"), kind == "jockey");

        const Outcome text = runCli(data() + " " + kind + " 2", true);
        ASSERT_EQ(text.status, 0) << text.err;
        EXPECT_NE(text.out.find(p["createdOn"].get<std::string>()), std::string::npos);
    }
}

TEST_F(PeopleCommandTest, WrongNumbersAndMissingFiles) {
    const struct {
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        {"jockey 0", 2, "N に指定された 0 はレコード番号ではありません。"},
        {"trainer x1", 2, "N に指定された x1 はレコード番号ではありません。"},
        {"jockey 99999", 1, "騎手のレコード 99999 はありません。"},
    };
    for (const auto& c : cases) {
        const Outcome r = runCli(data() + " " + c.args, true);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
    TempFolder empty;
    const Outcome none = runCli("--data " + empty.path().string() + " trainers", true);
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err,
              "現役調教師のデータがありません。\nＪＲＡ－ＶＡＮより現役調教師のデータを取得して"
              "Ｚｅｌｖａｎｏｒに取込んでください。\n");
}

}  // namespace
