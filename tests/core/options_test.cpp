#include "core/views/options.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/predict/engine_values.hpp"
#include "core/shell/app_paths.hpp"
#include "core/store/store.hpp"
#include "temp_folder.hpp"

using namespace zelvanor;

namespace {

constexpr std::array<int, 7> kDefaults = {2, 2, 2, 2, 1, 1, 1};

// The windows keep one connection to mast.mdb for the program's life; the dialog loads and
// stores through it while other connections (imports, the engine) change the same file.
TEST(OptionsView, KeptConnectionLoadsDefaultsWithoutARowAndStoresOneAgain) {
    TempFolder dir;
    AppPaths paths(dir.path());
    Database kept(paths.mastPath());

    auto v = loadConstantsIntoOptions(kept);  // creates 定数 with its default row
    EXPECT_EQ(v.sliders, kDefaults);
    EXPECT_EQ(v.userName, "User");

    saveConstants(kept, {3, 0, 1, 2, 3, 0, 1}, "翠");
    {
        Database other(paths.mastPath());
        const auto row = readConstants(other);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->weights, (std::array<double, 7>{3, 0, 1, 2, 3, 0, 1}));
        EXPECT_EQ(row->userName, "翠");
        Table t(other, kConstantsTable);
        t.moveFirst();
        t.deleteCurrent();
    }
    v = loadConstantsIntoOptions(kept);
    EXPECT_EQ(v.sliders, kDefaults);
    EXPECT_EQ(v.userName, "User");

    // The first save after the row went adds it again with ID 1, the unused columns blank.
    saveConstants(kept, {0, 0, 0, 0, 0, 0, 0}, "");
    Database other(paths.mastPath());
    Table t(other, kConstantsTable);
    EXPECT_EQ(t.recordCount(), 1);
    t.setIndex("ID");
    ASSERT_TRUE(t.seek(std::int64_t{1}));
    EXPECT_EQ(t.text("UserName"), "");
    EXPECT_EQ(t.text("UserWork1"), " ");
    EXPECT_EQ(t.integer("UserWork6"), 0);
    // An empty name is stored as given and shown as "User".
    EXPECT_EQ(loadConstantsIntoOptions(kept).userName, "User");

    // All weights 0: the engine's next run uses 1.0 for the six aptitude, jockey and trainer
    // multipliers and 0 for growth.
    const Multipliers m = multipliersFrom(readConstants(other));
    for (float f : {m.direction, m.surface, m.distance, m.going, m.jockey, m.trainer}) {
        EXPECT_EQ(f, 1.0f);
    }
    EXPECT_EQ(m.growth, 0.0f);
}

TEST(OptionsView, ValuesThatCannotBeStoredChangeNothing) {
    TempFolder dir;
    AppPaths paths(dir.path());
    Database kept(paths.mastPath());
    saveConstants(kept, {1, 2, 3, 0, 1, 2, 3}, "AB");
    const struct {
        std::array<int, 7> sliders;
        const char* name;
    } refused[] = {
        {{4, 2, 2, 2, 1, 1, 1}, "CD"},   // a position past the slider's end
        {{2, 2, 2, 2, 1, 1, -1}, "CD"},  // before its start
        {{0, 0, 0, 0, 0, 0, 0}, "\xF0\x9F\x90\x8E\xF0\x9F\x90\x8E"},  // not in code page 932
        {{0, 0, 0, 0, 0, 0, 0}, "A\t"},                               // a control character
    };
    for (const auto& c : refused) {
        EXPECT_THROW(saveConstants(kept, c.sliders, c.name), std::invalid_argument) << c.name;
    }
    const auto v = loadConstantsIntoOptions(kept);
    EXPECT_EQ(v.sliders, (std::array<int, 7>{1, 2, 3, 0, 1, 2, 3}));
    EXPECT_EQ(v.userName, "AB");
}

TEST(OptionsView, EveryWeightIsOnExactlyOnePageInSliderOrder) {
    int next = 0;
    for (const OptionsTab& tab : kOptionsTabs) {
        EXPECT_EQ(tab.firstSlider, next) << tab.caption;
        next += tab.sliderCount;
    }
    EXPECT_EQ(next, static_cast<int>(kWeightCaptions.size()));
    EXPECT_EQ(kOptionsTabs.back().sliderCount, 0);  // the name page
}

TEST(OptionsView, DefaultsResetTheWeightsAndKeepTheNameShown) {
    const OptionsValues shown{{0, 3, 0, 3, 0, 3, 0}, "翠嶺"};
    const OptionsValues reset = withDefaultWeights(shown);
    EXPECT_EQ(reset.sliders, kDefaults);
    EXPECT_EQ(reset.userName, "翠嶺");
}

}  // namespace
