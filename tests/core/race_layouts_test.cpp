#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

#include "core/records/cp932.hpp"
#include "core/records/layout_den1.hpp"
#include "core/records/layout_sei1.hpp"
#include "core/records/layouts.hpp"

namespace zelvanor {
namespace {

const RecordLayout* const kRaceLayouts[] = {&kDen1Layout, &kDen1RunnerLayout, &kSei1Layout,
                                            &kSei1RunnerLayout};

TEST(RaceLayouts, FieldsCoverEveryByteOnceInOrder) {
    for (const RecordLayout* layout : kRaceLayouts) {
        SCOPED_TRACE(std::to_string(layout->recordLength));
        std::size_t at = 0;
        std::set<std::string_view> names;
        for (const FieldSpec& f : layout->fields) {
            EXPECT_EQ(f.offset, at) << f.name;
            EXPECT_GT(f.length, 0u) << f.name;
            EXPECT_TRUE(names.insert(f.name).second) << "twice: " << f.name;
            at = f.offset + f.length;
        }
        EXPECT_EQ(at, layout->recordLength);
    }
    EXPECT_EQ(kDen1Layout.recordLength, 584u);
    EXPECT_EQ(kSei1Layout.recordLength, 1323u);
    EXPECT_EQ(kDen1Layout.fileName, "JRA#DEN1.DAT");
    EXPECT_EQ(kSei1Layout.fileName, "JRA#SEI1.DAT");
}

// The fields the imports and the engine read, where the files have them.
TEST(RaceLayouts, FieldsThatAreReadLieWhereTheFilesHaveThem) {
    struct Case {
        const RecordLayout* layout;
        const char* name;
        std::size_t offset;
        std::size_t length;
    };
    const Case cases[] = {
        {&kDen1Layout, "basho", 0, 2},
        {&kDen1Layout, "bango", 6, 2},
        {&kDen1Layout, "month", 8, 2},
        {&kDen1Layout, "day", 10, 2},
        {&kDen1Layout, "htime", 13, 4},
        {&kDen1Layout, "hondai", 17, 60},
        {&kDen1Layout, "jouken41", 86, 3},
        {&kDen1Layout, "jouken44", 95, 3},
        {&kDen1Layout, "kyori", 98, 4},
        {&kDen1Layout, "track", 102, 2},
        {&kDen1Layout, "tousuu", 105, 2},
        {&kDen1Layout, "recKubun", 167, 1},
        {&kDen1Layout, "uma1", 168, 23},
        {&kDen1Layout, "uma18", 559, 23},
        {&kSei1Layout, "bango", 6, 2},
        {&kSei1Layout, "hondai", 28, 60},
        {&kSei1Layout, "winNo1", 175, 2},
        {&kSei1Layout, "winPay1", 177, 7},
        {&kSei1Layout, "placeNo1", 202, 2},
        {&kSei1Layout, "placePay1", 204, 7},
        {&kSei1Layout, "placeNo2", 211, 2},
        {&kSei1Layout, "placePay3", 222, 7},
        {&kSei1Layout, "bracketFirst1", 247, 1},
        {&kSei1Layout, "bracketSecond1", 248, 1},
        {&kSei1Layout, "bracketPay1", 249, 7},
        {&kSei1Layout, "quinellaFirst1", 274, 2},
        {&kSei1Layout, "quinellaSecond1", 276, 2},
        {&kSei1Layout, "quinellaPay1", 278, 8},
        {&kSei1Layout, "lap1", 310, 3},
        {&kSei1Layout, "runner1", 385, 52},
        {&kSei1Layout, "runner18", 1269, 52},
    };
    for (const Case& c : cases) {
        const FieldSpec& f = c.layout->field(c.name);
        EXPECT_EQ(f.offset, c.offset) << c.name;
        EXPECT_EQ(f.length, c.length) << c.name;
    }
}

// The engine takes a stored runner entry apart by character positions: 1 bracket, 2-9 horse,
// 12-14 weight carried, 15-18 jockey, 20-23 trainer. Entries written field by field must read
// that way.
TEST(RaceLayouts, RunnerEntryWrittenByFieldsReadsByCharacterPositions) {
    std::string record(kDen1Layout.recordLength, ' ');
    const int slot = 2;
    writeNumber(record, den1RunnerSubField(slot, "WakuNo"), 3);
    writeField(record, den1RunnerSubField(slot, "umacode"), "95104321");
    writeField(record, den1RunnerSubField(slot, "seibetsu"), "2");
    writeField(record, den1RunnerSubField(slot, "blinker"), "1");
    writeNumber(record, den1RunnerSubField(slot, "futan"), 530);
    writeField(record, den1RunnerSubField(slot, "CodeKisi"), "0123");
    writeField(record, den1RunnerSubField(slot, "spare"), "0");
    writeField(record, den1RunnerSubField(slot, "chocode"), "1045");

    const std::string entry = decodeField(record, den1RunnerField(slot));
    ASSERT_EQ(entry.size(), 23u);
    EXPECT_EQ(entry.substr(0, 1), "3");
    EXPECT_EQ(entry.substr(1, 8), "95104321");
    EXPECT_EQ(entry.substr(11, 3), "530");
    EXPECT_EQ(entry.substr(14, 4), "0123");
    EXPECT_EQ(entry.substr(19, 4), "1045");
    // The neighbouring slots are untouched.
    EXPECT_EQ(decodeField(record, den1RunnerField(1)), std::string(23, ' '));
    EXPECT_EQ(decodeField(record, den1RunnerField(3)), std::string(23, ' '));
}

TEST(RaceLayouts, RunnerSlotsAndResultSlotsAreCounted) {
    EXPECT_EQ(den1RunnerField(1).name, "uma1");
    EXPECT_EQ(den1RunnerField(18).name, "uma18");
    EXPECT_EQ(sei1RunnerField(1).name, "runner1");
    EXPECT_EQ(sei1RunnerField(18).name, "runner18");
    const FieldSpec odds = sei1RunnerSubField(18, "odds");
    EXPECT_EQ(odds.offset, 1269 + kSei1RunnerLayout.field("odds").offset);
    EXPECT_EQ(odds.length, 4u);

    for (int slot : {0, 19, -1}) {
        EXPECT_THROW(den1RunnerField(slot), std::out_of_range) << slot;
        EXPECT_THROW(sei1RunnerField(slot), std::out_of_range) << slot;
    }
    EXPECT_THROW(den1RunnerSubField(1, "bamei"), std::out_of_range);
    EXPECT_THROW(sei1RunnerSubField(1, "nothing"), std::out_of_range);
}

}  // namespace
}  // namespace zelvanor
