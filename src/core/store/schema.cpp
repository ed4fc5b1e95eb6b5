// The schema side of Database: the tables and indexes it creates, and what it reads back of them.

#include "core/store/database.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/store/columns.hpp"
#include "core/store/errors.hpp"
#include "core/store/identifiers.hpp"
#include "core/store/statement.hpp"

namespace zelvanor {

namespace {

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

bool tableExists(const std::filesystem::path& database, std::string_view table) {
    if (!std::filesystem::exists(database)) return false;
    Database db(database);
    return db.hasTable(table);
}

}  // namespace zelvanor
