#include <gtest/gtest.h>

#include <string>

#include "core/records/runner_entry.hpp"

namespace zelvanor {
namespace {

TEST(RunnerEntry, TakesAnEntryApart) {
    const struct {
        const char* name;
        std::string entry;
        std::string bracket, umacode, sex, blinker, jockey, trainer;
        std::int64_t bracketNumber, weight;
        bool hasHorse, isRunner;
    } cases[] = {
        {"full", "39810001210550001213456", "3", "98100012", "1", "0", "0012", "3456", 3, 550,
         true, true},
        {"empty place of a small field", "00000000000000000000000", "0", "00000000", "0", "0",
         "0000", "0000", 0, 0, true, false},
        {"blank place", std::string(23, ' '), " ", "        ", " ", " ", "    ", "    ", 0, 0,
         false, false},
        {"empty", "", "", "", "", "", "", "", 0, 0, false, false},
        // Cut after the horse code: the runner is there, its other fields read nothing.
        {"short after the code", "498100012", "4", "98100012", "", "", "", "", 4, 0, true, true},
        {"short within the code", "4981000", "4", "981000", "", "", "", "", 4, 0, false, true},
        {"non-digit numbers", "A9810001220X5Z0012 3456", "A", "98100012", "2", "0", "0012",
         "3456", 0, 0, true, true},
        // A full-width character counts as one, as the record files count them.
        {"full-width", "5９８１０００１２2154000121ー３４５", "5", "９８１０００１２", "2", "1",
         "0012", "ー３４５", 5, 540, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RunnerEntry e = readRunnerEntry(c.entry);
        EXPECT_EQ(e.bracket, c.bracket);
        EXPECT_EQ(e.umacode, c.umacode);
        EXPECT_EQ(e.sexCode, c.sex);
        EXPECT_EQ(e.blinker, c.blinker);
        EXPECT_EQ(e.jockeyCode, c.jockey);
        EXPECT_EQ(e.trainerCode, c.trainer);
        EXPECT_EQ(e.bracketNumber, c.bracketNumber);
        EXPECT_EQ(e.weight, c.weight);
        EXPECT_EQ(e.hasHorse, c.hasHorse);
        EXPECT_EQ(e.isRunner(), c.isRunner);
    }
}

}  // namespace
}  // namespace zelvanor
