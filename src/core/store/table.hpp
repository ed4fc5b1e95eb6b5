#pragma once

// The table cursor: walking one table in the order of an index, seeking keys, and adding, editing
// and deleting records.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/store/columns.hpp"
#include "core/store/database.hpp"
#include "core/store/statement.hpp"

namespace zelvanor {

// A cursor over one whole table, positioned by index seek or by stepping.
class Table {
  public:
    Table(Database& db, std::string_view name);
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const std::string& name() const { return name_; }

    // Orders the cursor by the named index and makes seek use it.
    void setIndex(std::string_view index);
    // Seeks the key on the current index. True when found: the cursor then stands on that row.
    bool seek(const Value& key);
    bool noMatch() const { return noMatch_; }

    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    void moveFirst();
    void moveLast();
    void moveNext();
    std::int64_t recordCount();

    void addNew();
    void edit();
    void update();
    void cancelUpdate();
    void deleteCurrent();

    Value get(std::string_view column) const;
    std::string text(std::string_view column) const;
    std::int64_t integer(std::string_view column) const;
    double real(std::string_view column) const;
    void set(std::string_view column, const Value& value);

  private:
    enum class Mode { None, Add, Edit };
    std::size_t columnIndex(std::string_view column) const;
    void moveTo(std::optional<std::int64_t> rowid);
    void positionFrom(Statement& st);
    void requireCurrent() const;

    Database& db_;
    std::string name_;
    std::string quoted_;
    std::vector<ColumnDef> columns_;
    std::unordered_map<std::string, std::size_t> byName_;
    std::optional<std::size_t> keyColumn_;

    std::optional<std::int64_t> rowid_;
    std::vector<Value> row_;
    Value key_;
    bool deleted_ = false;
    bool bof_ = true;
    bool eof_ = true;
    bool noMatch_ = false;

    Mode mode_ = Mode::None;
    std::vector<std::optional<Value>> pending_;
};

}  // namespace zelvanor
