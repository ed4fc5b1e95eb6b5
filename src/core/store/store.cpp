#include "core/store/store.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <limits>
#include <system_error>
#include <thread>

#include "core/store/columns_internal.hpp"
#include "core/store/parked_connections.hpp"

namespace zelvanor {

namespace {

// The page cache of every connection, in KiB: room for the schema of many seasons.
constexpr int kCacheKiB = 96 * 1024;

// The declared SQL type that records a column definition; read back by parseDeclType.
std::string declType(const ColumnDef& c) {
    switch (c.type) {
        case ColumnType::Text:
            return c.size > 0 ? "TEXT(" + std::to_string(c.size) + ")" : "TEXT";
        case ColumnType::Integer:
            return "SMALLINT";
        case ColumnType::Long:
            return "INTEGER";
        case ColumnType::Single:
            return "FLOAT";
        case ColumnType::Double:
            return "DOUBLE";
    }
    return "TEXT";
}

ColumnDef parseDeclType(std::string name, std::string decl) {
    for (auto& ch : decl) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (decl == "SMALLINT") return {std::move(name), ColumnType::Integer};
    if (decl == "FLOAT" || decl == "REAL") return {std::move(name), ColumnType::Single};
    if (decl == "DOUBLE") return {std::move(name), ColumnType::Double};
    if (decl.find("INT") != std::string::npos) return {std::move(name), ColumnType::Long};
    if (decl.rfind("TEXT(", 0) == 0) {
        int size = 0;
        for (std::size_t i = 5;
             i < decl.size() && std::isdigit(static_cast<unsigned char>(decl[i])); ++i) {
            size = size * 10 + (decl[i] - '0');
        }
        return {std::move(name), ColumnType::Text, size};
    }
    if (decl.find("FLOA") != std::string::npos || decl.find("DOUB") != std::string::npos) {
        return {std::move(name), ColumnType::Double};
    }
    return {std::move(name), ColumnType::Text};
}

// Whether a column declared so keeps every value convertForColumn gives for its definition as
// it is: SQLite converts a value to the column's affinity, which the declared type decides.
bool keepsAsWritten(const ColumnDef& def, std::string_view declaredAs) {
    std::string declared(declaredAs);
    for (auto& ch : declared) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    const auto has = [&](std::string_view part) {
        return declared.find(part) != std::string::npos;
    };
    const bool integer = has("INT");
    const bool text = !integer && (has("CHAR") || has("CLOB") || has("TEXT"));
    const bool real =
        !integer && !text && !has("BLOB") && (has("REAL") || has("FLOA") || has("DOUB"));
    switch (def.type) {
        case ColumnType::Text:
            return text;
        case ColumnType::Integer:
        case ColumnType::Long:
            return integer;
        case ColumnType::Single:
        case ColumnType::Double:
            return real;
    }
    return false;
}

}  // namespace

// ---- Transaction ----

Transaction::Transaction(Database& db) : db_(db) {
    name_ = "zelvanor_sp" + std::to_string(db_.savepointDepth_);
    db_.exec("SAVEPOINT " + name_);
    ++db_.savepointDepth_;
}

Transaction::~Transaction() {
    if (done_) return;
    --db_.savepointDepth_;
    // Roll back what this transaction wrote; the schema cache may be stale after that.
    sqlite3_exec(db_.handle(), ("ROLLBACK TO " + name_ + "; RELEASE " + name_).c_str(), nullptr,
                 nullptr, nullptr);
    db_.columnCache_.clear();
}

void Transaction::commit() {
    if (done_) return;
    db_.exec("RELEASE " + name_);
    done_ = true;
    --db_.savepointDepth_;
}

// ---- Database ----

void Database::Closer::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

Database::Database(const std::filesystem::path& file) : path_(file) {
    if (sqlite3* parked = ParkedConnections::instance().take(file)) {
        db_.reset(parked);
        if (const auto state = ParkedConnections::stateOf(file)) {
            opened_ = {state->device, state->inode};
        }
        // Checks the schema against the file, reading it again when another connection changed
        // it meanwhile; its last user may have set another cache size.
        try {
            exec("PRAGMA cache_size = -" + std::to_string(kCacheKiB));
            exec("SELECT count(*) FROM sqlite_schema");
            return;
        } catch (const StoreError&) {
            db_.reset();  // opened anew below, which reports the failure
        }
    }
    // SQLite counts the memory it holds under one lock for the whole process, taken on every
    // allocation: with imports writing on two threads that lock is contended, and nothing here
    // reads the count. Only possible before SQLite starts; later it is simply left as it is.
    static const bool counted [[maybe_unused]] =
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) != SQLITE_OK;
    sqlite3* raw = nullptr;
    const int rc =
        // No mutex per call: a connection is only ever used by one thread at a time, and the
        // imports make millions of calls.
        sqlite3_open_v2(file.c_str(), &raw,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) {
        throwStoreFailure(raw, rc, file.filename().string() + " を開けません。");
    }
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, 5000);
    // Every CREATE TABLE reads the whole schema table again, and tran.mdb's grows by about a
    // megabyte a season: with SQLite's default 2 MB cache each meeting made reads it from the
    // file. Pages are only taken as they are read, so a small database costs no more.
    exec("PRAGMA cache_size = -" + std::to_string(kCacheKiB));
    // Touch the schema now so that a file that is not a database fails here, with its name.
    try {
        exec("SELECT count(*) FROM sqlite_schema");
    } catch (const DamagedDatabaseError&) {
        throw;  // names the file and says what to do already
    } catch (const StoreError& e) {
        throw StoreError(file.filename().string() + " を開けません。 " + e.what());
    }
    if (const auto state = ParkedConnections::stateOf(file)) {
        opened_ = {state->device, state->inode};
    }
}

Database::~Database() {
    tableLookup_.reset();
    columnLookup_.reset();
    schemaCheck_.reset();
    if (!db_ || !opened_) return;
    ParkedConnections::FileState opened;
    opened.device = opened_->first;
    opened.inode = opened_->second;
    if (ParkedConnections::instance().park(path_, opened, db_.get())) db_.release();
}

Statement Database::prepare(std::string_view sql) {
    return Statement(db_.get(), sql);
}

void Database::exec(std::string_view sql) {
    char* err = nullptr;
    const std::string s(sql);
    const int rc = sqlite3_exec(db_.get(), s.c_str(), nullptr, nullptr, &err);
    if (err) sqlite3_free(err);
    if (rc != SQLITE_OK) throwStoreFailure(db_.get(), rc);
}

std::int64_t Database::changes() const {
    return sqlite3_changes64(db_.get());
}

std::vector<std::string> Database::userTables() {
    std::vector<std::string> names;
    auto st = prepare(
        "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
        "ESCAPE '\\' ORDER BY name");
    while (st.step()) names.push_back(st.text(0));
    return names;
}

bool Database::hasTable(std::string_view name) {
    const std::string key(name);
    // The lookup below reads the schema this connection parsed last; running a statement makes
    // SQLite check it against the file first, so tables another connection (an import) created
    // or dropped since are seen.
    if (!schemaCheck_) schemaCheck_.emplace(prepare("SELECT 1 FROM sqlite_schema LIMIT 1"));
    {
        StatementReset reset(*schemaCheck_);
        schemaCheck_->step();
    }
    // Looked up, case aside, through the parsed schema's hash; a view does not count. Asking the
    // table list instead walks every table, which adds up with hundreds of meetings.
    const int rc = sqlite3_table_column_metadata(db_.get(), "main", key.c_str(), nullptr, nullptr,
                                                 nullptr, nullptr, nullptr, nullptr);
    if (rc == SQLITE_ERROR) return false;                        // no such table
    if (rc != SQLITE_OK) throwStoreFailure(db_.get(), rc, key);  // the schema could not be read
    // The test is exact: the name a statement resolves to must be the one asked for. The name is
    // quoted as SQL quotes it, not refused: a table another program made may have any name.
    std::string sql = "SELECT rowid FROM main.\"";
    for (const char c : name) sql += c == '"' ? std::string_view("\"\"") : std::string_view(&c, 1);
    sql += '"';
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_.get(), sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr) ==
        SQLITE_OK) {
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> st(raw, sqlite3_finalize);
        const char* found = sqlite3_column_table_name(raw, 0);
        return found && key == found;
    }
    sqlite3_finalize(raw);
    // A table without rowid: its name is found in the table list.
    if (!tableLookup_) {
        tableLookup_.emplace(prepare("SELECT name, type FROM pragma_table_list(?1)"));
    }
    Statement& st = *tableLookup_;
    StatementReset reset(st);
    st.bind(1, name);
    while (st.step()) {
        if (st.text(0) == name && st.text(1) == "table") return true;
    }
    return false;
}

void Database::createTable(std::string_view name, std::span<const ColumnDef> columns) {
    createTable(name, columns, {});
}

void Database::createTable(std::string_view name, std::span<const ColumnDef> columns,
                           std::span<const IndexSpec> indexes) {
    if (columns.empty()) throw StoreError("列のない表は作れません: " + std::string(name));
    std::vector<const ColumnDef*> indexed;
    for (const IndexSpec& index : indexes) {
        const std::string wanted = normalizeName(index.column);
        const auto it = std::find_if(columns.begin(), columns.end(), [&](const ColumnDef& c) {
            return normalizeName(c.name) == wanted;
        });
        if (it == columns.end()) {
            throw StoreError("表 " + std::string(name) + " に列 " + std::string(index.column) +
                             " がありません。");
        }
        indexed.push_back(&*it);
    }
    // A unique index named as its column is declared with the table, as a UNIQUE constraint:
    // SQLite reads the whole schema once for every CREATE statement, so a separate CREATE INDEX
    // costs more with every meeting already stored. indexColumn finds it by that name.
    const auto declaredWithTable = [&](std::size_t i) {
        return indexes[i].unique &&
               normalizeName(indexes[i].name) == normalizeName(indexed[i]->name);
    };
    // The text is kept in the schema and read again by every CREATE TABLE after it and by every
    // connection opened: it is written as short as SQL allows.
    std::string sql = "CREATE TABLE " + schemaIdentifier(name) + "(";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const std::string column = schemaIdentifier(columns[i].name);
        if (i) sql += ",";
        sql += column + " " + declType(columns[i]);
        if (std::find(indexed.begin(), indexed.end(), &columns[i]) != indexed.end()) {
            sql += " NOT NULL CHECK(" + column + "<>'')";
        }
    }
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        if (declaredWithTable(i)) sql += ",UNIQUE(" + schemaIdentifier(indexed[i]->name) + ")";
    }
    sql += ")";
    Transaction tx(*this);
    exec(sql);
    // The new table's columns are known: no need to ask the schema for them.
    TableColumns known;
    for (const ColumnDef& c : columns) {
        known.declared.push_back(declType(c));
        known.defs.push_back(parseDeclType(c.name, known.declared.back()));
        known.byName.emplace(normalizeName(c.name), known.defs.size() - 1);
    }
    columnCache_.insert_or_assign(std::string(name), std::move(known));
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        if (!declaredWithTable(i)) {
            addIndex(indexes[i].name, name, indexed[i]->name, indexes[i].unique, true);
        }
    }
    tx.commit();
}

void Database::dropTable(std::string_view name) {
    Transaction tx(*this);
    exec("DROP TABLE " + quoteIdentifier(name));
    tx.commit();
    columnCache_.erase(std::string(name));
}

void Database::createIndex(std::string_view index, std::string_view table, std::string_view column,
                           bool unique) {
    // Resolve the column as the cursor does, so "umacode" finds "umacode" however it was spelled.
    const std::string name = this->column(table, column).name;
    // A column declared with the table as refusing empty values needs no triggers.
    bool declaredRequired = false;
    {
        auto info = prepare("SELECT \"notnull\" FROM pragma_table_info(?1) WHERE name = ?2");
        info.bind(1, table).bind(2, name);
        declaredRequired = info.step() && info.int64(0) != 0;
    }
    addIndex(index, table, name, unique, declaredRequired);
}

void Database::addIndex(std::string_view index, std::string_view table, std::string_view column,
                        bool unique, bool declaredRequired) {
    validateIdentifier(index);
    const std::string qt = quoteIdentifier(table);
    const std::string qc = quoteIdentifier(column);
    // Index names are per table, as the program names them ("bango" in every race table), while
    // SQLite's are per database: the stored name carries the table's name.
    const std::string stored = std::string(table) + "." + std::string(index);
    const std::string qi = "\"" + stored + "\"";
    Transaction tx(*this);
    exec(std::string(unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") + qi + " ON " + qt + " (" +
         qc + ")");
    if (!declaredRequired) {
        const std::string refuse = "SELECT RAISE(ABORT, '索引 " + std::string(index) + " のキー " +
                                   std::string(column) + " が空です。'); END";
        const std::string empty = " WHEN NEW." + qc + " IS NULL OR NEW." + qc + " = '' BEGIN ";
        exec("CREATE TRIGGER \"" + stored + ".insert\" BEFORE INSERT ON " + qt + empty + refuse);
        exec("CREATE TRIGGER \"" + stored + ".update\" BEFORE UPDATE OF " + qc + " ON " + qt +
             empty + refuse);
    }
    tx.commit();
}

const Database::TableColumns& Database::tableColumns(std::string_view table) {
    const std::string key(table);
    if (auto it = columnCache_.find(key); it != columnCache_.end()) return it->second;
    if (!hasTable(table)) throw StoreError("表 " + key + " がありません。");
    TableColumns cols;
    if (!columnLookup_) {
        columnLookup_.emplace(prepare("SELECT name, type FROM pragma_table_info(?1)"));
    }
    Statement& st = *columnLookup_;
    StatementReset reset(st);
    st.bind(1, table);
    while (st.step()) {
        cols.declared.push_back(st.text(1));
        cols.defs.push_back(parseDeclType(st.text(0), cols.declared.back()));
        // The first of two names that fold alike is the one found, as a search in order would.
        cols.byName.emplace(normalizeName(cols.defs.back().name), cols.defs.size() - 1);
    }
    return columnCache_[key] = std::move(cols);
}

const std::vector<ColumnDef>& Database::columns(std::string_view table) {
    return tableColumns(table).defs;
}

bool Database::storesAsWritten(std::string_view table, std::string_view column) {
    const TableColumns& cols = tableColumns(table);
    const auto it = cols.byName.find(normalizeName(column));
    return it != cols.byName.end() &&
           keepsAsWritten(cols.defs[it->second], cols.declared[it->second]);
}

const ColumnDef& Database::column(std::string_view table, std::string_view name) {
    const TableColumns& cols = tableColumns(table);
    if (const auto it = cols.byName.find(normalizeName(name)); it != cols.byName.end()) {
        return cols.defs[it->second];
    }
    throw StoreError("表 " + std::string(table) + " に列 " + std::string(name) + " がありません。");
}

std::optional<std::string> Database::indexColumn(std::string_view table, std::string_view index) {
    const std::string wanted = normalizeName(std::string(table) + "." + std::string(index));
    const std::string wantedColumn = normalizeName(index);
    auto list = prepare("SELECT name, origin FROM pragma_index_list(?1)");
    list.bind(1, table);
    std::optional<std::string> declared;
    while (list.step()) {
        const std::string name = list.text(0);
        auto info = prepare("SELECT name FROM pragma_index_info(?1) ORDER BY seqno");
        info.bind(1, name);
        if (normalizeName(name) == wanted) {
            if (info.step()) return info.text(0);
            continue;
        }
        // A unique index declared with the table goes by the name of its one column.
        if (list.text(1) != "u" || !info.step()) continue;
        std::string column = info.text(0);
        if (!info.step() && normalizeName(column) == wantedColumn && !declared) {
            declared = std::move(column);
        }
    }
    return declared;
}

void Database::compact() {
    // A connection that has begun writing makes SQLite refuse at once rather than wait, since
    // both waiting could deadlock; its transaction ends soon, so try again for a while.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        const int rc = sqlite3_exec(db_.get(), "VACUUM", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) return;
        if ((rc & 0xFF) != SQLITE_BUSY || std::chrono::steady_clock::now() > deadline) {
            throwStoreFailure(db_.get(), rc);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// ---- Table ----

Table::Table(Database& db, std::string_view name)
    : db_(db), name_(name), quoted_(quoteIdentifier(name)), columns_(db.columns(name)) {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        byName_.emplace(normalizeName(columns_[i].name), i);
    }
    pending_.resize(columns_.size());
    row_.resize(columns_.size());
}

std::size_t Table::columnIndex(std::string_view column) const {
    auto it = byName_.find(normalizeName(column));
    if (it == byName_.end()) {
        throw StoreError("表 " + name_ + " に列 " + std::string(column) + " がありません。");
    }
    return it->second;
}

void Table::setIndex(std::string_view index) {
    const auto column = db_.indexColumn(name_, index);
    if (!column) {
        throw StoreError("表 " + name_ + " に索引 " + std::string(index) + " がありません。");
    }
    keyColumn_ = columnIndex(*column);
}

void Table::requireCurrent() const {
    if (!rowid_ || deleted_) throw StoreError("表 " + name_ + " にカレントレコードがありません。");
}

void Table::moveTo(std::optional<std::int64_t> rowid) {
    deleted_ = false;
    rowid_ = rowid;
    if (!rowid) {
        std::fill(row_.begin(), row_.end(), Value{});
        key_ = Value{};
        return;
    }
    auto st = db_.prepare("SELECT * FROM " + quoted_ + " WHERE rowid = ?1");
    st.bind(1, *rowid);
    if (!st.step()) throw StoreError("表 " + name_ + " のレコードが見つかりません。");
    for (std::size_t i = 0; i < columns_.size(); ++i) row_[i] = st.value(static_cast<int>(i));
    key_ = keyColumn_ ? row_[*keyColumn_] : Value{*rowid};
}

void Table::positionFrom(Statement& st) {
    if (st.step()) {
        moveTo(st.int64(0));
        bof_ = eof_ = false;
    } else {
        moveTo(std::nullopt);
    }
}

bool Table::seek(const Value& key) {
    if (!keyColumn_) throw StoreError("表 " + name_ + " に索引が設定されていません。");
    cancelUpdate();
    const auto& col = columns_[*keyColumn_];
    auto st = db_.prepare("SELECT rowid FROM " + quoted_ + " WHERE " + quoteIdentifier(col.name) +
                          " = ?1 ORDER BY rowid LIMIT 1");
    Value k;
    try {
        k = convertForColumn(col, key);
    } catch (const StoreError&) {
        noMatch_ = true;  // a key the column cannot hold is simply not there
        return false;
    }
    st.bind(1, k);
    if (st.step()) {
        moveTo(st.int64(0));
        bof_ = eof_ = false;
        noMatch_ = false;
    } else {
        noMatch_ = true;
    }
    return !noMatch_;
}

void Table::moveFirst() {
    cancelUpdate();
    const std::string order =
        keyColumn_ ? quoteIdentifier(columns_[*keyColumn_].name) + ", rowid" : std::string("rowid");
    auto st = db_.prepare("SELECT rowid FROM " + quoted_ + " ORDER BY " + order + " LIMIT 1");
    positionFrom(st);
}

void Table::moveLast() {
    cancelUpdate();
    const std::string order =
        keyColumn_ ? quoteIdentifier(columns_[*keyColumn_].name) + " DESC, rowid DESC"
                   : std::string("rowid DESC");
    auto st = db_.prepare("SELECT rowid FROM " + quoted_ + " ORDER BY " + order + " LIMIT 1");
    positionFrom(st);
}

void Table::moveNext() {
    cancelUpdate();
    if (!rowid_) {
        if (eof_) throw StoreError("表 " + name_ + " の終わりを越えて移動できません。");
        moveFirst();
        return;
    }
    const std::int64_t at = *rowid_;
    if (keyColumn_) {
        const std::string kc = quoteIdentifier(columns_[*keyColumn_].name);
        auto st = db_.prepare("SELECT rowid FROM " + quoted_ + " WHERE (" + kc +
                              ", rowid) > (?1, ?2)"
                              " ORDER BY " +
                              kc + ", rowid LIMIT 1");
        st.bind(1, key_).bind(2, at);
        positionFrom(st);
    } else {
        auto st = db_.prepare("SELECT rowid FROM " + quoted_ +
                              " WHERE rowid > ?1 ORDER BY rowid LIMIT 1");
        st.bind(1, at);
        positionFrom(st);
    }
    if (!rowid_) {
        eof_ = true;
        bof_ = false;
    }
}

std::int64_t Table::recordCount() {
    auto st = db_.prepare("SELECT count(*) FROM " + quoted_);
    st.step();
    return st.int64(0);
}

void Table::addNew() {
    cancelUpdate();
    mode_ = Mode::Add;
}

void Table::edit() {
    requireCurrent();
    cancelUpdate();
    mode_ = Mode::Edit;
}

void Table::cancelUpdate() {
    mode_ = Mode::None;
    std::fill(pending_.begin(), pending_.end(), std::nullopt);
}

void Table::update() {
    if (mode_ == Mode::None) throw StoreError("表 " + name_ + " は編集中ではありません。");
    std::string cols;
    std::vector<const Value*> values;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (!pending_[i]) continue;
        if (!values.empty()) cols += ", ";
        cols += quoteIdentifier(columns_[i].name) + (mode_ == Mode::Edit ? " = ?" : "");
        values.push_back(&*pending_[i]);
    }
    if (mode_ == Mode::Add) {
        std::string sql = "INSERT INTO " + quoted_;
        if (values.empty()) {
            sql += " DEFAULT VALUES";
        } else {
            sql += " (" + cols + ") VALUES (";
            for (std::size_t i = 0; i < values.size(); ++i) sql += i ? ", ?" : "?";
            sql += ")";
        }
        auto st = db_.prepare(sql);
        for (std::size_t i = 0; i < values.size(); ++i)
            st.bind(static_cast<int>(i + 1), *values[i]);
        st.run();
    } else if (!values.empty()) {
        requireCurrent();
        auto st = db_.prepare("UPDATE " + quoted_ + " SET " + cols + " WHERE rowid = ?");
        for (std::size_t i = 0; i < values.size(); ++i)
            st.bind(static_cast<int>(i + 1), *values[i]);
        st.bind(static_cast<int>(values.size() + 1), *rowid_);
        st.run();
    }
    const Mode was = mode_;
    cancelUpdate();
    // After an edit the cursor stays on the edited row, showing what was written; after adding
    // it stays where it was.
    if (was == Mode::Edit) moveTo(rowid_);
}

void Table::deleteCurrent() {
    requireCurrent();
    cancelUpdate();
    auto st = db_.prepare("DELETE FROM " + quoted_ + " WHERE rowid = ?1");
    st.bind(1, *rowid_);
    st.run();
    deleted_ = true;  // stepping on goes to the row after the deleted one
}

Value Table::get(std::string_view column) const {
    const std::size_t i = columnIndex(column);
    if (mode_ != Mode::None && pending_[i]) return *pending_[i];
    if (mode_ == Mode::Add) return Value{};
    requireCurrent();
    return row_[i];
}

std::string Table::text(std::string_view column) const {
    const Value v = get(column);
    if (std::holds_alternative<std::string>(v)) return std::get<std::string>(v);
    if (std::holds_alternative<std::int64_t>(v)) return std::to_string(std::get<std::int64_t>(v));
    if (std::holds_alternative<double>(v)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.7g", std::get<double>(v));
        return buf;
    }
    return {};
}

std::int64_t Table::integer(std::string_view column) const {
    const Value v = get(column);
    if (std::holds_alternative<std::int64_t>(v)) return std::get<std::int64_t>(v);
    if (std::holds_alternative<double>(v)) return static_cast<std::int64_t>(std::get<double>(v));
    if (std::holds_alternative<std::string>(v)) {
        return static_cast<std::int64_t>(toReal({std::string(column), ColumnType::Double}, v));
    }
    return 0;
}

double Table::real(std::string_view column) const {
    const Value v = get(column);
    if (std::holds_alternative<std::int64_t>(v))
        return static_cast<double>(std::get<std::int64_t>(v));
    if (std::holds_alternative<double>(v)) return std::get<double>(v);
    if (std::holds_alternative<std::string>(v)) {
        return toReal({std::string(column), ColumnType::Double}, v);
    }
    return 0;
}

void Table::set(std::string_view column, const Value& value) {
    if (mode_ == Mode::None) throw StoreError("表 " + name_ + " は編集中ではありません。");
    const std::size_t i = columnIndex(column);
    pending_[i] = convertForColumn(columns_[i], value);
}


bool tableExists(const std::filesystem::path& database, std::string_view table) {
    if (!std::filesystem::exists(database)) return false;
    Database db(database);
    return db.hasTable(table);
}

}  // namespace zelvanor
