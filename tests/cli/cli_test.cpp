// zelvanor-cli as a user runs it: generated archives in, race cards out.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "temp_folder.hpp"

namespace {

struct Outcome {
    int status;
    std::string out;
};

Outcome run(const std::string& args) {
    const std::string command = std::string(ZELVANOR_CLI) + " " + args + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    Outcome r{-1, {}};
    if (!pipe) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
    const int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class CliTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        archives = new TempFolder;
        const std::string gen = std::string(ZELVANOR_SAMPLE) + " --size meeting --seed 11 --out " +
                                archives->path().string() + " > /dev/null";
        ASSERT_EQ(std::system(gen.c_str()), 0);
    }
    static void TearDownTestSuite() { delete archives; }

    std::string data() const { return "--data " + folder.path().string(); }
    std::string archive(const char* name) const { return (archives->path() / name).string(); }
    Outcome importAll() {
        return run(data() + " import " + archive("umaj.lzh") + " " + archive("sei1.lzh") + " " +
                   archive("kisi.lzh") + " " + archive("chok.lzh"));
    }

    static TempFolder* archives;
    TempFolder folder;
};

TempFolder* CliTest::archives = nullptr;

TEST_F(CliTest, ImportsEveryArchiveInOrderAndPrintsTheCards) {
    const Outcome imported = importAll();
    ASSERT_EQ(imported.status, 0) << imported.out;
    // Jockeys and trainers before the race cards that refer to them, results last.
    const auto kisi = imported.out.find("JRA#KISI.DAT のデータコンバートが終了しました。");
    const auto chok = imported.out.find("JRA#CHOK.DAT のデータコンバートが終了しました。");
    const auto cards = imported.out.find("出馬表・競走馬データの取込が終了しました。");
    const auto results = imported.out.find("成績データの取込が終了しました。");
    ASSERT_NE(results, std::string::npos) << imported.out;
    EXPECT_LT(kisi, chok);
    EXPECT_LT(chok, cards);
    EXPECT_LT(cards, results);

    const Outcome meetings = run(data() + " meetings --json");
    ASSERT_EQ(meetings.status, 0) << meetings.out;
    const auto list = nlohmann::json::parse(meetings.out);
    ASSERT_EQ(list.size(), 1u);
    const std::string meeting = list[0]["meeting"];
    EXPECT_EQ(list[0]["races"], 12);

    const Outcome card = run(data() + " card " + meeting + " --json");
    ASSERT_EQ(card.status, 0) << card.out;
    const auto races = nlohmann::json::parse(card.out);
    ASSERT_EQ(races.size(), 12u);
    int verdicts = 0;
    for (const auto& race : races) {
        ASSERT_EQ(race["personas"].size(), 3u);
        EXPECT_EQ(race["personas"][0]["name"], "翠嶺");
        EXPECT_EQ(race["personas"][2]["name"], "User");
        const auto& runners = race["runners"];
        EXPECT_GE(runners.size(), 5u);
        // Every marked runner is ranked, and ◎ goes to 翠嶺's first.
        const int first = race["personas"][0]["ranking"][0]["number"];
        EXPECT_EQ(runners[first - 1]["marks"][0], "◎");
        EXPECT_NE(race["result"]["placed"][0], 0);
        if (race["verdict"] != "") ++verdicts;
    }
    EXPECT_GT(verdicts, 6);

    const Outcome text = run(data() + " card " + meeting + " 11");
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("11Ｒ"), std::string::npos);
    EXPECT_NE(text.out.find("買い目:"), std::string::npos);
    EXPECT_NE(text.out.find("見解:"), std::string::npos);
}

TEST_F(CliTest, GoingOptionsRecomputeAndDelete) {
    ASSERT_EQ(importAll().status, 0);
    const std::string meeting =
        nlohmann::json::parse(run(data() + " meetings --json").out)[0]["meeting"];
    auto raceOne = [&] {
        return nlohmann::json::parse(run(data() + " card " + meeting + " 1 --json").out);
    };

    EXPECT_EQ(run(data() + " going " + meeting + " heavy").status, 0);
    EXPECT_EQ(raceOne()["going"], "重");
    EXPECT_EQ(run(data() + " going " + meeting + " soft").status, 2);

    const auto before = raceOne()["runners"];
    const Outcome options = run(data() + " options --weights 0,3,1,2,0,2,3 --name 翠");
    ASSERT_EQ(options.status, 0) << options.out;
    EXPECT_NE(options.out.find("名前: 翠"), std::string::npos);
    EXPECT_EQ(run(data() + " options --weights 0,3,1,2,0,2,9").status, 2);
    EXPECT_EQ(run(data() + " options --name ABC").status, 2);
    EXPECT_EQ(run(data() + " recompute " + meeting).status, 0);
    const auto after = raceOne();
    EXPECT_EQ(after["personas"][2]["name"], "翠");
    // The third persona's values follow the new weights; the others do not depend on them.
    bool changed = false;
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(before[i]["index"], after["runners"][i]["index"]);
        changed = changed || before[i]["anaIndex"] != after["runners"][i]["anaIndex"];
    }
    EXPECT_TRUE(changed);
    EXPECT_EQ(run(data() + " recompute --courses 05,99").status, 2);
    const Outcome byCourse = run(data() + " recompute --courses 01,05");
    EXPECT_EQ(byCourse.status, 0) << byCourse.out;
    EXPECT_NE(byCourse.out.find("(1 開催、12 レース)"), std::string::npos) << byCourse.out;

    EXPECT_EQ(run(data() + " delete " + meeting).status, 0);
    EXPECT_EQ(nlohmann::json::parse(run(data() + " meetings --json").out).size(), 0u);
    EXPECT_EQ(run(data() + " delete " + meeting).status, 1);
}

TEST_F(CliTest, BadInputChangesNothing) {
    ASSERT_EQ(importAll().status, 0);
    const std::string before = run(data() + " meetings").out;
    const std::string lha = ZELVANOR_TEST_DATA "/lha/";
    const struct {
        std::string args;
        int status;
    } cases[] = {
        {"import " + lha + "not_archive.txt", 2},
        {"import " + lha + "bad_crc.lzh", 1},
        {"import /nonexistent/kisi.lzh", 2},
        {"card \"D05'; DROP TABLE x; --\"", 1},
        {"card D99990101", 1},
    };
    for (const auto& c : cases) {
        const Outcome r = run(data() + " " + c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.out;
        EXPECT_FALSE(r.out.empty()) << c.args;  // always says why
    }
    EXPECT_EQ(run(data() + " meetings").out, before);
}

}  // namespace
