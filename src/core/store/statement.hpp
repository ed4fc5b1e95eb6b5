#pragma once

// Prepared statements on one connection, and the reset that leaves none of them pending.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/store/columns.hpp"

struct sqlite3;
struct sqlite3_stmt;

namespace zelvanor {

class Statement {
  public:
    Statement(sqlite3* db, std::string_view sql);
    Statement(Statement&&) noexcept = default;
    Statement& operator=(Statement&&) noexcept = default;

    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, int value) { return bind(index, static_cast<std::int64_t>(value)); }
    Statement& bind(int index, double value);
    Statement& bind(int index, std::string_view value);
    Statement& bind(int index, const char* value) { return bind(index, std::string_view(value)); }
    Statement& bind(int index, const std::string& value) {
        return bind(index, std::string_view(value));
    }
    Statement& bind(int index, const Value& value);
    // Binds the text without copying it: it must stay as it is until the statement has run and
    // the parameter is bound again or the statement is gone.
    Statement& bindView(int index, std::string_view value);
    Statement& bindView(int index, const Value& value);
    Statement& bindNull(int index);

    // Steps once; true when a row is available.
    bool step();
    // Steps to the end, for statements that return no rows.
    void run();
    // Ready for the next execution; bindings are cleared.
    void reset();
    // Ready for the next execution with the bindings kept, for a statement whose every parameter
    // is bound again each time anyway: clearing them first would be work for nothing.
    void rewind();

    bool isNull(int column) const;
    std::int64_t int64(int column) const;
    double real(int column) const;
    std::string text(int column) const;
    Value value(int column) const;
    // SQLite's fundamental type of the column's value (SQLITE_INTEGER … SQLITE_NULL).
    int type(int column) const;
    // The text of the column's value, valid until the statement steps or resets.
    std::string_view textView(int column) const;
    int columnCount() const;

  private:
    struct Finalizer {
        void operator()(sqlite3_stmt* s) const;
    };
    void check(int rc) const;
    sqlite3* db_;
    std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
};

// Resets a statement when leaving the scope, by an exception too, so that no statement is left
// pending when a transaction rolls back.
class StatementReset {
  public:
    enum class Bindings { Clear, Keep };
    explicit StatementReset(Statement& st, Bindings bindings = Bindings::Clear)
        : st_(st), keep_(bindings == Bindings::Keep) {}
    ~StatementReset() {
        if (keep_) {
            st_.rewind();
        } else {
            st_.reset();
        }
    }
    StatementReset(const StatementReset&) = delete;
    StatementReset& operator=(const StatementReset&) = delete;

  private:
    Statement& st_;
    bool keep_;
};

}  // namespace zelvanor
