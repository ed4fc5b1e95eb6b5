#include "import/results_import.hpp"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "import/race_tables.hpp"
#include "records/cp932.hpp"
#include "records/format.hpp"
#include "records/layout_sei1.hpp"
#include "records/layouts.hpp"
#include "records/numeric.hpp"
#include "records/record_file.hpp"
#include "shell/codes.hpp"
#include "store/store.hpp"

namespace zelvanor {

namespace {

// The result columns of a race row, in the order their values are bound.
constexpr std::array<std::string_view, 11> kResultColumns = {
    "Kekka1No",    "Kekka2No",    "Kekka3No",    "KekkaWakNo", "KekkaUmaNo", "Kekka1TanAm",
    "Kekka1FukAm", "Kekka2FukAm", "Kekka3FukAm", "KekkaWakAm", "KekkaUmaAm",
};

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

// The values of kResultColumns for one record.
std::array<Value, kResultColumns.size()> resultValues(std::string_view record) {
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

struct RecordMeeting {
    std::string race;   // race table name
    std::string label;  // "東京 98/10/03 の"
};

// The meeting of a record. Its fields become a table name, so a record whose fields are not two
// digits each is refused, naming the record.
RecordMeeting recordMeeting(std::string_view record, std::size_t number) {
    const std::string course = field(record, "basho");
    const std::string yy = field(record, "year");
    const std::string mm = field(record, "month");
    const std::string dd = field(record, "day");
    try {
        return {meetingTables(course, yy, mm, dd).race, meetingLabel(course, yy, mm, dd)};
    } catch (const StoreError&) {
        throw ImportError(std::string(kSei1Layout.fileName) + " の " + std::to_string(number) +
                          " 件目のレコードは、場・年・月・日の欄が数字２桁ではないため取り込めま"
                          "せん（場「" +
                          course + "」年「" + yy + "」月「" + mm + "」日「" + dd +
                          "」）。\nデータは取り込む前のままです。");
    }
}

// Writes the result columns of one race table's rows, found by race number.
class ResultWriter {
  public:
    ResultWriter(Database& tran, std::string_view table)
        : columns_(resultColumns(tran, table)), update_(prepareUpdate(tran, table)), tran_(tran) {}

    // False when the table holds no such race.
    bool write(std::int64_t raceNumber, const std::array<Value, kResultColumns.size()>& values) {
        StatementReset reset(update_);
        for (std::size_t i = 0; i < values.size(); ++i) {
            update_.bind(static_cast<int>(i + 1), convertForColumn(columns_[i], values[i]));
        }
        update_.bind(static_cast<int>(values.size() + 1), raceNumber);
        update_.run();
        return tran_.changes() > 0;
    }

  private:
    static std::vector<ColumnDef> resultColumns(Database& tran, std::string_view table) {
        std::vector<ColumnDef> defs;
        for (const auto name : kResultColumns) defs.push_back(tran.column(table, name));
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
};

}  // namespace

std::string meetingLabel(std::string_view course, std::string_view yy, std::string_view mm,
                         std::string_view dd) {
    return bashoLabel(course) + " " + std::string(yy) + "/" + std::string(mm) + "/" +
           std::string(dd) + " の";
}

ResultsImportResult importResults(const AppPaths& paths, const ProgressFn& progress) {
    const std::string fileName(kSei1Layout.fileName);
    const auto path = paths.extractionFolder() / fileName;

    ResultsImportResult result;
    result.message = std::string(kResultsDoneText);

    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return result;
    std::optional<RecordFile> file;
    try {
        file.emplace(path, kSei1Layout.recordLength);
    } catch (const std::runtime_error&) {
        throw ImportError(fileName + " を読み込めません。");
    }
    const std::size_t n = file->count();
    result.recordCount = n;
    // Every record's meeting is checked before the database is opened, so that a refused file
    // changes nothing.
    std::vector<RecordMeeting> meetings;
    meetings.reserve(n);
    for (std::size_t i = 1; i <= n; ++i) meetings.push_back(recordMeeting(file->record(i), i));

    ProgressSteps steps(progress);
    steps.show(0);

    Database tran(paths.tranPath());
    // One transaction for speed and so that a failure writes nothing. The stop at a meeting
    // without race card is not a failure: what was written before it is kept.
    Transaction tx(tran);
    {
        std::unordered_map<std::string, ResultWriter> writers;
        const FieldSpec& raceNumberField = kSei1Layout.field("bango");
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
                    break;
                }
                writer = writers.try_emplace(meeting.race, tran, meeting.race).first;
            }
            const std::int64_t raceNumber = numericValue(decodeField(record, raceNumberField));
            if (writer->second.write(raceNumber, resultValues(record))) ++result.racesUpdated;
        }
    }
    tx.commit();
    if (!result.stopped) {
        if (n > 0) result.message = meetings.back().label + result.message;
        steps.show(100);
    }
    return result;
}

}  // namespace zelvanor
