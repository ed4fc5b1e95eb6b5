// zelvanor-cli horse: one runner's detail, the same as the window shows, found by race and number.

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>

#include "shell_run.hpp"
#include "temp_folder.hpp"

namespace {

class HorseCommandTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder = new TempFolder;
        TempFolder archives;
        const std::string gen = std::string(ZELVANOR_SAMPLE) + " --size meeting --seed 11 --out " +
                                archives.path().string() + " > /dev/null";
        ASSERT_EQ(std::system(gen.c_str()), 0);
        const auto a = [&](const char* name) { return " " + (archives / name).string(); };
        const Outcome imported = runCli(data() + " import" + a("kisi.lzh") + a("chok.lzh") +
                                        a("umaj.lzh") + a("sei1.lzh"));
        ASSERT_EQ(imported.status, 0) << imported.out;
        meeting = nlohmann::json::parse(runCli(data() + " meetings --json").out)[0]["meeting"];
    }
    static void TearDownTestSuite() { delete folder; }

    static std::string data() { return "--data " + folder->path().string(); }

    static TempFolder* folder;
    static std::string meeting;
};

TempFolder* HorseCommandTest::folder = nullptr;
std::string HorseCommandTest::meeting;

TEST_F(HorseCommandTest, ShowsTheRunnerOfTheCard) {
    const Outcome card = runCli(data() + " card " + meeting + " 11 --json", true);
    ASSERT_EQ(card.status, 0) << card.err;
    const auto runner = nlohmann::json::parse(card.out)["runners"][0];
    const std::string number = std::to_string(int(runner["number"]));

    const Outcome json = runCli(data() + " horse " + meeting + " 11 " + number + " --json", true);
    ASSERT_EQ(json.status, 0) << json.err;
    const auto horse = nlohmann::json::parse(json.out);
    EXPECT_EQ(horse["umacode"], runner["umacode"]);
    EXPECT_EQ(horse["name"], runner["name"]);
    EXPECT_EQ(horse["number"], number);
    EXPECT_EQ(horse["pastRaces"].size(), 5u);
    EXPECT_EQ(horse["pastRaces"][0]["caption"].get<std::string>().rfind("前走（", 0), 0u);
    EXPECT_EQ(horse["pastRaces"][0]["lines"].size(), 6u);
    EXPECT_EQ(horse["wetTrack"].get<std::string>().rfind("雨適正：", 0), 0u);
    EXPECT_NE(horse["prizeMoney"].get<std::string>().find("万"), std::string::npos);

    const Outcome text = runCli(data() + " horse " + meeting + " 11 " + number, true);
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find(horse["name"].get<std::string>()), std::string::npos) << text.out;
    EXPECT_NE(text.out.find(horse["sire"].get<std::string>()), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("本賞金 " + horse["prizeMoney"].get<std::string>()), std::string::npos);
    EXPECT_NE(text.out.find("５走前（"), std::string::npos) << text.out;
}

TEST_F(HorseCommandTest, WrongArgumentsAndMissingRunners) {
    // A place of race 11 that holds no runner.
    const auto runners =
        nlohmann::json::parse(runCli(data() + " card " + meeting + " 11 --json").out)["runners"];
    int empty = 18;
    while (empty > 1 && std::any_of(runners.begin(), runners.end(),
                                    [&](const auto& r) { return r["number"] == empty; })) {
        --empty;
    }
    ASSERT_LT(runners.size(), 18u) << "the sample's race 11 should leave a place empty";
    struct Case {
        std::string args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {" horse " + meeting + " 11 19", 2, "NUMBER に指定された 19 は馬番ではありません。"},
        {" horse " + meeting + " 11 x", 2, "NUMBER に指定された x は馬番ではありません。"},
        {" horse " + meeting + " 13 1", 2, "RACE に指定された 13 はレース番号ではありません。"},
        {" horse D05991231 1 1", 1, "D05991231 の出馬表データがありません。"},
        {" horse " + meeting + " 11 " + std::to_string(empty), 1, " 番の馬はいません。"},
    };
    for (const Case& c : cases) {
        const Outcome r = runCli(data() + c.args, true);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
}

}  // namespace
