#include "core/shell/backup.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/store/safekeeping.hpp"
#include "core/store/store.hpp"
#include "temp_folder.hpp"

using namespace zelvanor;
namespace fs = std::filesystem;

namespace {

// A database of many pages: a table of `rows` rows of 200 characters.
void fill(const fs::path& file, int rows, const std::string& mark = "x") {
    Database db(file);
    db.exec("CREATE TABLE IF NOT EXISTS t (n INTEGER PRIMARY KEY, s TEXT)");
    Transaction tx(db);
    auto st = db.prepare("INSERT INTO t (s) VALUES (?1)");
    for (int i = 0; i < rows; ++i) {
        st.bind(1, std::string(200, mark[0]));
        st.run();
        st.reset();
    }
    tx.commit();
}

std::int64_t rowCount(const fs::path& file) {
    Database db(file);
    auto st = db.prepare("SELECT count(*) FROM t");
    st.step();
    return st.int64(0);
}

enum class Damage { CutShort, GarbageOverPages, GarbageOverHeader };

void damage(const fs::path& file, Damage how) {
    const auto size = fs::file_size(file);
    if (how == Damage::CutShort) {
        fs::resize_file(file, size / 2);
        return;
    }
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(how == Damage::GarbageOverHeader ? 0 : static_cast<std::streamoff>(size / 2));
    const std::string garbage(how == Damage::GarbageOverHeader ? 100 : 8192, '\x5A');
    f.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
}

struct DamageCase {
    Damage how;
    const char* name;
};
const DamageCase kDamages[] = {{Damage::CutShort, "cut short"},
                               {Damage::GarbageOverPages, "garbage over pages"},
                               {Damage::GarbageOverHeader, "garbage over the header"}};

TEST(Integrity, SoundMissingAndDamagedFiles) {
    TempFolder dir;
    EXPECT_EQ(checkIntegrity(dir / "tran.mdb").state, Integrity::Missing);
    EXPECT_FALSE(fs::exists(dir / "tran.mdb"));  // the check creates nothing
    fill(dir / "tran.mdb", 2000);
    EXPECT_EQ(checkIntegrity(dir / "tran.mdb").state, Integrity::Sound);
    EXPECT_EQ(integrityText(dir / "tran.mdb", checkIntegrity(dir / "tran.mdb")),
              "tran.mdb は正常です（" + (dir / "tran.mdb").string() + "）。");

    for (const auto& c : kDamages) {
        SCOPED_TRACE(c.name);
        const fs::path file = dir / (std::string(c.name) + ".mdb");
        fill(file, 2000);
        damage(file, c.how);
        const IntegrityCheck check = checkIntegrity(file);
        EXPECT_EQ(check.state, Integrity::Damaged);
        EXPECT_FALSE(check.findings.empty());
        EXPECT_LE(check.findings.size(), static_cast<std::size_t>(kIntegrityFindings));
    }
}

// What a damaged database says wherever it is read: the file, that it is damaged, and what to do.
TEST(Integrity, ADamagedDatabaseIsReportedInTheUsersWords) {
    for (const auto& c : kDamages) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        fill(dir / "tran.mdb", 2000);
        fill(dir / "mast.mdb", 2000);
        damage(dir / "tran.mdb", c.how);
        damage(dir / "mast.mdb", c.how);
        for (const char* name : {"tran.mdb", "mast.mdb"}) {
            try {
                rowCount(dir / name);
                ADD_FAILURE() << "no error";
            } catch (const DamagedDatabaseError& e) {
                EXPECT_EQ(std::string(e.what()), damagedDatabaseText(dir / name));
            }
        }
    }
    TempFolder dir;
    const std::string tran = damagedDatabaseText(dir / "tran.mdb");
    EXPECT_EQ(tran.rfind("tran.mdb が壊れています（" + (dir / "tran.mdb").string() + "）。", 0), 0u)
        << tran;
    EXPECT_NE(tran.find("圧縮ファイルを取り込み直して"), std::string::npos) << tran;
    EXPECT_NE(tran.find("手で入力した成績は失われます"), std::string::npos) << tran;
    EXPECT_NE(damagedDatabaseText(dir / "mast.mdb").find("mast.bak"), std::string::npos);
}

class Backup : public ::testing::Test {
  protected:
    TempFolder data;
    TempFolder elsewhere;
    AppPaths paths{data.path()};
    fs::path target = elsewhere / "backup";
};

TEST_F(Backup, BothDatabasesAreCopiedWhole) {
    fill(paths.mastPath(), 10);
    fill(paths.tranPath(), 3000);
    std::vector<int> percents;
    const auto copies =
        backupDatabases(paths, target, [&](int percent) { percents.push_back(percent); });

    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0].file, "mast.mdb");
    EXPECT_EQ(copies[1].path, target / "tran.mdb");
    EXPECT_EQ(copies[1].bytes, fs::file_size(target / "tran.mdb"));
    EXPECT_EQ(rowCount(target / "mast.mdb"), 10);
    EXPECT_EQ(rowCount(target / "tran.mdb"), 3000);
    EXPECT_FALSE(fs::exists(target / "tran.mdb.part"));
    ASSERT_FALSE(percents.empty());
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(percents.back(), 100);
    EXPECT_EQ(backupDoneText(copies).find("mast.mdb を " + (target / "mast.mdb").string() +
                                          " に保存しました（"),
              0u)
        << backupDoneText(copies);

    // A second backup replaces the first.
    fill(paths.tranPath(), 5);
    backupDatabases(paths, target);
    EXPECT_EQ(rowCount(target / "tran.mdb"), 3005);
}

TEST_F(Backup, RefusedWithoutAnythingWritten) {
    // Nothing to copy.
    EXPECT_THROW(backupDatabases(paths, target), BackupError);
    EXPECT_FALSE(fs::exists(target));

    // The data folder itself, by another name: the copies would replace the databases.
    fill(paths.tranPath(), 10);
    EXPECT_THROW(backupDatabases(paths, data / "."), BackupError);
    EXPECT_EQ(rowCount(paths.tranPath()), 10);

    // A damaged database: the sound backup there before is kept, and no part is left.
    fill(paths.mastPath(), 10);
    backupDatabases(paths, target);
    fill(paths.tranPath(), 3000);
    damage(paths.tranPath(), Damage::GarbageOverPages);
    EXPECT_THROW(backupDatabases(paths, target), DamagedDatabaseError);
    EXPECT_EQ(rowCount(target / "tran.mdb"), 10);
    EXPECT_EQ(rowCount(target / "mast.mdb"), 10);
    for (const auto& entry : fs::directory_iterator(target)) {
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
    }
}

}  // namespace
