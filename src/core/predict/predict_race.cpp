#include "core/predict/predict_race.hpp"

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/predict/ability.hpp"
#include "core/predict/connections.hpp"
#include "core/predict/engine_values.hpp"
#include "core/predict/running_style.hpp"
#include "core/predict/speed_figure.hpp"
#include "core/records/numeric.hpp"
#include "core/records/runner_entry.hpp"
#include "core/records/text_map.hpp"
#include "core/store/store.hpp"
#include "core/tables/constants_table.hpp"
#include "core/tables/entry_row.hpp"
#include "core/tables/people_tables.hpp"
#include "core/tables/race_row.hpp"
#include "core/tables/racing.hpp"

namespace zelvanor {

namespace {

constexpr int kSlots = kPlacesPerRace;
constexpr int kHistories = 5;

// One master sought by one key. The masters do not change while a predictor lives (it serves one
// import or recalculation), so each key is sought once: a season asks for the same few hundred
// jockeys and trainers a quarter of a million times.
class MasterLookup {
  public:
    MasterLookup(Database& mast, MasterRows::Key key) : rows_(mast, key) {}

    const MasterPerson* find(std::string_view key) {
        auto it = cache_.find(key);
        if (it == cache_.end()) it = cache_.emplace(std::string(key), rows_.find(key)).first;
        return it->second ? &*it->second : nullptr;
    }

  private:
    MasterRows rows_;
    TextMap<std::optional<MasterPerson>> cache_;
};

// The engine's columns of an entries row, in the order the UPDATE binds them.
enum Written : std::size_t {
    kRaceNo,
    kWakuNo,
    kWakuUmaNo,
    kCodeKisi,
    kNameKisi,
    kTouzaiKisi,
    kMinaraiKisi,
    kKSougouRen,
    kKCoseRen,
    kNameChok,
    kTouzaiChok,
    kCSougouRen,
    kCCoseRen,
    kShisuu3kaku,
    kTokusei3kaku,
    kTokuseiMigiHidari,
    kTokuseiShibaDert,
    kTokuseiTenkou,
    kTokuseiKyori,
    kTokuseiShisuu,
    kOmoTokuseiShisuu,
    kSpBase1,  // … kSpBase1 + 4
    kSpBase = kSpBase1 + kHistories,
    kSpSeichou,
    kNouryoku1,
    kOmoNouryoku1,
    kNouryoku2,
    kOmoNouryoku2,
    kNouryoku3,
    kOmoNouryoku3,
    kWrittenCount,
};

constexpr std::array<std::string_view, kWrittenCount> kWrittenNames = {
    "RaceNo",           "WakuNo",        "WakuUmaNo",    "CodeKisi",
    "NameKisi",         "touzaiKisi",    "MinaraiKisi",  "KSougouRen",
    "KCoseRen",         "NameChok",      "touzaiChok",   "CSougouRen",
    "CCoseRen",         "Shisuu3kaku",   "Tokusei3kaku", "TokuseiMigiHidari",
    "TokuseiShibaDert", "TokuseiTenkou", "TokuseiKyori", "TokuseiShisuu",
    "OmoTokuseiShisuu", "SpBase1",       "SpBase2",      "SpBase3",
    "SpBase4",          "SpBase5",       "SpBase",       "SpSeichou",
    "Nouryoku1",        "OmoNouryoku1",  "Nouryoku2",    "OmoNouryoku2",
    "Nouryoku3",        "OmoNouryoku3",
};

static_assert(!kWrittenNames.back().empty(), "a name for every written column");

// The course rates stay as they were when the race's course is none of "01" … "10".
bool mayKeep(std::size_t column) {
    return column == kKCoseRen || column == kCCoseRen;
}

// The engine's values for one runner, each converted as its column stores it.
class RowValues {
  public:
    RowValues(std::span<const ColumnDef> defs, std::span<Value> values)
        : defs_(defs), values_(values) {}

    // Returns the value as stored, which is what later steps compute with.
    const Value& set(Written column, const Value& v) {
        values_[column] = convertForColumn(defs_[column], v);
        return values_[column];
    }
    std::int64_t setWhole(Written column, double v) {
        return std::get<std::int64_t>(set(column, v));
    }
    // Null leaves the column as it is (see mayKeep).
    void keep(Written column) { values_[column] = Value{}; }

  private:
    std::span<const ColumnDef> defs_;
    std::span<Value> values_;
};

// What the race SELECT returns, in this order.
constexpr std::array<std::string_view, 5 + kSlots> kRaceInputNames = {
    "bango", "basho", "track", "tousuu", "kyori", "uma1",  "uma2",  "uma3",
    "uma4",  "uma5",  "uma6",  "uma7",   "uma8",  "uma9",  "uma10", "uma11",
    "uma12", "uma13", "uma14", "uma15",  "uma16", "uma17", "uma18",
};

// The runner inputs: the histories, chocode, then the aptitude percentages.
static_assert(kRunnerInputCount == kHistoryColumns + 1 + kAptitudeCount);
constexpr auto kRunnerInputNames = [] {
    std::array<std::string_view, kRunnerInputCount> names = {"inf1", "inf2", "inf3",   "inf4",
                                                             "inf5", "chocode"};
    for (std::size_t i = 0; i < kAptitudeCount; ++i) {
        names[kHistoryColumns + 1 + i] = kAptitudeColumnNames[i];
    }
    return names;
}();

// What the engine reads of a stored runner.
RunnerInputs runnerInputs(const EntryRow& row) {
    RunnerInputs r;
    r.histories = row.histories;
    r.chocode = row.chocode;
    const auto pct = [&](AptitudeColumn c) { return static_cast<int>(row.aptitudes[c]); };
    r.aptitude = AptitudePercentages{
        pct(kBabaShibaR),      pct(kBabaShibaL),      pct(kBabaDertR),      pct(kBabaDertL),
        pct(kBabaSougou),      pct(kJotaiShibaRyo),   pct(kJotaiShibaOmo),  pct(kJotaiDertRyo),
        pct(kJotaiDertOmo),    pct(kKyoriShiba1600),  pct(kKyoriShiba2200), pct(kKyoriShiba2201),
        pct(kKyoriDert1600),   pct(kKyoriDert2200),   pct(kKyoriDert2201),
    };
    r.kCoseRen = row.kCoseRen.value_or(0);
    r.cCoseRen = row.cCoseRen.value_or(0);
    return r;
}

}  // namespace

std::span<const std::string_view> raceInputColumns() {
    return kRaceInputNames;
}

std::span<const std::string_view> runnerInputColumns() {
    return kRunnerInputNames;
}

std::span<const std::string_view> engineOutputColumns() {
    return kWrittenNames;
}

RunnerInputs runnerInputs(const Statement& st, std::span<const int> columns) {
    RunnerInputs r;
    for (int k = 0; k < kHistories; ++k) {
        r.histories[static_cast<std::size_t>(k)] = st.text(columns[static_cast<std::size_t>(k)]);
    }
    r.chocode = st.text(columns[kHistories]);
    const auto pct = [&](std::size_t i) {
        return static_cast<int>(st.int64(columns[kHistories + 1 + i]));
    };
    r.aptitude = AptitudePercentages{
        pct(0), pct(1), pct(2),  pct(3),  pct(4),  pct(5),  pct(6),  pct(7),
        pct(8), pct(9), pct(10), pct(11), pct(12), pct(13), pct(14),
    };
    return r;
}

struct RacePredictor::Impl {
    Database& tran;
    Multipliers multipliers;
    MasterLookup jockeyByCode;
    MasterLookup jockeyByShortName;
    MasterLookup trainerByCode;

    // The statements of the meeting worked on last; another meeting prepares its own.
    std::string raceTable;
    std::optional<RaceRows> races;
    RaceRow race;
    std::string entryTable;
    std::optional<EntryRows> runners;
    EntryRow runnerRow;
    std::optional<Statement> updateRunner;
    std::vector<ColumnDef> writtenDefs;
    std::array<Value, kWrittenCount> written{};

    Impl(Database& mast, Database& t, Multipliers m)
        : tran(t),
          multipliers(m),
          jockeyByCode(mast, MasterRows::Key::JockeyCode),
          jockeyByShortName(mast, MasterRows::Key::JockeyShortName),
          trainerByCode(mast, MasterRows::Key::TrainerCode) {}

    void useRaceTable(std::string_view name) {
        if (races && raceTable == name) return;
        races.emplace(tran, name, kRaceDayPart | kRaceConditionsPart | kEntriesPart);
        raceTable = name;
    }

    void useEntryTable(std::string_view name) {
        if (runners && entryTable == name) return;
        runners.reset();
        updateRunner.reset();

        std::vector<ColumnDef> defs = outputDefs(tran, name);
        std::string update = "UPDATE " + quoteIdentifier(name) + " SET ";
        for (std::size_t i = 0; i < kWrittenCount; ++i) {
            const std::string column = quoteIdentifier(defs[i].name);
            const std::string param = "?" + std::to_string(i + 1);
            update += (i ? ", " : "") + column + " = " +
                      (mayKeep(i) ? "COALESCE(" + param + ", " + column + ")" : param);
        }
        update += " WHERE rowid = ?" + std::to_string(kWrittenCount + 1);

        runners.emplace(tran, name, kEntryHistoryPart | kEntryPeoplePart | kEntryAptitudePart);
        updateRunner.emplace(tran.prepare(update));
        writtenDefs = std::move(defs);
        entryTable = name;
    }

    std::optional<RaceInputs> readRace(std::string_view raceTableName, int raceNumber);
    bool predictStored(std::string_view entryTableName, const RaceInputs& race, int slot);
    void compute(const RaceInputs& race, int slot, const RunnerInputs& runner,
                 std::span<const ColumnDef> defs, std::span<Value> out);
};

std::optional<RaceInputs> RacePredictor::Impl::readRace(std::string_view raceTableName,
                                                        int raceNumber) {
    useRaceTable(raceTableName);
    if (!races->find(raceNumber, race)) return std::nullopt;
    return raceInputs(race.bango, race.basho, race.track, race.tousuu, race.kyori, race.entries);
}

bool RacePredictor::Impl::predictStored(std::string_view entryTableName, const RaceInputs& race,
                                        int slot) {
    useEntryTable(entryTableName);
    const RunnerEntry entry = readRunnerEntry(race.entries[static_cast<std::size_t>(slot - 1)]);
    if (!entry.hasHorse || !runners->find(entry.umacode, runnerRow)) return false;
    const std::int64_t rowid = runnerRow.rowid;
    compute(race, slot, runnerInputs(runnerRow), writtenDefs, written);
    Statement& update = *updateRunner;
    StatementReset reset(update, StatementReset::Bindings::Keep);
    for (std::size_t i = 0; i < written.size(); ++i) {
        update.bindView(static_cast<int>(i + 1), written[i]);
    }
    update.bind(static_cast<int>(kWrittenCount + 1), rowid);
    update.run();
    return true;
}

void RacePredictor::Impl::compute(const RaceInputs& raceInputs, int slot,
                                  const RunnerInputs& runner, std::span<const ColumnDef> defs,
                                  std::span<Value> out) {
    const RaceValues& race = raceInputs.values;
    const RunnerEntry entry =
        readRunnerEntry(raceInputs.entries[static_cast<std::size_t>(slot - 1)]);
    RowValues row(defs, out);
    row.set(kRaceNo, raceInputs.bango);
    const std::int64_t wakuNo = row.setWhole(kWakuNo, static_cast<double>(entry.bracketNumber));
    row.set(kWakuUmaNo, std::int64_t{slot});
    const std::string jockeyCode(entry.jockeyCode);
    row.set(kCodeKisi, jockeyCode);

    const DayConnection jockey =
        dayConnection(jockeyCode, jockeyByCode.find(jockeyCode), race.course);
    row.set(kNameKisi, jockey.name);
    row.set(kTouzaiKisi, jockey.touzai);
    row.set(kMinaraiKisi, jockey.minarai);
    row.set(kKSougouRen, jockey.sougouRen);
    std::int64_t kCoseRen = runner.kCoseRen;
    if (jockey.courseRate) {
        kCoseRen = row.setWhole(kKCoseRen, *jockey.courseRate);
    } else {
        row.keep(kKCoseRen);
    }

    const std::string trainerCode(entry.trainerCode);
    const DayConnection trainer =
        dayConnection(trainerCode, trainerByCode.find(trainerCode), race.course);
    row.set(kNameChok, trainer.name);
    row.set(kTouzaiChok, trainer.touzai);
    row.set(kCSougouRen, trainer.sougouRen);
    std::int64_t cCoseRen = runner.cCoseRen;
    if (trainer.courseRate) {
        cCoseRen = row.setWhole(kCCoseRen, *trainer.courseRate);
    } else {
        row.keep(kCCoseRen);
    }

    // Both stages read the same five texts at character positions: they are indexed once.
    std::array<CharacterText, kHistories> histories;
    for (std::size_t k = 0; k < histories.size(); ++k) histories[k].index(runner.histories[k]);
    const RunningStyleResult style =
        runningStyleAndAptitude(histories, runner.aptitude, race, multipliers);
    row.set(kShisuu3kaku, std::int64_t{style.style.index});
    row.set(kTokusei3kaku, style.style.style);
    row.set(kTokuseiMigiHidari, style.marks.direction);
    row.set(kTokuseiShibaDert, style.marks.surface);
    row.set(kTokuseiTenkou, style.marks.going);
    row.set(kTokuseiKyori, style.marks.distance);
    row.set(kTokuseiShisuu, style.indices.good);
    row.set(kOmoTokuseiShisuu, style.indices.heavy);

    // Past races are credited to the trainer of the runner's row, whoever trained it then.
    const MasterPerson* pastTrainer = trainerByCode.find(runner.chocode);
    const SpeedFigures speed =
        speedFigures(histories, [&](std::string_view jockeyName, std::int64_t course) {
            return pastConnections(jockeyByShortName.find(jockeyName), pastTrainer, course);
        });
    for (std::size_t k = 0; k < speed.figures.size(); ++k) {
        row.set(static_cast<Written>(kSpBase1 + k), speed.figures[k]);
    }
    row.set(kSpBase, speed.mean);
    row.set(kSpSeichou, speed.growth);

    AbilityInputs in;
    in.spBase = speed.mean;
    in.spSeichou = speed.growth;
    in.tokuseiShisuu = style.indices.good;
    in.omoTokuseiShisuu = style.indices.heavy;
    in.tokusei3kaku = style.style.style;
    in.kCoseRen = kCoseRen;
    in.cCoseRen = cCoseRen;
    in.wakuNo = wakuNo;
    in.weightedGood = style.indices.weightedGood;
    in.weightedHeavy = style.indices.weightedHeavy;
    in.weightCarried = entry.weight;
    const AbilityValues ability = abilityValues(in, race, multipliers);
    row.set(kNouryoku1, ability.nouryoku1);
    row.set(kOmoNouryoku1, ability.omoNouryoku1);
    row.set(kNouryoku2, ability.nouryoku2);
    row.set(kOmoNouryoku2, ability.omoNouryoku2);
    row.set(kNouryoku3, ability.nouryoku3);
    row.set(kOmoNouryoku3, ability.omoNouryoku3);
}

std::optional<RaceInputs> raceInputs(std::int64_t bango, std::string basho, std::string track,
                                     std::string_view tousuu, std::string_view kyori,
                                     std::array<std::string, kPlacesPerRace> entries) {
    RaceInputs race;
    race.bango = bango;
    race.values.course = std::move(basho);
    race.values.track = std::move(track);
    race.values.runners = static_cast<int>(numericValue(tousuu));
    race.values.distance = numericValue(kyori);
    race.entries = std::move(entries);
    // The aptitude index divides by the field size: a race without one is left as it is.
    if (race.values.runners <= 0) return std::nullopt;
    return race;
}

std::vector<ColumnDef> outputDefs(Database& tran, std::string_view entryTable) {
    std::vector<ColumnDef> defs;
    for (const std::string_view name : kWrittenNames) defs.push_back(tran.column(entryTable, name));
    return defs;
}

RacePredictor::RacePredictor(Database& mast, Database& tran) {
    // The masters the engine reads are created when missing (定数 with its default row, the
    // others empty) before the constants are read.
    if (!mast.hasTable(kConstantsTable)) createConstantsTable(mast);
    if (!mast.hasTable(kJockeyTable)) createJockeyTable(mast);
    if (!mast.hasTable(kTrainerTable)) createTrainerTable(mast);
    impl_ = std::make_unique<Impl>(mast, tran, multipliersFrom(readConstants(mast)));
}

RacePredictor::~RacePredictor() = default;

bool RacePredictor::predictRace(std::string_view raceTable, std::string_view entryTable,
                                int raceNumber) {
    const auto race = impl_->readRace(raceTable, raceNumber);
    if (!race) return false;
    for (int z = 1; z <= kSlots; ++z) impl_->predictStored(entryTable, *race, z);
    return true;
}

std::optional<RaceInputs> RacePredictor::readRace(std::string_view raceTable, int raceNumber) {
    return impl_->readRace(raceTable, raceNumber);
}

bool RacePredictor::predictStoredRunner(std::string_view entryTable, const RaceInputs& race,
                                        int slot) {
    return impl_->predictStored(entryTable, race, slot);
}

void RacePredictor::computeRunner(const RaceInputs& race, int slot, const RunnerInputs& runner,
                                  std::span<const ColumnDef> defs, std::span<Value> out) {
    if (defs.size() != kWrittenCount || out.size() != kWrittenCount) {
        throw std::invalid_argument("computeRunner: one definition and one value per column");
    }
    impl_->compute(race, slot, runner, defs, out);
}

}  // namespace zelvanor
