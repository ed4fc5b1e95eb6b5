#include "core/views/meetings.hpp"

#include <gtest/gtest.h>

#include "core/import/race_tables.hpp"
#include "core/store/store.hpp"
#include "temp_folder.hpp"

using namespace zelvanor;

namespace {

void addMeeting(Database& tran, const std::string& raceTable, int races) {
    const Meeting m = meetingOf(raceTable);
    createEntryTable(tran, m.entriesTable);
    createRaceTable(tran, m.raceTable);
    auto st = tran.prepare("INSERT INTO " + quoteIdentifier(m.raceTable) +
                           " (bango, RyoOmo) VALUES (?1, 1)");
    for (int n = 1; n <= races; ++n) {
        st.bind(1, std::int64_t{n});
        st.run();
        st.reset();
    }
}

TEST(Meetings, ListedByCourseInDateOrderIgnoringOtherTables) {
    TempFolder dir;
    Database tran(dir / "tran.mdb");
    addMeeting(tran, "D05981004", 1);
    addMeeting(tran, "D05981003", 1);
    addMeeting(tran, "D10981003", 1);
    const ColumnDef cols[] = {{"x", ColumnType::Long}};
    tran.createTable("Dnotes", cols);
    const auto lists = meetingsByCourse(tran);
    ASSERT_EQ(lists[4].size(), 2u);
    EXPECT_EQ(lists[4][0].date, "981003");
    EXPECT_EQ(lists[4][1].entriesTable, "U05981004");
    EXPECT_EQ(lists[9].size(), 1u);
    EXPECT_TRUE(lists[0].empty());
    EXPECT_THROW(meetingOf("D05'; --"), StoreError);
}

TEST(Meetings, DeleteAsksByCourseAndDateAndDropsBothTables) {
    TempFolder dir;
    Database tran(dir / "tran.mdb");
    addMeeting(tran, "D05981003", 3);
    const Meeting m = meetingOf("D05981003");
    EXPECT_EQ(deleteQuestion(m),
              "東京 98/10/03の\r\r出馬表・競走馬データを削除します。宜しいですか？");
    EXPECT_TRUE(deleteMeeting(tran, m));
    EXPECT_TRUE(tran.userTables().empty());
    EXPECT_FALSE(deleteMeeting(tran, m));  // already gone: nothing to do, nothing said
}

TEST(Meetings, GoingIsSetForEveryStoredRace) {
    TempFolder dir;
    Database tran(dir / "tran.mdb");
    addMeeting(tran, "D06981003", 11);
    const Meeting m = meetingOf("D06981003");
    EXPECT_EQ(setMeetingGoing(tran, m, Going::Heavy), 11);
    auto st = tran.prepare("SELECT count(*) FROM D06981003 WHERE RyoOmo = 2");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.int64(0), 11);
    EXPECT_EQ(setMeetingGoing(tran, m, Going::Good), 11);
    EXPECT_EQ(goingSetMessage(Going::Heavy),
              "選択された開催の全てのレースを重馬場に設定しました\r"
              "個別の（レースごと）設定が必要な場合は、予想画面から設定してください。");
}

}  // namespace
