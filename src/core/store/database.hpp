#pragma once

// One connection to a database file: its statements and transactions, and its schema (the tables,
// their columns and indexes), which it creates and reads.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/store/columns.hpp"
#include "core/store/statement.hpp"

struct sqlite3;

namespace zelvanor {

class Database;

// A transaction that rolls back unless committed. Nests: an inner one is a savepoint.
class Transaction {
  public:
    explicit Transaction(Database& db);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();
    void commit();

  private:
    Database& db_;
    std::string name_;
    bool done_ = false;
};

// One connection, to be used by one thread at a time (it is opened without SQLite's mutex).
class Database {
  public:
    // Opens the database file, creating it when it does not exist.
    explicit Database(const std::filesystem::path& file);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::filesystem::path& path() const { return path_; }
    sqlite3* handle() const { return db_.get(); }

    // User tables in ascending name order.
    std::vector<std::string> userTables();
    // Exact, case-sensitive test.
    bool hasTable(std::string_view name);
    void createTable(std::string_view name, std::span<const ColumnDef> columns);
    // The table with its indexes, in one transaction. The indexed columns refuse empty values
    // through constraints declared with the table, which keeps the schema small: creating many
    // meeting tables slows down with every schema object already there.
    void createTable(std::string_view name, std::span<const ColumnDef> columns,
                     std::span<const IndexSpec> indexes);
    void dropTable(std::string_view name);
    // An index that refuses empty (null or zero-length) keys, and duplicates when unique.
    void createIndex(std::string_view index, std::string_view table, std::string_view column,
                     bool unique);

    // The table's columns in order, with their types; throws for an unknown table.
    const std::vector<ColumnDef>& columns(std::string_view table);
    // The definition of one column, matched as the cursor matches names; throws StoreError when
    // the table has no such column.
    const ColumnDef& column(std::string_view table, std::string_view name);
    // Whether the column stores whatever convertForColumn gives for its definition as it is given
    // (SQLite converts a value to the affinity of the column's declared type): then reading the
    // row back gives the values written. False for an unknown column.
    bool storesAsWritten(std::string_view table, std::string_view column);
    // The column an index of the table is built on; nullopt when there is no such index.
    std::optional<std::string> indexColumn(std::string_view table, std::string_view index);

    Statement prepare(std::string_view sql);
    void exec(std::string_view sql);
    std::int64_t changes() const;

    // Compacts the file itself, in one transaction of its own: other connections, in this process
    // or another, keep working on the same file and see the result. Waits for their locks like any
    // write and fails (changing nothing) when they are held too long.
    void compact();

  private:
    friend class Transaction;
    // The index, with triggers refusing empty keys unless the column is declared to refuse them.
    void addIndex(std::string_view index, std::string_view table, std::string_view column,
                  bool unique, bool declaredRequired);
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    std::filesystem::path path_;
    std::unique_ptr<sqlite3, Closer> db_;
    // Device and inode of the file when opened: a connection is kept for reuse only while its
    // path names that file.
    std::optional<std::pair<std::uint64_t, std::uint64_t>> opened_;
    struct TableColumns {
        std::vector<ColumnDef> defs;
        std::vector<std::string> declared;  // each column's declared type, as written
        std::unordered_map<std::string, std::size_t> byName;  // folded name → place in defs
    };
    const TableColumns& tableColumns(std::string_view table);
    std::unordered_map<std::string, TableColumns> columnCache_;
    std::optional<Statement> tableLookup_;
    std::optional<Statement> columnLookup_;
    std::optional<Statement> schemaCheck_;
    int savepointDepth_ = 0;
};

// True when the database file holds a user table of exactly that name.
bool tableExists(const std::filesystem::path& database, std::string_view table);

}  // namespace zelvanor
