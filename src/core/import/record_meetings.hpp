#pragma once

// The meeting and race a race card or results record names, checked before its fields become
// table names or find a race row.

#include <cstddef>
#include <string_view>

#include "core/tables/race_tables.hpp"

namespace zelvanor {

// The tables of the meeting a race card or results record names: the course, year, month and
// day fields as the record carries them. Throws ImportError, naming the file and the record's
// number, when course or year are not two digits, the month is not 01 to 12 or the day not 01 to
// 31: such a record would make a table of no meeting.
MeetingTables recordMeetingTables(std::string_view fileName, std::size_t recordNumber,
                                  std::string_view course, std::string_view yy, std::string_view mm,
                                  std::string_view dd);
// The same, and the race number field must be 01 to 12, or the record would make a race row of
// no race: the race card import refuses such a record.
MeetingTables recordMeetingTables(std::string_view fileName, std::size_t recordNumber,
                                  std::string_view course, std::string_view yy, std::string_view mm,
                                  std::string_view dd, std::string_view race);

// The race number a record's two-digit field names, 1 to 12, or 0 when it names none.
int recordRaceNumber(std::string_view race);

}  // namespace zelvanor
