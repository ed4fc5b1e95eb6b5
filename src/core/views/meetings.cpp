#include "core/views/meetings.hpp"

#include <algorithm>

#include "core/records/numeric.hpp"
#include "core/shell/codes.hpp"
#include "core/store/store.hpp"
#include "core/tables/race_tables.hpp"
#include "core/tables/racing.hpp"

namespace zelvanor {

Meeting meetingOf(std::string_view raceTable) {
    if (!isRaceTableName(raceTable)) {
        throw StoreError("開催の表の名前ではありません: \"" + std::string(raceTable) + "\"");
    }
    const std::string tail(raceTable.substr(1));
    return {"D" + tail, "U" + tail, tail.substr(0, 2), tail.substr(2)};
}

int meetingDateOrder(std::string_view yymmdd) {
    const auto twoDigits = [&](std::size_t at) {
        return static_cast<int>(numericValue(yymmdd.substr(std::min(at, yymmdd.size()), 2)));
    };
    return fullYear(twoDigits(0)) * 10000 + twoDigits(2) * 100 + twoDigits(4);
}

std::array<std::vector<Meeting>, kCourseCount> meetingsByCourse(Database& tran) {
    std::array<std::vector<Meeting>, kCourseCount> lists;
    for (const auto& name : tran.userTables()) {
        if (!isRaceTableName(name)) continue;
        const Meeting m = meetingOf(name);
        const int course = std::stoi(m.course);
        if (course >= 1 && course <= kCourseCount) lists[course - 1].push_back(m);
    }
    for (auto& list : lists) {
        std::stable_sort(list.begin(), list.end(), [](const Meeting& a, const Meeting& b) {
            return meetingDateOrder(a.date) < meetingDateOrder(b.date);
        });
    }
    return lists;
}

std::string deleteQuestion(const Meeting& meeting) {
    const std::string& d = meeting.date;
    return bashoLabel(meeting.course) + " " + d.substr(0, 2) + "/" + d.substr(2, 2) + "/" +
           d.substr(4, 2) + "の\r\r出馬表・競走馬データを削除します。宜しいですか？";
}

bool meetingStored(Database& tran, const Meeting& meeting) {
    // A statement checks the schema's version and rereads it when another connection changed
    // it; the parsed schema that hasTable consults is not brought up to date that way.
    auto st = tran.prepare("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1");
    st.bind(1, meeting.raceTable);
    return st.step();
}

bool deleteMeeting(Database& tran, const Meeting& meeting) {
    Transaction tx(tran);
    if (!meetingStored(tran, meeting)) return false;
    tran.dropTable(meeting.raceTable);
    if (tran.hasTable(meeting.entriesTable)) tran.dropTable(meeting.entriesTable);
    tx.commit();
    return true;
}

int setMeetingGoing(Database& tran, const Meeting& meeting, Going going) {
    Transaction tx(tran);
    auto st = tran.prepare("UPDATE " + quoteIdentifier(meeting.raceTable) +
                           " SET RyoOmo = ?1 WHERE bango = ?2");
    int set = 0;
    for (int n = 1; n <= kRacesPerMeeting; ++n) {
        st.bind(1, std::int64_t{going == Going::Good ? 1 : 2}).bind(2, std::int64_t{n});
        st.run();
        set += static_cast<int>(tran.changes());
        st.reset();
    }
    tx.commit();
    return set;
}

std::string goingSetMessage(Going going) {
    return std::string(going == Going::Good
                           ? "選択された開催の全てのレースを良馬場に設定しました"
                           : "選択された開催の全てのレースを重馬場に設定しました") +
           "\r個別の（レースごと）設定が必要な場合は、予想画面から設定してください。";
}

}  // namespace zelvanor
