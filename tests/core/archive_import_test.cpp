#include "core/import/archive_import.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "archive_fixture.hpp"
#include "core/records/layouts.hpp"
#include "core/store/store.hpp"
#include "people_fixture.hpp"
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

    const ImportRun run = importRecordFiles(ArchiveKind::Jockeys, {file}, paths, notifier, {});
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
    EXPECT_EQ(importRecordFiles(ArchiveKind::Trainers, {fifo}, paths, notifier, {}).outcome,
              ImportOutcome::Failed);
    ASSERT_EQ(notifier.told.size(), 1u);
    EXPECT_EQ(notifier.told[0].text.rfind(fifo.string() + " を読み込めません。", 0), 0u);
    EXPECT_FALSE(fs::exists(data / "JRA#CHOK.DAT"));
}

std::string trainers(int count) {
    std::string bytes;
    for (int i = 1; i <= count; ++i) {
        fixture::PeopleRecord r(kChokLayout);
        r.text("chocode", "100" + std::to_string(i));
        bytes += r.bytes();
    }
    return bytes;
}

class BatchImportTest : public ArchiveImportTest {
  protected:
    void put(const std::string& name, const std::string& bytes) {
        fs::create_directories(paths.batchFolder());
        fixture::writeBytes(paths.batchFolder() / name, bytes);
    }
};

TEST_F(BatchImportTest, EveryKindIsImportedInTheOrderTheImportsNeed) {
    // In name order the trainers come first; the jockeys must still go before them. What is no
    // delivery is passed over and said so; a damaged archive is reported as well.
    put("1_chok.lzh", fixture::lhaArchive({{"JRA#CHOK.DAT", trainers(3)}}));
    put("2_kisi.lzh", fixture::lhaArchive({{"JRA#KISI.DAT", jockeys(2)}}));
    put("3_notes.lzh", "no archive at all");
    put("4_other.lzh", fixture::lhaArchive({{"README.TXT", "nothing for us"}}));
    const std::string sound = fixture::readBytes(kLha / "umaj_den1.lzh");
    put("5_cut.lzh", sound.substr(0, fixture::secondHeaderAt(sound) + 10));
    put("ignored.txt", "not an archive's name");

    std::vector<std::string> started;
    const BatchImport batch = importBatch(paths, notifier, {}, [&](const fs::path& archive) {
        started.push_back(archive.filename().string());
    });
    ASSERT_EQ(batch.runs.size(), 2u);
    ASSERT_EQ(batch.runs[0].report.files.size(), 1u);
    EXPECT_EQ(batch.runs[0].report.files[0].file, "JRA#KISI.DAT");
    EXPECT_EQ(batch.runs[0].report.files[0].stored, 2u);
    ASSERT_EQ(batch.runs[1].report.files.size(), 1u);
    EXPECT_EQ(batch.runs[1].report.files[0].file, "JRA#CHOK.DAT");
    EXPECT_EQ(batch.runs[1].report.files[0].stored, 3u);
    for (const ImportRun& run : batch.runs) EXPECT_EQ(run.outcome, ImportOutcome::Imported);
    EXPECT_EQ(started,
              (std::vector<std::string>{"1_chok.lzh", "2_kisi.lzh", "3_notes.lzh", "4_other.lzh",
                                        "5_cut.lzh", "2_kisi.lzh", "1_chok.lzh"}));
    // Only the damage reaches the user on its own; the completion notices are in the report.
    ASSERT_EQ(notifier.told.size(), 1u);
    EXPECT_EQ(notifier.told[0].icon, Notifier::Icon::Critical);
    EXPECT_NE(notifier.told[0].text.find("5_cut.lzh"), std::string::npos);

    const std::string report = batchReportText(batch);
    EXPECT_EQ(report.rfind("2_kisi.lzh\nJRA#KISI.DAT: 読込 2件 / 登録 2件", 0), 0u) << report;
    const auto paragraphs = [&] {
        std::vector<std::string> out;
        for (std::size_t at = 0;;) {
            const std::size_t next = report.find("\n\n", at);
            out.push_back(report.substr(at, next - at));
            if (next == std::string::npos) return out;
            at = next + 2;
        }
    }();
    ASSERT_EQ(paragraphs.size(), 3u) << report;
    EXPECT_EQ(paragraphs[1].rfind("1_chok.lzh\nJRA#CHOK.DAT: 読込 3件 / 登録 3件", 0), 0u);
    EXPECT_EQ(
        paragraphs[2],
        "3_notes.lzh は、LHA圧縮ファイルではないため、取り込みませんでした。\n"
        "4_other.lzh は、ＪＲＡ－ＶＡＮのデータファイルを含んでいないため、取り込みませんでした。\n"
        "5_cut.lzh は、壊れているため、取り込みませんでした。");
    // Nothing staged is left behind.
    EXPECT_EQ(namesIn(data.path()), (std::vector<std::string>{"JRA#CHOK.DAT", "JRA#KISI.DAT",
                                                              "batch", "mast.bak", "mast.mdb"}));
}

// Compacting copies the whole master to mast.bak and may rewrite it: among several jockey and
// trainer imports of one run, only the last does it.
TEST(ImportTasks, OnlyTheLastJockeyOrTrainerImportCompactsTheMaster) {
    using K = ArchiveKind;
    using M = MastCompaction;
    const struct {
        std::vector<K> given;
        std::vector<M> compaction;  // in the order the tasks run
    } cases[] = {
        {{K::Results, K::Trainers, K::Horses, K::Jockeys},
         {M::LeftToLaterImport, M::AfterImport, M::AfterImport, M::AfterImport}},
        {{K::Jockeys, K::Jockeys, K::Trainers},
         {M::LeftToLaterImport, M::LeftToLaterImport, M::AfterImport}},
        {{K::Trainers}, {M::AfterImport}},
        {{K::Horses, K::Results}, {M::AfterImport, M::AfterImport}},
    };
    for (const auto& c : cases) {
        std::vector<ImportTask> tasks;
        for (K kind : c.given) tasks.push_back({kind, "a.lzh", nullptr});
        sortImportTasks(tasks);
        std::vector<M> got;
        for (const ImportTask& t : tasks) got.push_back(t.compaction);
        EXPECT_EQ(got, c.compaction) << c.given.size() << " tasks";
    }
}

TEST_F(BatchImportTest, JockeysAndTrainersTogetherLeaveTheMasterAsCompactingEachWould) {
    put("1_kisi.lzh", fixture::lhaArchive({{"JRA#KISI.DAT", jockeys(2)}}));
    put("2_chok.lzh", fixture::lhaArchive({{"JRA#CHOK.DAT", trainers(3)}}));
    const BatchImport batch = importBatch(paths, notifier, {});
    ASSERT_EQ(batch.runs.size(), 2u);
    for (const fs::path& file : {data / "mast.mdb", data / "mast.bak"}) {
        Database db(file);
        for (const auto& [table, rows] : {std::pair{kJockeyTable, 2}, {kTrainerTable, 3}}) {
            auto st = db.prepare("SELECT count(*) FROM " + quoteIdentifier(table));
            ASSERT_TRUE(st.step());
            EXPECT_EQ(st.int64(0), rows) << file << " " << table;
        }
        auto free = db.prepare("PRAGMA freelist_count");
        ASSERT_TRUE(free.step());
        EXPECT_EQ(free.int64(0), 0) << file;
    }

    // On its own, a jockey import told to leave the compaction to a later one makes no mast.bak.
    fs::remove(data / "mast.bak");
    fixture::writeBytes(data / "JRA#KISI.DAT", jockeys(1));
    importJockeys(paths, {}, MastCompaction::LeftToLaterImport);
    EXPECT_FALSE(fs::exists(data / "mast.bak"));
}

TEST_F(BatchImportTest, AFailureEndsTheBatchAndTheRestIsListedAsNotImported) {
    put("1_kisi.lzh", fixture::lhaArchive({{"JRA#KISI.DAT", jockeys(2) + "part of a record"}}));
    put("2_chok.lzh", fixture::lhaArchive({{"JRA#CHOK.DAT", trainers(1)}}));
    const BatchImport batch = importBatch(paths, notifier, {});
    ASSERT_EQ(batch.runs.size(), 1u);
    EXPECT_EQ(batch.runs[0].outcome, ImportOutcome::Failed);
    ASSERT_EQ(notifier.told.size(), 1u);
    EXPECT_NE(notifier.told[0].icon, Notifier::Icon::None);
    EXPECT_EQ(batch.skipped, std::vector<std::string>{
                                 "2_chok.lzh の調教師データは、前の取り込みが失敗したため、取り込み"
                                 "ませんでした。"});
    EXPECT_FALSE(fs::exists(data / "JRA#CHOK.DAT"));
}

}  // namespace
