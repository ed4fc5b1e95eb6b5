#include "core/store/database.hpp"

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

#include "core/store/errors.hpp"
#include "core/store/parked_connections.hpp"
#include "core/store/statement.hpp"

namespace zelvanor {

namespace {

// The page cache of every connection, in KiB: room for the schema of many seasons.
constexpr int kCacheKiB = 96 * 1024;

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

}  // namespace zelvanor
