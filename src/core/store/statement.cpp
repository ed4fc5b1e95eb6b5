#include "core/store/statement.hpp"

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "core/store/errors.hpp"

namespace zelvanor {

void Statement::Finalizer::operator()(sqlite3_stmt* s) const {
    sqlite3_finalize(s);
}

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, nullptr);
    stmt_.reset(raw);
    if (rc != SQLITE_OK) throwStoreFailure(db, rc);
}

void Statement::check(int rc) const {
    if (rc != SQLITE_OK) throwStoreFailure(db_, rc);
}

Statement& Statement::bind(int index, std::int64_t value) {
    check(sqlite3_bind_int64(stmt_.get(), index, value));
    return *this;
}

Statement& Statement::bind(int index, double value) {
    check(sqlite3_bind_double(stmt_.get(), index, value));
    return *this;
}

Statement& Statement::bind(int index, std::string_view value) {
    check(sqlite3_bind_text(stmt_.get(), index, value.data(), static_cast<int>(value.size()),
                            SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bindView(int index, std::string_view value) {
    check(sqlite3_bind_text(stmt_.get(), index, value.data(), static_cast<int>(value.size()),
                            SQLITE_STATIC));
    return *this;
}

Statement& Statement::bindView(int index, const Value& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return bindView(index, std::string_view(*text));
    }
    return bind(index, value);
}

Statement& Statement::bindNull(int index) {
    check(sqlite3_bind_null(stmt_.get(), index));
    return *this;
}

Statement& Statement::bind(int index, const Value& value) {
    if (std::holds_alternative<std::int64_t>(value))
        return bind(index, std::get<std::int64_t>(value));
    if (std::holds_alternative<double>(value)) return bind(index, std::get<double>(value));
    if (std::holds_alternative<std::string>(value)) {
        return bind(index, std::string_view(std::get<std::string>(value)));
    }
    return bindNull(index);
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(stmt_.get());
    throwStoreFailure(db_, rc);
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::reset() {
    sqlite3_reset(stmt_.get());
    sqlite3_clear_bindings(stmt_.get());
}

void Statement::rewind() {
    sqlite3_reset(stmt_.get());
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL;
}

std::int64_t Statement::int64(int column) const {
    return sqlite3_column_int64(stmt_.get(), column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(stmt_.get(), column);
}

std::string Statement::text(int column) const {
    const auto* p = sqlite3_column_text(stmt_.get(), column);
    const int n = sqlite3_column_bytes(stmt_.get(), column);
    return p ? std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n))
             : std::string();
}

Value Statement::value(int column) const {
    switch (sqlite3_column_type(stmt_.get(), column)) {
        case SQLITE_INTEGER:
            return int64(column);
        case SQLITE_FLOAT:
            return real(column);
        case SQLITE_NULL:
            return std::monostate{};
        default:
            return text(column);
    }
}

int Statement::type(int column) const {
    return sqlite3_column_type(stmt_.get(), column);
}

std::string_view Statement::textView(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), column));
    if (!text) return {};
    return {text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_.get(), column))};
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_.get());
}

}  // namespace zelvanor
