#include "core/store/safekeeping.hpp"

#include <sqlite3.h>

#include <chrono>
#include <memory>
#include <thread>

#include "core/store/errors.hpp"

namespace zelvanor {

namespace {

using Connection = std::unique_ptr<sqlite3, decltype(&sqlite3_close_v2)>;

Connection open(const std::filesystem::path& file, int flags) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    Connection db(raw, &sqlite3_close_v2);
    if (rc != SQLITE_OK) throwStoreFailure(raw, rc, file.filename().string() + " を開けません。");
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, 5000);
    return db;
}

bool isDamage(int rc) {
    rc &= 0xFF;
    return rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB;
}

// The rows of an integrity or quick check; {"ok"} for a sound file. A damage found on the way is
// reported as a finding, anything else thrown.
std::vector<std::string> runCheck(sqlite3* db, const char* sql) {
    std::vector<std::string> rows;
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &raw, nullptr);
    std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> st(raw, &sqlite3_finalize);
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(st.get());
        if (rc == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0));
            rows.emplace_back(text ? text : "");
        }
    }
    if (rc == SQLITE_DONE) return rows;
    if (isDamage(rc)) return {sqlite3_errmsg(db)};
    throwStoreFailure(db, rc);
}

bool sound(const std::vector<std::string>& rows) {
    return rows.size() == 1 && rows.front() == "ok";
}

}  // namespace

IntegrityCheck checkIntegrity(const std::filesystem::path& file) {
    IntegrityCheck check;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return check;
    std::vector<std::string> rows;
    try {
        const Connection db = open(file, SQLITE_OPEN_READONLY);
        rows = runCheck(db.get(), ("PRAGMA integrity_check(" +
                                   std::to_string(kIntegrityFindings) + ")").c_str());
    } catch (const DamagedDatabaseError&) {
        rows = {"file is not a database"};
    }
    if (sound(rows)) {
        check.state = Integrity::Sound;
    } else {
        check.state = Integrity::Damaged;
        if (rows.size() > kIntegrityFindings) rows.resize(kIntegrityFindings);
        check.findings = std::move(rows);
    }
    return check;
}

std::uintmax_t copyDatabase(const std::filesystem::path& source,
                            const std::filesystem::path& target,
                            const std::function<void(int)>& progress) {
    const auto report = [&](int percent) {
        if (progress) progress(percent);
    };
    const Connection from = open(source, SQLITE_OPEN_READONLY);
    std::uintmax_t size = 0;
    {
        Connection to = open(target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        sqlite3_backup* backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
        if (backup == nullptr) throwStoreFailure(to.get(), sqlite3_errcode(to.get()));
        // A few megabytes a step: progress for a large file, and a read lock on the source held
        // only for a moment at a time.
        constexpr int kPagesPerStep = 1024;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        int rc = SQLITE_OK;
        report(0);
        while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            rc = sqlite3_backup_step(backup, kPagesPerStep);
            if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) &&
                std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            const int total = sqlite3_backup_pagecount(backup);
            if (total > 0) {
                const int done = total - sqlite3_backup_remaining(backup);
                // The check of the copy takes the last tenth.
                report(static_cast<int>(90LL * done / total));
            }
            if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) break;
        }
        const int finished = sqlite3_backup_finish(backup);
        if (rc == SQLITE_DONE) rc = finished;
        if (isDamage(rc)) throw DamagedDatabaseError(damagedDatabaseText(source));
        if (rc != SQLITE_OK) throwStoreFailure(to.get(), rc, target.string() + " に写せません。");
        // Pages copied as they stand carry the source's damage with them: a copy that would
        // replace a sound backup must be sound itself.
        if (!sound(runCheck(to.get(), "PRAGMA quick_check(1)"))) {
            throw DamagedDatabaseError(damagedDatabaseText(source));
        }
    }
    size = std::filesystem::file_size(target);
    report(100);
    return size;
}

}  // namespace zelvanor
