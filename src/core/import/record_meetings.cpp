#include "core/import/record_meetings.hpp"

#include <string>

#include "core/import/progress.hpp"
#include "core/records/numeric.hpp"

namespace zelvanor {

namespace {

bool isTwoDigits(std::string_view s) {
    return s.size() == 2 && allDigits(s);
}

std::string recordText(std::string_view fileName, std::size_t recordNumber) {
    return std::string(fileName) + " の " + std::to_string(recordNumber) + " 件目のレコードは、";
}

constexpr std::string_view kKeptText = "\nデータは取り込む前のままです。";

int twoDigitValue(std::string_view twoDigits) {
    return (twoDigits[0] - '0') * 10 + (twoDigits[1] - '0');
}

[[noreturn]] void refuseOutOfRange(std::string_view fileName, std::size_t recordNumber,
                                   std::string_view what, std::string_view value,
                                   std::string_view range) {
    throw ImportError(recordText(fileName, recordNumber) + std::string(what) + "「" +
                      std::string(value) + "」が " + std::string(range) +
                      " の範囲にないため取り込めません。" + std::string(kKeptText));
}

}  // namespace

MeetingTables recordMeetingTables(std::string_view fileName, std::size_t recordNumber,
                                  std::string_view course, std::string_view yy, std::string_view mm,
                                  std::string_view dd) {
    if (!isTwoDigits(course) || !isTwoDigits(yy) || !isTwoDigits(mm) || !isTwoDigits(dd)) {
        throw ImportError(recordText(fileName, recordNumber) +
                          "場・年・月・日の欄が数字２桁ではないため取り込めません（場「" +
                          std::string(course) + "」年「" + std::string(yy) + "」月「" +
                          std::string(mm) + "」日「" + std::string(dd) + "」）。" +
                          std::string(kKeptText));
    }
    const int month = twoDigitValue(mm);
    const int day = twoDigitValue(dd);
    if (month < 1 || month > 12) refuseOutOfRange(fileName, recordNumber, "月", mm, "01～12");
    if (day < 1 || day > 31) refuseOutOfRange(fileName, recordNumber, "日", dd, "01～31");
    return meetingTables(course, yy, mm, dd);
}

MeetingTables recordMeetingTables(std::string_view fileName, std::size_t recordNumber,
                                  std::string_view course, std::string_view yy, std::string_view mm,
                                  std::string_view dd, std::string_view race) {
    MeetingTables tables = recordMeetingTables(fileName, recordNumber, course, yy, mm, dd);
    if (recordRaceNumber(race) == 0) {
        refuseOutOfRange(fileName, recordNumber, "レース番号", race, "01～12");
    }
    return tables;
}

int recordRaceNumber(std::string_view race) {
    if (!isTwoDigits(race)) return 0;
    const int number = twoDigitValue(race);
    return number >= 1 && number <= kRacesPerMeeting ? number : 0;
}

}  // namespace zelvanor
