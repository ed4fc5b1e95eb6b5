#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/shell/data_session.hpp"
#include "core/store/store.hpp"
#include "temp_folder.hpp"

namespace zelvanor {
namespace {

TEST(DataSession, KeepsOneConnectionPerDatabaseWhetherPreloadedOrNot) {
    TempFolder folder;
    for (const bool preload : {false, true}) {
        DataSession session{AppPaths(folder.path())};
        if (preload) session.preload();
        Database& tran = session.tran();
        EXPECT_EQ(&tran, &session.tran());
        EXPECT_NE(static_cast<void*>(&tran), static_cast<void*>(&session.mast()));
        tran.exec("CREATE TABLE IF NOT EXISTS D05981003 (bango INTEGER)");
        EXPECT_TRUE(session.tran().hasTable("D05981003"));
    }
    EXPECT_TRUE(std::filesystem::exists(folder / "mast.mdb"));
}

TEST(DataSession, PreloadCreatesNoFile) {
    TempFolder folder;
    DataSession session{AppPaths(folder.path())};
    session.preload();
    session.close();
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(DataSession, APreloadThatFailedSurfacesOnFirstUseAndCloseForgetsIt) {
    TempFolder folder;
    {
        std::ofstream notADatabase(folder / "tran.mdb");
        notADatabase << std::string(4096, 'x');
    }
    DataSession session{AppPaths(folder.path())};
    session.preload();
    EXPECT_THROW(session.tran(), StoreError);
    session.close();
    session.preload();
    session.close();  // the failed worker is collected without throwing
    std::filesystem::remove(folder / "tran.mdb");
    EXPECT_NO_THROW(session.tran());
}

TEST(DataSession, LentConnectionsServeTheWorkAndComeBackWithItsChanges) {
    TempFolder folder;
    DataSession session{AppPaths(folder.path())};
    session.tran().exec("CREATE TABLE D05981003 (bango INTEGER)");
    sqlite3* const windows = session.tran().handle();
    {
        const LentConnections lent(session);
        // What an import opens: the connection whose schema is read already, not a new one.
        Database import(folder / "tran.mdb");
        EXPECT_EQ(import.handle(), windows);
        import.exec("CREATE TABLE D05981004 (bango INTEGER)");
    }
    Database& tran = session.tran();
    EXPECT_EQ(tran.handle(), windows);
    EXPECT_TRUE(tran.hasTable("D05981003"));
    EXPECT_TRUE(tran.hasTable("D05981004"));
}

TEST(DataSession, AUseThatWaitsForThePreloadIsToldBeforeAndAfter) {
    TempFolder folder;
    {
        Database tran(folder / "tran.mdb");
        tran.exec("CREATE TABLE D05981003 (bango INTEGER)");
    }
    // The worker cannot read the schema while another program writes the file.
    Database writer(folder / "tran.mdb");
    writer.exec("BEGIN EXCLUSIVE");
    std::vector<bool> told;
    DataSession session{AppPaths(folder.path())};
    session.setWaitNotice([&](bool waiting) { told.push_back(waiting); });
    session.preload();
    std::thread done([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        writer.exec("COMMIT");
    });
    const bool found = session.tran().hasTable("D05981003");
    done.join();
    EXPECT_TRUE(found);
    EXPECT_EQ(told, (std::vector<bool>{true, false}));
    // Once loaded, nothing more to wait for.
    session.tran();
    EXPECT_EQ(told.size(), 2u);
}

}  // namespace
}  // namespace zelvanor
