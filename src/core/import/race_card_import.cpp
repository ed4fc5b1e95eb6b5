#include "import/race_card_import.hpp"

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <utility>
#include <vector>

#include "import/horse_import.hpp"
#include "import/race_tables.hpp"
#include "predict/predict_race.hpp"
#include "records/cp932.hpp"
#include "records/layout_den1.hpp"
#include "records/layouts.hpp"
#include "records/numeric.hpp"
#include "records/record_file.hpp"

namespace zelvanor {

namespace {

constexpr std::string_view kLineEndField = "lineEnd";
constexpr std::string_view kRaceNumberField = "bango";
constexpr std::string_view kGoingColumn = "RyoOmo";
constexpr std::int64_t kGoodGoing = 1;

// The meeting of a record. Its fields become table names, so a record whose fields are not two
// digits each is refused, naming the record.
MeetingTables recordMeeting(std::string_view record, std::size_t number) {
    const std::string course = decodeField(record, kDen1Layout.field("basho"));
    const std::string yy = decodeField(record, kDen1Layout.field("year"));
    const std::string mm = decodeField(record, kDen1Layout.field("month"));
    const std::string dd = decodeField(record, kDen1Layout.field("day"));
    try {
        return meetingTables(course, yy, mm, dd);
    } catch (const StoreError&) {
        throw ImportError(std::string(kDen1Layout.fileName) + " の " + std::to_string(number) +
                          " 件目のレコードは、場・年・月・日の欄が数字２桁ではないため取り込めま"
                          "せん（場「" +
                          course + "」年「" + yy + "」月「" + mm + "」日「" + dd +
                          "」）。\nデータは取り込む前のままです。");
    }
}

// The columns a race row receives: every field of the record into the column of the same name,
// then RyoOmo. The result columns are not among them, so a replaced row keeps its results.
struct RaceColumns {
    std::vector<const FieldSpec*> fields;
    std::vector<ColumnDef> columns;  // the fields' columns, then RyoOmo
    const FieldSpec* raceNumber = nullptr;
};

RaceColumns raceColumns(Database& tran, std::string_view table) {
    RaceColumns rc;
    for (const FieldSpec& f : kDen1Layout.fields) {
        if (f.name == kLineEndField) continue;
        rc.fields.push_back(&f);
        rc.columns.push_back(tran.column(table, f.name));
        if (f.name == kRaceNumberField) rc.raceNumber = &f;
    }
    rc.columns.push_back(tran.column(table, kGoingColumn));
    return rc;
}

// Statements that add or replace the race rows of one race table.
class RaceRowWriter {
  public:
    RaceRowWriter(Database& tran, std::string_view table)
        : cols_(raceColumns(tran, table)),
          find_(tran.prepare("SELECT rowid FROM " + quoteIdentifier(table) + " WHERE " +
                             quoteIdentifier(kRaceNumberField) + " = ?1 LIMIT 1")),
          update_(prepareWrite(tran, table, true)),
          insert_(prepareWrite(tran, table, false)) {}

    void write(std::string_view record) {
        const std::int64_t raceNumber = numericValue(decodeField(record, *cols_.raceNumber));
        std::optional<std::int64_t> rowid;
        {
            StatementReset resetFind(find_);
            find_.bind(1, raceNumber);
            if (find_.step()) rowid = find_.int64(0);
        }
        Statement& st = rowid ? update_ : insert_;
        StatementReset resetWrite(st);
        int index = 0;
        for (std::size_t i = 0; i < cols_.fields.size(); ++i) {
            const FieldSpec& field = *cols_.fields[i];
            const Value value =
                &field == cols_.raceNumber ? Value(raceNumber) : Value(decodeField(record, field));
            st.bind(++index, convertForColumn(cols_.columns[i], value));
        }
        st.bind(++index, convertForColumn(cols_.columns.back(), Value(kGoodGoing)));
        if (rowid) st.bind(++index, *rowid);
        st.run();
    }

  private:
    Statement prepareWrite(Database& tran, std::string_view table, bool update) const {
        std::string names;
        std::string values;
        for (std::size_t i = 0; i < cols_.columns.size(); ++i) {
            const std::string n = std::to_string(i + 1);
            if (i) {
                names += ", ";
                values += ", ";
            }
            names += quoteIdentifier(cols_.columns[i].name) + (update ? " = ?" + n : "");
            values += "?" + n;
        }
        const std::string quoted = quoteIdentifier(table);
        if (update) {
            return tran.prepare("UPDATE " + quoted + " SET " + names + " WHERE rowid = ?" +
                                std::to_string(cols_.columns.size() + 1));
        }
        return tran.prepare("INSERT INTO " + quoted + " (" + names + ") VALUES (" + values + ")");
    }

    RaceColumns cols_;  // first: the statements are made from it
    Statement find_;
    Statement update_;
    Statement insert_;
};

bool isBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace

RaceCardImportResult importRaceCards(const AppPaths& paths, const ProgressFn& progress,
                                     const RacePredictorFactory& makePredictor) {
    const std::string fileName(kDen1Layout.fileName);
    const auto path = paths.extractionFolder() / fileName;

    // The file is read and every record's meeting checked before a database is opened, so that a
    // refused file changes nothing.
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) throw ImportError(fileName + " がありません.");
    std::optional<RecordFile> file;
    try {
        file.emplace(path, kDen1Layout.recordLength);
    } catch (const std::runtime_error&) {
        throw ImportError(fileName + " を読み込めません。");
    }
    const std::size_t n = file->count();
    std::vector<MeetingTables> meetings;
    meetings.reserve(n);
    for (std::size_t i = 1; i <= n; ++i) meetings.push_back(recordMeeting(file->record(i), i));

    ProgressSteps steps(progress);
    steps.show(10);

    RaceCardImportResult result;
    result.recordCount = n;

    Database mast(paths.mastPath());
    Database tran(paths.tranPath());
    // One read transaction on mast for the whole import: without it every horse lookup takes and
    // drops the file's lock again.
    Transaction readMast(mast);
    Transaction tx(tran);
    {
        HorseCopier copier(mast, tran);
        const RacePredictFn predict = makePredictor ? makePredictor(mast, tran) : RacePredictFn{};
        std::unordered_map<std::string, RaceRowWriter> writers;
        std::vector<FieldSpec> runnerCodes;
        for (int k = 1; k <= kDen1RunnerSlots; ++k) {
            runnerCodes.push_back(den1RunnerSubField(k, "umacode"));
        }
        const FieldSpec& raceNumberField = kDen1Layout.field(kRaceNumberField);

        for (std::size_t i = 1; i <= n; ++i) {
            steps.show(static_cast<int>(10 + 90 * i / n));
            const std::string_view record = file->record(i);
            const MeetingTables& meeting = meetings[i - 1];

            // The race table is the meeting's mark; its entries table is made along with it,
            // unless it is already there, as creating it twice would fail.
            auto writer = writers.find(meeting.race);
            if (writer == writers.end()) {
                if (!tran.hasTable(meeting.race)) {
                    if (!tran.hasTable(meeting.entries)) createEntryTable(tran, meeting.entries);
                    createRaceTable(tran, meeting.race);
                }
                writer = writers.try_emplace(meeting.race, tran, meeting.race).first;
            }
            writer->second.write(record);

            for (const FieldSpec& code : runnerCodes) {
                const std::string umacode = decodeField(record, code);
                if (!isBlank(umacode)) copier.copy(meeting.entries, umacode);
            }

            const int raceNumber =
                static_cast<int>(numericValue(decodeField(record, raceNumberField)));
            if (predict) predict(meeting.race, meeting.entries, raceNumber);

            result.currentRaceTable = meeting.race;
            result.currentEntryTable = meeting.entries;
        }
    }
    tx.commit();
    readMast.commit();
    steps.show(100);
    return result;
}

RaceCardImportResult importRaceCards(const AppPaths& paths, const ProgressFn& progress,
                                     const RacePredictFn& predict) {
    return importRaceCards(paths, progress,
                           RacePredictorFactory([&](Database&, Database&) { return predict; }));
}

std::optional<RaceCardImportResult> importRaceCardsIfPresent(
    const AppPaths& paths, const ProgressFn& progress, const RacePredictorFactory& makePredictor) {
    std::error_code ec;
    if (!std::filesystem::exists(paths.extractionFolder() / std::string(kDen1Layout.fileName),
                                 ec)) {
        return std::nullopt;
    }
    importHorses(paths, progress);
    return importRaceCards(paths, progress, makePredictor);
}

std::optional<RaceCardImportResult> importRaceCardsIfPresent(const AppPaths& paths,
                                                             const ProgressFn& progress,
                                                             const RacePredictFn& predict) {
    return importRaceCardsIfPresent(
        paths, progress, RacePredictorFactory([&](Database&, Database&) { return predict; }));
}

RacePredictorFactory enginePredictor() {
    return [](Database& mast, Database& tran) {
        auto predictor = std::make_shared<RacePredictor>(mast, tran);
        return RacePredictFn(
            [predictor](std::string_view raceTable, std::string_view entryTable, int raceNumber) {
                predictor->predictRace(raceTable, entryTable, raceNumber);
            });
    };
}

}  // namespace zelvanor
