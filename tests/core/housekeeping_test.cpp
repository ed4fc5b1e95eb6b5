#include "shell/housekeeping.hpp"

#include <gtest/gtest.h>

#include <fstream>

#include "shell/constants.hpp"
#include "store/store.hpp"
#include "temp_folder.hpp"

using namespace zelvanor;

namespace {

std::string userNameIn(const std::filesystem::path& file) {
    Database db(file);
    return readConstants(db)->userName;
}

TEST(CompactMast, KeepsThePreviousFileAsBakAndLeavesNoNew) {
    TempFolder dir;
    AppPaths paths(dir.path());
    ensureConstantsTable(paths);
    saveConstants(paths, {2, 2, 2, 2, 1, 1, 1}, "A");
    compactMast(paths);
    saveConstants(paths, {2, 2, 2, 2, 1, 1, 1}, "B");
    {
        std::ofstream stale(dir / "mast.new");  // left by a compaction that broke off
        stale << "stale";
    }
    compactMast(paths);

    EXPECT_FALSE(std::filesystem::exists(dir / "mast.new"));
    EXPECT_EQ(userNameIn(dir / "mast.mdb"), "B");
    EXPECT_EQ(userNameIn(dir / "mast.bak"), "B");  // the state before the second compaction
    saveConstants(paths, {2, 2, 2, 2, 1, 1, 1}, "C");
    EXPECT_EQ(userNameIn(dir / "mast.bak"), "B");  // a copy, not the live file under two names
}

TEST(CompactMast, FailureLeavesMastUntouched) {
    TempFolder dir;
    AppPaths paths(dir.path());
    ensureConstantsTable(paths);
    std::filesystem::create_directory(dir / "mast.new");
    std::ofstream(dir / "mast.new" / "x") << "x";  // cannot be removed as a file
    EXPECT_ANY_THROW(compactMast(paths));
    EXPECT_EQ(userNameIn(dir / "mast.mdb"), "User");
}

}  // namespace
