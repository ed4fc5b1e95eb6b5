#include "core/import/archive_import.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "archive_fixture.hpp"
#include "people_fixture.hpp"
#include "core/records/layouts.hpp"
#include "temp_folder.hpp"

using namespace zelvanor;
namespace fs = std::filesystem;

namespace {

const fs::path kLha = fs::path(ZELVANOR_TEST_DATA) / "lha";

struct Told {
    std::string text;
    Notifier::Icon icon;
};

struct Recorder : Notifier {
    std::vector<Told> told;
    void notify(const std::string& text, const std::string&, Icon icon) override {
        told.push_back({text, icon});
    }
};

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string jockeys(int count) {
    std::string bytes;
    for (int i = 1; i <= count; ++i) {
        fixture::PeopleRecord r(kKisiLayout);
        r.text("KISCODE", "000" + std::to_string(i));
        r.text("KISKANJI", "試験　　　　　　騎乗　　　　　　");
        bytes += r.bytes();
    }
    return bytes;
}

class ArchiveImportTest : public ::testing::Test {
  protected:
    fs::path archive(const std::string& name, const std::string& bytes) {
        const fs::path file = inputs.path() / name;
        fixture::writeBytes(file, bytes);
        return file;
    }

    TempFolder inputs;
    TempFolder data;
    AppPaths paths{data.path()};
    Recorder notifier;
};

TEST_F(ArchiveImportTest, DamagedArchiveIsAFailureNamingItAndKeepsTheEarlierFiles) {
    const std::string sound = fixture::readBytes(kLha / "umaj_den1.lzh");
    const fs::path cut = archive("cut.lzh", sound.substr(0, fixture::secondHeaderAt(sound) + 10));
    fixture::writeBytes(data / "JRA#UMAJ.DAT", "earlier horses");
    fixture::writeBytes(data / "Jra#den1.dat", "earlier cards");

    const ImportRun run = archiveImport(ArchiveKind::Horses, cut, paths, notifier, {});
    EXPECT_EQ(run.outcome, ImportOutcome::Failed);
    ASSERT_EQ(notifier.told.size(), 1u);
    const std::string& text = notifier.told[0].text;
    EXPECT_EQ(text.rfind("#:32791\nLZH ﾌｧｲﾙのﾍｯﾀﾞが壊れています。\n" + cut.string(), 0), 0u)
        << text;
    EXPECT_EQ(notifier.told[0].icon, Notifier::Icon::Critical);
    EXPECT_EQ(namesIn(data.path()), (std::vector<std::string>{"JRA#UMAJ.DAT", "Jra#den1.dat"}));
    EXPECT_EQ(fixture::readBytes(data / "JRA#UMAJ.DAT"), "earlier horses");
}

TEST_F(ArchiveImportTest, MemberTheFlowExpectsButTheArchiveLacksIsReported) {
    const fs::path horsesOnly =
        archive("horses.lzh", fixture::lhaArchive({{"JRA#UMAJ.DAT", "horse file"}}));
    fixture::writeBytes(data / "jra#den1.dat", "race cards of an earlier archive");

    const ImportRun run = archiveImport(ArchiveKind::Horses, horsesOnly, paths, notifier, {});
    EXPECT_EQ(run.outcome, ImportOutcome::Imported);
    EXPECT_EQ(run.report.source, horsesOnly.string());
    EXPECT_EQ(run.report.missingMembers, std::vector<std::string>{"JRA#DEN1.DAT"});
    ASSERT_EQ(run.report.files.size(), 1u);
    EXPECT_EQ(run.report.files[0].file, "JRA#UMAJ.DAT");
    EXPECT_NE(importReportText(run.report).find("JRA#DEN1.DAT は圧縮ファイルに含まれていません。"),
              std::string::npos);
    ASSERT_EQ(notifier.told.size(), 1u);
    EXPECT_EQ(notifier.told[0].text, "出馬表・競走馬データの取込が終了しました。");
    // No later import may take the earlier archive's race cards for this one's.
    EXPECT_EQ(namesIn(data.path()), std::vector<std::string>{"JRA#UMAJ.DAT"});
}

TEST_F(ArchiveImportTest, RecordFileReplacesItsEarlierCopiesOnlyOnceItExtracted) {
    fixture::writeBytes(data / "jra#kisi.dat", "earlier jockeys");
    const fs::path bound =
        archive("big.lzh", fixture::lhaArchive({{"JRA#KISI.DAT", jockeys(2), 64u * 1024 * 1024}}));
    EXPECT_EQ(extractAndImport(ArchiveKind::Jockeys, bound, paths, notifier, {}).outcome,
              ImportOutcome::Failed);
    ASSERT_EQ(notifier.told.size(), 1u);
    EXPECT_NE(notifier.told[0].text.find(bound.string() + " の JRA#KISI.DAT は 16 MB を超える"),
              std::string::npos)
        << notifier.told[0].text;
    EXPECT_EQ(namesIn(data.path()), std::vector<std::string>{"jra#kisi.dat"});

    notifier.told.clear();
    const fs::path good = archive("kisi.lzh", fixture::lhaArchive({{"JRA#KISI.DAT", jockeys(2)}}));
    const ImportRun run = extractAndImport(ArchiveKind::Jockeys, good, paths, notifier, {});
    EXPECT_EQ(run.outcome, ImportOutcome::Imported);
    ASSERT_EQ(run.report.files.size(), 1u);
    EXPECT_EQ(run.report.files[0].file, "JRA#KISI.DAT");
    EXPECT_EQ(run.report.files[0].read, 2u);
    EXPECT_EQ(run.report.files[0].stored, 2u);
    EXPECT_TRUE(run.report.missingMembers.empty());
    EXPECT_EQ(fixture::readBytes(data / "JRA#KISI.DAT"), jockeys(2));
    for (const auto& name : namesIn(data.path())) EXPECT_NE(name, "jra#kisi.dat");
}

TEST_F(ArchiveImportTest, RecordFileGivenOnItsOwnGoesThroughTheSameChecks) {
    const fs::path file = inputs.path() / "jra#kisi.dat";
    fixture::writeBytes(file, jockeys(3));
    // A link planted where an earlier version put its temporary copy is neither followed nor
    // written through.
    const fs::path elsewhere = inputs.path() / "elsewhere";
    fixture::writeBytes(elsewhere, "not to be touched");
    fs::create_symlink(elsewhere, data / "JRA#KISI.DAT.part");

    const ImportRun run = importRecordFile(ArchiveKind::Jockeys, file, paths, notifier, {});
    EXPECT_EQ(run.outcome, ImportOutcome::Imported);
    EXPECT_EQ(run.report.source, file.string());
    ASSERT_EQ(run.report.files.size(), 1u);
    EXPECT_EQ(run.report.files[0].stored, 3u);
    EXPECT_EQ(fixture::readBytes(elsewhere), "not to be touched");
    EXPECT_EQ(fixture::readBytes(data / "JRA#KISI.DAT"), jockeys(3));

    // A FIFO is no record file: refused at once, without waiting for a writer.
    const fs::path fifo = inputs.path() / "JRA#CHOK.DAT";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    notifier.told.clear();
    EXPECT_EQ(importRecordFile(ArchiveKind::Trainers, fifo, paths, notifier, {}).outcome,
              ImportOutcome::Failed);
    ASSERT_EQ(notifier.told.size(), 1u);
    EXPECT_EQ(notifier.told[0].text.rfind(fifo.string() + " を読み込めません。", 0), 0u);
    EXPECT_FALSE(fs::exists(data / "JRA#CHOK.DAT"));
}

}  // namespace
