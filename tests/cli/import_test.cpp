// zelvanor-cli import on damaged, odd and partial input: exit statuses, messages and reports.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "archive_fixture.hpp"
#include "shell_run.hpp"
#include "temp_folder.hpp"

namespace {

namespace fs = std::filesystem;
using zelvanor::fixture::readBytes;
using zelvanor::fixture::writeBytes;

// stdout and stderr apart: --json promises its stdout to programs.
Outcome run(const std::string& args) {
    return runCli(args, true);
}

std::string quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

class ImportCliTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        sample = new TempFolder;
        for (const char* size : {"meeting", "weekend"}) {
            fs::create_directory(*sample / size);
            const std::string gen = std::string(ZELVANOR_SAMPLE) + " --size " + size +
                                    " --seed 11 --out " + (*sample / size).string() +
                                    " > /dev/null";
            ASSERT_EQ(std::system(gen.c_str()), 0);
        }
    }
    static void TearDownTestSuite() { delete sample; }

    static fs::path meeting(const char* name) { return *sample / "meeting" / name; }
    Outcome import(const std::string& files) {
        return run("--data " + quoted(data.path()) + " import " + files);
    }
    int meetingCount() {
        const Outcome r = run("--data " + quoted(data.path()) + " meetings --json");
        return r.status == 0 ? static_cast<int>(nlohmann::json::parse(r.out).size()) : -1;
    }

    static TempFolder* sample;
    TempFolder data;
    TempFolder inputs;
};

TempFolder* ImportCliTest::sample = nullptr;

TEST_F(ImportCliTest, DamagedArchiveFailsNamingItAndImportsNothing) {
    const std::string sound = readBytes(meeting("umaj.lzh"));
    const std::size_t second = zelvanor::fixture::secondHeaderAt(sound);
    const fs::path cut = inputs / "cut umaj.lzh";
    writeBytes(cut, sound.substr(0, second + 12));

    const Outcome r = import(quoted(cut));
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(r.err.find("#:32791"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(cut.string() + " は壊れているか、途中で切れています。"), std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(data / "JRA#UMAJ.DAT"));
    EXPECT_EQ(meetingCount(), 0);
}

TEST_F(ImportCliTest, InputThatIsNoRegularFileIsWrongInputSaidAsSuch) {
    const fs::path fifo = inputs / "JRA#KISI.DAT";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path folder = inputs / "umaj.lzh";
    fs::create_directory(folder);
    const struct {
        fs::path input;
        std::string says;
    } cases[] = {
        {fifo, " は名前付きパイプで、通常のファイルではありません。"},
        {folder, " はフォルダで、ファイルではありません。"},
        {inputs / "absent.lzh", " がありません。"},
    };
    for (const auto& c : cases) {
        const Outcome r = import(quoted(c.input));
        EXPECT_EQ(r.status, 2) << c.input;
        EXPECT_EQ(r.err, c.input.string() + c.says + "\n");
    }
}

TEST_F(ImportCliTest, RecordFileGivenOnItsOwnNeverWritesThroughALinkOrFailsInEnglish) {
    const fs::path elsewhere = inputs / "elsewhere.txt";
    writeBytes(elsewhere, "not to be touched");
    fs::create_symlink(elsewhere, data / "JRA#KISI.DAT.part");
    Outcome r = import(quoted(meeting("JRA#KISI.DAT")));
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(readBytes(elsewhere), "not to be touched");
    EXPECT_EQ(readBytes(data / "JRA#KISI.DAT"), readBytes(meeting("JRA#KISI.DAT")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(data / "JRA#KISI.DAT.part")));

    // A folder where the record file goes cannot be replaced: said in Japanese, naming it.
    fs::create_directory(data / "JRA#CHOK.DAT");
    r = import(quoted(meeting("JRA#CHOK.DAT")));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find((data / "JRA#CHOK.DAT").string() + " に書き込めません。"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("filesystem error"), std::string::npos) << r.err;
}

TEST_F(ImportCliTest, JsonReportHasAnObjectPerFileAndTheMissingMembers) {
    const fs::path horsesOnly = inputs / "horses.lzh";
    writeBytes(horsesOnly, zelvanor::fixture::lhaArchive(
                               {{"JRA#UMAJ.DAT", readBytes(meeting("JRA#UMAJ.DAT"))}}));
    const Outcome r = import("--json " + quoted(meeting("kisi.lzh")) + " " + quoted(horsesOnly));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto reports = nlohmann::json::parse(r.out);  // stdout holds the JSON alone
    ASSERT_EQ(reports.size(), 3u) << r.out;
    EXPECT_EQ(reports[0]["source"], meeting("kisi.lzh").string());
    EXPECT_EQ(reports[0]["file"], "JRA#KISI.DAT");
    EXPECT_EQ(reports[0]["read"], 60);
    EXPECT_EQ(reports[0]["stored"], 60);
    EXPECT_EQ(reports[0]["missing"], false);
    EXPECT_EQ(reports[1]["file"], "JRA#UMAJ.DAT");
    EXPECT_EQ(reports[1]["notes"].size(), 1u);
    EXPECT_EQ(reports[2]["source"], horsesOnly.string());
    EXPECT_EQ(reports[2]["file"], "JRA#DEN1.DAT");
    EXPECT_EQ(reports[2]["missing"], true);
    EXPECT_NE(r.err.find("JRA#KISI.DAT のデータコンバートが終了しました。"), std::string::npos);

    // Without --json the same report follows each file's messages.
    const Outcome text = import(quoted(meeting("kisi.lzh")));
    EXPECT_NE(text.out.find("JRA#KISI.DAT のデータコンバートが終了しました。\n"
                            "JRA#KISI.DAT: 読込 60件 / 登録 60件"),
              std::string::npos)
        << text.out;
}

// The horse file and the race card file given as two files are one import: the report tells what
// became of each, and no file given is said to be missing.
TEST_F(ImportCliTest, HorseAndRaceCardFilesGivenApartAreImportedTogether) {
    const fs::path horses = inputs / "JRA#UMAJ.DAT";
    const fs::path cards = inputs / "jra#den1.dat";
    fs::copy_file(meeting("JRA#UMAJ.DAT"), horses);
    fs::copy_file(meeting("JRA#DEN1.DAT"), cards);
    const Outcome r = import("--json " + quoted(horses) + " " + quoted(cards));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto reports = nlohmann::json::parse(r.out);
    ASSERT_EQ(reports.size(), 2u) << r.out;
    EXPECT_EQ(reports[0]["file"], "JRA#UMAJ.DAT");
    EXPECT_EQ(reports[0]["source"], horses.string());
    EXPECT_EQ(reports[1]["file"], "JRA#DEN1.DAT");
    EXPECT_EQ(reports[1]["source"], cards.string());
    for (const auto& report : reports) {
        EXPECT_GT(report["stored"], 0) << report;
        EXPECT_TRUE(report["notes"].empty()) << report;
        EXPECT_EQ(report["missing"], false);
    }
    EXPECT_EQ(r.err.find("ありません"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("がないため"), std::string::npos) << r.err;
    EXPECT_EQ(meetingCount(), 1);
}

TEST_F(ImportCliTest, ResultsStoppedPartWayExitThreeAndNeverSayNothingChanged) {
    ASSERT_EQ(import(quoted(meeting("umaj.lzh"))).status, 0);
    // The meeting's results, then a weekend's: the first meeting without a race card stops the
    // import after the meeting's results were stored.
    const fs::path results = inputs / "JRA#SEI1.DAT";
    writeBytes(results, readBytes(meeting("JRA#SEI1.DAT")) +
                            readBytes(*sample / "weekend" / "JRA#SEI1.DAT"));
    const Outcome r = import(quoted(results));
    EXPECT_EQ(r.status, 3) << r.out << r.err;
    EXPECT_EQ((r.out + r.err).find("取り込む前のまま"), std::string::npos) << r.out << r.err;
    EXPECT_NE(r.out.find("JRA#SEI1.DAT: 読込"), std::string::npos) << r.out;
}

}  // namespace
