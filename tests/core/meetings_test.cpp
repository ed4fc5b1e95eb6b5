#include "core/views/meetings.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/shell/app_paths.hpp"
#include "core/store/store.hpp"
#include "core/tables/race_tables.hpp"
#include "core/views/recompute.hpp"
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
    // A two-digit year of 00 to 68 is 20xx: 2000 and 2068 come after 1969 and 1999, although
    // their names sort first.
    for (const char* name : {"D05000105", "D05981004", "D05680101", "D05991226", "D05981003",
                             "D05690101", "D10981003"}) {
        addMeeting(tran, name, 1);
    }
    const ColumnDef cols[] = {{"x", ColumnType::Long}};
    tran.createTable("Dnotes", cols);
    const auto lists = meetingsByCourse(tran);
    std::vector<std::string> dates;
    for (const Meeting& m : lists[4]) dates.push_back(m.date);
    EXPECT_EQ(dates, (std::vector<std::string>{"690101", "981003", "981004", "991226", "000105",
                                               "680101"}));
    EXPECT_EQ(lists[4][2].entriesTable, "U05981004");
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

TEST(Meetings, ADropByAnotherConnectionIsSeenBeforeDeleting) {
    TempFolder dir;
    Database tran(dir / "tran.mdb");
    addMeeting(tran, "D08981004", 1);
    const Meeting m = meetingOf("D08981004");
    EXPECT_TRUE(meetingStored(tran, m));
    {
        Database other(dir / "tran.mdb");
        other.dropTable(m.raceTable);
    }
    EXPECT_FALSE(meetingStored(tran, m));
    EXPECT_FALSE(deleteMeeting(tran, m));
    EXPECT_TRUE(tran.hasTable(m.entriesTable));  // left as it was
}

TEST(Recompute, TwelveStepsForEveryMeetingEvenOneWithFewerRacesOrNoneLeft) {
    TempFolder dir;
    const AppPaths paths(dir.path());
    {
        Database tran(paths.tranPath());
        addMeeting(tran, "D01981003", 3);
    }
    const std::vector<Meeting> meetings{meetingOf("D01981003"), meetingOf("D10981003")};
    std::vector<std::string> steps;
    Database mast(paths.mastPath());
    Database tran(paths.tranPath());
    const int computed = recomputeMeetings(
        mast, tran, meetings, RecomputeStepFn([&](const RecomputeStep& s) {
            steps.push_back(std::to_string(s.meeting) + "/" + std::to_string(s.meetings) + ":" +
                            std::to_string(s.race));
        }));
    EXPECT_EQ(computed, 0);  // the stored races have no runners; the second meeting is gone
    ASSERT_EQ(steps.size(), 24u);
    EXPECT_EQ(steps.front(), "1/2:1");
    EXPECT_EQ(steps[11], "1/2:12");
    EXPECT_EQ(steps[12], "2/2:1");
    EXPECT_EQ(steps.back(), "2/2:12");

    std::vector<int> percents;
    recomputeMeetings(mast, tran, meetings, ProgressFn([&](int p) { percents.push_back(p); }));
    EXPECT_EQ(percents, (std::vector<int>{0, 50, 100}));
}

TEST(Recompute, MeetingsOfTheGivenCoursesInCourseThenDateOrder) {
    TempFolder dir;
    Database tran(dir / "tran.mdb");
    for (const char* name : {"D10981003", "D05981003", "D01000105", "D01981004", "D01981003"}) {
        addMeeting(tran, name, 1);
    }
    std::vector<std::string> names;
    for (const Meeting& m : meetingsOfCourses(tran, {"10", "01"})) names.push_back(m.raceTable);
    EXPECT_EQ(names, (std::vector<std::string>{"D01981003", "D01981004", "D01000105",
                                               "D10981003"}));
    EXPECT_TRUE(meetingsOfCourses(tran, {}).empty());
}

}  // namespace
