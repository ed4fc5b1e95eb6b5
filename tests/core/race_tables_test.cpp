#include "core/tables/race_tables.hpp"

#include <gtest/gtest.h>

#include "temp_folder.hpp"

using namespace zelvanor;

namespace {

TEST(RaceTables, MeetingNamesAreBuiltFromTwoDigitFieldsOnly) {
    const auto t = meetingTables("05", "98", "10", "03");
    EXPECT_EQ(t.race, "D05981003");
    EXPECT_EQ(t.entries, "U05981003");
    EXPECT_TRUE(isRaceTableName(t.race));
    for (auto bad : {"5 ", " 5", "0a", "\"0", "050", "", "０５"}) {
        EXPECT_THROW(meetingTables(bad, "98", "10", "03"), StoreError) << bad;
        EXPECT_THROW(meetingTables("05", "98", bad, "03"), StoreError) << bad;
    }
    EXPECT_FALSE(isRaceTableName("U05981003"));
    EXPECT_FALSE(isRaceTableName("D0598100"));
}

TEST(RaceTables, ColumnsAndUniqueIndexes) {
    EXPECT_EQ(horseTableColumns().size(), 89u);
    EXPECT_EQ(raceTableColumns().size(), 66u);
    TempFolder dir;
    Database tran(dir / "tran.mdb");
    const auto a = meetingTables("05", "98", "10", "03");
    const auto b = meetingTables("08", "98", "10", "03");
    for (const auto& m : {a, b}) {
        createEntryTable(tran, m.entries);
        createRaceTable(tran, m.race);
    }
    EXPECT_EQ(tran.userTables(),
              (std::vector<std::string>{"D05981003", "D08981003", "U05981003", "U08981003"}));
    const auto& cols = tran.columns(a.race);
    EXPECT_EQ(cols.front().name, "basho");
    EXPECT_EQ(cols.back().name, "KekkaUmaAm");
    EXPECT_EQ(tran.columns(a.entries).at(88).name, "IjouKubun");

    Table race(tran, a.race);
    race.setIndex("bango");
    for (int n : {1, 2}) {
        race.addNew();
        race.set("bango", std::int64_t{n});
        race.update();
    }
    race.addNew();
    race.set("bango", std::int64_t{1});
    EXPECT_THROW(race.update(), StoreError);
    EXPECT_EQ(race.recordCount(), 2);

    Table entries(tran, a.entries);
    entries.setIndex("umacode");
    entries.addNew();
    entries.set("umacode", std::string("98101234"));
    entries.update();
    ASSERT_TRUE(entries.seek(std::string("98101234")));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(entries.get("Nouryoku1")));

    Database mast(dir / "mast.mdb");
    createHorseTable(mast);
    EXPECT_EQ(mast.columns(kHorseTable).size(), 89u);
    EXPECT_THROW(createHorseTable(mast), StoreError);  // already there
}

}  // namespace
