#include "core/import/record_delivery.hpp"
#include "core/import/results_import.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/import/record_meetings.hpp"
#include "core/records/cp932.hpp"
#include "core/records/format.hpp"
#include "core/records/layout_sei1.hpp"
#include "core/records/layouts.hpp"
#include "core/records/numeric.hpp"
#include "core/records/record_file.hpp"
#include "core/shell/codes.hpp"
#include "core/store/store.hpp"
#include "core/tables/race_tables.hpp"

namespace zelvanor {

namespace {

// What the race card's result entry stores for a pair that is not there.
constexpr std::string_view kNoPair = " ";

std::string field(std::string_view record, std::string_view name) {
    return decodeField(record, kSei1Layout.field(name));
}

// A number or payout field; blank reads 0.
std::int64_t number(std::string_view record, std::string_view name) {
    return numericValue(field(record, name));
}

bool isBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

// A pair of numbers as the result columns hold it, "3 - 12". A list entry left blank (no such
// bet in the race) stores kNoPair, which never equals a pair.
std::string pairText(std::string_view record, std::string_view first, std::string_view second,
                     std::string_view pattern) {
    const std::string a = field(record, first);
    const std::string b = field(record, second);
    if (isBlank(a) && isBlank(b)) return std::string(kNoPair);
    return formatNumber(static_cast<double>(numericValue(a)), pattern) + " - " +
           formatNumber(static_cast<double>(numericValue(b)), pattern);
}

// The values of kRaceResultColumns for one record.
std::array<Value, kRaceResultColumns.size()> resultValues(std::string_view record) {
    return {
        number(record, "winNo1"),
        number(record, "placeNo2"),
        number(record, "placeNo3"),
        // Bracket numbers are single digits: shown as they stand ("0" for a blank one).
        pairText(record, "bracketFirst1", "bracketSecond1", "0"),
        pairText(record, "quinellaFirst1", "quinellaSecond1", "##"),
        number(record, "winPay1"),
        number(record, "placePay1"),
        number(record, "placePay2"),
        number(record, "placePay3"),
        number(record, "bracketPay1"),
        number(record, "quinellaPay1"),
    };
}

// The fields resultValues reads as numbers. The service writes them as decimal digits, blank
// where there is nothing (a bet not sold): anything else is a damaged record, whose payout
// would otherwise read as the value of its leading digits and skew every return rate.
constexpr std::string_view kNumberFields[] = {
    "winNo1",         "placeNo2",        "placeNo3",     "bracketFirst1", "bracketSecond1",
    "quinellaFirst1", "quinellaSecond1", "winPay1",      "placePay1",     "placePay2",
    "placePay3",      "bracketPay1",     "quinellaPay1",
};

bool isDigitsOrBlank(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return true;
    return allDigits(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// Refuses the first record with a number field that is not digits, naming record and field.
// Digits and blanks are single bytes, so the bytes are checked as they stand.
void checkNumberFields(const RecordFile& file) {
    std::vector<const FieldSpec*> fields;
    for (const std::string_view name : kNumberFields) fields.push_back(&kSei1Layout.field(name));
    for (std::size_t i = 1; i <= file.count(); ++i) {
        const std::string_view record = file.record(i);
        for (const FieldSpec* f : fields) {
            if (isDigitsOrBlank(record.substr(std::min(f->offset, record.size()), f->length))) {
                continue;
            }
            throw ImportError(std::string(kSei1Layout.fileName) + " の " + std::to_string(i) +
                              " 件目のレコードは、欄「" + std::string(f->name) +
                              "」が数字ではない（「" + decodeField(record, *f) +
                              "」）ため取り込めません。ファイルが壊れている可能性があります。"
                              "成績データは取り込む前のままです。");
        }
    }
}

struct RecordMeeting {
    std::string race;   // race table name
    std::string label;  // "東京 98/10/03 の"
    int raceNumber = 0;  // 1 to 12, or 0 when the record names no race a meeting holds
    std::string raceField;  // the race number field as the record carries it
};

// The meeting of a record. Its fields become a table name, so a record whose fields name no
// meeting is refused, naming the record. A race number no meeting holds only makes the record
// one of a race its race table lacks.
RecordMeeting recordMeeting(std::string_view record, std::size_t number) {
    const std::string course = field(record, "basho");
    const std::string yy = field(record, "year");
    const std::string mm = field(record, "month");
    const std::string dd = field(record, "day");
    std::string race = field(record, "bango");
    const int raceNumber = recordRaceNumber(race);
    return {recordMeetingTables(kSei1Layout.fileName, number, course, yy, mm, dd).race,
            meetingLabel(course, yy, mm, dd), raceNumber, std::move(race)};
}

// Writes the result columns of one race table's rows, found by race number.
class ResultWriter {
  public:
    ResultWriter(Database& tran, std::string_view table)
        : columns_(resultColumns(tran, table)), update_(prepareUpdate(tran, table)), tran_(tran) {
        // The races that hold results already, in one query per meeting rather than one per race.
        std::string sql =
            "SELECT " + quoteIdentifier("bango") + " FROM " + quoteIdentifier(table) + " WHERE ";
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (i) sql += " OR ";
            sql += quoteIdentifier(columns_[i].name) + " IS NOT NULL";
        }
        for (Statement st = tran.prepare(sql); st.step();) withResults_.insert(st.int64(0));
    }

    enum class Outcome { NoRace, Written, Replaced };

    // Replaced when the race already held results (imported before, entered by hand, or given by
    // an earlier record of the file).
    Outcome write(std::int64_t raceNumber,
                  const std::array<Value, kRaceResultColumns.size()>& values) {
        StatementReset reset(update_);
        for (std::size_t i = 0; i < values.size(); ++i) {
            update_.bind(static_cast<int>(i + 1), convertForColumn(columns_[i], values[i]));
        }
        update_.bind(static_cast<int>(values.size() + 1), raceNumber);
        update_.run();
        if (tran_.changes() == 0) return Outcome::NoRace;
        return withResults_.insert(raceNumber).second ? Outcome::Written : Outcome::Replaced;
    }

  private:
    static std::vector<ColumnDef> resultColumns(Database& tran, std::string_view table) {
        std::vector<ColumnDef> defs;
        for (const auto name : kRaceResultColumns) defs.push_back(tran.column(table, name));
        return defs;
    }

    Statement prepareUpdate(Database& tran, std::string_view table) const {
        std::string sql = "UPDATE " + quoteIdentifier(table) + " SET ";
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (i) sql += ", ";
            sql += quoteIdentifier(columns_[i].name) + " = ?" + std::to_string(i + 1);
        }
        sql += " WHERE " + quoteIdentifier("bango") + " = ?" + std::to_string(columns_.size() + 1);
        return tran.prepare(sql);
    }

    std::vector<ColumnDef> columns_;  // first: the statement is made from it
    Statement update_;
    Database& tran_;
    std::unordered_set<std::int64_t> withResults_;  // race numbers
};

}  // namespace

std::string meetingLabel(std::string_view course, std::string_view yy, std::string_view mm,
                         std::string_view dd) {
    return bashoLabel(course) + " " + std::string(yy) + "/" + std::string(mm) + "/" +
           std::string(dd) + " の";
}

std::string meetingName(std::string_view raceTable) {
    if (!isRaceTableName(raceTable)) return std::string(raceTable);
    std::string label = meetingLabel(raceTable.substr(1, 2), raceTable.substr(3, 2),
                                     raceTable.substr(5, 2), raceTable.substr(7, 2));
    label.resize(label.size() - std::string_view(" の").size());
    return label;
}

namespace {

// What became of one meeting's records.
struct MeetingTally {
    std::size_t written = 0;
    std::size_t refused = 0;
};

// "東京 98/10/03、京都 98/10/03（一部）", a meeting of which some records were not written
// marked as such; "なし" for none.
std::string meetingList(const std::vector<std::string>& tables,
                        const std::unordered_map<std::string, MeetingTally>& tally) {
    if (tables.empty()) return "なし";
    std::string text;
    for (const std::string& table : tables) {
        if (!text.empty()) text += "、";
        text += meetingName(table);
        const MeetingTally& t = tally.at(table);
        if (t.written > 0 && t.refused > 0) text += "（一部）";
    }
    return text;
}

// "JRA#SEI1.DAT の 5 件目（レース番号「13」）の成績は、01～12 のレース番号ではないため取り込んで
// いません。", the records listed in file order.
std::string noSuchRaceNote(const std::vector<std::size_t>& records,
                           const std::vector<RecordMeeting>& meetings) {
    std::string list;
    for (const std::size_t i : records) {
        if (!list.empty()) list += "、";
        list += std::to_string(i) + " 件目（レース番号「" + meetings[i - 1].raceField + "」）";
    }
    return std::string(kSei1Layout.fileName) + " の " + list +
           "の成績は、01～12 のレース番号ではないため取り込んでいません。";
}

}  // namespace

ResultsImportResult importResults(const AppPaths& paths, const ProgressFn& progress) {
    const std::string fileName(kSei1Layout.fileName);

    ResultsImportResult result;
    result.message = std::string(kResultsDoneText);
    result.report.file = fileName;

    // A file ending in part of a record was cut short: the races of its lost tail would silently
    // keep no results. A missing or empty file is read as no results.
    std::optional<RecordFile> file = openDelivery(paths, kSei1Layout, "成績データ",
                                                  WhenMissing::NoRecords, WhenEmpty::NoRecords);
    if (!file) return result;
    checkNumberFields(*file);
    const std::size_t n = file->count();
    result.recordCount = n;
    result.report.read = n;
    // Every record's meeting is checked before the database is opened, so that a refused file
    // changes nothing.
    std::vector<RecordMeeting> meetings;
    meetings.reserve(n);
    for (std::size_t i = 1; i <= n; ++i) meetings.push_back(recordMeeting(file->record(i), i));

    ProgressSteps steps(progress);
    steps.show(0);

    // The meetings in file order, and what became of each one's records.
    std::vector<std::string> order;
    std::unordered_map<std::string, MeetingTally> tally;
    for (const RecordMeeting& meeting : meetings) {
        if (tally.try_emplace(meeting.race).second) order.push_back(meeting.race);
    }
    std::size_t missingRaces = 0;  // records of races their race table does not hold
    std::vector<std::size_t> noSuchRace;  // records whose race number is not 01 to 12
    std::size_t stoppedAt = n;     // index of the record the import stopped at

    Database tran(paths.tranPath());
    // One transaction for speed and so that a failure writes nothing. The stop at a meeting
    // without race card is not a failure: what was written before it is kept.
    Transaction tx(tran);
    {
        std::unordered_map<std::string, ResultWriter> writers;
        for (std::size_t i = 1; i <= n; ++i) {
            steps.show(static_cast<int>(100 * i / n));
            const std::string_view record = file->record(i);
            const RecordMeeting& meeting = meetings[i - 1];
            result.currentRaceTable = meeting.race;

            auto writer = writers.find(meeting.race);
            if (writer == writers.end()) {
                if (!tran.hasTable(meeting.race)) {
                    result.stopped = true;
                    result.message = meeting.label +
                                     "出馬表データが存在しません。\n\n"
                                     "成績データは出馬表データを取り込んでいないと反映できません。";
                    result.title = std::string(kNoRaceCardTitle);
                    stoppedAt = i - 1;
                    break;
                }
                writer = writers.try_emplace(meeting.race, tran, meeting.race).first;
            }
            MeetingTally& t = tally[meeting.race];
            if (meeting.raceNumber == 0) {
                ++t.refused;
                noSuchRace.push_back(i);
                continue;
            }
            switch (writer->second.write(meeting.raceNumber, resultValues(record))) {
                case ResultWriter::Outcome::NoRace:
                    ++t.refused;
                    ++missingRaces;
                    break;
                case ResultWriter::Outcome::Replaced:
                    ++result.report.replaced;
                    [[fallthrough]];
                case ResultWriter::Outcome::Written:
                    ++t.written;
                    ++result.racesUpdated;
                    break;
            }
        }
    }
    tx.commit();

    for (std::size_t i = stoppedAt; i < n; ++i) ++tally[meetings[i].race].refused;
    for (const std::string& table : order) {
        (tally[table].written > 0 ? result.storedMeetings : result.notStoredMeetings)
            .push_back(table);
    }
    result.report.stored = result.racesUpdated;
    result.report.refused = n - result.racesUpdated;
    if (missingRaces > 0) {
        result.report.notes.push_back("出馬表にないレースの成績 " + std::to_string(missingRaces) +
                                      " 件は取り込んでいません。");
    }
    if (!noSuchRace.empty()) {
        result.report.notes.push_back(noSuchRaceNote(noSuchRace, meetings));
    }
    if (result.stopped) {
        result.report.notes.push_back(meetingName(meetings[stoppedAt].race) + " 以降の成績 " +
                                      std::to_string(n - stoppedAt) +
                                      " 件は、出馬表データがないため取り込んでいません。");
        result.message +=
            "\n\n成績を取り込んだ開催: " + meetingList(result.storedMeetings, tally) +
            "\n成績を取り込んでいない開催: " + meetingList(result.notStoredMeetings, tally);
    } else {
        if (n > 0) result.message = meetings.back().label + result.message;
        steps.show(100);
    }
    return result;
}

}  // namespace zelvanor
