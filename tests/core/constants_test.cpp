#include "core/shell/constants.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/shell/app_paths.hpp"
#include "core/store/store.hpp"
#include "temp_folder.hpp"

using namespace zelvanor;

namespace {

TEST(Constants, NewDatabaseGetsTheDefaultRowOnceOnly) {
    TempFolder dir;
    AppPaths paths(dir.path());
    Database mast(paths.mastPath());
    ensureConstantsTable(mast);
    {
        const auto row = readConstants(mast);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->weights, (std::array<double, 7>{2, 2, 2, 2, 1, 1, 1}));
        EXPECT_EQ(row->userName, "User");
        Table t(mast, kConstantsTable);
        EXPECT_EQ(t.recordCount(), 1);
        t.setIndex("ID");
        ASSERT_TRUE(t.seek(std::int64_t{1}));
        EXPECT_EQ(t.text("UserWork1"), " ");
        EXPECT_EQ(t.integer("UserWork6"), 0);
    }
    saveConstants(mast, {3, 0, 1, 2, 3, 0, 1}, "翠");
    ensureConstantsTable(mast);  // a second start leaves the row as it is
    EXPECT_EQ(readConstants(mast)->userName, "翠");
    EXPECT_EQ(Table(mast, kConstantsTable).recordCount(), 1);
}

TEST(Constants, FirstWeightColumnKeepsItsFullWidthNameAndIsFoundByItsPlainOne) {
    TempFolder dir;
    AppPaths paths(dir.path());
    Database mast(paths.mastPath());
    ensureConstantsTable(mast);
    EXPECT_EQ(mast.columns(kConstantsTable).at(1).name, "umaMi\xEF\xBD\x87iHidari");
    Table t(mast, kConstantsTable);
    t.moveFirst();
    EXPECT_EQ(t.real("umamigihidari"), 2.0);
}

TEST(Constants, ReadersFallBackWhenTheRowIsMissingOrTheNameBlank) {
    TempFolder dir;
    AppPaths paths(dir.path());
    Database mast(paths.mastPath());
    ensureConstantsTable(mast);
    saveConstants(mast, {0, 1, 2, 3, 0, 1, 2}, "");
    auto v = loadConstantsIntoOptions(mast);
    EXPECT_EQ(v.userName, "User");
    EXPECT_EQ(v.sliders, (std::array<int, 7>{0, 1, 2, 3, 0, 1, 2}));

    {
        Table t(mast, kConstantsTable);
        t.moveFirst();
        t.deleteCurrent();
        EXPECT_FALSE(readConstants(mast));
        EXPECT_EQ(personaName(readConstants(mast)), "User");
    }
    v = loadConstantsIntoOptions(mast);
    EXPECT_EQ(v.sliders, (std::array<int, 7>{2, 2, 2, 2, 1, 1, 1}));
    EXPECT_EQ(v.userName, "User");

    // The first save after that adds the row again, with ID 1.
    saveConstants(mast, {1, 1, 1, 1, 1, 1, 1}, "AB");
    const auto row = readConstants(mast);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->userName, "AB");
    EXPECT_EQ(row->weights[0], 1.0);
}

TEST(Constants, LoadingOptionsCreatesAMissingTable) {
    TempFolder dir;
    AppPaths paths(dir.path());
    const auto v = [&] {
        Database mast(paths.mastPath());
        return loadConstantsIntoOptions(mast);
    }();
    EXPECT_EQ(v.sliders, (std::array<int, 7>{2, 2, 2, 2, 1, 1, 1}));
    EXPECT_TRUE(tableExists(paths.mastPath(), kConstantsTable));
}

TEST(Constants, ANameThatCannotBeStoredIsRefusedAndChangesNothing) {
    TempFolder dir;
    AppPaths paths(dir.path());
    Database mast(paths.mastPath());
    ensureConstantsTable(mast);
    const char* refused[] = {
        "12345",             // longer than the column
        "翠嶺A",             // five bytes in code page 932
        "\xF0\x9F\x90\x8E",  // a character code page 932 does not have
        "\xFF",              // not UTF-8 at all
        "A\xE7\xBF",         // a character cut off
        "\xC0\xAF",          // an overlong '/'
        "\xED\xA0\x80",      // a surrogate
        "A\n",               // control characters
        "\x7F",
    };
    for (const char* name : refused) {
        EXPECT_THROW(saveConstants(mast, {0, 0, 0, 0, 0, 0, 0}, name), std::invalid_argument)
            << name;
        EXPECT_FALSE(userNameProblem(name).empty()) << name;
    }
    const auto row = readConstants(mast);
    EXPECT_EQ(row->weights[0], 2.0);
    EXPECT_EQ(row->userName, "User");

    // The user types at most two characters; the default, four half-width ones, is stored too.
    for (const char* name : {"", "翠嶺", "AB", "ｱｲ", "翠"}) {
        EXPECT_EQ(userNameProblem(name), "") << name;
    }
    EXPECT_EQ(storedUserNameProblem("User"), "");
    EXPECT_FALSE(userNameProblem("User").empty());
    EXPECT_FALSE(userNameProblem("ABC").empty());
}

}  // namespace
