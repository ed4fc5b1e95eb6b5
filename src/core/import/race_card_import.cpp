#include "core/import/race_card_import.hpp"
#include "core/import/record_delivery.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <deque>
#include <filesystem>
#include <future>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/import/horse_import.hpp"
#include "core/import/ordered_worker.hpp"
#include "core/import/record_meetings.hpp"
#include "core/predict/predict_race.hpp"
#include "core/records/cp932.hpp"
#include "core/records/layout_den1.hpp"
#include "core/records/layouts.hpp"
#include "core/records/numeric.hpp"
#include "core/records/record_file.hpp"
#include "core/records/runner_entry.hpp"
#include "core/tables/entry_row.hpp"
#include "core/tables/race_tables.hpp"

namespace zelvanor {

namespace {

constexpr std::string_view kLineEndField = "lineEnd";
constexpr std::string_view kRaceNumberField = "bango";
constexpr std::string_view kGoingColumn = "RyoOmo";
constexpr std::int64_t kGoodGoing = 1;

// The meeting of a record. Its fields become table names and its race number a race row, so a
// record whose fields name no meeting or race is refused, naming the record.
MeetingTables recordMeeting(std::string_view record, std::size_t number) {
    return recordMeetingTables(kDen1Layout.fileName, number,
                               decodeField(record, kDen1Layout.field("basho")),
                               decodeField(record, kDen1Layout.field("year")),
                               decodeField(record, kDen1Layout.field("month")),
                               decodeField(record, kDen1Layout.field("day")),
                               decodeField(record, kDen1Layout.field(kRaceNumberField)));
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
    // `isNew`: the table was made by this import, so a race is in it only once written here.
    RaceRowWriter(Database& tran, std::string_view table, bool isNew)
        : tran_(tran),
          table_(table),
          isNew_(isNew),
          cols_(raceColumns(tran, table)),
          insert_(prepareWrite(tran, table, false)) {
        // The engine reads the race from the values just written when the table stores them as
        // they are written, and from the row otherwise.
        knowsRace_ = true;
        for (const std::string_view name : raceInputColumns()) {
            const auto it = std::find_if(cols_.fields.begin(), cols_.fields.end(),
                                         [&](const FieldSpec* f) { return f->name == name; });
            knowsRace_ =
                knowsRace_ && it != cols_.fields.end() &&
                tran.storesAsWritten(
                    table, cols_.columns[static_cast<std::size_t>(it - cols_.fields.begin())].name);
            raceInputPlaces_.push_back(static_cast<std::size_t>(it - cols_.fields.begin()));
        }
    }

    // Returns the race number written.
    std::int64_t write(std::string_view record) {
        const std::int64_t raceNumber = numericValue(decodeField(record, *cols_.raceNumber));
        std::optional<std::int64_t> rowid;
        if (!isNew_ || !written_.insert(raceNumber).second) {
            if (!find_) {
                find_.emplace(tran_.prepare("SELECT rowid FROM " + quoteIdentifier(table_) +
                                            " WHERE " + quoteIdentifier(kRaceNumberField) +
                                            " = ?1 LIMIT 1"));
            }
            StatementReset resetFind(*find_, StatementReset::Bindings::Keep);
            find_->bind(1, raceNumber);
            if (find_->step()) rowid = find_->int64(0);
        }
        // Replacing a race is for a second import of the card: prepared when first needed.
        replaced_ = rowid.has_value();
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
        return raceNumber;
    }

    // Whether the last write replaced a row that was there before.
    bool replaced() const { return replaced_; }

    // Whether race() gives the race as the engine would read the row just written.
    bool knowsRace() const { return knowsRace_; }

    // The race just written, read from its values as a statement reads the row: a null as 0 or
    // "". Only where knowsRace(): the columns hold whole numbers and texts as written.
    std::optional<RaceInputs> race() const {
        const auto text = [&](std::size_t k) {
            const auto* t = std::get_if<std::string>(&values_[raceInputPlaces_[k]]);
            return t ? *t : std::string();
        };
        const auto* bango = std::get_if<std::int64_t>(&values_[raceInputPlaces_[0]]);
        std::array<std::string, kDen1RunnerSlots> entries;
        for (std::size_t z = 0; z < entries.size(); ++z) entries[z] = text(5 + z);
        return raceInputs(bango ? *bango : 0, text(1), text(2), text(3), text(4),
                          std::move(entries));
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
    bool isNew_;
    std::unordered_set<std::int64_t> written_;  // race numbers, in a new table
    RaceColumns cols_;                          // before the statements: they are made from it
    bool knowsRace_ = false;
    bool replaced_ = false;
    std::vector<std::size_t> raceInputPlaces_;  // of raceInputColumns() among the values
    std::vector<Value> values_;
    std::optional<Statement> find_;
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

// Among runnerInputColumns(): the five histories, chocode, then the percentages.
constexpr std::size_t kChocodeInput = std::tuple_size_v<decltype(RunnerInputs::histories)>;

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

// A runner of a record as the import finds it: the horse code of its slot and, for a horse of
// 競走馬, what is copied of it and what the engine reads of it (found before the races are
// written, while the tables are made).
struct RunnerSlot {
    std::string code;
    const HorseValues* horse = nullptr;
    const RunnerInputs* inputs = nullptr;
};
using RecordRunners = std::array<RunnerSlot, kDen1RunnerSlots>;

// A runner whose entries row is written in one statement with the engine's columns: what the
// engine reads of it, and the row of the horse it replaces, if any.
struct PendingRunner {
    int slot = 0;
    std::string code;
    const HorseValues* horse = nullptr;
    const RunnerInputs* inputs = nullptr;  // the horse's, without course rates
    std::int64_t kCoseRen = 0;             // those of the row replaced; 0 for a new row
    std::int64_t cCoseRen = 0;
    std::optional<std::int64_t> rowid;
};

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
          insert_(prepareWrite(tran, copier, false)) {}

    // The engine's columns as this table defines them.
    std::span<const ColumnDef> outputs() const { return written_; }

    // The row the horse has in the table, with its course rates, if any.
    void findRow(std::string_view umacode, PendingRunner& runner) {
        // Not needed in a table this import made, unless a horse runs twice in the meeting.
        if (!stored_) stored_.emplace(tran_, table_, kEntryPeoplePart);
        if (stored_->find(umacode, storedRow_)) {
            runner.rowid = storedRow_.rowid;
            runner.kCoseRen = storedRow_.kCoseRen.value_or(0);
            runner.cCoseRen = storedRow_.cCoseRen.value_or(0);
        }
    }

    // The runner's row: the horse's columns and `values`, the engine's.
    void write(HorseCopier& copier, const PendingRunner& runner, std::span<const Value> values) {
        // A row to replace is rare (a horse twice in a meeting, a second import): its statement
        // is prepared when first needed.
        if (runner.rowid && !update_) update_.emplace(prepareWrite(tran_, copier, true));
        Statement& st = runner.rowid ? *update_ : insert_;
        StatementReset reset(st, StatementReset::Bindings::Keep);
        copier.bindCopied(table_, st, 1, *runner.horse);
        int index = static_cast<int>(copied_);
        for (const Value& v : values) st.bindView(++index, v);
        if (runner.rowid) st.bind(++index, *runner.rowid);
        st.run();
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
    std::optional<EntryRows> stored_;
    EntryRow storedRow_;
    Statement insert_;
    std::optional<Statement> update_;
};

// Runners of one race (or of part of it) that are computed together and then written in order.
struct RunnerBatch {
    RunnerRowWriter* writer = nullptr;
    std::shared_ptr<const RaceInputs> race;
    std::vector<PendingRunner> runners;
    std::vector<Value> values;  // the engine's columns, runner after runner
    OrderedWorker::Job job;
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

    // What the engine reads of a horse, seen as the copier preloads it. Kept only when it cannot
    // be taken from the copier's values as they are (see takeInputs).
    void keepInputs(const std::string& code, const Statement& horseRow) {
        if (!plainInputs([&](int place) { return horseRow.type(place); })) {
            inputs_.insert_or_assign(code, runnerInputs(horseRow, inputPlaces_));
        }
    }

    // Whether takeInputs reads the horse as a statement would read its row.
    bool takesInputsOf(const HorseValues& horse) const {
        return plainInputs([&](int place) { return horse.type(static_cast<std::size_t>(place)); });
    }

    // What the engine reads of the horse when kept; nullptr when it is taken from its values.
    const RunnerInputs* inputsOf(std::string_view code) const {
        const auto it = inputs_.find(code);
        return it == inputs_.end() ? nullptr : &it->second;
    }

    void run(const MeetingTables& meeting, int raceNumber, const RecordRunners& runners,
             const RaceRowWriter& written) {
        // Read while the worker may be computing: readRace uses none of what it does.
        auto race =
            written.knowsRace() ? written.race() : engine_.readRace(meeting.race, raceNumber);
        bool agree = race.has_value() && copier_.storesAsIs(meeting.entries);
        for (std::size_t z = 0; agree && z < runners.size(); ++z) {
            // The engine finds a runner's row by the code within the stored entry; the copy goes
            // by the record's code field. They are the same characters unless the entry holds
            // bytes that decode across the field's edge.
            const std::string& code = runners[z].code;
            agree = isBlank(code) || readRunnerEntry(race->entries[z]).umacode == code;
        }

        if (!agree) {
            finish();
            for (const RunnerSlot& runner : runners) {
                if (!isBlank(runner.code)) copier_.copy(meeting.entries, runner.code);
            }
            if (race) {
                for (int z = 1; z <= kDen1RunnerSlots; ++z) {
                    engine_.predictStoredRunner(meeting.entries, *race, z);
                }
            }
            return;
        }

        RunnerRowWriter& writer = writerFor(meeting.entries);
        const auto shared = std::make_shared<const RaceInputs>(std::move(*race));
        std::unique_ptr<RunnerBatch> batch;
        for (int z = 1; z <= kDen1RunnerSlots; ++z) {
            const RunnerSlot& slot = runners[static_cast<std::size_t>(z - 1)];
            const std::string& code = slot.code;
            if (!slot.horse) {
                // Not copied: a row of the horse kept from an earlier import is computed as
                // stored, by the engine here, once everything before it is written.
                const RunnerEntry stored =
                    readRunnerEntry(shared->entries[static_cast<std::size_t>(z - 1)]);
                if (stored.hasHorse && copier_.mayHaveRow(meeting.entries, stored.umacode)) {
                    queue(std::move(batch));
                    finish();
                    engine_.predictStoredRunner(meeting.entries, *shared, z);
                }
                continue;
            }
            PendingRunner runner;
            runner.slot = z;
            runner.code = code;
            runner.horse = slot.horse;
            runner.inputs = slot.inputs;
            if (copier_.mayHaveRow(meeting.entries, code)) {
                // The row to replace may be one still queued (the horse ran earlier in the
                // meeting, or in this race): it is written first, so that it is found.
                if (isQueued(writer, code, batch.get())) {
                    queue(std::move(batch));
                    finish();
                }
                writer.findRow(code, runner);
            }
            copier_.noteRow(meeting.entries, code);
            if (!batch) {
                batch = std::make_unique<RunnerBatch>();
                batch->writer = &writer;
                batch->race = shared;
            }
            batch->runners.push_back(std::move(runner));
        }
        queue(std::move(batch));
        writeComputed();
    }

    // Writes every queued runner.
    void finish() {
        while (!batches_.empty()) writeFront();
    }

  private:
    // Batches queued ahead of the one being written, at most: enough to keep the engine thread
    // busy, few enough to bound what waits in memory.
    static constexpr std::size_t kQueueDepth = 8;

    RunnerRowWriter& writerFor(const std::string& entries) {
        auto it = writers_.find(entries);
        if (it == writers_.end()) {
            it = writers_.try_emplace(entries, tran_, copier_, entries).first;
        }
        return it->second;
    }

    // The batch is computed on the worker, which alone uses the engine's masters (and so
    // mast.mdb, for a master not yet looked up) until it has no batch left: readRace is all the
    // engine does here meanwhile.
    void queue(std::unique_ptr<RunnerBatch> batch) {
        if (!batch) return;
        if (!worker_) worker_.emplace();
        RunnerBatch& b = *batches_.emplace_back(std::move(batch));
        worker_->queue(b.job, [this, &b] { compute(b); });
    }

    // On the worker.
    void compute(RunnerBatch& batch) {
        const std::span<const ColumnDef> defs = batch.writer->outputs();
        batch.values.resize(batch.runners.size() * defs.size());
        std::span<Value> out(batch.values);
        for (const PendingRunner& runner : batch.runners) {
            // The horse's inputs are shared by all its runs: the runner is computed from a copy
            // holding the course rates of its own row (reusing the last copy's buffers).
            if (runner.inputs) {
                computing_ = *runner.inputs;
            } else {
                takeInputs(*runner.horse, computing_);
            }
            computing_.kCoseRen = runner.kCoseRen;
            computing_.cCoseRen = runner.cCoseRen;
            engine_.computeRunner(*batch.race, runner.slot, computing_, defs,
                                  out.first(defs.size()));
            out = out.subspan(defs.size());
        }
    }

    // Whether each input, of the SQLite type `typeAt` gives for its place, is a text or null for
    // the texts and a whole number or null for the percentages, which takeInputs reads as they
    // are.
    template <typename TypeAt>
    bool plainInputs(TypeAt typeAt) const {
        for (std::size_t i = 0; i < inputPlaces_.size(); ++i) {
            const int type = typeAt(inputPlaces_[i]);
            if (type != SQLITE_NULL &&
                type != (i <= kChocodeInput ? SQLITE_TEXT : SQLITE_INTEGER)) {
                return false;
            }
        }
        return true;
    }

    // The inputs from the horse's values, each a text or null for the texts and a whole number or
    // null for the percentages: read as a statement reads them, null as "" and 0.
    void takeInputs(const HorseValues& horse, RunnerInputs& inputs) const {
        const auto text = [&](std::size_t i, std::string& to) {
            to.assign(horse.textView(static_cast<std::size_t>(inputPlaces_[i])));
        };
        for (std::size_t k = 0; k < kChocodeInput; ++k) text(k, inputs.histories[k]);
        text(kChocodeInput, inputs.chocode);
        std::array<int, kRunnerInputCount - kChocodeInput - 1> pct{};
        for (std::size_t i = 0; i < pct.size(); ++i) {
            pct[i] = static_cast<int>(
                horse.integer(static_cast<std::size_t>(inputPlaces_[kChocodeInput + 1 + i])));
        }
        inputs.aptitude = AptitudePercentages{
            pct[0], pct[1], pct[2],  pct[3],  pct[4],  pct[5],  pct[6],  pct[7],
            pct[8], pct[9], pct[10], pct[11], pct[12], pct[13], pct[14],
        };
    }

    // Whether a runner of the horse waits to be written into the writer's table.
    bool isQueued(const RunnerRowWriter& writer, std::string_view code,
                  const RunnerBatch* building) const {
        const auto holds = [&](const RunnerBatch* batch) {
            return batch && batch->writer == &writer &&
                   std::any_of(batch->runners.begin(), batch->runners.end(),
                               [&](const PendingRunner& r) { return r.code == code; });
        };
        return holds(building) || std::any_of(batches_.begin(), batches_.end(),
                                              [&](const auto& b) { return holds(b.get()); });
    }

    // Writes the batches computed so far, waiting only when too many are queued.
    void writeComputed() {
        while (!batches_.empty() &&
               (batches_.size() > kQueueDepth || worker_->isDone(batches_.front()->job))) {
            writeFront();
        }
    }

    void writeFront() {
        RunnerBatch& batch = *batches_.front();
        worker_->wait(batch.job);
        const std::size_t width = batch.writer->outputs().size();
        std::span<const Value> values(batch.values);
        for (const PendingRunner& runner : batch.runners) {
            batch.writer->write(copier_, runner, values.first(width));
            values = values.subspan(width);
        }
        batches_.pop_front();
    }

    Database& tran_;
    HorseCopier& copier_;
    RacePredictor engine_;
    std::vector<int> inputPlaces_;
    TextMap<RunnerInputs> inputs_;
    std::unordered_map<std::string, RunnerRowWriter> writers_;
    RunnerInputs computing_;  // the worker's
    // Before the worker: it is stopped, on any exit, before the batches it may be reading go.
    std::deque<std::unique_ptr<RunnerBatch>> batches_;
    std::optional<OrderedWorker> worker_;
};

// The horse import of the combined flow, on a thread of its own while the race card import makes
// its tables: the two write different files, and the race card import reads no horse before the
// horses are stored. Its progress is not reported as it goes: the
// progress callback is only ever called on the importing thread.
class HorsesAlongside {
  public:
    explicit HorsesAlongside(const AppPaths& paths)
        : done_(std::async(std::launch::async, [this, &paths] {
              return importHorses(paths, ProgressFn{}, stored_, report_);
          })) {}
    ~HorsesAlongside() {
        if (done_.valid()) done_.wait();
    }
    HorsesAlongside(const HorsesAlongside&) = delete;
    HorsesAlongside& operator=(const HorsesAlongside&) = delete;

    // Waits for the horses to be stored; rethrows what their import threw.
    void wait() {
        if (done_.valid()) {
            done_.get();
            succeeded_ = true;
        }
    }

    // Whether wait() saw the horses stored.
    bool succeeded() const { return succeeded_; }

    // The horses as stored, once wait() returned: the race card import need not read them back.
    StoredHorses& stored() { return stored_; }
    // The horse import's figures, once wait() returned.
    const FileReport& report() const { return report_; }

    // Runs `step`; when it throws, the horses' own failure is the one passed on, as it would
    // have come first.
    template <typename Step>
    auto firstTheirs(Step&& step) -> decltype(step()) {
        try {
            return step();
        } catch (...) {
            wait();
            throw;
        }
    }

  private:
    bool succeeded_ = false;
    StoredHorses stored_;  // before the thread that fills it
    FileReport report_;
    std::future<std::size_t> done_;
};

// The file's records and their meetings. The file is read and every record's meeting checked
// before a database is opened, so that a refused file changes nothing.
struct RaceCardFile {
    RecordFile file;
    std::vector<MeetingTables> meetings;
};

RaceCardFile readRaceCardFile(const AppPaths& paths) {
    // A file ending in part of a record was cut short: the races of its lost tail would be
    // missing without a word. An empty file is read as no races.
    std::optional<RecordFile> file =
        openDelivery(paths, kDen1Layout, "データ", WhenMissing::Refuse, WhenEmpty::NoRecords);
    const std::size_t n = file->count();
    std::vector<MeetingTables> meetings;
    meetings.reserve(n);
    for (std::size_t i = 1; i <= n; ++i) meetings.push_back(recordMeeting(file->record(i), i));
    return {std::move(*file), std::move(meetings)};
}

// The tables an import made.
struct NewTables {
    std::vector<std::string> entries;
    TextSet races;
};

// Makes the tables of every meeting whose race table is missing. Every meeting's tables are made
// before any row is written: a new table changes the schema, which makes every prepared statement
// prepare itself again.
NewTables makeMeetingTables(Database& tran, const std::vector<MeetingTables>& meetings) {
    NewTables made;
    TextSet seen;
    for (const MeetingTables& meeting : meetings) {
        if (!seen.insert(meeting.race).second) continue;
        // The race table is the meeting's mark; its entries table is made along with it, unless
        // it is already there, as creating it twice would fail.
        if (!tran.hasTable(meeting.race)) {
            if (!tran.hasTable(meeting.entries)) {
                createEntryTable(tran, meeting.entries);
                made.entries.push_back(meeting.entries);
            }
            createRaceTable(tran, meeting.race);
            made.races.insert(meeting.race);
        }
    }
    return made;
}

// The race card import; with `horses`, the combined flow, whose horses are being stored
// meanwhile, and `tranDb` opened before they were touched.
RaceCardImportResult runImport(const AppPaths& paths, const ProgressFn& progress,
                               const Prediction& prediction, const RaceCardFile& card,
                               HorsesAlongside* horses, std::optional<Database>& tranDb) {
    const RecordFile& file = card.file;
    const std::vector<MeetingTables>& meetings = card.meetings;
    const std::size_t n = file.count();

    ProgressSteps steps(progress);
    RaceCardImportResult result;
    result.recordCount = n;
    result.report.file = std::string(kDen1Layout.fileName);
    result.report.read = n;

    // Without horses alongside, nothing is opened before the progress callback had its say.
    std::optional<Transaction> tx;
    NewTables made;
    if (horses) {
        horses->firstTheirs([&] {
            tx.emplace(*tranDb);
            made = makeMeetingTables(*tranDb, meetings);
        });
        horses->wait();
    }
    steps.show(10);
    if (!tranDb) {
        tranDb.emplace(paths.tranPath());
        tx.emplace(*tranDb);
    }
    Database& tran = *tranDb;
    Database mast(paths.mastPath());
    // One read transaction on mast for the whole import: without it every horse lookup takes and
    // drops the file's lock again.
    Transaction readMast(mast);
    {
        std::vector<FieldSpec> runnerCodes;
        for (int k = 1; k <= kDen1RunnerSlots; ++k) {
            runnerCodes.push_back(den1RunnerSubField(k, "umacode"));
        }
        HorseCopier copier(mast, tran);
        std::optional<EngineRaces> engine;
        if (prediction.engine) engine.emplace(mast, tran, copier);

        // The runners' horses are read from the master in one pass rather than one by one, on a
        // thread of its own while the tables are made (unless they are made already): one reads
        // mast.mdb, the other writes tran.mdb, and neither uses what the other does.
        // The horses just stored are in hand as stored: they are not read back, unless the engine
        // would read one of them otherwise than it reads a row.
        bool adopted = false;
        if (horses && horses->stored().exact) {
            const auto& kept = horses->stored().byCode;
            adopted = !engine || std::all_of(kept.begin(), kept.end(), [&](const auto& horse) {
                return engine->takesInputsOf(horse.second);
            });
            if (adopted) copier.adopt(std::move(horses->stored().byCode));
        }
        std::vector<RecordRunners> runnersOf(n);
        auto preloaded = std::async(std::launch::async, [&] {
            TextSet runners;
            for (std::size_t i = 0; i < n; ++i) {
                for (std::size_t k = 0; k < runnerCodes.size(); ++k) {
                    std::string& code = runnersOf[i][k].code;
                    code = decodeField(file.record(i + 1), runnerCodes[k]);
                    if (!isBlank(code)) runners.insert(code);
                }
            }
            if (!adopted) {
                copier.preload(runners, [&](const std::string& code, const Statement& row) {
                    if (engine) engine->keepInputs(code, row);
                });
            }
            if (!engine) return;
            for (RecordRunners& record : runnersOf) {
                for (RunnerSlot& runner : record) {
                    if (isBlank(runner.code)) continue;
                    runner.horse = copier.lookUp(runner.code);
                    runner.inputs = engine->inputsOf(runner.code);
                }
            }
        });
        if (!horses) made = makeMeetingTables(tran, meetings);
        preloaded.get();
        for (const std::string& table : made.entries) copier.tableIsNew(table);

        const RacePredictFn predict = prediction.factory && *prediction.factory
                                          ? (*prediction.factory)(mast, tran)
                                          : RacePredictFn{};
        std::unordered_map<std::string, RaceRowWriter> writers;

        for (std::size_t i = 1; i <= n; ++i) {
            steps.show(static_cast<int>(10 + 90 * i / n));
            const std::string_view record = file.record(i);
            const MeetingTables& meeting = meetings[i - 1];

            auto writer = writers.find(meeting.race);
            if (writer == writers.end()) {
                writer = writers
                             .try_emplace(meeting.race, tran, meeting.race,
                                          made.races.contains(meeting.race))
                             .first;
            }
            const int raceNumber = static_cast<int>(writer->second.write(record));
            if (writer->second.replaced()) ++result.report.replaced;
            if (engine) {
                engine->run(meeting, raceNumber, runnersOf[i - 1], writer->second);
            } else {
                for (const RunnerSlot& runner : runnersOf[i - 1]) {
                    if (!isBlank(runner.code)) copier.copy(meeting.entries, runner.code);
                }
                if (predict) predict(meeting.race, meeting.entries, raceNumber);
            }

            result.currentRaceTable = meeting.race;
            result.currentEntryTable = meeting.entries;
        }
        if (engine) engine->finish();
    }
    tx->commit();
    readMast.commit();
    // Every race is written: a race given twice replaces its earlier row.
    result.report.stored = n;
    if (horses) result.horses = horses->report();
    steps.show(100);
    return result;
}

}  // namespace

RaceCardImportResult importRaceCards(const AppPaths& paths, const ProgressFn& progress,
                                     const RacePredictorFactory& makePredictor) {
    std::optional<Database> tran;
    return runImport(paths, progress, Prediction{&makePredictor, false}, readRaceCardFile(paths),
                     nullptr, tran);
}

RaceCardImportResult importRaceCards(const AppPaths& paths, const ProgressFn& progress) {
    std::optional<Database> tran;
    return runImport(paths, progress, Prediction{nullptr, true}, readRaceCardFile(paths), nullptr,
                     tran);
}

RaceCardImportResult importRaceCards(const AppPaths& paths, const ProgressFn& progress,
                                     const RacePredictFn& predict) {
    return importRaceCards(paths, progress,
                           RacePredictorFactory([&](Database&, Database&) { return predict; }));
}

namespace {

std::optional<RaceCardImportResult> combinedImport(const AppPaths& paths,
                                                   const ProgressFn& progress,
                                                   const Prediction& prediction) {
    if (!raceCardFileIsThere(paths)) return std::nullopt;
    // A race card file that is refused is refused before the horses are touched: a bad file
    // changes nothing at all.
    const RaceCardFile card = readRaceCardFile(paths);
    std::error_code ec;
    if (!std::filesystem::exists(paths.extractionFolder() / std::string(kUmajLayout.fileName),
                                 ec)) {
        // Refused by the horse import itself, before anything is opened.
        importHorses(paths, progress);
    }
    report(progress, 0);
    // tran.mdb is opened before the horses are touched: one that is no database refuses the
    // import with nothing changed, rather than after the horses were stored.
    std::optional<Database> tran;
    tran.emplace(paths.tranPath());
    HorsesAlongside horses(paths);
    try {
        return runImport(paths, progress, prediction, card, &horses, tran);
    } catch (const std::exception& e) {
        if (!horses.succeeded()) throw;
        throw HorsesStoredError(e.what());
    }
}

}  // namespace

std::optional<RaceCardImportResult> importRaceCardsIfPresent(
    const AppPaths& paths, const ProgressFn& progress, const RacePredictorFactory& makePredictor) {
    return combinedImport(paths, progress, Prediction{&makePredictor, false});
}

std::optional<RaceCardImportResult> importRaceCardsIfPresent(const AppPaths& paths,
                                                             const ProgressFn& progress) {
    return combinedImport(paths, progress, Prediction{nullptr, true});
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
