#include "core/shell/housekeeping.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "core/shell/constants.hpp"
#include "core/store/store.hpp"
#include "temp_folder.hpp"

using namespace zelvanor;

namespace {

std::string userNameIn(const std::filesystem::path& file) {
    Database db(file);
    return readConstants(db)->userName;
}

std::int64_t countRows(Database& db, std::string_view table) {
    auto st = db.prepare("SELECT count(*) FROM " + std::string(table));
    EXPECT_TRUE(st.step());
    return st.int64(0);
}

std::int64_t freePages(Database& db) {
    auto st = db.prepare("PRAGMA freelist_count");
    EXPECT_TRUE(st.step());
    return st.int64(0);
}

std::string integrity(Database& db) {
    auto st = db.prepare("PRAGMA integrity_check");
    EXPECT_TRUE(st.step());
    return st.text(0);
}

TEST(CompactMast, KeepsThePreviousFileAsBakAndLeavesNoNew) {
    TempFolder dir;
    AppPaths paths(dir.path());
    {
        Database mast(paths.mastPath());
        ensureConstantsTable(mast);
    }
    {
        Database mast(paths.mastPath());
        saveConstants(mast, {2, 2, 2, 2, 1, 1, 1}, "A");
    }
    compactMast(paths);
    {
        Database mast(paths.mastPath());
        saveConstants(mast, {2, 2, 2, 2, 1, 1, 1}, "B");
    }
    {
        std::ofstream stale(dir / "mast.new");  // left by a compaction that broke off
        stale << "stale";
    }
    compactMast(paths);

    EXPECT_FALSE(std::filesystem::exists(dir / "mast.new"));
    EXPECT_EQ(userNameIn(dir / "mast.mdb"), "B");
    EXPECT_EQ(userNameIn(dir / "mast.bak"), "B");  // the state before the second compaction
    {
        Database mast(paths.mastPath());
        saveConstants(mast, {2, 2, 2, 2, 1, 1, 1}, "C");
    }
    EXPECT_EQ(userNameIn(dir / "mast.bak"), "B");  // a copy, not the live file under two names
}

// The window program and the command line may both have mast.mdb open: a compaction must not
// leave the other one writing into a file that is no longer mast.mdb.
TEST(CompactMast, AConnectionOpenAcrossItKeepsWritingIntoTheLiveFile) {
    TempFolder dir;
    AppPaths paths(dir.path());
    {
        Database mast(paths.mastPath());
        ensureConstantsTable(mast);
    }
    Database other(dir / "mast.mdb");
    other.exec("CREATE TABLE t(x)");
    compactMast(paths);
    other.exec("INSERT INTO t VALUES (1)");

    Database reopened(dir / "mast.mdb");
    EXPECT_EQ(countRows(reopened, "t"), 1);
    Database backup(dir / "mast.bak");
    EXPECT_EQ(countRows(backup, "t"), 0);
}

TEST(CompactMast, WritesFromAnotherConnectionDuringCompactionsAreAllKept) {
    TempFolder dir;
    AppPaths paths(dir.path());
    {
        Database mast(paths.mastPath());
        ensureConstantsTable(mast);
    }
    {
        Database db(dir / "mast.mdb");
        db.exec("CREATE TABLE t(x)");
        db.exec("CREATE TABLE filler(x)");
        db.exec(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
            "INSERT INTO filler SELECT randomblob(200) FROM n");
    }
    constexpr int kInserts = 200;
    std::jthread writer([&] {
        Database db(dir / "mast.mdb");
        db.exec("PRAGMA synchronous = OFF");  // only the locking matters here, not the syncs
        auto insert = db.prepare("INSERT INTO t VALUES (?1)");
        for (int i = 0; i < kInserts; ++i) {
            insert.bind(1, std::int64_t{i});
            insert.run();
            insert.reset();
        }
    });
    for (int i = 0; i < 5; ++i) compactMast(paths);
    writer.join();

    Database db(dir / "mast.mdb");
    EXPECT_EQ(integrity(db), "ok");
    EXPECT_EQ(countRows(db, "t"), kInserts);
}

TEST(CompactMast, GivesBackFreePagesAndLeavesAFileWithoutThemAsItIs) {
    TempFolder dir;
    const AppPaths paths(dir.path());
    {
        Database db(paths.mastPath());
        db.exec("CREATE TABLE t (x TEXT)");
        db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                "INSERT INTO t SELECT printf('%0500d', i) FROM n");
        db.exec("DELETE FROM t WHERE rowid > 100");
        EXPECT_GT(freePages(db), 0);
    }
    const auto before = std::filesystem::file_size(paths.mastPath());
    compactMast(paths);
    const auto compacted = std::filesystem::file_size(paths.mastPath());
    EXPECT_LT(compacted, before / 4);
    {
        Database db(paths.mastPath());
        EXPECT_EQ(freePages(db), 0);
        EXPECT_EQ(countRows(db, "t"), 100);
    }
    const auto modified = std::filesystem::last_write_time(paths.mastPath());
    compactMast(paths);
    EXPECT_EQ(std::filesystem::last_write_time(paths.mastPath()), modified);
    EXPECT_EQ(std::filesystem::file_size(dir / "mast.bak"), compacted);
    Database db(paths.mastPath());
    EXPECT_EQ(countRows(db, "t"), 100);
}

TEST(CompactMast, FailureLeavesMastUntouched) {
    TempFolder dir;
    AppPaths paths(dir.path());
    {
        Database mast(paths.mastPath());
        ensureConstantsTable(mast);
    }
    std::filesystem::create_directory(dir / "mast.bak.part");
    std::ofstream(dir / "mast.bak.part" / "x") << "x";  // cannot be removed as a file
    EXPECT_ANY_THROW(compactMast(paths));
    EXPECT_EQ(userNameIn(dir / "mast.mdb"), "User");
}

}  // namespace
