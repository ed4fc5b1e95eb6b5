#pragma once

// What the race-day selection and the track condition dialog do with stored meetings, without
// their windows: list them by course, delete one, set the going of all its races.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/tables/racing.hpp"

namespace zelvanor {

class Database;

struct Meeting {
    std::string raceTable;     // D + course + yymmdd
    std::string entriesTable;  // U + course + yymmdd
    std::string course;        // "01" … "10"
    std::string date;          // yymmdd, as in the table name
};

// The stored meetings of each course (index = course code − 1), each list in date order, a
// two-digit year read as fullYear does (000105 of 2000 after 991226 of 1999). Tables whose
// names are not meeting race tables are passed over.
std::array<std::vector<Meeting>, kCourseCount> meetingsByCourse(Database& tran);

// A yymmdd date as a number that orders dates: 20000105 for 000105, 19991226 for 991226.
int meetingDateOrder(std::string_view yymmdd);

// The meeting named by its race table, e.g. D05981003; throws StoreError for any other name.
Meeting meetingOf(std::string_view raceTable);

// "東京 98/10/03の" + two line breaks + the question, as asked before deleting a meeting.
std::string deleteQuestion(const Meeting& meeting);

// Whether the meeting's race table is stored. Asks the file itself, so that a meeting another
// connection deleted meanwhile reads as gone.
bool meetingStored(Database& tran, const Meeting& meeting);

// Drops the meeting's race table, then its entries table, in one transaction. False, changing
// nothing, when the race table does not exist.
bool deleteMeeting(Database& tran, const Meeting& meeting);

enum class Going { Good, Heavy };

// Sets RyoOmo of races 1 to 12 of the meeting (1 good, 2 heavy) in one transaction; race numbers
// without a row are passed over. Returns the number of races set.
int setMeetingGoing(Database& tran, const Meeting& meeting, Going going);

// The confirmation shown after setting the going.
std::string goingSetMessage(Going going);

}  // namespace zelvanor
