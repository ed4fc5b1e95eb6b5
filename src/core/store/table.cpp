#include "core/store/table.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/store/columns.hpp"
#include "core/store/columns_internal.hpp"
#include "core/store/database.hpp"
#include "core/store/errors.hpp"
#include "core/store/identifiers.hpp"
#include "core/store/statement.hpp"

namespace zelvanor {

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

}  // namespace zelvanor
