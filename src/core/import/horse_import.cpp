#include "core/import/horse_import.hpp"
#include "core/import/record_delivery.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <filesystem>
#include <stdexcept>
#include <utility>

#include "core/import/ordered_worker.hpp"
#include "core/records/cp932.hpp"
#include "core/records/format.hpp"
#include "core/records/numeric.hpp"
#include "core/records/record_file.hpp"
#include "core/tables/race_tables.hpp"

namespace zelvanor {

namespace {

// Columns of kHorseCopyColumns filled from a record field of the same name.
constexpr std::size_t kPlainTextColumns = 22;  // umacode … shuutoku2
constexpr std::size_t kSeisekiColumn = 22;     // seiseki1 … seiseki4
constexpr std::size_t kInfColumn = 26;         // inf1 … inf5
constexpr std::size_t kMkdateColumn = 31;
constexpr std::size_t kAptitudeColumn = 32;

static_assert(kHorseCopyColumns[kPlainTextColumns - 1] == "shuutoku2");
static_assert(kHorseCopyColumns[kSeisekiColumn] == "seiseki1");
static_assert(kHorseCopyColumns[kInfColumn] == "inf1");
static_assert(kHorseCopyColumns[kMkdateColumn] == "mkdate");
static_assert(kHorseCopyColumns[kAptitudeColumn] == kAptitudeColumns[0]);
static_assert(kAptitudeColumn + kAptitudeColumns.size() == kHorseCopyColumns.size());

// The table's definitions of the copied columns, matched as the store matches names.
std::vector<ColumnDef> copiedColumnDefs(Database& db, std::string_view table) {
    std::vector<ColumnDef> defs;
    defs.reserve(kHorseCopyColumns.size());
    for (const auto name : kHorseCopyColumns) defs.push_back(db.column(table, name));
    return defs;
}

std::string columnList(const std::vector<ColumnDef>& defs, std::string_view suffix) {
    std::string sql;
    for (std::size_t i = 0; i < defs.size(); ++i) {
        if (i) sql += ", ";
        sql += quoteIdentifier(defs[i].name);
        sql += suffix;
        if (!suffix.empty()) sql += std::to_string(i + 1);
    }
    return sql;
}

std::string placeholders(std::size_t n) {
    std::string sql;
    for (std::size_t i = 1; i <= n; ++i) sql += (i > 1 ? ", ?" : "?") + std::to_string(i);
    return sql;
}

// The record fields behind the plain text columns and mkdate, looked up once per import.
struct RecordFields {
    std::array<const FieldSpec*, kPlainTextColumns> plain{};
    const FieldSpec* mkdate = nullptr;

    RecordFields() {
        for (std::size_t i = 0; i < kPlainTextColumns; ++i) {
            plain[i] = &kUmajLayout.field(kHorseCopyColumns[i]);
        }
        mkdate = &kUmajLayout.field("mkdate");
    }
};

// The values of kHorseCopyColumns for one record, before conversion for the table.
void rowValues(std::string_view record, const RecordFields& fields, std::vector<Value>& values) {
    for (std::size_t i = 0; i < kPlainTextColumns; ++i) {
        values[i] = decodeField(record, *fields.plain[i]);
    }
    // The placing counts are read in the same pass that joins them into seiseki1 … seiseki4.
    CategoryCounts counts;
    for (int k = 1; k <= kUmajCountsPerCategory; ++k) {
        std::string text;
        for (int g = 1; g <= kUmajCategories; ++g) {
            const std::size_t before = text.size();
            appendField(text, record, umajPlacingField(g, k));
            const std::int64_t count = numericValue(std::string_view(text).substr(before));
            auto& c = counts[static_cast<std::size_t>(g - 1)];
            (k == 1 ? c.first : k == 2 ? c.second : k == 3 ? c.third : c.other) = count;
        }
        values[kSeisekiColumn + static_cast<std::size_t>(k - 1)] = std::move(text);
    }
    for (int e = 1; e <= kUmajHistoryEntries; ++e) {
        const FieldSpec& entry = umajHistoryEntryField(e);
        values[kInfColumn + static_cast<std::size_t>(e - 1)] =
            decodeHistoryEntry(record.substr(entry.offset, entry.length));
    }
    values[kMkdateColumn] = decodeField(record, *fields.mkdate);
    const auto rates = aptitudeRates(counts);
    for (std::size_t i = 0; i < rates.size(); ++i) {
        values[kAptitudeColumn + i] = static_cast<std::int64_t>(rates[i]);
    }
}

}  // namespace

std::optional<double> placingRate(const PlacingCounts& c) {
    const auto total = c.first + c.second + c.third + c.other;
    if (total == 0) return std::nullopt;
    return static_cast<double>(c.first + c.second) / static_cast<double>(total) * 100.0;
}

std::array<int, kAptitudeColumns.size()> aptitudeRates(const CategoryCounts& counts) {
    const auto rate = [&](int category) {
        return placingRate(counts[static_cast<std::size_t>(category - 1)]);
    };
    const auto whole = [](double v) { return static_cast<int>(roundHalfEven(v)); };
    const auto plain = [&](int category) { return whole(rate(category).value_or(0.0)); };
    // The going columns average two categories: the first one's rate as it is, the second one's
    // already rounded. A category without runs counts 0 and still counts in the divisor.
    const auto going = [&](int a, int b) {
        const double first = rate(a).value_or(0.0);
        const auto second = rate(b);
        const double rounded = second ? roundHalfEven(*second) : 0.0;
        return whole((first + rounded) / 2.0);
    };

    std::int64_t all = 0;
    std::int64_t topTwo = 0;
    for (std::size_t g = 0; g < 4; ++g) {
        const auto& c = counts[g];
        all += c.first + c.second + c.third + c.other;
        topTwo += c.first + c.second;
    }
    const int overall =
        all == 0 ? 0 : whole(static_cast<double>(topTwo) / static_cast<double>(all) * 100.0);

    return {plain(1),    plain(2),      plain(3),      plain(4),      overall,       going(6, 7),
            going(8, 9), going(10, 11), going(12, 13), going(14, 15), going(16, 17), plain(18),
            plain(19),   plain(20),     plain(21),     plain(22),     plain(23)};
}

std::string decodeHistoryEntry(std::string_view entry) {
    std::string text;
    text.reserve(entry.size() + 64);
    for (const auto& field : kUmajHistoryLayout.fields) appendField(text, entry, field);
    return text;
}

namespace {

std::size_t runImport(const AppPaths& paths, const ProgressFn& progress, StoredHorses* stored,
                      FileReport& report);

}  // namespace

std::size_t importHorses(const AppPaths& paths, const ProgressFn& progress) {
    FileReport report;
    return runImport(paths, progress, nullptr, report);
}

std::size_t importHorses(const AppPaths& paths, const ProgressFn& progress, StoredHorses& stored) {
    FileReport report;
    return runImport(paths, progress, &stored, report);
}

std::size_t importHorses(const AppPaths& paths, const ProgressFn& progress, FileReport& report) {
    return runImport(paths, progress, nullptr, report);
}

std::size_t importHorses(const AppPaths& paths, const ProgressFn& progress, StoredHorses& stored,
                         FileReport& report) {
    return runImport(paths, progress, &stored, report);
}

namespace {

std::size_t runImport(const AppPaths& paths, const ProgressFn& progress, StoredHorses* stored,
                      FileReport& report) {
    report = FileReport{};
    const std::string fileName(kUmajLayout.fileName);

    // Everything about the file is settled before the database is opened, so that a missing,
    // unreadable or broken file (an empty list of horses among them) leaves 競走馬 as it was.
    std::optional<RecordFile> file =
        openDelivery(paths, kUmajLayout, "競走馬データ", WhenMissing::Refuse, WhenEmpty::Refuse);

    ProgressSteps steps(progress);
    steps.show(0);

    Database mast(paths.mastPath());
    Transaction tx(mast);
    {
        if (!mast.hasTable(kHorseTable)) createHorseTable(mast);
        const std::string table = quoteIdentifier(kHorseTable);
        mast.exec("DELETE FROM " + table);

        const auto defs = copiedColumnDefs(mast, kHorseTable);
        if (stored) {
            stored->byCode.clear();
            // Rows are as written when every column keeps its values, nothing but the horse code
            // replaces a row, and no trigger acts on the table.
            const auto count = [&](const std::string& sql) {
                Statement st = mast.prepare(sql);
                st.bind(1, kHorseTable);
                st.step();
                return st.int64(0);
            };
            stored->exact =
                std::all_of(defs.begin(), defs.end(),
                            [&](const ColumnDef& def) {
                                return mast.storesAsWritten(kHorseTable, def.name);
                            }) &&
                count("SELECT count(*) FROM pragma_index_list(?1) WHERE \"unique\"") == 1 &&
                count(
                    "SELECT count(*) FROM sqlite_schema WHERE type = 'trigger' AND "
                    "tbl_name = ?1") == 0;
        }
        // A horse code seen again replaces the row of the earlier record: the later record wins,
        // as the unique index allows only one row per horse.
        Statement insert =
            mast.prepare("INSERT OR REPLACE INTO " + table + " (" + columnList(defs, "") +
                         ") VALUES (" + placeholders(defs.size()) + ")");
        // Records are decoded on a worker, a chunk at a time, while the chunks before are
        // written; a few chunks ahead are enough to keep it busy.
        constexpr std::size_t kChunkRecords = 256;
        constexpr std::size_t kChunksAhead = 4;
        struct Chunk {
            std::size_t first = 0;  // record number
            std::size_t count = 0;
            std::vector<Value> values;  // defs.size() per record, converted for the table
            std::size_t repeated = 0;   // records whose code an earlier record gave
            OrderedWorker::Job job;
        };
        const RecordFields fields;
        const std::size_t n = file->count();
        const std::size_t width = defs.size();
        TextSet codes;  // the worker's: the codes written so far, as the index compares them
        codes.reserve(n);
        std::deque<Chunk> chunks;
        OrderedWorker worker;  // after the chunks: stopped before they go
        std::size_t next = 1;
        const auto queueChunk = [&] {
            Chunk& chunk = chunks.emplace_back();
            chunk.first = next;
            chunk.count = std::min(kChunkRecords, n + 1 - next);
            next += chunk.count;
            worker.queue(chunk.job, [&chunk, &file, &fields, &defs, &codes, width, stored] {
                // On the worker, chunk after chunk: a later record of a code replaces the earlier.
                const auto keep = [stored](std::span<const Value> row) {
                    const auto* code = std::get_if<std::string>(&row[0]);
                    const bool nan = std::any_of(row.begin(), row.end(), [](const Value& v) {
                        return std::holds_alternative<double>(v) && std::isnan(std::get<double>(v));
                    });
                    // SQLite would store a NaN as null; a row without code is refused anyway.
                    if (!code || nan) {
                        stored->exact = false;
                        stored->byCode.clear();
                        return;
                    }
                    HorseValues horse;
                    horse.assign(row);
                    stored->byCode.insert_or_assign(*code, std::move(horse));
                };
                chunk.values.resize(chunk.count * width);
                std::vector<Value> values(kHorseCopyColumns.size());
                for (std::size_t r = 0; r < chunk.count; ++r) {
                    rowValues(file->record(chunk.first + r), fields, values);
                    for (std::size_t c = 0; c < width; ++c) {
                        chunk.values[r * width + c] = convertForColumn(defs[c], values[c]);
                    }
                    if (const auto* code = std::get_if<std::string>(&chunk.values[r * width])) {
                        if (!codes.insert(*code).second) ++chunk.repeated;
                    }
                    if (stored && stored->exact)
                        keep(std::span(chunk.values).subspan(r * width, width));
                }
            });
        };
        while (next <= n || !chunks.empty()) {
            while (next <= n && chunks.size() < kChunksAhead) queueChunk();
            Chunk& chunk = chunks.front();
            worker.wait(chunk.job);
            for (std::size_t r = 0; r < chunk.count; ++r) {
                StatementReset resetInsert(insert, StatementReset::Bindings::Keep);
                // Bound uncopied: the chunk's values stay until the insert ran.
                for (std::size_t c = 0; c < width; ++c) {
                    insert.bindView(static_cast<int>(c + 1), chunk.values[r * width + c]);
                }
                insert.run();
                steps.show(static_cast<int>(10 * (chunk.first + r) / n));
            }
            report.replaced += chunk.repeated;
            chunks.pop_front();
        }
    }
    tx.commit();
    steps.show(10);

    report.file = fileName;
    report.read = file->count();
    report.stored = file->count();
    if (report.replaced > 0) {
        report.notes.push_back("馬コードが前のレコードと同じレコードが " +
                               std::to_string(report.replaced) +
                               " 件あり、後のレコードの内容で登録しました。");
    }
    return file->count();
}

}  // namespace

// ---- HorseValues ----

void HorseValues::read(const Statement& row, std::size_t count) {
    text_.clear();
    cells_.assign(count, Cell{});
    for (std::size_t i = 0; i < count; ++i) {
        const int column = static_cast<int>(i);
        Cell& cell = cells_[i];
        cell.type = row.type(column);
        if (cell.type == SQLITE_INTEGER) {
            cell.integer = row.int64(column);
        } else if (cell.type == SQLITE_FLOAT) {
            cell.real = row.real(column);
        } else if (cell.type != SQLITE_NULL) {
            const std::string_view text = row.textView(column);
            cell.type = SQLITE_TEXT;  // a blob is read as text, as Statement::value does
            cell.offset = static_cast<std::uint32_t>(text_.size());
            cell.length = static_cast<std::uint32_t>(text.size());
            text_.append(text);
        }
    }
}

void HorseValues::assign(std::span<const Value> values) {
    text_.clear();
    cells_.assign(values.size(), Cell{});
    for (std::size_t i = 0; i < values.size(); ++i) {
        Cell& cell = cells_[i];
        if (const auto* n = std::get_if<std::int64_t>(&values[i])) {
            cell.type = SQLITE_INTEGER;
            cell.integer = *n;
        } else if (const auto* d = std::get_if<double>(&values[i])) {
            cell.type = SQLITE_FLOAT;
            cell.real = *d;
        } else if (const auto* text = std::get_if<std::string>(&values[i])) {
            cell.type = SQLITE_TEXT;
            cell.offset = static_cast<std::uint32_t>(text_.size());
            cell.length = static_cast<std::uint32_t>(text->size());
            text_.append(*text);
        } else {
            cell.type = SQLITE_NULL;
        }
    }
}

Value HorseValues::value(std::size_t column) const {
    const Cell& cell = cells_.at(column);
    switch (cell.type) {
        case SQLITE_INTEGER:
            return cell.integer;
        case SQLITE_FLOAT:
            return cell.real;
        case SQLITE_NULL:
            return std::monostate{};
        default:
            return text_.substr(cell.offset, cell.length);
    }
}

std::string_view HorseValues::textView(std::size_t column) const {
    const Cell& cell = cells_.at(column);
    return cell.type == SQLITE_TEXT ? std::string_view(text_).substr(cell.offset, cell.length)
                                    : std::string_view();
}

std::int64_t HorseValues::integer(std::size_t column) const {
    const Cell& cell = cells_.at(column);
    return cell.type == SQLITE_INTEGER ? cell.integer : 0;
}

void HorseValues::bindTo(Statement& st, int index, std::size_t column) const {
    const Cell& cell = cells_.at(column);
    switch (cell.type) {
        case SQLITE_INTEGER:
            st.bind(index, cell.integer);
            break;
        case SQLITE_FLOAT:
            st.bind(index, cell.real);
            break;
        case SQLITE_NULL:
            st.bindNull(index);
            break;
        default:
            st.bindView(index, std::string_view(text_).substr(cell.offset, cell.length));
    }
}

// ---- HorseCopier ----

HorseCopier::HorseCopier(Database& mast, Database& tran) : mast_(mast), tran_(tran) {
    if (!mast.hasTable(kHorseTable)) return;  // no master, no horses
    const auto defs = copiedColumnDefs(mast, kHorseTable);
    horseColumns_ = defs;
    horse_.emplace(mast.prepare("SELECT " + columnList(defs, "") + " FROM " +
                                quoteIdentifier(kHorseTable) + " WHERE " +
                                quoteIdentifier(defs[0].name) + " = ?1 LIMIT 1"));
}

namespace {

bool sameDefinition(const ColumnDef& a, const ColumnDef& b) {
    return a.type == b.type && a.size == b.size;
}

}  // namespace

HorseCopier::EntryStatements& HorseCopier::statementsFor(std::string_view entriesTable) {
    const std::string key(entriesTable);
    if (auto it = entries_.find(key); it != entries_.end()) return it->second;
    EntryStatements st;
    st.columns = copiedColumnDefs(tran_, entriesTable);
    st.asIs = horse_ && std::equal(st.columns.begin(), st.columns.end(), horseColumns_.begin(),
                                   sameDefinition);
    return entries_.emplace(key, std::move(st)).first->second;
}

void HorseCopier::preload(
    const TextSet& codes,
    const std::function<void(const std::string& code, const Statement& row)>& onRow) {
    preloaded_ = true;
    horses_.clear();
    if (!horse_) return;
    // In row order, so that of two rows of one horse the first is kept, as the look-up finds it.
    Statement all = mast_.prepare("SELECT " + columnList(horseColumns_, "") + " FROM " +
                                  quoteIdentifier(kHorseTable) + " ORDER BY rowid");
    while (all.step()) {
        std::string code = all.text(0);
        if (!codes.contains(code) || horses_.contains(code)) continue;
        HorseValues values;
        values.read(all, horseColumns_.size());
        if (onRow) onRow(code, all);
        horses_.emplace(std::move(code), std::move(values));
    }
}

void HorseCopier::adopt(TextMap<HorseValues> horses) {
    preloaded_ = true;
    horses_ = std::move(horses);
}

void HorseCopier::tableIsNew(std::string_view entriesTable) {
    newTables_.try_emplace(std::string(entriesTable));
}

bool HorseCopier::mayHaveRow(std::string_view entriesTable, std::string_view umacode) const {
    const auto it = newTables_.find(entriesTable);
    return it == newTables_.end() || it->second.contains(umacode);
}

void HorseCopier::noteRow(std::string_view entriesTable, std::string_view umacode) {
    if (auto it = newTables_.find(entriesTable); it != newTables_.end()) {
        it->second.emplace(umacode);
    }
}

const HorseValues* HorseCopier::lookUp(std::string_view umacode) {
    if (preloaded_) {
        const auto it = horses_.find(umacode);
        return it == horses_.end() ? nullptr : &it->second;
    }
    if (!horse_) return nullptr;
    StatementReset reset(*horse_, StatementReset::Bindings::Keep);
    horse_->bind(1, umacode);
    if (!horse_->step()) return nullptr;
    looked_.read(*horse_, horseColumns_.size());
    return &looked_;
}

const std::vector<ColumnDef>& HorseCopier::entryColumns(std::string_view entriesTable) {
    return statementsFor(entriesTable).columns;
}

bool HorseCopier::storesAsIs(std::string_view entriesTable) {
    return statementsFor(entriesTable).asIs;
}

void HorseCopier::bindCopied(std::string_view entriesTable, Statement& write, int first,
                             const HorseValues& horse) {
    auto& st = statementsFor(entriesTable);
    for (std::size_t i = 0; i < st.columns.size(); ++i) {
        const int column = static_cast<int>(i);
        // Columns of the same definition hold the master's values as they are; others are
        // converted as any write would be.
        if (st.asIs || sameDefinition(st.columns[i], horseColumns_[i])) {
            horse.bindTo(write, first + column, i);
        } else {
            write.bind(first + column, convertForColumn(st.columns[i], horse.value(i)));
        }
    }
}

bool HorseCopier::copy(std::string_view entriesTable, std::string_view umacode) {
    const HorseValues* horse = lookUp(umacode);
    if (!horse) return false;
    auto& st = statementsFor(entriesTable);
    if (!st.copy) {
        const auto& defs = st.columns;
        const std::string table = quoteIdentifier(entriesTable);
        const auto n = defs.size();
        st.copy.emplace(CopyStatements{
            tran_.prepare("SELECT rowid FROM " + table + " WHERE " + quoteIdentifier(defs[0].name) +
                          " = ?1 LIMIT 1"),
            tran_.prepare("UPDATE " + table + " SET " + columnList(defs, " = ?") +
                          " WHERE rowid = ?" + std::to_string(n + 1)),
            tran_.prepare("INSERT INTO " + table + " (" + columnList(defs, "") + ") VALUES (" +
                          placeholders(n) + ")"),
        });
    }
    CopyStatements& c = *st.copy;
    std::optional<std::int64_t> rowid;
    if (mayHaveRow(entriesTable, umacode)) {
        StatementReset resetFind(c.find, StatementReset::Bindings::Keep);
        c.find.bind(1, umacode);
        if (c.find.step()) rowid = c.find.int64(0);
    }
    Statement& write = rowid ? c.update : c.insert;
    StatementReset resetWrite(write, StatementReset::Bindings::Keep);
    bindCopied(entriesTable, write, 1, *horse);
    if (rowid) write.bind(static_cast<int>(st.columns.size() + 1), *rowid);
    write.run();
    noteRow(entriesTable, umacode);
    return true;
}

bool copyHorseToEntries(const AppPaths& paths, std::string_view entriesTable,
                        std::string_view umacode) {
    // Opening would create an empty mast.mdb; without one there is no horse to copy.
    std::error_code ec;
    if (!std::filesystem::exists(paths.mastPath(), ec)) return false;
    Database mast(paths.mastPath());
    Database tran(paths.tranPath());
    HorseCopier copier(mast, tran);
    return copier.copy(entriesTable, umacode);
}

}  // namespace zelvanor
