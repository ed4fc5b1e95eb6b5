#include "import/race_card_import.hpp"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <span>
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
        : tran_(tran),
          table_(table),
          cols_(raceColumns(tran, table)),
          find_(tran.prepare("SELECT rowid FROM " + quoteIdentifier(table) + " WHERE " +
                             quoteIdentifier(kRaceNumberField) + " = ?1 LIMIT 1")),
          insert_(prepareWrite(tran, table, false)) {}

    void write(std::string_view record) {
        const std::int64_t raceNumber = numericValue(decodeField(record, *cols_.raceNumber));
        std::optional<std::int64_t> rowid;
        {
            StatementReset resetFind(find_, StatementReset::Bindings::Keep);
            find_.bind(1, raceNumber);
            if (find_.step()) rowid = find_.int64(0);
        }
        // Replacing a race is for a second import of the card: prepared when first needed.
        if (rowid && !update_) update_.emplace(prepareWrite(tran_, table_, true));
        Statement& st = rowid ? *update_ : insert_;
        StatementReset resetWrite(st, StatementReset::Bindings::Keep);
        // The values stay bound, uncopied, until the write ran.
        values_.resize(cols_.columns.size());
        for (std::size_t i = 0; i < cols_.fields.size(); ++i) {
            const FieldSpec& field = *cols_.fields[i];
            const Value value =
                &field == cols_.raceNumber ? Value(raceNumber) : Value(decodeField(record, field));
            values_[i] = convertForColumn(cols_.columns[i], value);
        }
        values_.back() = convertForColumn(cols_.columns.back(), Value(kGoodGoing));
        int index = 0;
        for (const Value& v : values_) st.bindView(++index, v);
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

    Database& tran_;
    std::string table_;
    RaceColumns cols_;  // before the statements: they are made from it
    std::vector<Value> values_;
    Statement find_;
    Statement insert_;
    std::optional<Statement> update_;
};

bool isBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

bool raceCardFileIsThere(const AppPaths& paths) {
    std::error_code ec;
    return std::filesystem::exists(paths.extractionFolder() / std::string(kDen1Layout.fileName),
                                   ec);
}

// Where each runner input column of the engine is among kHorseCopyColumns, which the horse
// look-up returns in order.
std::vector<int> runnerInputPlaces() {
    std::vector<int> places;
    for (const std::string_view name : runnerInputColumns()) {
        const auto it = std::find(kHorseCopyColumns.begin(), kHorseCopyColumns.end(), name);
        if (it == kHorseCopyColumns.end()) {
            throw std::logic_error("engine input " + std::string(name) + " is not copied");
        }
        places.push_back(static_cast<int>(it - kHorseCopyColumns.begin()));
    }
    return places;
}

// Writes a runner's entries row in one statement: the horse's columns from 競走馬 and the
// engine's columns computed from them. The result is that of copying the horse and then running
// the engine over the stored row, which reads back exactly the values copied, as the table stores
// the master's columns unchanged (HorseCopier::storesAsIs).
class RunnerRowWriter {
  public:
    RunnerRowWriter(Database& tran, HorseCopier& copier, std::string_view table)
        : tran_(tran),
          table_(table),
          copied_(copier.entryColumns(table).size()),
          written_(outputDefs(tran, table)),
          values_(written_.size()),
          find_(tran.prepare("SELECT rowid, " + quoteIdentifier("KCoseRen") + ", " +
                             quoteIdentifier("CCoseRen") + " FROM " + quoteIdentifier(table) +
                             " WHERE " + quoteIdentifier("umacode") +
                             " = ?1 ORDER BY rowid LIMIT 1")),
          insert_(prepareWrite(tran, copier, false)) {}

    // `horse` as the copier looked it up, `inputs` what the engine reads of it; their course
    // rates are set here to those of the row the horse has, if any.
    void write(HorseCopier& copier, RacePredictor& engine, const RaceInputs& race, int slot,
               std::string_view umacode, const HorseValues& horse, RunnerInputs& inputs) {
        std::optional<std::int64_t> rowid;
        inputs.kCoseRen = 0;
        inputs.cCoseRen = 0;
        if (copier.mayHaveRow(table_, umacode)) {
            StatementReset reset(find_, StatementReset::Bindings::Keep);
            find_.bind(1, umacode);
            if (find_.step()) {
                rowid = find_.int64(0);
                inputs.kCoseRen = find_.int64(1);
                inputs.cCoseRen = find_.int64(2);
            }
        }
        engine.computeRunner(race, slot, inputs, written_, values_);

        // A row to replace is rare (a horse twice in a meeting, a second import): its statement
        // is prepared when first needed.
        if (rowid && !update_) update_.emplace(prepareWrite(tran_, copier, true));
        Statement& st = rowid ? *update_ : insert_;
        StatementReset reset(st, StatementReset::Bindings::Keep);
        copier.bindCopied(table_, st, 1, horse);
        int index = static_cast<int>(copied_);
        for (const Value& v : values_) st.bindView(++index, v);
        if (rowid) st.bind(++index, *rowid);
        st.run();
        copier.noteRow(table_, umacode);
    }

  private:
    Statement prepareWrite(Database& tran, HorseCopier& copier, bool update) const {
        const auto& copied = copier.entryColumns(table_);
        std::string names;
        std::string values;
        std::size_t param = 0;
        const auto column = [&](const ColumnDef& c, bool keepable) {
            std::string p = "?";
            p += std::to_string(++param);
            const std::string q = quoteIdentifier(c.name);
            if (param > 1) {
                names += ", ";
                values += ", ";
            }
            names += q;
            if (!update) {
                values += p;
            } else if (keepable) {
                // A null course rate leaves the stored one, as the engine's own update does.
                names.append(" = COALESCE(").append(p).append(", ").append(q).append(")");
            } else {
                names.append(" = ").append(p);
            }
        };
        for (const ColumnDef& c : copied) column(c, false);
        const auto outputs = engineOutputColumns();
        for (std::size_t i = 0; i < written_.size(); ++i) {
            column(written_[i], outputs[i] == "KCoseRen" || outputs[i] == "CCoseRen");
        }
        const std::string quoted = quoteIdentifier(table_);
        if (update) {
            return tran.prepare("UPDATE " + quoted + " SET " + names + " WHERE rowid = ?" +
                                std::to_string(param + 1));
        }
        return tran.prepare("INSERT INTO " + quoted + " (" + names + ") VALUES (" + values + ")");
    }

    Database& tran_;
    std::string table_;
    std::size_t copied_;
    std::vector<ColumnDef> written_;
    std::vector<Value> values_;
    Statement find_;
    Statement insert_;
    std::optional<Statement> update_;
};

// How the races are computed: by a per-race function, by the engine runner by runner, or not.
struct Prediction {
    const RacePredictorFactory* factory = nullptr;
    bool engine = false;
};

// The engine over one race, each runner written once where that gives the same rows as copying
// every runner and then running the engine over the stored race.
class EngineRaces {
  public:
    EngineRaces(Database& mast, Database& tran, HorseCopier& copier)
        : tran_(tran), copier_(copier), engine_(mast, tran), inputPlaces_(runnerInputPlaces()) {}

    // What the engine reads of a horse, kept as the copier preloads it.
    void keepInputs(const std::string& code, const Statement& horseRow) {
        inputs_.insert_or_assign(code, runnerInputs(horseRow, inputPlaces_));
    }

    void run(std::string_view record, const MeetingTables& meeting, int raceNumber,
             std::span<const FieldSpec> runnerCodes) {
        const auto race = engine_.readRace(meeting.race, raceNumber);
        std::array<std::string, kDen1RunnerSlots> codes;
        bool agree = race.has_value() && copier_.storesAsIs(meeting.entries);
        for (int z = 0; z < kDen1RunnerSlots; ++z) {
            auto& code = codes[static_cast<std::size_t>(z)];
            code = decodeField(record, runnerCodes[static_cast<std::size_t>(z)]);
            // The engine finds a runner's row by the code within the stored entry; the copy goes
            // by the record's code field. They are the same characters unless the entry holds
            // bytes that decode across the field's edge.
            if (agree && !isBlank(code)) {
                agree = charactersAt(race->entries[static_cast<std::size_t>(z)], 2, 8) == code;
            }
        }

        if (!agree) {
            for (const auto& code : codes) {
                if (!isBlank(code)) copier_.copy(meeting.entries, code);
            }
            if (race) {
                for (int z = 1; z <= kDen1RunnerSlots; ++z) {
                    engine_.predictStoredRunner(meeting.entries, *race, z);
                }
            }
            return;
        }

        RunnerRowWriter& writer = writerFor(meeting.entries);
        for (int z = 1; z <= kDen1RunnerSlots; ++z) {
            const std::string& code = codes[static_cast<std::size_t>(z - 1)];
            const HorseValues* horse = isBlank(code) ? nullptr : copier_.lookUp(code);
            const auto inputs = horse ? inputs_.find(code) : inputs_.end();
            if (horse && inputs != inputs_.end()) {
                writer.write(copier_, engine_, *race, z, code, *horse, inputs->second);
                continue;
            }
            // Not copied: a row of the horse kept from an earlier import is computed as stored.
            const std::string_view stored =
                charactersAt(race->entries[static_cast<std::size_t>(z - 1)], 2, 8);
            if (copier_.mayHaveRow(meeting.entries, stored)) {
                engine_.predictStoredRunner(meeting.entries, *race, z);
            }
        }
    }

  private:
    RunnerRowWriter& writerFor(const std::string& entries) {
        auto it = writers_.find(entries);
        if (it == writers_.end()) {
            it = writers_.try_emplace(entries, tran_, copier_, entries).first;
        }
        return it->second;
    }

    Database& tran_;
    HorseCopier& copier_;
    RacePredictor engine_;
    std::vector<int> inputPlaces_;
    TextMap<RunnerInputs> inputs_;
    std::unordered_map<std::string, RunnerRowWriter> writers_;
};

RaceCardImportResult runImport(const AppPaths& paths, const ProgressFn& progress,
                               const Prediction& prediction) {
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
        // Every meeting's tables are made before any row is written: a new table changes the
        // schema, which makes every prepared statement prepare itself again.
        std::vector<std::string> newEntryTables;
        TextSet seen;
        for (const MeetingTables& meeting : meetings) {
            if (!seen.insert(meeting.race).second) continue;
            // The race table is the meeting's mark; its entries table is made along with it,
            // unless it is already there, as creating it twice would fail.
            if (!tran.hasTable(meeting.race)) {
                if (!tran.hasTable(meeting.entries)) {
                    createEntryTable(tran, meeting.entries);
                    newEntryTables.push_back(meeting.entries);
                }
                createRaceTable(tran, meeting.race);
            }
        }
        std::vector<FieldSpec> runnerCodes;
        for (int k = 1; k <= kDen1RunnerSlots; ++k) {
            runnerCodes.push_back(den1RunnerSubField(k, "umacode"));
        }

        HorseCopier copier(mast, tran);
        for (const std::string& table : newEntryTables) copier.tableIsNew(table);
        std::optional<EngineRaces> engine;
        if (prediction.engine) engine.emplace(mast, tran, copier);
        // The runners' horses are read from the master in one pass rather than one by one.
        TextSet runners;
        for (std::size_t i = 1; i <= n; ++i) {
            for (const FieldSpec& code : runnerCodes) {
                std::string umacode = decodeField(file->record(i), code);
                if (!isBlank(umacode)) runners.insert(std::move(umacode));
            }
        }
        copier.preload(runners, [&](const std::string& code, const Statement& row) {
            if (engine) engine->keepInputs(code, row);
        });

        const RacePredictFn predict = prediction.factory && *prediction.factory
                                          ? (*prediction.factory)(mast, tran)
                                          : RacePredictFn{};
        std::unordered_map<std::string, RaceRowWriter> writers;
        const FieldSpec& raceNumberField = kDen1Layout.field(kRaceNumberField);

        for (std::size_t i = 1; i <= n; ++i) {
            steps.show(static_cast<int>(10 + 90 * i / n));
            const std::string_view record = file->record(i);
            const MeetingTables& meeting = meetings[i - 1];

            auto writer = writers.find(meeting.race);
            if (writer == writers.end()) {
                writer = writers.try_emplace(meeting.race, tran, meeting.race).first;
            }
            writer->second.write(record);

            const int raceNumber =
                static_cast<int>(numericValue(decodeField(record, raceNumberField)));
            if (engine) {
                engine->run(record, meeting, raceNumber, runnerCodes);
            } else {
                for (const FieldSpec& code : runnerCodes) {
                    const std::string umacode = decodeField(record, code);
                    if (!isBlank(umacode)) copier.copy(meeting.entries, umacode);
                }
                if (predict) predict(meeting.race, meeting.entries, raceNumber);
            }

            result.currentRaceTable = meeting.race;
            result.currentEntryTable = meeting.entries;
        }
    }
    tx.commit();
    readMast.commit();
    steps.show(100);
    return result;
}

}  // namespace

RaceCardImportResult importRaceCards(const AppPaths& paths, const ProgressFn& progress,
                                     const RacePredictorFactory& makePredictor) {
    return runImport(paths, progress, Prediction{&makePredictor, false});
}

RaceCardImportResult importRaceCards(const AppPaths& paths, const ProgressFn& progress) {
    return runImport(paths, progress, Prediction{nullptr, true});
}

RaceCardImportResult importRaceCards(const AppPaths& paths, const ProgressFn& progress,
                                     const RacePredictFn& predict) {
    return importRaceCards(paths, progress,
                           RacePredictorFactory([&](Database&, Database&) { return predict; }));
}

std::optional<RaceCardImportResult> importRaceCardsIfPresent(
    const AppPaths& paths, const ProgressFn& progress, const RacePredictorFactory& makePredictor) {
    if (!raceCardFileIsThere(paths)) return std::nullopt;
    importHorses(paths, progress);
    return importRaceCards(paths, progress, makePredictor);
}

std::optional<RaceCardImportResult> importRaceCardsIfPresent(const AppPaths& paths,
                                                             const ProgressFn& progress) {
    if (!raceCardFileIsThere(paths)) return std::nullopt;
    importHorses(paths, progress);
    return importRaceCards(paths, progress);
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
