// zelvanor-cli as a user runs it: generated archives in, race cards out.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "core/records/display_width.hpp"
#include "core/shell/instance_lock.hpp"
#include "shell_run.hpp"
#include "core/store/store.hpp"
#include "temp_folder.hpp"

namespace {

Outcome run(const std::string& args) {
    return runCli(args);
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
    // Imports the archives and returns the meeting they hold.
    std::string importedMeeting() {
        const Outcome imported = importAll();
        EXPECT_EQ(imported.status, 0) << imported.out;
        const auto list = nlohmann::json::parse(run(data() + " meetings --json").out);
        return list.empty() ? std::string() : std::string(list[0]["meeting"]);
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
    // The default name, four half-width characters, is kept when only the weights change.
    const Outcome weightsOnly = run(data() + " options --weights 2,2,2,2,1,1,0");
    EXPECT_EQ(weightsOnly.status, 0) << weightsOnly.out;
    EXPECT_NE(weightsOnly.out.find("名前: User"), std::string::npos) << weightsOnly.out;
    EXPECT_EQ(run(data() + " going " + meeting + " soft").status, 2);

    const auto before = raceOne()["runners"];
    const Outcome options = run(data() + " options --weights 0,3,1,2,0,2,3 --name 翠");
    ASSERT_EQ(options.status, 0) << options.out;
    EXPECT_NE(options.out.find("名前: 翠"), std::string::npos);
    EXPECT_NE(options.out.find("左右の得意・不得意"), std::string::npos) << options.out;
    EXPECT_NE(options.out.find("調教師のコース連帯率"), std::string::npos) << options.out;
    // The stored predictions were made with the old weights: the user is told how to redo them.
    EXPECT_NE(options.out.find("保存されている 1 開催の予想は変更前の重み"), std::string::npos)
        << options.out;
    EXPECT_NE(options.out.find("recompute"), std::string::npos);
    // Neither showing the options nor a new name makes stored predictions stale.
    for (const char* args : {" options", " options --name 翠"}) {
        const Outcome again = run(data() + args);
        EXPECT_EQ(again.status, 0) << again.out;
        EXPECT_EQ(again.out.find("recompute"), std::string::npos) << args << "\n" << again.out;
    }
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

// The user's way to keep results typed in by hand: check the databases, copy them, and the
// copies are sound databases with the same meetings.
TEST_F(CliTest, CheckAndBackup) {
    const std::string meeting = importedMeeting();
    ASSERT_FALSE(meeting.empty());
    const Outcome checked = run(data() + " check");
    EXPECT_EQ(checked.status, 0) << checked.out;
    EXPECT_NE(checked.out.find("mast.mdb は正常です"), std::string::npos) << checked.out;
    EXPECT_NE(checked.out.find("tran.mdb は正常です"), std::string::npos) << checked.out;

    TempFolder elsewhere;
    const std::string target = (elsewhere.path() / "copies").string();
    const Outcome copied = runCli(data() + " backup --json " + target, true);
    ASSERT_EQ(copied.status, 0) << copied.out << copied.err;
    const auto report = nlohmann::json::parse(copied.out);
    EXPECT_EQ(report["folder"], target);
    ASSERT_EQ(report["files"].size(), 2u);
    EXPECT_EQ(report["files"][1]["file"], "tran.mdb");
    EXPECT_EQ(report["files"][1]["path"], target + "/tran.mdb");
    EXPECT_TRUE(report["files"][1]["bytes"].is_number_unsigned());
    EXPECT_EQ(report["files"][1]["bytes"],
              std::filesystem::file_size(elsewhere.path() / "copies" / "tran.mdb"));

    const auto copy = nlohmann::json::parse(run("--data " + target + " check --json").out);
    ASSERT_EQ(copy.size(), 2u);
    EXPECT_EQ(copy[1]["state"], "sound");
    EXPECT_TRUE(copy[1]["findings"].empty());
    EXPECT_EQ(run("--data " + target + " meetings").out, run(data() + " meetings").out);
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
        {"card \"D05'; DROP TABLE x; --\"", 2},
        {"card D99990101", 2},
        {"card D05990101", 1},
    };
    for (const auto& c : cases) {
        const Outcome r = run(data() + " " + c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.out;
        EXPECT_FALSE(r.out.empty()) << c.args;  // always says why
    }
    EXPECT_EQ(run(data() + " meetings").out, before);
}

TEST_F(CliTest, WrongArgumentsAreNamedInJapaneseAndChangeNothing) {
    const std::string meeting = importedMeeting();
    ASSERT_FALSE(meeting.empty());
    const std::string before = run(data() + " card " + meeting + " --json").out;
    const std::string file = (folder.path() / "mast.mdb").string();
    const struct {
        std::string args;
        int status;
        std::string says;
    } cases[] = {
        {"", 2, "コマンドを指定してください"},
        {"frobnicate", 2, "frobnicate というコマンドはありません"},
        {"--frob meetings", 2, "--frob というオプションはありません"},
        {"meetings 981004", 2, "余分な引数があります: 981004"},
        {"card", 2, "card には MEETING"},
        {"card --jsn " + meeting, 2, "--jsn というオプションはありません"},
        {"import", 2, "import には FILE"},
        {"going " + meeting, 2, "going には GOING"},
        {"going " + meeting + " soft", 2, "soft は馬場の状態ではありません"},
        {"card " + meeting + " 13", 2, "13 はレース番号ではありません"},
        {"card " + meeting + " 11R", 2, "11R はレース番号ではありません"},
        {"card " + meeting + " 0", 2, "0 はレース番号ではありません"},
        {"card 981004", 2, "981004 は開催の名前ではありません"},
        {"card D11981003", 2, "D11981003 は開催の名前ではありません"},
        {"card \"D05'; DROP TABLE x; --\"", 2, "は開催の名前ではありません"},
        {"delete D05981332", 2, "981332 (YYMMDD) はありえない日付"},
        {"going D05980229 heavy", 2, "980229 (YYMMDD) はありえない日付"},
        {"recompute", 2, "--courses を指定してください"},
        {"recompute " + meeting + " D05981003x", 2, "D05981003x は開催の名前ではありません"},
        {"recompute --courses 05,99", 2, "99 は競馬場のコード"},
        {"options --weights a,1,1,1,1,1,1", 2, "1 番目の値 a は重みではありません"},
        {"options --weights 1,1", 2, "--weights に 2 個の値"},
        {"options --weights", 2, "--weights の値の数が正しくありません"},
        {"options --name ABC", 2, "--name: 名前は 2 文字まで"},
        {"options --name \"$(printf 'A\\377')\"", 2, "--name: 名前に文字として読めないバイト"},
        {"card D05990101", 1, "D05990101 の出馬表データがありません"},
    };
    for (const auto& c : cases) {
        const Outcome r = run(data() + " " + c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.out;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << c.args << "\n" << r.out;
        EXPECT_EQ(r.out.find("rror"), std::string::npos) << c.args << "\n" << r.out;
    }
    EXPECT_EQ(run(data() + " card " + meeting + " --json").out, before);

    // A data folder that is a file, or lies under one.
    const Outcome notFolder = run("--data " + file + " meetings");
    EXPECT_EQ(notFolder.status, 2) << notFolder.out;
    EXPECT_NE(notFolder.out.find(file + " はフォルダではありません"), std::string::npos)
        << notFolder.out;
    const Outcome underFile = run("--data " + file + "/sub meetings");
    EXPECT_EQ(underFile.status, 1) << underFile.out;
    EXPECT_NE(underFile.out.find(file + "/sub"), std::string::npos) << underFile.out;
    EXPECT_EQ(underFile.out.find("filesystem error"), std::string::npos) << underFile.out;
}

TEST_F(CliTest, HelpAndVersion) {
    const Outcome version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "zelvanor-cli 0.1.0\n");
    const struct {
        const char* args;
        const char* shows;
    } helps[] = {{"--help", "recompute"}, {"card --help", "MEETING"}, {"card --help", "使い方"}};
    for (const auto& h : helps) {
        const Outcome help = run(h.args);
        EXPECT_EQ(help.status, 0) << h.args;
        EXPECT_NE(help.out.find(h.shows), std::string::npos) << h.args << "\n" << help.out;
    }
}

TEST_F(CliTest, ADataFolderThatDoesNotExistYetIsMade) {
    const auto fresh = folder.path() / "new" / "zdata";
    const Outcome imported = run("--data " + fresh.string() + " import " + archive("kisi.lzh"));
    EXPECT_EQ(imported.status, 0) << imported.out;
    EXPECT_TRUE(std::filesystem::exists(fresh / "mast.mdb"));
}

// What the window program holds for its whole life.
TEST_F(CliTest, WritersWaitForTheWindowProgramAndReadersDoNot) {
    const std::string meeting = importedMeeting();
    ASSERT_FALSE(meeting.empty());
    const std::string card = run(data() + " card " + meeting + " --json").out;
    const std::string options = run(data() + " options").out;
    {
        const zelvanor::InstanceLock window(folder.path());
        ASSERT_TRUE(window.acquired());
        const std::string writers[] = {
            "import " + archive("kisi.lzh"),   "recompute " + meeting, "recompute --courses 05",
            "going " + meeting + " heavy",     "delete " + meeting,    "init",
            "options --weights 0,0,0,0,0,0,0", "options --name 翠",
        };
        for (const auto& args : writers) {
            const Outcome r = run(data() + " " + args);
            EXPECT_EQ(r.status, 1) << args << "\n" << r.out;
            EXPECT_NE(r.out.find("データフォルダ " + folder.path().string() +
                                 " は別の Zelvanor が使用中です"),
                      std::string::npos)
                << args << "\n"
                << r.out;
        }
        EXPECT_EQ(run(data() + " card " + meeting + " --json").out, card);
        EXPECT_EQ(run(data() + " options").out, options);
        for (const std::string& args :
             std::vector<std::string>{"meetings", "card " + meeting + " 1", "tables", "options"}) {
            const Outcome r = run(data() + " " + args);
            EXPECT_EQ(r.status, 0) << args << "\n" << r.out;
        }
    }
    EXPECT_EQ(run(data() + " going " + meeting + " heavy").status, 0);
}

TEST_F(CliTest, StoredBytesThatAreNotTextDoNotBreakTheOutput) {
    const std::string meeting = importedMeeting();
    ASSERT_FALSE(meeting.empty());
    const std::string garbage = "\xFF\xFE\x81";
    {
        zelvanor::Database mast(folder.path() / "mast.mdb");
        mast.prepare("UPDATE \"定数\" SET UserName = ?1 WHERE ID = 1").bind(1, garbage).run();
        zelvanor::Database tran(folder.path() / "tran.mdb");
        // A runner slot of race 1, and every horse name of the meeting.
        tran.prepare("UPDATE \"" + meeting + "\" SET uma2 = ?1 WHERE bango = 1")
            .bind(1, "3" + garbage + garbage + garbage)
            .run();
        tran.prepare("UPDATE \"U" + meeting.substr(1) + "\" SET bamei = ?1")
            .bind(1, "A" + garbage)
            .run();
    }
    const Outcome json = run(data() + " card " + meeting + " --json");
    ASSERT_EQ(json.status, 0) << json.out;
    const auto races = nlohmann::json::parse(json.out);
    EXPECT_EQ(races[0]["personas"][2]["name"], "\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(races[0]["runners"][0]["name"], "A\uFFFD\uFFFD\uFFFD");
    for (const std::string& args :
         std::vector<std::string>{"card " + meeting + " 1", "options", "meetings --json"}) {
        const Outcome r = run(data() + " " + args);
        EXPECT_EQ(r.status, 0) << args << "\n" << r.out;
        EXPECT_TRUE(zelvanor::isWellFormedUtf8(r.out)) << args;
    }

    // Weights alone would write the stored name back; the user is asked for a new one.
    const Outcome weights = run(data() + " options --weights 1,1,1,1,1,1,1");
    EXPECT_EQ(weights.status, 1) << weights.out;
    EXPECT_NE(weights.out.find("--name で名前も指定してください"), std::string::npos)
        << weights.out;
    EXPECT_TRUE(zelvanor::isWellFormedUtf8(weights.out));
    EXPECT_EQ(run(data() + " options --weights 1,1,1,1,1,1,1 --name 翠").status, 0);
}

// Splits the text cards into their runner tables: the header line and the lines below it up to
// the first blank one.
std::vector<std::vector<std::string>> runnerTables(const std::string& text) {
    std::vector<std::vector<std::string>> tables;
    std::istringstream in(text);
    std::string line;
    bool inTable = false;
    while (std::getline(in, line)) {
        if (line.rfind("枠", 0) == 0) {
            tables.emplace_back();
            inTable = true;
        }
        if (line.empty()) inTable = false;
        if (inTable) tables.back().push_back(line);
    }
    return tables;
}

TEST_F(CliTest, EveryRowOfACardHasTheSameWidth) {
    const std::string meeting = importedMeeting();
    ASSERT_FALSE(meeting.empty());
    const Outcome text = run(data() + " card " + meeting);
    ASSERT_EQ(text.status, 0) << text.out;
    const auto tables = runnerTables(text.out);
    ASSERT_EQ(tables.size(), 12u) << text.out;
    bool crossShown = false;
    for (const auto& table : tables) {
        ASSERT_GT(table.size(), 5u);
        const std::size_t width = zelvanor::displayWidth(table[0]);
        for (const auto& row : table) {
            EXPECT_EQ(zelvanor::displayWidth(row), width) << "\n" << table[0] << "\n" << row;
            crossShown = crossShown || row.find("×") != std::string::npos;
        }
    }
    EXPECT_TRUE(crossShown);  // the mark that used to shift its row
}

}  // namespace
